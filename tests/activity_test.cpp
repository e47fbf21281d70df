// Pin activity as a user meets it: edges counted from gpiosim's pulse trains and reset from the
// Edges popup in the real tool; the level drawn in the Activity cell; the recording exported
// through the File menu and read back by a waveform tool (sigrok-cli); the fixed ring.
#include "tests/dialog_support.h"
#include "tests/input_support.h"
#include "tests/window_support.h"
#include "activity/vcd.h"
#include "app/app.h"
#include "gpiolib/gpiolib.h"
#include "res/resource.h"
#include "table/stats.h"
#include "table/table.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <sstream>
#include <thread>

namespace {

void Idle(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

// The first `n` plain inputs of the PXA270 from GPIO 13 on.
std::vector<uint32_t> Inputs(size_t n) {
    std::vector<uint32_t> pins;
    for (uint32_t g = 13; g < 121 && pins.size() < n; ++g)
        if (GetGPIODir(g) == 0 && GetGPIOAltFn(g) == 0) pins.push_back(g);
    return pins;
}

// A wire's name as sigrok-cli shows it.
std::string Narrow(const std::wstring& name) {
    std::string narrow;
    for (wchar_t c : name)
        narrow += c == L' ' ? '_' : char(c);
    return narrow;
}

// sigrok-cli's reading of a VCD file at 1 ms a sample: each channel's samples, by name. Wine
// starts a Unix program but cannot wait for it nor hand it a pipe: the shell writes the output
// and its exit status aside, then renames the file whole into place.
std::map<std::string, std::string> SigrokBits(const std::wstring& windowsPath) {
    std::string vcd, text;
    for (wchar_t c : windowsPath.substr(2)) // Wine maps drive Z: to /
        vcd += c == L'\\' ? '/' : char(c);
    std::string command = "/bin/sh -c \"sigrok-cli -I vcd:downsample=1000 -i " + vcd +
                          " -O bits >" + vcd + ".part 2>&1; echo exit $? >>" + vcd + ".part; mv " +
                          vcd + ".part " + vcd + ".bits\"";
    std::wstring out = windowsPath + L".bits";
    DeleteFileW(out.c_str());
    PROCESS_INFORMATION process;
    EXPECT_TRUE(StartQuietly(std::wstring(command.begin(), command.end()), &process)) << command;
    EXPECT_TRUE(Eventually([&] { return FileBytes(out) != "(no file)"; }, 60000))
        << "sigrok-cli did not finish: " << command;
    std::string all = FileBytes(out);
    DeleteFileW(out.c_str());
    EXPECT_TRUE(Contains(all, "exit 0\n")) << command << "\n" << all;
    std::map<std::string, std::string> bits;
    for (std::istringstream lines(all); std::getline(lines, text);) {
        size_t colon = text.find(':');
        if (colon == std::string::npos || text.rfind("META", 0) == 0) continue;
        for (char c : text.substr(colon + 1))
            if (c == '0' || c == '1') bits[text.substr(0, colon)] += c;
    }
    return bits;
}

// Where a run of samples changes: the sample number of each new level.
std::vector<int> Transitions(const std::string& samples) {
    std::vector<int> at;
    for (size_t i = 1; i < samples.size(); ++i)
        if (samples[i] != samples[i - 1]) at.push_back(int(i));
    return at;
}

// The dialog's refresh at the rate: the wait at its opening rate (5 Hz) has passed.
void RefreshAt(int hertz) {
    UpdateRate = hertz;
    LONG passes = g_pollStats.passes;
    PumpUntil([&] { return g_pollStats.passes > passes + 3; });
}

class Activity : public testing::Test {
  protected:
    void SetUp() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora"); }
    void TearDown() override {
        LeaveModule();
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora");
    }
};

} // namespace

// Trains of 3, 4 and 6 pulses of 100 ms on three inputs at once, sampled at 100 Hz (pulses of
// ten sample periods): each Edges cell counts two edges a pulse. "Reset" on one cell clears that
// count alone; "Reset all" clears every count.
TEST_F(Activity, EdgesCountGpiosimPulseTrainsAndResetClearsOneOrAll) {
    for (const wchar_t* column : {L"g_ColEdges", L"g_ColActivity"}) {
        DWORD one = 1;
        ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora\\GpioConfig", column,
                                  REG_DWORD, &one, sizeof one),
                  ERROR_SUCCESS);
    }
    ToolWindow w("pxa270");
    ASSERT_TRUE(w.dialog);
    JoinModule(SIM_MODULE_PXA270);
    std::vector<uint32_t> pins = Inputs(4);
    ASSERT_EQ(pins.size(), 4u);
    SetDlgItemInt(w.dialog, IDC_UPDATERATE, 100, FALSE);
    // A fourth input seen to change: the refresh has sampled since the rate was set, and waits
    // 10 ms from now on.
    int probe = !SimPinLevel(pins[3]);
    SimDriveInput(pins[3], probe);
    ASSERT_TRUE(Eventually([&] { return w.Cell(pins[3], L"Level") == std::to_wstring(probe); }));
    const int counts[3] = {3, 4, 6};
    std::vector<std::thread> trains;
    ChildResult results[3];
    for (int i = 0; i < 3; ++i)
        trains.emplace_back([&, i] {
            results[i] = Gpiosim("pxa270", L"pulse " + std::to_wstring(pins[size_t(i)]) + L" 100 " +
                                               std::to_wstring(counts[i]));
        });
    for (std::thread& t : trains)
        t.join();
    auto edgesAre = [&](size_t i, const std::wstring& edges) {
        EXPECT_TRUE(Eventually([&] { return w.Cell(pins[i], L"Edges") == edges; }))
            << "GPIO " << pins[i] << ": " << w.Cell(pins[i], L"Edges").c_str() << ", not "
            << edges.c_str();
    };
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(results[i].exitCode, 0) << results[i].output;
        edgesAre(size_t(i), std::to_wstring(2 * counts[i]));
    }
    // (right-click on the cell of pin `on`, item `pick`, the counts then)
    const struct {
        size_t on;
        int pick;
        std::vector<std::wstring> after;
    } resets[] = {{1, 0, {L"6", L"0", L"12"}}, {2, 1, {L"0", L"0", L"0", L"0"}}};
    for (auto& reset : resets) {
        Sleep(700); // two right-clicks close together would make a double click
        w.RightClick(w.CellPoint(pins[reset.on], L"Edges"));
        ASSERT_TRUE(w.MenuOpen());
        w.Pick(reset.pick); // "Reset", "Reset all"
        EXPECT_TRUE(w.MenuClosed());
        for (size_t i = 0; i < reset.after.size(); ++i)
            edgesAre(i, reset.after[i]);
    }
    w.Close();
    EXPECT_EQ(w.ExitCode(), 1);
}

