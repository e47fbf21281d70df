// Tegra pad-control tables: Tegra 2 pin groups and the GPIOs in them, Tegra 3 pad registers.
#include "gpiolib/tegra.h"

namespace {

// Field locations as the processor manual gives them: byte offset of the register in the
// pad-control window and bit shift. The tables store the register number within each set.
constexpr TegraFieldRef Mux(uint32_t offset, uint8_t shift) {
    return {uint8_t((offset - 0x80) / 4), shift}; // pin-mux control, from 0x80
}
constexpr TegraFieldRef Pull(uint32_t offset, uint8_t shift) {
    return {uint8_t((offset - 0xA0) / 4), shift}; // pull-up/down, from 0xA0
}
constexpr TegraFieldRef Tri(uint32_t offset, uint8_t shift) {
    return {uint8_t((offset - 0x14) / 4), shift}; // tristate, from 0x14
}
constexpr TegraFieldRef kNone = {TEGRA_FIELD_NONE, TEGRA_FIELD_NONE};

// Group numbers, in table order.
enum : uint8_t {
    TG_NONE,
    TG_RM,
    TG_ATA,
    TG_ATC,
    TG_ATD,
    TG_ATB,
    TG_ATE,
    TG_UDA,
    TG_UAD,
    TG_UAC,
    TG_UAB,
    TG_UAA,
    TG_DTE,
    TG_DTD,
    TG_DTC,
    TG_DTB,
    TG_DTA,
    TG_UCB,
    TG_UCA,
    TG_OWC,
    TG_GMC,
    TG_GMA,
    TG_GMD,
    TG_GMB,
    TG_DDC,
    TG_SDD,
    TG_SDC,
    TG_SDB,
    TG_GPU,
    TG_GPV,
    TG_GME,
    TG_LM1,
    TG_LM0,
    TG_LVS,
    TG_LHS,
    TG_LDC,
    TG_LD9,
    TG_LD8,
    TG_LD7,
    TG_LD6,
    TG_LD5,
    TG_LD4,
    TG_LD3,
    TG_LD2,
    TG_LD1,
    TG_LD0,
    TG_DTF,
    TG_PTA,
    TG_PMC,
    TG_LDI,
    TG_LPP,
    TG_KBCE,
    TG_KBCF,
    TG_SLXK,
    TG_SLXD,
    TG_SLXC,
    TG_SLXA,
    TG_DAP4,
    TG_DAP3,
    TG_DAP2,
    TG_DAP1,
    TG_IRRX,
    TG_IRTX,
    TG_KBCC,
    TG_KBCB,
    TG_KBCA,
    TG_I2CP,
    TG_CSUS,
    TG_SPIA,
    TG_SPIB,
    TG_SPIC,
    TG_SPID,
    TG_SPIE,
    TG_SPIF,
    TG_SPIG,
    TG_SPIH,
    TG_SPDI,
    TG_SPDO,
    TG_LVP0,
    TG_LSC1,
    TG_LSC0,
    TG_LSCK,
    TG_LCSN,
    TG_LSPI,
    TG_LSDA,
    TG_LSDI,
    TG_LPW2,
    TG_LPW1,
    TG_LPW0,
    TG_LD15,
    TG_LD14,
    TG_LD13,
    TG_LD12,
    TG_LD11,
    TG_LD10,
    TG_GPU7,
    TG_KBCD,
    TG_CRTP,
    TG_LHP0,
    TG_LVP1,
    TG_LHP2,
    TG_LHP1,
    TG_LD17,
    TG_LD16,
    TG_DAC3,
    TG_DAC2,
    TG_DAC1,
    TG_SDIO1,
    TG_HDINT,
    TG_CDEV2,
    TG_CDEV1,
    TG_DAP4M,
    TG_DAP3M,
    TG_DAP2M,
    TG_DAP1M,
};

} // namespace

