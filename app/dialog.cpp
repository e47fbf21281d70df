// The main dialog: a dispatcher of short handlers.
#include "app/dialog.h"
#include "app/bootcfg.h"
#include "app/files.h"
#include "app/title.h"
#include "gpiolib/gpiolib.h"
#include "platform/ce.h"
#include "table/marks.h"
#include "table/table.h"

#include <commctrl.h>
#include <cwchar>

HWND g_dialog;

namespace {

constexpr UINT kInitialRate = 5;

HWND List(HWND dialog) {
    return GetDlgItem(dialog, IDC_GPIOLIST);
}

// The board the registry held, and whether the user chose one in this run.
int g_storedBoard;
bool g_boardChosen;

// The table describes the board shown checked: a board of the other module family, stored by
// an earlier run on such a module, would name pins and locations that this module does not
// have. The stored choice is written back unless the user chooses a board.
void SettleBoard() {
    g_storedBoard = EvalbRevID;
    g_boardChosen = false;
    EvalbRevID = BoardShownFor(EvalbRevID);
}

void ShowBoardChoice(HWND dialog) {
    if (BelvanModule) {
        EnableWindow(GetDlgItem(dialog, IDC_EVAL21), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_EVAL31), FALSE);
        CheckRadioButton(dialog, IDC_BELVAN, IDC_BELVAN, IDC_BELVAN);
    } else {
        EnableWindow(GetDlgItem(dialog, IDC_BELVAN), FALSE);
        CheckRadioButton(dialog, IDC_EVAL21, IDC_EVAL31,
                         EvalbRevID == EVALB_VERSION21 ? IDC_EVAL21 : IDC_EVAL31);
    }
}

void OnEndDialog(HWND dialog) {
    if (!g_boardChosen) EvalbRevID = g_storedBoard;
    RememberPlacement(dialog);
    RemoveMenuBar();
    EndDialog(dialog, 0);
}

