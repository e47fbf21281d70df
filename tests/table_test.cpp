// The GPIO list on a real list view: build, refresh thread, sort.
#include "tests/list_support.h"
#include "gpiolib/gpiolib.h"
#include "table/stats.h"
#include "table/table.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <climits>

namespace {

const SimModule kAllModules[] = {SIM_MODULE_PXA270,       SIM_MODULE_PXA320, SIM_MODULE_PXA300,
                                 SIM_MODULE_PXA310,       SIM_MODULE_TEGRA2, SIM_MODULE_TEGRA3,
                                 SIM_MODULE_TEGRA3_BELVAN};

std::vector<std::wstring> Headers(const TestList& t) {
    std::vector<std::wstring> headers;
    for (int c = 0; c < t.Columns(); ++c)
        headers.push_back(t.Header(c));
    return headers;
}

std::wstring Join(const std::vector<std::wstring>& texts) {
    std::wstring all;
    for (auto& text : texts)
        all += text + L"|";
    return all;
}

// A refresh thread for the test's list; stopped from another thread, as a RebuildThread does.
struct Polling {
    explicit Polling(HWND list, int rate = 1000) {
        UpdateRate = rate;
        StartPollThread(list);
    }
    ~Polling() {
        RunElsewhere([] { StopPollThread(); });
    }
};

// Waits for whole passes, and for the list to have what they found, so that changes made
// before the call are seen.
bool PassesGo(int passes) {
    LONG target = g_pollStats.passes + passes + 1;
    return PumpUntil([&] { return g_pollStats.passes >= target && !CellUpdatesPending(); });
}

} // namespace

TEST(BuildGpioList, EveryModuleHasOneRowPerGpioNamedAsTheProcessorNamesIt) {
    for (SimModule module : kAllModules) {
        SCOPED_TRACE(SimModuleDescription(module)->name);
        StartOnModule(module);
        TestList t;
        BuildGpioList(t.list);
        ASSERT_EQ(t.Rows(), ListGpioCount);

        for (int g = 0; g < ListGpioCount; ++g)
            ASSERT_EQ(t.Param(g), g);
        bool tegra = IsTegra(ProcessorId);
        EXPECT_EQ(t.Text(120, 0), tegra ? L"P0" : L"120");
        EXPECT_EQ(t.Format(0), LVCFMT_RIGHT);
        if (tegra) {
            for (auto [g, name] :
                 {std::pair{0, L"A0"}, {207, L"Z7"}, {208, L"AA0"}, {216, L"BB0"}, {221, L"BB5"}})
                EXPECT_EQ(t.Text(g, 0), name);
            EXPECT_EQ(t.Text(6, ColumnSlots[SLOT_PINNAME]),
                      ProcessorId == PROCESSOR_TEGRA2 ? L"SDIO3_CLK" : L"SDMMC3_CLK");
        }
        if (ListGpioCount == 245) {
            EXPECT_EQ(t.Text(244, 0), L"EE4");
            EXPECT_EQ(t.Cell(244, SLOT_PINNAME), L"OWR");
            // The library does not count GPIO 244: its pull state has no text of the four.
            EXPECT_EQ(t.Cell(244, SLOT_PULLSTATE), L"-");
        }
    }
}

TEST(BuildGpioList, ProcessorRuleHidesWhatTheProcessorLacksWhateverTheSlotsHeld) {
    const std::wstring common = L"AltFn Name|AltFn|Direction|Level|Pin|EvalLoc|EvalFnName|";
    struct {
        SimModule module;
        std::wstring headers;
    } cases[] = {
        {SIM_MODULE_PXA310, L"#|" + common + L"EdgeDet|EdgeStat|Edges|Activity|"},
        {SIM_MODULE_TEGRA2, L"#|Pin Name|" + common + L"Tristate|Group|PullState|Edges|Activity|"},
        {SIM_MODULE_TEGRA3, L"#|Pin Name|" + common + L"Tristate|PullState|Edges|Activity|"},
    };
    for (auto& c : cases) {
        StartOnModule(c.module);
        TestList t;
        BuildGpioList(t.list);
        EXPECT_EQ(Join(Headers(t)), c.headers);
        EXPECT_EQ(ColumnCount, t.Columns());
        // A second build deletes exactly what the first inserted.
        BuildGpioList(t.list);
        EXPECT_EQ(Join(Headers(t)), c.headers);
        EXPECT_EQ(t.Param(t.Rows() - 1), ListGpioCount - 1);
    }
}

