// windowctl: waits for the tool's window and closes it through its close command, for the run
// script on a machine without a display; keeps Wine's desktop process running for the tests.
//   windowctl wait     waits until the tool's window shows (exit 0; then until its list has
//                      rows, 5 s at most) or its start is refused (exit 3: the message box's
//                      text on stdout); exit 1 when neither happens within 60 s
//   windowctl close    closes the tool's window through its close command, or the refusal box
//                      through its OK button, and waits until it is gone
//   windowctl hold     keeps a hidden window (and so Wine's desktop process) until it is ended;
//                      says "holding" on stdout once the window exists
#include "app/title.h"
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <cwchar>

namespace {

enum ExitCode { DONE = 0, FAILED = 1, USAGE = 2, REFUSED = 3 };

bool WaitFor(bool (*condition)(), DWORD milliseconds) {
    for (DWORD waited = 0; waited < milliseconds; waited += 100) {
        if (condition()) return true;
        Sleep(100);
    }
    return condition();
}

HWND ToolWindow() {
    HWND window = FindWindowW(nullptr, TOOL_TITLE);
    return window && IsWindowVisible(window) ? window : nullptr;
}

// The tool's refusal: a message box captioned "ERROR".
HWND RefusalBox() {
    HWND box = FindWindowW(nullptr, L"ERROR");
    return box && IsWindowVisible(box) ? box : nullptr;
}

bool ShownOrRefused() {
    return ToolWindow() || RefusalBox();
}

bool Filled() {
    HWND window = ToolWindow();
    HWND list = window ? GetDlgItem(window, IDC_GPIOLIST) : nullptr;
    return list && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0;
}

bool Gone() {
    return !FindWindowW(nullptr, TOOL_TITLE) && !RefusalBox();
}

int Wait() {
    if (!WaitFor(ShownOrRefused, 60000)) {
        fprintf(stderr,
                "windowctl: neither the tool's window nor its refusal showed within 60 s\n");
        return FAILED;
    }
    if (HWND box = RefusalBox()) {
        // The text is the box's static control (id 0xFFFF); one line for the caller.
        wchar_t text[512] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        for (wchar_t* c = text; *c; ++c)
            if (*c == L'\r' || *c == L'\n') *c = L' ';
        printf("%ls\n", text);
        return REFUSED;
    }
    WaitFor(Filled, 5000);
    return DONE;
}

int Close() {
    if (HWND window = ToolWindow()) {
        // The close box: the dialog turns it into its close command.
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (HWND box = RefusalBox()) {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    } else {
        fprintf(stderr, "windowctl: the tool's window is not open\n");
        return FAILED;
    }
    if (WaitFor(Gone, 10000)) return DONE;
    fprintf(stderr, "windowctl: the tool's window did not close within 10 s\n");
    return FAILED;
}

int Hold() {
    // The first window of a display starts Wine's desktop process; started here, once, it
    // serves every later program of the display.
    HWND window = CreateWindowW(L"STATIC", L"windowctl hold", 0, 0, 0, 0, 0, nullptr, nullptr,
                                nullptr, nullptr);
    if (!window) return FAILED;
    printf("holding\n");
    fflush(stdout);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return DONE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && wcscmp(argv[1], L"wait") == 0) return Wait();
    if (argc == 2 && wcscmp(argv[1], L"close") == 0) return Close();
    if (argc == 2 && wcscmp(argv[1], L"hold") == 0) return Hold();
    fprintf(stderr, "usage: windowctl wait|close|hold\n");
    return USAGE;
}
