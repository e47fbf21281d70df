// The GPIO table inside the benchmark's process: a real list view owned by this thread, with
// start-up's state of the Tegra 3 Belvan module and every column the processor allows.
// Figures 2 (unchanged pass), 3 (full build), 4 (sort), 5 (change to cell), 9 (the find box's
// keystroke and a resize step, in the tool's dialog), 10 (edges at 1000 Hz) and 11 (the cost
// curve of the rates).
#include "bench/bench_support.h"
#include "tests/dialog_support.h"
#include "tests/input_support.h"
#include "tests/list_support.h"
#include "gpiolib/gpiolib.h"
#include "platform/ce.h"
#include "res/resource.h"
#include "table/stats.h"
#include "table/table.h"
#include "activity/history.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <numeric>
#include <random>

namespace {

constexpr SimModule kModule = SIM_MODULE_TEGRA3_BELVAN;

volatile LONG g_listPaints;

// The list's window procedure, wrapped: counts every message the list gets and notes when the
// watched cell receives a text. (SetWindowSubclass would route every message through window
// properties, which under Wine costs many times the message itself.)
WNDPROC g_listProc;
volatile LONG g_listMessages;
volatile int g_watchRow = -1, g_watchColumn = -1;
volatile double g_cellWrittenAt;
HANDLE g_cellWritten;

LRESULT CALLBACK WatchedList(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    InterlockedIncrement(&g_listMessages);
    if (message == WM_PAINT) InterlockedIncrement(&g_listPaints);
    LRESULT result = CallWindowProcW(g_listProc, window, message, wParam, lParam);
    if (message == LVM_SETITEMTEXTW && int(wParam) == g_watchRow &&
        reinterpret_cast<const LVITEMW*>(lParam)->iSubItem == g_watchColumn) {
        g_cellWrittenAt = NowMs();
        SetEvent(g_cellWritten);
    }
    return result;
}

// Serves this thread's messages for a while.
void Pump(double milliseconds) {
    double end = NowMs() + milliseconds;
    while (NowMs() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
}

// The GPIOLib reads of one refresh pass, done bare: the same calls for the same rows.
int ReadLikeAPass() {
    bool tegra = IsTegra(ProcessorId);
    int sum = 0;
    for (int g = 0; g < ListGpioCount; ++g) {
        uint32_t gpio = uint32_t(g);
        int a = GetGPIOAltFn(gpio);
        bool notGpio = tegra && a != -1;
        sum += a;
        if (ColumnShown(SLOT_DIRECTION) && !notGpio) sum += GetGPIODir(gpio);
        if (ColumnShown(SLOT_LEVEL) && !notGpio) sum += GetGPIOLevel(gpio);
        if (ColumnShown(SLOT_EDGEDET)) sum += GetGPIOEdgeDetect(gpio);
        if (ColumnShown(SLOT_EDGESTAT)) sum += GetGPIOEdgeStatus(gpio);
        if (ColumnShown(SLOT_TRISTATE)) sum += GetGPIOTristate(gpio);
        if (ColumnShown(SLOT_PULLSTATE)) sum += GetGPIOPullState(gpio);
    }
    return sum;
}

// The floor of a pass: a thread that does what the refresh thread does (same priority, a wait
// on an event with the refresh's time-out, one round of reads), with bare reads for a pass.
struct BareReads {
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread;
    volatile LONG rounds = 0;
    volatile LONG lastUs = 0;

    BareReads() {
        thread = CreateThread(
            nullptr, 0,
            [](void* p) -> DWORD {
                auto* b = static_cast<BareReads*>(p);
                CeSetThreadPriority(GetCurrentThread(), 255);
                volatile int sink = 0;
                while (WaitForSingleObject(b->stop, PollPeriod()) == WAIT_TIMEOUT) {
                    double start = NowMs();
                    sink = sink + ReadLikeAPass();
                    b->lastUs = LONG((NowMs() - start) * 1000);
                    InterlockedIncrement(&b->rounds);
                }
                return 0;
            },
            this, 0, nullptr);
    }
    ~BareReads() {
        SetEvent(stop);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        CloseHandle(stop);
    }
};

// Serves this thread's messages for half a second, meanwhile taking the duration of every
// round it sees end (the last one's, in microseconds); their median, in milliseconds.
double MedianRound(volatile LONG* rounds, volatile LONG* lastUs) {
    std::vector<double> durations;
    LONG seen = *rounds;
    for (double end = NowMs() + 500; NowMs() < end;) {
        Pump(1);
        if (*rounds != seen) {
            seen = *rounds;
            durations.push_back(*lastUs / 1000.0);
        }
    }
    return durations.size() > 20 ? Median(durations) : -1;
}

// What a build leaves in the list: its columns and every cell's text.
struct ListContents {
    struct Column {
        int format, width;
        std::wstring header;
    };
    std::vector<Column> columns;
    std::vector<std::vector<std::wstring>> cells; // by row, then column
};

ListContents Contents(const TestList& view) {
    ListContents contents;
    for (int c = 0; c < view.Columns(); ++c)
        contents.columns.push_back({view.Format(c), view.Width(c), view.Header(c)});
    for (int r = 0; r < view.Rows(); ++r) {
        contents.cells.emplace_back();
        for (int c = 0; c < view.Columns(); ++c)
            contents.cells.back().push_back(view.Text(r, c));
    }
    return contents;
}

// The floor of a build: the same texts, precomputed, into the same list by the same messages.
void InsertBare(HWND list, const ListContents& contents) {
    int columns = int(contents.columns.size()), rows = int(contents.cells.size());
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (int c = 0; c < columns; ++c)
        SendMessageW(list, LVM_DELETECOLUMN, 0, 0);
    SendMessageW(list, LVM_SETITEMCOUNT, rows, 0);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (int c = 0; c < columns; ++c) {
        LVCOLUMNW lvc = {};
        lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        lvc.fmt = contents.columns[c].format;
        lvc.cx = contents.columns[c].width;
        lvc.pszText = const_cast<wchar_t*>(contents.columns[c].header.c_str());
        SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&lvc));
    }
    for (int r = 0; r < rows; ++r) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = r;
        item.pszText = const_cast<wchar_t*>(L"");
        item.lParam = r;
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (int c = 0; c < columns; ++c) {
            item.mask = c == 0 ? LVIF_TEXT | LVIF_PARAM : LVIF_TEXT;
            item.iSubItem = c;
            item.pszText = const_cast<wchar_t*>(contents.cells[r][c].c_str());
            SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

// A fixed shuffled order every sort starts from, so that every column sorts the same input.
int g_shuffleKey[ROW_CACHE_ENTRIES];
int CALLBACK Shuffled(LPARAM first, LPARAM second, LPARAM) {
    return g_shuffleKey[first] - g_shuffleKey[second];
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

class TableBench : public testing::Test {
  protected:
    TestList view;
    int runs = BenchSetting("RUNS", 7);

    void SetUp() override {
        StartOnModule(kModule);
        ShowWindow(view.parent, SW_SHOW);
        BuildGpioList(view.list);
        g_cellWritten = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        g_listProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(view.list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchedList)));
        Pump(200); // the first paint
    }
    void TearDown() override {
        StopRefresh();
        SetWindowLongPtrW(view.list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listProc));
        CloseHandle(g_cellWritten);
    }
    void StartRefresh(int hertz) {
        UpdateRate = hertz;
        StartPollThread(view.list);
    }
    // From another thread, as the tool does: a pass may wait for this one.
    void StopRefresh() {
        RunElsewhere([] { StopPollThread(); });
    }
    // Toggles the pin's outside signal; when the watched cell has its new text, the time from
    // the change to the text, in ms (negative: it never came).
    double ChangeAndWait(uint32_t gpio, int level) {
        ResetEvent(g_cellWritten);
        double start = NowMs();
        SimDriveInput(gpio, level);
        if (WaitForSingleObject(g_cellWritten, 5000) != WAIT_OBJECT_0) return -1;
        return g_cellWrittenAt - start;
    }
    // A plain GPIO input whose Level cell is watched.
    uint32_t WatchedInput() {
        uint32_t g = uint32_t(SimStimulusPinsOf(kModule).squareWave);
        EXPECT_EQ(CachedAltFn[g], -1);
        EXPECT_EQ(CachedDir[g], 0);
        g_watchRow = view.RowOf(g);
        g_watchColumn = ColumnSlots[SLOT_LEVEL];
        return g;
    }
};

