// Tegra GPIO controller and pad control, shared by the Tegra 2 and the Tegra 3 modules.
#include "sim/sim_internal.h"
#include "gpiolib/processors.h"

#include <iterator>

namespace {

// GPIO controller, physical 0x6000D000. GPIO n: bank n >> 5, port (n >> 3) & 3, bit n & 7.
// Each bank holds eight registers, one 32-bit word per port (only bits 7..0 exist; INT_LVL
// uses 23..0):
//
//   bank base + 0x00  CNF      1 = GPIO, 0 = special function
//             + 0x10  OE       1 = output
//             + 0x20  OUT      output latch
//             + 0x30  IN       pin level, read-only
//             + 0x40  INT_STA  interrupt status
//             + 0x50  INT_ENB  interrupt enable
//             + 0x60  INT_LVL  7..0 level/rising, 15..8 edge, 23..16 both edges
//             + 0x70  INT_CLR  write 1 to clear INT_STA
//
//   Tegra 2: 7 banks 0x80 apart, twins of the block at + 0x800 (0x800..0xB7F).
//   Tegra 3: 8 banks 0x100 apart, twins inside each bank at + 0x80.
//
// The masked-write twins (MSK_CNF, MSK_OE, MSK_OUT, MSK_INT_STA, MSK_INT_ENB, MSK_INT_LVL)
// change bit i of their register only where bit i + 8 of the value is 1. They are write-only:
// a read returns 0, so software that reads a twin instead of the register sees nothing set.
// Offsets outside the banks and twins are plain storage.
// Registers by their position in a bank (offset 0x10 * position); offsets have the manual's
// names in the comment above.
constexpr int REG_CNF = 0, REG_OE = 1, REG_OUT = 2, REG_IN = 3, REG_INT_STA = 4, REG_INT_ENB = 5,
              REG_INT_LVL = 6, REG_INT_CLR = 7;
constexpr DWORD kRegisterBlock = 0x80; // eight registers of 0x10 bytes

struct TegraGpioLayout {
    DWORD bankBytes;
    DWORD banks;
    DWORD maskedOffset;
    uint32_t gpioCount;
};
constexpr TegraGpioLayout LayoutFrom(const ProcessorFacts& p) {
    return {1u << p.bankShift, (p.gpioCount + 31) / 32, p.maskedOffset, p.gpioCount};
}
constexpr TegraGpioLayout kTegra2Layout = LayoutFrom(FactsOf(PROCESSOR_TEGRA2));
constexpr TegraGpioLayout kTegra3Layout = LayoutFrom(FactsOf(PROCESSOR_TEGRA3));

const TegraGpioLayout& LayoutOf(DWORD module) {
    return module == SIM_MODULE_TEGRA2 ? kTegra2Layout : kTegra3Layout;
}

struct GpioRegister {
    DWORD bank, port;
    int reg;     // REG_CNF .. REG_INT_CLR
    bool masked; // addressed through its masked-write twin
};

bool InBankBlock(const TegraGpioLayout& layout, DWORD offset, GpioRegister* r) {
    DWORD bank = offset / layout.bankBytes, within = offset % layout.bankBytes;
    if (bank >= layout.banks || within >= kRegisterBlock) return false;
    r->bank = bank;
    r->port = (within >> 2) & 3;
    r->reg = int(within >> 4);
    return true;
}

// Which register an offset addresses; false for plain storage.
bool Decode(const TegraGpioLayout& layout, DWORD offset, GpioRegister* r) {
    r->masked = false;
    if (InBankBlock(layout, offset, r)) return true;
    r->masked = true;
    return offset >= layout.maskedOffset && InBankBlock(layout, offset - layout.maskedOffset, r);
}

DWORD WordOf(const TegraGpioLayout& layout, DWORD bank, DWORD port, int reg) {
    return (bank * layout.bankBytes + 0x10 * DWORD(reg) + 4 * port) / 4;
}

uint32_t ValidBits(int reg) {
    return reg == REG_INT_LVL ? 0x00FFFFFF : 0xFF;
}

// The GPIOs a port really has (the last bank of each processor is not full).
uint32_t PortPins(const TegraGpioLayout& layout, DWORD bank, DWORD port) {
    uint32_t first = bank * 32 + port * 8;
    if (first >= layout.gpioCount) return 0;
    uint32_t count = layout.gpioCount - first;
    return count >= 8 ? 0xFF : (1u << count) - 1;
}

volatile LONG* GpioWord(SimSharedState* state, DWORD word) {
    return &state->regs[SIM_REGION_GPIO][word];
}

// A pin follows its output latch while the controller drives it (GPIO and output); otherwise
// it shows the outside signal. Every update of the device is a single atomic operation, so a
// read needs no lock (a thread ended inside a locked section would stop every process): each
// word is sampled once, the direction before the levels.
uint32_t InputValue(SimSharedState* state, const TegraGpioLayout& layout, DWORD bank, DWORD port) {
    uint32_t cnf = uint32_t(*GpioWord(state, WordOf(layout, bank, port, REG_CNF)));
    uint32_t oe = uint32_t(*GpioWord(state, WordOf(layout, bank, port, REG_OE)));
    uint32_t out = uint32_t(*GpioWord(state, WordOf(layout, bank, port, REG_OUT)));
    uint32_t outside = uint32_t(state->external[bank]) >> (8 * port);
    uint32_t driven = cnf & oe;
    return ((out & driven) | (outside & ~driven)) & PortPins(layout, bank, port);
}

// Concurrent masked writes to one port from several processes must all land.
void MaskedWrite(volatile LONG* word, uint32_t value, uint32_t valid) {
    uint32_t mask = (value >> 8) & 0xFF & valid;
    LONG old = *word;
    for (;;) {
        LONG next = LONG((uint32_t(old) & ~mask) | (value & mask));
        LONG seen = InterlockedCompareExchange(word, next, old);
        if (seen == old) return;
        old = seen;
    }
}

// Test hook: the writes this process made to the Tegra devices.
constexpr LONG kLogSize = 256;
SimWrite g_log[kLogSize];
volatile LONG g_logCount;
volatile LONG g_logging;

void LogWrite(const SimDevice& device, DWORD offset, uint32_t value) {
    if (!g_logging) return;
    LONG slot = InterlockedIncrement(&g_logCount) - 1;
    if (slot < kLogSize) g_log[slot] = {device.physical + offset, value};
}

uint32_t GpioRead(SimSharedState* state, DWORD offset) {
    const TegraGpioLayout& layout = LayoutOf(state->module);
    GpioRegister r;
    if (!Decode(layout, offset, &r)) return uint32_t(*GpioWord(state, offset / 4));
    if (r.masked || r.reg == REG_INT_CLR) return 0;
    if (r.reg == REG_IN) return InputValue(state, layout, r.bank, r.port);
    return uint32_t(*GpioWord(state, WordOf(layout, r.bank, r.port, r.reg)));
}

void GpioWrite(SimSharedState* state, DWORD offset, uint32_t value) {
    LogWrite(kTegraGpioController, offset, value);
    const TegraGpioLayout& layout = LayoutOf(state->module);
    GpioRegister r;
    if (!Decode(layout, offset, &r)) {
        InterlockedExchange(GpioWord(state, offset / 4), LONG(value));
        return;
    }
    if (r.reg == REG_IN) return; // read-only, and it has no twin
    if (r.reg == REG_INT_CLR) {
        if (!r.masked)
            InterlockedAnd(GpioWord(state, WordOf(layout, r.bank, r.port, REG_INT_STA)),
                           ~LONG(value & 0xFF));
        return;
    }
    volatile LONG* word = GpioWord(state, WordOf(layout, r.bank, r.port, r.reg));
    if (r.masked)
        MaskedWrite(word, value, ValidBits(r.reg));
    else
        InterlockedExchange(word, LONG(value & ValidBits(r.reg)));
}

// Pad control: Tegra 2 pin-mux, pull and tristate words per pin group at 0x70000000; Tegra 3
// one register per pad at 0x70003000 (pinmux 1..0, pull 3..2, tristate 4, input enable 5).
// Plain storage: nothing in the simulated module depends on the pads.
uint32_t PadRead(SimSharedState* state, DWORD offset) {
    return uint32_t(state->regs[SIM_REGION_PINS][offset / 4]);
}
void Tegra2PadWrite(SimSharedState* state, DWORD offset, uint32_t value) {
    LogWrite(kTegra2PadControl, offset, value);
    InterlockedExchange(&state->regs[SIM_REGION_PINS][offset / 4], LONG(value));
}
void Tegra3PadWrite(SimSharedState* state, DWORD offset, uint32_t value) {
    LogWrite(kTegra3PadControl, offset, value);
    InterlockedExchange(&state->regs[SIM_REGION_PINS][offset / 4], LONG(value));
}

// ---- Power-on state: a module after boot ----

enum BootMode : uint8_t {
    kPeriph, // special function (CNF 0); levels: the idle level of the outside signal
    kInput,  // GPIO input; levels: the outside signal
    kOutput, // GPIO output; levels: the output latch
};

// A run of GPIOs first..last; bit i of levels belongs to GPIO first + i.
struct BootGpio {
    uint16_t first, last;
    BootMode mode;
    uint8_t levels;
};

constexpr uint8_t kNormal = 0, kPullDown = 1, kPullUp = 2;
constexpr uint8_t kNoField = 0xFF;

// Power-on runs with the shared state locked.
void SetBits(volatile LONG* word, LONG bits) {
    *word = *word | bits;
}
void ClearBits(volatile LONG* word, LONG bits) {
    *word = *word & ~bits;
}

void ApplyBootGpios(SimSharedState* state, const TegraGpioLayout& layout, const BootGpio* rows,
                    int count) {
    for (int i = 0; i < count; ++i) {
        for (uint32_t n = rows[i].first; n <= rows[i].last; ++n) {
            DWORD bank = n >> 5, port = (n >> 3) & 3;
            LONG bit = LONG(1) << (n & 7);
            bool level = (rows[i].levels >> (n - rows[i].first)) & 1;
            if (rows[i].mode != kPeriph)
                SetBits(GpioWord(state, WordOf(layout, bank, port, REG_CNF)), bit);
            if (rows[i].mode == kOutput) {
                SetBits(GpioWord(state, WordOf(layout, bank, port, REG_OE)), bit);
                if (level) SetBits(GpioWord(state, WordOf(layout, bank, port, REG_OUT)), bit);
            } else if (level) {
                SetBits(&state->external[n >> 5], LONG(1) << (n & 31));
            }
        }
    }
}

// Tegra 2: every GPIO not listed stays on its special function (CNF 0, the reset value).
// clang-format off
const BootGpio kTegra2BootGpios[] = {
    // first last  mode     levels
    {   0,    0, kInput,   0x1},  // VI_GP6
    {  10,   10, kOutput,  0x1},  // LCD_PWR0: panel power on
    {  17,   17, kOutput,  0x1},  // LCD_PWR1
    {  22,   22, kOutput,  0x0},  // LCD_PWR2
    {  18,   19, kPeriph,  0x3},  // UART-B TXD, RXD idle high
    {  20,   21, kPeriph,  0x3},  // GEN1 I2C, pulled up on the module
    {  26,   26, kInput,   0x0},  // VI_GP5
    { 111,  111, kInput,   0x1},  // HDMI_INT_N, not asserted
    { 157,  158, kPeriph,  0x3},  // GEN2 I2C
    { 160,  161, kOutput,  0x1},  // GPIO_PU0 high, PU1 low
    { 162,  166, kInput,   0x0D}, // GPIO_PU2..PU6: 1 0 1 1 0
    { 168,  171, kInput,   0x6},  // GPIO_PV0..PV3: 0 1 1 0
    { 182,  183, kPeriph,  0x3},  // UART-C TXD, RXD
    { 206,  207, kPeriph,  0x3},  // PWR I2C
    { 217,  217, kInput,   0x1},  // VI_GP0
    { 220,  221, kInput,   0x2},  // VI_GP3 low, VI_GP4 high
};

// Tegra 2 pin groups after boot. Fields by byte offset in the pad-control window and shift:
// pin-mux control 0x80..0x9C, pull-up/down 0xA0..0xB0, tristate 0x14..0x20. The tristate
// column is a mask of bits that boot clears (the pads are driven); all others stay tristated.
struct Tegra2BootGroup {
    uint8_t muxWord, muxShift, mux;
    uint8_t pullWord, pullShift, pull;
    uint8_t triWord;
    uint32_t triDriven;
};
const Tegra2BootGroup kTegra2BootGroups[] = {
    // pinmux            pull                    tristate      group: function
    {0x80,  6, 0,   0xAC,  6, kPullUp,    0x18, 1u << 21},  // UAD: irda (UART-B)
    {0x88, 18, 1,   0xA8, 22, kPullUp,    0x14, 1u << 20},  // IRRX: uartb
    {0x88, 16, 1,   0xA8, 20, kNormal,    0x14, 1u << 19},  // IRTX: uartb
    {0x84, 16, 0,   0xAC,  8, kPullUp,    0x18, 1u << 22},  // UCA: uartc
    {0x84, 18, 0,   0xAC, 10, kPullUp,    0x18, 1u << 23},  // UCB: uartc
    {0x80, 14, 0,   0xA4,  0, kNormal,    0x14, 1u << 25},  // RM: i2c1
    {0x98, 22, 0,   0xA4,  4, kNormal,    0x14, 1u << 24},  // PTA: i2c2
    {0x88,  8, 0,   0xA4,  2, kNormal,    0x14, 1u << 18},  // I2CP: i2cp
    {0x88,  0, 0,   0xB0, 28, kNormal,    0x18, 1u << 31},  // DDC: i2c2
    {0x98, 30, 0,   0xA0, 28, kNormal,    0x20, 1u << 12},  // DTF: i2c3
    {0x80, 30, 0,   0xB0, 18, kPullUp,    0x14, 1u << 30},  // SDIO1: sdio1
    {0x8C, 14, 2,   0xAC, 30, kPullUp,    0x18, 1u <<  2},  // SDD: sdio3
    {0x8C, 12, 2,   0xAC, 28, kPullUp,    0x18, 1u <<  1},  // SDC: sdio3
    {0x8C, 10, 2,   0xAC, 30, kPullUp,    0x20, 1u << 15},  // SDB: sdio3
    {0x80,  0, 3,   0xAC,  0, kNormal,    0x18, 1u << 18},  // UAA: ulpi
    {0x80,  2, 3,   0xAC,  2, kNormal,    0x18, 1u << 19},  // UAB: ulpi
    {0x80,  8, 3,   0xB0, 16, kNormal,    0x20, 1u << 13},  // UDA: ulpi
    {kNoField, 0, 0, 0xAC, 12, kNormal,   0x1C, 0x0003FFFF},// LD0..LD17: displaya
    {0x90, 22, 0,   0xAC, 22, kNormal,    0x20, 1u <<  7},  // LHS: displaya
    {0x90, 24, 0,   0xAC, 22, kNormal,    0x1C, 1u << 26},  // LVS: displaya
    {0x90, 18, 0,   0xAC, 22, kNormal,    0x1C, 1u << 27},  // LSC0: displaya
    {0x90, 10, 0,   0xAC, 22, kNormal,    0x20, 1u <<  0},  // LSPI: displaya
    {kNoField, 0, 0, 0xA0, 26, kPullUp,   0x14, 1u << 15},  // DTE: GPIO inputs
    {kNoField, 0, 0, 0xAC, 20, kNormal,   0x20, 0x38},      // LPW0..LPW2: GPIO outputs
    {0x8C,  4, 0,   0xA4, 20, kPullDown,  0x14, 1u << 16},  // GPU: GPIO
    {0x80,  4, 0,   0xAC,  4, kPullDown,  0x18, 1u << 20},  // UAC: GPIO
    {0x84,  4, 0,   kNoField, 0, 0,       0x1C, 1u << 23},  // HDINT: GPIO input
};

// Tegra 3 (both modules): pads firstPad.. belong to GPIOs first..last in order.
struct Tegra3BootPad {
    uint16_t first, last;
    uint8_t firstPad;
    uint8_t mux, pull, tristate, inputEnable;
};
const Tegra3BootPad kTegra3BootPads[] = {
    // first last  pad   mux pull      tri in    pads: function
    {  11,   11, 0x25,  0, kNormal,   0, 0},  // LCD_PCLK: displaya
    {  32,   47, 0x29,  0, kNormal,   0, 0},  // LCD_D0..D15: displaya
    {  96,  103, 0x39,  0, kNormal,   0, 0},  // LCD_D16..D23: displaya
    {  73,   73, 0x26,  0, kNormal,   0, 0},  // LCD_DE: displaya
    {  75,   76, 0x27,  0, kNormal,   0, 0},  // LCD_HSYNC, LCD_VSYNC: displaya
    { 112,  112, 0x07,  2, kNormal,   0, 0},  // ULPI_DATA7: uarta
    { 113,  119, 0x00,  2, kPullUp,   0, 1},  // ULPI_DATA0..6: uarta
    {  18,   18, 0x5A,  0, kNormal,   0, 0},  // UART2_TXD: uartb
    {  19,   19, 0x59,  0, kPullUp,   0, 1},  // UART2_RXD: uartb
    { 182,  183, 0x5D,  0, kPullUp,   0, 1},  // UART3_TXD, UART3_RXD: uartc
    {  21,   21, 0x68,  0, kNormal,   0, 1},  // GEN1_I2C_SDA: i2c1
    {  20,   20, 0x69,  0, kNormal,   0, 1},  // GEN1_I2C_SCL: i2c1
    { 157,  158, 0x94,  0, kNormal,   0, 1},  // GEN2_I2C: i2c2
    { 172,  173, 0x45,  0, kNormal,   0, 1},  // DDC_SCL, DDC_SDA: i2c4
    { 206,  207, 0xAD,  0, kNormal,   0, 1},  // PWR_I2C: i2cpwr
    { 217,  218, 0xA4,  1, kNormal,   0, 1},  // CAM_I2C: i2c3
    { 196,  199, 0x14,  0, kPullUp,   0, 1},  // SDMMC1_DAT3..DAT0: sdmmc1
    { 200,  201, 0x12,  0, kPullUp,   0, 1},  // SDMMC1_CLK, SDMMC1_CMD: sdmmc1
    { 208,  215, 0x98,  3, kPullUp,   0, 1},  // SDMMC4_DAT0..DAT7: sdmmc4 (eMMC)
    { 228,  228, 0x96,  3, kNormal,   0, 1},  // SDMMC4_CLK: sdmmc4
    { 159,  159, 0x97,  3, kPullUp,   0, 1},  // SDMMC4_CMD: sdmmc4
    {  10,   10, 0x24,  0, kNormal,   0, 0},  // LCD_PWR0: GPIO output
    {  17,   17, 0x1C,  0, kNormal,   0, 0},  // LCD_PWR1: GPIO output
    {  22,   22, 0x1D,  0, kNormal,   0, 0},  // LCD_PWR2: GPIO output
    { 111,  111, 0x44,  0, kPullUp,   0, 1},  // HDMI_INT: GPIO input
    { 160,  166, 0x61,  1, kPullDown, 0, 1},  // GPIO_PU0..PU6: GPIO
    { 168,  169, 0x10,  0, kPullUp,   0, 1},  // GPIO_PV0, PV1: GPIO inputs
    { 233,  233, 0xEF,  0, kNormal,   0, 0},  // PEX_L0_RST_N: GPIO output
    { 235,  235, 0xF1,  0, kPullUp,   0, 1},  // PEX_WAKE_N: GPIO input
};

const BootGpio kTegra3BootGpios[] = {
    // first last  mode     levels
    {  10,   10, kOutput,  0x1},  // LCD_PWR0: panel power on
    {  17,   17, kOutput,  0x1},  // LCD_PWR1
    {  22,   22, kOutput,  0x0},  // LCD_PWR2
    {  18,   19, kPeriph,  0x3},  // UART-B TXD, RXD idle high
    {  20,   21, kPeriph,  0x3},  // GEN1 I2C, pulled up on the module
    { 111,  111, kInput,   0x0},  // HDMI_INT, no display
    { 113,  119, kPeriph,  0x7F}, // UART-A lines idle high
    { 157,  158, kPeriph,  0x3},  // GEN2 I2C
    { 160,  162, kOutput,  0x5},  // GPIO_PU0 high, PU1 low, PU2 high
    { 163,  166, kInput,   0x9},  // GPIO_PU3..PU6: 1 0 0 1
    { 168,  169, kInput,   0x2},  // GPIO_PV0 low, PV1 high
    { 172,  173, kPeriph,  0x3},  // DDC I2C
    { 182,  183, kPeriph,  0x3},  // UART-C TXD, RXD
    { 206,  207, kPeriph,  0x3},  // PWR I2C
    { 233,  233, kOutput,  0x0},  // PEX_L0_RST_N held in reset
    { 235,  235, kInput,   0x1},  // PEX_WAKE_N, not asserted
};
// clang-format on

// Pads the tables do not name: the reset state, tristated with the receiver on; Tegra 3 pads
// pulled down as well.
constexpr uint32_t kTegra2TristateAll = 0xFFFFFFFF;
constexpr DWORD kTegra2TristateWords[] = {0x14, 0x18, 0x1C, 0x20};
constexpr uint32_t kTegra3PadReset = 0x10 | 0x20 | (kPullDown << 2);
constexpr int kTegra3PadWords = 0xF9; // pad registers 0x3000..0x33E0

void SetPadField(SimSharedState* state, uint8_t byteOffset, uint8_t shift, uint32_t width,
                 uint32_t value) {
    if (byteOffset == kNoField) return;
    volatile LONG& word = state->regs[SIM_REGION_PINS][byteOffset / 4];
    uint32_t mask = ((1u << width) - 1) << shift;
    word = LONG((uint32_t(word) & ~mask) | ((value << shift) & mask));
}

void Tegra2PowerOn(SimSharedState* state, SimModule) {
    for (DWORD offset : kTegra2TristateWords)
        state->regs[SIM_REGION_PINS][offset / 4] = LONG(kTegra2TristateAll);
    for (const Tegra2BootGroup& g : kTegra2BootGroups) {
        SetPadField(state, g.muxWord, g.muxShift, 2, g.mux);
        SetPadField(state, g.pullWord, g.pullShift, 2, g.pull);
        ClearBits(&state->regs[SIM_REGION_PINS][g.triWord / 4], LONG(g.triDriven));
    }
}

void Tegra3PowerOn(SimSharedState* state, SimModule) {
    // 0x70003000 is page-aligned, so pad register i is word i of the region.
    for (int i = 0; i < kTegra3PadWords; ++i)
        state->regs[SIM_REGION_PINS][i] = LONG(kTegra3PadReset);
    for (const Tegra3BootPad& p : kTegra3BootPads)
        for (uint32_t n = p.first; n <= p.last; ++n)
            state->regs[SIM_REGION_PINS][p.firstPad + (n - p.first)] =
                LONG(p.mux | p.pull << 2 | p.tristate << 4 | p.inputEnable << 5);
}

void GpioPowerOn(SimSharedState* state, SimModule module) {
    if (module == SIM_MODULE_TEGRA2)
        ApplyBootGpios(state, kTegra2Layout, kTegra2BootGpios, int(std::size(kTegra2BootGpios)));
    else
        ApplyBootGpios(state, kTegra3Layout, kTegra3BootGpios, int(std::size(kTegra3BootGpios)));
}

} // namespace

