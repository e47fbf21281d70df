// Pieces of the main dialog shared between its source files.
#pragma once
#include "app/app.h"
#include "res/resource.h"
#include "table/messages.h"

#include <commctrl.h>
#include <cstdint>

extern HWND g_dialog;

// RebuildThread parameters besides the Columns positions 0..13.
constexpr int REBUILD_CLOSE = -1;
constexpr int REBUILD_LIST = -2;

// Starts a RebuildThread for the request; requests are carried out one after the other, in the
// order they were made.
void RequestRebuild(int parameter);
// True from a request until its cycle has ended.
bool RebuildPending();
// A new dialog takes requests again.
void BeginRebuilds();

// The menu bar and its shortcuts (Ctrl+C: "Copy table"), from the dialog's opening to its end.
void AddMenuBar(HWND dialog);
void RemoveMenuBar();

// "Export Activity...": the shown rows' recorded activity into a VCD file the user names.
void OnExportActivity(HWND dialog);

// The window resized (app/layout.cpp): the layout as the window opened, one layout per WM_SIZE,
// and the smallest size, which is the size the window opened at.
void RecordLayout(HWND dialog);
void LayOut(HWND dialog, int width, int height);
void LimitSize(HWND dialog, MINMAXINFO* limits);
// The window moved to a monitor of another resolution (WM_DPICHANGED).
void OnDpiChanged(HWND dialog, int dpi, const RECT* suggested);
SIZE SmallestWindow();

// The window's stored placement (app/placement.cpp): applied when the dialog opens, if it fits a
// monitor of now, and taken when it closes.
void ApplyStoredPlacement(HWND dialog);
void RememberPlacement(HWND dialog);

// The find box (app/find.cpp).
void CreateFindBox(HWND dialog);
void OnFindChanged(HWND dialog);
void ShowFindCount(HWND dialog); // "12 of 245" while the find words leave rows out
void FocusFindBox(HWND dialog);

// Popup menus of the list: a right-click (or tap and hold) on a cell, on the header, and the
// dialog's WM_CONTEXTMENU. Both return true when they handled the click.
bool OnListRightClick(HWND dialog, HWND list);
bool OnContextMenu(HWND dialog, HWND window, LPARAM screenPoint);

// The popup of a cell (none for the name, pin, location and group columns).
void OpenCellPopup(int slot, uint32_t gpio, POINT at, HWND list);
