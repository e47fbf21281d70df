// The window on a desktop: resized with the mouse, its placement remembered, the find box. The
// real tool on the virtual display, driven with real input.
#include "tests/window_support.h"
#include "tests/input_support.h"
#include "gpiolib/gpiolib.h"
#include "res/resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <cwctype>
#include <map>

namespace {

const wchar_t* const kPlacement[] = {L"WindowLeft", L"WindowTop", L"WindowWidth", L"WindowHeight",
                                     L"WindowMaximized"};

class Desktop : public testing::Test {
  protected:
    void SetUp() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora"); }
    void TearDown() override {
        LeaveModule();
        SetUp();
    }
};

// The five placement values (0xDEAD for one that is not a REG_DWORD).
std::vector<DWORD> StoredPlacement() {
    std::vector<DWORD> values;
    for (const wchar_t* name : kPlacement) {
        DWORD value = 0xDEAD, size = sizeof value;
        RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora\\GpioConfig", name, RRF_RT_REG_DWORD,
                     nullptr, &value, &size);
        values.push_back(value);
    }
    return values;
}

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

SIZE SizeOf(HWND window) {
    RECT r = WindowRect(window);
    return {r.right - r.left, r.bottom - r.top};
}

// A control's distances from the left, top, right and bottom edges of the client area.
std::array<LONG, 4> Margins(HWND dialog, int id) {
    RECT client, r = WindowRect(GetDlgItem(dialog, id));
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    GetClientRect(dialog, &client);
    return {r.left, r.top, client.right - r.right, client.bottom - r.bottom};
}

GUITHREADINFO ThreadInfo(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

// Drags the frame's bottom right corner by (dx, dy) as a hand does: pressed, the sizing seen to
// begin, moved in a few steps, released once the window has followed the pointer to the size
// expected (the sizing loop ends with the last move it has handled); true once the window has a
// new size.
bool DragCorner(HWND window, int dx, int dy, SIZE expected) {
    SIZE before = SizeOf(window);
    RECT frame = WindowRect(window);
    POINT corner = {frame.right - 1, frame.bottom - 1};
    while (corner.x > frame.right - 12 &&
           SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)) != HTBOTTOMRIGHT)
        --corner.x, --corner.y;
    MouseAt(corner, MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(Eventually([&] { return ThreadInfo(window).flags & GUI_INMOVESIZE; }, 5000))
        << "the sizing did not begin";
    for (int step = 1; step <= 6; ++step)
        MouseAt({corner.x + dx * step / 6, corner.y + dy * step / 6});
    Eventually([&] { return SizeOf(window).cx == expected.cx && SizeOf(window).cy == expected.cy; },
               5000);
    MouseAt({corner.x + dx, corner.y + dy}, MOUSEEVENTF_LEFTUP);
    return Eventually([&] {
        SIZE now = SizeOf(window);
        return !(ThreadInfo(window).flags & GUI_INMOVESIZE) &&
               (now.cx != before.cx || now.cy != before.cy);
    });
}

// The close command; the tool ends as it does on success.
void CloseTool(ToolWindow& w) {
    w.Close();
    EXPECT_EQ(w.ExitCode(), 1);
}

bool Maximise(HWND window) {
    PostMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    return Eventually([&] { return IsZoomed(window) != FALSE; });
}

} // namespace