TEST_F(TableBench, UnchangedPass) {
    Figure messages = {"2a",
                       "unchanged pass: list-view messages",
                       "messages",
                       {},
                       {},
                       "value<=0",
                       "every message the list got while the refresh ran at 2000 Hz, 0.5 s a run"};
    Figure duration = {"2b",
                       "unchanged pass: duration",
                       "ms",
                       {},
                       {},
                       "ratio<=1.5",
                       "a pass at 2000 Hz vs the same GPIOLib reads bare, on a thread that waits "
                       "as the refresh thread does"};
    // The Activity pictures draw the first samples moving in from the right for as long as they
    // show (12 s): that is time passing, not a pass, so they have come to rest first.
    StartRefresh(2000);
    Pump(ACTIVITY_SPAN_US / 1000 + 1000);
    StopRefresh();
    // Each run measures the passes, then the floor, so that both meet the machine alike.
    LONG batches = g_pollStats.batches;
    UpdateRate = 2000;
    for (int run = 0; run < runs; ++run) {
        StartRefresh(2000);
        LONG started = g_pollStats.passes;
        ASSERT_TRUE(PumpUntil([&] { return g_pollStats.passes > started + 20; }));
        g_listMessages = 0;
        double pass = MedianRound(&g_pollStats.passes, &g_pollStats.lastPassUs);
        messages.runs.push_back(g_listMessages);
        StopRefresh();
        ASSERT_GT(pass, 0) << "the refresh hardly ran";
        duration.runs.push_back(pass);

        BareReads bare;
        ASSERT_TRUE(PumpUntil([&] { return bare.rounds > 20; }));
        double floor = MedianRound(&bare.rounds, &bare.lastUs);
        ASSERT_GT(floor, 0) << "the bare reads hardly ran";
        duration.floorRuns.push_back(floor);
    }
    ASSERT_EQ(g_pollStats.batches, batches) << "a pass found a change: the module was not still";

    // The count is real: a pass that changes a cell does send to the list.
    uint32_t g = WatchedInput();
    StartRefresh(2000);
    g_listMessages = 0;
    double latency = -1;
    RunElsewhere([&] { latency = ChangeAndWait(g, !CachedLevel[g]); });
    ASSERT_GE(latency, 0) << "the changed cell was never written";
    ASSERT_GT(g_listMessages, 0) << "the list's messages are not counted";
    Report(messages);
    Report(duration);
}