void OnInitDialog(HWND dialog) {
    g_dialog = dialog;
    BeginRebuilds();
    SettleBoard();
    BeginComparisons();
    BuildGpioList(List(dialog));
    // The box notifies the dialog, whose edit handler takes the rate from it.
    SetDlgItemInt(dialog, IDC_UPDATERATE, kInitialRate, FALSE);
    StartPollThread(List(dialog));
    wchar_t title[64];
    wsprintfW(title, TOOL_TITLE_FORMAT, TOOL_VERSION_MAJOR, TOOL_VERSION_MINOR);
    SetWindowTextW(dialog, title);
    CheckRadioButton(dialog, IDC_CURRENT, IDC_BOOTUP, IDC_CURRENT);
    if (IsTegra(ProcessorId)) EnableWindow(GetDlgItem(dialog, IDC_BOOTUP), FALSE);
    ShowBoardChoice(dialog);
    SetDlgItemTextW(dialog, IDC_HELPTEXT, HelpText(SETTINGS_CURRENT));
    if (IsPxa(ProcessorId)) LoadBootConfig(true);
    // The window can be minimised, which rests the refresh, and resized or maximised, which
    // gives the list the room. The sizing border keeps the client area as designed; a resize
    // paints the background around the controls only.
    RECT client;
    GetClientRect(dialog, &client);
    LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
    SetWindowLongPtrW(dialog, GWL_STYLE,
                      style | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN);
    AdjustWindowRectEx(&client, DWORD(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    CreateFindBox(dialog);
    AddMenuBar(dialog);
    SetUpCompareMenu(dialog);
    RecordLayout(dialog);
    ApplyStoredPlacement(dialog);
    HANDLE icon = LoadImageW(g_instance, MAKEINTRESOURCEW(IDI_TOOL), IMAGE_ICON, 16, 16, 0);
    if (icon) SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

// No refresh while minimised; a pass at once when the window comes back.
void OnSize(HWND dialog, WPARAM kind, LPARAM size) {
    if (kind == SIZE_MINIMIZED) PausePolling(true);
    if (kind == SIZE_RESTORED || kind == SIZE_MAXIMIZED) {
        PausePolling(false);
        LayOut(dialog, LOWORD(size), HIWORD(size));
    }
}

void OnUpdateRate(HWND dialog, WORD code) {
    if (code == EN_UPDATE) {
        UpdateRate = int(GetDlgItemInt(dialog, IDC_UPDATERATE, nullptr, FALSE));
        // Wine reads "-5" in an unsigned box as 4294967291: a minus sign is no number, 1 Hz.
        wchar_t text[16] = L"";
        GetDlgItemTextW(dialog, IDC_UPDATERATE, text, 16);
        if (text[wcsspn(text, L" \t")] == L'-') UpdateRate = 0;
    }
    if (UpdateRate == 0) UpdateRate = 1;
}

void ChooseBoard(int board) {
    EvalbRevID = board;
    g_boardChosen = true;
    RequestRebuild(REBUILD_LIST);
}

void OnCommand(HWND dialog, WORD id, WORD code) {
    switch (id) {
    case IDCANCEL: RequestRebuild(REBUILD_CLOSE); break;
    case IDC_SAVE:
        OnSave(dialog);
        StoredBootConfigChanged(dialog);
        break;
    case IDC_RESETCLEAR:
        OnResetClear(dialog);
        StoredBootConfigChanged(dialog);
        break;
    case IDC_CURRENT:
        if (OnCurrentSettings(dialog)) RequestRebuild(REBUILD_LIST);
        break;
    case IDC_BOOTUP:
        if (OnBootupSettings(dialog)) RequestRebuild(REBUILD_LIST);
        break;
    case IDC_UPDATERATE: OnUpdateRate(dialog, code); break;
    case IDC_EVAL21: ChooseBoard(EVALB_VERSION21); break;
    case IDC_EVAL31: ChooseBoard(EVALB_VERSION31); break;
    case IDC_BELVAN: ChooseBoard(EVALB_BELVAN); break;
    case IDM_COPY_TABLE: CopyGpioTable(List(dialog), dialog); break;
    case IDM_EXPORT_ACTIVITY: OnExportActivity(dialog); break;
    case IDM_FIND: FocusFindBox(dialog); break;
    case IDC_FIND:
        if (code == EN_CHANGE) OnFindChanged(dialog);
        break;
    default: OnFilesCommand(dialog, id); break;
    }
}

// On the dialog's thread, while no refresh thread runs (see app/rebuild.cpp).
void OnRebuildList(HWND dialog, int parameter) {
    if (parameter >= 0 && parameter < COLUMN_SLOT_COUNT) {
        int& slot = *ColumnMenuOrder[parameter];
        slot = slot == COLUMN_HIDDEN ? 1 : COLUMN_HIDDEN;
    }
    // A mode switch changes what GPIOLib works on here, while no refresh pass runs.
    SyncGpioLibWithSettingsMode();
    BuildGpioList(List(dialog));
    ShowFindCount(dialog);
}

// Answers the list's notifications; true when the result is set.
bool OnNotify(HWND dialog, const NMHDR* header) {
    if (CompareTipNotify(header)) return true;
    if (header->idFrom != IDC_GPIOLIST) return false;
    switch (header->code) {
    case NM_RCLICK:
    case GN_CONTEXTMENU:
        OnListRightClick(dialog, header->hwndFrom);
        // Handled: no WM_CONTEXTMENU (and no second menu) follows.
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
        return true;
    case NM_CUSTOMDRAW:
        SetWindowLongPtrW(
            dialog, DWLP_MSGRESULT,
            CustomDrawGpioList(reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header))));
        return true;
    case LVN_COLUMNCLICK: {
        auto* click = reinterpret_cast<const NMLISTVIEW*>(header);
        SortGpioList(header->hwndFrom, click->iSubItem);
        return false;
    }
    default: return false;
    }
}

} // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); return TRUE;
    case WM_COMMAND: OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_NOTIFY: return OnNotify(dialog, reinterpret_cast<const NMHDR*>(lParam));
    case WM_CONTEXTMENU: return OnContextMenu(dialog, reinterpret_cast<HWND>(wParam), lParam);
    case WM_SIZE: OnSize(dialog, wParam, lParam); return FALSE;
    case WM_GETMINMAXINFO: LimitSize(dialog, reinterpret_cast<MINMAXINFO*>(lParam)); return TRUE;
    case WM_DPICHANGED:
        OnDpiChanged(dialog, LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return TRUE;
    case WM_SETCURSOR:
        // The mouse over the list: a compare tip follows it from cell to cell.
        if (reinterpret_cast<HWND>(wParam) == List(dialog) && HIWORD(lParam) == WM_MOUSEMOVE)
            FollowCompareTip(List(dialog));
        return FALSE;
    case WM_APP_REBUILD_LIST: OnRebuildList(dialog, int(wParam)); return TRUE;
    case WM_APP_END_DIALOG: OnEndDialog(dialog); return TRUE;
    default: return FALSE;
    }
}