// clang-format off
const Tegra2PinGroup Tegra2PinGroupTable[TEGRA2_PIN_GROUP_COUNT] = {
    //name    pinmux          pull            tristate           group
    {"--",    kNone,          kNone,          kNone         }, //   0
    {"RM",    Mux(0x80, 14),  Pull(0xA4, 0),  Tri(0x14, 25) }, //   1
    {"ATA",   Mux(0x80, 24),  Pull(0xA0, 0),  Tri(0x14, 0)  }, //   2
    {"ATC",   Mux(0x80, 22),  Pull(0xA0, 4),  Tri(0x14, 2)  }, //   3
    {"ATD",   Mux(0x80, 20),  Pull(0xA0, 6),  Tri(0x14, 3)  }, //   4
    {"ATB",   Mux(0x80, 16),  Pull(0xA0, 2),  Tri(0x14, 1)  }, //   5
    {"ATE",   Mux(0x80, 12),  Pull(0xA0, 8),  Tri(0x18, 25) }, //   6
    {"UDA",   Mux(0x80, 8),   Pull(0xB0, 16), Tri(0x20, 13) }, //   7
    {"UAD",   Mux(0x80, 6),   Pull(0xAC, 6),  Tri(0x18, 21) }, //   8
    {"UAC",   Mux(0x80, 4),   Pull(0xAC, 4),  Tri(0x18, 20) }, //   9
    {"UAB",   Mux(0x80, 2),   Pull(0xAC, 2),  Tri(0x18, 19) }, //  10
    {"UAA",   Mux(0x80, 0),   Pull(0xAC, 0),  Tri(0x18, 18) }, //  11
    {"DTE",   Mux(0x84, 30),  Pull(0xA0, 26), Tri(0x14, 15) }, //  12
    {"DTD",   Mux(0x84, 28),  Pull(0xA0, 24), Tri(0x14, 14) }, //  13
    {"DTC",   Mux(0x84, 26),  Pull(0xA0, 22), Tri(0x14, 13) }, //  14
    {"DTB",   Mux(0x84, 22),  Pull(0xA0, 20), Tri(0x14, 12) }, //  15
    {"DTA",   Mux(0x84, 20),  Pull(0xA0, 18), Tri(0x14, 11) }, //  16
    {"UCB",   Mux(0x84, 18),  Pull(0xAC, 10), Tri(0x18, 23) }, //  17
    {"UCA",   Mux(0x84, 16),  Pull(0xAC, 8),  Tri(0x18, 22) }, //  18
    {"OWC",   Mux(0x84, 8),   Pull(0xB0, 30), Tri(0x14, 31) }, //  19
    {"GMC",   Mux(0x84, 2),   Pull(0xB0, 24), Tri(0x14, 29) }, //  20
    {"GMA",   Mux(0x84, 0),   Pull(0xB0, 20), Tri(0x14, 28) }, //  21
    {"GMD",   Mux(0x88, 30),  Pull(0xB0, 26), Tri(0x18, 30) }, //  22
    {"GMB",   Mux(0x88, 28),  Pull(0xB0, 22), Tri(0x18, 29) }, //  23
    {"DDC",   Mux(0x88, 0),   Pull(0xB0, 28), Tri(0x18, 31) }, //  24
    {"SDD",   Mux(0x8C, 14),  Pull(0xAC, 30), Tri(0x18, 2)  }, //  25
    {"SDC",   Mux(0x8C, 12),  Pull(0xAC, 28), Tri(0x18, 1)  }, //  26
    {"SDB",   Mux(0x8C, 10),  Pull(0xAC, 30), Tri(0x20, 15) }, //  27
    {"GPU",   Mux(0x8C, 4),   Pull(0xA4, 20), Tri(0x14, 16) }, //  28
    {"GPV",   Mux(0x8C, 2),   Pull(0xA0, 30), Tri(0x14, 17) }, //  29
    {"GME",   Mux(0x8C, 0),   Pull(0xA8, 24), Tri(0x18, 0)  }, //  30
    {"LM1",   Mux(0x90, 28),  Pull(0xAC, 22), Tri(0x1C, 25) }, //  31
    {"LM0",   Mux(0x90, 26),  Pull(0xAC, 22), Tri(0x1C, 24) }, //  32
    {"LVS",   Mux(0x90, 24),  Pull(0xAC, 22), Tri(0x1C, 26) }, //  33
    {"LHS",   Mux(0x90, 22),  Pull(0xAC, 22), Tri(0x20, 7)  }, //  34
    {"LDC",   Mux(0x90, 14),  Pull(0xAC, 20), Tri(0x1C, 30) }, //  35
    {"LD9",   Mux(0x94, 18),  Pull(0xAC, 12), Tri(0x1C, 9)  }, //  36
    {"LD8",   Mux(0x94, 16),  Pull(0xAC, 12), Tri(0x1C, 8)  }, //  37
    {"LD7",   Mux(0x94, 14),  Pull(0xAC, 12), Tri(0x1C, 7)  }, //  38
    {"LD6",   Mux(0x94, 12),  Pull(0xAC, 12), Tri(0x1C, 6)  }, //  39
    {"LD5",   Mux(0x94, 10),  Pull(0xAC, 12), Tri(0x1C, 5)  }, //  40
    {"LD4",   Mux(0x94, 8),   Pull(0xAC, 12), Tri(0x1C, 4)  }, //  41
    {"LD3",   Mux(0x94, 6),   Pull(0xAC, 12), Tri(0x1C, 3)  }, //  42
    {"LD2",   Mux(0x94, 4),   Pull(0xAC, 12), Tri(0x1C, 2)  }, //  43
    {"LD1",   Mux(0x94, 2),   Pull(0xAC, 12), Tri(0x1C, 1)  }, //  44
    {"LD0",   Mux(0x94, 0),   Pull(0xAC, 12), Tri(0x1C, 0)  }, //  45
    {"DTF",   Mux(0x98, 30),  Pull(0xA0, 28), Tri(0x20, 12) }, //  46
    {"PTA",   Mux(0x98, 22),  Pull(0xA4, 4),  Tri(0x14, 24) }, //  47
    {"PMC",   Mux(0x98, 18),  Pull(0xB0, 6),  Tri(0x14, 23) }, //  48
    {"LDI",   Mux(0x98, 16),  Pull(0xAC, 18), Tri(0x20, 6)  }, //  49
    {"LPP",   Mux(0x98, 14),  Pull(0xAC, 18), Tri(0x20, 8)  }, //  50
    {"KBCE",  Mux(0x80, 28),  Pull(0xB0, 2),  Tri(0x14, 26) }, //  51
    {"KBCF",  Mux(0x80, 26),  Pull(0xB0, 0),  Tri(0x14, 27) }, //  52
    {"SLXK",  Mux(0x84, 14),  Pull(0xA4, 30), Tri(0x18, 7)  }, //  53
    {"SLXD",  Mux(0x84, 12),  Pull(0xA4, 28), Tri(0x18, 6)  }, //  54
    {"SLXC",  Mux(0x84, 10),  Pull(0xA4, 26), Tri(0x18, 5)  }, //  55
    {"SLXA",  Mux(0x84, 6),   Pull(0xA4, 22), Tri(0x18, 3)  }, //  56
    {"DAP4",  Mux(0x88, 26),  Pull(0xA0, 16), Tri(0x14, 10) }, //  57
    {"DAP3",  Mux(0x88, 24),  Pull(0xA0, 14), Tri(0x14, 9)  }, //  58
    {"DAP2",  Mux(0x88, 22),  Pull(0xA0, 12), Tri(0x14, 8)  }, //  59
    {"DAP1",  Mux(0x88, 20),  Pull(0xA0, 10), Tri(0x14, 7)  }, //  60
    {"IRRX",  Mux(0x88, 18),  Pull(0xA8, 22), Tri(0x14, 20) }, //  61
    {"IRTX",  Mux(0x88, 16),  Pull(0xA8, 20), Tri(0x14, 19) }, //  62
    {"KBCC",  Mux(0x88, 14),  Pull(0xA4, 12), Tri(0x18, 26) }, //  63
    {"KBCB",  Mux(0x88, 12),  Pull(0xA4, 10), Tri(0x14, 21) }, //  64
    {"KBCA",  Mux(0x88, 10),  Pull(0xA4, 8),  Tri(0x14, 22) }, //  65
    {"I2CP",  Mux(0x88, 8),   Pull(0xA4, 2),  Tri(0x14, 18) }, //  66
    {"CSUS",  Mux(0x88, 6),   Pull(0xAC, 24), Tri(0x14, 6)  }, //  67
    {"SPIA",  Mux(0x8C, 30),  Pull(0xA8, 4),  Tri(0x18, 10) }, //  68
    {"SPIB",  Mux(0x8C, 28),  Pull(0xA8, 6),  Tri(0x18, 11) }, //  69
    {"SPIC",  Mux(0x8C, 26),  Pull(0xA8, 8),  Tri(0x18, 12) }, //  70
    {"SPID",  Mux(0x8C, 24),  Pull(0xA8, 10), Tri(0x18, 13) }, //  71
    {"SPIE",  Mux(0x8C, 22),  Pull(0xA8, 12), Tri(0x18, 14) }, //  72
    {"SPIF",  Mux(0x8C, 20),  Pull(0xA8, 14), Tri(0x18, 15) }, //  73
    {"SPIG",  Mux(0x8C, 18),  Pull(0xA8, 16), Tri(0x18, 16) }, //  74
    {"SPIH",  Mux(0x8C, 16),  Pull(0xA8, 18), Tri(0x18, 17) }, //  75
    {"SPDI",  Mux(0x8C, 8),   Pull(0xA4, 16), Tri(0x18, 8)  }, //  76
    {"SPDO",  Mux(0x8C, 6),   Pull(0xA4, 18), Tri(0x18, 9)  }, //  77
    {"LVP0",  Mux(0x90, 30),  Pull(0xAC, 22), Tri(0x1C, 21) }, //  78
    {"LSC1",  Mux(0x90, 20),  Pull(0xAC, 20), Tri(0x1C, 28) }, //  79
    {"LSC0",  Mux(0x90, 18),  Pull(0xAC, 22), Tri(0x1C, 27) }, //  80
    {"LSCK",  Mux(0x90, 16),  Pull(0xAC, 20), Tri(0x1C, 29) }, //  81
    {"LCSN",  Mux(0x90, 12),  Pull(0xAC, 20), Tri(0x1C, 31) }, //  82
    {"LSPI",  Mux(0x90, 10),  Pull(0xAC, 22), Tri(0x20, 0)  }, //  83
    {"LSDA",  Mux(0x90, 8),   Pull(0xAC, 20), Tri(0x20, 1)  }, //  84
    {"LSDI",  Mux(0x90, 6),   Pull(0xAC, 20), Tri(0x20, 2)  }, //  85
    {"LPW2",  Mux(0x90, 4),   Pull(0xAC, 20), Tri(0x20, 5)  }, //  86
    {"LPW1",  Mux(0x90, 2),   Pull(0xAC, 20), Tri(0x20, 4)  }, //  87
    {"LPW0",  Mux(0x90, 0),   Pull(0xAC, 20), Tri(0x20, 3)  }, //  88
    {"LD15",  Mux(0x94, 30),  Pull(0xAC, 12), Tri(0x1C, 15) }, //  89
    {"LD14",  Mux(0x94, 28),  Pull(0xAC, 12), Tri(0x1C, 14) }, //  90
    {"LD13",  Mux(0x94, 26),  Pull(0xAC, 12), Tri(0x1C, 13) }, //  91
    {"LD12",  Mux(0x94, 24),  Pull(0xAC, 12), Tri(0x1C, 12) }, //  92
    {"LD11",  Mux(0x94, 22),  Pull(0xAC, 12), Tri(0x1C, 11) }, //  93
    {"LD10",  Mux(0x94, 20),  Pull(0xAC, 12), Tri(0x1C, 10) }, //  94
    {"GPU7",  Mux(0x98, 28),  Pull(0xA4, 6),  Tri(0x20, 11) }, //  95
    {"KBCD",  Mux(0x98, 26),  Pull(0xA4, 14), Tri(0x20, 10) }, //  96
    {"CRTP",  Mux(0x98, 20),  Pull(0xA4, 24), Tri(0x20, 14) }, //  97
    {"LHP0",  Mux(0x98, 10),  Pull(0xAC, 16), Tri(0x1C, 18) }, //  98
    {"LVP1",  Mux(0x98, 8),   Pull(0xAC, 16), Tri(0x1C, 22) }, //  99
    {"LHP2",  Mux(0x98, 6),   Pull(0xAC, 14), Tri(0x1C, 20) }, // 100
    {"LHP1",  Mux(0x98, 4),   Pull(0xAC, 14), Tri(0x1C, 19) }, // 101
    {"LD17",  Mux(0x98, 2),   Pull(0xAC, 12), Tri(0x1C, 17) }, // 102
    {"LD16",  Mux(0x98, 0),   Pull(0xAC, 12), Tri(0x1C, 16) }, // 103
    {"DAC3",  Mux(0x9C, 16),  kNone,          kNone         }, // 104
    {"DAC2",  Mux(0x9C, 14),  kNone,          kNone         }, // 105
    {"DAC1",  Mux(0x9C, 12),  kNone,          kNone         }, // 106
    {"SDIO1", Mux(0x80, 30),  Pull(0xB0, 18), Tri(0x14, 30) }, // 107
    {"HDINT", Mux(0x84, 4),   kNone,          Tri(0x1C, 23) }, // 108
    {"CDEV2", Mux(0x88, 4),   Pull(0xA8, 2),  Tri(0x14, 5)  }, // 109
    {"CDEV1", Mux(0x88, 2),   Pull(0xA8, 0),  Tri(0x14, 4)  }, // 110
    {"DAP4M", Mux(0x9C, 21),  kNone,          kNone         }, // 111
    {"DAP3M", Mux(0x9C, 20),  kNone,          kNone         }, // 112
    {"DAP2M", Mux(0x9C, 19),  kNone,          kNone         }, // 113
    {"DAP1M", Mux(0x9C, 18),  kNone,          kNone         }, // 114
};

