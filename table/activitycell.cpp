// The "Activity" cell: a GPIO's level over the last seconds, drawn as a logic analyser does:
// a high and a low line, a vertical stroke for an edge, and a filled band where the level
// changed faster than one pixel can show; the newest sample at the right edge.
#include "table/table.h"
#include "activity/history.h"

#include <algorithm>

namespace {

constexpr int kMargin = 2;           // pixels between the picture and the cell's sides
constexpr int kMaxWidth = 4096;      // wider cells draw their last kMaxWidth pixels
ActivityColumn g_columns[kMaxWidth]; // the list's thread only

void Fill(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
    RECT r = {left, top, right, bottom};
    FillRect(dc, &r, brush);
}

} // namespace

LRESULT DrawActivityCell(NMLVCUSTOMDRAW* draw, COLORREF line, COLORREF back) {
    HWND list = draw->nmcd.hdr.hwndFrom;
    HDC dc = draw->nmcd.hdc;
    RECT cell = {};
    cell.top = draw->iSubItem;
    cell.left = LVIR_BOUNDS;
    if (!SendMessageW(list, LVM_GETSUBITEMRECT, draw->nmcd.dwItemSpec, LPARAM(&cell)))
        return CDRF_DODEFAULT;
    // The list may hand over "its default" rather than a colour: then the colours it gives a
    // selected row with the focus, without it (the selection shown always), or any other row.
    if (back == CLR_DEFAULT || back == CLR_NONE || line == CLR_DEFAULT || line == CLR_NONE) {
        bool selected =
            SendMessageW(list, LVM_GETITEMSTATE, draw->nmcd.dwItemSpec, LVIS_SELECTED) != 0;
        bool focused = GetFocus() == list;
        back = GetSysColor(!selected ? COLOR_WINDOW : focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
        line = GetSysColor(!selected ? COLOR_WINDOWTEXT
                           : focused ? COLOR_HIGHLIGHTTEXT
                                     : COLOR_BTNTEXT);
    }
    HBRUSH background = CreateSolidBrush(back), pen = CreateSolidBrush(line);
    FillRect(dc, &cell, background);
    int left = cell.left + kMargin, right = cell.right - kMargin;
    int high = cell.top + kMargin + 1, low = cell.bottom - kMargin - 2;
    int width = std::min(right - left, kMaxWidth);
    left = right - width;
    if (width > 0 && low > high) {
        uint64_t end = ShownActivityEndUs();
        if (!end) end = ActivityEndUs(int(cell.right - cell.left));
        uint32_t gpio = uint32_t(draw->nmcd.lItemlParam);
        ActivityPicture(gpio, end, width, g_columns);
        // Runs of one kind become one rectangle each: 1 low, 2 high, 3 both lines, 4 a stroke.
        auto kind = [](const ActivityColumn& c) { return c.edges ? 4 : c.levels; };
        for (int x = 0; x < width;) {
            int k = kind(g_columns[x]), from = x;
            while (x < width && kind(g_columns[x]) == k)
                ++x;
            if (k == 4) Fill(dc, left + from, high, left + x, low + 1, pen);
            if (k & 2 && k != 4) Fill(dc, left + from, high, left + x, high + 1, pen);
            if (k & 1 && k != 4) Fill(dc, left + from, low, left + x, low + 1, pen);
        }
    }
    DeleteObject(background);
    DeleteObject(pen);
    return CDRF_SKIPDEFAULT;
}
