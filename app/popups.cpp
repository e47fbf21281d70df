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
    // PXA320: GPIO 0 is an input-only alias of GPIO 87.
    if (ProcessorId == PROCESSOR_PXA320 && gpio == 0) {
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
};

void ValuePopupFor(const ValuePopup& popup, uint32_t gpio, POINT at, HWND list) {
    HMENU menu = g_popups[popup.popup];
    if (popup.cache) PreCheck(menu, popup.cache[gpio]);
    int id = Track(menu, at, list);
    int items = GetMenuItemCount(menu);
    if (id && InRange(id, popup.firstId, popup.firstId + items - 1))
        popup.choose(gpio, uint32_t(id - popup.firstId));
}

// PXA270: input functions 0..3 at positions 2..5, output functions at 8..11.
void Pxa270AltFnPopup(uint32_t gpio, POINT at, HWND list) {
    HMENU menu = g_popups[POPUP_ALTFN];
    for (int fn = 0; fn < 4; ++fn) {
        SetLabel(menu, 2 + fn, GetAltFnName(gpio, 0, fn));
        SetLabel(menu, 8 + fn, GetAltFnName(gpio, 1, fn));
    }
    PreCheck(menu, CachedAltFn[gpio] + 6 * CachedDir[gpio] + 2);
    int id = Track(menu, at, list);
    if (InRange(id, IDM_ALTFN_IN_GPIO, IDM_ALTFN_IN_FN3))
        SetGPIOAltFn(gpio, id - IDM_ALTFN_IN_GPIO, 0);
    else if (InRange(id, IDM_ALTFN_OUT_GPIO, IDM_ALTFN_OUT_FN3))
        SetGPIOAltFn(gpio, id - IDM_ALTFN_OUT_GPIO, 1);
}

// PXA3xx: functions 0..7. Tegra: the plain GPIO, then pin-mux functions 0..3.
void AltFnPopup(uint32_t gpio, POINT at, HWND list) {
    if (ProcessorId == PROCESSOR_PXA270) return Pxa270AltFnPopup(gpio, at, list);
    // The PXA3xx boot-up block holds no alternate functions.
    if (SettingsMode == SETTINGS_BOOTUP) return;
    bool tegra = IsTegra(ProcessorId);
    HMENU menu = g_popups[tegra ? POPUP_ALTFN_TEGRA2 : POPUP_ALTFN_PXA320];
    int first = tegra ? -1 : 0, items = GetMenuItemCount(menu);
    for (int position = 0; position < items; ++position)
        SetLabel(menu, position, GetAltFnName(gpio, 0, first + position));
    PreCheck(menu, CachedAltFn[gpio] - first);
    int id = Track(menu, at, list);
    if (InRange(id, IDM_FN0, IDM_FN0 + items - 1))
        SetGPIOAltFn(gpio, id - IDM_FN0 + first, uint32_t(GetGPIODir(gpio)));
}

void ColumnsPopup(POINT at, HWND list) {
    HMENU menu = g_popups[POPUP_COLUMNS];
    for (int n = 0; n < COLUMN_SLOT_COUNT; ++n)
        CheckMenuItem(menu, UINT(n),
                      MF_BYPOSITION |
                          (*ColumnMenuOrder[n] != COLUMN_HIDDEN ? MF_CHECKED : MF_UNCHECKED));
    int id = Track(menu, at, list);
    if (InRange(id, IDM_COL_GPIO, IDM_COL_PULLSTATE)) RequestRebuild(id - IDM_COL_GPIO);
}

bool InHeader(HWND list, POINT screen) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT rect;
    return header && IsWindowVisible(header) && GetWindowRect(header, &rect) &&
           PtInRect(&rect, screen);
}

// The GPIO of a row: the list's own item id, which it hands out in insertion order over its
// whole life, modulo the rows of a build; the row's lParam says the same and wins if not.
uint32_t RowGpio(HWND list, int row) {
    int id = int(SendMessageW(list, LVM_MAPINDEXTOID, WPARAM(row), 0));
    int gpio = ListGpioCount > 0 ? id % ListGpioCount : id;
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) && item.lParam != gpio)
        gpio = int(item.lParam);
    return uint32_t(gpio);
}

} // namespace

void OpenCellPopup(int slot, uint32_t gpio, POINT at, HWND list) {
    if (RebuildPending() || !GpioLibMatchesSettingsMode()) return;
    if (gpio >= uint32_t(ListGpioCount) || gpio >= ROW_CACHE_ENTRIES) return;
    if (slot == SLOT_ALTFN || slot == SLOT_ALTFNNAME) return AltFnPopup(gpio, at, list);
    for (const ValuePopup& popup : kValuePopups)
        if (popup.slot == slot) return ValuePopupFor(popup, gpio, at, list);
}

void OpenColumnsPopup(POINT at, HWND list) {
    ColumnsPopup(at, list);
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
    // A right-click on a cell has been answered through the list's notification already.
    if (InHeader(list, screen)) ColumnsPopup(screen, list);
    return true;
}
