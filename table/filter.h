// The rows the list shows: the find words (see table/filter.cpp).
#pragma once
#include <cstdint>

// The find box's text: words split at spaces, case ignored. Empty: every row.
void SetFindText(const wchar_t* text);
bool FindActive();
// Whether the list shows the GPIO's row, judged on the cell texts of the columns shown now.
bool RowShown(uint32_t gpio);
