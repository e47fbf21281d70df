// Wiring of the evaluation boards: which module pin each connector pin carries, and the
// signal name the board prints beside it. Connector pins are listed 1, 2, ... in order.
#include "table/evalboard_tables.h"

namespace {

constexpr uint32_t NONE = 0xFFFFFFFF; // the connector pin carries no module pin

struct EvalPin {
    uint32_t modulePin;
    const wchar_t* name; // null: the board prints none
};

// Board "version2.1", X9.
constexpr EvalPin kV21X9[50] = {
    // pin   module pin, signal name
    /*  1 */ {NONE, nullptr},
    /*  2 */ {28, L"PWM[2]"},
    /*  3 */ {30, L"PWM[0]"},
    /*  4 */ {32, L"BT_CTS"},
    /*  5 */ {34, L"BT_RTS"},
    /*  6 */ {36, L"BT_RXD"},
    /*  7 */ {38, L"BT_TXD"},
    /*  8 */ {NONE, nullptr},
    /*  9 */ {44, L"L_BIAS"},
    /* 10 */ {46, L"LDD[7]"},
    /* 11 */ {48, L"LDD[9]"},
    /* 12 */ {50, L"LDD[11]"},
    /* 13 */ {52, L"LDD[12]"},
    /* 14 */ {54, L"LDD[13]"},
    /* 15 */ {NONE, nullptr},
    /* 16 */ {56, L"L_PCLK"},
    /* 17 */ {58, L"LDD[3]"},
    /* 18 */ {60, L"LDD[2]"},
    /* 19 */ {62, L"LDD[8]"},
    /* 20 */ {64, L"LDD[15]"},
    /* 21 */ {66, L"LDD[14]"},
    /* 22 */ {NONE, nullptr},
    /* 23 */ {68, L"L_LCLK"},
    /* 24 */ {70, L"LDD[1]"},
    /* 25 */ {72, L"LDD[5]"},
    /* 26 */ {74, L"LDD[10]"},
    /* 27 */ {76, L"LDD[0]"},
    /* 28 */ {78, L"LDD[4]"},
    /* 29 */ {NONE, nullptr},
    /* 30 */ {80, L"LDD[6]"},
    /* 31 */ {82, L"L_FCLK"},
    /* 32 */ {86, L"SSPFRM"},
    /* 33 */ {88, L"SSPCLK"},
    /* 34 */ {90, L"SSPRXD"},
    /* 35 */ {92, L"SSPTXD"},
    /* 36 */ {NONE, nullptr},
    /* 37 */ {94, L"PCE1"},
    /* 38 */ {96, L"PCE2"},
    /* 39 */ {98, L"PREG"},
    /* 40 */ {100, L"PSKTSEL"},
    /* 41 */ {102, L"PWAIT"},
    /* 42 */ {104, L"PIOIS16"},
    /* 43 */ {NONE, nullptr},
    /* 44 */ {106, L"nEXT_CS[2]"},
    /* 45 */ {190, L"MMCMD"},
    /* 46 */ {192, L"MMDAT[0]"},
    /* 47 */ {194, L"I2C_DATA"},
    /* 48 */ {196, L"I2C_CLK"},
    /* 49 */ {NONE, nullptr},
    /* 50 */ {NONE, nullptr},
};

// Board "version2.1", X10.
constexpr EvalPin kV21X10[50] = {
    // pin   module pin, signal name
    /*  1 */ {NONE, nullptr},
    /*  2 */ {19, L"STD_RXD"},
    /*  3 */ {21, L"STD_TXD"},
    /*  4 */ {23, L"FF_DTR"},
    /*  5 */ {25, L"FF_CTS"},
    /*  6 */ {27, L"FF_RTS"},
    /*  7 */ {29, L"FF_DSR"},
    /*  8 */ {NONE, nullptr},
    /*  9 */ {31, L"FF_DCD"},
    /* 10 */ {33, L"FF_RXD"},
    /* 11 */ {35, L"FF_TXD"},
    /* 12 */ {37, L"FF_RI"},
    /* 13 */ {43, L"MMCD"},
    /* 14 */ {45, L"PRDY"},
    /* 15 */ {NONE, nullptr},
    /* 16 */ {47, L"MMCLK"},
    /* 17 */ {49, L"MMDAT[1]"},
    /* 18 */ {51, L"MMDAT[2]"},
    /* 19 */ {53, L"MMDAT[3]"},
    /* 20 */ {55, L"SDA1"},
    /* 21 */ {57, L"LDD[16]"},
    /* 22 */ {NONE, nullptr},
    /* 23 */ {59, L"PWM[3]"},
    /* 24 */ {61, L"LDD[17]"},
    /* 25 */ {63, L"SCL1"},
    /* 26 */ {65, L"SDA2"},
    /* 27 */ {67, L"PWM[1]"},
    /* 28 */ {69, L"SCL2"},
    /* 29 */ {NONE, nullptr},
    /* 30 */ {71, L"BL_ON"},
    /* 31 */ {73, L"CAN_INT"},
    /* 32 */ {75, L"PRST"},
    /* 33 */ {77, L"PBVD2"},
    /* 34 */ {79, L"PBVD1"},
    /* 35 */ {81, L"PCD"},
    /* 36 */ {NONE, nullptr},
    /* 37 */ {85, L"nPREN"},
    /* 38 */ {97, L"POE"},
    /* 39 */ {101, L"PIOW"},
    /* 40 */ {103, L"PIOR"},
    /* 41 */ {105, L"nCAN_CS"},
    /* 42 */ {107, L"nEXT_CS[1]"},
    /* 43 */ {NONE, nullptr},
    /* 44 */ {127, L"EXT_IO[2]"},
    /* 45 */ {129, L"USBH_PEN"},
    /* 46 */ {131, L"USBH_OC"},
    /* 47 */ {133, L"EXT_IO[1]"},
    /* 48 */ {135, L"EXT_IO[0]"},
    /* 49 */ {137, L"USBC_DET"},
    /* 50 */ {NONE, nullptr},
};

// Board "version3.1", X9. Pins 4 to 7 and 9 to 12 have no names printed.
constexpr EvalPin kV31X9[50] = {
    // pin   module pin, signal name
    /*  1 */ {NONE, nullptr},
    /*  2 */ {NONE, nullptr},
    /*  3 */ {NONE, nullptr},
    /*  4 */ {45, L""},
    /*  5 */ {55, L""},
    /*  6 */ {63, L""},
    /*  7 */ {100, L""},
    /*  8 */ {NONE, nullptr},
    /*  9 */ {102, L""},
    /* 10 */ {104, L""},
    /* 11 */ {NONE, L""},
    /* 12 */ {NONE, L""},
    /* 13 */ {44, L"LCD_BIAS"},
    /* 14 */ {76, L"LCD_D_0"},
    /* 15 */ {NONE, nullptr},
    /* 16 */ {70, L"LCD_D_1"},
    /* 17 */ {60, L"LCD_D_2"},
    /* 18 */ {58, L"LCD_D_3"},
    /* 19 */ {78, L"LCD_D_4"},
    /* 20 */ {72, L"LCD_D_5"},
    /* 21 */ {80, L"LCD_D_6"},
    /* 22 */ {NONE, nullptr},
    /* 23 */ {46, L"LCD_D_7"},
    /* 24 */ {62, L"LCD_D_8"},
    /* 25 */ {48, L"LCD_D_9"},
    /* 26 */ {74, L"LCD_D_10"},
    /* 27 */ {50, L"LCD_D_11"},
    /* 28 */ {52, L"LCD_D_12"},
    /* 29 */ {NONE, nullptr},
    /* 30 */ {54, L"LCD_D_13"},
    /* 31 */ {66, L"LCD_D_14"},
    /* 32 */ {64, L"LCD_D_15"},
    /* 33 */ {57, L"LCD_D_16"},
    /* 34 */ {61, L"LCD_D_17"},
    /* 35 */ {136, L"LCD_D_18"},
    /* 36 */ {NONE, nullptr},
    /* 37 */ {138, L"LCD_D_19"},
    /* 38 */ {140, L"LCD_D_20"},
    /* 39 */ {142, L"LCD_D_21"},
    /* 40 */ {144, L"LCD_D_22"},
    /* 41 */ {146, L"LCD_D_23"},
    /* 42 */ {56, L"LCD_PCLK_WR"},
    /* 43 */ {NONE, nullptr},
    /* 44 */ {68, L"LCD_LCLK_AO"},
    /* 45 */ {82, L"LCD_FCLK_RD"},
    /* 46 */ {71, L"BL_ON"},
    /* 47 */ {194, L"I2C_SDA"},
    /* 48 */ {196, L"I2C_SCL"},
    /* 49 */ {NONE, nullptr},
    /* 50 */ {NONE, nullptr},
};

// Board "version3.1", X10.
constexpr EvalPin kV31X10[50] = {
    // pin   module pin, signal name
    /*  1 */ {NONE, nullptr},
    /*  2 */ {19, L"UART_C_RXD"},
    /*  3 */ {21, L"UART_C_TXD"},
    /*  4 */ {23, L"UART_A_DTR"},
    /*  5 */ {25, L"UART_A_CTS"},
    /*  6 */ {27, L"UART_A_RTS"},
    /*  7 */ {29, L"UART_A_DSR"},
    /*  8 */ {NONE, nullptr},
    /*  9 */ {31, L"UART_A_DCD"},
    /* 10 */ {33, L"UART_A_D_RXD"},
    /* 11 */ {35, L"UART_A_D_TXD"},
    /* 12 */ {37, L"UART_A_RI"},
    /* 13 */ {32, L"UART_B_CTS"},
    /* 14 */ {34, L"UART_B_RTS"},
    /* 15 */ {NONE, nullptr},
    /* 16 */ {36, L"UART_B_RXD"},
    /* 17 */ {38, L"UART_B_TXD"},
    /* 18 */ {43, L"MM_CD"},
    /* 19 */ {47, L"MM_CLK"},
    /* 20 */ {190, L"MM_CMD"},
    /* 21 */ {192, L"MM_DAT_0"},
    /* 22 */ {NONE, nullptr},
    /* 23 */ {49, L"MM_DAT_1"},
    /* 24 */ {51, L"MM_DAT_2"},
    /* 25 */ {53, L"MM_DAT_3"},
    /* 26 */ {59, L"PWM_A"},
    /* 27 */ {28, L"PWM_B"},
    /* 28 */ {30, L"PWM_C"},
    /* 29 */ {NONE, nullptr},
    /* 30 */ {67, L"PWM_D"},
    /* 31 */ {73, L"CAN_INT#"},
    /* 32 */ {86, L"SSP_FRM"},
    /* 33 */ {88, L"SSP_SCLK"},
    /* 34 */ {90, L"SSP_RXD"},
    /* 35 */ {92, L"SSP_TXD"},
    /* 36 */ {NONE, nullptr},
    /* 37 */ {105, L"EXT_CS_0#"},
    /* 38 */ {107, L"EXT_CS_1#"},
    /* 39 */ {106, L"EXT_CS_2#"},
    /* 40 */ {135, L"EXT_IO_0"},
    /* 41 */ {133, L"EXT_IO_1"},
    /* 42 */ {127, L"EXT_IO_2"},
    /* 43 */ {NONE, nullptr},
    /* 44 */ {NONE, nullptr},
    /* 45 */ {NONE, nullptr},
    /* 46 */ {NONE, nullptr},
    /* 47 */ {129, L"USB_PE#"},
    /* 48 */ {131, L"USB_OC#"},
    /* 49 */ {137, L"USBC_DET"},
    /* 50 */ {NONE, nullptr},
};

// Board "Belvan V.1.0", X4.
constexpr EvalPin kBelvanX4[40] = {
    // pin   module pin, signal name
    /*  1 */ {NONE, nullptr},
    /*  2 */ {35, L"SATA1_ACT#"},
    /*  3 */ {17, L"GPIO8"},
    /*  4 */ {15, L"GPIO7"},
    /*  5 */ {13, L"GPIO6"},
    /*  6 */ {11, L"GPIO5"},
    /*  7 */ {7, L"GPIO4"},
    /*  8 */ {5, L"GPIO3"},
    /*  9 */ {3, L"GPIO2"},
    /* 10 */ {1, L"GPIO1"},
    /* 11 */ {NONE, nullptr},
    /* 12 */ {8, L"PWM4"},
    /* 13 */ {6, L"PWM3"},
    /* 14 */ {4, L"PWM2"},
    /* 15 */ {2, L"PWM1"},
    /* 16 */ {NONE, nullptr},
    /* 17 */ {12, L"CAN1_RX"},
    /* 18 */ {14, L"CAN1_TX"},
    /* 19 */ {16, L"CAN2_RX"},
    /* 20 */ {18, L"CAN2_TX"},
    /* 21 */ {NONE, nullptr},
    /* 22 */ {NONE, nullptr},
    /* 23 */ {NONE, nullptr},
    /* 24 */ {37, L"WAKE1_MICO#"},
    /* 25 */ {24, L"POWER_ENABLE_MOCI"},
    /* 26 */ {26, L"RESET_MOCI#"},
    /* 27 */ {28, L"RESET_MICO#"},
    /* 28 */ {NONE, nullptr},
    /* 29 */ {NONE, nullptr},
    /* 30 */ {NONE, nullptr},
    /* 31 */ {84, L"USBH_EN"},
    /* 32 */ {96, L"USBH_OC#"},
    /* 33 */ {262, L"USBO1_OC#"},
    /* 34 */ {274, L"USBO1_EN"},
    /* 35 */ {NONE, nullptr},
    /* 36 */ {138, L"UART4_TXD"},
    /* 37 */ {140, L"UART4_RXD"},
    /* 38 */ {134, L"UART3_TXD"},
    /* 39 */ {136, L"UART3_RXD"},
    /* 40 */ {NONE, nullptr},
};

// Board "Belvan V.1.0", X7.
constexpr EvalPin kBelvanX7[40] = {
    // pin   module pin, signal name
    /*  1 */ {207, L"I2C2_DDC_SCL"},
    /*  2 */ {205, L"I2C2_DDC_SDA"},
    /*  3 */ {217, L"SPDIF1_IN"},
    /*  4 */ {215, L"SPDIF1_OUT"},
    /*  5 */ {204, L"DAP1_SYNC"},
    /*  6 */ {202, L"DAP1_D_IN"},
    /*  7 */ {200, L"DAP1_BIT_CLK"},
    /*  8 */ {198, L"DAP1_RESET#"},
    /*  9 */ {196, L"DAP1_D_OUT"},
    /* 10 */ {194, L"DAP1_MCLK"},
    /* 11 */ {190, L"SD1_CD#"},
    /* 12 */ {188, L"SD1_D1"},
    /* 13 */ {186, L"SD1_D0"},
    /* 14 */ {184, L"SD1_CLK"},
    /* 15 */ {180, L"SD1_CMD"},
    /* 16 */ {178, L"SD1_D3"},
    /* 17 */ {176, L"SD1_D2"},
    /* 18 */ {164, L"MMC1_CD#"},
    /* 19 */ {162, L"MMC1_D1"},
    /* 20 */ {160, L"MMC1_D0"},
    /* 21 */ {158, L"MMC1_D7"},
    /* 22 */ {156, L"MMC1_D6"},
    /* 23 */ {154, L"MMC1_CLK"},
    /* 24 */ {152, L"MMC1_D5"},
    /* 25 */ {150, L"MMC1_CMD"},
    /* 26 */ {148, L"MMC1_D4"},
    /* 27 */ {146, L"MMC1_D3"},
    /* 28 */ {144, L"MMC1_D2"},
    /* 29 */ {132, L"UART2_RXD"},
    /* 30 */ {130, L"UART2_CTS"},
    /* 31 */ {128, L"UART2_RTS"},
    /* 32 */ {126, L"UART2_TXD"},
    /* 33 */ {124, L"UART1_DCD"},
    /* 34 */ {122, L"UART1_RI"},
    /* 35 */ {120, L"UART1_DSR"},
    /* 36 */ {118, L"UART1_RXD"},
    /* 37 */ {116, L"UART1_CTS"},
    /* 38 */ {114, L"UART1_RTS"},
    /* 39 */ {112, L"UART1_TXD"},
    /* 40 */ {110, L"UART1_DTR"},
};

// Board "Belvan V.1.0", X10.
constexpr EvalPin kBelvanX10[40] = {
    // pin   module pin, signal name
    /*  1 */ {301, L"LCD1_B7"},
    /*  2 */ {299, L"LCD1_B6"},
    /*  3 */ {297, L"LCD1_B5"},
    /*  4 */ {295, L"LCD1_B4"},
    /*  5 */ {293, L"LCD1_B3"},
    /*  6 */ {291, L"LCD1_B2"},
    /*  7 */ {289, L"LCD1_B1"},
    /*  8 */ {287, L"LCD1_B0"},
    /*  9 */ {283, L"LCD1_G7"},
    /* 10 */ {281, L"LCD1_G6"},
    /* 11 */ {279, L"LCD1_G5"},
    /* 12 */ {277, L"LCD1_G4"},
    /* 13 */ {275, L"LCD1_G3"},
    /* 14 */ {273, L"LCD1_G2"},
    /* 15 */ {271, L"LCD1_G1"},
    /* 16 */ {269, L"LCD1_G0"},
    /* 17 */ {265, L"LCD1_R7"},
    /* 18 */ {263, L"LCD1_R6"},
    /* 19 */ {261, L"LCD1_R5"},
    /* 20 */ {259, L"LCD1_R4"},
    /* 21 */ {257, L"LCD1_R3"},
    /* 22 */ {255, L"LCD1_R2"},
    /* 23 */ {253, L"LCD1_R1"},
    /* 24 */ {251, L"LCD1_R0"},
    /* 25 */ {249, L"LCD1_DE"},
    /* 26 */ {247, L"LCD1_HSYNC"},
    /* 27 */ {245, L"LCD1_VSYNC"},
    /* 28 */ {243, L"LCD1_PCLK"},
    /* 29 */ {239, L"PWM_BKL1"},
    /* 30 */ {286, L"BKL1_ON"},
    /* 31 */ {235, L"SPI2_CLK"},
    /* 32 */ {233, L"SPI2_CS"},
    /* 33 */ {231, L"SPI2_MOSI"},
    /* 34 */ {229, L"SPI2_MISO"},
    /* 35 */ {227, L"SPI1_CS"},
    /* 36 */ {225, L"SPI1_MOSI"},
    /* 37 */ {223, L"SPI1_MISO"},
    /* 38 */ {221, L"SPI1_CLK"},
    /* 39 */ {211, L"I2CI_SCL"},
    /* 40 */ {209, L"I2CI_SDA"},
};

// Board "Belvan V.1.0", X56: module pins only.
constexpr int kX56Wired = 8;
constexpr uint32_t kBelvanX56[kX56Wired] = {
    // pins 1 to 8; pins 9 and 10 carry no module pin
    187, 185, 183, 181, 179, 177, 175, 173,
};

struct EvalBoardTables {
    uint32_t connector[EVALB_COUNT][EVAL_POSITIONS];
    const wchar_t* names[EVALB_COUNT][EVAL_NAME_SETS][EVAL_POSITIONS];
};

constexpr uint32_t Packed(uint32_t modulePin, uint32_t none) {
    return modulePin == NONE ? none : modulePin;
}

// X9 and X10 share a position; positions 50 and up stay 0.
constexpr void FillX9X10(EvalBoardTables& t, int board, const EvalPin* x9, const EvalPin* x10) {
    for (int i = 0; i < EVAL_X9_X10_PINS; ++i) {
        t.connector[board][i] =
            Packed(x9[i].modulePin, EVAL_BYTE_NONE) | Packed(x10[i].modulePin, EVAL_BYTE_NONE) << 8;
        t.names[board][0][i] = x9[i].name;
        t.names[board][1][i] = x10[i].name;
    }
}

constexpr EvalBoardTables BuildTables() {
    EvalBoardTables t{};
    FillX9X10(t, EVALB_VERSION21, kV21X9, kV21X10);
    FillX9X10(t, EVALB_VERSION31, kV31X9, kV31X10);
    const EvalPin* belvan[] = {kBelvanX4, kBelvanX7, kBelvanX10};
    for (int set = 0; set < EVAL_NAME_SETS; ++set) {
        for (int i = 0; i < EVAL_BELVAN_CONNECTOR_PINS; ++i) {
            int position = set * EVAL_BELVAN_CONNECTOR_PINS + i;
            t.connector[EVALB_BELVAN][position] = Packed(belvan[set][i].modulePin, EVAL_WORD_NONE);
            t.names[EVALB_BELVAN][set][i] = belvan[set][i].name;
        }
    }
    // X56 pins 9 and 10 stay 0.
    for (int i = 0; i < kX56Wired; ++i)
        t.connector[EVALB_BELVAN][EVAL_X56_FIRST + i] = kBelvanX56[i];
    return t;
}

constexpr EvalBoardTables kTables = BuildTables();

} // namespace

