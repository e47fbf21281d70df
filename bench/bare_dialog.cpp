// The floor of the tool's start-up, idle cost and popups: the tool's own dialog with its list
// view empty. A right-click in the list opens the tool's "Level" popup, as a right-click on a
// Level cell of the tool does; nothing else happens.
#include "app/app.h"
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

namespace {

HMENU g_popup;

INT_PTR CALLBACK BareDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
        return TRUE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_GPIOLIST || header->code != UINT(NM_RCLICK)) return FALSE;
        DWORD at = GetMessagePos();
        TrackPopupMenu(g_popup, TPM_RETURNCMD, GET_X_LPARAM(at), GET_Y_LPARAM(at), 0,
                       header->hwndFrom, nullptr);
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    default: return FALSE;
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    g_popup = GetSubMenu(LoadMenuW(instance, MAKEINTRESOURCEW(IDR_POPUPS)), POPUP_LEVEL);
    return int(DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, BareDialog, 0));
}
