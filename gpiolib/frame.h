// Frame rules shared by the register models.
#pragma once
#include "gpiolib/gpiolib.h"
#include <windows.h>

constexpr int MFPR_INDEX_ENTRIES = PXA_MAX_GPIOS;

// The library's state: only gpiolib/ reads it (and its own tests); the others ask the
// queries of gpiolib.h.
struct GpioLibState {
    uint32_t processorId;
    uint32_t gpioCount; // valid GPIO numbers are 0 .. gpioCount - 1
    bool initialised;
    bool onImage;                           // the PXA windows point into a BootImage
    volatile uint32_t* gpioWindow;          // PXA GPIO controller
    volatile uint32_t* mfprWindow;          // PXA3xx multi-function pin registers
    volatile uint32_t* padWindow;           // Tegra pinmux, pull and tristate
    volatile uint32_t* tegraGpioWindow;     // Tegra GPIO controller
    uint16_t mfprIndex[MFPR_INDEX_ENTRIES]; // word of each GPIO's MFPR in the MFPR window
    uint32_t bankShift;                     // Tegra: banks lie 1 << bankShift bytes apart
    uint32_t maskedOffset;                  // Tegra: distance to a register's masked-write twin
    bool mxm3Module;                        // Tegra 3 on a Belvan module
};
extern GpioLibState g_gpioLib;

// Lazy initialisation, then the bounds test.
bool GpioInRange(uint32_t gpio);
// "This processor is not supported" with the recorded ProcessorId.
void ReportUnsupportedProcessor();

typedef DWORD (*KernelRoutine)(UINT_PTR a, UINT_PTR b);
DWORD CallInKernelMode(KernelRoutine routine, UINT_PTR a, UINT_PTR b);
volatile uint32_t* MapRegisterWindow(DWORD physical);
BOOL BindPhysicalPages(void* destination, DWORD source, DWORD size, DWORD protection);
void UnmapRegisterWindow(volatile uint32_t* window);

// MFPR byte offsets from 0x40E10000, per GPIO number.
extern const uint16_t kPxa320MfprOffsets[FactsOf(PROCESSOR_PXA320).mfprRows];
// PXA300 (its GPIOs are the first rows) and PXA310.
extern const uint16_t kPxa3x0MfprOffsets[FactsOf(PROCESSOR_PXA310).mfprRows];