TEST(BuildGpioList, TegraSpecialFunctionPadsShowNoDirectionOrLevel) {
    StartOnModule(SIM_MODULE_TEGRA2);
    TestList t;
    BuildGpioList(t.list);
    int special = 0, plain = 0;
    for (uint32_t g = 0; g < 222; ++g) {
        int fn = GetGPIOAltFn(g);
        std::wstring dir = t.Cell(g, SLOT_DIRECTION), level = t.Cell(g, SLOT_LEVEL);
        EXPECT_EQ(t.Cell(g, SLOT_ALTFN), std::to_wstring(fn)) << g;
        if (fn != -1) {
            ++special;
            EXPECT_EQ(dir + level, L"--") << g;
        } else {
            ++plain;
            EXPECT_EQ(dir, GetGPIODir(g) ? L"Output" : L"Input") << g;
            EXPECT_EQ(level, std::to_wstring(GetGPIOLevel(g))) << g;
        }
    }
    EXPECT_GT(special, 0);
    EXPECT_GT(plain, 0);
}

TEST(BuildGpioList, BootupSettingsGiveZeroWidthsAndEmptyEdgeCells) {
    StartOnModule(SIM_MODULE_PXA270);
    SettingsMode = SETTINGS_BOOTUP;
    SetGPIOEdgeDetect(9, 3);
    TestList t;
    BuildGpioList(t.list);
    for (int slot : {SLOT_EVALFNNAME, SLOT_EDGEDET, SLOT_EDGESTAT, SLOT_EDGES, SLOT_ACTIVITY})
        EXPECT_EQ(t.Width(ColumnSlots[slot]), 0) << slot;
    EXPECT_EQ(t.Width(ColumnSlots[SLOT_EVALLOC]), 100);
    EXPECT_EQ(t.Cell(9, SLOT_EDGEDET), L"");
    EXPECT_EQ(t.Cell(9, SLOT_EDGESTAT), L"");
    EXPECT_EQ(t.Cell(9, SLOT_EDGES), L"");
    EXPECT_EQ(CachedEdgeDetect[9], 3); // still read
    SettingsMode = SETTINGS_CURRENT;
}

TEST(BuildGpioList, HiddenGpioColumnOrNoColumnAtAll) {
    StartOnModule(SIM_MODULE_PXA320);
    TestList t;
    ColumnSlots[SLOT_GPIO] = COLUMN_HIDDEN;
    BuildGpioList(t.list);
    EXPECT_EQ(t.Header(0), L"AltFn Name");
    EXPECT_EQ(t.Text(130, 0), L"GPIO 2");

    for (int& slot : ColumnSlots)
        slot = COLUMN_HIDDEN;
    std::fill(std::begin(CachedAltFn), std::end(CachedAltFn), 99);
    BuildGpioList(t.list);
    EXPECT_EQ(t.Columns(), 0);
    EXPECT_EQ(ColumnCount, 0);
    EXPECT_EQ(t.Rows(), 146);
    EXPECT_EQ(CachedAltFn[56], GetGPIOAltFn(56));
}

TEST(PollThread, PinChangesReachTheirCellsAlsoAfterASort) {
    StartOnModule(SIM_MODULE_PXA270);
    SetGPIOEdgeDetect(12, 1);
    ClearGPIOEdgeStatus(12);
    TestList t;
    BuildGpioList(t.list);
    Polling poll(t.list);
    for (int level : {0, 1}) {
        SimDriveInput(12, level);
        EXPECT_TRUE(PumpUntil([&] { return t.Cell(12, SLOT_LEVEL) == std::to_wstring(level); }))
            << "level cell reads " << t.Cell(12, SLOT_LEVEL).c_str();
        SendMessageW(t.list, LVM_SORTITEMS, ColumnSlots[SLOT_PIN], LPARAM(CompareRows));
    }
    EXPECT_NE(t.RowOf(12), 12); // sorted by pin
    EXPECT_TRUE(PumpUntil([&] { return t.Cell(12, SLOT_EDGESTAT) == L"*"; }));
    for (int row = 0; row < t.Rows(); ++row)
        EXPECT_EQ(t.Text(row, 0), std::to_wstring(t.Param(row)));
}

