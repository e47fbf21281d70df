// What a user sees of the tool's window in the Wine prefix: the dialog in the font it names,
// every label and column header whole, and the font of the caption buttons' glyphs. Run at 96
// and at 144 pixels per inch (a prefix of that setting: tests/look.cmake).
#include "tests/test_support.h"
#include "tests/window_support.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

INT_PTR CALLBACK Passive(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The tool's main dialog made in this process from the tool's own resource, never shown: it
// gets the font the tool's window gets, and a font can be measured only in its own process.
struct DialogCopy {
    HWND window = nullptr;
    HDC dc = nullptr;

    DialogCopy() {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&classes);
        static HMODULE program = LoadLibraryExW((BuildFolder() + L"\\gpioconfig.exe").c_str(),
                                                nullptr, LOAD_LIBRARY_AS_DATAFILE);
        window = CreateDialogParamW(program, MAKEINTRESOURCEW(101), nullptr, Passive, 0);
        if (!window) return;
        dc = GetDC(window);
        SelectObject(dc, Font());
    }
    ~DialogCopy() {
        if (dc) ReleaseDC(window, dc);
        if (window) DestroyWindow(window);
    }
    HFONT Font() const { return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)); }
};

std::wstring RealisedFace(HFONT font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = L"";
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return face;
}

// What of a static text or button label does not fit its control, drawn as the control draws
// it with the font selected into dc; empty when the label is whole.
std::wstring Cut(HWND control, HDC dc) {
    wchar_t kind[32] = L"", text[1024] = L"";
    GetClassNameW(control, kind, 32);
    // WM_GETTEXT, unlike GetWindowTextW, reads a control of another process.
    int length = int(SendMessageW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text)));
    RECT client, need = {};
    GetClientRect(control, &client);
    need.right = client.right;
    LONG style = GetWindowLongW(control, GWL_STYLE);
    if (lstrcmpiW(kind, L"Static") == 0) {
        DrawTextW(dc, text, length, &need,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS |
                      (style & SS_NOPREFIX ? DT_NOPREFIX : 0));
    } else if (lstrcmpiW(kind, L"Button") == 0) {
        DrawTextW(dc, text, length, &need, DT_CALCRECT | DT_SINGLELINE);
        LONG type = style & BS_TYPEMASK;
        if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON || type == BS_CHECKBOX ||
            type == BS_AUTOCHECKBOX) {
            // The box, then half a digit's width before the text.
            INT digit = 0;
            GetCharWidth32W(dc, L'0', L'0', &digit);
            need.right += GetSystemMetrics(SM_CXMENUCHECK) + digit / 2;
        } else {
            need.right += 2 * GetSystemMetrics(SM_CXEDGE);
        }
    } else {
        return L"";
    }
    if (length == 0 || (need.right <= client.right && need.bottom <= client.bottom)) return L"";
    wchar_t seen[1200];
    wsprintfW(seen, L"\"%s\" needs %d x %d pixels, has %d x %d", text, int(need.right),
              int(need.bottom), int(client.right), int(client.bottom));
    return seen;
}

int CALLBACK CountFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// The columns' widths at 96 pixels per inch, as the list's design gives them.
const std::map<std::wstring, int> kDesignedWidths = {
    {L"#", 25},          {L"Pin Name", 90},  {L"AltFn Name", 100}, {L"AltFn", 12},
    {L"Direction", 50},  {L"Level", 25},     {L"Pin", 80},         {L"EvalLoc", 100},
    {L"EvalFnName", 90}, {L"EdgeDet", 45},   {L"EdgeStat", 45},    {L"Tristate", 25},
    {L"Group", 45},      {L"PullState", 50},
};

class DialogLook : public testing::TestWithParam<const char*> {};

} // namespace

