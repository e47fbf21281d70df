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
extern const uint16_t kPxa320MfprOffsets[146];
extern const uint16_t kPxa3x0MfprOffsets[139]; // PXA300 (first 135) and PXA310
