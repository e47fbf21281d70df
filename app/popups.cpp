// Popup menus of the GPIO list: one per cell kind, and "Columns" on the header.
//
// A cell's popup is not opened while a rebuild is queued or running: the rebuild may be about to
// switch what GPIOLib works on (a mode switch) or to hide the column, and the user can right-click
// again a moment later. The build itself runs on the dialog's thread, so it never runs while a
// popup is being labelled.
#include "app/dialog.h"
#include "app/bootcfg.h"
#include "gpiolib/gpiolib.h"
#include "table/altfn.h"
#include "table/table.h"
#include "activity/history.h"

#include <windowsx.h>

namespace {

int Track(HMENU menu, POINT screen, HWND list) {
    return TrackPopupMenu(menu, TPM_RETURNCMD, screen.x, screen.y, 0, list, nullptr);
}

// A radio mark on one item; a value outside the popup's items marks none.
void PreCheck(HMENU menu, int position) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        CheckMenuItem(menu, UINT(i), MF_BYPOSITION | MF_UNCHECKED);
    if (position >= 0 && position < count)
        CheckMenuRadioItem(menu, 0, UINT(count - 1), UINT(position), MF_BYPOSITION);
}

void SetLabel(HMENU menu, int position, const wchar_t* text) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_TYPE;
    info.fType = MFT_RADIOCHECK | MFT_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text);
    SetMenuItemInfoW(menu, UINT(position), TRUE, &info);
}

bool InRange(int id, int first, int last) {
    return id >= first && id <= last;
}

void ChooseDirection(uint32_t gpio, uint32_t dir) {
    // An alias of another GPIO is an input only.
    if (AliasedGpio(ProcessorId, gpio) != gpio) {
        ShowMessage(g_dialog, L"GPIO 0 can not be set to output", L"Attention", MB_OK);
        return;
    }
    ApplyDirection(gpio, dir);
}
void ChooseLevel(uint32_t gpio, uint32_t level) {
    ApplyLevel(gpio, level);
}
void ChooseEdgeDetect(uint32_t gpio, uint32_t flags) {
    SetGPIOEdgeDetect(gpio, flags);
}
void ResetEdgeStatus(uint32_t gpio, uint32_t) {
    ClearGPIOEdgeStatus(gpio);
}
void ChooseTristate(uint32_t gpio, uint32_t value) {
    SetGPIOTristate(gpio, value);
}
void ChoosePullState(uint32_t gpio, uint32_t value) {
    SetGPIOPullState(gpio, value);
}
// The count shows 0 at the next pass.
void ResetEdges(uint32_t gpio, uint32_t all) {
    if (all)
        ResetAllEdgeCounts();
    else
        ResetEdgeCount(gpio);
}

// The function of the first item of the PXA3xx and Tegra function popups.
int FirstAltFn() {
    return IsTegra(ProcessorId) ? -1 : 0;
}

// Popups whose item n stands for value n.
struct ValuePopup {
    ColumnSlotIndex slot;
    PopupIndex popup;
    int firstId;
    const int* cache; // what the cell shows, for the pre-check; null: no pre-check
    void (*choose)(uint32_t gpio, uint32_t value);
};
const ValuePopup kValuePopups[] = {
    {SLOT_DIRECTION, POPUP_DIR, IDM_DIR_INPUT, CachedDir, ChooseDirection},
    {SLOT_LEVEL, POPUP_LEVEL, IDM_LEVEL_0, CachedLevel, ChooseLevel},
    {SLOT_EDGEDET, POPUP_EDGEDET, IDM_EDGE_NONE, CachedEdgeDetect, ChooseEdgeDetect},
    {SLOT_EDGESTAT, POPUP_EDGESTAT, IDM_EDGESTAT_RESET, nullptr, ResetEdgeStatus},
    {SLOT_TRISTATE, POPUP_TRISTATE, IDM_TRISTATE_NO, CachedTristate, ChooseTristate},
    {SLOT_PULLSTATE, POPUP_PULLSTATE, IDM_PULL_NORMAL, CachedPullState, ChoosePullState},
    {SLOT_EDGES, POPUP_EDGES, IDM_EDGES_RESET, nullptr, ResetEdges},
};

