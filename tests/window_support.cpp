#include "tests/window_support.h"
#include "tests/input_support.h"
#include "gpiolib/frame.h"
#include "res/resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <cstdlib>

namespace {

const wchar_t kTitle[] = L"Velmora GPIO Config V 2.3";
constexpr size_t kRemoteSize = 8192;
constexpr size_t kTextOffset = 4096; // texts go here, structures at the start

struct WindowSearch {
    DWORD pid;
    HWND skip;
    const wchar_t* className; // or null
    const wchar_t* caption;   // or null
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM p) {
    auto* s = reinterpret_cast<WindowSearch*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != s->pid || window == s->skip || !IsWindowVisible(window)) return TRUE;
    wchar_t text[128] = L"";
    if (s->className && (!GetClassNameW(window, text, 128) || wcscmp(text, s->className)))
        return TRUE;
    if (s->caption && (!GetWindowTextW(window, text, 128) || wcscmp(text, s->caption))) return TRUE;
    s->found = window;
    return FALSE;
}

HWND FindToolWindow(DWORD pid, HWND skip, const wchar_t* className, const wchar_t* caption) {
    WindowSearch search = {pid, skip, className, caption, nullptr};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

bool WaitFor(bool (*condition)(void*), void* context, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!condition(context)) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

ToolWindow::ToolWindow(const char* module) : tool(module) {
    dialog = tool.Window(kTitle);
    if (!dialog) {
        ADD_FAILURE() << "the tool's window did not show on " << module;
        return;
    }
    list = GetDlgItem(dialog, IDC_GPIOLIST);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                           tool.process.dwProcessId);
    remote_ = static_cast<BYTE*>(
        VirtualAllocEx(process_, nullptr, kRemoteSize, MEM_COMMIT, PAGE_READWRITE));
    EXPECT_NE(remote_, nullptr);
    EXPECT_TRUE(Eventually([&] { return Rows() > 0; })) << "the list stayed empty";
    SetForegroundWindow(dialog);
}

ToolWindow::~ToolWindow() {
    if (remote_) VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
}

LRESULT ToolWindow::Send(UINT message, WPARAM wParam, const void* in, size_t inSize, void* out,
                         size_t outSize, size_t outOffset) {
    if (!remote_) return 0;
    WriteProcessMemory(process_, remote_, in, inSize, nullptr);
    LRESULT result = SendMessageW(list, message, wParam, reinterpret_cast<LPARAM>(remote_));
    if (out) ReadProcessMemory(process_, remote_ + outOffset, out, outSize, nullptr);
    return result;
}

int ToolWindow::Rows() {
    return int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

std::vector<std::wstring> ToolWindow::Headers() {
    std::vector<std::wstring> headers;
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    int count = int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int c = 0; c < count; ++c) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT;
        column.pszText = reinterpret_cast<wchar_t*>(remote_ + kTextOffset);
        column.cchTextMax = 64;
        wchar_t text[64] = L"";
        WriteProcessMemory(process_, remote_ + kTextOffset, text, sizeof text, nullptr);
        Send(LVM_GETCOLUMNW, c, &column, sizeof column, text, sizeof text, kTextOffset);
        headers.push_back(text);
    }
    return headers;
}

int ToolWindow::ColumnOf(const wchar_t* header) {
    auto headers = Headers();
    for (size_t c = 0; c < headers.size(); ++c)
        if (headers[c] == header) return int(c);
    return -1;
}

std::wstring ToolWindow::Text(int row, int column) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(remote_ + kTextOffset);
    item.cchTextMax = 128;
    wchar_t text[128] = L"";
    Send(LVM_GETITEMTEXTW, row, &item, sizeof item, text, sizeof text, kTextOffset);
    text[127] = 0;
    return text;
}

LPARAM ToolWindow::Param(int row) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    Send(LVM_GETITEMW, 0, &item, sizeof item, &item, sizeof item);
    return item.lParam;
}

int ToolWindow::RowOf(uint32_t gpio) {
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = LPARAM(gpio);
    return int(Send(LVM_FINDITEMW, WPARAM(-1), &find, sizeof find));
}

