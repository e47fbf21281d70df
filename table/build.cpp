// Builds the GPIO list from scratch: columns, rows and every shown cell.
#include "table/table.h"
#include "table/cells.h"
#include "gpiolib/gpiolib.h"
#include "table/compare.h"
#include "table/evalboard.h"
#include "table/filter.h"
#include "table/modulepin.h"
#include "activity/history.h"
#include "table/stats.h"

#include <commctrl.h>
#include <climits>

namespace {

// One buffer serves every cell; the longest text (an evaluation-board location) has 16.
wchar_t g_cellText[CELL_TEXT_SIZE];

// The GPIOs that have a row in the list now (the find words may leave some out).
bool g_rowPresent[ROW_CACHE_ENTRIES];

unsigned Family() {
    const ProcessorFacts* p = FindProcessorFacts(ProcessorId);
    return p ? 1u << p->family : ON_PXA;
}

// Columns the processor does not have stay hidden, whatever their slots held.
void ApplyProcessorRule() {
    for (const ColumnDef& column : Columns)
        if (!(column.allowedOn & Family())) ColumnSlots[column.slot] = COLUMN_HIDDEN;
}

// The table's width scaled from 96 pixels per inch to the list's, widened until the header
// shows its whole text (the header draws it three edges in from either side); 0 stays 0.
int StartWidth(const ColumnDef& column, int width, HDC dc, int dpi) {
    if (width <= 0) return 0;
    SIZE text = {};
    GetTextExtentPoint32W(dc, column.header, lstrlenW(column.header), &text);
    int whole = text.cx + 6 * GetSystemMetrics(SM_CXEDGE);
    int scaled = MulDiv(width, dpi, 96);
    return scaled > whole ? scaled : whole;
}

void InsertColumns(HWND list) {
    HDC dc = GetDC(list);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    int dpi = WindowDpi(list);
    int index = 0;
    for (const ColumnDef& column : Columns) {
        if (!ColumnShown(column.slot)) continue;
        LVCOLUMNW lvc = {};
        lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        lvc.fmt = column.format;
        lvc.cx = StartWidth(
            column, SettingsMode == SETTINGS_BOOTUP && column.zeroWidthInBootup ? 0 : column.width,
            dc, dpi);
        lvc.pszText = const_cast<wchar_t*>(column.header);
        SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&lvc));
        ColumnSlots[column.slot] = index++;
    }
    ColumnCount = index;
    if (font) SelectObject(dc, font);
    ReleaseDC(list, dc);
}

void SetCell(HWND list, int row, uint32_t gpio, ColumnSlotIndex slot, const wchar_t* text) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = ColumnSlots[slot];
    item.pszText = const_cast<wchar_t*>(text);
    if (slot == SLOT_GPIO) {
        item.mask |= LVIF_PARAM;
        item.lParam = LPARAM(gpio);
    }
    SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void ReadRow(uint32_t g) {
    int a = GetGPIOAltFn(g);
    CachedAltFn[g] = a;
    bool notGpio = IsTegra(ProcessorId) && a != -1;
    if (ColumnShown(SLOT_DIRECTION)) CachedDir[g] = notGpio ? DIR_NOT_GPIO : GetGPIODir(g);
    if (ColumnShown(SLOT_LEVEL)) CachedLevel[g] = notGpio ? LEVEL_NOT_GPIO : GetGPIOLevel(g);
    if (ColumnShown(SLOT_EDGEDET)) CachedEdgeDetect[g] = GetGPIOEdgeDetect(g);
    if (ColumnShown(SLOT_EDGESTAT)) CachedEdgeStatus[g] = GetGPIOEdgeStatus(g);
    if (ColumnShown(SLOT_TRISTATE)) CachedTristate[g] = GetGPIOTristate(g);
    if (ColumnShown(SLOT_PULLSTATE)) CachedPullState[g] = GetGPIOPullState(g);
    if (ColumnShown(SLOT_EDGES)) CachedEdges[g] = EdgeCount(g);
}

} // namespace

