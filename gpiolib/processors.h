// The supported processors: the one table of per-processor facts. The library frame, the
// register models, start-up, the name tables and the simulated module read it; none of them
// restates a count or a register distance.
#pragma once
#include <cstdint>
#include <iterator>

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
    int altFnBlock;        // block of the alternate-function names (the PXA300 reads the PXA310's)
};

// The order of the rows is the numbering of the ModuleTypes of Tessara modules and of the
// module pin maps' columns (ProcessorIndex).
// clang-format off
constexpr ProcessorFacts kProcessors[] = {
//   id                family          GPIOs rows  GPIO window  pin window   MFPRs shift masked names
    {PROCESSOR_PXA270, FAMILY_PXA270,  121,  121,  0x40E00000,  0,           0,    0,    0,     0},
    {PROCESSOR_PXA320, FAMILY_PXA3XX,  146,  146,  0x40E00000,  0x40E10124,  146,  0,    0,     1},
    {PROCESSOR_PXA300, FAMILY_PXA3XX,  135,  135,  0x40E00000,  0x40E100B4,  139,  0,    0,     2},
    {PROCESSOR_PXA310, FAMILY_PXA3XX,  139,  139,  0x40E00000,  0x40E100B4,  139,  0,    0,     2},
    {PROCESSOR_TEGRA2, FAMILY_TEGRA2,  222,  222,  0x6000D000,  0x70000000,  0,    7,    0x800, 3},
    // The list has one row more than the library has GPIOs: the last row's operations fail.
    {PROCESSOR_TEGRA3, FAMILY_TEGRA3,  244,  245,  0x6000D000,  0x70003000,  0,    8,    0x80,  4},
};
// clang-format on
constexpr int PROCESSOR_COUNT = int(std::size(kProcessors));

// The row number of a processor, or -1 for one the tool does not support.
constexpr int ProcessorIndex(uint32_t id) {
    for (int i = 0; i < PROCESSOR_COUNT; ++i)
        if (kProcessors[i].id == id) return i;
    return -1;
}

// The row of a processor, or null for one the tool does not support.
constexpr const ProcessorFacts* FindProcessorFacts(uint32_t id) {
    return ProcessorIndex(id) < 0 ? nullptr : &kProcessors[ProcessorIndex(id)];
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

// PXA3xx: numbers from here on are the second pads of GPIO 0, 1, ..., with MFPRs of their own;
// in the GPIO controller they use their first pad's bit.
constexpr uint32_t PXA_SECOND_PADS = 128;

// PXA3xx pads whose GPIO function is not function 0; every other pad (and every pad of the
// other processors) is a GPIO on function 0.
struct PxaGpioFunctionRow {
    bool pxa320;  // PXA320 row, else PXA300 and PXA310
    uint8_t gpio; // all below PXA_SECOND_PADS
    int8_t fn;    // -1: the pad has no GPIO function
};
// clang-format off
constexpr PxaGpioFunctionRow kPxaGpioFunctions[] = {
//   pxa320 gpio fn
    {true,  56,  -1},
    {true,  59,  -1},
    {true,  60,  -1},
    {true,  61,  -1},
    {true,  62,  -1},
    {false, 46,   1},
    {false, 49,   3},
    {false, 50,   2},
    {false, 51,   3},
    {false, 52,   3},
};
// clang-format on

// The alternate function that makes a pad a GPIO: 0, the row's function, or -1 for none.
constexpr int PxaGpioFunction(uint32_t processorId, uint32_t gpio) {
    if (!IsPxa3xx(processorId)) return 0;
    for (const PxaGpioFunctionRow& row : kPxaGpioFunctions)
        if (row.pxa320 == (processorId == PROCESSOR_PXA320) && row.gpio == gpio) return row.fn;
    return 0;
}

// PXA320: GPIO 0 is an input-only alias of GPIO 87, the same signal, wired where GPIO 87 is.
// The GPIO a number stands for: the number itself on every other processor and GPIO.
constexpr uint32_t AliasedGpio(uint32_t processorId, uint32_t gpio) {
    return processorId == PROCESSOR_PXA320 && gpio == 0 ? 87 : gpio;
}
