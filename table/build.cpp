// Builds the GPIO list from scratch: columns, rows and every shown cell.
#include "table/table.h"
#include "table/cells.h"
#include "gpiolib/gpiolib.h"
#include "table/evalboard.h"
#include "table/modulepin.h"
#include "activity/history.h"

#include <commctrl.h>

namespace {

// One buffer serves every cell; the longest text (an evaluation-board location) has 16.
constexpr int kCellTextSize = 128;
wchar_t g_cellText[kCellTextSize];

unsigned Family() {
    if (ProcessorId == PROCESSOR_TEGRA2) return ON_TEGRA2;
    if (ProcessorId == PROCESSOR_TEGRA3) return ON_TEGRA3;
    return ON_PXA;
}

// Columns the processor does not have stay hidden, whatever their slots held.
void ApplyProcessorRule() {
    for (const ColumnDef& column : Columns)
        if (!(column.allowedOn & Family())) ColumnSlots[column.slot] = COLUMN_HIDDEN;
}

void InsertColumns(HWND list) {
    int index = 0;
    for (const ColumnDef& column : Columns) {
        if (!ColumnShown(column.slot)) continue;
        LVCOLUMNW lvc = {};
        lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        lvc.fmt = column.format;
        lvc.cx = SettingsMode == SETTINGS_BOOTUP && column.zeroWidthInBootup ? 0 : column.width;
        lvc.pszText = const_cast<wchar_t*>(column.header);
        SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&lvc));
        ColumnSlots[column.slot] = index++;
    }
    ColumnCount = index;
}

void SetCell(HWND list, uint32_t gpio, ColumnSlotIndex slot, const wchar_t* text) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = int(gpio);
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

// The text of one cell of row g, from what ReadRow cached; pin is the row's first module pin.
const wchar_t* CellText(ColumnSlotIndex slot, uint32_t g, int pin) {
    wchar_t* text = g_cellText;
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

void InsertRow(HWND list, uint32_t g) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = int(g);
    item.pszText = const_cast<wchar_t*>(L"");
    item.lParam = LPARAM(g);
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));

    ReadRow(g);
    int pin = -1;
    if (ColumnShown(SLOT_EVALLOC) || ColumnShown(SLOT_EVALFNNAME)) GetModulePinName(g, &pin);
    for (const ColumnDef& column : Columns)
        if (ColumnShown(column.slot)) SetCell(list, g, column.slot, CellText(column.slot, g, pin));
}

} // namespace

int BuildGpioList(HWND list) {
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceCounter(&start);
    g_cellText[0] = 0;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < ColumnCount; ++i)
        SendMessageW(list, LVM_DELETECOLUMN, 0, 0);
    SendMessageW(list, LVM_SETITEMCOUNT, ListGpioCount, 0);
    ApplyProcessorRule();
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    InsertColumns(list);
    for (int g = 0; g < ListGpioCount && g < ROW_CACHE_ENTRIES; ++g)
        InsertRow(list, uint32_t(g));
    InstallCellUpdates(list);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&frequency);
    g_pollStats.lastBuildUs = LONG((end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart);
    InterlockedIncrement(&g_pollStats.builds);
    return 1;
}
