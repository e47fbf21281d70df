// The real tool, started and driven from this process on the virtual display, on the Tegra 3
// Belvan module with every column the processor allows. Figures 6 (responsiveness at full
// speed), 7 (start-up) and 8 (memory over a soak).
#include "bench/bench_support.h"
#include "tests/input_support.h"
#include "tests/window_support.h"
#include "gpiolib/gpiolib.h"
#include "res/resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <psapi.h>
#include <cstdio>

namespace {

const char kModuleName[] = "tegra3-belvan";
constexpr SimModule kModule = SIM_MODULE_TEGRA3_BELVAN;
constexpr int kTegra3Rows = 245;

// The plain GPIO inputs of the module: the pins the outside world can drive.
std::vector<uint32_t> PlainInputs() {
    std::vector<uint32_t> pins;
    for (uint32_t g = 0; g < GetGPIOCount(); ++g)
        if (GetGPIOAltFn(g) == -1 && GetGPIODir(g) == 0) pins.push_back(g);
    return pins;
}

// While it lives, every plain input toggles every few milliseconds; at its end each is low.
struct ChangingPins {
    std::vector<uint32_t> pins;
    DWORD everyMs;
    volatile bool stop = false;
    volatile LONG changes = 0;
    HANDLE thread;

    ChangingPins(std::vector<uint32_t> inputs, DWORD milliseconds)
        : pins(std::move(inputs)), everyMs(milliseconds) {
        thread = CreateThread(
            nullptr, 0,
            [](void* p) -> DWORD {
                auto* c = static_cast<ChangingPins*>(p);
                for (int level = 1; !c->stop; level ^= 1) {
                    for (uint32_t g : c->pins)
                        SimDriveInput(g, level);
                    InterlockedIncrement(&c->changes);
                    Sleep(c->everyMs);
                }
                for (uint32_t g : c->pins)
                    SimDriveInput(g, 0);
                return 0;
            },
            this, 0, nullptr);
    }
    ~ChangingPins() {
        stop = true;
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
};

// Round trips of WM_NULL sent to the dialog, one every few milliseconds.
std::vector<double> RoundTrips(HWND dialog, int count) {
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        DWORD_PTR result;
        double start = NowMs();
        if (!SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result)) break;
        times.push_back(NowMs() - start);
        Sleep(2);
    }
    return times;
}

HWND VisibleMenu(DWORD pid) {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32768", nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

// Right-clicks each point in turn and times until the program's popup shows (polled every
// millisecond), then closes it with Escape. Stops at the first click that opens none.
std::vector<double> PopupTimes(DWORD pid, const POINT (&points)[2], int count) {
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        double start = NowMs();
        RightClickAt(points[i % 2]);
        while (!VisibleMenu(pid) && NowMs() - start < 5000)
            Sleep(1);
        if (!VisibleMenu(pid)) break;
        times.push_back(NowMs() - start);
        // The menu's loop takes the key from the thread's queue, wherever the focus is.
        PostMessageW(VisibleMenu(pid), WM_KEYDOWN, VK_ESCAPE, 0);
        for (double shown = NowMs(); VisibleMenu(pid) && NowMs() - shown < 5000;)
            Sleep(5);
        Sleep(400); // two right-clicks close together would make a double click
    }
    return times;
}

