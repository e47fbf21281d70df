// Pieces of the table shared by the build, the refresh and the tint of changed cells.
#pragma once
#include "table/table.h"

// Text of a cell whose value the RowCache holds (alternate function and name, direction,
// level, edge detection and status, tristate, pull state); null for the other columns. text
// holds at least 32 characters and may receive the result.
const wchar_t* CachedCellText(ColumnSlotIndex slot, uint32_t g, wchar_t* text);

// Text of any cell of row g as the build writes it; pin is the row's first module pin (needed
// for the two evaluation-board columns). text holds CELL_TEXT_SIZE characters and may receive
// the result; the result is valid until the next name look-up.
constexpr int CELL_TEXT_SIZE = 128;
const wchar_t* GpioCellText(ColumnSlotIndex slot, uint32_t g, int pin, wchar_t* text);

// Lets the refresh thread hand a pass's changed cells to the list's own thread in one message.
// Called by the build, on that thread.
void InstallCellUpdates(HWND list);

// The drawing of cells (table/tint.cpp), on the list's thread. A cell the refresh changed is
// tinted for a moment: a new list starts without tints, their timer HIGHLIGHT_TIMER on
// timerWindow, whose WM_TIMER calls EndHighlights.
constexpr UINT_PTR HIGHLIGHT_TIMER = 1;
void ResetHighlights(HWND timerWindow, HWND list);
void Highlight(uint32_t g, int slot);
void EndHighlights();
// The row that shows a GPIO, or -1; a cell of a row drawn again.
int RowOfGpio(HWND list, uint32_t g);
void RedrawCell(HWND list, int row, int slot);
