// Real mouse and keyboard input (SendInput), as a user's hands give it, and the highlight of a
// popup menu as the screen shows it.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

// A click of one button at a screen point. Two clicks of a button within a few pixels and the
// double-click time make a double click: such a click lands 5 pixels beside the previous one.
void ClickAt(POINT screen, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP);
inline void RightClickAt(POINT screen) {
    ClickAt(screen, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
}
// The pointer moved to a screen point, with button events there (MOUSEEVENTF_LEFTDOWN, ...; 0:
// a move only).
void MouseAt(POINT screen, DWORD buttons = 0);
// A key pressed and released, with a modifier held (VK_SHIFT, VK_CONTROL, or 0).
void PressKey(WORD vk, WORD modifier = 0);
// Text typed character by character.
void TypeText(const wchar_t* text);

// The top of an open popup menu's highlighted item, read from the screen near the menu's right
// edge, where no label is drawn; -1 while none is highlighted; -2 while the menu is not yet
// drawn (its frame's right edge is not yet one dark line from top to bottom).
int HighlightTop(HWND menu);

// The screen point in the middle of a list cell, the list scrolled sideways until the cell is in
// view; `measure` gives the cell's client rectangle as it is now.
POINT CellInView(HWND list, const std::function<RECT()>& measure);

// The clipboard's Unicode text ("(clipboard not open)" when it cannot be opened), and emptied.
std::wstring ClipboardText();
void EmptyTheClipboard();

// Answers the first common file dialog with this title that opens (watching from a thread of its
// own, so that the dialog may be modal on the caller's thread): types the path into it and
// presses Enter, as a user would.
struct FileDialogAnswer {
    const wchar_t* title;
    std::wstring path;
    volatile bool answered = false;
    volatile bool stop = false;
    HANDLE thread = nullptr;
    FileDialogAnswer(const wchar_t* title, const std::wstring& path);
    ~FileDialogAnswer();
};