TEST(DialogFont, IsTheFontTheDialogNames) {
    DialogCopy copy;
    ASSERT_NE(copy.window, nullptr);
    LOGFONTW asked = {};
    ASSERT_TRUE(GetObjectW(copy.Font(), sizeof asked, &asked));
    EXPECT_STREQ(asked.lfFaceName, L"MS Sans Serif");
    EXPECT_EQ(RealisedFace(copy.Font()), L"MS Sans Serif");
}

// Wine draws the close box and its siblings as characters of this font.
TEST(DialogFont, CaptionButtonGlyphFontIsInstalled) {
    LOGFONTW wanted = {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(wanted.lfFaceName, L"Marlett");
    HDC dc = GetDC(nullptr);
    int count = 0;
    EnumFontFamiliesExW(dc, &wanted, CountFamily, reinterpret_cast<LPARAM>(&count), 0);
    ReleaseDC(nullptr, dc);
    EXPECT_GT(count, 0);
}

// Every label whole (the help text differs by processor; the Belvan module enables the third
// board); every column the processor has, shown: each header holds its whole text in the
// dialog's font (the header draws it three edges in from either side), no column is narrower
// than its designed width scaled to the screen, and the rows are as high as the font.
TEST_P(DialogLook, EveryLabelAndHeaderIsWholeAndTheRowsFitTheFont) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora");
    for (const wchar_t* name : {L"g_ColAltFn", L"g_ColEvalFnName", L"g_ColTristate",
                                L"g_ColGroupName", L"g_ColPullState"}) {
        DWORD shown = 1;
        ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora\\GpioConfig", name,
                                  REG_DWORD, &shown, 4),
                  ERROR_SUCCESS);
    }
    DialogCopy copy;
    ASSERT_NE(copy.window, nullptr);
    int dpi = GetDeviceCaps(copy.dc, LOGPIXELSX);
    const char* prefixDpi = getenv("VELMORA_TEST_DPI");
    EXPECT_EQ(dpi, prefixDpi ? atoi(prefixDpi) : 96);
    ToolWindow w(GetParam());
    ASSERT_NE(w.dialog, nullptr);
    // Same font, same dialog units: the copy measures for the tool's window.
    RECT real, copied;
    GetClientRect(w.dialog, &real);
    GetClientRect(copy.window, &copied);
    EXPECT_EQ(real.right, copied.right);
    EXPECT_EQ(real.bottom, copied.bottom);
    for (HWND control = GetWindow(w.dialog, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT))
        EXPECT_EQ(Cut(control, copy.dc), L"") << "control " << GetDlgCtrlID(control);
    std::vector<std::wstring> headers = w.Headers();
    EXPECT_GE(headers.size(), 10u);
    for (size_t c = 0; c < headers.size(); ++c) {
        SCOPED_TRACE(testing::Message() << "column " << c);
        int width = int(SendMessageW(w.list, LVM_GETCOLUMNWIDTH, c, 0));
        SIZE text = {};
        GetTextExtentPoint32W(copy.dc, headers[c].c_str(), int(headers[c].size()), &text);
        EXPECT_GE(width, text.cx + 6 * GetSystemMetrics(SM_CXEDGE));
        auto designed = kDesignedWidths.find(headers[c]);
        EXPECT_GE(width, designed == kDesignedWidths.end() ? 0 : MulDiv(designed->second, dpi, 96));
    }
    TEXTMETRICW font = {};
    GetTextMetricsW(copy.dc, &font);
    RECT client, header;
    GetClientRect(w.list, &client);
    GetWindowRect(reinterpret_cast<HWND>(SendMessageW(w.list, LVM_GETHEADER, 0, 0)), &header);
    int perPage = int(SendMessageW(w.list, LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GT(perPage, 0);
    EXPECT_GE((client.bottom - (header.bottom - header.top)) / perPage, font.tmHeight);
    w.Close();
    EXPECT_EQ(w.ExitCode(), 1);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora");
}

INSTANTIATE_TEST_SUITE_P(Modules, DialogLook, testing::Values("pxa270", "tegra2", "tegra3-belvan"));