const ValuePopup* ValuePopupOf(int slot) {
    for (const ValuePopup& popup : kValuePopups)
        if (popup.slot == slot) return &popup;
    return nullptr;
}

// PXA270: input functions 0..3 at positions 2..5, output functions at 8..11. PXA3xx: functions
// 0..7. Tegra: the plain GPIO, then pin-mux functions 0..3.
HMENU PrepareAltFn(uint32_t gpio) {
    if (ProcessorId == PROCESSOR_PXA270) {
        HMENU menu = g_popups[POPUP_ALTFN];
        for (int fn = 0; fn < 4; ++fn) {
            SetLabel(menu, 2 + fn, GetAltFnName(gpio, 0, fn));
            SetLabel(menu, 8 + fn, GetAltFnName(gpio, 1, fn));
        }
        PreCheck(menu, CachedAltFn[gpio] + 6 * CachedDir[gpio] + 2);
        return menu;
    }
    // The PXA3xx boot-up block holds no alternate functions.
    if (SettingsMode == SETTINGS_BOOTUP) return nullptr;
    bool tegra = IsTegra(ProcessorId);
    HMENU menu = g_popups[tegra ? POPUP_ALTFN_TEGRA2 : POPUP_ALTFN_PXA320];
    int first = FirstAltFn(), items = GetMenuItemCount(menu);
    for (int position = 0; position < items; ++position)
        SetLabel(menu, position, GetAltFnName(gpio, 0, first + position));
    PreCheck(menu, CachedAltFn[gpio] - first);
    return menu;
}

// The chosen item's call; false when the id is none of this popup's.
bool ActAltFn(uint32_t gpio, int id) {
    if (ProcessorId == PROCESSOR_PXA270) {
        if (InRange(id, IDM_ALTFN_IN_GPIO, IDM_ALTFN_IN_FN3))
            SetGPIOAltFn(gpio, id - IDM_ALTFN_IN_GPIO, 0);
        else if (InRange(id, IDM_ALTFN_OUT_GPIO, IDM_ALTFN_OUT_FN3))
            SetGPIOAltFn(gpio, id - IDM_ALTFN_OUT_GPIO, 1);
        else
            return false;
        return true;
    }
    int items =
        GetMenuItemCount(g_popups[IsTegra(ProcessorId) ? POPUP_ALTFN_TEGRA2 : POPUP_ALTFN_PXA320]);
    if (!InRange(id, IDM_FN0, IDM_FN0 + items - 1)) return false;
    SetGPIOAltFn(gpio, id - IDM_FN0 + FirstAltFn(), uint32_t(GetGPIODir(gpio)));
    return true;
}

bool IsAltFnSlot(int slot) {
    return slot == SLOT_ALTFN || slot == SLOT_ALTFNNAME;
}

void ColumnsPopup(POINT at, HWND list) {
    HMENU menu = g_popups[POPUP_COLUMNS];
    for (int n = 0; n < COLUMN_SLOT_COUNT; ++n)
        CheckMenuItem(menu, UINT(n),
                      MF_BYPOSITION |
                          (*ColumnMenuOrder[n] != COLUMN_HIDDEN ? MF_CHECKED : MF_UNCHECKED));
    int id = Track(menu, at, list);
    if (InRange(id, IDM_COL_GPIO, IDM_COL_ACTIVITY)) RequestRebuild(id - IDM_COL_GPIO);
    if (id == IDM_COPY_TABLE) CopyGpioTable(list, g_dialog);
}

bool InHeader(HWND list, POINT screen) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT rect;
    return header && IsWindowVisible(header) && GetWindowRect(header, &rect) &&
           PtInRect(&rect, screen);
}

// The GPIO of a row: the list's own item id, which it hands out in insertion order over its
// whole life, modulo the rows of a build; the row's lParam says the same and wins if not (as
// it does once the find box has left rows out and brought them back).
uint32_t RowGpio(HWND list, int row) {
    int id = int(SendMessageW(list, LVM_MAPINDEXTOID, WPARAM(row), 0));
    int gpio = ListGpioCount > 0 ? id % ListGpioCount : id;
    uint32_t shown = GpioOfRow(list, row);
    return shown != UINT32_MAX ? shown : uint32_t(gpio);
}

