// The main dialog in this process, clicked with real mouse input: popups, Columns, boards, the
// update rate, rebuilds.
#include "tests/dialog_support.h"
#include "tests/input_support.h"
#include "app/dialog.h"
#include "gpiolib/gpiolib.h"
#include "table/altfn.h"
#include "table/stats.h"
#include "table/table.h"

#include <gtest/gtest.h>

namespace {

bool Shows(DialogHarness& h, uint32_t g, int slot, const std::wstring& text) {
    bool ok = PumpUntil([&] { return h.Cell(g, slot) == text; });
    if (!ok)
        ADD_FAILURE() << "GPIO " << g << " column " << slot << " reads '" << h.Cell(g, slot).c_str()
                      << "'";
    return ok;
}

} // namespace

// Every item of the value popups leads to its call; the next popup marks what the cell shows.
TEST(Popups, ValuePopupsCallTheLibraryAndMarkTheCellsValue) {
    struct Step {
        int slot, pick;
        int (*read)(uint32_t);
        int expected;
        const wchar_t* cell;
    };
    const Step pxa[] = {
        {SLOT_DIRECTION, 1, GetGPIODir, 1, L"Output"},
        {SLOT_LEVEL, 1, GetGPIOLevel, 1, L"1"},
        {SLOT_LEVEL, 0, GetGPIOLevel, 0, L"0"},
        {SLOT_EDGEDET, 3, GetGPIOEdgeDetect, 3, L"Both"},
        {SLOT_EDGEDET, 2, GetGPIOEdgeDetect, 2, L"Falling"},
        {SLOT_DIRECTION, 0, GetGPIODir, 0, L"Input"},
    };
    const Step tegra[] = {
        {SLOT_TRISTATE, 1, GetGPIOTristate, 1, L"1"},
        {SLOT_PULLSTATE, 2, GetGPIOPullState, 2, L"PullUp"},
        {SLOT_PULLSTATE, 1, GetGPIOPullState, 1, L"PullDown"},
        {SLOT_DIRECTION, 1, GetGPIODir, 1, L"Output"},
    };
    for (auto [module, steps, count] : {std::tuple{SIM_MODULE_PXA270, pxa, std::size(pxa)},
                                        std::tuple{SIM_MODULE_TEGRA2, tegra, std::size(tegra)}}) {
        DialogHarness h(module);
        uint32_t g = PlainInput(9);
        for (size_t i = 0; i < count; ++i) {
            const Step& s = steps[i];
            MenuSeen seen = h.RightClick(h.CellPoint(g, s.slot), s.pick);
            if (seen.menus != 1) {
                LVHITTESTINFO hit = {};
                hit.pt = h.CellPoint(g, s.slot);
                ScreenToClient(h.list, &hit.pt);
                SendMessageW(h.list, LVM_SUBITEMHITTEST, 0, LPARAM(&hit));
                ADD_FAILURE() << "pt " << hit.pt.x << "," << hit.pt.y << " item " << hit.iItem
                              << " sub " << hit.iSubItem << " pending " << RebuildPending();
            }
            ASSERT_EQ(seen.menus, 1) << "step " << i;
            EXPECT_EQ(s.read(g), s.expected) << "step " << i;
            Shows(h, g, s.slot, s.cell);
            // The popup now marks the new value, and only it.
            seen = h.RightClick(h.CellPoint(g, s.slot), -1);
            EXPECT_EQ(seen.CheckedLabels(), seen.labels[size_t(s.pick)] + L"|") << "step " << i;
        }
    }
}

TEST(Popups, EdgeStatusResetClearsTheLatchedEdge) {
    DialogHarness h(SIM_MODULE_PXA300);
    uint32_t g = PlainInput(9);
    SetGPIOEdgeDetect(g, 3);
    SimDriveInput(g, 1 - SimPinLevel(g));
    Shows(h, g, SLOT_EDGESTAT, L"*");
    MenuSeen seen = h.RightClick(h.CellPoint(g, SLOT_EDGESTAT), 0);
    EXPECT_EQ(seen.CheckedLabels(), L"");
    EXPECT_EQ(GetGPIOEdgeStatus(g), 0);
    Shows(h, g, SLOT_EDGESTAT, L"");
}

TEST(Popups, Pxa270AltFnShowsBothHalvesAndInputGpioSetsFunctionAndDirectionInOneChoice) {
    DialogHarness h(SIM_MODULE_PXA270);
    uint32_t g = 11;
    SetGPIOAltFn(g, 2, 1);
    Shows(h, g, SLOT_ALTFNNAME, GetAltFnName(g, 1, 2));
    MenuSeen seen = h.RightClick(h.CellPoint(g, SLOT_ALTFNNAME), 2);
    ASSERT_EQ(seen.labels.size(), 12u);
    for (int fn = 0; fn < 4; ++fn) {
        EXPECT_EQ(seen.labels[size_t(2 + fn)], GetAltFnName(g, 0, fn));
        EXPECT_EQ(seen.labels[size_t(8 + fn)], GetAltFnName(g, 1, fn));
    }
    EXPECT_TRUE(seen.checked[10]);
    EXPECT_EQ(seen.CheckedLabels(), seen.labels[10] + L"|");
    EXPECT_EQ(GetGPIOAltFn(g), 0);
    EXPECT_EQ(GetGPIODir(g), 0);
}