// The list takes all the room; the board buttons and the find box keep their corners, the
// controls under the list keep their distance from the bottom (the rate box from the right
// too) and the help text grows with the width. Smaller than it opened the window does not get;
// maximised, the list fills it. At close the normal rectangle and the maximised state are
// stored and the next start takes them; values that do not fit a monitor of now, or are not
// what the tool writes, give the place the window opens at without them.
TEST_F(Desktop, ResizedTheListTakesTheRoomAndThePlacementComesBackWhenItFits) {
    // Which of a control's distances (left, top, right, bottom) stay.
    const struct {
        int id;
        std::array<bool, 4> kept;
    } anchors[] = {{IDC_GPIOLIST, {1, 1, 1, 1}}, {IDC_EVAL21, {1, 1, 0, 0}},
                   {IDC_FIND, {0, 1, 1, 0}},     {IDC_HELPTEXT, {1, 0, 1, 1}},
                   {IDC_CURRENT, {1, 0, 0, 1}},  {IDC_UPDATERATE, {0, 0, 1, 1}}};
    std::map<int, std::array<LONG, 4>> opened;
    // The first distance that differs from the opening one; empty when none does.
    auto misplaced = [&](HWND d) {
        for (const auto& a : anchors)
            for (size_t edge = 0; edge < 4; ++edge)
                if (a.kept[edge] && Margins(d, a.id)[edge] != opened[a.id][edge])
                    return "control " + std::to_string(a.id) + ", edge " + std::to_string(edge) +
                           ": " + std::to_string(Margins(d, a.id)[edge]) + " instead of " +
                           std::to_string(opened[a.id][edge]);
        return std::string();
    };
    RECT fresh, placed;
    std::vector<DWORD> stored;
    {
        ToolWindow w("pxa270");
        HWND d = w.dialog;
        fresh = WindowRect(d);
        for (const auto& a : anchors)
            opened[a.id] = Margins(d, a.id);
        const SIZE size = SizeOf(d);
        const struct {
            int dx, dy;
            LONG cx, cy;
        } drags[] = {{180, 120, size.cx + 180, size.cy + 120},
                     {-400, -300, size.cx, size.cy},
                     {100, 60, size.cx + 100, size.cy + 60}};
        for (const auto& drag : drags) {
            ASSERT_TRUE(DragCorner(d, drag.dx, drag.dy, {drag.cx, drag.cy}))
                << "the window kept its size";
            EXPECT_EQ(SizeOf(d).cx, drag.cx);
            EXPECT_EQ(SizeOf(d).cy, drag.cy);
            EXPECT_TRUE(Eventually([&] { return misplaced(d).empty(); })) << misplaced(d);
        }
        SetWindowPos(d, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        placed = WindowRect(d);
        stored = {40, 30, DWORD(placed.right - 40), DWORD(placed.bottom - 30), 0};
        CloseTool(w);
        EXPECT_EQ(StoredPlacement(), stored);
    }
    // Opened where it was left, then maximised; opened maximised, then restored to that place.
    for (bool maximised : {false, true}) {
        ToolWindow w("pxa270");
        EXPECT_TRUE(Eventually([&] { return (IsZoomed(w.dialog) != FALSE) == maximised; }));
        if (maximised) PostMessageW(w.dialog, WM_SYSCOMMAND, SC_RESTORE, 0);
        RECT r = {};
        EXPECT_TRUE(Eventually([&] { return r = WindowRect(w.dialog), EqualRect(&r, &placed); }))
            << r.left << ", " << r.top << " - " << r.right << ", " << r.bottom;
        ASSERT_TRUE(maximised || Maximise(w.dialog));
        EXPECT_TRUE(Eventually([&] { return misplaced(w.dialog).empty(); })) << misplaced(w.dialog);
        stored[4] = !maximised;
        CloseTool(w);
        EXPECT_EQ(StoredPlacement(), stored);
    }

    const struct {
        const char* what;
        int value; // the one replaced
        DWORD type, size, data;
    } bad[] = {
        {"off the screen to the right", 0, REG_DWORD, 4, DWORD(GetSystemMetrics(SM_CXSCREEN) - 50)},
        {"above the screen", 1, REG_DWORD, 4, DWORD(-2000)},
        {"absurdly wide", 2, REG_DWORD, 4, 0x7FFFFFFF},
        {"smaller than the window opens", 3, REG_DWORD, 4, 100},
        {"maximised neither 0 nor 1", 4, REG_DWORD, 4, 2},
        {"a string", 2, REG_SZ, 4, 0x00350035},
        {"a 64-bit number", 0, REG_QWORD, 8, 40},
        {"three bytes", 1, REG_DWORD, 3, 30},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.what);
        for (int i = 0; i < 5; ++i) {
            DWORD64 data = i == b.value ? b.data : stored[i]; // as the last close left them
            ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora\\GpioConfig",
                                      kPlacement[i], i == b.value ? b.type : REG_DWORD, &data,
                                      i == b.value ? b.size : 4),
                      ERROR_SUCCESS);
        }
        ToolWindow w("pxa270");
        RECT r = WindowRect(w.dialog);
        EXPECT_FALSE(IsZoomed(w.dialog));
        EXPECT_TRUE(EqualRect(&r, &fresh))
            << r.left << ", " << r.top << " - " << r.right << ", " << r.bottom;
        CloseTool(w);
    }
}

