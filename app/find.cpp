// The find box at the top right of the window: typing filters the list to the rows whose shown
// cells hold every word typed (table/filter.cpp); a count beside it says how many rows remain.
//
// The box is a real edit box made when the dialog opens (the dialog's template stays as it is).
// It keeps Escape, Return and Down for itself: Escape clears it, Return and Down move the focus
// to the list's first row. Escape anywhere else still closes the tool.
#include "app/dialog.h"
#include "table/filter.h"
#include "table/table.h"

namespace {

// Dialog units: beside the board buttons, ending where the list ends.
constexpr RECT kFindBox = {309, 5, 399, 17};
constexpr RECT kFindCount = {255, 7, 305, 15};
constexpr UINT_PTR kFindSubclass = 1;
constexpr int kFindTextMax = 256;

HWND MakeChild(HWND dialog, const wchar_t* kind, DWORD style, RECT units, int id) {
    MapDialogRect(dialog, &units);
    HWND control =
        CreateWindowExW(0, kind, L"", WS_CHILD | WS_VISIBLE | style, units.left, units.top,
                        units.right - units.left, units.bottom - units.top, dialog,
                        reinterpret_cast<HMENU>(INT_PTR(id)), g_instance, nullptr);
    SendMessageW(control, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    return control;
}

void FocusFirstRow(HWND box) {
    HWND dialog = GetParent(box), list = GetDlgItem(dialog, IDC_GPIOLIST);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    if (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 0) return;
    LVITEMW item = {};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageW(list, LVM_ENSUREVISIBLE, 0, FALSE);
}

bool OwnKey(WPARAM key) {
    return key == VK_ESCAPE || key == VK_RETURN || key == VK_DOWN;
}

LRESULT CALLBACK FindBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR) {
    switch (message) {
    case WM_GETDLGCODE: {
        // Escape and Return would otherwise go to the dialog (close, default button).
        auto* keyMessage = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = DefSubclassProc(box, message, wParam, lParam);
        if (keyMessage && keyMessage->message == WM_KEYDOWN && OwnKey(keyMessage->wParam))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            SetWindowTextW(box, L"");
            return 0;
        }
        if (wParam == VK_RETURN || wParam == VK_DOWN) {
            FocusFirstRow(box);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L'\x1b' || wParam == L'\r') return 0; // handled as keys: no beep
        break;
    case WM_NCDESTROY: RemoveWindowSubclass(box, FindBoxProc, kFindSubclass); break;
    default: break;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

} // namespace

void CreateFindBox(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_GPIOLIST);
    HWND box =
        MakeChild(dialog, L"Edit", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kFindBox, IDC_FIND);
    HWND count = MakeChild(dialog, L"Static", SS_RIGHT | SS_NOPREFIX, kFindCount, IDC_FINDCOUNT);
    // In the tab order right after the list, which keeps the focus when the window opens.
    SetWindowPos(box, list, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(count, box, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(box, EM_LIMITTEXT, kFindTextMax - 1, 0);
    SendMessageW(box, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"Find (Ctrl+F)"));
    SetWindowSubclass(box, FindBoxProc, kFindSubclass, 0);
}

void ShowFindCount(HWND dialog) {
    wchar_t text[32] = L"";
    if (FindActive())
        wsprintfW(text, L"%d of %d",
                  int(SendMessageW(GetDlgItem(dialog, IDC_GPIOLIST), LVM_GETITEMCOUNT, 0, 0)),
                  ListGpioCount);
    SetDlgItemTextW(dialog, IDC_FINDCOUNT, text);
}

void OnFindChanged(HWND dialog) {
    wchar_t text[kFindTextMax] = L"";
    GetDlgItemTextW(dialog, IDC_FIND, text, kFindTextMax);
    SetFindText(text);
    RefilterGpioList(GetDlgItem(dialog, IDC_GPIOLIST));
    ShowFindCount(dialog);
}

void FocusFindBox(HWND dialog) {
    // As the Tab key does it: the box's text comes selected.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_FIND)),
                 TRUE);
    SendMessageW(GetDlgItem(dialog, IDC_FIND), EM_SETSEL, 0, -1);
}
