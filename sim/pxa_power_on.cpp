// Power-on state of the simulated PXA modules, one row per pin that boot leaves set up.
// Peripheral inputs idle high (UART receive lines, I2C, MMC with their pull-ups); on the
// PXA3xx the controller direction of a peripheral pad stays input, since the MFPR decides.
#include "sim/pxa_power_on.h"

namespace {

// clang-format off
const PxaPowerOnPin kPxa270Pins[] = {
//  gpio fn  dir      level edge                 pull          signal
    {  0, 0, PXA_IN,  1,    PXA_BOTH,            PXA_NOPULL}, // GPIO: wake-up button
    {  1, 0, PXA_IN,  1,    PXA_FALL,            PXA_NOPULL}, // GPIO: reset request
    {  9, 0, PXA_OUT, 1,    0,                   PXA_NOPULL}, // GPIO
    { 10, 0, PXA_OUT, 0,    0,                   PXA_NOPULL}, // GPIO
    { 11, 0, PXA_IN,  0,    PXA_RISE | PXA_SEEN, PXA_NOPULL}, // GPIO
    { 12, 0, PXA_IN,  1,    PXA_FALL,            PXA_NOPULL}, // GPIO: push button
    { 13, 0, PXA_OUT, 1,    0,                   PXA_NOPULL}, // GPIO
    { 15, 2, PXA_OUT, 1,    0,                   PXA_NOPULL}, // nCS_1
    { 18, 1, PXA_IN,  1,    0,                   PXA_NOPULL}, // RDY
    { 32, 2, PXA_OUT, 0,    0,                   PXA_NOPULL}, // MMC_CLK
    { 34, 1, PXA_IN,  1,    0,                   PXA_NOPULL}, // FFUART_RXD
    { 35, 1, PXA_IN,  1,    0,                   PXA_NOPULL}, // FFUART_CTS
    { 39, 2, PXA_OUT, 1,    0,                   PXA_NOPULL}, // FFUART_TXD
    { 41, 2, PXA_OUT, 1,    0,                   PXA_NOPULL}, // FFUART_RTS
    { 42, 1, PXA_IN,  1,    0,                   PXA_NOPULL}, // BTUART_RXD
    { 43, 2, PXA_OUT, 1,    0,                   PXA_NOPULL}, // BTUART_TXD
    { 44, 1, PXA_IN,  1,    0,                   PXA_NOPULL}, // BTUART_CTS
    { 45, 2, PXA_OUT, 1,    0,                   PXA_NOPULL}, // BTUART_RTS
    { 46, 2, PXA_IN,  1,    0,                   PXA_NOPULL}, // STUART_RXD
    { 47, 1, PXA_OUT, 1,    0,                   PXA_NOPULL}, // STUART_TXD
    { 49, 2, PXA_OUT, 1,    0,                   PXA_NOPULL}, // nPWE
    { 58, 2, PXA_OUT, 0,    0,                   PXA_NOPULL}, // LCD_LDD_0
    { 59, 2, PXA_OUT, 0,    0,                   PXA_NOPULL}, // LCD_LDD_1
    { 60, 2, PXA_OUT, 1,    0,                   PXA_NOPULL}, // LCD_LDD_2
    { 61, 2, PXA_OUT, 0,    0,                   PXA_NOPULL}, // LCD_LDD_3
    { 62, 2, PXA_OUT, 1,    0,                   PXA_NOPULL}, // LCD_LDD_4
    { 63, 2, PXA_OUT, 0,    0,                   PXA_NOPULL}, // LCD_LDD_5
    { 64, 2, PXA_OUT, 0,    0,                   PXA_NOPULL}, // LCD_LDD_6
    { 65, 2, PXA_OUT, 1,    0,                   PXA_NOPULL}, // LCD_LDD_7
    { 66, 2, PXA_OUT, 0,    0,                   PXA_NOPULL}, // LCD_LDD_8
    { 67, 2, PXA_OUT, 0,    0,                   PXA_NOPULL}, // LCD_LDD_9
    { 68, 2, PXA_OUT, 1,    0,                   PXA_NOPULL}, // LCD_LDD_10
    { 69, 2, PXA_OUT, 0,    0,                   PXA_NOPULL}, // LCD_LDD_11
    { 70, 2, PXA_OUT, 0,    0,                   PXA_NOPULL}, // LCD_LDD_12
    { 71, 2, PXA_OUT, 1,    0,                   PXA_NOPULL}, // LCD_LDD_13
    { 72, 2, PXA_OUT, 0,    0,                   PXA_NOPULL}, // LCD_LDD_14
    { 73, 2, PXA_OUT, 0,    0,                   PXA_NOPULL}, // LCD_LDD_15
    { 74, 2, PXA_OUT, 0,    0,                   PXA_NOPULL}, // LCD_FCLK
    { 75, 2, PXA_OUT, 1,    0,                   PXA_NOPULL}, // LCD_LCLK
    { 76, 2, PXA_OUT, 0,    0,                   PXA_NOPULL}, // LCD_PCLK
    { 77, 2, PXA_OUT, 1,    0,                   PXA_NOPULL}, // LCD_BIAS
    { 78, 2, PXA_OUT, 1,    0,                   PXA_NOPULL}, // nCS_2
    { 79, 2, PXA_OUT, 1,    0,                   PXA_NOPULL}, // nCS_3
    { 80, 2, PXA_OUT, 1,    0,                   PXA_NOPULL}, // nCS_4
    { 92, 1, PXA_IN,  1,    0,                   PXA_NOPULL}, // MMC_DAT_0
    { 95, 0, PXA_OUT, 1,    0,                   PXA_NOPULL}, // GPIO
    { 98, 0, PXA_OUT, 0,    0,                   PXA_NOPULL}, // GPIO
    {100, 0, PXA_IN,  0,    PXA_FALL,            PXA_NOPULL}, // GPIO
    {104, 0, PXA_IN,  1,    PXA_RISE,            PXA_NOPULL}, // GPIO
    {109, 1, PXA_IN,  1,    0,                   PXA_NOPULL}, // MMC_DAT_1
    {110, 1, PXA_IN,  1,    0,                   PXA_NOPULL}, // MMC_DAT_2
    {111, 1, PXA_IN,  1,    0,                   PXA_NOPULL}, // MMC_DAT_3
    {112, 1, PXA_IN,  1,    0,                   PXA_NOPULL}, // MMC_CMD
    {117, 1, PXA_IN,  1,    0,                   PXA_NOPULL}, // I2C_SCL
    {118, 1, PXA_IN,  1,    0,                   PXA_NOPULL}, // I2C_SDA
    {120, 0, PXA_OUT, 1,    0,                   PXA_NOPULL}, // GPIO
};

const PxaPowerOnPin kPxa320Pins[] = {
//  gpio fn  dir      level edge                 pull          signal
    {  0, 2, PXA_IN,  1,    0,                   PXA_NOPULL},   // DRQ
    {  1, 0, PXA_IN,  1,    PXA_BOTH,            PXA_PULLUP},   // GPIO: wake-up button
    {  2, 1, PXA_IN,  1,    0,                   PXA_NOPULL},   // RDY
    {  3, 1, PXA_IN,  1,    0,                   PXA_NOPULL},   // nCS2
    {  4, 1, PXA_IN,  1,    0,                   PXA_NOPULL},   // nCS3
    { 10, 0, PXA_OUT, 1,    0,                   PXA_NOPULL},   // GPIO
    { 11, 0, PXA_IN,  0,    PXA_BOTH,            PXA_NOPULL},   // GPIO
    { 12, 0, PXA_IN,  0,    PXA_RISE | PXA_SEEN, PXA_PULLDOWN}, // GPIO
    { 13, 0, PXA_IN,  1,    PXA_FALL,            PXA_PULLUP},   // GPIO: push button
    { 18, 4, PXA_IN,  1,    0,                   PXA_PULLUP},   // MMC1_DAT0
    { 19, 4, PXA_IN,  1,    0,                   PXA_PULLUP},   // MMC1_DAT1
    { 20, 4, PXA_IN,  1,    0,                   PXA_PULLUP},   // MMC1_DAT2
    { 21, 4, PXA_IN,  1,    0,                   PXA_PULLUP},   // MMC1_DAT3
    { 22, 4, PXA_IN,  0,    0,                   PXA_NOPULL},   // MMC1_CLK
    { 23, 4, PXA_IN,  1,    0,                   PXA_PULLUP},   // MMC1_CMD
    { 24, 0, PXA_OUT, 0,    0,                   PXA_NOPULL},   // GPIO
    { 32, 1, PXA_IN,  1,    0,                   PXA_PULLUP},   // I2C_SCL
    { 33, 1, PXA_IN,  1,    0,                   PXA_PULLUP},   // I2C_SDA
    { 41, 2, PXA_IN,  1,    0,                   PXA_PULLUP},   // UART1_RXD
    { 42, 2, PXA_IN,  1,    0,                   PXA_NOPULL},   // UART1_TXD
    { 43, 2, PXA_IN,  1,    0,                   PXA_PULLUP},   // UART1_CTS
    { 48, 2, PXA_IN,  1,    0,                   PXA_NOPULL},   // UART1_RTS
    { 57, 0, PXA_OUT, 1,    0,                   PXA_NOPULL},   // GPIO
    { 63, 1, PXA_IN,  0,    0,                   PXA_NOPULL},   // LCD_LDD_8
    { 64, 1, PXA_IN,  1,    0,                   PXA_NOPULL},   // LCD_LDD_9
    { 65, 1, PXA_IN,  0,    0,                   PXA_NOPULL},   // LCD_LDD_10
    { 66, 1, PXA_IN,  0,    0,                   PXA_NOPULL},   // LCD_LDD_11
    {100, 0, PXA_IN,  0,    PXA_FALL,            PXA_NOPULL},   // GPIO
    {101, 0, PXA_OUT, 0,    0,                   PXA_NOPULL},   // GPIO
    {107, 1, PXA_IN,  1,    0,                   PXA_NOPULL},   // UART3_TXD
    {108, 1, PXA_IN,  1,    0,                   PXA_PULLUP},   // UART3_RXD
    {127, 0, PXA_OUT, 1,    0,                   PXA_NOPULL},   // GPIO
    {134, 1, PXA_IN,  0,    0,                   PXA_NOPULL},   // LCD_LDD_0 (GPIO6_2)
    {135, 1, PXA_IN,  1,    0,                   PXA_NOPULL},   // LCD_LDD_1 (GPIO7_2)
    {136, 1, PXA_IN,  0,    0,                   PXA_NOPULL},   // LCD_LDD_2 (GPIO8_2)
    {137, 1, PXA_IN,  1,    0,                   PXA_NOPULL},   // LCD_LDD_3 (GPIO9_2)
    {142, 1, PXA_IN,  0,    0,                   PXA_NOPULL},   // LCD_FCLK (GPIO14_2)
    {143, 1, PXA_IN,  1,    0,                   PXA_NOPULL},   // LCD_LCLK (GPIO15_2)
    {144, 1, PXA_IN,  0,    0,                   PXA_NOPULL},   // LCD_PCLK (GPIO16_2)
};

const PxaPowerOnPin kPxa3x0Pins[] = {
//  gpio fn  dir      level edge                 pull          signal
    {  0, 1, PXA_IN,  1,    0,                   PXA_NOPULL},   // DF_RDY
    {  1, 1, PXA_IN,  1,    0,                   PXA_NOPULL},   // nCS2
    {  2, 1, PXA_IN,  1,    0,                   PXA_NOPULL},   // nCS3
    {  3, 4, PXA_IN,  1,    0,                   PXA_PULLUP},   // MMC1_DAT0
    {  4, 4, PXA_IN,  1,    0,                   PXA_PULLUP},   // MMC1_DAT1
    {  5, 4, PXA_IN,  1,    0,                   PXA_PULLUP},   // MMC1_DAT2
    {  6, 4, PXA_IN,  1,    0,                   PXA_PULLUP},   // MMC1_DAT3
    {  7, 4, PXA_IN,  1,    0,                   PXA_NOPULL},   // MMC1_CLK
    {  8, 4, PXA_IN,  1,    0,                   PXA_PULLUP},   // MMC1_CMD
    { 11, 0, PXA_OUT, 1,    0,                   PXA_NOPULL},   // GPIO
    { 12, 0, PXA_OUT, 0,    0,                   PXA_NOPULL},   // GPIO
    { 13, 0, PXA_IN,  1,    PXA_BOTH,            PXA_PULLUP},   // GPIO: wake-up button
    { 14, 0, PXA_IN,  0,    PXA_RISE | PXA_SEEN, PXA_PULLDOWN}, // GPIO
    { 17, 0, PXA_IN,  0,    PXA_BOTH,            PXA_NOPULL},   // GPIO
    { 19, 0, PXA_IN,  1,    PXA_FALL,            PXA_PULLUP},   // GPIO: push button
    { 21, 1, PXA_IN,  1,    0,                   PXA_PULLUP},   // I2C_SCL
    { 22, 1, PXA_IN,  1,    0,                   PXA_PULLUP},   // I2C_SDA
    { 30, 2, PXA_IN,  1,    0,                   PXA_PULLUP},   // UART1_RXD
    { 31, 2, PXA_IN,  1,    0,                   PXA_NOPULL},   // UART1_TXD
    { 32, 2, PXA_IN,  1,    0,                   PXA_PULLUP},   // UART1_CTS
    { 37, 2, PXA_IN,  1,    0,                   PXA_NOPULL},   // UART1_RTS
    { 46, 1, PXA_OUT, 1,    0,                   PXA_NOPULL},   // GPIO (function 1 on this pad)
    { 49, 3, PXA_IN,  1,    PXA_FALL,            PXA_PULLUP},   // GPIO (function 3)
    { 50, 2, PXA_OUT, 0,    0,                   PXA_NOPULL},   // GPIO (function 2)
    { 54, 1, PXA_IN,  0,    0,                   PXA_NOPULL},   // LCD_LDD_0
    { 55, 1, PXA_IN,  1,    0,                   PXA_NOPULL},   // LCD_LDD_1
    { 56, 1, PXA_IN,  0,    0,                   PXA_NOPULL},   // LCD_LDD_2
    { 57, 1, PXA_IN,  0,    0,                   PXA_NOPULL},   // LCD_LDD_3
    { 58, 1, PXA_IN,  1,    0,                   PXA_NOPULL},   // LCD_LDD_4
    { 59, 1, PXA_IN,  0,    0,                   PXA_NOPULL},   // LCD_LDD_5
    { 60, 1, PXA_IN,  1,    0,                   PXA_NOPULL},   // LCD_LDD_6
    { 61, 1, PXA_IN,  0,    0,                   PXA_NOPULL},   // LCD_LDD_7
    { 72, 1, PXA_IN,  0,    0,                   PXA_NOPULL},   // LCD_FCLK
    { 73, 1, PXA_IN,  1,    0,                   PXA_NOPULL},   // LCD_LCLK
    { 74, 1, PXA_IN,  0,    0,                   PXA_NOPULL},   // LCD_PCLK
    { 93, 2, PXA_IN,  1,    0,                   PXA_NOPULL},   // UART3_TXD
    { 94, 2, PXA_IN,  1,    0,                   PXA_PULLUP},   // UART3_RXD
    { 99, 0, PXA_IN,  1,    PXA_FALL,            PXA_NOPULL},   // GPIO
    {100, 0, PXA_OUT, 1,    0,                   PXA_NOPULL},   // GPIO
    {127, 0, PXA_OUT, 0,    0,                   PXA_NOPULL},   // GPIO
};

const PxaPowerOnPin kPxa310ExtraPins[] = {
//  gpio fn  dir      level edge                 pull          signal
    {135, 1, PXA_IN,  1,    0,                   PXA_PULLUP},   // MMC3_DAT0 (GPIO7_2)
    {136, 1, PXA_IN,  1,    0,                   PXA_PULLUP},   // MMC3_DAT1 (GPIO8_2)
    {137, 1, PXA_IN,  1,    0,                   PXA_PULLUP},   // MMC3_DAT2 (GPIO9_2)
    {138, 1, PXA_IN,  1,    0,                   PXA_PULLUP},   // MMC3_DAT3 (GPIO10_2)
};
// clang-format on

template <int N> constexpr PxaPowerOnTable Table(const PxaPowerOnPin (&pins)[N]) {
    return {pins, N};
}

} // namespace

const PxaPowerOnTable kPxa270PowerOn = Table(kPxa270Pins);
const PxaPowerOnTable kPxa320PowerOn = Table(kPxa320Pins);
const PxaPowerOnTable kPxa3x0PowerOn = Table(kPxa3x0Pins);
const PxaPowerOnTable kPxa310ExtraPowerOn = Table(kPxa310ExtraPins);
