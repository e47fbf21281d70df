// The "Compare" menu in the real dialog, chosen with the keyboard: marks against the stored
// boot-up configuration, the processor's defaults and a file, kept true by the refresh; the tip
// with the other side's value; "Differing Rows Only". And the command line's table against the
// one "Copy table" gives.
#include "tests/dialog_support.h"
#include "tests/input_support.h"
#include "app/bootcfg.h"
#include "gpiolib/gpiolib.h"
#include "res/resource.h"
#include "sim/flash.h"
#include "table/altfn.h"
#include "table/compare.h"
#include "table/marks.h"
#include "table/settings.h"
#include "table/stats.h"
#include "table/table.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>

namespace {

// A "Compare" item by its mnemonic, with real keys; a file is typed into the Open dialog.
void ChooseCompare(wchar_t key, const std::wstring& file = L"") {
    FileDialogAnswer answer(L"Compare with File", file);
    if (file.empty()) {
        answer.stop = true;
    }
    PressKey('C', VK_MENU);
    PressKey(WORD(key));
    if (!file.empty()) {
        EXPECT_TRUE(PumpUntil([&] { return bool(answer.answered); }));
    }
}

// Hovers over a cell until this process's tooltip shows the text.
void ExpectTip(DialogHarness& h, uint32_t g, int slot, const std::wstring& expected) {
    MouseAt(h.CellPoint(g, slot));
    wchar_t text[128] = L"";
    EXPECT_TRUE(PumpUntil([&] {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM p) -> BOOL {
                wchar_t name[32];
                if (IsWindowVisible(window) && GetClassNameW(window, name, 32) &&
                    lstrcmpiW(name, TOOLTIPS_CLASSW) == 0)
                    GetWindowTextW(window, reinterpret_cast<wchar_t*>(p), 128);
                return TRUE;
            },
            LPARAM(text));
        return text == expected;
    })) << text;
}

bool Marked(uint32_t g, int slot) {
    return PumpUntil([&] { return CellMarked(g, slot); }, 3000);
}
bool Unmarked(uint32_t g, int slot) {
    return PumpUntil([&] { return !CellMarked(g, slot); }, 3000);
}

} // namespace

// Power-on defaults, PXA270: the outputs the processor's defaults make (GPIO 15, 30, 31, 49, 78,
// 79, 80, 95, 98) against the live directions, every row. A cell is amber with a corner mark, its
// tip names the default, and a pin made to differ, then to agree, is marked, then not.
// "Differing Rows Only" shows only the rows that differ, and their popups act on the row's own
// GPIO; a row that stops differing stays until the next build, which leaves it out; unticked,
// every row comes back.
TEST(CompareMarks, PowerOnDefaultsMarkEveryDirectionThatDiffersFollowThePinsAndFilterTheRows) {
    DialogHarness h(SIM_MODULE_PXA270);
    ChooseCompare('P');
    ASSERT_TRUE(PumpUntil([] { return ComparisonActive(); }));
    const uint32_t outputs[] = {15, 30, 31, 49, 78, 79, 80, 95, 98};
    int differing = 0;
    for (uint32_t g = 0; g < 121; ++g) {
        bool defaultOutput =
            std::find(std::begin(outputs), std::end(outputs), g) != std::end(outputs);
        EXPECT_EQ(CellMarked(g, SLOT_DIRECTION), (CachedDir[g] == 1) != defaultOutput) << g;
        differing += RowDiffers(g);
    }
    uint32_t g = PlainInput(20);
    ASSERT_FALSE(CellMarked(g, SLOT_DIRECTION));
    SetGPIODir(g, 1);
    ASSERT_TRUE(Marked(g, SLOT_DIRECTION));
    EXPECT_TRUE(PumpUntil([&] {
        return CellPixel(h, g, SLOT_DIRECTION, 3, -2) == MarkedCellColor() &&
               CellPixel(h, g, SLOT_DIRECTION, -2, 1) == CellMarkColor();
    })) << std::hex
        << CellPixel(h, g, SLOT_DIRECTION, 3, -2) << " " << CellPixel(h, g, SLOT_DIRECTION, -2, 1);
    EXPECT_NE(MarkedCellColor(), ChangedCellColor());
    ExpectTip(h, g, SLOT_DIRECTION, L"Power-on Defaults: Input");
    SetGPIODir(g, 0);
    EXPECT_TRUE(Unmarked(g, SLOT_DIRECTION));
    EXPECT_TRUE(
        PumpUntil([&] { return CellPixel(h, g, SLOT_DIRECTION, 3, -2) != MarkedCellColor(); }));
    ASSERT_GT(differing, 0);
    ASSERT_LT(differing, 121);
    ChooseCompare('D');
    EXPECT_TRUE(PumpUntil([&] { return h.view.Rows() == differing; })) << h.view.Rows();
    for (int row = 0; row < h.view.Rows(); ++row)
        EXPECT_TRUE(RowDiffers(uint32_t(h.view.Param(row)))) << row;
    // A differing output made an input from its own cell's popup.
    g = 0;
    while (!(RowDiffers(g) && CachedDir[g] == 1 && CachedAltFn[g] == 0))
        ++g;
    ASSERT_LT(g, 121u);
    int row = h.view.RowOf(g);
    h.RightClick(h.CellPoint(g, SLOT_DIRECTION), 0); // "Input"
    EXPECT_TRUE(PumpUntil([&] { return GetGPIODir(g) == 0; }));
    EXPECT_TRUE(PumpUntil([&] { return !RowDiffers(g); }));
    EXPECT_EQ(h.view.RowOf(g), row) << "the refresh removes no row";
    LONG builds = g_pollStats.builds;
    h.ClickButton(IDC_EVAL21);
    ASSERT_TRUE(PumpUntil([&] { return g_pollStats.builds > builds; }) && h.Settled());
    EXPECT_EQ(h.view.RowOf(g), -1);
    EXPECT_EQ(h.view.Rows(), differing - 1);
    ChooseCompare('D');
    EXPECT_TRUE(PumpUntil([&] { return h.view.Rows() == 121; })) << h.view.Rows();
}

