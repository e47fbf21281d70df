// windowctl: waits for the tool's window and closes it through its close command, for the run
// script on a machine without a display; keeps Wine's desktop process running for the tests.
//   windowctl wait   waits until the window shows (30 s at most, else exit 1), then until its
//                    list has rows (5 s at most)
//   windowctl close  sends the close command and waits until the window is gone
//   windowctl hold   keeps a hidden window (and so Wine's desktop process) until it is ended
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <cwchar>

namespace {

const wchar_t kTitle[] = L"Velmora GPIO Config V 2.3";
constexpr int kListId = 1028;

bool WaitFor(bool (*condition)(), DWORD milliseconds) {
    for (DWORD waited = 0; waited < milliseconds; waited += 100) {
        if (condition()) return true;
        Sleep(100);
    }
    return condition();
}

bool Shown() {
    HWND window = FindWindowW(nullptr, kTitle);
    return window && IsWindowVisible(window);
}

bool Filled() {
    HWND window = FindWindowW(nullptr, kTitle);
    HWND list = window ? GetDlgItem(window, kListId) : nullptr;
    return list && IsWindowVisible(window) && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0;
}

bool Gone() {
    return FindWindowW(nullptr, kTitle) == nullptr;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && wcscmp(argv[1], L"wait") == 0) {
        if (!WaitFor(Shown, 30000)) {
            fprintf(stderr, "windowctl: the tool's window did not show within 30 s\n");
            return 1;
        }
        WaitFor(Filled, 5000);
        return 0;
    }
    if (argc == 2 && wcscmp(argv[1], L"close") == 0) {
        HWND window = FindWindowW(nullptr, kTitle);
        if (!window) {
            fprintf(stderr, "windowctl: the tool's window is not open\n");
            return 1;
        }
        // The close box: the dialog turns it into its close command.
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (WaitFor(Gone, 10000)) return 0;
        fprintf(stderr, "windowctl: the tool's window did not close within 10 s\n");
        return 1;
    }
    if (argc == 2 && wcscmp(argv[1], L"hold") == 0) {
        // The first window of a display starts Wine's desktop process, which inherits the
        // starter's output; started here it never holds a test's output open.
        HWND window = CreateWindowW(L"STATIC", L"windowctl hold", 0, 0, 0, 0, 0, nullptr, nullptr,
                                    nullptr, nullptr);
        if (!window) return 1;
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
        return 0;
    }
    fprintf(stderr, "usage: windowctl wait|close|hold\n");
    return 2;
}
