// The comparison of the shown table with another configuration (the stored boot-up
// configuration, the processor's defaults, a file): which cells differ, and what the other side
// holds there. The marks follow the RowCache, so the refresh keeps them true.
#pragma once
#include "table/settings.h"

#include <string>

// The configuration to compare with (copied), and how the tips name it; null: no comparison.
// On the list's thread; the marks of every GPIO are worked out again at once.
void SetComparison(const Configuration* other, const wchar_t* name);
bool ComparisonActive();

// Works out a GPIO's marks again from what its row shows; true when they changed. Called by
// the build for every GPIO and by the refresh for every row it changed, on the list's thread.
bool UpdateMarks(uint32_t g);
// A cell whose setting differs from the other side (the two function columns share one).
bool CellMarked(uint32_t g, int slot);
// A GPIO with at least one marked cell in the columns shown.
bool RowDiffers(uint32_t g);
// "<name>: <value>" for a marked cell, the other side's value as the table would show it;
// empty for any other cell.
std::wstring ComparedText(uint32_t g, int slot);