TEST_F(TableBench, FullBuild) {
    Figure build = {"3",
                    "full build",
                    "ms",
                    {},
                    {},
                    "ratio<=1.3",
                    "BuildGpioList vs the same texts, precomputed, by the same messages"};
    ListContents built = Contents(view);
    ASSERT_EQ(built.cells.size(), 245u);
    ASSERT_EQ(built.columns.size(), 13u);
    for (int run = -1; run < runs; ++run) { // run -1 warms up
        double start = NowMs();
        BuildGpioList(view.list);
        double built_ms = NowMs() - start;
        Pump(20);
        start = NowMs();
        InsertBare(view.list, built);
        double floor_ms = NowMs() - start;
        Pump(20);
        if (run < 0) continue;
        build.runs.push_back(built_ms);
        build.floorRuns.push_back(floor_ms);
    }
    // The floor's list is the build's list.
    ListContents bare = Contents(view);
    for (size_t r = 0; r < built.cells.size(); ++r)
        ASSERT_EQ(bare.cells[r], built.cells[r]) << "row " << r;
    Report(build);
}

TEST_F(TableBench, Sort) {
    std::iota(std::begin(g_shuffleKey), std::end(g_shuffleKey), 0);
    std::shuffle(std::begin(g_shuffleKey), std::end(g_shuffleKey), std::mt19937(14));
    int columns = view.Columns();
    std::vector<std::vector<double>> times(static_cast<size_t>(columns));
    for (int run = -1; run < runs; ++run) {
        for (int c = 0; c < columns; ++c) {
            SendMessageW(view.list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(Shuffled));
            double start = NowMs();
            SendMessageW(view.list, LVM_SORTITEMS, WPARAM(c),
                         reinterpret_cast<LPARAM>(CompareRows));
            double took = NowMs() - start;
            if (run >= 0) times[size_t(c)].push_back(took);
            Pump(1);
        }
    }
    // Sorted by "#": GPIO order again.
    SendMessageW(view.list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(Shuffled));
    SendMessageW(view.list, LVM_SORTITEMS, WPARAM(ColumnSlots[SLOT_GPIO]),
                 reinterpret_cast<LPARAM>(CompareRows));
    for (int r = 0; r < view.Rows(); ++r)
        ASSERT_EQ(view.Param(r), r);
    ASSERT_EQ(view.Header(ColumnSlots[SLOT_GPIO]), L"#");
    const std::vector<double>& byNumber = times[size_t(ColumnSlots[SLOT_GPIO])];
    char id[8];
    for (int c = 0; c < columns; ++c) {
        if (c == ColumnSlots[SLOT_GPIO]) continue;
        snprintf(id, sizeof id, "4.%02d", c);
        Report({id, "sort by \"" + Narrow(view.Header(c)) + "\"", "ms", times[size_t(c)], byNumber,
                "ratio<=3", "245 rows from one shuffled order; floor: sort by \"#\""});
    }
}