namespace {

std::wstring Lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return towlower(c); });
    return text;
}

// Every row of the list: its GPIO, its "Pin Name" and its other cells, lower-cased, between tabs.
struct Row {
    LPARAM gpio;
    std::wstring pad, others;
};
std::vector<Row> ReadRows(ToolWindow& w) {
    std::vector<Row> rows;
    int columns = int(w.Headers().size()), pad = w.ColumnOf(L"Pin Name");
    for (int r = 0; r < w.Rows(); ++r) {
        rows.push_back({w.Param(r), Lower(w.Text(r, pad)), L"\t"});
        for (int c = 0; c < columns; ++c)
            if (c != pad) rows.back().others += Lower(w.Text(r, c)) + L"\t";
    }
    return rows;
}

// The GPIOs of the rows in which every (lower-case) word occurs in some cell, in list order.
std::vector<LPARAM> Matching(const std::vector<Row>& rows, const std::vector<std::wstring>& words,
                             bool padShown = true) {
    std::vector<LPARAM> gpios;
    for (const Row& row : rows)
        if (std::all_of(words.begin(), words.end(), [&](const std::wstring& word) {
                return (padShown && row.pad.find(word) != std::wstring::npos) ||
                       row.others.find(word) != std::wstring::npos;
            }))
            gpios.push_back(row.gpio);
    return gpios;
}

std::vector<LPARAM> Gpios(ToolWindow& w) {
    std::vector<LPARAM> gpios;
    for (int r = 0; r < w.Rows(); ++r)
        gpios.push_back(w.Param(r));
    return gpios;
}

std::wstring TextOf(HWND control) {
    wchar_t text[256] = L"";
    SendMessageW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

HWND Focus(ToolWindow& w) {
    return ThreadInfo(w.dialog).hwndFocus;
}

// Ctrl+F, then the text typed.
void Find(ToolWindow& w, const std::wstring& text) {
    HWND box = GetDlgItem(w.dialog, IDC_FIND);
    PressKey('F', VK_CONTROL);
    ASSERT_TRUE(Eventually([&] { return Focus(w) == box; }));
    w.Type(text.c_str());
    ASSERT_TRUE(Eventually([&] { return TextOf(box) == text; })) << TextOf(box).c_str();
}

// A list column's menu item picked (the columns menu of a right-click on a header).
void HideColumn(ToolWindow& w, const wchar_t* header, int item) {
    w.RightClick(w.HeaderPoint(header));
    ASSERT_TRUE(w.MenuOpen());
    w.Pick(item);
    EXPECT_TRUE(Eventually([&] { return w.ColumnOf(header) == -1; })) << "still shown";
}

} // namespace

