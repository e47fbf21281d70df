#include "tests/input_support.h"

#include <commctrl.h>
#include <cstdlib>

namespace {

POINT AwayFromLastClick(POINT screen, DWORD button) {
    static POINT last[2] = {{-100, -100}, {-100, -100}};
    POINT& previous = last[button == MOUSEEVENTF_RIGHTDOWN];
    if (abs(screen.x - previous.x) <= 4 && abs(screen.y - previous.y) <= 4)
        screen.x = previous.x + (screen.x < previous.x + 1 ? 5 : -5);
    previous = screen;
    return screen;
}

INPUT Key(WORD vk, wchar_t unicode, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = unicode;
    in.ki.dwFlags = (unicode ? KEYEVENTF_UNICODE : 0) | (up ? KEYEVENTF_KEYUP : 0);
    return in;
}

} // namespace

void ClickAt(POINT screen, DWORD down, DWORD up) {
    screen = AwayFromLastClick(screen, down);
    INPUT in[3] = {};
    int w = GetSystemMetrics(SM_CXSCREEN) - 1, h = GetSystemMetrics(SM_CYSCREEN) - 1;
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = screen.x * 65535 / w;
        i.mi.dy = screen.y * 65535 / h;
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    in[1].mi.dwFlags |= down;
    in[2].mi.dwFlags |= up;
    SendInput(3, in, sizeof(INPUT));
}

void MouseAt(POINT screen, DWORD buttons) {
    INPUT in = {};
    int w = GetSystemMetrics(SM_CXSCREEN) - 1, h = GetSystemMetrics(SM_CYSCREEN) - 1;
    in.type = INPUT_MOUSE;
    in.mi.dx = screen.x * 65535 / w;
    in.mi.dy = screen.y * 65535 / h;
    in.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttons;
    SendInput(1, &in, sizeof in);
}

void PressKey(WORD vk, WORD modifier) {
    INPUT in[4];
    UINT n = 0;
    if (modifier) in[n++] = Key(modifier, 0, false);
    in[n++] = Key(vk, 0, false);
    in[n++] = Key(vk, 0, true);
    if (modifier) in[n++] = Key(modifier, 0, true);
    SendInput(n, in, sizeof(INPUT));
}

void TypeText(const wchar_t* text) {
    for (; *text; ++text) {
        INPUT in[2] = {Key(0, *text, false), Key(0, *text, true)};
        SendInput(2, in, sizeof(INPUT));
    }
}

int HighlightTop(HWND menu) {
    RECT r;
    if (!GetWindowRect(menu, &r)) return -2;
    COLORREF highlight[] = {GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_MENUHILIGHT)};
    HDC screen = GetDC(nullptr);
    COLORREF edge = GetPixel(screen, r.right - 1, r.top + 2);
    bool drawn = edge == GetSysColor(COLOR_3DDKSHADOW) || edge == GetSysColor(COLOR_BTNSHADOW);
    for (int y = r.top + 2; drawn && y < r.bottom - 2; ++y)
        drawn = GetPixel(screen, r.right - 1, y) == edge;
    int top = drawn ? -1 : -2;
    for (int y = r.top + 2; drawn && top < 0 && y < r.bottom - 2; ++y) {
        COLORREF c = GetPixel(screen, r.right - 6, y);
        if (c == highlight[0] || c == highlight[1]) top = y;
    }
    ReleaseDC(nullptr, screen);
    return top;
}

POINT CellInView(HWND list, const std::function<RECT()>& measure) {
    RECT rect = measure(), client;
    GetClientRect(list, &client);
    for (int i = 0; i < 100 && (rect.right > client.right || rect.left < 0); ++i) {
        SendMessageW(list, LVM_SCROLL, rect.left < 0 ? -20 : 20, 0);
        rect = measure();
    }
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(list, &point);
    return point;
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return L"(clipboard not open)";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void EmptyTheClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

FileDialogAnswer::FileDialogAnswer(const wchar_t* dialogTitle, const std::wstring& filePath)
    : title(dialogTitle), path(filePath) {
    thread = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* a = static_cast<FileDialogAnswer*>(p);
            // The name box: the edit box of the dialog that has the keyboard focus.
            auto nameBox = [a]() -> HWND {
                HWND dialog = FindWindowW(L"#32770", a->title);
                GUITHREADINFO info = {};
                info.cbSize = sizeof info;
                wchar_t name[16] = L"";
                if (!dialog || !IsWindowVisible(dialog) ||
                    !GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) ||
                    !info.hwndFocus || GetAncestor(info.hwndFocus, GA_ROOT) != dialog ||
                    !GetClassNameW(info.hwndFocus, name, 16) || lstrcmpiW(name, L"Edit") != 0)
                    return nullptr;
                return info.hwndFocus;
            };
            HWND box = nullptr;
            while (!a->stop && !(box = nameBox()))
                Sleep(20);
            if (!box) return 0;
            // The Save dialog proposes a name: selected first, so that typing replaces it.
            PressKey(VK_END);
            PressKey(VK_HOME, VK_SHIFT);
            TypeText(a->path.c_str());
            // Every character arrived before Enter is pressed.
            for (int waited = 0; !a->stop && waited < 10000; waited += 20) {
                wchar_t typed[MAX_PATH] = L"";
                // A message, not GetWindowTextW, which reads another process's box as empty.
                SendMessageW(box, WM_GETTEXT, MAX_PATH, LPARAM(typed));
                if (a->path == typed) break;
                Sleep(20);
            }
            PressKey(VK_RETURN);
            a->answered = true;
            return 0;
        },
        this, 0, nullptr);
}

FileDialogAnswer::~FileDialogAnswer() {
    stop = true;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}