// Low for 2 s, a burst of 20 ms toggles for 1.2 s, high for 2 s, sampled at 100 Hz: from the
// right edge of the cell, the high line alone, then a filled band, then the low line alone.
TEST(ActivityCell, DrawsTheHighAndLowLinesAndABandWhereThePinToggledFast) {
    DialogHarness h(SIM_MODULE_PXA300);
    uint32_t g = PlainInput(20);
    RefreshAt(100);
    SimDriveInput(g, 0);
    Idle(2000);
    for (double end = GetTickCount() + 1200.0, level = 0; GetTickCount() < end; Idle(20))
        SimDriveInput(g, int(level = 1 - level));
    SimDriveInput(g, 1);
    Idle(2000);
    h.CellPoint(g, SLOT_ACTIVITY); // scrolls the cell into view
    RECT cell = {LVIR_BOUNDS, ColumnSlots[SLOT_ACTIVITY], 0, 0}, client;
    ASSERT_TRUE(SendMessageW(h.list, LVM_GETSUBITEMRECT, h.view.RowOf(g), LPARAM(&cell)));
    int width = cell.right - cell.left - 4; // the picture, inside 2-pixel margins
    COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    // The list painted into a bitmap, as it paints itself on the screen. Per picture column from
    // the right: 'H' high line only, 'L' low line only, 'B' a stroke from one to the other.
    GetClientRect(h.list, &client);
    HDC screen = GetDC(h.list), dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(h.list, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT | PRF_ERASEBKGND);
    std::string seen;
    int high = cell.top + 3, low = cell.bottom - 4, mid = (high + low) / 2;
    for (int x = cell.right - 3; x >= cell.right - 2 - width; --x) {
        bool hi = GetPixel(dc, x, high) == ink, lo = GetPixel(dc, x, low) == ink,
             between = GetPixel(dc, x, mid) == ink;
        seen += between && hi && lo ? 'B' : hi && !lo && !between ? 'H' : lo && !hi ? 'L' : '.';
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(h.list, screen);
    // 100 ms a pixel at the column's width: 2 s is about 20 pixels, 1.2 s about 12.
    // (A loaded machine may hold this thread up a little before it reads the picture.)
    size_t h1 = seen.find_first_not_of('H'), b1 = seen.find_first_not_of('B', h1);
    size_t l1 = seen.find_first_not_of('L', b1);
    EXPECT_TRUE(h1 >= 15 && h1 <= 30 && b1 - h1 >= 9 && b1 - h1 <= 18 && l1 - b1 >= 15)
        << "from the right edge: " << seen << " (expected H{15,30}B{9,18}L{15,})";
}

// Two inputs driven at known moments, sampled at 20 Hz and then at 100 Hz; File > Export
// Activity... (keyboard, the file named in the common dialog); sigrok-cli reads one wire per shown
// row, named "#" and AltFn Name, with the same transitions at the same distances, within one sample
// period.
TEST(ExportActivity, TheFileMenuWritesAVcdThatSigrokReadsBackWithTheSameTransitions) {
    DialogHarness h(SIM_MODULE_PXA270);
    uint32_t a = PlainInput(13), b = PlainInput(a + 1);
    RefreshAt(20);
    SimDriveInput(a, 0);
    SimDriveInput(b, 0);
    Idle(300);
    // (pin, level, ms after the previous step)
    const struct {
        uint32_t pin;
        int level, after;
    } steps[] = {{a, 1, 0}, {b, 1, 200}, {a, 0, 300}, {a, 1, 200}, {b, 0, 250}, {a, 0, 150}};
    std::vector<double> at;
    for (auto& step : steps) {
        Idle(DWORD(step.after));
        if (at.size() == 3) UpdateRate = 100; // the rate changed while recording
        at.push_back(GetTickCount());
        SimDriveInput(step.pin, step.level);
    }
    Idle(300);

    std::wstring path = BuildFolder() + L"\\activity_test.vcd";
    // As a user types it: the dialog refuses '/'.
    std::replace(path.begin(), path.end(), L'/', L'\\');
    DeleteFileW(path.c_str());
    {
        FileDialogAnswer answer(L"Export Activity", path);
        PressKey('F', VK_MENU);
        PressKey('A'); // "Export &Activity..."
        EXPECT_TRUE(PumpUntil(
            [&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000));
    }
    auto bits = SigrokBits(path);
    ASSERT_EQ(int(bits.size()), ListGpioCount) << "one wire per shown row";
    auto wire = [&](uint32_t g) {
        std::string name = Narrow(h.Cell(g, SLOT_GPIO) + L"_" + h.Cell(g, SLOT_ALTFNNAME));
        EXPECT_TRUE(bits.count(name)) << name;
        return Transitions(bits[name]);
    };
    std::vector<int> ta = wire(a), tb = wire(b);
    ASSERT_EQ(ta.size(), 4u);
    ASSERT_EQ(tb.size(), 2u);
    // Transitions in the order of the steps, as distances from the first, in ms.
    std::vector<int> seen = {ta[0], tb[0], ta[1], ta[2], tb[1], ta[3]};
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_NEAR(seen[i] - seen[0], at[i] - at[0], 50) << "step " << i;
    DeleteFileW(path.c_str());
}

// The ring keeps its newest changes: once it is full, the oldest leave and the levels at the
// recording's start are the levels those changes had left.
TEST(ActivityHistory, AFullRingKeepsTheNewestChangesAndTheLevelsBeforeThem) {
    const uint32_t extra = 1000;
    for (uint32_t pass = 0; pass < ACTIVITY_RING_CHANGES + extra; ++pass) {
        BeginSamplePass();
        SampleLevel(7, int(pass & 1));
        if (pass == 0) SampleLevel(9, 1); // one change, long gone from the ring
        EndSamplePass();
    }
    static ActivityRecording r;
    TakeActivityRecording(&r);
    ASSERT_EQ(r.changes.size(), size_t(ACTIVITY_RING_CHANGES));
    // Gone: the first pass's two changes and the next extra - 1 of GPIO 7.
    ActivityChange oldest = UnpackChange(r.changes.front());
    EXPECT_EQ(oldest.gpio, 7u);
    EXPECT_EQ(oldest.level, int(extra & 1));
    EXPECT_EQ(r.start[7], (extra - 1) & 1);
    EXPECT_EQ(r.start[9], SAMPLED_HIGH);
    EXPECT_EQ(r.start[8], SAMPLED_UNKNOWN);
    EXPECT_LE(r.startUs, oldest.timeUs);
    EXPECT_EQ(EdgeCount(7), uint64_t(ACTIVITY_RING_CHANGES + extra - 1));
    EXPECT_EQ(UnpackChange(r.changes.back()).level, int((ACTIVITY_RING_CHANGES + extra - 1) & 1));
}

// A gap shows every wire unknown until the next sample; a name keeps only characters a VCD name
// can hold.
TEST(VcdText, GapsAreUnknownAndNamesHaveNoSpaces) {
    ActivityRecording r = {};
    r.startUs = 100;
    r.endUs = 900;
    std::fill(std::begin(r.start), std::end(r.start), SAMPLED_UNKNOWN);
    r.start[5] = SAMPLED_LOW;
    auto pack = [](uint64_t t, uint32_t g, int level) {
        return t << 10 | g << 2 | uint64_t(level);
    };
    r.changes = {pack(100, 6, 1), pack(300, 5, 1), pack(500, 0, ACTIVITY_GAP), pack(700, 5, 0),
                 pack(700, 6, 1)};
    std::string text = VcdText(r, {{5, L"5_GPIO 5"}, {6, L"6_\x00e9t\x00e9"}});
    size_t body = text.find("$enddefinitions $end\n");
    ASSERT_NE(body, std::string::npos);
    EXPECT_NE(text.find("$var wire 1 ! 5_GPIO_5 $end\n$var wire 1 \" 6__t_ $end\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.substr(body + 21), "#0\n$dumpvars\n0!\n1\"\n$end\n#200\n1!\n#400\nx!\nx\"\n"
                                      "#600\n0!\n1\"\n#800\n");
}

// A recording without a window (the command line's): a pin toggled meanwhile shows its changes.
TEST(RecordActivity, SamplesForTheSecondsAndWritesTheChanges) {
    StartOnModule(SIM_MODULE_TEGRA2);
    uint32_t g = PlainInput(20);
    std::wstring path = BuildFolder() + L"\\record_test.vcd", error;
    SimDriveInput(g, 0);
    std::thread toggler([&] {
        for (int i = 0; i < 6; ++i, Sleep(150))
            SimDriveInput(g, i & 1);
    });
    ASSERT_TRUE(RecordActivity(1, 100, path.c_str(), &error)) << error.c_str();
    toggler.join();
    auto bits = SigrokBits(path);
    std::string name = Narrow(WireName(g, GetGPIODir(g), GetGPIOAltFn(g)));
    ASSERT_TRUE(bits.count(name)) << name;
    EXPECT_EQ(Transitions(bits[name]).size(), 5u) << bits[name];
    DeleteFileW(path.c_str());
}

// Sorting: "Edges" by the count, "Activity" by the edges within the time shown, which a reset of
// the counts leaves as they were.
TEST(ActivitySort, EdgesByTheCountAndActivityByTheEdgesShown) {
    DialogHarness h(SIM_MODULE_TEGRA3);
    RefreshAt(100);
    uint32_t a = PlainInput(100), b = PlainInput(a + 1), c = PlainInput(b + 1);
    for (auto [pin, toggles] : {std::pair{a, 6}, {b, 2}, {c, 4}})
        for (int i = 0, level = SimPinLevel(pin); i < toggles; ++i, Idle(60))
            SimDriveInput(pin, level ^= 1);
    ASSERT_TRUE(PumpUntil([&] { return h.Cell(a, SLOT_EDGES) == L"6"; }))
        << "Edges of " << a << ": " << h.Cell(a, SLOT_EDGES).c_str();
    auto order = [&](int slot) {
        h.CellPoint(a, slot); // the column scrolled into view
        h.Click(h.HeaderPoint(slot));
        Idle(700); // two clicks close together make a double click
        return std::vector<int>{h.view.RowOf(b), h.view.RowOf(c), h.view.RowOf(a)};
    };
    std::vector<int> rows = order(SLOT_EDGES);
    EXPECT_TRUE(rows[0] < rows[1] && rows[1] < rows[2])
        << rows[0] << " " << rows[1] << " " << rows[2];
    EXPECT_EQ(rows[2], ListGpioCount - 1); // the busiest last: every sort ascends
    ResetEdgeCount(a);
    ASSERT_TRUE(PumpUntil([&] { return h.Cell(a, SLOT_EDGES) == L"0"; }));
    std::vector<int> reset = order(SLOT_EDGES);
    EXPECT_LT(reset[2], reset[0]); // 0 edges now, before b's 2
    rows = order(SLOT_ACTIVITY);
    EXPECT_TRUE(rows[0] < rows[1] && rows[1] < rows[2])
        << rows[0] << " " << rows[1] << " " << rows[2];
}

// Boot-up Settings show the stored configuration, not the pins: nothing is sampled there. The
// recording marks the time unknown, and toggles made meanwhile are no edges.
TEST(ActivityModes, BootupSettingsPauseTheSamplingAndTheRecordingShowsTheGap) {
    DialogHarness h(SIM_MODULE_PXA270);
    RefreshAt(100);
    uint32_t g = PlainInput(13);
    SimDriveInput(g, 0);
    Idle(100);
    SimDriveInput(g, 1);
    ASSERT_TRUE(PumpUntil([&] { return h.Cell(g, SLOT_EDGES) != L"0"; }));
    uint64_t edges = EdgeCount(g);
    ASSERT_TRUE(h.SwitchMode(IDC_BOOTUP));
    for (int i = 0; i < 4; ++i, Idle(60))
        SimDriveInput(g, i & 1);
    ASSERT_TRUE(h.SwitchMode(IDC_CURRENT));
    LONG passes = g_pollStats.passes; // sampling again before the pin moves
    ASSERT_TRUE(PumpUntil([&] { return g_pollStats.passes > passes + 1; }));
    SimDriveInput(g, 0);
    ASSERT_TRUE(PumpUntil([&] { return EdgeCount(g) == edges + 1; })) << EdgeCount(g);
    static ActivityRecording r;
    TakeActivityRecording(&r);
    std::string levels; // GPIO g's changes, and '|' for a gap
    for (uint64_t packed : r.changes) {
        ActivityChange change = UnpackChange(packed);
        if (change.level == ACTIVITY_GAP) levels += '|';
        if (change.gpio == g && change.level != ACTIVITY_GAP) levels += char('0' + change.level);
    }
    // The first pass, the edge, the gap of Boot-up Settings (no change inside), the level on
    // return (still high), then low.
    EXPECT_NE(levels.find("1|1"), std::string::npos) << levels;
    EXPECT_EQ(levels.back(), '0') << levels;
}

// Recordings taken while the refresh samples at 2000 Hz and pins toggle every millisecond are
// whole: in time order, each change a real change of its GPIO.
TEST(ActivityHistory, RecordingsTakenWhileSamplingAt2000HzAreWhole) {
    StartOnModule(SIM_MODULE_PXA270);
    TestList t;
    BuildGpioList(t.list);
    UpdateRate = 2000;
    StartPollThread(t.list);
    std::vector<uint32_t> pins = Inputs(5);
    volatile bool stop = false;
    std::thread toggler([&] {
        for (int level = 0; !stop; level ^= 1, Sleep(1))
            for (uint32_t g : pins)
                SimDriveInput(g, level);
    });
    static ActivityRecording r;
    size_t changes = 0;
    for (int i = 0; i < 20; ++i) {
        Idle(50);
        TakeActivityRecording(&r);
        std::vector<uint8_t> level(std::begin(r.start), std::end(r.start));
        uint64_t last = r.startUs;
        for (uint64_t packed : r.changes) {
            ActivityChange change = UnpackChange(packed);
            ASSERT_GE(change.timeUs, last) << "recording " << i;
            last = change.timeUs;
            if (change.level == ACTIVITY_GAP) {
                std::fill(level.begin(), level.end(), SAMPLED_UNKNOWN);
                continue;
            }
            ASSERT_NE(level[change.gpio], change.level) << "recording " << i;
            level[change.gpio] = uint8_t(change.level);
        }
        EXPECT_LE(last, r.endUs);
        changes = r.changes.size();
    }
    stop = true;
    toggler.join();
    RunElsewhere([] { StopPollThread(); });
    EXPECT_GT(changes, 100u);
}
