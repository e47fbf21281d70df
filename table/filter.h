// Which GPIOs the list shows a row for. Every build asks for each GPIO after reading it and
// inserts only the rows admitted; the refresh updates the rows shown but never adds or removes
// one, and the next build applies the rule again.
#pragma once
#include <cstdint>

bool RowShown(uint32_t g);

// "Differing Rows Only": while a comparison is chosen, only rows with a marked cell.
void ShowDifferingRowsOnly(bool on);
bool DifferingRowsOnly();
