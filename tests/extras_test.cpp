// Beyond the popups: the table copied as text, the keyboard's menu, changed cells highlighted,
// and no refresh while the window is minimised. The real dialog, clicked with real input.
#include "tests/dialog_support.h"
#include "tests/input_support.h"
#include "app/dialog.h"
#include "gpiolib/gpiolib.h"
#include "table/stats.h"
#include "table/table.h"

#include <gtest/gtest.h>
#include <sstream>

extern "C" decltype(&OpenClipboard) __imp_OpenClipboard;
extern "C" decltype(&MessageBeep) __imp_MessageBeep;

namespace {

constexpr int kCopyTablePosition = COLUMN_SLOT_COUNT + 1; // after the separator

// The tool's calls of two user32 functions, seen through this program's imports (the tool's
// code is linked into it).
decltype(&OpenClipboard) g_openClipboard;
HWND g_copyOwner;
int g_dialogOpens, g_beeps;
HANDLE g_release, g_holder; // the other holder of the clipboard, and what makes it let go
bool g_letGoAtSecondTry;

BOOL WINAPI CountedOpenClipboard(HWND owner) {
    if (owner == g_copyOwner && ++g_dialogOpens == 2 && g_letGoAtSecondTry) {
        SetEvent(g_release);
        WaitForSingleObject(g_holder, INFINITE);
    }
    return g_openClipboard(owner);
}

BOOL WINAPI CountedBeep(UINT) {
    ++g_beeps;
    return TRUE;
}

template <typename F> F Redirect(F& import, F standIn) {
    DWORD protection;
    VirtualProtect(&import, sizeof import, PAGE_READWRITE, &protection);
    F was = import;
    import = standIn;
    VirtualProtect(&import, sizeof import, protection, &protection);
    return was;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::wstringstream in(text);
    for (std::wstring line; std::getline(in, line);)
        lines.push_back(line.substr(0, line.find_last_not_of(L'\r') + 1));
    return lines;
}

} // namespace

// Boot-up Settings gives three columns width 0; "Level" is hidden; the rows are sorted by pin.
// (Ctrl+C, which the dialog's modal loop translates, is tried on the real tool.)
TEST(CopyTable, TheMenuItemCopiesTheSortedTableAsShown) {
    DialogHarness h(SIM_MODULE_PXA270);
    ASSERT_TRUE(h.SwitchMode(IDC_BOOTUP));
    h.RightClick(h.HeaderPoint(SLOT_PIN), 5); // "Level"
    ASSERT_TRUE(h.Settled());
    h.Click(h.HeaderPoint(SLOT_PIN));
    ASSERT_TRUE(PumpUntil([&] { return h.view.RowOf(0) != 0; }));
    EmptyTheClipboard();
    h.RightClick(h.HeaderPoint(SLOT_GPIO), kCopyTablePosition);
    std::vector<std::wstring> lines;
    ASSERT_TRUE(PumpUntil([&] { return (lines = Lines(ClipboardText())).size() == 122; }))
        << "clipboard holds " << lines.size() << " lines";
    EXPECT_EQ(lines[0], L"#\tAltFn Name\tAltFn\tDirection\tPin\tEvalLoc");
    std::wstring previousPin;
    for (int row = 0; row < 121; ++row) {
        std::wstring expected;
        for (int slot :
             {SLOT_GPIO, SLOT_ALTFNNAME, SLOT_ALTFN, SLOT_DIRECTION, SLOT_PIN, SLOT_EVALLOC})
            expected += (slot == SLOT_GPIO ? L"" : L"\t") + h.view.Text(row, ColumnSlots[slot]);
        ASSERT_EQ(lines[size_t(row) + 1], expected) << "row " << row;
        std::wstring pin = h.view.Text(row, ColumnSlots[SLOT_PIN]);
        EXPECT_LE(wcscmp(previousPin.c_str(), pin.c_str()), 0) << "row " << row;
        previousPin = pin;
    }
}

