// The supported processors: the one table of per-processor facts. The library frame, the
// register models, start-up, the name tables and the simulated module read it; none of them
// restates a count or a register distance.
#pragma once
#include <cstdint>

// Processor identifiers as IdentifyProcessor derives them from the main ID register.
constexpr uint32_t PROCESSOR_PXA270 = 17;
constexpr uint32_t PROCESSOR_PXA320 = 2;
constexpr uint32_t PROCESSOR_PXA300 = 8;
constexpr uint32_t PROCESSOR_PXA310 = 9;
constexpr uint32_t PROCESSOR_TEGRA2 = 0x411FC09;
constexpr uint32_t PROCESSOR_TEGRA3 = 0x412FC09;

// Families share a register model (one table of operations each).
enum ProcessorFamily { FAMILY_PXA270, FAMILY_PXA3XX, FAMILY_TEGRA2, FAMILY_TEGRA3 };

struct ProcessorFacts {
    uint32_t id;
    ProcessorFamily family;
    uint32_t gpioCount;    // GPIOLib's GPIO numbers 0 .. gpioCount - 1
    int listRows;          // rows of the tool's list and of the alternate-function names
    uint32_t gpioWindow;   // physical address of the GPIO controller window
    uint32_t pinWindow;    // MFPR window (PXA3xx) or pad-control window (Tegra); 0 none
    int mfprRows;          // PXA3xx: rows of the MFPR offset table (the PXA300 reads the PXA310's)
    uint32_t bankShift;    // Tegra: 32-GPIO banks lie 1 << bankShift bytes apart
    uint32_t maskedOffset; // Tegra: byte distance from a register to its masked-write twin
};

// clang-format off
constexpr ProcessorFacts kProcessors[] = {
//   id                family          GPIOs rows  GPIO window  pin window   MFPRs shift masked
    {PROCESSOR_PXA270, FAMILY_PXA270,  121,  121,  0x40E00000,  0,           0,    0,    0},
    {PROCESSOR_PXA320, FAMILY_PXA3XX,  146,  146,  0x40E00000,  0x40E10124,  146,  0,    0},
    {PROCESSOR_PXA300, FAMILY_PXA3XX,  135,  135,  0x40E00000,  0x40E100B4,  139,  0,    0},
    {PROCESSOR_PXA310, FAMILY_PXA3XX,  139,  139,  0x40E00000,  0x40E100B4,  139,  0,    0},
    {PROCESSOR_TEGRA2, FAMILY_TEGRA2,  222,  222,  0x6000D000,  0x70000000,  0,    7,    0x800},
    // The list has one row more than the library has GPIOs: the last row's operations fail.
    {PROCESSOR_TEGRA3, FAMILY_TEGRA3,  244,  245,  0x6000D000,  0x70003000,  0,    8,    0x80},
};
// clang-format on

// The row of a processor, or null for one the tool does not support.
constexpr const ProcessorFacts* FindProcessorFacts(uint32_t id) {
    for (const ProcessorFacts& p : kProcessors)
        if (p.id == id) return &p;
    return nullptr;
}

// The row of a processor known to be in the table (for constants).
constexpr const ProcessorFacts& FactsOf(uint32_t id) {
    return *FindProcessorFacts(id);
}

constexpr bool IsPxa3xx(uint32_t id) {
    return FindProcessorFacts(id) && FindProcessorFacts(id)->family == FAMILY_PXA3XX;
}
constexpr bool IsPxa(uint32_t id) {
    return id == PROCESSOR_PXA270 || IsPxa3xx(id);
}
constexpr bool IsTegra(uint32_t id) {
    return FindProcessorFacts(id) && (FindProcessorFacts(id)->family == FAMILY_TEGRA2 ||
                                      FindProcessorFacts(id)->family == FAMILY_TEGRA3);
}

// Most GPIOs of any PXA: the size of the MFPR index and of the BootImage's MFPR part.
constexpr int PXA_MAX_GPIOS = int(FactsOf(PROCESSOR_PXA320).gpioCount);
