// The window on a desktop: resized with the mouse, its placement remembered, the find box. The
// real tool on the virtual display, driven with real input.
#include "tests/window_support.h"
#include "tests/input_support.h"
#include "gpiolib/gpiolib.h"
#include "res/resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cwctype>
#include <set>

namespace {

constexpr wchar_t kKey[] = L"SOFTWARE\\Velmora\\GpioConfig";
const wchar_t* const kPlacement[] = {L"WindowLeft", L"WindowTop", L"WindowWidth", L"WindowHeight",
                                     L"WindowMaximized"};

void DeletePreferences() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora");
}

class Desktop : public testing::Test {
  protected:
    void SetUp() override { DeletePreferences(); }
    void TearDown() override {
        LeaveModule();
        DeletePreferences();
    }
};

void StoreValue(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

// The five placement values as stored (0xDEAD for one that is missing or not a REG_DWORD).
std::vector<DWORD> StoredPlacement() {
    std::vector<DWORD> values;
    for (const wchar_t* name : kPlacement) {
        DWORD value = 0xDEAD, size = sizeof value;
        if (RegGetValueW(HKEY_LOCAL_MACHINE, kKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                         &size) != ERROR_SUCCESS)
            value = 0xDEAD;
        values.push_back(value);
    }
    return values;
}

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

// A control's rectangle in the dialog's client area.
RECT ClientRectOf(HWND dialog, int id) {
    RECT rect = WindowRect(GetDlgItem(dialog, id));
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Distances of a control from the client area's four edges: left, top, right, bottom.
struct Margins {
    LONG left, top, right, bottom;
    bool operator==(const Margins&) const = default;
};
Margins MarginsOf(HWND dialog, int id) {
    RECT client, r = ClientRectOf(dialog, id);
    GetClientRect(dialog, &client);
    return {r.left, r.top, client.right - r.right, client.bottom - r.bottom};
}
std::ostream& operator<<(std::ostream& out, const Margins& m) {
    return out << "{" << m.left << ", " << m.top << ", " << m.right << ", " << m.bottom << "}";
}

// The bottom right corner of the frame, where a drag sizes the window.
POINT SizingCorner(HWND window) {
    RECT frame = WindowRect(window);
    for (int in = 1; in < 12; ++in) {
        POINT p = {frame.right - in, frame.bottom - in};
        if (SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)) == HTBOTTOMRIGHT) return p;
    }
    ADD_FAILURE() << "no sizing corner on the frame";
    return {frame.right - 2, frame.bottom - 2};
}

bool InMoveSize(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.flags & GUI_INMOVESIZE;
}

// Drags the corner by (dx, dy) as a hand does: pressed, the sizing seen to begin, moved in a few
// steps, released; waits until the window has taken a new size.
bool DragCorner(HWND window, int dx, int dy) {
    RECT before = WindowRect(window);
    POINT corner = SizingCorner(window);
    MouseAt(corner, MOUSEEVENTF_LEFTDOWN);
    if (!Eventually([&] { return InMoveSize(window); }, 5000))
        ADD_FAILURE() << "the sizing did not begin";
    constexpr int kSteps = 6;
    for (int step = 1; step <= kSteps; ++step)
        MouseAt({corner.x + dx * step / kSteps, corner.y + dy * step / kSteps});
    MouseAt({corner.x + dx, corner.y + dy}, MOUSEEVENTF_LEFTUP);
    return Eventually([&] {
        RECT now = WindowRect(window);
        return !InMoveSize(window) && (now.right - now.left != before.right - before.left ||
                                       now.bottom - now.top != before.bottom - before.top);
    });
}

} // namespace