// "Copy table" while another program holds the clipboard: the tool asks again for a moment and
// the table lands once the other lets go; when it holds on, a beep says nothing was copied.
TEST(CopyTable, AClipboardHeldElsewhereIsAskedAgainThenABeep) {
    DialogHarness h(SIM_MODULE_PXA270);
    g_copyOwner = h.dialog;
    g_openClipboard = Redirect(__imp_OpenClipboard, CountedOpenClipboard);
    auto beep = Redirect(__imp_MessageBeep, CountedBeep);
    for (bool letGo : {true, false}) {
        SCOPED_TRACE(letGo ? "let go" : "held on");
        EmptyTheClipboard();
        g_dialogOpens = g_beeps = 0;
        g_letGoAtSecondTry = letGo;
        HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        g_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        HANDLE events[] = {held, g_release};
        g_holder = CreateThread(
            nullptr, 0,
            [](void* e) -> DWORD {
                // With a window of its own: an open without a window (the test's reads) would
                // take the clipboard over.
                auto* events = static_cast<HANDLE*>(e);
                HWND window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                            nullptr, nullptr);
                if (g_openClipboard(window)) SetEvent(events[0]);
                WaitForSingleObject(events[1], INFINITE);
                CloseClipboard();
                return DestroyWindow(window);
            },
            events, 0, nullptr);
        ASSERT_EQ(WaitForSingleObject(held, 10000), WAIT_OBJECT_0);
        h.RightClick(h.HeaderPoint(SLOT_GPIO), kCopyTablePosition);
        if (letGo)
            EXPECT_TRUE(PumpUntil([] { return Lines(ClipboardText()).size() == 122; }));
        else
            EXPECT_TRUE(PumpUntil([] { return g_beeps > 0; }));
        EXPECT_GE(g_dialogOpens, 2);
        EXPECT_EQ(g_beeps, letGo ? 0 : 1);
        SetEvent(g_release);
        WaitForSingleObject(g_holder, INFINITE);
        for (HANDLE handle : {held, g_release, g_holder})
            CloseHandle(handle);
    }
    Redirect(__imp_OpenClipboard, g_openClipboard);
    Redirect(__imp_MessageBeep, beep);
}

TEST(KeyboardMenu, ShiftF10OnAFilteredRowActsLikeARightClickAndWithoutARowOpensColumns) {
    DialogHarness h(SIM_MODULE_TEGRA2);
    uint32_t g = PlainInput(20);
    // Filtered to the row's pad name: the row is far from its GPIO's index.
    wchar_t pad[32];
    wsprintfW(pad, L"%S", PadName(g));
    SetDlgItemTextW(h.dialog, IDC_FIND, pad);
    ASSERT_LT(unsigned(h.view.RowOf(g)), g);
    h.Click(h.CellPoint(g, SLOT_GPIO)); // selects the row
    MenuSeen seen = h.ShiftF10(1, 1);   // "Direction", then "Output"
    ASSERT_EQ(seen.menus, 1);
    EXPECT_EQ(seen.labels, (std::vector<std::wstring>{L"AltFn Name", L"Direction", L"Level",
                                                      L"Tristate", L"PullState", L"Edges"}));
    EXPECT_EQ(GetGPIODir(g), 1);
    PumpUntil([&] { return h.Cell(g, SLOT_DIRECTION) == L"Output"; });
    EXPECT_EQ(h.Cell(g, SLOT_DIRECTION), L"Output");

    LVITEMW none = {};
    none.stateMask = LVIS_SELECTED;
    SendMessageW(h.list, LVM_SETITEMSTATE, WPARAM(-1), LPARAM(&none));
    seen = h.ShiftF10(-1);
    ASSERT_EQ(seen.labels.size(), size_t(kCopyTablePosition + 1));
    EXPECT_EQ(seen.labels[0], L"GPIO");
    EXPECT_EQ(seen.labels[kCopyTablePosition], L"Copy table");
}