TEST(PollThread, TegraPadLeavingItsGpioFunctionShowsDashesAndBack) {
    StartOnModule(SIM_MODULE_TEGRA3);
    uint32_t g = 163; // U3, a plain GPIO input after boot
    ASSERT_EQ(GetGPIOAltFn(g), -1);
    TestList t;
    BuildGpioList(t.list);
    Polling poll(t.list);
    SetGPIOAltFn(g, 2, 0);
    EXPECT_TRUE(
        PumpUntil([&] { return t.Cell(g, SLOT_DIRECTION) + t.Cell(g, SLOT_LEVEL) == L"--"; }));
    EXPECT_EQ(t.Cell(g, SLOT_ALTFN), L"2");
    SetGPIOAltFn(g, -1, 0);
    EXPECT_TRUE(PumpUntil([&] { return t.Cell(g, SLOT_DIRECTION) == L"Input"; }));
    EXPECT_EQ(t.Cell(g, SLOT_ALTFN), L"-1");
}

namespace {

// Counts what reaches the list: every message, and cell writes per column.
struct Counter {
    static LONG messages;
    static int writes[32];
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
        InterlockedIncrement(&messages);
        if (m == LVM_SETITEMTEXTW) ++writes[reinterpret_cast<LVITEMW*>(lp)->iSubItem & 31];
        return DefSubclassProc(w, m, wp, lp);
    }
    static void Reset() {
        messages = 0;
        std::fill(std::begin(writes), std::end(writes), 0);
    }
};
LONG Counter::messages;
int Counter::writes[32];

} // namespace

TEST(PollThread, OnlyChangedCellsAreWrittenAndAnUnchangedTableGetsNoMessage) {
    StartOnModule(SIM_MODULE_PXA270);
    TestList t;
    BuildGpioList(t.list);
    SetWindowSubclass(t.list, Counter::Proc, 7, 0);
    Polling poll(t.list);
    ASSERT_TRUE(PassesGo(1));
    Counter::Reset();
    ASSERT_TRUE(PassesGo(5));
    EXPECT_EQ(Counter::messages, 0);

    auto written = [](int slot) { return Counter::writes[ColumnSlots[slot]]; };
    SetGPIODir(20, 1 - GetGPIODir(20)); // direction alone
    ASSERT_TRUE(PassesGo(1));
    EXPECT_EQ(written(SLOT_DIRECTION) + written(SLOT_ALTFNNAME) + written(SLOT_ALTFN), 3);
    Counter::Reset();
    SetGPIOAltFn(20, 1, uint32_t(GetGPIODir(20))); // function alone
    ASSERT_TRUE(PassesGo(1));
    EXPECT_EQ(written(SLOT_DIRECTION), 0);
    EXPECT_EQ(written(SLOT_ALTFNNAME) + written(SLOT_ALTFN), 2);
    RemoveWindowSubclass(t.list, Counter::Proc, 7);
}