std::wstring ToolWindow::Cell(uint32_t gpio, const wchar_t* header) {
    int column = ColumnOf(header);
    return column < 0 ? L"(no column " + std::wstring(header) + L")" : Text(RowOf(gpio), column);
}

POINT ToolWindow::CellPoint(uint32_t gpio, const wchar_t* header) {
    int row = RowOf(gpio), column = ColumnOf(header);
    SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
    return CellInView(list, [&] {
        RECT rect = {};
        rect.top = column;
        rect.left = LVIR_LABEL;
        Send(LVM_GETSUBITEMRECT, row, &rect, sizeof rect, &rect, sizeof rect);
        return rect;
    });
}

POINT ToolWindow::HeaderPoint(const wchar_t* header) {
    HWND control = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT rect = {};
    WriteProcessMemory(process_, remote_, &rect, sizeof rect, nullptr);
    SendMessageW(control, HDM_GETITEMRECT, ColumnOf(header), reinterpret_cast<LPARAM>(remote_));
    ReadProcessMemory(process_, remote_, &rect, sizeof rect, nullptr);
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(control, &point);
    return point;
}

POINT ToolWindow::ControlPoint(int id) {
    RECT rect;
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void ToolWindow::RightClick(POINT screen) {
    RightClickAt(screen);
}

void ToolWindow::Click(POINT screen) {
    ClickAt(screen);
}

void ToolWindow::Key(WORD vk, bool shift) {
    PressKey(vk, shift ? VK_SHIFT : 0);
}

void ToolWindow::Type(const wchar_t* text) {
    TypeText(text);
}

bool ToolWindow::MenuOpen(DWORD timeoutMs) {
    return Eventually(
        [&] { return FindToolWindow(tool.process.dwProcessId, nullptr, L"#32768", nullptr); },
        timeoutMs);
}

bool ToolWindow::MenuClosed(DWORD timeoutMs) {
    return Eventually(
        [&] { return !FindToolWindow(tool.process.dwProcessId, nullptr, L"#32768", nullptr); },
        timeoutMs);
}

// One arrow key at a time, each seen to move the highlight: on a loaded machine a key pressed
// as the menu opens can be lost, and counting keys blindly then picks the item above. The menu
// window is looked up at each reading: the one of a popup just closed can still be on the
// screen when this one opens.
void ToolWindow::Pick(int position) {
    auto highlightTop = [&] {
        return HighlightTop(FindToolWindow(tool.process.dwProcessId, nullptr, L"#32768", nullptr));
    };
    int top = -2;
    Eventually([&] { return (top = highlightTop()) != -2; }, 5000);
    int moved = 0;
    for (int tries = 0; moved <= position && tries < 3 * (position + 1); ++tries) {
        Key(VK_DOWN);
        if (Eventually(
                [&] {
                    int now = highlightTop();
                    if (now == top || now == -2) return false;
                    top = now;
                    return true;
                },
                3000))
            ++moved;
    }
    if (moved <= position)
        ADD_FAILURE() << "the menu's highlight moved " << moved << " times, not " << position + 1;
    Key(VK_RETURN);
}

HWND ToolWindow::Box(const wchar_t* caption, DWORD timeoutMs) {
    HWND found = nullptr;
    Eventually(
        [&] {
            found = FindToolWindow(tool.process.dwProcessId, dialog, nullptr, caption);
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

void ToolWindow::ClickCloseBox() {
    RECT frame;
    GetWindowRect(dialog, &frame);
    int y = frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    for (int x = frame.right - 1; x > frame.left; --x) {
        if (SendMessageW(dialog, WM_NCHITTEST, 0, MAKELPARAM(x, y)) != HTCLOSE) continue;
        ClickAt({x - GetSystemMetrics(SM_CXSIZE) / 3, y});
        return;
    }
    ADD_FAILURE() << "no close box found on the caption";
}

void ToolWindow::Close() {
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void JoinModule(SimModule module) {
    SimSelectModule(module);
    g_gpioLib = GpioLibState{};
    InitGPIOLib();
}

void LeaveModule() {
    DeInitGPIOLib();
    g_gpioLib = GpioLibState{};
    SimSelectModule(SIM_MODULE_NONE);
}
