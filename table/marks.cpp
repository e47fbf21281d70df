// Compare marks in the list: colours and corner marks through custom draw, and the tooltip.
#include "table/marks.h"
#include "table/compare.h"

#include <string>

namespace {

HWND g_tip;
HWND g_tipList;
int g_tipRow = -1, g_tipColumn = -1; // the cell the tip speaks of

COLORREF Mix(COLORREF a, COLORREF b, int percentOfA) {
    auto mix = [&](int x, int y) { return (x * percentOfA + y * (100 - percentOfA)) / 100; };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}

constexpr COLORREF kAmber = RGB(255, 170, 0);

// The cell under a screen point: row and column, or false.
bool CellAt(HWND list, POINT screen, int* row, int* column) {
    LVHITTESTINFO hit = {};
    hit.pt = screen;
    ScreenToClient(list, &hit.pt);
    SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    *row = hit.iItem;
    *column = hit.iSubItem;
    return hit.iItem >= 0 && hit.iSubItem >= 0 && (hit.flags & LVHT_ONITEM);
}

} // namespace

COLORREF MarkedCellColor() {
    // Amber thinned with the window's colour: apart from the change tint (the selection's
    // colour) and from a selected row, and the window's text stays readable on it.
    return Mix(kAmber, GetSysColor(COLOR_WINDOW), 40);
}

COLORREF CellMarkColor() {
    return Mix(kAmber, GetSysColor(COLOR_WINDOWTEXT), 55);
}

LRESULT ColorMarkedCell(NMLVCUSTOMDRAW* draw) {
    draw->clrText = GetSysColor(COLOR_WINDOWTEXT);
    draw->clrTextBk = MarkedCellColor();
    return CDRF_NEWFONT | CDRF_NOTIFYPOSTPAINT;
}

void DrawCellMark(const NMLVCUSTOMDRAW* draw) {
    // The notification's rectangle of the first column spans the row on some platforms: the
    // list's own measure of the cell instead.
    RECT cell = {};
    cell.top = draw->iSubItem;
    cell.left = draw->iSubItem ? LVIR_BOUNDS : LVIR_LABEL;
    if (!SendMessageW(draw->nmcd.hdr.hwndFrom, LVM_GETSUBITEMRECT, draw->nmcd.dwItemSpec,
                      reinterpret_cast<LPARAM>(&cell)))
        return;
    // A triangle in the cell's top right corner, half the cell high.
    int size = (cell.bottom - cell.top) / 2 + 1;
    POINT corner[3] = {
        {cell.right - size, cell.top}, {cell.right, cell.top}, {cell.right, cell.top + size}};
    HDC dc = draw->nmcd.hdc;
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    SetDCBrushColor(dc, CellMarkColor());
    Polygon(dc, corner, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

void InstallCompareTip(HWND owner, HWND list) {
    if (g_tip && IsWindow(g_tip) && g_tipList == list) return;
    g_tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, owner, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    g_tipList = list;
    if (!g_tip) return;
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(list);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(g_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(g_tip, TTM_SETMAXTIPWIDTH, 0, 400);
}

bool CompareTipNotify(const NMHDR* header) {
    if (!g_tip || header->hwndFrom != g_tip || header->code != TTN_GETDISPINFOW) return false;
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(header));
    static std::wstring text;
    text.clear();
    POINT screen;
    GetCursorPos(&screen);
    int row, column;
    if (CellAt(g_tipList, screen, &row, &column)) {
        text = ComparedText(GpioOfRow(g_tipList, row), ColumnSlotAt(column));
        g_tipRow = row;
        g_tipColumn = column;
    }
    info->lpszText = const_cast<wchar_t*>(text.c_str());
    return true;
}

void FollowCompareTip(HWND list) {
    if (!g_tip || list != g_tipList) return;
    POINT screen;
    GetCursorPos(&screen);
    int row = -1, column = -1;
    CellAt(list, screen, &row, &column);
    if (row == g_tipRow && column == g_tipColumn) return;
    g_tipRow = row;
    g_tipColumn = column;
    SendMessageW(g_tip, TTM_POP, 0, 0);
}
