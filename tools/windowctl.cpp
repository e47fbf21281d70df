// windowctl: waits for the tool's window and closes it through its close command, for the run
// script on a machine without a display; keeps Wine's desktop process running for the tests;
// reads and changes the shown columns for the run command's test.
//   windowctl wait     waits until the tool's window shows (exit 0; then until its list has
//                      rows, 5 s at most) or its start is refused (exit 3: the message box's
//                      text on stdout); exit 1 when neither happens within 60 s
//   windowctl close    closes the tool's window through its close command, or the refusal box
//                      through its OK button, and waits until it is gone
//   windowctl hold     keeps a hidden window (and so Wine's desktop process) until it is ended;
//                      says "holding" on stdout once the window exists
//   windowctl columns  prints the headers of the columns the tool's list shows, one a line
//   windowctl toggle LABEL
//                      picks LABEL in the list's "Columns" menu as a user does (a right-click
//                      on the header, then arrow keys) and waits until the list shows it or no
//                      longer does
#include "app/title.h"
#include "res/resource.h"
#include "tests/input_support.h"

#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <cwchar>

namespace {

enum ExitCode { DONE = 0, FAILED = 1, USAGE = 2, REFUSED = 3 };

template <typename Condition> bool WaitFor(Condition condition, DWORD milliseconds) {
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

HWND List() {
    HWND window = ToolWindow();
    return window ? GetDlgItem(window, IDC_GPIOLIST) : nullptr;
}

int ColumnCount(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    return int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

int Columns() {
    HWND list = List();
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    // The list's texts travel through a buffer in the tool's process.
    auto* remote = static_cast<BYTE*>(
        process ? VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE) : nullptr);
    if (!list || !remote) {
        fprintf(stderr, "windowctl: the tool's list cannot be read\n");
        if (process) CloseHandle(process);
        return FAILED;
    }
    auto* text = reinterpret_cast<wchar_t*>(remote + 1024);
    for (int c = 0, count = ColumnCount(list); c < count; ++c) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = 64;
        wchar_t header[64] = L"";
        WriteProcessMemory(process, remote, &column, sizeof column, nullptr);
        if (SendMessageW(list, LVM_GETCOLUMNW, WPARAM(c), reinterpret_cast<LPARAM>(remote)))
            ReadProcessMemory(process, text, header, sizeof header, nullptr);
        header[63] = 0;
        printf("%ls\n", header);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return DONE;
}

// The position of LABEL in the tool's own "Columns" menu, read from gpioconfig.exe beside this
// program; -1 when it has no such item.
int ColumnsMenuPosition(const wchar_t* label) {
    wchar_t path[MAX_PATH + 16];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t* folder = n < MAX_PATH ? wcsrchr(path, L'\\') : nullptr;
    if (!folder) return -1;
    wcscpy(folder + 1, L"gpioconfig.exe");
    HMODULE tool = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HMENU popups = tool ? LoadMenuW(tool, MAKEINTRESOURCEW(IDR_POPUPS)) : nullptr;
    int position = -1;
    wchar_t text[64];
    for (int i = 0; popups && i < GetMenuItemCount(popups); ++i) {
        HMENU menu = GetSubMenu(popups, i);
        if (!GetMenuStringW(popups, UINT(i), text, 64, MF_BYPOSITION) || wcscmp(text, L"Columns"))
            continue;
        for (int item = 0; position < 0 && item < GetMenuItemCount(menu); ++item)
            if (GetMenuStringW(menu, UINT(item), text, 64, MF_BYPOSITION) && !wcscmp(text, label))
                position = item;
    }
    if (popups) DestroyMenu(popups);
    if (tool) FreeLibrary(tool);
    return position;
}

HWND OpenMenu() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

int Toggle(const wchar_t* label) {
    int position = ColumnsMenuPosition(label);
    HWND window = ToolWindow(), list = List();
    if (position < 0 || !list) {
        fprintf(stderr,
                position < 0 ? "windowctl: the Columns menu has no item \"%ls\"\n"
                             : "windowctl: the tool's window is not open\n",
                label);
        return FAILED;
    }
    int shown = ColumnCount(list);
    RECT header;
    GetWindowRect(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), &header);
    SetForegroundWindow(window);
    RightClickAt({header.left + 5, (header.top + header.bottom) / 2});
    HWND menu = nullptr;
    int top = -2;
    if (!WaitFor([&] { return (menu = OpenMenu()) && (top = HighlightTop(menu)) != -2; }, 10000)) {
        fprintf(stderr, "windowctl: the Columns menu did not show within 10 s\n");
        return FAILED;
    }
    // One arrow key at a time, each seen to move the highlight: a key pressed as the menu
    // opens can be lost on a loaded machine, and counting keys blindly then picks another item.
    int moved = 0;
    for (int tries = 0; moved <= position && tries < 3 * (position + 1); ++tries) {
        PressKey(VK_DOWN);
        auto movedOn = [&] {
            int now = HighlightTop(menu);
            if (now == top || now == -2) return false;
            top = now;
            return true;
        };
        if (WaitFor(movedOn, 3000)) ++moved;
    }
    if (moved <= position) {
        PressKey(VK_ESCAPE);
        fprintf(stderr, "windowctl: the menu's highlight moved %d times, not %d\n", moved,
                position + 1);
        return FAILED;
    }
    PressKey(VK_RETURN);
    if (WaitFor([&] { return ColumnCount(list) != shown; }, 10000)) return DONE;
    fprintf(stderr, "windowctl: the list still shows %d columns after \"%ls\"\n", shown, label);
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
    if (argc == 2 && wcscmp(argv[1], L"columns") == 0) return Columns();
    if (argc == 3 && wcscmp(argv[1], L"toggle") == 0) return Toggle(argv[2]);
    fprintf(stderr, "usage: windowctl wait|close|hold|columns|toggle LABEL\n");
    return USAGE;
}