class ChangeToCell : public TableBench {
  protected:
    void Measure(int hertz, const char* id, int samples) {
        uint32_t g = WatchedInput();
        StartRefresh(hertz);
        Pump(300);
        DWORD period = PollPeriod();
        Figure latency = {id,   "change to cell at " + std::to_string(hertz) + " Hz (p99)",
                          "ms", {},
                          {},   "value<=" + std::to_string(period + 20),
                          ""};
        std::vector<double> all;
        std::mt19937 random(5);
        for (int run = 0; run < runs && !HasFatalFailure(); ++run) {
            std::vector<double> latencies;
            RunElsewhere([&] {
                for (int i = 0; i < samples; ++i) {
                    // Changes at any moment of the period.
                    Sleep(2 + random() % (period + 1));
                    double took = ChangeAndWait(g, !CachedLevel[g]);
                    if (took < 0) return;
                    latencies.push_back(took);
                }
            });
            ASSERT_EQ(int(latencies.size()), samples) << "a change never reached its cell";
            latency.runs.push_back(Percentile(latencies, 99));
            latency.floorRuns.push_back(period);
            all.insert(all.end(), latencies.begin(), latencies.end());
        }
        char note[160];
        snprintf(note, sizeof note,
                 "pin change to the cell's new text, %d changes a run; median %.1f ms; "
                 "floor: the period",
                 samples, Median(all));
        latency.note = note;
        Report(latency);
    }
};

TEST_F(ChangeToCell, At5Hz) {
    runs = BenchSetting("LATENCY_RUNS", 3);
    Measure(5, "5a", 40);
}

TEST_F(ChangeToCell, At100Hz) {
    runs = BenchSetting("LATENCY_RUNS", 3);
    Measure(100, "5b", 200);
}

// Inputs toggled together by a thread of its own, each every halfPeriodMs; counts the toggles.
struct Toggling {
    std::vector<uint32_t> pins;
    DWORD halfPeriodMs;
    volatile bool stop = false;
    volatile LONG toggles = 0;
    HANDLE thread = nullptr;
    Toggling(std::vector<uint32_t> inputs, DWORD ms) : pins(std::move(inputs)), halfPeriodMs(ms) {
        if (pins.empty()) return;
        thread = CreateThread(
            nullptr, 0,
            [](void* p) -> DWORD {
                auto* t = static_cast<Toggling*>(p);
                // Never sooner than the half period: a thread that falls behind on a loaded
                // machine waits anew rather than catching up with pulses too short to see.
                double next = NowMs();
                for (int level = 1; !t->stop; level ^= 1) {
                    for (uint32_t g : t->pins)
                        SimDriveInput(g, level);
                    InterlockedIncrement(&t->toggles);
                    next = std::max(next + t->halfPeriodMs, NowMs() + t->halfPeriodMs / 2.0);
                    Sleep(DWORD(std::max(0.0, next - NowMs())));
                }
                return 0;
            },
            this, 0, nullptr);
    }
    void Stop() {
        stop = true;
        if (!thread) return;
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        thread = nullptr;
    }
    ~Toggling() { Stop(); }
};

