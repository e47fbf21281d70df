// The main window's menu bar and its keyboard shortcuts.
//
// The dialog keeps its template; the bar is added when it opens, and the window grows by the
// bar's height so that every control keeps its place. The dialog runs modally, so its message
// loop is the platform's: shortcuts are translated in a message filter, which that loop (the
// dialog manager's IsDialogMessage) calls for every message before handling it.
#include "app/dialog.h"

namespace {

HACCEL g_accelerators;
HHOOK g_filter;
HWND g_owner;

// Ctrl+C, Ctrl+V and the other editing keys belong to an edit box that has the focus.
bool EditBoxKeepsKey(const MSG* message) {
    wchar_t name[16] = L"";
    if (!GetClassNameW(message->hwnd, name, 16) || lstrcmpiW(name, L"Edit") != 0) return false;
    if (GetKeyState(VK_CONTROL) >= 0) return false;
    // Ctrl+Shift+letter is no editing key of an edit box: it stays a shortcut.
    if (GetKeyState(VK_SHIFT) < 0 && message->wParam != VK_INSERT) return false;
    switch (message->wParam) {
    case 'A':
    case 'C':
    case 'V':
    case 'X':
    case 'Z':
    case VK_INSERT: return true;
    default: return false;
    }
}

LRESULT CALLBACK FilterDialogMessages(int code, WPARAM wParam, LPARAM lParam) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && g_owner && message &&
        (message->hwnd == g_owner || IsChild(g_owner, message->hwnd)) &&
        (message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN) &&
        !EditBoxKeepsKey(message) && TranslateAcceleratorW(g_owner, g_accelerators, message))
        return TRUE;
    return CallNextHookEx(g_filter, code, wParam, lParam);
}

} // namespace

void AddMenuBar(HWND dialog) {
    HMENU bar = LoadMenuW(g_instance, MAKEINTRESOURCEW(IDR_MAINMENU));
    if (!bar) return;
    RECT before, after, window;
    GetClientRect(dialog, &before);
    if (!SetMenu(dialog, bar)) {
        DestroyMenu(bar);
        return;
    }
    GetClientRect(dialog, &after);
    GetWindowRect(dialog, &window);
    SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left,
                 window.bottom - window.top + before.bottom - after.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    g_owner = dialog;
    g_accelerators = LoadAcceleratorsW(g_instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    if (g_accelerators && !g_filter)
        g_filter =
            SetWindowsHookExW(WH_MSGFILTER, FilterDialogMessages, nullptr, GetCurrentThreadId());
}

void RemoveMenuBar() {
    if (g_filter) UnhookWindowsHookEx(g_filter);
    g_filter = nullptr;
    g_owner = nullptr;
}