TEST(Popups, TegraAltFnMarksThePlainGpioAndSpecialPadsMarkNoDirection) {
    DialogHarness h(SIM_MODULE_TEGRA3);
    uint32_t g = PlainInput(100);
    MenuSeen seen = h.RightClick(h.CellPoint(g, SLOT_ALTFN), 3);
    ASSERT_EQ(seen.labels.size(), 5u);
    EXPECT_EQ(seen.labels[0], L"GPIO");
    EXPECT_EQ(seen.labels[3], GetAltFnName(g, 0, 2));
    EXPECT_EQ(seen.CheckedLabels(), L"GPIO|");
    EXPECT_EQ(GetGPIOAltFn(g), 2);
    Shows(h, g, SLOT_DIRECTION, L"-");
    // A pad on a special function marks no direction; a choice still goes to the library.
    seen = h.RightClick(h.CellPoint(g, SLOT_DIRECTION), 1);
    EXPECT_EQ(seen.CheckedLabels(), L"");
    EXPECT_EQ(GetGPIODir(g), 1);
}

TEST(Popups, Pxa320Gpio0CannotBeSet) {
    DialogHarness h(SIM_MODULE_PXA320);
    {
        BoxAnswer box(L"Attention", IDOK);
        int before = GetGPIODir(0);
        h.RightClick(h.CellPoint(0, SLOT_DIRECTION), 0);
        EXPECT_TRUE(box.answered);
        EXPECT_EQ(box.text, L"GPIO 0 can not be set to output");
        EXPECT_EQ(GetGPIODir(0), before);
    }
}

TEST(Popups, NameColumnsAndEmptyRowAreaOpenNothing) {
    DialogHarness h(SIM_MODULE_TEGRA2);
    for (int slot : {SLOT_GPIO, SLOT_PINNAME, SLOT_PIN, SLOT_EVALLOC, SLOT_EVALFNNAME, SLOT_GROUP})
        EXPECT_EQ(h.RightClick(h.CellPoint(30, slot), -1).menus, 0) << slot;
    POINT below = h.CellPoint(0, SLOT_DIRECTION);
    SendMessageW(h.list, LVM_DELETEALLITEMS, 0, 0);
    EXPECT_EQ(h.RightClick(below, -1).menus, 0);
}

TEST(ColumnsMenu, TicksTheShownColumnsAndTogglesOne) {
    DialogHarness h(SIM_MODULE_PXA310);
    MenuSeen seen = h.RightClick(h.HeaderPoint(SLOT_DIRECTION), 5); // "Level"
    ASSERT_EQ(seen.labels.size(), size_t(COLUMN_SLOT_COUNT + 2));   // and "Copy table"
    EXPECT_EQ(seen.CheckedLabels(), L"GPIO|AltFn Name|AltFn|Direction|Level|SODIMM Pin|EvalLoc|"
                                    L"EvalFnName|Edge Detect|Edge Status|Edges|Activity|");
    ASSERT_TRUE(h.Settled());
    EXPECT_EQ(ColumnSlots[SLOT_LEVEL], COLUMN_HIDDEN);
    EXPECT_EQ(h.view.Header(ColumnSlots[SLOT_DIRECTION] + 1), L"Pin");
    // A column the processor lacks can be ticked, and stays hidden.
    h.RightClick(h.HeaderPoint(SLOT_PIN), 11); // "Tristate"
    ASSERT_TRUE(h.Settled());
    EXPECT_EQ(ColumnSlots[SLOT_TRISTATE], COLUMN_HIDDEN);
    EXPECT_EQ(h.view.Columns(), 11);
}