// The Wine server's CPU time, read through Wine's drive Z: from /proc (scripts/bench.sh names
// the benchmark prefix's server); 0 when unknown.
double WineserverCpuMs() {
    int pid = BenchSetting("WINESERVER", 0);
    char path[64];
    snprintf(path, sizeof path, "Z:\\proc\\%d\\schedstat", pid);
    FILE* f = pid ? fopen(path, "r") : nullptr;
    double ns = 0;
    if (f) {
        if (fscanf(f, "%lf", &ns) != 1) ns = 0;
        fclose(f);
    }
    return ns / 1e6;
}

double ProcessCpuMs() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto ms = [](FILETIME t) {
        return double(ULARGE_INTEGER{{t.dwLowDateTime, t.dwHighDateTime}}.QuadPart) / 1e4;
    };
    return ms(kernel) + ms(user);
}

// This process's CPU and the Wine server's while this thread serves its messages for a while
// as the tool's loop does (waking only when one comes), as a share of one core.
double CpuWhilePumping(double milliseconds) {
    double cpu = ProcessCpuMs() + WineserverCpuMs(), start = NowMs();
    for (double end = start + milliseconds, now; (now = NowMs()) < end;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(end - now) + 1, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    return 100 * (ProcessCpuMs() + WineserverCpuMs() - cpu) / (NowMs() - start);
}

// Plain GPIO inputs, as many as asked for: the module's own, then pads on a special function
// turned into GPIO inputs (the list is built again then). Never the stimulus pins.
std::vector<uint32_t> PlainInputs(size_t most, HWND list) {
    std::vector<uint32_t> pins;
    SimStimulusPins stimulus = SimStimulusPinsOf(kModule);
    auto free = [&](uint32_t g) {
        return int(g) != stimulus.squareWave && int(g) != stimulus.button;
    };
    for (uint32_t g = 0; g < 244 && pins.size() < most; ++g)
        if (free(g) && GetGPIOAltFn(g) == -1 && GetGPIODir(g) == 0) pins.push_back(g);
    for (uint32_t g = 0; g < 244 && pins.size() < most; ++g) {
        if (!free(g) || GetGPIOAltFn(g) == -1) continue;
        SetGPIOAltFn(g, -1, 0);
        SetGPIODir(g, 0);
        pins.push_back(g);
    }
    BuildGpioList(list);
    return pins;
}

class ActivityBench : public TableBench {
  protected:
    // The refresh at the rate with the pins toggling for the time: the process's CPU share.
    double Refresh(int hertz, const std::vector<uint32_t>& pins, DWORD halfPeriodMs, double ms) {
        StartRefresh(hertz);
        double cpu;
        {
            Toggling toggling(pins, halfPeriodMs);
            cpu = CpuWhilePumping(ms);
        }
        StopRefresh();
        return cpu;
    }
    // The floor: the same reads and waits on a bare thread, the same pins toggling.
    double Bare(int hertz, const std::vector<uint32_t>& pins, DWORD halfPeriodMs, double ms) {
        UpdateRate = hertz;
        BareReads bare;
        Toggling toggling(pins, halfPeriodMs);
        return CpuWhilePumping(ms);
    }
};

TEST_F(ActivityBench, EdgesAt1000Hz) {
    runs = BenchSetting("EDGE_RUNS", 3);
    int seconds = BenchSetting("EDGE_SECONDS", 10);
    std::vector<uint32_t> pins = PlainInputs(10, view.list);
    ASSERT_EQ(pins.size(), 10u);
    Figure missed = {
        "11a", "edges missed at 1000 Hz, ten inputs toggling at 50 Hz", "edges", {}, {}, "value<=0",
        ""};
    Figure cost = {"11b", "CPU at 1000 Hz, edges of ten inputs at 50 Hz", "%", {}, {}, "ratio<=1.5",
                   ""};
    Figure share = {
        "11c", "CPU at 1000 Hz, edges of ten inputs: share of a core", "%", {}, {}, "value<=5", ""};
    Figure paints = {"11d",    "list repaints a second at 1000 Hz, edges of ten inputs",
                     "paints", {},
                     {},       "value<=60",
                     ""};
    LONG made = 0, counted = 0;
    for (int run = 0; run < runs; ++run) {
        for (uint32_t g : pins)
            SimDriveInput(g, 0);
        Pump(100);
        StartRefresh(1000);
        Pump(300);
        ResetAllEdgeCounts();
        LONG paintsBefore = g_listPaints, toggles;
        double start = NowMs(), cpu;
        {
            Toggling toggling(pins, 10); // a 50 Hz square wave: 100 edges a second each
            cpu = CpuWhilePumping(seconds * 1000.0);
            toggling.Stop(); // every toggle made is counted
            toggles = toggling.toggles;
        }
        double elapsed = NowMs() - start;
        LONG painted = g_listPaints - paintsBefore;
        Pump(100); // the last toggle sampled
        StopRefresh();
        LONG edges = 0;
        for (uint32_t g : pins)
            edges += LONG(EdgeCount(g));
        made += toggles * LONG(pins.size());
        counted += edges;
        missed.runs.push_back(double(toggles * LONG(pins.size()) - edges));
        cost.runs.push_back(cpu);
        share.runs.push_back(cpu);
        paints.runs.push_back(1000 * painted / elapsed);
        cost.floorRuns.push_back(Bare(1000, pins, 10, seconds * 1000.0));
    }
    char note[200];
    snprintf(note, sizeof note,
             "%ld of %ld edges counted over %d runs of %d s; CPU of the process (the list and its "
             "refresh) and the Wine server; floor: bare reads with the same waits and toggling",
             long(counted), long(made), runs, seconds);
    missed.note = cost.note = share.note = note;
    paints.note = "WM_PAINT messages the list received, per second of toggling";
    Report(missed);
    Report(cost);
    Report(share);
    Report(paints);
}

// What a rate costs: the process's CPU at each rate with no input, ten, or every plain input
// toggling (every 10 ms), one line "CURVE {json}" each; scripts/bench.sh prints them as a table.
TEST_F(ActivityBench, CostCurve) {
    int seconds = BenchSetting("CURVE_SECONDS", 3);
    std::vector<uint32_t> ten = PlainInputs(10, view.list), every = PlainInputs(1000, view.list);
    for (int hertz : {5, 50, 500, 1000, 2000}) {
        double idle = Refresh(hertz, {}, 10, seconds * 1000.0);
        double tenCpu = Refresh(hertz, ten, 10, seconds * 1000.0);
        double everyCpu = Refresh(hertz, every, 10, seconds * 1000.0);
        double floor = Bare(hertz, {}, 10, seconds * 1000.0);
        printf("CURVE {\"rate\": %d, \"none\": %.3f, \"ten\": %.3f, \"every\": %.3f, "
               "\"inputs\": %zu, \"floor\": %.3f}\n",
               hertz, idle, tenCpu, everyCpu, every.size(), floor);
        fflush(stdout);
    }
}

} // namespace

