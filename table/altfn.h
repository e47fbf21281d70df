// Alternate-function names: the signal a GPIO carries on a given alternate function.
#pragma once
#include "gpiolib/processors.h"

#include <cstdint>

// One row per GPIO; the column meaning depends on the processor family:
//   PXA270:        input functions 1..3, output functions 1..3, then "-".
//   PXA320/3x0:    functions 1..7; a shifted pin holds functions 0..5 and 7.
//   Tegra 2 and 3: pin-mux functions 0..3; columns 4..6 are not used.
// "-" marks a function the pin does not have.
constexpr int ALTFN_COLUMNS = 7;
typedef const wchar_t* const AltFnRow[ALTFN_COLUMNS];

constexpr int ALTFN_BLOCKS = 5;
// One row per list row of the processor.
constexpr int ALTFN_ROWS_PXA270 = FactsOf(PROCESSOR_PXA270).listRows;
constexpr int ALTFN_ROWS_PXA320 = FactsOf(PROCESSOR_PXA320).listRows;
constexpr int ALTFN_ROWS_PXA3X0 = FactsOf(PROCESSOR_PXA310).listRows; // PXA300 uses the first
constexpr int ALTFN_ROWS_TEGRA2 = FactsOf(PROCESSOR_TEGRA2).listRows;
constexpr int ALTFN_ROWS_TEGRA3 = FactsOf(PROCESSOR_TEGRA3).listRows; // one more than GPIOLib's

extern const AltFnRow AltFnPxa270[ALTFN_ROWS_PXA270];
extern const AltFnRow AltFnPxa320[ALTFN_ROWS_PXA320];
extern const AltFnRow AltFnPxa3x0[ALTFN_ROWS_PXA3X0];
extern const AltFnRow AltFnTegra2[ALTFN_ROWS_TEGRA2];
extern const AltFnRow AltFnTegra3[ALTFN_ROWS_TEGRA3];

// Indexed by AltFnBlock: 0 PXA270, 1 PXA320, 2 PXA300/PXA310, 3 Tegra 2, 4 Tegra 3.
extern const AltFnRow* const AltFnNameTable[ALTFN_BLOCKS];
extern const int AltFnBlockRows[ALTFN_BLOCKS];

// The block of a ModuleType, or -1 for a value that names no module.
int AltFnBlock(uint32_t moduleType);

// Name of function `fn` of `gpio` with direction `dir` (0 input, 1 output; PXA270 only) on the
// processor fixed at start-up (ProcessorId, ModuleType). Never null. The result is a constant
// name, or, for "GPIO %d", text in a buffer of the calling thread that this thread's next call
// overwrites: copy it before calling again. A GPIO without a row, a direction other than 0/1
// on the PXA270, or a function number outside the processor's range reads "-".
const wchar_t* GetAltFnName(uint32_t gpio, int dir, int fn);
