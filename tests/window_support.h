// The real tool on the virtual display, driven with real mouse and keyboard input (SendInput),
// its list read back across the process boundary.
#pragma once
#include "tests/test_support.h"

#include <windows.h>
#include <string>
#include <vector>

struct ToolWindow {
    Tool tool;
    HWND dialog = nullptr;
    HWND list = nullptr;

    // Starts the tool on the module and waits until its list has rows.
    explicit ToolWindow(const char* module);
    ~ToolWindow();

    // The list, read through a buffer in the tool's process.
    int Rows();
    std::vector<std::wstring> Headers();
    int ColumnOf(const wchar_t* header); // -1 when not shown
    std::wstring Text(int row, int column);
    LPARAM Param(int row);
    int RowOf(uint32_t gpio);
    std::wstring Cell(uint32_t gpio, const wchar_t* header);
    // Screen point in the middle of a cell (scrolled into view first), or of a header item.
    POINT CellPoint(uint32_t gpio, const wchar_t* header);
    POINT HeaderPoint(const wchar_t* header);
    POINT ControlPoint(int id); // the middle of a dialog control

    // Real input.
    void RightClick(POINT screen);
    void Click(POINT screen);
    void Key(WORD vk, bool shift = false);
    void Type(const wchar_t* text);
    // The tool's popup menu: waits for it; picks item n (0 first) with the keyboard.
    bool MenuOpen(DWORD timeoutMs = 5000);
    bool MenuClosed(DWORD timeoutMs = 5000);
    void Pick(int position);
    // A visible top-level window of the tool other than the dialog, by caption.
    HWND Box(const wchar_t* caption, DWORD timeoutMs = 5000);

    void Close();         // the close command, posted
    void ClickCloseBox(); // a real click on the caption's close box
    int ExitCode() { return tool.ExitCode(); }

  private:
    HANDLE process_ = nullptr;
    BYTE* remote_ = nullptr; // 8 KiB in the tool
    LRESULT Send(UINT message, WPARAM wParam, const void* in, size_t inSize, void* out = nullptr,
                 size_t outSize = 0, size_t outOffset = 0);
};

// Waits for a condition (polling every 20 ms); false after timeoutMs.
bool WaitFor(bool (*condition)(void*), void* context, DWORD timeoutMs = 10000);
template <typename F> bool Eventually(F condition, DWORD timeoutMs = 10000) {
    return WaitFor([](void* c) -> bool { return (*static_cast<F*>(c))(); }, &condition, timeoutMs);
}

// This process joins the module the tool holds, to read and drive it as the outside world.
void JoinModule(SimModule module);
void LeaveModule();