// The tool's dialog in this process, minimised at 5 Hz: passes run and CPU spent while it rests.
TEST(Minimised, IdleCost) {
    int runs = BenchSetting("RUNS", 3), seconds = BenchSetting("MINIMISED_SECONDS", 10);
    DialogHarness h(kModule);
    UpdateRate = 5;
    Figure passes = {"1m", "idle while minimised: passes", "passes", {}, {}, "value<=0", ""};
    std::vector<double> cpu;
    for (int run = 0; run < runs; ++run) {
        ShowWindow(h.dialog, SW_RESTORE);
        ASSERT_TRUE(PumpUntil([&] { return !IsIconic(h.dialog); }));
        LONG shown = g_pollStats.passes;
        Pump(1000);
        ASSERT_GT(g_pollStats.passes, shown) << "no pass ran while the window was shown";
        ShowWindow(h.dialog, SW_MINIMIZE);
        ASSERT_TRUE(PumpUntil([&] { return IsIconic(h.dialog); }));
        LONG waits = g_pollStats.pausedWaits;
        ASSERT_TRUE(PumpUntil([&] { return g_pollStats.pausedWaits > waits; }))
            << "the refresh never rested";
        LONG before = g_pollStats.passes;
        FILETIME created, ended, kernel0, user0, kernel1, user1;
        GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel0, &user0);
        // Messages served as the tool's loop does, waking only when one comes.
        double start = NowMs();
        for (double end = start + seconds * 1000.0, now; (now = NowMs()) < end;) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(end - now) + 1, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
        }
        GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel1, &user1);
        auto ticks = [](FILETIME t) {
            return double(ULARGE_INTEGER{{t.dwLowDateTime, t.dwHighDateTime}}.QuadPart);
        };
        double busy = (ticks(kernel1) - ticks(kernel0) + ticks(user1) - ticks(user0)) / 1e4;
        passes.runs.push_back(g_pollStats.passes - before);
        cpu.push_back(100 * busy / (NowMs() - start));
    }
    char note[160];
    snprintf(
        note, sizeof note,
        "passes in %d s minimised at 5 Hz (shown: %d); the process meanwhile %.3f %% of a core",
        seconds, 5 * seconds, Median(cpu));
    passes.note = note;
    Report(passes);
}

