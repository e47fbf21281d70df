// The real tool on the virtual display, driven as a user drives it.
#include "tests/window_support.h"
#include "tests/input_support.h"
#include "gpiolib/gpiolib.h"
#include "res/resource.h"
#include "sim/flash.h"

#include <gtest/gtest.h>
#include <cstdio>

namespace {

void DeletePreferences() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora");
}

class Window : public testing::Test {
  protected:
    void SetUp() override { DeletePreferences(); }
    void TearDown() override {
        LeaveModule();
        DeletePreferences();
    }
};

DWORD Stored(const wchar_t* name) {
    DWORD value = 0xDEAD, size = sizeof value;
    RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora\\GpioConfig", name, RRF_RT_REG_DWORD,
                 nullptr, &value, &size);
    return value;
}

// The first plain-GPIO input from `from` on.
uint32_t PlainInput(uint32_t from, uint32_t count) {
    int plain = IsTegra(IdentifyProcessor()) ? -1 : 0;
    for (uint32_t g = from; g < count; ++g)
        if (GetGPIODir(g) == 0 && GetGPIOAltFn(g) == plain) return g;
    return count;
}

} // namespace

TEST_F(Window, RightClickDirectionCellAndChooseOutput) {
    ToolWindow w("pxa270");
    JoinModule(SIM_MODULE_PXA270);
    uint32_t g = PlainInput(9, 121);
    ASSERT_LT(g, 121u);
    ASSERT_EQ(w.Cell(g, L"Direction"), L"Input");
    w.RightClick(w.CellPoint(g, L"Direction"));
    ASSERT_TRUE(w.MenuOpen());
    w.Pick(1);
    EXPECT_TRUE(w.MenuClosed());
    EXPECT_TRUE(Eventually([&] { return GetGPIODir(g) == 1; }));
    EXPECT_TRUE(Eventually([&] { return w.Cell(g, L"Direction") == L"Output"; }))
        << "the cell reads " << w.Cell(g, L"Direction").c_str();
    // Two close commands in a row end the tool as one does.
    w.Close();
    w.Close();
    EXPECT_EQ(w.ExitCode(), 1);
}

// Every value popup, chosen with the keyboard after a real right-click on the cell of a sorted
// list, reaches the module and comes back into the cell.
TEST_F(Window, ValuePopupsOnASortedListChangeTheModule) {
    struct Step {
        const wchar_t* header;
        int pick;
        int (*read)(uint32_t);
        int expected;
        const wchar_t* cell;
    };
    const Step pxa[] = {{L"Direction", 1, GetGPIODir, 1, L"Output"},
                        {L"Level", 1, GetGPIOLevel, 1, L"1"},
                        {L"EdgeDet", 3, GetGPIOEdgeDetect, 3, L"Both"},
                        {L"Direction", 0, GetGPIODir, 0, L"Input"}};
    const Step tegra[] = {{L"Direction", 1, GetGPIODir, 1, L"Output"},
                          {L"Level", 1, GetGPIOLevel, 1, L"1"},
                          {L"Tristate", 1, GetGPIOTristate, 1, L"1"},
                          {L"PullState", 2, GetGPIOPullState, 2, L"PullUp"}};
    struct {
        const char* module;
        SimModule id;
        const Step* steps;
        size_t count;
    } cases[] = {{"pxa310", SIM_MODULE_PXA310, pxa, std::size(pxa)},
                 {"tegra2", SIM_MODULE_TEGRA2, tegra, std::size(tegra)}};
    for (auto& c : cases) {
        SCOPED_TRACE(c.module);
        DeletePreferences(); // the PXA run stores the Tegra columns as hidden
        ToolWindow w(c.module);
        JoinModule(c.id);
        uint32_t g = PlainInput(20, uint32_t(w.Rows()));
        w.Click(w.HeaderPoint(L"Pin"));
        ASSERT_TRUE(Eventually([&] { return w.RowOf(0) != 0; })) << "not sorted";
        for (size_t i = 0; i < c.count; ++i) {
            const Step& s = c.steps[i];
            w.RightClick(w.CellPoint(g, s.header));
            ASSERT_TRUE(w.MenuOpen()) << "step " << i;
            w.Pick(s.pick);
            EXPECT_TRUE(w.MenuClosed());
            EXPECT_TRUE(Eventually([&] { return s.read(g) == s.expected; })) << "step " << i;
            EXPECT_TRUE(Eventually([&] { return w.Cell(g, s.header) == s.cell; }))
                << "step " << i << ": the cell reads " << w.Cell(g, s.header).c_str();
        }
        if (!IsTegra(IdentifyProcessor())) {
            // An edge latched outside is reset from its cell.
            SimDriveInput(g, 1 - SimPinLevel(g));
            ASSERT_TRUE(Eventually([&] { return w.Cell(g, L"EdgeStat") == L"*"; }));
            w.RightClick(w.CellPoint(g, L"EdgeStat"));
            ASSERT_TRUE(w.MenuOpen());
            w.Pick(0);
            EXPECT_TRUE(Eventually([&] { return w.Cell(g, L"EdgeStat").empty(); }));
            EXPECT_EQ(GetGPIOEdgeStatus(g), 0);
        }
        LeaveModule();
        w.Close();
        EXPECT_EQ(w.ExitCode(), 1);
    }
}