int WindowDpi(HWND window) {
    using GetDpi = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpi>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32"), "GetDpiForWindow")));
    if (UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0) return int(dpi);
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

void ScaleColumnWidths(HWND list, int fromDpi, int toDpi) {
    for (int column = 0; column < ColumnCount; ++column) {
        int width = int(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
        SendMessageW(list, LVM_SETCOLUMNWIDTH, column,
                     MAKELPARAM(MulDiv(width, toDpi, fromDpi), 0));
    }
}

const wchar_t* GpioCellText(ColumnSlotIndex slot, uint32_t g, int pin, wchar_t* text) {
    // Edge settings and the live pins' activity are not part of the boot-up configuration: their
    // cells stay empty.
    if (SettingsMode == SETTINGS_BOOTUP && (slot == SLOT_EDGEDET || slot == SLOT_EDGESTAT ||
                                            slot == SLOT_EDGES || slot == SLOT_ACTIVITY))
        return L"";
    if (const wchar_t* cached = CachedCellText(slot, g, text)) return cached;
    switch (slot) {
    case SLOT_GPIO: GpioName(g, text); return text;
    case SLOT_PINNAME: wsprintfW(text, L"%S", PadName(g)); return text;
    case SLOT_PIN: return GetModulePinName(g, nullptr);
    case SLOT_EVALLOC: return GetEvalLoc(pin);
    case SLOT_EVALFNNAME: return GetEvalFnName(pin);
    case SLOT_GROUP: {
        char group[8] = {};
        GetGPIOPinGroup(g, group);
        wsprintfW(text, L"%S", group);
        return text;
    }
    default: return L"";
    }
}

namespace {

// Inserts row g at the index with its cells, from what the RowCache holds.
void InsertRow(HWND list, int index, uint32_t g) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(L"");
    item.lParam = LPARAM(g);
    int row = int(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    int pin = -1;
    if (ColumnShown(SLOT_EVALLOC) || ColumnShown(SLOT_EVALFNNAME)) GetModulePinName(g, &pin);
    for (const ColumnDef& column : Columns)
        if (ColumnShown(column.slot))
            SetCell(list, row, g, column.slot, GpioCellText(column.slot, g, pin, g_cellText));
    g_rowPresent[g] = true;
}

int Rows() {
    return ListGpioCount < ROW_CACHE_ENTRIES ? ListGpioCount : ROW_CACHE_ENTRIES;
}

} // namespace

int BuildGpioList(HWND list) {
    g_cellText[0] = 0;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < ColumnCount; ++i)
        SendMessageW(list, LVM_DELETECOLUMN, 0, 0);
    SendMessageW(list, LVM_SETITEMCOUNT, ListGpioCount, 0);
    FillModulePinNames();
    FillEvalBoardTexts();
    ApplyProcessorRule();
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    InsertColumns(list);
    ForgetSortOrder();
    int index = 0;
    for (int g = 0; g < Rows(); ++g) {
        ReadRow(uint32_t(g));
        UpdateMarks(uint32_t(g));
        g_rowPresent[g] = false;
        if (RowShown(uint32_t(g))) InsertRow(list, index++, uint32_t(g));
    }
    InstallCellUpdates(list);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InterlockedIncrement(&g_pollStats.builds);
    return 1;
}

std::wstring GpioTableTextOfEveryColumn() {
    for (int& slot : ColumnSlots)
        slot = 1;
    // "Edges" and "Activity" show what a window's refresh has sampled: nothing here.
    ColumnSlots[SLOT_EDGES] = ColumnSlots[SLOT_ACTIVITY] = COLUMN_HIDDEN;
    ApplyProcessorRule();
    // No list, no build: the name look-ups are filled here.
    FillModulePinNames();
    FillEvalBoardTexts();
    std::wstring text;
    const wchar_t* separator = L"";
    for (const ColumnDef& column : Columns) {
        if (!ColumnSeen(column)) continue;
        text = text + separator + column.header;
        separator = L"\t";
    }
    text += L"\r\n";
    for (int g = 0; g < Rows(); ++g) {
        ReadRow(uint32_t(g));
        int pin = -1;
        GetModulePinName(uint32_t(g), &pin);
        separator = L"";
        for (const ColumnDef& column : Columns) {
            if (!ColumnSeen(column)) continue;
            text = text + separator + GpioCellText(column.slot, uint32_t(g), pin, g_cellText);
            separator = L"\t";
        }
        text += L"\r\n";
    }
    return text;
}

int RefilterGpioList(HWND list) {
    bool shown[ROW_CACHE_ENTRIES] = {};
    int rows = Rows(), count = 0, added = 0;
    bool same = true;
    for (int g = 0; g < rows; ++g) {
        count += shown[g] = RowShown(uint32_t(g));
        same = same && shown[g] == g_rowPresent[g];
    }
    if (same) return count;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    // Rows that go, from the bottom up so that the indices above stay valid.
    for (int row = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) - 1; row >= 0; --row) {
        uint32_t g = GpioOfRow(list, row);
        if (g < uint32_t(rows) && shown[g]) continue;
        SendMessageW(list, LVM_DELETEITEM, row, 0);
        if (g < uint32_t(rows)) g_rowPresent[g] = false;
    }
    // Rows that come: in GPIO order, each at its place while the list is in that order, else at
    // the end and then sorted as the user last sorted.
    bool gpioOrder = SortColumn() < 0;
    int index = 0;
    for (int g = 0; g < rows; ++g) {
        if (!shown[g]) continue;
        if (!g_rowPresent[g]) {
            InsertRow(list, gpioOrder ? index : INT_MAX, uint32_t(g));
            ++added;
        }
        ++index;
    }
    if (added && !gpioOrder) SortGpioList(list, SortColumn());
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    return count;
}
