// The tool's main dialog in the test's own process: the real template and menus from
// gpioconfig.exe, MainDialogProc, a real list view, real mouse input. Popup menus are watched and
// driven from a second thread while the dialog's thread (the test's) tracks them.
#pragma once
#include "tests/list_support.h"

#include <functional>
#include <string>
#include <vector>

// What a popup menu showed, and whether one opened at all.
struct MenuSeen {
    int menus = 0; // popup menus that opened during the click
    std::vector<std::wstring> labels;
    std::vector<bool> checked;
    std::wstring CheckedLabels() const; // "label|" for every checked item
};

struct DialogHarness {
    HMODULE resources = nullptr;
    HWND dialog = nullptr;
    HWND list = nullptr;
    TestList view; // reads the dialog's list (its own window unused)

    // Start-up on the module (every allowed column shown), `before` (the module is held by
    // then), then the dialog, shown.
    explicit DialogHarness(SimModule module, void (*before)() = nullptr);
    ~DialogHarness(); // closes the dialog through its close command

    // A right-click on a screen point: the popup that opens is read, then item `pick` is clicked
    // (-1: Escape). Returns when the click has been handled.
    MenuSeen RightClick(POINT screen, int pick);
    // Runs `act` on this thread, reading and dismissing (Escape) any popup it opens.
    MenuSeen Watch(const std::function<void()>& act);
    // Likewise with Shift+F10 on the list; `subPick` is clicked in the submenu that opens.
    MenuSeen ShiftF10(int pick, int subPick = -1);
    POINT CellPoint(uint32_t gpio, int slot);
    POINT HeaderPoint(int slot);
    void Click(POINT screen);
    void ClickButton(int id); // the middle of a dialog control
    // Clicks a mode button and waits until its rebuild has been carried out.
    bool SwitchMode(int id);
    std::wstring Cell(uint32_t gpio, int slot) { return view.Cell(gpio, slot); }
    // Serves messages until every queued rebuild has been carried out.
    bool Settled();
    // Closes the dialog (IDCANCEL) and waits until it has ended.
    bool Close();

  private:
    MenuSeen Drive(int pick, int subPick, void (*act)(DialogHarness*, POINT), POINT screen);
};

// Answers the first message box with this caption that the process shows (from another
// thread, while the box is modal on the dialog's thread), keeping its text.
struct BoxAnswer {
    const wchar_t* caption;
    int button;
    std::wstring text;
    volatile bool answered = false;
    volatile bool stop = false;
    HANDLE thread = nullptr;
    BoxAnswer(const wchar_t* caption, int button);
    ~BoxAnswer();
};

// A pixel of a GPIO's cell in the list painted as it paints itself (brought into view first):
// x, y from the cell's left and top, or (when negative) from its right and bottom.
COLORREF CellPixel(DialogHarness& h, uint32_t gpio, int slot, int x, int y);

// The first GPIO from `from` on that is a plain GPIO input.
uint32_t PlainInput(uint32_t from);