// The stored boot-up configuration, PXA300 in Current Settings: what the next boot changes. A
// level counts where both sides have an output.
TEST(CompareMarks, TheStoredBootUpConfigurationMarksWhatTheNextBootChanges) {
    DialogHarness h(SIM_MODULE_PXA300, [] {
        uint32_t block[BOOT_CONFIG_WORDS] = {};
        block[1] = 1u << 8; // GPIO 40 an output
        block[5] = 1u << 8; // at level 1
        SimFlashSave(SimCurrentModule(), reinterpret_cast<const BYTE*>(block));
    });
    SetGPIODir(40, 0);
    ChooseCompare('B');
    ASSERT_TRUE(Marked(40, SLOT_DIRECTION));
    EXPECT_FALSE(CellMarked(40, SLOT_LEVEL));
    EXPECT_FALSE(CellMarked(40, SLOT_ALTFNNAME)) << "the PXA3xx block holds no functions";
    ExpectTip(h, 40, SLOT_DIRECTION, L"Boot-up Configuration: Output");
    SetGPIODir(40, 1);
    SetGPIOLevel(40, 0);
    EXPECT_TRUE(Unmarked(40, SLOT_DIRECTION));
    EXPECT_TRUE(Marked(40, SLOT_LEVEL));
    SetGPIOLevel(40, 1);
    EXPECT_TRUE(Unmarked(40, SLOT_LEVEL));
}

// A file, Tegra 3: only the GPIOs and settings it lists are compared; the function's name is
// the other side's. The stored configuration and the defaults exist on PXA modules only.
TEST(CompareMarks, AFileMarksTheSettingsItListsAndFollowsThePins) {
    DialogHarness h(SIM_MODULE_TEGRA3);
    for (UINT id : {IDM_COMPARE_BOOTUP, IDM_COMPARE_DEFAULTS})
        EXPECT_TRUE(GetMenuState(GetMenu(h.dialog), id, MF_BYCOMMAND) & MF_GRAYED) << id;
    uint32_t g = PlainInput(20);
    wchar_t name[8];
    GpioName(g, name);
    SetGPIOPullState(g, 0);
    char lines[128];
    snprintf(lines, sizeof lines, "%ls\t-1\tInput\t0\tPullUp\r\n", name);
    std::wstring path = TempPath(L"compare.tsv");
    WriteFileBytes(path,
                   std::string("Velmora GPIO settings\t1\r\nProcessor\tTegra 3\r\nSource\tCurrent "
                               "Settings\r\n#\tAltFn\tDirection\tTristate\tPullState\r\n") +
                       lines);
    ChooseCompare('F', path);
    ASSERT_TRUE(Marked(g, SLOT_PULLSTATE));
    std::wstring file = path.substr(path.find_last_of(L'\\') + 1);
    EXPECT_EQ(ComparedText(g, SLOT_PULLSTATE), file + L": PullUp");
    for (uint32_t other = 0; other < 245; ++other)
        EXPECT_FALSE(other != g && RowDiffers(other)) << other;
    SetGPIOAltFn(g, 2, 0);
    ASSERT_TRUE(Marked(g, SLOT_ALTFNNAME));
    EXPECT_EQ(ComparedText(g, SLOT_ALTFNNAME), file + L": " + GetAltFnName(g, 0, -1));
    EXPECT_TRUE(CellMarked(g, SLOT_DIRECTION)) << "\"-\" against Input";
    SetGPIOAltFn(g, -1, 0);
    SetGPIOPullState(g, 2);
    EXPECT_TRUE(Unmarked(g, SLOT_PULLSTATE));
    EXPECT_TRUE(Unmarked(g, SLOT_ALTFNNAME));
    DeleteFileW(path.c_str());
}

// "--dump" prints what "Copy table" gives of a list with every column, on every processor and
// in Boot-up Settings.
TEST(CommandLineDump, IsTheCopiedTableWithEveryColumn) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora"); // the default board
    const std::pair<const char*, bool> cases[] = {
        {"pxa270", false}, {"pxa270", true},  {"pxa320", false}, {"pxa300", false},
        {"pxa310", false}, {"tegra2", false}, {"tegra3", false}, {"tegra3-belvan", false}};
    for (auto [module, bootup] : cases) {
        SCOPED_TRACE(module);
        StartOnModule(SimFindModule(module)->id);
        if (bootup) {
            LoadBootConfig(true);
            SettingsMode = SETTINGS_BOOTUP;
            SyncGpioLibWithSettingsMode();
        }
        TestList list;
        ColumnSlots[SLOT_EDGES] = ColumnSlots[SLOT_ACTIVITY] = COLUMN_HIDDEN; // nothing sampled
        BuildGpioList(list.list);
        std::wstring copied = GpioTableText(list.list);
        wchar_t environment[64];
        wsprintfW(environment, L"VELMORA_SIM_MODULE=%S", module);
        ChildResult dump = RunChild(L"\"" + BuildFolder() + L"\\gpioconfig.exe\" --dump" +
                                        (bootup ? L" --bootup" : L""),
                                    {environment}, 60000, true);
        EXPECT_EQ(dump.exitCode, 0) << dump.errors;
        EXPECT_EQ(dump.output, std::string(copied.begin(), copied.end()));
        SettingsMode = SETTINGS_CURRENT;
    }
}