// The list takes all the room; the board buttons stay, the find box stays at the right, and the
// controls under the list keep their distance from the bottom (the rate box from the right
// too). Smaller than the window opened it does not get; maximised, the list fills the screen.
TEST_F(Desktop, ResizingGivesTheListTheRoomDownToTheOpeningSize) {
    ToolWindow w("pxa270");
    HWND d = w.dialog;
    RECT opened = WindowRect(d);
    Margins list = MarginsOf(d, IDC_GPIOLIST), help = MarginsOf(d, IDC_HELPTEXT);
    Margins board = MarginsOf(d, IDC_EVAL21), mode = MarginsOf(d, IDC_CURRENT);
    Margins rate = MarginsOf(d, IDC_UPDATERATE), find = MarginsOf(d, IDC_FIND);
    RECT listRect = ClientRectOf(d, IDC_GPIOLIST);

    ASSERT_TRUE(DragCorner(d, 180, 120)) << "the window kept its size";
    RECT grown = WindowRect(d);
    EXPECT_EQ(grown.right - grown.left, opened.right - opened.left + 180);
    EXPECT_EQ(grown.bottom - grown.top, opened.bottom - opened.top + 120);
    EXPECT_EQ(MarginsOf(d, IDC_GPIOLIST), list);
    RECT listNow = ClientRectOf(d, IDC_GPIOLIST);
    EXPECT_EQ(listNow.bottom - listNow.top, listRect.bottom - listRect.top + 120);
    EXPECT_EQ(MarginsOf(d, IDC_EVAL21).left, board.left);
    EXPECT_EQ(MarginsOf(d, IDC_EVAL21).top, board.top);
    Margins helpNow = MarginsOf(d, IDC_HELPTEXT);
    EXPECT_EQ(helpNow.left, help.left);
    EXPECT_EQ(helpNow.right, help.right) << "the help text grows with the width";
    EXPECT_EQ(helpNow.bottom, help.bottom);
    EXPECT_EQ(MarginsOf(d, IDC_CURRENT).left, mode.left);
    EXPECT_EQ(MarginsOf(d, IDC_CURRENT).bottom, mode.bottom);
    EXPECT_EQ(MarginsOf(d, IDC_UPDATERATE).right, rate.right);
    EXPECT_EQ(MarginsOf(d, IDC_UPDATERATE).bottom, rate.bottom);
    EXPECT_EQ(MarginsOf(d, IDC_FIND).right, find.right);
    EXPECT_EQ(MarginsOf(d, IDC_FIND).top, find.top);

    ASSERT_TRUE(DragCorner(d, -400, -300));
    RECT smallest = WindowRect(d);
    EXPECT_EQ(smallest.right - smallest.left, opened.right - opened.left);
    EXPECT_EQ(smallest.bottom - smallest.top, opened.bottom - opened.top);
    EXPECT_EQ(MarginsOf(d, IDC_GPIOLIST), list);
    EXPECT_EQ(MarginsOf(d, IDC_UPDATERATE), rate);

    PostMessageW(d, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(Eventually([&] { return IsZoomed(d); }));
    EXPECT_TRUE(Eventually([&] { return MarginsOf(d, IDC_GPIOLIST) == list; }))
        << MarginsOf(d, IDC_GPIOLIST) << " instead of " << list;
    w.Close();
    EXPECT_EQ(w.ExitCode(), 1);
}

// At close the normal rectangle and the maximised state are stored; the next start takes them.
// Values that do not fit a monitor of now, or are not what the tool writes, give the place the
// window opens at without them.
TEST_F(Desktop, PlacementIsRestoredWhenItFitsAndIgnoredOtherwise) {
    RECT fresh;
    {
        ToolWindow w("pxa270");
        fresh = WindowRect(w.dialog);
        ASSERT_TRUE(DragCorner(w.dialog, 100, 60));
        SetWindowPos(w.dialog, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ASSERT_TRUE(Eventually([&] { return WindowRect(w.dialog).left == 40; }));
        w.Close();
        EXPECT_EQ(w.ExitCode(), 1);
    }
    const LONG width = fresh.right - fresh.left + 100, height = fresh.bottom - fresh.top + 60;
    EXPECT_EQ(StoredPlacement(), (std::vector<DWORD>{40, 30, DWORD(width), DWORD(height), 0}));
    {
        ToolWindow w("pxa270");
        RECT r = WindowRect(w.dialog);
        EXPECT_EQ(r.left, 40);
        EXPECT_EQ(r.top, 30);
        EXPECT_EQ(r.right - r.left, width);
        EXPECT_EQ(r.bottom - r.top, height);
        PostMessageW(w.dialog, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        ASSERT_TRUE(Eventually([&] { return IsZoomed(w.dialog); }));
        w.Close();
        EXPECT_EQ(w.ExitCode(), 1);
    }
    EXPECT_EQ(StoredPlacement(), (std::vector<DWORD>{40, 30, DWORD(width), DWORD(height), 1}));
    {
        ToolWindow w("pxa270");
        EXPECT_TRUE(IsZoomed(w.dialog));
        PostMessageW(w.dialog, WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_TRUE(Eventually([&] { return WindowRect(w.dialog).left == 40; }));
        EXPECT_EQ(WindowRect(w.dialog).right - 40, width) << "the normal size comes back";
        w.Close();
        EXPECT_EQ(w.ExitCode(), 1);
    }

    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    struct Bad {
        const char* what;
        int value; // which placement value is replaced
        DWORD type, size, data;
    } bad[] = {
        {"off the screen to the right", 0, REG_DWORD, 4, DWORD(screenWidth - 50)},
        {"above the screen", 1, REG_DWORD, 4, DWORD(-2000)},
        {"absurdly wide", 2, REG_DWORD, 4, 0x7FFFFFFF},
        {"smaller than the window opens", 3, REG_DWORD, 4, 100},
        {"maximised neither 0 nor 1", 4, REG_DWORD, 4, 2},
        {"a string", 2, REG_SZ, 4, 0x00350035},
        {"a 64-bit number", 0, REG_QWORD, 8, 40},
        {"three bytes", 1, REG_DWORD, 3, 30},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.what);
        DeletePreferences();
        const DWORD good[] = {40, 30, DWORD(width), DWORD(height), 0};
        for (int i = 0; i < 5; ++i) {
            BYTE data[8] = {};
            memcpy(data, i == b.value ? &b.data : &good[i], 4);
            if (i == b.value)
                StoreValue(kPlacement[i], b.type, data, b.size);
            else
                StoreValue(kPlacement[i], REG_DWORD, data, 4);
        }
        ToolWindow w("pxa270");
        RECT r = WindowRect(w.dialog);
        EXPECT_FALSE(IsZoomed(w.dialog));
        EXPECT_EQ(r.left, fresh.left);
        EXPECT_EQ(r.top, fresh.top);
        EXPECT_EQ(r.right, fresh.right);
        EXPECT_EQ(r.bottom, fresh.bottom);
        w.Close();
        EXPECT_EQ(w.ExitCode(), 1);
    }
}

namespace {

std::wstring Lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return towlower(c); });
    return text;
}

// Every row of the list: its GPIO and its cells' texts.
struct Row {
    LPARAM gpio;
    std::vector<std::wstring> cells;
};
std::vector<Row> ReadRows(ToolWindow& w) {
    std::vector<Row> rows;
    size_t columns = w.Headers().size();
    for (int r = 0; r < w.Rows(); ++r) {
        Row row = {w.Param(r), {}};
        for (size_t c = 0; c < columns; ++c)
            row.cells.push_back(w.Text(r, int(c)));
        rows.push_back(row);
    }
    return rows;
}

// The GPIOs of the rows in which every word occurs in some cell, case ignored, in list order.
std::vector<LPARAM> Matching(const std::vector<Row>& rows, std::vector<std::wstring> words) {
    std::vector<LPARAM> gpios;
    for (const Row& row : rows) {
        bool all = true;
        for (const std::wstring& word : words) {
            bool found = false;
            for (const std::wstring& cell : row.cells)
                found = found || Lower(cell).find(Lower(word)) != std::wstring::npos;
            all = all && found;
        }
        if (all) gpios.push_back(row.gpio);
    }
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

HWND Focus(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// Ctrl+F, then the text typed; waits until the count shows.
void Find(ToolWindow& w, const wchar_t* text) {
    PressKey('F', VK_CONTROL);
    HWND box = GetDlgItem(w.dialog, IDC_FIND);
    ASSERT_TRUE(Eventually([&] { return Focus(w.dialog) == box; })) << "Ctrl+F missed the box";
    w.Type(text);
    ASSERT_TRUE(Eventually([&] { return TextOf(box) == text; }))
        << "the box reads " << TextOf(box).c_str();
}

} // namespace

// Words typed leave the rows in which each occurs in some shown cell, whatever the case; the
// count says how many. A word that only a hidden column holds finds nothing. Escape empties
// the box and brings every row back in the order of the last sort, and the tool stays open.
TEST_F(Desktop, FindLeavesTheRowsThatHoldEveryWord) {
    ToolWindow w("tegra2");
    std::vector<Row> all = ReadRows(w);
    ASSERT_EQ(all.size(), 222u);
    HWND count = GetDlgItem(w.dialog, IDC_FINDCOUNT);
    EXPECT_EQ(TextOf(count), L"");

    struct Case {
        const wchar_t* typed;
        std::vector<std::wstring> words;
    } cases[] = {{L"uart", {L"uart"}}, {L"UART2 tx", {L"uart2", L"tx"}}, {L"zzqq", {L"zzqq"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << TextOf(count).c_str());
        Find(w, c.typed);
        std::vector<LPARAM> expected = Matching(all, c.words);
        EXPECT_TRUE(Eventually([&] { return Gpios(w) == expected; }))
            << "rows " << w.Rows() << ", expected " << expected.size();
        EXPECT_EQ(TextOf(count), std::to_wstring(expected.size()) + L" of 222");
    }
    ASSERT_LT(Matching(all, {L"uart2", L"tx"}).size(), Matching(all, {L"uart"}).size());
    ASSERT_GT(Matching(all, {L"uart2", L"tx"}).size(), 0u);

    // A pad name of the "Pin Name" column that no other cell holds: found while the column is
    // shown, not after it is hidden from the Columns menu.
    int padColumn = w.ColumnOf(L"Pin Name");
    std::wstring only;
    for (const Row& row : all) {
        std::wstring name = Lower(row.cells[size_t(padColumn)]);
        bool elsewhere = false;
        for (const Row& other : all)
            for (size_t c = 0; c < other.cells.size(); ++c)
                elsewhere = elsewhere || (int(c) != padColumn &&
                                          Lower(other.cells[c]).find(name) != std::wstring::npos);
        if (!elsewhere) {
            only = name;
            break;
        }
    }
    ASSERT_FALSE(only.empty());
    Find(w, only.c_str());
    EXPECT_TRUE(Eventually([&] { return w.Rows() == 1; })) << "rows " << w.Rows();
    w.RightClick(w.HeaderPoint(L"Direction"));
    ASSERT_TRUE(w.MenuOpen());
    w.Pick(1); // "Pin Name"
    EXPECT_TRUE(Eventually([&] { return w.ColumnOf(L"Pin Name") == -1 && w.Rows() == 0; }))
        << "rows " << w.Rows();
    EXPECT_EQ(TextOf(count), L"0 of 222");

    // Sorted by "Pin" while filtered; Escape brings every row back in that order.
    for (Row& row : all)
        row.cells.erase(row.cells.begin() + padColumn);
    Find(w, L"uart");
    size_t uart = Matching(all, {L"uart"}).size();
    EXPECT_TRUE(Eventually([&] { return w.Rows() == int(uart); }));
    w.Click(w.HeaderPoint(L"Pin"));
    auto pinsInOrder = [&] {
        int pin = w.ColumnOf(L"Pin");
        for (int r = 1; r < w.Rows(); ++r)
            if (wcscmp(w.Text(r - 1, pin).c_str(), w.Text(r, pin).c_str()) > 0) return false;
        return true;
    };
    EXPECT_TRUE(Eventually(pinsInOrder));
    EXPECT_EQ(w.Rows(), int(uart));
    w.Key(VK_ESCAPE);
    EXPECT_TRUE(Eventually([&] { return w.Rows() == 222; })) << "rows " << w.Rows();
    EXPECT_TRUE(pinsInOrder());
    EXPECT_EQ(TextOf(GetDlgItem(w.dialog, IDC_FIND)), L"");
    EXPECT_EQ(TextOf(count), L"");
    EXPECT_TRUE(IsWindowVisible(w.dialog)) << "Escape in the box closed the tool";

    // Elsewhere Escape still closes it.
    w.Click(w.CellPoint(5, L"#"));
    w.Key(VK_ESCAPE);
    EXPECT_EQ(w.ExitCode(), 1);
}

// On a filtered list: a rebuild keeps the filter, Return takes the focus to the first row, a
// popup acts on its row's GPIO and the refresh shows the change without removing the row, and
// Ctrl+C copies the rows shown.
TEST_F(Desktop, AFilteredListKeepsItsRowsThroughRebuildsPopupsAndCopy) {
    ToolWindow w("tegra3");
    JoinModule(SIM_MODULE_TEGRA3);
    std::vector<Row> all = ReadRows(w);
    // "input" and the start of an input's pad name that more inputs share.
    int pad = w.ColumnOf(L"Pin Name");
    std::wstring start;
    std::vector<LPARAM> shown;
    for (const Row& row : all) {
        start = Lower(row.cells[size_t(pad)].substr(0, 3));
        shown = Matching(all, {L"input", start});
        if (shown.size() > 1) break;
    }
    ASSERT_GT(shown.size(), 1u);
    std::wstring typed = L"input " + start;
    Find(w, typed.c_str());
    ASSERT_TRUE(Eventually([&] { return Gpios(w) == shown; }));

    w.RightClick(w.HeaderPoint(L"Level")); // "Level" hidden: a rebuild
    ASSERT_TRUE(w.MenuOpen());
    w.Pick(5);
    EXPECT_TRUE(Eventually([&] { return w.ColumnOf(L"Level") == -1 && Gpios(w) == shown; }))
        << "rows " << w.Rows();

    // Ctrl+F from the update-rate box selects the box's text; Return goes to the first row.
    w.Click(w.ControlPoint(IDC_UPDATERATE));
    ASSERT_TRUE(
        Eventually([&] { return Focus(w.dialog) == GetDlgItem(w.dialog, IDC_UPDATERATE); }));
    PressKey('F', VK_CONTROL);
    HWND box = GetDlgItem(w.dialog, IDC_FIND);
    ASSERT_TRUE(Eventually([&] { return Focus(w.dialog) == box; }));
    DWORD selection = DWORD(SendMessageW(box, EM_GETSEL, 0, 0));
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), typed.size()) << "the whole text selected";
    w.Key(VK_RETURN);
    EXPECT_TRUE(Eventually([&] { return Focus(w.dialog) == w.list; }));
    EXPECT_EQ(SendMessageW(w.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 0);
    EXPECT_TRUE(IsWindowVisible(w.dialog)) << "Return pressed a button";

    // The second row's direction made an output: the row stays, though it no longer matches.
    uint32_t g = uint32_t(w.Param(1));
    w.RightClick(w.CellPoint(g, L"Direction"));
    ASSERT_TRUE(w.MenuOpen());
    w.Pick(1); // "Output"
    EXPECT_TRUE(Eventually([&] { return GetGPIODir(g) == 1; }));
    EXPECT_TRUE(Eventually([&] { return w.Cell(g, L"Direction") == L"Output"; }));
    EXPECT_EQ(Gpios(w), shown);

    EmptyTheClipboard();
    w.Click(w.CellPoint(g, L"#"));
    PressKey('C', VK_CONTROL);
    std::wstring copied;
    EXPECT_TRUE(Eventually([&] {
        copied = ClipboardText();
        return std::count(copied.begin(), copied.end(), L'\n') == long(shown.size()) + 1;
    })) << copied.c_str();
    std::vector<Row> now = ReadRows(w);
    std::wstring line;
    for (size_t c = 0; c < now[1].cells.size(); ++c)
        line += (c ? L"\t" : L"") + now[1].cells[c];
    EXPECT_NE(copied.find(L"\n" + line + L"\r\n"), std::wstring::npos) << copied.c_str();
    w.Close();
    EXPECT_EQ(w.ExitCode(), 1);
}