POINT Center(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST(Dialog, ClickedRowIsTheGpioAfterSortsAndRebuilds) {
    DialogHarness h(SIM_MODULE_PXA270);
    uint32_t g = PlainInput(40), other = PlainInput(g + 1);
    for (int round = 0; round < 3; ++round) {
        LONG builds = g_pollStats.builds;
        h.Click(Center(GetDlgItem(h.dialog, round % 2 ? IDC_EVAL21 : IDC_EVAL31)));
        ASSERT_TRUE(PumpUntil([&] { return g_pollStats.builds > builds; }) && h.Settled());
        h.Click(h.HeaderPoint(round % 2 ? SLOT_EVALLOC : SLOT_PIN));
        ASSERT_TRUE(PumpUntil([&] { return h.view.RowOf(0) != 0; })) << "not sorted";
    }
    h.RightClick(h.CellPoint(g, SLOT_DIRECTION), 1);
    EXPECT_EQ(GetGPIODir(g), 1);
    EXPECT_EQ(GetGPIODir(other), 0);
    Shows(h, g, SLOT_DIRECTION, L"Output");
}

TEST(Dialog, BoardButtonsRebuildWithTheirLocationsEvenWhenAlreadyChosen) {
    DialogHarness h(SIM_MODULE_PXA270);
    uint32_t g = 11;
    std::wstring on31 = h.Cell(g, SLOT_EVALLOC);
    h.Click(Center(GetDlgItem(h.dialog, IDC_EVAL21)));
    ASSERT_TRUE(PumpUntil([] { return EvalbRevID == EVALB_VERSION21; }) && h.Settled());
    EXPECT_NE(h.Cell(g, SLOT_EVALLOC), on31);
    // Choosing the selected board rebuilds again: the sort is undone.
    h.Click(h.HeaderPoint(SLOT_PIN));
    ASSERT_TRUE(PumpUntil([&] { return h.view.RowOf(0) != 0; }));
    h.Click(Center(GetDlgItem(h.dialog, IDC_EVAL21)));
    EXPECT_TRUE(PumpUntil([&] { return h.view.RowOf(0) == 0; })) << "not rebuilt";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(h.dialog, IDC_BELVAN)));
}

TEST(Dialog, UpdateRateFromAnyTypedTextStaysSound) {
    DialogHarness h(SIM_MODULE_PXA320);
    HWND box = GetDlgItem(h.dialog, IDC_UPDATERATE);
    EXPECT_EQ(UpdateRate, 5);
    // Where Wine and Windows read a text differently, both readings are listed: Wine refuses
    // 4294967295 in an unsigned box, Windows takes it. A minus sign is 1 Hz on both (Wine would
    // read "-5" as 4294967291: passes back to back).
    struct {
        const wchar_t* typed;
        int rate, orRate;
    } cases[] = {{L"0", 1, 1},           {L"", 1, 1},           {L"abc", 1, 1},
                 {L"10", 10, 10},        {L" 7", 7, 7},         {L"-5", 1, 1},
                 {L" -12", 1, 1},        {L"0x10", 1, 1},       {L"12345678901234567890", 1, 1},
                 {L"4294967295", -1, 1}, {L"4294967296", 1, 1}, {L"2000", 2000, 2000}};
    for (auto& c : cases) {
        h.Click(Center(box));
        ASSERT_TRUE(PumpUntil([&] { return GetFocus() == box; }));
        PressKey(VK_END);
        for (int i = 0; i < 32; ++i)
            PressKey(VK_BACK);
        TypeText(c.typed);
        wchar_t text[32];
        EXPECT_TRUE(PumpUntil([&] {
            GetWindowTextW(box, text, 32);
            return wcscmp(text, c.typed) == 0 && (UpdateRate == c.rate || UpdateRate == c.orRate);
        })) << "typed '"
            << c.typed << "': box '" << text << "', rate " << UpdateRate;
        EXPECT_LE(PollPeriod(), 1000u);
    }
}

// Hundreds of requests as fast as they come, with sorts and popups in between, then the close:
// nothing is lost, nothing deadlocks.
TEST(Dialog, RebuildStormEndsWithEveryToggleCarriedOut) {
    DialogHarness h(SIM_MODULE_TEGRA2);
    const int positions[] = {4, 5, 7, 13}; // Direction, Level, EvalLoc, Pull up/down State
    int toggles[COLUMN_SLOT_COUNT] = {};
    for (int i = 0; i < 200; ++i) {
        int position = positions[i % 4];
        if (i % 7 == 3) {
            RequestRebuild(REBUILD_LIST);
        } else {
            RequestRebuild(position);
            ++toggles[position];
        }
        if (i % 50 == 0) h.RightClick(h.CellPoint(10, SLOT_ALTFNNAME), -1);
        if (i % 10 == 0) SendMessageW(h.list, LVM_SORTITEMS, 2, LPARAM(CompareRows));
    }
    ASSERT_TRUE(h.Close()) << "the dialog did not end";
    for (int position : positions)
        EXPECT_EQ(*ColumnMenuOrder[position] != COLUMN_HIDDEN, toggles[position] % 2 == 0)
            << position;
}

// A cell's popup asked for while a rebuild is queued is refused; once the rebuild is done it
// opens.
TEST(Dialog, CellPopupsWaitForQueuedRebuilds) {
    DialogHarness h(SIM_MODULE_PXA310);
    POINT at = h.CellPoint(30, SLOT_DIRECTION);
    auto open = [&] { OpenCellPopup(SLOT_DIRECTION, 30, at, h.list); };
    RequestRebuild(REBUILD_LIST); // carried out only when this thread serves its messages
    ASSERT_TRUE(RebuildPending());
    EXPECT_EQ(h.Watch(open).menus, 0);
    ASSERT_TRUE(h.Settled());
    EXPECT_EQ(h.Watch(open).menus, 1);
}
