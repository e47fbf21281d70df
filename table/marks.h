// Compare marks as the list draws them: a differing cell on a colour of its own with a mark in
// its corner (never the change tint, which wins where both meet), and a tooltip on it that gives
// the other side's value.
#pragma once
#include <windows.h>
#include <commctrl.h>

COLORREF MarkedCellColor(); // the background of a marked cell
COLORREF CellMarkColor();   // its corner mark
// Custom draw of a marked cell: its colours before the list draws it (returns what the
// notification returns), its corner mark after.
LRESULT ColorMarkedCell(NMLVCUSTOMDRAW* draw);
void DrawCellMark(const NMLVCUSTOMDRAW* draw);

// The tooltip of marked cells, for a list whose parent is `owner`; made once.
void InstallCompareTip(HWND owner, HWND list);
// The tip's text request; true when the notification was the tip's.
bool CompareTipNotify(const NMHDR* header);
// The mouse moved over the list: on another cell, the tip shown goes, so that the new cell's
// tip comes.
void FollowCompareTip(HWND list);