bool CellPopupsAllowed(uint32_t gpio) {
    return !RebuildPending() && GpioLibMatchesSettingsMode() && gpio < uint32_t(ListGpioCount) &&
           gpio < ROW_CACHE_ENTRIES;
}

HMENU PrepareCellPopup(int slot, uint32_t gpio) {
    if (IsAltFnSlot(slot)) return PrepareAltFn(gpio);
    const ValuePopup* popup = ValuePopupOf(slot);
    if (!popup) return nullptr;
    HMENU menu = g_popups[popup->popup];
    if (popup->cache) PreCheck(menu, popup->cache[gpio]);
    return menu;
}

bool ActOnCellPopup(int slot, uint32_t gpio, int id) {
    if (IsAltFnSlot(slot)) return ActAltFn(gpio, id);
    const ValuePopup* popup = ValuePopupOf(slot);
    if (!popup) return false;
    int items = GetMenuItemCount(g_popups[popup->popup]);
    if (!InRange(id, popup->firstId, popup->firstId + items - 1)) return false;
    popup->choose(gpio, uint32_t(id - popup->firstId));
    return true;
}

// The keyboard's context menu (Shift+F10, the menu key): for the selected row, one submenu per
// shown column that has a popup, each as a right-click on that cell would open it (the two
// alternate-function columns share one); with no row selected, "Columns".
void OpenKeyboardMenu(HWND list) {
    int row = int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    RECT rect = {};
    rect.left = LVIR_BOUNDS;
    if (row < 0 || !SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)))
        GetClientRect(list, &rect);
    POINT at = {rect.left + 8, row < 0 ? rect.top : rect.bottom};
    ClientToScreen(list, &at);
    if (row < 0) return ColumnsPopup(at, list);

    uint32_t gpio = RowGpio(list, row);
    if (!CellPopupsAllowed(gpio)) return;
    HMENU menu = CreatePopupMenu();
    int slots[COLUMN_SLOT_COUNT], count = 0;
    bool altFn = false;
    for (const ColumnDef& column : Columns) {
        if (!ColumnShown(column.slot) || (IsAltFnSlot(column.slot) && altFn)) continue;
        HMENU popup = PrepareCellPopup(column.slot, gpio);
        if (!popup) continue;
        altFn = altFn || IsAltFnSlot(column.slot);
        AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), column.header);
        slots[count++] = column.slot;
    }
    int id = count ? Track(menu, at, list) : 0;
    for (int i = 0; i < count && id; ++i)
        if (ActOnCellPopup(slots[i], gpio, id)) break;
    // The submenus belong to the menu resource: detach them before the parent goes.
    while (GetMenuItemCount(menu) > 0)
        RemoveMenu(menu, 0, MF_BYPOSITION);
    DestroyMenu(menu);
}

} // namespace

void OpenCellPopup(int slot, uint32_t gpio, POINT at, HWND list) {
    if (!CellPopupsAllowed(gpio)) return;
    if (HMENU menu = PrepareCellPopup(slot, gpio))
        ActOnCellPopup(slot, gpio, Track(menu, at, list));
}

bool OnListRightClick(HWND dialog, HWND list) {
    DWORD position = GetMessagePos();
    POINT screen = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    (void)dialog;
    if (InHeader(list, screen)) {
        ColumnsPopup(screen, list);
        return true;
    }
    LVHITTESTINFO hit = {};
    hit.pt = screen;
    ScreenToClient(list, &hit.pt);
    SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.iSubItem < 0 || hit.iItem < 0) return true;
    OpenCellPopup(ColumnSlotAt(hit.iSubItem), RowGpio(list, hit.iItem), screen, list);
    return true;
}

bool OnContextMenu(HWND dialog, HWND window, LPARAM screenPoint) {
    HWND list = GetDlgItem(dialog, IDC_GPIOLIST);
    if (window != list && GetParent(window) != list) return false;
    POINT screen = {GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    if (screen.x == -1 && screen.y == -1) {
        OpenKeyboardMenu(list);
        return true;
    }
    // A right-click on a cell has been answered through the list's notification already.
    if (InHeader(list, screen)) ColumnsPopup(screen, list);
    return true;
}
