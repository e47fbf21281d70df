// The drawing of cells: a cell the refresh rewrote keeps a tint for about a second, so a moving
// pin catches the eye (a timer runs only while some cell is tinted, and redraws each cell once
// when its tint ends); compare marks and the Activity pictures are drawn in the same custom
// draw. Everything here runs on the list's thread.
#include "table/cells.h"
#include "table/compare.h"
#include "table/marks.h"

#include <commctrl.h>
#include <cstring>

namespace {

constexpr DWORD kHighlightMs = 1000;
constexpr UINT kHighlightTick = 250;

DWORD g_changedAt[ROW_CACHE_ENTRIES][COLUMN_SLOT_COUNT]; // tick of the change; 0: none
int g_highlighted;
HWND g_timerWindow;
HWND g_list;

} // namespace

int RowOfGpio(HWND list, uint32_t g) {
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = LPARAM(g);
    return int(SendMessageW(list, LVM_FINDITEMW, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
}

uint32_t GpioOfRow(HWND list, int row) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))
               ? uint32_t(item.lParam)
               : UINT32_MAX;
}

void RedrawCell(HWND list, int row, int slot) {
    RECT rect = {};
    rect.top = ColumnSlots[slot];
    rect.left = rect.top ? LVIR_BOUNDS : LVIR_LABEL;
    if (row >= 0 && rect.top >= 0 &&
        SendMessageW(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&rect)))
        InvalidateRect(list, &rect, FALSE);
}

void ResetHighlights(HWND timerWindow, HWND list) {
    memset(g_changedAt, 0, sizeof g_changedAt);
    g_highlighted = 0;
    if (g_timerWindow) KillTimer(g_timerWindow, HIGHLIGHT_TIMER);
    g_timerWindow = timerWindow;
    g_list = list;
}

void Highlight(uint32_t g, int slot) {
    if (!g_changedAt[g][slot] && g_highlighted++ == 0)
        SetTimer(g_timerWindow, HIGHLIGHT_TIMER, kHighlightTick, nullptr);
    g_changedAt[g][slot] = GetTickCount() | 1;
}

void EndHighlights() {
    DWORD now = GetTickCount();
    for (uint32_t g = 0; g < ROW_CACHE_ENTRIES; ++g)
        for (int slot = 0; slot < COLUMN_SLOT_COUNT; ++slot) {
            DWORD& at = g_changedAt[g][slot];
            if (!at || now - at < kHighlightMs) continue;
            at = 0;
            --g_highlighted;
            RedrawCell(g_list, RowOfGpio(g_list, g), slot);
        }
    if (g_highlighted <= 0) {
        g_highlighted = 0;
        KillTimer(g_timerWindow, HIGHLIGHT_TIMER);
    }
}

bool CellHighlighted(uint32_t gpio, int slot) {
    return gpio < ROW_CACHE_ENTRIES && slot >= 0 && slot < COLUMN_SLOT_COUNT &&
           g_changedAt[gpio][slot] != 0;
}

COLORREF ChangedCellColor() {
    // The selection colour thinned with the window's: the window's text stays readable on it in
    // light and in high-contrast schemes, and it differs from a selected row.
    COLORREF tint = GetSysColor(COLOR_HIGHLIGHT), window = GetSysColor(COLOR_WINDOW);
    auto mix = [](int a, int b) { return (a * 3 + b * 7) / 10; };
    return RGB(mix(GetRValue(tint), GetRValue(window)), mix(GetGValue(tint), GetGValue(window)),
               mix(GetBValue(tint), GetBValue(window)));
}

LRESULT CustomDrawGpioList(NMLVCUSTOMDRAW* draw) {
    // The row's own colours (selected or not), for the cells that are not highlighted.
    static COLORREF rowText, rowBack;
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return g_highlighted || ComparisonActive() || ColumnShown(SLOT_ACTIVITY)
                   ? CDRF_NOTIFYITEMDRAW
                   : CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT:
        rowText = draw->clrText;
        rowBack = draw->clrTextBk;
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        uint32_t g = uint32_t(draw->nmcd.lItemlParam);
        int slot = ColumnSlotAt(draw->iSubItem);
        if (slot == SLOT_ACTIVITY) return DrawActivityCell(draw, rowText, rowBack);
        bool lit = CellHighlighted(g, slot);
        if (!lit && CellMarked(g, slot)) return ColorMarkedCell(draw);
        draw->clrText = lit ? GetSysColor(COLOR_WINDOWTEXT) : rowText;
        draw->clrTextBk = lit ? ChangedCellColor() : rowBack;
        return CDRF_NEWFONT;
    }
    case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM: DrawCellMark(draw); return CDRF_DODEFAULT;
    default: return CDRF_DODEFAULT;
    }
}
