// Frame rules shared by the register models.
#pragma once
#include "gpiolib/gpiolib.h"
#include <windows.h>

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