// Words typed leave the rows in which each occurs in some shown cell, whatever the case; the
// count says how many. The filter holds through a rebuild, a popup's change (the row stays), a
// sort; Ctrl+C copies the rows shown. A word that only a hidden column holds finds nothing.
// Escape empties the box and brings every row back in the order of the last sort; elsewhere it
// closes the tool.
TEST_F(Desktop, FindLeavesTheRowsThatHoldEveryWordThroughRebuildsPopupsAndCopy) {
    ToolWindow w("tegra2");
    JoinModule(SIM_MODULE_TEGRA2);
    std::vector<Row> all = ReadRows(w);
    ASSERT_EQ(all.size(), 222u);
    HWND box = GetDlgItem(w.dialog, IDC_FIND), count = GetDlgItem(w.dialog, IDC_FINDCOUNT);
    // "input" and the start of a pad name that more inputs share.
    auto inputs = std::find_if(all.begin(), all.end(), [&](const Row& row) {
        return Matching(all, {L"input", row.pad.substr(0, 3)}).size() > 1;
    });
    ASSERT_NE(inputs, all.end());
    const std::wstring prefix = inputs->pad.substr(0, 3), typed = L"input " + prefix;
    const struct {
        std::wstring typed;
        std::vector<std::wstring> words;
    } cases[] = {{L"uart", {L"uart"}},
                 {L"UART2 tx", {L"uart2", L"tx"}},
                 {L"zzqq", {L"zzqq"}},
                 {typed, {L"input", prefix}}};
    HWND rate = GetDlgItem(w.dialog, IDC_UPDATERATE);
    for (const auto& c : cases) {
        // Ctrl+F from another edit box selects the find text: the words typed replace it.
        w.Click(w.ControlPoint(IDC_UPDATERATE));
        ASSERT_TRUE(Eventually([&] { return Focus(w) == rate; }));
        std::vector<LPARAM> expected = Matching(all, c.words);
        Find(w, c.typed);
        EXPECT_TRUE(Eventually([&] { return Gpios(w) == expected; }))
            << w.Rows() << " rows, not " << expected.size();
        EXPECT_EQ(TextOf(count), std::to_wstring(expected.size()) + L" of 222");
    }
    ASSERT_LT(Matching(all, {L"uart2", L"tx"}).size(), Matching(all, {L"uart"}).size());
    ASSERT_GT(Matching(all, {L"uart2", L"tx"}).size(), 0u);
    const std::vector<LPARAM> shown = Matching(all, {L"input", prefix});

    HideColumn(w, L"Level", 5); // a rebuild
    EXPECT_TRUE(Eventually([&] { return Gpios(w) == shown; }));

    // Return in the box goes to the first row.
    PressKey('F', VK_CONTROL);
    ASSERT_TRUE(Eventually([&] { return Focus(w) == box; }));
    w.Key(VK_RETURN);
    EXPECT_TRUE(Eventually([&] { return Focus(w) == w.list; }));
    EXPECT_EQ(SendMessageW(w.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 0);

    uint32_t g = uint32_t(w.Param(1));
    w.RightClick(w.CellPoint(g, L"Direction"));
    ASSERT_TRUE(w.MenuOpen());
    w.Pick(1); // "Output"
    EXPECT_TRUE(Eventually([&] { return GetGPIODir(g) == 1; }));
    EXPECT_TRUE(Eventually([&] { return w.Cell(g, L"Direction") == L"Output"; }));
    EXPECT_EQ(Gpios(w), shown);

    EmptyTheClipboard();
    PressKey('C', VK_CONTROL);
    std::wstring line, copied;
    for (int c = 0; c < int(w.Headers().size()); ++c)
        line += (c ? L"\t" : L"\n") + w.Text(1, c);
    EXPECT_TRUE(Eventually([&] {
        copied = ClipboardText();
        return std::count(copied.begin(), copied.end(), L'\n') == long(shown.size()) + 1 &&
               copied.find(line + L"\r\n") != std::wstring::npos;
    })) << copied.c_str();

    // A pad name that no other cell holds: found while "Pin Name" is shown, not once hidden.
    auto unique = std::find_if(all.begin(), all.end(), [&](const Row& row) {
        return Matching(all, {row.pad}, false).empty();
    });
    ASSERT_NE(unique, all.end());
    Find(w, unique->pad);
    EXPECT_TRUE(Eventually([&] { return w.Rows() == 1; })) << w.Rows() << " rows";
    HideColumn(w, L"Pin Name", 1);
    EXPECT_TRUE(Eventually([&] { return w.Rows() == 0; })) << w.Rows() << " rows";
    EXPECT_EQ(TextOf(count), L"0 of 222");

    // Sorted by "Pin" while filtered, the same rows; Escape brings every row back in that order.
    Find(w, L"uart");
    int filtered = 0;
    EXPECT_TRUE(Eventually([&] { return (filtered = w.Rows()) > 1 && filtered < 222; }))
        << filtered;
    w.Click(w.HeaderPoint(L"Pin"));
    auto byPin = [&] {
        int pin = w.ColumnOf(L"Pin");
        for (int r = 1; r < w.Rows(); ++r)
            if (wcscmp(w.Text(r - 1, pin).c_str(), w.Text(r, pin).c_str()) > 0) return false;
        return true;
    };
    EXPECT_TRUE(Eventually([&] { return byPin() && w.Rows() == filtered; }));
    w.Key(VK_ESCAPE);
    EXPECT_TRUE(Eventually([&] { return w.Rows() == 222; })) << w.Rows() << " rows";
    EXPECT_TRUE(byPin());
    EXPECT_EQ(TextOf(box), L"");
    EXPECT_EQ(TextOf(count), L"");
    EXPECT_TRUE(IsWindowVisible(w.dialog)) << "Escape in the box closed the tool";
    w.Click(w.CellPoint(5, L"#"));
    w.Key(VK_ESCAPE);
    EXPECT_EQ(w.ExitCode(), 1);
}