// A slow register read holds the pass up: a stop waits for it, or ends it after 200 ms.
TEST(PollThread, StopWaitsForAPassAndEndsAnOverrunningOne) {
    StartOnModule(SIM_MODULE_PXA270);
    TestList t;
    BuildGpioList(t.list);
    DebugCapture debug;
    for (DWORD delay : {100, 1500}) {
        UpdateRate = 1000;
        LONG before = g_pollStats.passes;
        ASSERT_TRUE(SimSlowNextRead(delay));
        StartPollThread(t.list);
        ASSERT_TRUE(PumpUntil([] { return SimSlowReadPending() == 0; })); // the read waits
        UpdateRate = 1; // no second pass comes before the stop
        RunElsewhere([] { StopPollThread(); });
        bool overran = delay > 200;
        EXPECT_EQ(g_pollStats.passes - before, overran ? 0 : 1) << delay;
        EXPECT_EQ(debug.Text().find(L"Timeout\n\r") != std::wstring::npos, overran) << delay;
    }
    // Nothing is left behind: a new list and refresh thread follow the pins again.
    BuildGpioList(t.list);
    Polling poll(t.list);
    SimDriveInput(12, 1 - SimPinLevel(12));
    EXPECT_TRUE(
        PumpUntil([&] { return t.Cell(12, SLOT_LEVEL) == std::to_wstring(SimPinLevel(12)); }));
}

// One refresh thread at most: a second start is refused, and one stop leaves none behind.
TEST(PollThread, ASecondStartIsRefusedAndOneStopEndsTheThread) {
    StartOnModule(SIM_MODULE_PXA270);
    TestList t;
    BuildGpioList(t.list);
    int before = ThreadsOfThisProcess();
    EXPECT_EQ(StartPollThread(t.list), 1);
    EXPECT_EQ(StartPollThread(t.list), 0);
    EXPECT_EQ(ThreadsOfThisProcess(), before + 1);
    RunElsewhere([] { StopPollThread(); });
    EXPECT_EQ(ThreadsOfThisProcess(), before);
}

TEST(PollPeriod, AnyRateGivesAWaitWithinOneSecond) {
    struct {
        int rate;
        DWORD period;
        int rateAfter;
    } cases[] = {{0, 1000, 1},          {1, 1000, 1},
                 {3, 333, 3},           {5, 200, 5},
                 {1000, 1, 1000},       {1001, 0, 1001},
                 {2000, 0, 2000},       {int(3000000000u), 0, int(3000000000u)},
                 {INT_MIN, 0, INT_MIN}, {-1, 0, -1}};
    for (auto& c : cases) {
        UpdateRate = c.rate;
        EXPECT_EQ(PollPeriod(), c.period) << c.rate;
        EXPECT_EQ(UpdateRate, c.rateAfter) << c.rate;
    }
}

namespace {

bool Ascending(const std::vector<std::wstring>& texts) {
    return std::is_sorted(texts.begin(), texts.end(),
                          [](auto& a, auto& b) { return wcscmp(a.c_str(), b.c_str()) < 0; });
}

void SortBy(TestList& t, int slot) {
    SendMessageW(t.list, LVM_SORTITEMS, ColumnSlots[slot], LPARAM(CompareRows));
}

} // namespace

TEST(CompareRows, TextColumnsSortByTheirOwnTextsAndNumbersRestoreGpioOrder) {
    for (SimModule module : {SIM_MODULE_PXA320, SIM_MODULE_TEGRA2, SIM_MODULE_TEGRA3_BELVAN}) {
        SCOPED_TRACE(SimModuleDescription(module)->name);
        StartOnModule(module);
        TestList t;
        BuildGpioList(t.list);
        for (int slot : {SLOT_ALTFNNAME, SLOT_DIRECTION, SLOT_PIN, SLOT_EVALLOC, SLOT_EVALFNNAME,
                         SLOT_PINNAME, SLOT_GROUP, SLOT_PULLSTATE}) {
            if (!ColumnShown(ColumnSlotIndex(slot))) continue;
            SortBy(t, slot);
            EXPECT_TRUE(Ascending(t.ColumnTexts(ColumnSlots[slot])))
                << "column " << slot << ": " << Join(t.ColumnTexts(ColumnSlots[slot])).c_str();
            // "AltFn" sorts by GPIO number, like "#".
            SortBy(t, slot % 2 ? SLOT_GPIO : SLOT_ALTFN);
            for (int row = 0; row < t.Rows(); ++row)
                ASSERT_EQ(t.Param(row), row);
        }
    }
}

