// The rows the list shows: the find words and "Differing Rows Only" (see table/filter.cpp).
#pragma once
#include <cstdint>

// The find box's text: words split at spaces, case ignored. Empty: every row.
void SetFindText(const wchar_t* text);
bool FindActive();
// "Differing Rows Only": while a comparison is chosen, only the rows with a marked cell
// (table/compare.h).
void ShowDifferingRowsOnly(bool on);
bool DifferingRowsOnly();
// Whether the list shows the GPIO's row, judged on its marks and the cell texts of the columns
// shown now.
bool RowShown(uint32_t gpio);