const uint8_t Tegra2GpioGroup[TEGRA2_GPIO_COUNT] = {
    // group      GPIO port pad
    TG_DTE,    //   0 A0   VI_GP6
    TG_UCB,    //   1 A1   UART3_CTS_N
    TG_DAP2,   //   2 A2   DAP2_FS
    TG_DAP2,   //   3 A3   DAP2_SCLK
    TG_DAP2,   //   4 A4   DAP2_DIN
    TG_DAP2,   //   5 A5   DAP2_DOUT
    TG_SDD,    //   6 A6   SDIO3_CLK
    TG_SDB,    //   7 A7   SDIO3_CMD
    TG_GMC,    //   8 B0   GMI_AD17
    TG_GMC,    //   9 B1   GMI_AD18
    TG_LPW0,   //  10 B2   LCD_PWR0
    TG_LSC0,   //  11 B3   LCD_PCLK
    TG_SDC,    //  12 B4   SDIO3_DAT3
    TG_SDC,    //  13 B5   SDIO3_DAT2
    TG_SDC,    //  14 B6   SDIO3_DAT1
    TG_SDC,    //  15 B7   SDIO3_DAT0
    TG_UCB,    //  16 C0   UART3_RTS_N
    TG_LPW1,   //  17 C1   LCD_PWR1
    TG_UAD,    //  18 C2   UART2_TXD
    TG_UAD,    //  19 C3   UART2_RXD
    TG_RM,     //  20 C4   GEN1_I2C_SCL
    TG_RM,     //  21 C5   GEN1_I2C_SDA
    TG_LPW2,   //  22 C6   LCD_PWR2
    TG_GMB,    //  23 C7   GMI_WP_N
    TG_SLXK,   //  24 D0   SDIO3_DAT5
    TG_SLXA,   //  25 D1   SDIO3_DAT4
    TG_DTE,    //  26 D2   VI_GP5
    TG_SLXC,   //  27 D3   SDIO3_DAT6
    TG_SLXD,   //  28 D4   SDIO3_DAT7
    TG_DTA,    //  29 D5   VI_D1
    TG_DTC,    //  30 D6   VI_VSYNC
    TG_DTC,    //  31 D7   VI_HSYNC
    TG_LD0,    //  32 E0   LCD_D0
    TG_LD1,    //  33 E1   LCD_D1
    TG_LD2,    //  34 E2   LCD_D2
    TG_LD3,    //  35 E3   LCD_D3
    TG_LD4,    //  36 E4   LCD_D4
    TG_LD5,    //  37 E5   LCD_D5
    TG_LD6,    //  38 E6   LCD_D6
    TG_LD7,    //  39 E7   LCD_D7
    TG_LD8,    //  40 F0   LCD_D8
    TG_LD9,    //  41 F1   LCD_D9
    TG_LD10,   //  42 F2   LCD_D10
    TG_LD11,   //  43 F3   LCD_D11
    TG_LD12,   //  44 F4   LCD_D12
    TG_LD13,   //  45 F5   LCD_D13
    TG_LD14,   //  46 F6   LCD_D14
    TG_LD15,   //  47 F7   LCD_D15
    TG_ATC,    //  48 G0   GMI_AD0
    TG_ATC,    //  49 G1   GMI_AD1
    TG_ATC,    //  50 G2   GMI_AD2
    TG_ATC,    //  51 G3   GMI_AD3
    TG_ATC,    //  52 G4   GMI_AD4
    TG_ATC,    //  53 G5   GMI_AD5
    TG_ATC,    //  54 G6   GMI_AD6
    TG_ATC,    //  55 G7   GMI_AD7
    TG_ATD,    //  56 H0   GMI_AD8
    TG_ATD,    //  57 H1   GMI_AD9
    TG_ATD,    //  58 H2   GMI_AD10
    TG_ATD,    //  59 H3   GMI_AD11
    TG_ATE,    //  60 H4   GMI_AD12
    TG_ATE,    //  61 H5   GMI_AD13
    TG_ATE,    //  62 H6   GMI_AD14
    TG_ATE,    //  63 H7   GMI_AD15
    TG_ATC,    //  64 I0   GMI_WR_N
    TG_ATC,    //  65 I1   GMI_OE_N
    TG_ATB,    //  66 I2   GMI_CS5_N
    TG_ATA,    //  67 I3   GMI_CS6_N
    TG_ATA,    //  68 I4   GMI_RST_N
    TG_ATC,    //  69 I5   GMI_IORDY
    TG_ATA,    //  70 I6   GMI_CS7_N
    TG_ATC,    //  71 I7   GMI_WAIT
    TG_GMD,    //  72 J0   GMI_CS0_N
    TG_LSPI,   //  73 J1   LCD_DE
    TG_GMD,    //  74 J2   GMI_CS1_N
    TG_LHS,    //  75 J3   LCD_HSYNC
    TG_LVS,    //  76 J4   LCD_VSYNC
    TG_IRTX,   //  77 J5   UART2_CTS_N
    TG_IRRX,   //  78 J6   UART2_RTS_N
    TG_GMC,    //  79 J7   GMI_AD16
    TG_ATC,    //  80 K0   GMI_ADV_N
    TG_ATC,    //  81 K1   GMI_CLK
    TG_ATC,    //  82 K2   GMI_CS4_N
    TG_ATC,    //  83 K3   GMI_CS2_N
    TG_ATC,    //  84 K4   GMI_CS3_N
    TG_SPDO,   //  85 K5   SPDIF_OUT
    TG_SPDI,   //  86 K6   SPDIF_IN
    TG_GMC,    //  87 K7   GMI_AD19
    TG_DTD,    //  88 L0   VI_D2
    TG_DTD,    //  89 L1   VI_D3
    TG_DTD,    //  90 L2   VI_D4
    TG_DTD,    //  91 L3   VI_D5
    TG_DTD,    //  92 L4   VI_D6
    TG_DTD,    //  93 L5   VI_D7
    TG_DTD,    //  94 L6   VI_D8
    TG_DTD,    //  95 L7   VI_D9
    TG_LD16,   //  96 M0   LCD_D16
    TG_LD17,   //  97 M1   LCD_D17
    TG_LHP1,   //  98 M2   LCD_D18
    TG_LHP2,   //  99 M3   LCD_D19
    TG_LVP1,   // 100 M4   LCD_D20
    TG_LHP0,   // 101 M5   LCD_D21
    TG_LDI,    // 102 M6   LCD_D22
    TG_LPP,    // 103 M7   LCD_D23
    TG_DAP1,   // 104 N0   DAP1_FS
    TG_DAP1,   // 105 N1   DAP1_DIN
    TG_DAP1,   // 106 N2   DAP1_DOUT
    TG_DAP1,   // 107 N3   DAP1_SCLK
    TG_LCSN,   // 108 N4   LCD_CS0_N
    TG_LSDA,   // 109 N5   LCD_SDOUT
    TG_LDC,    // 110 N6   LCD_DC0
    TG_HDINT,  // 111 N7   HDMI_INT_N
    TG_UAB,    // 112 O0   ULPI_DATA7
    TG_UAA,    // 113 O1   ULPI_DATA0
    TG_UAA,    // 114 O2   ULPI_DATA1
    TG_UAA,    // 115 O3   ULPI_DATA2
    TG_UAA,    // 116 O4   ULPI_DATA3
    TG_UAB,    // 117 O5   ULPI_DATA4
    TG_UAB,    // 118 O6   ULPI_DATA5
    TG_UAB,    // 119 O7   ULPI_DATA6
    TG_DAP3,   // 120 P0   DAP3_FS
    TG_DAP3,   // 121 P1   DAP3_DIN
    TG_DAP3,   // 122 P2   DAP3_DOUT
    TG_DAP3,   // 123 P3   DAP3_SCLK
    TG_DAP4,   // 124 P4   DAP4_FS
    TG_DAP4,   // 125 P5   DAP4_DIN
    TG_DAP4,   // 126 P6   DAP4_DOUT
    TG_DAP4,   // 127 P7   DAP4_SCLK
    TG_KBCC,   // 128 Q0   KB_COL0
    TG_KBCC,   // 129 Q1   KB_COL1
    TG_KBCF,   // 130 Q2   KB_COL2
    TG_KBCF,   // 131 Q3   KB_COL3
    TG_KBCF,   // 132 Q4   KB_COL4
    TG_KBCF,   // 133 Q5   KB_COL5
    TG_KBCF,   // 134 Q6   KB_COL6
    TG_KBCE,   // 135 Q7   KB_COL7
    TG_KBCA,   // 136 R0   KB_ROW0
    TG_KBCA,   // 137 R1   KB_ROW1
    TG_KBCA,   // 138 R2   KB_ROW2
    TG_KBCD,   // 139 R3   KB_ROW3
    TG_KBCD,   // 140 R4   KB_ROW4
    TG_KBCD,   // 141 R5   KB_ROW5
    TG_KBCD,   // 142 R6   KB_ROW6
    TG_KBCB,   // 143 R7   KB_ROW7
    TG_KBCB,   // 144 S0   KB_ROW8
    TG_KBCB,   // 145 S1   KB_ROW9
    TG_KBCB,   // 146 S2   KB_ROW10
    TG_KBCB,   // 147 S3   KB_ROW11
    TG_KBCB,   // 148 S4   KB_ROW12
    TG_KBCB,   // 149 S5   KB_ROW13
    TG_KBCB,   // 150 S6   KB_ROW14
    TG_KBCB,   // 151 S7   KB_ROW15
    TG_DTD,    // 152 T0   VI_PCLK
    TG_CSUS,   // 153 T1   VI_MCLK
    TG_DTB,    // 154 T2   VI_D10
    TG_DTB,    // 155 T3   VI_D11
    TG_DTA,    // 156 T4   VI_D0
    TG_PTA,    // 157 T5   GEN2_I2C_SCL
    TG_PTA,    // 158 T6   GEN2_I2C_SDA
    TG_ATB,    // 159 T7   GMI_DPD
    TG_GPU,    // 160 U0   GPIO_PU0
    TG_GPU,    // 161 U1   GPIO_PU1
    TG_GPU,    // 162 U2   GPIO_PU2
    TG_GPU,    // 163 U3   GPIO_PU3
    TG_GPU,    // 164 U4   GPIO_PU4
    TG_GPU,    // 165 U5   GPIO_PU5
    TG_GPU,    // 166 U6   GPIO_PU6
    TG_GPU7,   // 167 U7   JTAG_RTCK
    TG_UAC,    // 168 V0   GPIO_PV0
    TG_UAC,    // 169 V1   GPIO_PV1
    TG_UAC,    // 170 V2   GPIO_PV2
    TG_UAC,    // 171 V3   GPIO_PV3
    TG_GPV,    // 172 V4   GPIO_PV4
    TG_GPV,    // 173 V5   GPIO_PV5
    TG_GPV,    // 174 V6   GPIO_PV6
    TG_LVP0,   // 175 V7   LCD_DC1
    TG_LM0,    // 176 W0   LCD_CS1_N
    TG_LM1,    // 177 W1   LCD_M1
    TG_SPIG,   // 178 W2   SPI2_CS1_N
    TG_SPIH,   // 179 W3   SPI2_CS2_N
    TG_CDEV1,  // 180 W4   DAP_MCLK1
    TG_CDEV2,  // 181 W5   DAP_MCLK2
    TG_UCA,    // 182 W6   UART3_TXD
    TG_UCA,    // 183 W7   UART3_RXD
    TG_SPIA,   // 184 X0   SPI2_MOSI
    TG_SPIB,   // 185 X1   SPI2_MISO
    TG_SPIC,   // 186 X2   SPI2_SCK
    TG_SPIC,   // 187 X3   SPI2_CS0_N
    TG_SPID,   // 188 X4   SPI1_MOSI
    TG_SPIE,   // 189 X5   SPI1_SCK
    TG_SPIE,   // 190 X6   SPI1_CS0_N
    TG_SPIF,   // 191 X7   SPI1_MISO
    TG_UDA,    // 192 Y0   ULPI_CLK
    TG_UDA,    // 193 Y1   ULPI_DIR
    TG_UDA,    // 194 Y2   ULPI_NXT
    TG_UDA,    // 195 Y3   ULPI_STP
    TG_SDIO1,  // 196 Y4   SDIO1_DAT3
    TG_SDIO1,  // 197 Y5   SDIO1_DAT2
    TG_SDIO1,  // 198 Y6   SDIO1_DAT1
    TG_SDIO1,  // 199 Y7   SDIO1_DAT0
    TG_SDIO1,  // 200 Z0   SDIO1_CLK
    TG_SDIO1,  // 201 Z1   SDIO1_CMD
    TG_LSDI,   // 202 Z2   LCD_SDIN
    TG_LSC1,   // 203 Z3   LCD_WR_N
    TG_LSCK,   // 204 Z4   LCD_SCK
    TG_PMC,    // 205 Z5   SYS_CLK_REQ
    TG_I2CP,   // 206 Z6   PWR_I2C_SCL
    TG_I2CP,   // 207 Z7   PWR_I2C_SDA
    TG_GMA,    // 208 AA0  GMI_AD20
    TG_GMA,    // 209 AA1  GMI_AD21
    TG_GMA,    // 210 AA2  GMI_AD22
    TG_GMA,    // 211 AA3  GMI_AD23
    TG_GME,    // 212 AA4  GMI_AD24
    TG_GME,    // 213 AA5  GMI_AD25
    TG_GME,    // 214 AA6  GMI_AD26
    TG_GME,    // 215 AA7  GMI_AD27
    TG_ATD,    // 216 BB0  CLK_32K_OUT
    TG_DTE,    // 217 BB1  VI_GP0
    TG_DTF,    // 218 BB2  CAM_I2C_SCL
    TG_DTF,    // 219 BB3  CAM_I2C_SDA
    TG_DTE,    // 220 BB4  VI_GP3
    TG_DTE,    // 221 BB5  VI_GP4
};