TEST(CompareRows, DirectionPutsSpecialPadsFirstAndEqualKeysCompareEqual) {
    StartOnModule(SIM_MODULE_TEGRA3);
    TestList t;
    BuildGpioList(t.list);
    SortBy(t, SLOT_DIRECTION);
    auto texts = t.ColumnTexts(ColumnSlots[SLOT_DIRECTION]);
    auto firstInput = std::find(texts.begin(), texts.end(), L"Input");
    auto firstOutput = std::find(texts.begin(), texts.end(), L"Output");
    EXPECT_EQ(texts.front(), L"-");
    EXPECT_LT(firstInput, firstOutput);
    EXPECT_EQ(std::count(firstOutput, texts.end(), L"Input"), 0);
    for (int slot : {SLOT_LEVEL, SLOT_TRISTATE})
        for (int g = 0; g < 245; g += 17)
            EXPECT_EQ(CompareRows(g, 244 - g, ColumnSlots[slot]), 0);
    EXPECT_EQ(CompareRows(3, 5, ColumnSlots[SLOT_GPIO]), -1);
    EXPECT_EQ(CompareRows(5, 3, ColumnSlots[SLOT_ALTFN]), 1);
}

// The build runs on the list's thread; a sort sent from another thread waits for it to end,
// so the rows never move under a build.
TEST(CompareRows, SortsSentDuringBuildsNeverMoveRowsUnderThem) {
    StartOnModule(SIM_MODULE_TEGRA2);
    TestList t;
    BuildGpioList(t.list);
    struct Sorter {
        HWND list;
        volatile bool building;
        volatile LONG sorts;
        static DWORD WINAPI Run(void* p) {
            auto* s = static_cast<Sorter*>(p);
            for (int i = 0; s->building; ++i) {
                SendMessageW(s->list, LVM_SORTITEMS, ColumnSlots[i % 2 ? SLOT_PIN : SLOT_PINNAME],
                             LPARAM(CompareRows));
                InterlockedIncrement(&s->sorts);
            }
            return 0;
        }
    } sorter = {t.list, true, 0};
    HANDLE thread = CreateThread(nullptr, 0, Sorter::Run, &sorter, 0, nullptr);
    for (int i = 0; i < 6; ++i) {
        BuildGpioList(t.list);
        LONG sorts = sorter.sorts;
        PumpUntil([&] { return sorter.sorts > sorts; }); // a sort between two builds
    }
    sorter.building = false;
    PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; });
    CloseHandle(thread);
    for (int row = 0; row < t.Rows(); ++row) {
        wchar_t name[8];
        GpioName(uint32_t(t.Param(row)), name);
        ASSERT_EQ(t.Text(row, 0), name) << row;
    }
}

// The pad names against the processors' pin lists of tests/data/pinfunc. Pads that are GPIOs
// only have no name there ("-") and are named GPIO_P<port><bit> here; the few other differences
// follow the tool's own pin list and are named.
TEST(PadNames, AgreeWithTheProcessorsPinLists) {
    struct {
        const char* facts;
        const char* const* names;
        int count;
        std::vector<int> differ;
    } lists[] = {{"tegra20_pins.tsv", Tegra2PadNames, TEGRA2_PAD_NAMES, {64, 65, 216}},
                 {"tegra30.tsv", Tegra3PadNames, TEGRA3_PAD_NAMES, {79, 87}}};
    for (auto& list : lists) {
        std::vector<std::string> expected(size_t(list.count));
        for (const Fields& f : ReadFacts(list.facts))
            expected.at(size_t(std::stoi(f[0]))) = f[1];
        for (int g = 0; g < list.count; ++g) {
            std::string name = list.names[g], port = g < 208
                                                         ? std::string(1, char('A' + g / 8))
                                                         : std::string(2, char('A' + g / 8 - 26));
            if (expected[size_t(g)] == "-")
                expected[size_t(g)] = "GPIO_P" + port + std::to_string(g % 8);
            bool listed = std::count(list.differ.begin(), list.differ.end(), g) > 0;
            if (expected[size_t(g)].empty()) continue; // no pin-mux entry (Tegra 3 GPIO 244)
            EXPECT_EQ(name != expected[size_t(g)], listed)
                << list.facts << " GPIO " << g << ": " << name;
        }
    }
}