TEST_F(Window, ColumnsMenuHidesAColumnAndTheRegistryKeepsIt) {
    ToolWindow w("pxa270");
    ASSERT_NE(w.ColumnOf(L"Level"), -1);
    w.RightClick(w.HeaderPoint(L"Direction"));
    ASSERT_TRUE(w.MenuOpen());
    w.Pick(5); // "Level"
    EXPECT_TRUE(Eventually([&] { return w.ColumnOf(L"Level") == -1; }));
    // A column the processor lacks can be ticked, and stays hidden.
    w.RightClick(w.HeaderPoint(L"Direction"));
    ASSERT_TRUE(w.MenuOpen());
    w.Pick(11); // "Tristate"
    EXPECT_TRUE(w.MenuClosed());
    EXPECT_TRUE(Eventually([&] { return w.Rows() > 0 && w.ColumnOf(L"Pin") != -1; }));
    EXPECT_EQ(w.ColumnOf(L"Tristate"), -1);
    w.Close();
    EXPECT_EQ(w.ExitCode(), 1);
    EXPECT_EQ(Stored(L"g_ColLevel"), 0xFFFFFFFFu);
    EXPECT_EQ(Stored(L"g_ColTristate"), 0xFFFFFFFFu);
    EXPECT_NE(Stored(L"g_ColDir"), 0xFFFFFFFFu);
}

TEST_F(Window, BoardButtonsChangeTheLocationsAndABelvanModuleHasOnlyItsOwn) {
    {
        ToolWindow w("pxa270");
        std::wstring on31 = w.Cell(11, L"EvalLoc");
        w.Click(w.ControlPoint(IDC_EVAL21));
        EXPECT_TRUE(Eventually([&] { return w.Cell(11, L"EvalLoc") != on31; }))
            << "still " << on31.c_str();
        w.Close();
        EXPECT_EQ(w.ExitCode(), 1);
        EXPECT_EQ(Stored(L"EvalbRevID"), 0u);
    }
    // A Tessara board stored by an earlier run is kept for that run's modules, while a Belvan
    // module shows its own board.
    ToolWindow w("tegra3-belvan");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(w.dialog, IDC_EVAL21)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(w.dialog, IDC_EVAL31)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(w.dialog, IDC_BELVAN)));
    EXPECT_EQ(w.Cell(200, L"Pin").rfind(L"MXM3.", 0), 0u) << w.Cell(200, L"Pin").c_str();
    w.Close();
    EXPECT_EQ(w.ExitCode(), 1);
    EXPECT_EQ(Stored(L"EvalbRevID"), 0u);
}

// The close command waits for a rebuild in progress, and the preferences include its change.
// Both are real input, which arrives in the order given.
TEST_F(Window, CloseBoxAndEscapeEndTheToolAlsoDuringARebuild) {
    for (bool escape : {true, false}) {
        ToolWindow w("tegra2");
        w.Click(w.ControlPoint(escape ? IDC_EVAL21 : IDC_EVAL31));
        if (escape)
            w.Key(VK_ESCAPE);
        else
            w.ClickCloseBox();
        EXPECT_EQ(w.ExitCode(), 1);
        EXPECT_EQ(Stored(L"EvalbRevID"), escape ? 0u : 1u);
    }
}

// The menu bar leaves every control where the dialog puts it; Ctrl+C copies the table from
// anywhere but an edit box, which keeps its own Ctrl+C; the menu's item copies it too.
TEST_F(Window, MenuBarAndCtrlCCopyTheTableWhileAnEditBoxKeepsItsOwnCtrlC) {
    ToolWindow w("pxa270");
    RECT client, rate;
    GetClientRect(w.dialog, &client);
    GetWindowRect(GetDlgItem(w.dialog, IDC_UPDATERATE), &rate);
    MapWindowPoints(nullptr, w.dialog, reinterpret_cast<POINT*>(&rate), 2);
    EXPECT_GT(client.bottom - rate.bottom, 4) << "the update-rate box is cut off";

    auto header = [] { return ClipboardText().substr(0, ClipboardText().find(L'\r')); };
    const std::wstring table = L"#\tAltFn Name\tDirection\tLevel\tPin\tEvalLoc\tEdgeDet\tEdgeStat";
    EmptyTheClipboard();
    w.Click(w.ControlPoint(IDC_EVAL21)); // the focus on a radio button
    PressKey('C', VK_CONTROL);
    EXPECT_TRUE(Eventually([&] { return header() == table; })) << header().c_str();

    w.Click(w.ControlPoint(IDC_UPDATERATE));
    w.Key(VK_END);
    w.Key(VK_HOME, true); // selects "5"
    PressKey('C', VK_CONTROL);
    EXPECT_TRUE(Eventually([&] { return ClipboardText() == L"5"; })) << ClipboardText().c_str();

    PressKey('E', VK_MENU); // "Edit"
    ASSERT_TRUE(w.MenuOpen());
    w.Key('C');
    EXPECT_TRUE(Eventually([&] { return header() == table; })) << header().c_str();
    w.Close();
    EXPECT_EQ(w.ExitCode(), 1);
}

