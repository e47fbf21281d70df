// The dialog, menu and icon resources of the tool, read from the built program.
#include "res/resource.h"
#include "tests/test_support.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Resource and control ids other programs rely on.
static_assert(IDD_MAIN == 101 && IDR_POPUPS == 103 && IDI_TOOL == 104);
static_assert(IDC_GPIOLIST == 1028 && IDC_SAVE == 1032 && IDC_RESETCLEAR == 1033);
static_assert(IDC_CURRENT == 1039 && IDC_BOOTUP == 1040 && IDC_HELPTEXT == 1041);
static_assert(IDC_UPDATERATE == 1042 && IDC_EVAL21 == 1045 && IDC_EVAL31 == 1046);
static_assert(IDC_BELVAN == 1049 && IDM_ALTFN_INPUT == 40002 && IDM_DIR_INPUT == 40012);
static_assert(IDM_FN0 == 40021 && IDM_TRISTATE_NO == 40029 && IDM_COL_GPIO == 40031);
static_assert(IDM_PULL_NORMAL == 40060);

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
    {IDC_SAVE, L"Button", L"Save", 312, 194, 35, 11, kChild | WS_TABSTOP | BS_PUSHBUTTON},
    {IDC_GPIOLIST, L"SysListView32", L"List1", 7, 28, 392, 122,
     kShown | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS},
    {IDC_HELPTEXT, L"Static", nullptr, 7, 151, 392, 40, kShown | WS_GROUP | SS_LEFT},
    {IDC_CURRENT, L"Button", L"Current Settings", 7, 195, 68, 10, kShown | BS_AUTORADIOBUTTON},
    {IDC_BOOTUP, L"Button", L"Boot-up Settings", 80, 195, 68, 10, kShown | BS_AUTORADIOBUTTON},
    {IDC_RESETCLEAR, L"Button", L"Reset/Clear", 355, 194, 44, 11,
     kChild | WS_TABSTOP | BS_PUSHBUTTON},
    {IDC_UPDATERATE, L"Edit", L"", 267, 194, 30, 12,
     kShown | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {0xFFFF, L"Static", L"UpdateRate (Hz):", 211, 197, 56, 8, kShown | WS_GROUP | SS_LEFT},
    {IDC_EVAL21, L"Button", L"version2.1", 93, 7, 49, 10, kShown | BS_AUTORADIOBUTTON},
    {IDC_EVAL31, L"Button", L"version3.1", 145, 7, 49, 10, kShown | BS_AUTORADIOBUTTON},
    {IDC_BELVAN, L"Button", L"Belvan V.1.0", 198, 7, 53, 10, kShown | BS_AUTORADIOBUTTON},
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
     {{IDM_ALTFN_INPUT, L"Input:", true},
      {0, nullptr},
      {IDM_ALTFN_IN_GPIO, L"GPIO"},
      {IDM_ALTFN_IN_FN1, L"Fn1"},
      {IDM_ALTFN_IN_FN2, L"Fn2"},
      {IDM_ALTFN_IN_FN3, L"Fn3"},
      {IDM_ALTFN_OUTPUT, L"Output:", true, true},
      {0, nullptr},
      {IDM_ALTFN_OUT_GPIO, L"GPIO"},
      {IDM_ALTFN_OUT_FN1, L"Fn1"},
      {IDM_ALTFN_OUT_FN2, L"Fn2"},
      {IDM_ALTFN_OUT_FN3, L"Fn3"}}},
    {L"AltFnPXA320",
     {{IDM_FN0, L"Fn0"},
      {IDM_FN1, L"Fn1"},
      {IDM_FN2, L"Fn2"},
      {IDM_FN3, L"Fn3"},
      {IDM_FN4, L"Fn4"},
      {IDM_FN5, L"Fn5"},
      {IDM_FN6, L"Fn6"},
      {IDM_FN7, L"Fn7"}}},
    {L"Dir", {{IDM_DIR_INPUT, L"Input"}, {IDM_DIR_OUTPUT, L"Output"}}},
    {L"Level", {{IDM_LEVEL_0, L"0"}, {IDM_LEVEL_1, L"1"}}},
    {L"EdgeDet",
     {{IDM_EDGE_NONE, L"None"},
      {IDM_EDGE_RISING, L"Rising"},
      {IDM_EDGE_FALLING, L"Falling"},
      {IDM_EDGE_BOTH, L"Both"}}},
    {L"EdgeStat", {{IDM_EDGESTAT_RESET, L"Reset"}}},
    {L"Tristate", {{IDM_TRISTATE_NO, L"No"}, {IDM_TRISTATE_YES, L"Yes"}}},
    {L"Columns",
     {{IDM_COL_GPIO, L"GPIO"},
      {IDM_COL_PINNAME, L"Pin Name"},
      {IDM_COL_ALTFNNAME, L"AltFn Name"},
      {IDM_COL_ALTFN, L"AltFn"},
      {IDM_COL_DIRECTION, L"Direction"},
      {IDM_COL_LEVEL, L"Level"},
      {IDM_COL_PIN, L"SODIMM Pin"},
      {IDM_COL_EVALLOC, L"EvalLoc"},
      {IDM_COL_EVALFNNAME, L"EvalFnName"},
      {IDM_COL_EDGEDETECT, L"Edge Detect"},
      {IDM_COL_EDGESTATUS, L"Edge Status"},
      {IDM_COL_TRISTATE, L"Tristate"},
      {IDM_COL_GROUP, L"Pin Group"},
      {IDM_COL_PULLSTATE, L"Pull up/down State"}}},
    {L"AltFnTegra2",
     {{IDM_FN0, L"Fn0"},
      {IDM_FN1, L"Fn1"},
      {IDM_FN2, L"Fn2"},
      {IDM_FN3, L"Fn3"},
      {IDM_FN4, L"Fn4"}}},
    {L"PullState",
     {{IDM_PULL_NORMAL, L"Normal"}, {IDM_PULL_DOWN, L"Pull Down"}, {IDM_PULL_UP, L"Pull Up"}}},
};

} // namespace

TEST(DialogResource, FrameCaptionAndFont) {
    ASSERT_NE(Program(), nullptr);
    HRSRC found = FindResourceW(Program(), MAKEINTRESOURCEW(IDD_MAIN), RT_DIALOG);
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
    HRSRC found = FindResourceW(Program(), MAKEINTRESOURCEW(IDD_MAIN), RT_DIALOG);
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
    HMENU menu = LoadMenuW(Program(), MAKEINTRESOURCEW(IDR_POPUPS));
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
    ASSERT_NE(FindResourceW(Program(), MAKEINTRESOURCEW(IDI_TOOL), RT_GROUP_ICON), nullptr);
    HICON icon = static_cast<HICON>(
        LoadImageW(Program(), MAKEINTRESOURCEW(IDI_TOOL), IMAGE_ICON, 16, 16, 0));
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
