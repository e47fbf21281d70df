// The dialog, menu and icon resources of the tool, read from the built program.
#include "tests/test_support.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

HMODULE Program() {
    static HMODULE module = LoadLibraryExW((BuildFolder() + L"\\gpioconfig.exe").c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

// Reads a DLGTEMPLATE word by word.
struct Reader {
    const WORD* p;
    WORD Word() { return *p++; }
    DWORD Dword() {
        DWORD low = Word();
        return low | DWORD(Word()) << 16;
    }
    // A string or an ordinal (0xFFFF followed by the number, written "#n").
    std::wstring SzOrOrd() {
        if (*p == 0xFFFF) {
            ++p;
            return L"#" + std::to_wstring(Word());
        }
        std::wstring text(reinterpret_cast<const wchar_t*>(p));
        p += text.size() + 1;
        return text;
    }
    void AlignDword(const void* base) {
        auto offset = reinterpret_cast<const BYTE*>(p) - static_cast<const BYTE*>(base);
        if (offset % 4) ++p;
    }
};

// Predefined classes appear as ordinals or as names, in any case.
std::wstring ClassName(std::wstring name) {
    if (name == L"#128") name = L"Button";
    if (name == L"#129") name = L"Edit";
    if (name == L"#130") name = L"Static";
    CharUpperW(name.data());
    return name;
}

struct Control {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    short x, y, cx, cy;
    DWORD style;
};

constexpr DWORD kChild = WS_CHILD, kShown = WS_CHILD | WS_VISIBLE;

const Control kControls[] = {
    {1032, L"Button", L"Save", 312, 194, 35, 11, kChild | WS_TABSTOP | BS_PUSHBUTTON},
    {1028, L"SysListView32", L"List1", 7, 28, 392, 122,
     kShown | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS},
    {1041, L"Static", nullptr, 7, 151, 392, 40, kShown | WS_GROUP | SS_LEFT},
    {1039, L"Button", L"Current Settings", 7, 195, 68, 10, kShown | BS_AUTORADIOBUTTON},
    {1040, L"Button", L"Boot-up Settings", 80, 195, 68, 10, kShown | BS_AUTORADIOBUTTON},
    {1033, L"Button", L"Reset/Clear", 355, 194, 44, 11, kChild | WS_TABSTOP | BS_PUSHBUTTON},
    {1042, L"Edit", L"", 267, 194, 30, 12, kShown | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {0xFFFF, L"Static", L"UpdateRate (Hz):", 211, 197, 56, 8, kShown | WS_GROUP | SS_LEFT},
    {1045, L"Button", L"version2.1", 93, 7, 49, 10, kShown | BS_AUTORADIOBUTTON},
    {1046, L"Button", L"version3.1", 145, 7, 49, 10, kShown | BS_AUTORADIOBUTTON},
    {1049, L"Button", L"Belvan V.1.0", 198, 7, 53, 10, kShown | BS_AUTORADIOBUTTON},
    {0xFFFF, L"Static", L"Evaluation Board Version", 7, 7, 80, 8, kShown | WS_GROUP | SS_LEFT},
};

struct Item {
    int id; // 0: separator
    const wchar_t* label;
    bool grayed = false;
    bool columnBreak = false;
};

struct Popup {
    const wchar_t* name;
    std::vector<Item> items;
};

const Popup kPopups[] = {
    {L"AltFn",
     {{40002, L"Input:", true},
      {0, nullptr},
      {40003, L"GPIO"},
      {40004, L"Fn1"},
      {40005, L"Fn2"},
      {40006, L"Fn3"},
      {40007, L"Output:", true, true},
      {0, nullptr},
      {40008, L"GPIO"},
      {40009, L"Fn1"},
      {40010, L"Fn2"},
      {40011, L"Fn3"}}},
    {L"AltFnPXA320",
     {{40021, L"Fn0"},
      {40022, L"Fn1"},
      {40023, L"Fn2"},
      {40024, L"Fn3"},
      {40025, L"Fn4"},
      {40026, L"Fn5"},
      {40027, L"Fn6"},
      {40028, L"Fn7"}}},
    {L"Dir", {{40012, L"Input"}, {40013, L"Output"}}},
    {L"Level", {{40014, L"0"}, {40015, L"1"}}},
    {L"EdgeDet", {{40016, L"None"}, {40017, L"Rising"}, {40018, L"Falling"}, {40019, L"Both"}}},
    {L"EdgeStat", {{40020, L"Reset"}}},
    {L"Tristate", {{40029, L"No"}, {40030, L"Yes"}}},
    {L"Columns",
     {{40031, L"GPIO"},
      {40032, L"Pin Name"},
      {40033, L"AltFn Name"},
      {40034, L"AltFn"},
      {40035, L"Direction"},
      {40036, L"Level"},
      {40037, L"SODIMM Pin"},
      {40038, L"EvalLoc"},
      {40039, L"EvalFnName"},
      {40040, L"Edge Detect"},
      {40041, L"Edge Status"},
      {40042, L"Tristate"},
      {40043, L"Pin Group"},
      {40044, L"Pull up/down State"}}},
    {L"AltFnTegra2",
     {{40021, L"Fn0"}, {40022, L"Fn1"}, {40023, L"Fn2"}, {40024, L"Fn3"}, {40025, L"Fn4"}}},
    {L"PullState", {{40060, L"Normal"}, {40061, L"Pull Down"}, {40062, L"Pull Up"}}},
};

} // namespace

TEST(DialogResource, FrameCaptionAndFont) {
    ASSERT_NE(Program(), nullptr);
    HRSRC found = FindResourceW(Program(), MAKEINTRESOURCEW(101), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    auto* base = LockResource(LoadResource(Program(), found));
    Reader r{static_cast<const WORD*>(base)};
    DWORD style = r.Dword();
    EXPECT_EQ(style, DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(r.Dword(), 0u); // extended style
    EXPECT_EQ(r.Word(), std::size(kControls));
    short frame[4];
    for (short& v : frame)
        v = short(r.Word());
    EXPECT_EQ(frame[0], 0);
    EXPECT_EQ(frame[1], 0);
    EXPECT_EQ(frame[2], 406);
    EXPECT_EQ(frame[3], 212);
    EXPECT_EQ(r.SzOrOrd(), L""); // no menu
    EXPECT_EQ(r.SzOrOrd(), L""); // standard class
    EXPECT_EQ(r.SzOrOrd(), L"Tessara GPIO Config");
    EXPECT_EQ(r.Word(), 8);
    EXPECT_EQ(r.SzOrOrd(), L"MS Sans Serif");
}

// Controls in tab order with their ids, classes, texts, places and styles.
TEST(DialogResource, ControlsInTabOrder) {
    HRSRC found = FindResourceW(Program(), MAKEINTRESOURCEW(101), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    auto* base = LockResource(LoadResource(Program(), found));
    Reader r{static_cast<const WORD*>(base)};
    r.Dword();
    r.Dword();
    WORD count = r.Word();
    for (int i = 0; i < 4; ++i)
        r.Word();
    r.SzOrOrd();
    r.SzOrOrd();
    r.SzOrOrd();
    r.Word();
    r.SzOrOrd();
    ASSERT_EQ(count, std::size(kControls));
    for (const Control& c : kControls) {
        SCOPED_TRACE(c.id);
        r.AlignDword(base);
        EXPECT_EQ(r.Dword(), c.style);
        EXPECT_EQ(r.Dword(), 0u);
        EXPECT_EQ(short(r.Word()), c.x);
        EXPECT_EQ(short(r.Word()), c.y);
        EXPECT_EQ(short(r.Word()), c.cx);
        EXPECT_EQ(short(r.Word()), c.cy);
        EXPECT_EQ(r.Word(), c.id);
        EXPECT_EQ(ClassName(r.SzOrOrd()), ClassName(c.className));
        std::wstring text = r.SzOrOrd();
        if (c.text) {
            EXPECT_EQ(text, c.text);
        }
        WORD extra = r.Word();
        r.p += (extra + 1) / 2;
    }
}

TEST(MenuResource, TenPopupsWithTheirItems) {
    HMENU menu = LoadMenuW(Program(), MAKEINTRESOURCEW(103));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 10);
    for (int p = 0; p < 10; ++p) {
        const Popup& expected = kPopups[p];
        SCOPED_TRACE(expected.name);
        wchar_t name[64];
        GetMenuStringW(menu, p, name, 64, MF_BYPOSITION);
        EXPECT_STREQ(name, expected.name);
        HMENU popup = GetSubMenu(menu, p);
        ASSERT_NE(popup, nullptr);
        ASSERT_EQ(GetMenuItemCount(popup), int(expected.items.size()));
        for (size_t i = 0; i < expected.items.size(); ++i) {
            const Item& item = expected.items[i];
            SCOPED_TRACE(i);
            wchar_t label[64] = L"";
            MENUITEMINFOW info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
            info.dwTypeData = label;
            info.cch = 64;
            ASSERT_TRUE(GetMenuItemInfoW(popup, UINT(i), TRUE, &info));
            if (item.id == 0) {
                EXPECT_TRUE(info.fType & MFT_SEPARATOR);
                continue;
            }
            EXPECT_EQ(info.wID, UINT(item.id));
            EXPECT_STREQ(label, item.label);
            EXPECT_EQ((info.fState & MFS_GRAYED) != 0, item.grayed);
            EXPECT_EQ((info.fType & MFT_MENUBARBREAK) != 0, item.columnBreak);
        }
    }
    DestroyMenu(menu);
}

TEST(IconResource, SixteenBySixteen) {
    ASSERT_NE(FindResourceW(Program(), MAKEINTRESOURCEW(104), RT_GROUP_ICON), nullptr);
    HICON icon =
        static_cast<HICON>(LoadImageW(Program(), MAKEINTRESOURCEW(104), IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap;
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 16);
    EXPECT_EQ(bitmap.bmHeight, 16);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}