namespace {

std::wstring BoxText(HWND box) {
    wchar_t text[512] = L"";
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    return text;
}

std::string TwoOutputs(const char* processor, const char* source, uint32_t a, uint32_t b) {
    return std::string("Velmora GPIO settings\t1\r\nProcessor\t") + processor + "\r\nSource\t" +
           source + "\r\n#\tDirection\tLevel\r\n" + std::to_string(a) + "\tOutput\t1\r\n" +
           std::to_string(b) + "\tOutput\t1\r\n";
}

} // namespace

// Ctrl+E writes what the command line writes for the module to the file chosen in the Save
// dialog; its folder is kept for the next run.
TEST_F(Window, CtrlEExportsTheSettingsAndTheFolderIsKept) {
    ToolWindow w("tegra2");
    std::wstring path = TempPath(L"export.tsv"), expected = TempPath(L"expected.tsv");
    {
        FileDialogAnswer answer(L"Export Settings", path);
        PressKey('E', VK_CONTROL);
        ASSERT_TRUE(Eventually([&] { return FileBytes(path) != "(no file)"; }));
    }
    ChildResult cli =
        RunChild(L"\"" + BuildFolder() + L"\\gpioconfig.exe\" --export \"" + expected + L"\"",
                 {L"VELMORA_SIM_MODULE=tegra2"});
    ASSERT_EQ(cli.exitCode, 0) << cli.output;
    EXPECT_EQ(FileBytes(path), FileBytes(expected));
    w.Close();
    EXPECT_EQ(w.ExitCode(), 1);
    wchar_t folder[MAX_PATH] = L"";
    DWORD size = sizeof folder;
    RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora\\GpioConfig", L"SettingsFolder",
                 RRF_RT_REG_SZ, nullptr, folder, &size);
    EXPECT_EQ(std::wstring(folder), path.substr(0, path.find_last_of(L'\\') + 1));
    DeleteFileW(path.c_str());
    DeleteFileW(expected.c_str());
}

// Ctrl+O in Current Settings asks first: No changes nothing, Yes changes the pins (an output
// starts at the file's level). In Boot-up Settings the file goes into the image without a
// question, and "Save" stores it.
TEST_F(Window, CtrlOImportsIntoThePinsAfterTheQuestionAndIntoTheBootUpSettings) {
    ToolWindow w("pxa270");
    JoinModule(SIM_MODULE_PXA270);
    uint32_t a = PlainInput(30, 121), b = PlainInput(a + 1, 121);
    std::wstring path = TempPath(L"import.tsv");
    WriteFileBytes(path, TwoOutputs("PXA270", "Current Settings", a, b));
    for (bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        FileDialogAnswer answer(L"Import Settings", path);
        PressKey('O', VK_CONTROL);
        HWND box = w.Box(L"WARNING", 15000);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(BoxText(box), L"Apply 2 changes to the module's pins now?");
        w.Key(yes ? 'Y' : 'N');
        EXPECT_TRUE(Eventually([&] { return !IsWindow(box); }));
        SendMessageTimeoutW(w.dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr); // all handled
        EXPECT_EQ(GetGPIODir(a), yes ? 1 : 0);
        EXPECT_EQ(GetGPIODir(b), yes ? 1 : 0);
    }
    EXPECT_EQ(GetGPIOLevel(a), 1);
    EXPECT_TRUE(Eventually([&] { return w.Cell(b, L"Direction") == L"Output"; }));

    w.Click(w.ControlPoint(IDC_BOOTUP));
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(GetDlgItem(w.dialog, IDC_SAVE)); }));
    WriteFileBytes(path, TwoOutputs("PXA270", "Boot-up Settings", 20, 21));
    FileDialogAnswer answer(L"Import Settings", path);
    PressKey('O', VK_CONTROL);
    HWND box = w.Box(L"Attention", 15000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box),
              L"4 changes made to the Boot-up Settings.\r\nPress Save to store them.");
    w.Key(VK_RETURN);
    EXPECT_TRUE(Eventually([&] { return w.Cell(21, L"Direction") == L"Output"; }));
    w.Click(w.ControlPoint(IDC_SAVE));
    uint32_t stored[18] = {};
    EXPECT_TRUE(Eventually([&] {
        return SimFlashLoad(SimCurrentModule(), reinterpret_cast<BYTE*>(stored)) &&
               (stored[0] & 0x00300000) == 0x00300000 && (stored[4] & 0x00300000) == 0x00300000;
    })) << std::hex
        << stored[0] << " " << stored[4];
    w.Close();
    EXPECT_EQ(w.ExitCode(), 1);
    DeleteFileW(path.c_str());
}