const uint32_t (&EvalConnectorTable)[EVALB_COUNT][EVAL_POSITIONS] = kTables.connector;
const wchar_t* const (&EvalFnNameTable)[EVALB_COUNT][EVAL_NAME_SETS][EVAL_POSITIONS] =
    kTables.names;

// Board "version3.1", X22: module pin of each connector pin.
const uint32_t EvalX22Table[EVAL_X22_PINS] = {
    /*  1.. 8 */ NONE, NONE, 75,   96,   94,   81,   NONE, 98,
    /*  9..16 */ 101,  103,  79,   97,   NONE, NONE, NONE, NONE,
    /* 17..24 */ 85,   65,   NONE, NONE, 69,   77,   NONE, NONE,
};

// Board "version3.1", EX connector: rows A, B and C of 32 pins, module pin of each.
const uint32_t EvalExtTable[EVAL_EX_PINS] = {
    /* A1 ..A8  */ 149,  155,  159,  165,  171,  175,  150,  156,
    /* A9 ..A16 */ 160,  166,  172,  176,  NONE, 111,  117,  123,
    /* A17..A24 */ 110,  116,  122,  188,  146,  140,  136,  128,
    /* A25..A32 */ NONE, 89,   105,  93,   NONE, NONE, 99,   133,
    /* B1 ..B8  */ 151,  NONE, 161,  167,  NONE, 177,  152,  NONE,
    /* B9 ..B16 */ 162,  168,  NONE, 178,  NONE, 113,  119,  NONE,
    /* B17..B24 */ 112,  118,  NONE, 186,  144,  NONE, 134,  130,
    /* B25..B32 */ NONE, 107,  NONE, 95,   NONE, NONE, NONE, NONE,
    /* C1 ..C8  */ 153,  157,  163,  169,  173,  179,  154,  158,
    /* C9 ..C16 */ 164,  170,  174,  180,  NONE, 115,  121,  125,
    /* C17..C24 */ 114,  120,  124,  184,  142,  138,  126,  132,
    /* C25..C32 */ NONE, 91,   106,  NONE, NONE, NONE, 135,  127,
};

// Board "version3.1": module pins that are on the EX connector and on X10 or X9.
const EvalCrossRef EvalCrossRefTable[EVAL_CROSS_REFS] = {
    // module pin, X10 pin, module pin, X9 pin
    {105, 37, 136, 35}, // 0
    {107, 38, 138, 37}, // 1
    {106, 39, 140, 38}, // 2
    {135, 40, 142, 39}, // 3
    {133, 41, 144, 40}, // 4
    {127, 42, 146, 41}, // 5
};