// Word index of each GPIO's pad register from 0x70003000 (byte offset 4 x index).
const uint8_t Tegra3PadIndex[TEGRA3_GPIO_COUNT] = {
    // word  GPIO port pad
    0xC7, //   0 A0   CLK_32K_OUT
    0x5F, //   1 A1   UART3_CTS_N
    0xD6, //   2 A2   DAP2_FS
    0xD9, //   3 A3   DAP2_SCLK
    0xD7, //   4 A4   DAP2_DIN
    0xD8, //   5 A5   DAP2_DOUT
    0xE4, //   6 A6   SDMMC3_CLK
    0xE5, //   7 A7   SDMMC3_CMD
    0x8D, //   8 B0   GMI_A17
    0x8E, //   9 B1   GMI_A18
    0x24, //  10 B2   LCD_PWR0
    0x25, //  11 B3   LCD_PCLK
    0xE9, //  12 B4   SDMMC3_DAT3
    0xE8, //  13 B5   SDMMC3_DAT2
    0xE7, //  14 B6   SDMMC3_DAT1
    0xE6, //  15 B7   SDMMC3_DAT0
    0x60, //  16 C0   UART3_RTS_N
    0x1C, //  17 C1   LCD_PWR1
    0x5A, //  18 C2   UART2_TXD
    0x59, //  19 C3   UART2_RXD
    0x69, //  20 C4   GEN1_I2C_SCL
    0x68, //  21 C5   GEN1_I2C_SDA
    0x1D, //  22 C6   LCD_PWR2
    0x70, //  23 C7   GMI_WP_N
    0xEB, //  24 D0   SDMMC3_DAT5
    0xEA, //  25 D1   SDMMC3_DAT4
    0x43, //  26 D2   LCD_DC1
    0xEC, //  27 D3   SDMMC3_DAT6
    0xED, //  28 D4   SDMMC3_DAT7
    0x4A, //  29 D5   VI_D1
    0x57, //  30 D6   VI_VSYNC
    0x58, //  31 D7   VI_HSYNC
    0x29, //  32 E0   LCD_D0
    0x2A, //  33 E1   LCD_D1
    0x2B, //  34 E2   LCD_D2
    0x2C, //  35 E3   LCD_D3
    0x2D, //  36 E4   LCD_D4
    0x2E, //  37 E5   LCD_D5
    0x2F, //  38 E6   LCD_D6
    0x30, //  39 E7   LCD_D7
    0x31, //  40 F0   LCD_D8
    0x32, //  41 F1   LCD_D9
    0x33, //  42 F2   LCD_D10
    0x34, //  43 F3   LCD_D11
    0x35, //  44 F4   LCD_D12
    0x36, //  45 F5   LCD_D13
    0x37, //  46 F6   LCD_D14
    0x38, //  47 F7   LCD_D15
    0x7C, //  48 G0   GMI_AD0
    0x7D, //  49 G1   GMI_AD1
    0x7E, //  50 G2   GMI_AD2
    0x7F, //  51 G3   GMI_AD3
    0x80, //  52 G4   GMI_AD4
    0x81, //  53 G5   GMI_AD5
    0x82, //  54 G6   GMI_AD6
    0x83, //  55 G7   GMI_AD7
    0x84, //  56 H0   GMI_AD8
    0x85, //  57 H1   GMI_AD9
    0x86, //  58 H2   GMI_AD10
    0x87, //  59 H3   GMI_AD11
    0x88, //  60 H4   GMI_AD12
    0x89, //  61 H5   GMI_AD13
    0x8A, //  62 H6   GMI_AD14
    0x8B, //  63 H7   GMI_AD15
    0x90, //  64 I0   GMI_WR_N
    0x91, //  65 I1   GMI_OE_N
    0x92, //  66 I2   GMI_DQS
    0x7A, //  67 I3   GMI_CS6_N
    0x93, //  68 I4   GMI_RST_N
    0x71, //  69 I5   GMI_IORDY
    0x7B, //  70 I6   GMI_CS7_N
    0x72, //  71 I7   GMI_WAIT
    0x75, //  72 J0   GMI_CS0_N
    0x26, //  73 J1   LCD_DE
    0x76, //  74 J2   GMI_CS1_N
    0x27, //  75 J3   LCD_HSYNC
    0x28, //  76 J4   LCD_VSYNC
    0x5C, //  77 J5   UART2_CTS_N
    0x5B, //  78 J6   UART2_RTS_N
    0x8C, //  79 J7   GMI_AD16
    0x73, //  80 K0   GMI_ADV_N
    0x74, //  81 K1   GMI_CLK
    0x79, //  82 K2   GMI_CS4_N
    0x77, //  83 K3   GMI_CS2_N
    0x78, //  84 K4   GMI_CS3_N
    0xD5, //  85 K5   SPDIF_OUT
    0xD4, //  86 K6   SPDIF_IN
    0x8F, //  87 K7   GMI_AD19
    0x4B, //  88 L0   VI_D2
    0x4C, //  89 L1   VI_D3
    0x4D, //  90 L2   VI_D4
    0x4E, //  91 L3   VI_D5
    0x4F, //  92 L4   VI_D6
    0x50, //  93 L5   VI_D7
    0x51, //  94 L6   VI_D8
    0x52, //  95 L7   VI_D9
    0x39, //  96 M0   LCD_D16
    0x3A, //  97 M1   LCD_D17
    0x3B, //  98 M2   LCD_D18
    0x3C, //  99 M3   LCD_D19
    0x3D, // 100 M4   LCD_D20
    0x3E, // 101 M5   LCD_D21
    0x3F, // 102 M6   LCD_D22
    0x40, // 103 M7   LCD_D23
    0xCE, // 104 N0   DAP1_FS
    0xCF, // 105 N1   DAP1_DIN
    0xD0, // 106 N2   DAP1_DOUT
    0xD1, // 107 N3   DAP1_SCLK
    0x21, // 108 N4   LCD_CS0_N
    0x1F, // 109 N5   LCD_SDOUT
    0x22, // 110 N6   LCD_DC0
    0x44, // 111 N7   HDMI_INT
    0x07, // 112 O0   ULPI_DATA7
    0x00, // 113 O1   ULPI_DATA0
    0x01, // 114 O2   ULPI_DATA1
    0x02, // 115 O3   ULPI_DATA2
    0x03, // 116 O4   ULPI_DATA3
    0x04, // 117 O5   ULPI_DATA4
    0x05, // 118 O6   ULPI_DATA5
    0x06, // 119 O7   ULPI_DATA6
    0x0C, // 120 P0   DAP3_FS
    0x0D, // 121 P1   DAP3_DIN
    0x0E, // 122 P2   DAP3_DOUT
    0x0F, // 123 P3   DAP3_SCLK
    0x6A, // 124 P4   DAP4_FS
    0x6B, // 125 P5   DAP4_DIN
    0x6C, // 126 P6   DAP4_DOUT
    0x6D, // 127 P7   DAP4_SCLK
    0xBF, // 128 Q0   KB_COL0
    0xC0, // 129 Q1   KB_COL1
    0xC1, // 130 Q2   KB_COL2
    0xC2, // 131 Q3   KB_COL3
    0xC3, // 132 Q4   KB_COL4
    0xC4, // 133 Q5   KB_COL5
    0xC5, // 134 Q6   KB_COL6
    0xC6, // 135 Q7   KB_COL7
    0xAF, // 136 R0   KB_ROW0
    0xB0, // 137 R1   KB_ROW1
    0xB1, // 138 R2   KB_ROW2
    0xB2, // 139 R3   KB_ROW3
    0xB3, // 140 R4   KB_ROW4
    0xB4, // 141 R5   KB_ROW5
    0xB5, // 142 R6   KB_ROW6
    0xB6, // 143 R7   KB_ROW7
    0xB7, // 144 S0   KB_ROW8
    0xB8, // 145 S1   KB_ROW9
    0xB9, // 146 S2   KB_ROW10
    0xBA, // 147 S3   KB_ROW11
    0xBB, // 148 S4   KB_ROW12
    0xBC, // 149 S5   KB_ROW13
    0xBD, // 150 S6   KB_ROW14
    0xBE, // 151 S7   KB_ROW15
    0x55, // 152 T0   VI_PCLK
    0x56, // 153 T1   VI_MCLK
    0x53, // 154 T2   VI_D10
    0x54, // 155 T3   VI_D11
    0x49, // 156 T4   VI_D0
    0x94, // 157 T5   GEN2_I2C_SCL
    0x95, // 158 T6   GEN2_I2C_SDA
    0x97, // 159 T7   SDMMC4_CMD
    0x61, // 160 U0   GPIO_PU0
    0x62, // 161 U1   GPIO_PU1
    0x63, // 162 U2   GPIO_PU2
    0x64, // 163 U3   GPIO_PU3
    0x65, // 164 U4   GPIO_PU4
    0x66, // 165 U5   GPIO_PU5
    0x67, // 166 U6   GPIO_PU6
    0xAC, // 167 U7   JTAG_RTCK
    0x10, // 168 V0   GPIO_PV0
    0x11, // 169 V1   GPIO_PV1
    0x18, // 170 V2   GPIO_PV2
    0x19, // 171 V3   GPIO_PV3
    0x45, // 172 V4   DDC_SCL
    0x46, // 173 V5   DDC_SDA
    0x47, // 174 V6   CRT_HSYNC
    0x48, // 175 V7   CRT_VSYNC
    0x41, // 176 W0   LCD_CS1_N
    0x42, // 177 W1   LCD_M1
    0xE2, // 178 W2   SPI2_CS1_N
    0xE3, // 179 W3   SPI2_CS2_N
    0xD3, // 180 W4   CLK1_OUT
    0x1A, // 181 W5   CLK2_OUT
    0x5D, // 182 W6   UART3_TXD
    0x5E, // 183 W7   UART3_RXD
    0xDA, // 184 X0   SPI2_MOSI
    0xDB, // 185 X1   SPI2_MISO
    0xDD, // 186 X2   SPI2_SCK
    0xDC, // 187 X3   SPI2_CS0_N
    0xDE, // 188 X4   SPI1_MOSI
    0xDF, // 189 X5   SPI1_SCK
    0xE0, // 190 X6   SPI1_CS0_N
    0xE1, // 191 X7   SPI1_MISO
    0x08, // 192 Y0   ULPI_CLK
    0x09, // 193 Y1   ULPI_DIR
    0x0A, // 194 Y2   ULPI_NXT
    0x0B, // 195 Y3   ULPI_STP
    0x14, // 196 Y4   SDMMC1_DAT3
    0x15, // 197 Y5   SDMMC1_DAT2
    0x16, // 198 Y6   SDMMC1_DAT1
    0x17, // 199 Y7   SDMMC1_DAT0
    0x12, // 200 Z0   SDMMC1_CLK
    0x13, // 201 Z1   SDMMC1_CMD
    0x1E, // 202 Z2   LCD_SDIN
    0x20, // 203 Z3   LCD_WR_N
    0x23, // 204 Z4   LCD_SCK
    0xC8, // 205 Z5   SYS_CLK_REQ
    0xAD, // 206 Z6   PWR_I2C_SCL
    0xAE, // 207 Z7   PWR_I2C_SDA
    0x98, // 208 AA0  SDMMC4_DAT0
    0x99, // 209 AA1  SDMMC4_DAT1
    0x9A, // 210 AA2  SDMMC4_DAT2
    0x9B, // 211 AA3  SDMMC4_DAT3
    0x9C, // 212 AA4  SDMMC4_DAT4
    0x9D, // 213 AA5  SDMMC4_DAT5
    0x9E, // 214 AA6  SDMMC4_DAT6
    0x9F, // 215 AA7  SDMMC4_DAT7
    0xA3, // 216 BB0  GPIO_PBB0
    0xA4, // 217 BB1  CAM_I2C_SCL
    0xA5, // 218 BB2  CAM_I2C_SDA
    0xA6, // 219 BB3  GPIO_PBB3
    0xA7, // 220 BB4  GPIO_PBB4
    0xA8, // 221 BB5  GPIO_PBB5
    0xA9, // 222 BB6  GPIO_PBB6
    0xAA, // 223 BB7  GPIO_PBB7
    0xA1, // 224 CC0  CAM_MCLK
    0xA2, // 225 CC1  GPIO_PCC1
    0xAB, // 226 CC2  GPIO_PCC2
    0xA0, // 227 CC3  SDMMC4_RST_N
    0x96, // 228 CC4  SDMMC4_CLK
    0x1B, // 229 CC5  CLK2_REQ
    0xF6, // 230 CC6  PEX_L2_RST_N
    0xF7, // 231 CC7  PEX_L2_CLKREQ_N
    0xEE, // 232 DD0  PEX_L0_PRSNT_N
    0xEF, // 233 DD1  PEX_L0_RST_N
    0xF0, // 234 DD2  PEX_L0_CLKREQ_N
    0xF1, // 235 DD3  PEX_WAKE_N
    0xF2, // 236 DD4  PEX_L1_PRSNT_N
    0xF3, // 237 DD5  PEX_L1_RST_N
    0xF4, // 238 DD6  PEX_L1_CLKREQ_N
    0xF5, // 239 DD7  PEX_L2_PRSNT_N
    0x6E, // 240 EE0  CLK3_OUT
    0x6F, // 241 EE1  CLK3_REQ
    0xD2, // 242 EE2  CLK1_REQ
    0xF8, // 243 EE3  HDMI_CEC
};
// clang-format on