TEST(Highlight, ACellTheRefreshChangesIsHighlightedForAMomentAlsoInAFilteredList) {
    DialogHarness h(SIM_MODULE_PXA300);
    uint32_t g = PlainInput(20);
    SetDlgItemTextW(h.dialog, IDC_FIND, L"input"); // the row moves up in a filtered list
    ASSERT_LT(unsigned(h.view.RowOf(g)), g);
    auto backgroundAt = [&](int slot) { return CellPixel(h, g, slot, -3, 2); };
    std::wstring before = h.Cell(g, SLOT_LEVEL);
    SimDriveInput(g, before == L"1" ? 0 : 1);
    ASSERT_TRUE(PumpUntil([&] { return h.Cell(g, SLOT_LEVEL) != before; }));
    EXPECT_TRUE(CellHighlighted(g, SLOT_LEVEL));
    ASSERT_NE(ChangedCellColor(), GetSysColor(COLOR_WINDOW));
    EXPECT_FALSE(CellHighlighted(g, SLOT_DIRECTION));
    EXPECT_TRUE(PumpUntil([&] { return backgroundAt(SLOT_LEVEL) == ChangedCellColor(); }))
        << std::hex << backgroundAt(SLOT_LEVEL);
    EXPECT_NE(backgroundAt(SLOT_DIRECTION), ChangedCellColor());
    EXPECT_TRUE(PumpUntil([&] { return !CellHighlighted(g, SLOT_LEVEL); }));
    EXPECT_TRUE(PumpUntil([&] { return backgroundAt(SLOT_LEVEL) == GetSysColor(COLOR_WINDOW); }))
        << std::hex << backgroundAt(SLOT_LEVEL);
}

TEST(Rest, MinimisedNoPassRunsAndRestoringRunsOneAtOnce) {
    DialogHarness h(SIM_MODULE_TEGRA3);
    uint32_t g = PlainInput(100);
    UpdateRate = 1000;
    ShowWindow(h.dialog, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(h.dialog); }));
    // The refresh thread finishes what it was doing and sleeps.
    LONG waits = g_pollStats.pausedWaits;
    ASSERT_TRUE(PumpUntil([&] { return g_pollStats.pausedWaits > waits; }));
    LONG passes = g_pollStats.passes;
    std::wstring before = h.Cell(g, SLOT_LEVEL);
    SimDriveInput(g, before == L"1" ? 0 : 1);
    PumpUntil([] { return false; }, 300); // time for passes that must not come
    EXPECT_EQ(g_pollStats.passes, passes);
    EXPECT_EQ(h.Cell(g, SLOT_LEVEL), before);

    UpdateRate = 1; // the next timed pass would be a second away
    LONG woken = g_pollStats.wokenPasses;
    ShowWindow(h.dialog, SW_RESTORE);
    EXPECT_TRUE(PumpUntil([&] { return h.Cell(g, SLOT_LEVEL) != before; }));
    EXPECT_EQ(g_pollStats.wokenPasses, woken + 1);
}

// Wine never moves a window to a monitor of another resolution; the system's message is sent
// here as Windows sends it: the columns, the layout and the smallest size follow the new scale.
TEST(Dpi, AnotherMonitorsResolutionScalesColumnsLayoutAndSmallestSize) {
    DialogHarness h(SIM_MODULE_PXA270);
    RECT window, list;
    GetWindowRect(h.dialog, &window);
    GetWindowRect(h.list, &list);
    MapWindowPoints(nullptr, h.dialog, reinterpret_cast<POINT*>(&list), 2);
    int dpi = WindowDpi(h.dialog), width = h.view.Width(0);
    RECT twice = {window.left, window.top, window.left + 2 * (window.right - window.left),
                  window.top + 2 * (window.bottom - window.top)};
    SendMessageW(h.dialog, WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi), LPARAM(&twice));
    EXPECT_EQ(h.view.Width(0), 2 * width);
    RECT now, listNow;
    GetWindowRect(h.dialog, &now);
    EXPECT_TRUE(EqualRect(&now, &twice));
    GetWindowRect(h.list, &listNow);
    MapWindowPoints(nullptr, h.dialog, reinterpret_cast<POINT*>(&listNow), 2);
    EXPECT_EQ(listNow.left, 2 * list.left);
    EXPECT_EQ(listNow.top, 2 * list.top);
    SetWindowPos(h.dialog, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(h.dialog, &now);
    EXPECT_EQ(now.right - now.left, twice.right - twice.left) << "smaller than the new smallest";
}
