// Module pin map tables, read by GetGPIOFromPin.
#pragma once
#include "gpiolib/frame.h"

// Columns of the SODIMM tables: one per processor, in the order of the processor table
// (PXA270, PXA320, PXA300, PXA310, Tegra 2, Tegra 3).
constexpr int PINMAP_ROWS = PROCESSOR_COUNT;
constexpr int SODIMM_HALF_PINS = SODIMM_PINS / 2;
constexpr int MXM3_HALF_PINS = MXM3_PINS / 2;
constexpr int X2_ROWS = 4; // the PXA modules only

// Odd pins at (pin - 1) / 2, even pins at pin / 2 - 1.
extern const uint16_t SodimmPinMapOdd[SODIMM_HALF_PINS][PINMAP_ROWS];
extern const uint16_t SodimmPinMapEven[SODIMM_HALF_PINS][PINMAP_ROWS];
extern const uint16_t Mxm3PinMapOdd[MXM3_HALF_PINS];
extern const uint16_t Mxm3PinMapEven[MXM3_HALF_PINS];
// X2 pin n at n - 1.
extern const uint16_t ExtensionPinMap[X2_PINS][X2_ROWS];