HWND WindowOf(DWORD pid) {
    struct Search {
        DWORD pid;
        HWND found;
    } search = {pid, nullptr};
    EnumWindows(
        [](HWND window, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s->pid || !GetDlgItem(window, IDC_GPIOLIST)) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A program of the build with the tool's dialog, started on the virtual display; closed
// through its close command at the end.
struct Program {
    PROCESS_INFORMATION process = {};
    HWND dialog = nullptr, list = nullptr;
    double startMs = -1; // from CreateProcess until its list holds the rows and it waits
    bool polled = false; // the list filled after the program first waited for input
    DWORD idleWait = WAIT_FAILED;
    int seenRows = -1;

    Program(const std::wstring& name, int rows) {
        SetEnvironmentVariableW(L"VELMORA_SIM_MODULE", L"tegra3-belvan");
        double start = NowMs();
        bool created = StartQuietly(L"\"" + BuildFolder() + L"\\" + name + L"\"", &process);
        if (!created) return;
        // The dialog fills its list before its thread first waits for input.
        idleWait = WaitForInputIdle(process.hProcess, 30000);
        double idle = NowMs();
        for (;;) {
            if (!dialog) dialog = WindowOf(process.dwProcessId);
            if (dialog && !list) list = GetDlgItem(dialog, IDC_GPIOLIST);
            if (list && (seenRows = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0))) == rows) break;
            if (NowMs() - start > 60000) return;
            polled = true;
            Sleep(1);
        }
        startMs = (polled ? NowMs() : idle) - start;
    }
    // What a start that failed came to.
    std::string Seen() const {
        char text[120];
        snprintf(text, sizeof text, "idle wait %lu, dialog %s, %d rows",
                 static_cast<unsigned long>(idleWait), dialog ? "found" : "not found", seenRows);
        return text;
    }
    ~Program() {
        if (!process.hProcess) return;
        if (dialog) PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (WaitForSingleObject(process.hProcess, 15000) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    // Two points in the middle of the list, apart.
    void ListPoints(POINT (&points)[2]) const {
        RECT r;
        GetWindowRect(list, &r);
        for (int i = 0; i < 2; ++i)
            points[i] = {(r.left + r.right) / 2 + 30 * i, (r.top + r.bottom) / 2};
    }
};

class ToolBench : public testing::Test {
  protected:
    int runs = BenchSetting("RUNS", 7);
    void SetUp() override { ShowEveryColumnWhenTheToolStarts(); }
    void TearDown() override { LeaveModule(); }
};

TEST_F(ToolBench, Responsiveness) {
    runs = BenchSetting("RESPONSE_RUNS", 3);
    int popups = BenchSetting("POPUPS", 10);
    Figure answer = {
        "6a", "WM_NULL round trip at 2000 Hz, pins changing (p99)", "ms", {}, {}, "value<=20", ""};
    Figure popup = {"6b", "popup opens at 2000 Hz, pins changing (p99)", "ms", {}, {}, "value<=20",
                    ""};
    std::vector<double> floorAnswers, floorPopups;
    // The floor: the same asked of the bare dialog, which opens the same popup.
    {
        Program bare(L"bench\\bare_dialog.exe", 0);
        ASSERT_TRUE(bare.list) << "the bare dialog did not show";
        SetForegroundWindow(bare.dialog);
        POINT points[2];
        bare.ListPoints(points);
        for (int run = 0; run < runs; ++run) {
            std::vector<double> times = RoundTrips(bare.dialog, 500);
            answer.floorRuns.push_back(Percentile(times, 99));
            floorAnswers.insert(floorAnswers.end(), times.begin(), times.end());
            times = PopupTimes(bare.process.dwProcessId, points, popups);
            ASSERT_EQ(int(times.size()), popups) << "a right-click opened no popup";
            popup.floorRuns.push_back(Percentile(times, 99));
            floorPopups.insert(floorPopups.end(), times.begin(), times.end());
        }
    }

    ToolWindow w(kModuleName);
    ASSERT_TRUE(w.dialog);
    ASSERT_EQ(w.Rows(), kTegra3Rows);
    JoinModule(kModule);
    std::vector<uint32_t> pins = PlainInputs();
    ASSERT_GE(pins.size(), 2u);
    // Two points of one Level cell (its row scrolled into view), a little apart.
    POINT cell = w.CellPoint(pins[0], L"Level");
    POINT cells[2] = {{cell.x - 6, cell.y}, {cell.x + 6, cell.y}};
    SetDlgItemInt(w.dialog, IDC_UPDATERATE, 2000, FALSE);
    ASSERT_EQ(GetDlgItemInt(w.dialog, IDC_UPDATERATE, nullptr, FALSE), 2000u);
    std::vector<double> allAnswers, allPopups;
    LONG changes = 0;
    {
        ChangingPins changing(pins, 5);
        Sleep(500);
        for (int run = 0; run < runs; ++run) {
            std::vector<double> times = RoundTrips(w.dialog, 500);
            answer.runs.push_back(Percentile(times, 99));
            allAnswers.insert(allAnswers.end(), times.begin(), times.end());
            times = PopupTimes(w.tool.process.dwProcessId, cells, popups);
            ASSERT_EQ(int(times.size()), popups) << "a right-click opened no popup";
            popup.runs.push_back(Percentile(times, 99));
            allPopups.insert(allPopups.end(), times.begin(), times.end());
        }
        changes = changing.changes;
    }
    // The refresh kept up: the pins' last change is in the list.
    EXPECT_TRUE(Eventually([&] { return w.Cell(pins[0], L"Level") == L"0"; }));
    char note[240];
    snprintf(note, sizeof note,
             "all %zu plain inputs toggled every 5 ms (%ld times); median %.2f ms, bare %.2f ms; "
             "floor: the bare dialog, idle",
             pins.size(), long(changes), Median(allAnswers), Median(floorAnswers));
    answer.note = note;
    snprintf(note, sizeof note,
             "real right-click on a Level cell until the menu shows, %d a run; median %.1f ms, "
             "bare %.1f ms; floor: the bare dialog's popup",
             popups, Median(allPopups), Median(floorPopups));
    popup.note = note;
    Report(answer);
    Report(popup);
    w.Close();
    EXPECT_EQ(w.ExitCode(), 1);
}

TEST_F(ToolBench, StartUp) {
    Figure start = {"7", "start-up to the filled table", "ms", {}, {}, "ratio<=2", ""};
    int polled = 0;
    for (int run = -1; run < runs; ++run) { // run -1 warms up
        double tool, bare;
        {
            Program program(L"gpioconfig.exe", kTegra3Rows);
            ASSERT_GE(program.startMs, 0) << "the tool's list never filled: " << program.Seen();
            tool = program.startMs;
            polled += program.polled;
        }
        Sleep(300); // the last program's end is behind Wine's processes before the next start
        {
            Program program(L"bench\\bare_dialog.exe", 0);
            ASSERT_GE(program.startMs, 0) << "the bare dialog never showed: " << program.Seen();
            bare = program.startMs;
            polled += program.polled;
        }
        Sleep(300);
        if (run < 0) continue;
        start.runs.push_back(tool);
        start.floorRuns.push_back(bare);
    }
    char note[200];
    snprintf(note, sizeof note,
             "process start until the window waits for input with its list filled; floor: the "
             "same dialog with an empty list%s",
             polled ? " (some runs polled the list)" : "");
    start.note = note;
    Report(start);
}

struct Usage {
    double privateKiB, handles;
};

// The handles a process holds, from the system's handle table: Wine answers
// GetProcessHandleCount for the calling process only.
double HandlesOf(HANDLE process) {
    DWORD count = 0;
    if (GetProcessHandleCount(process, &count) && count) return count;
    struct Entry { // SYSTEM_HANDLE_TABLE_ENTRY_INFO
        USHORT process, backTrace;
        UCHAR type, attributes;
        USHORT handle;
        void* object;
        ULONG access;
    };
    typedef LONG(WINAPI * QuerySystem)(ULONG, void*, ULONG, ULONG*);
    FARPROC found = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation");
    if (!found) return 0;
    auto query = reinterpret_cast<QuerySystem>(reinterpret_cast<void*>(found));
    constexpr ULONG kHandleInformation = 16;
    constexpr LONG kTooSmall = LONG(0xC0000004);
    std::vector<BYTE> table(1 << 20);
    LONG status;
    while ((status = query(kHandleInformation, table.data(), ULONG(table.size()), nullptr)) ==
           kTooSmall)
        table.resize(table.size() * 2);
    if (status < 0) return 0;
    ULONG entries = *reinterpret_cast<ULONG*>(table.data());
    auto* entry = reinterpret_cast<Entry*>(table.data() + sizeof(void*));
    USHORT pid = USHORT(GetProcessId(process));
    for (ULONG i = 0; i < entries; ++i)
        count += entry[i].process == pid;
    return count;
}

Usage UsageOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    // Wine leaves PrivateUsage at 0 and reports private bytes as PagefileUsage; on Windows the
    // two are the same value.
    SIZE_T bytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    return {double(bytes) / 1024, HandlesOf(process)};
}

TEST_F(ToolBench, Memory) {
    int seconds = BenchSetting("SOAK_SECONDS", 600);
    ToolWindow w(kModuleName);
    ASSERT_TRUE(w.dialog);
    JoinModule(kModule);
    HANDLE process = w.tool.process.hProcess;
    SetDlgItemInt(w.dialog, IDC_UPDATERATE, 2000, FALSE);
    std::vector<Usage> samples;
    {
        ChangingPins changing(PlainInputs(), 5);
        // Three samples a few seconds apart after a minute (the activity ring is full by then,
        // at about 24 000 changes a second), three at the end.
        Sleep(60000);
        for (int i = 0; i < 3; ++i) {
            Sleep(3000);
            samples.push_back(UsageOf(process));
        }
        for (int left = seconds - 69; left > 0;) {
            int step = left < 30 ? left : 30;
            Sleep(DWORD(step) * 1000);
            left -= step;
            Usage now = UsageOf(process);
            fprintf(stderr, "soak: %d s to go, %.0f KiB private, %.0f handles\n", left,
                    now.privateKiB, now.handles);
        }
        for (int i = 0; i < 3; ++i) {
            samples.push_back(UsageOf(process));
            Sleep(3000);
        }
    }
    ASSERT_GT(samples[0].privateKiB, 0) << "the tool's private bytes cannot be read";
    ASSERT_GT(samples[0].handles, 0) << "the tool's handle count cannot be read";
    EXPECT_TRUE(Eventually([&] { return w.Rows() == kTegra3Rows; })) << "the tool hangs";
    Figure bytes = {"8a", "private memory after the soak", "KiB", {}, {}, "growth<=1024", ""};
    Figure handles = {"8b", "handles after the soak", "handles", {}, {}, "growth<=2", ""};
    for (size_t i = 0; i < samples.size(); ++i) {
        (i < 3 ? bytes.floorRuns : bytes.runs).push_back(samples[i].privateKiB);
        (i < 3 ? handles.floorRuns : handles.runs).push_back(samples[i].handles);
    }
    char note[160];
    snprintf(note, sizeof note,
             "%d s at 2000 Hz with every plain input toggled every 5 ms, Edges and Activity shown; "
             "floor: after one minute",
             seconds);
    bytes.note = handles.note = note;
    Report(bytes);
    Report(handles);
    w.Close();
    EXPECT_EQ(w.ExitCode(), 1);
}

} // namespace