namespace {

// Messages served until the condition holds (at most 5 s); then `changed` (if given) and the
// window painted.
bool ServeUntilPainted(HWND dialog, const std::function<bool()>& done,
                       const std::function<void()>& changed) {
    double end = NowMs() + 5000;
    while (!done()) {
        if (NowMs() > end) return false;
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        }
    }
    if (changed) changed();
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return true;
}

std::wstring WindowText(HWND window) {
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    return text;
}

// The platform's floor of the window figures: a plain list view with the tool's list's styles,
// font, columns and cell texts (no custom draw, no filter) and an edit box, alone in a bare
// window of the tool's size.
struct PlainCopy {
    HWND window, list, box;
    PlainCopy(HWND dialog, HWND from) {
        RECT outer, inner;
        GetWindowRect(dialog, &outer);
        GetWindowRect(from, &inner);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&inner), 2);
        window = CreateWindowExW(0, L"#32770", L"floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 outer.left, outer.top, outer.right - outer.left,
                                 outer.bottom - outer.top, nullptr, nullptr, nullptr, nullptr);
        list = CreateWindowExW(DWORD(GetWindowLongW(from, GWL_EXSTYLE)), WC_LISTVIEWW, L"",
                               DWORD(GetWindowLongW(from, GWL_STYLE)), inner.left, inner.top,
                               inner.right - inner.left, inner.bottom - inner.top, window, nullptr,
                               nullptr, nullptr);
        box = CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, L"", WS_CHILD | WS_VISIBLE, inner.left, 2,
                              150, inner.top - 4, window, nullptr, nullptr, nullptr);
        SendMessageW(list, WM_SETFONT, SendMessageW(from, WM_GETFONT, 0, 0), FALSE);
        SendMessageW(box, WM_SETFONT, SendMessageW(from, WM_GETFONT, 0, 0), FALSE);
        ListView_SetExtendedListViewStyle(list, ListView_GetExtendedListViewStyle(from));
        int columns = Header_GetItemCount(ListView_GetHeader(from));
        wchar_t text[256];
        for (int c = 0; c < columns; ++c) {
            LVCOLUMNW column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.pszText = text;
            column.cchTextMax = 256;
            ListView_GetColumn(from, c, &column);
            ListView_InsertColumn(list, c, &column);
        }
        for (int row = 0; row < ListView_GetItemCount(from); ++row)
            for (int c = 0; c < columns; ++c) {
                ListView_GetItemText(from, row, c, text, 256);
                LVITEMW item = {};
                item.mask = LVIF_TEXT;
                item.iItem = row;
                item.iSubItem = c;
                item.pszText = text;
                if (c == 0)
                    ListView_InsertItem(list, &item);
                else
                    ListView_SetItem(list, &item);
            }
        Pump(100);
    }
    ~PlainCopy() { DestroyWindow(window); }
};

// Keys typed and taken back in a box, each timed from the key press until the box reads it and
// the window is painted again (after `changed`, if given). The searches a user makes.
std::vector<double> TimeSearches(HWND window, HWND box, const std::function<void()>& changed,
                                 const std::function<void()>& typedWhole) {
    const wchar_t* searches[] = {L"uart",     L"sdmmc dat", L"input gmi", L"pex",
                                 L"output 1", L"kb_row",    L"mxm3.1",    L"x7"};
    SetForegroundWindow(window);
    SetFocus(box);
    std::vector<double> times;
    for (const wchar_t* search : searches) {
        std::wstring typed;
        auto press = [&](bool back, wchar_t c) {
            std::wstring expected = back ? typed.substr(0, typed.size() - 1) : typed + c;
            double start = NowMs();
            if (back) {
                PressKey(VK_BACK);
            } else {
                wchar_t one[2] = {c, 0};
                TypeText(one);
            }
            bool shown = ServeUntilPainted(
                window, [&] { return WindowText(box) == expected; }, changed);
            times.push_back(NowMs() - start);
            typed = expected;
            return shown;
        };
        for (const wchar_t* c = search; *c; ++c)
            if (!press(false, *c)) ADD_FAILURE() << "the box never read what was typed";
        if (typedWhole) typedWhole();
        while (!typed.empty())
            if (!press(true, 0)) ADD_FAILURE() << "the box never read the key taken back";
    }
    return times;
}

} // namespace