const SimDevice kTegraGpioController = {0x6000D000, "GPIO controller", SIM_REGION_GPIO,
                                        GpioRead,   GpioWrite,         GpioPowerOn};
const SimDevice kTegra2PadControl = {0x70000000, "pad control",  SIM_REGION_PINS,
                                     PadRead,    Tegra2PadWrite, Tegra2PowerOn};
const SimDevice kTegra3PadControl = {0x70003000, "pad control",  SIM_REGION_PINS,
                                     PadRead,    Tegra3PadWrite, Tegra3PowerOn};

bool SimTegraDriveInput(SimSharedState* state, SimModule module, uint32_t gpio, int level) {
    if (!SimIsTegraModule(module) || gpio >= LayoutOf(module).gpioCount) return false;
    LONG bit = LONG(1) << (gpio & 31);
    if (level)
        InterlockedOr(&state->external[gpio >> 5], bit);
    else
        InterlockedAnd(&state->external[gpio >> 5], ~bit);
    return true;
}

int SimTegraPinIsOutput(SimSharedState* state, SimModule module, uint32_t gpio) {
    if (!SimIsTegraModule(module)) return -1;
    const TegraGpioLayout& layout = LayoutOf(module);
    if (gpio >= layout.gpioCount) return -1;
    DWORD bank = gpio >> 5, port = (gpio >> 3) & 3;
    uint32_t cnf = uint32_t(*GpioWord(state, WordOf(layout, bank, port, REG_CNF)));
    uint32_t oe = uint32_t(*GpioWord(state, WordOf(layout, bank, port, REG_OE)));
    return ((cnf & oe) >> (gpio & 7)) & 1;
}

int SimTegraPinLevel(SimSharedState* state, SimModule module, uint32_t gpio) {
    if (!SimIsTegraModule(module)) return -1;
    const TegraGpioLayout& layout = LayoutOf(module);
    if (gpio >= layout.gpioCount) return -1;
    return int(InputValue(state, layout, gpio >> 5, (gpio >> 3) & 3) >> (gpio & 7)) & 1;
}

void SimRecordWrites(bool on) {
    InterlockedExchange(&g_logging, 0);
    InterlockedExchange(&g_logCount, 0);
    if (on) InterlockedExchange(&g_logging, 1);
}

int SimRecordedWrites(SimWrite* out, int max) {
    int count = g_logCount < kLogSize ? int(g_logCount) : int(kLogSize);
    for (int i = 0; i < count && i < max; ++i)
        out[i] = g_log[i];
    return count;
}