// Typing in the find box: from a real key press until the list shows the rows that remain,
// painted. Floor: the same keys in a plain edit box, the plain list repainted whole after each.
TEST(Find, Keystroke) {
    int runs = BenchSetting("RUNS", 5);
    DialogHarness h(kModule);
    HWND box = GetDlgItem(h.dialog, IDC_FIND);
    ASSERT_NE(box, nullptr);
    Figure keystroke = {
        "9a", "find: keystroke to the filtered list (p99)", "ms", {}, {}, "value<=16", ""};
    std::vector<double> all;
    int fewest = 245;
    PlainCopy plain(h.dialog, h.list);
    for (int run = 0; run < runs; ++run) {
        std::vector<double> times =
            TimeSearches(h.dialog, box, nullptr, [&] { fewest = std::min(fewest, h.view.Rows()); });
        ASSERT_EQ(h.view.Rows(), 245) << "clearing the box brought not every row back";
        keystroke.runs.push_back(Percentile(times, 99));
        all.insert(all.end(), times.begin(), times.end());
        keystroke.floorRuns.push_back(
            Percentile(TimeSearches(
                           plain.window, plain.box,
                           [&] { InvalidateRect(plain.list, nullptr, TRUE); }, nullptr),
                       99));
    }
    ASSERT_LT(fewest, 20) << "the searches hardly filtered";
    char note[200];
    snprintf(note, sizeof note,
             "a key typed or taken back in the find box until the list is painted; %d keys a "
             "run, median %.2f ms",
             int(all.size()) / runs, Median(all));
    keystroke.note = note;
    Report(keystroke);
}

// One step of a resize: the window 40 pixels wider and higher, or back, until it is painted
// again, the list full (every row, every column). Floor: the plain list in its bare window,
// resized the same way (the list drawing its scroll bars is most of either).
TEST(Resize, Step) {
    int runs = BenchSetting("RUNS", 5), steps = BenchSetting("RESIZE_STEPS", 60);
    DialogHarness h(kModule);
    Figure resize = {"9b", "one resize step, the list full (p99)", "ms", {}, {}, "value<=16", ""};
    PlainCopy plain(h.dialog, h.list);
    RECT opened, list;
    GetWindowRect(h.dialog, &opened);
    GetWindowRect(plain.list, &list);
    auto steps99 = [&](HWND window, HWND child) {
        std::vector<double> times;
        for (int step = 0; step < steps; ++step) {
            int grow = step % 2 ? 0 : 40;
            double start = NowMs();
            SetWindowPos(window, nullptr, 0, 0, opened.right - opened.left + grow,
                         opened.bottom - opened.top + grow, SWP_NOMOVE | SWP_NOZORDER);
            if (child)
                SetWindowPos(child, nullptr, 0, 0, list.right - list.left + grow,
                             list.bottom - list.top + grow, SWP_NOMOVE | SWP_NOZORDER);
            RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            times.push_back(NowMs() - start);
            Pump(2);
        }
        return times;
    };
    std::vector<double> all;
    for (int run = 0; run < runs; ++run) {
        std::vector<double> times = steps99(h.dialog, nullptr);
        resize.runs.push_back(Percentile(times, 99));
        all.insert(all.end(), times.begin(), times.end());
        resize.floorRuns.push_back(Percentile(steps99(plain.window, plain.list), 99));
    }
    ASSERT_EQ(h.view.Rows(), 245);
    char note[160];
    snprintf(note, sizeof note,
             "SetWindowPos of the dialog until painted, %d steps a run; median %.2f ms", steps,
             Median(all));
    resize.note = note;
    Report(resize);
}
