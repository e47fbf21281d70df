// The refresh thread: keeps the list in step with the GPIOs, rewriting only changed cells, and
// samples every GPIO's level into the activity history at each pass.
//
// Sample fast, paint slowly: a pass reads every GPIO on the refresh thread, compares with the
// RowCache and marks the cells that changed; the list's own thread writes the marked cells in a
// frame, at most about 60 times a second, so the changes of several passes reach the list
// together (a list-view message sent across threads costs several times what it costs on the
// owning thread, and each write repaints). The refresh thread never waits for the list's thread:
// it posts one request for a frame and goes on sampling, so a busy list never costs an edge, and
// a stop never finds it inside a cross-thread call. What a stop leaves marked is dropped by the
// next build, which rewrites every cell anyway.
#include "table/cells.h"
#include "gpiolib/gpiolib.h"
#include "platform/ce.h"
#include "table/altfn.h"
#include "activity/history.h"
#include "table/compare.h"
#include "table/messages.h"
#include "table/stats.h"

#include <commctrl.h>
#include <algorithm>

PollStats g_pollStats;

namespace {

constexpr DWORD kStopTimeoutMs = 200;
constexpr int kLowestPriority = 255;

HANDLE g_pollStopEvent;
HANDLE g_pollThread;
volatile LONG g_pollPaused;
// The list shows the live registers (Current Settings): its passes sample the activity. In
// Boot-up Settings GPIOLib reads the BootImage, which is no pin's level: nothing is sampled.
bool g_sampling;

// Wakes a waiting refresh thread for a pass at once (auto-reset; made once, never closed).
HANDLE WakeEvent() {
    static const HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    return wake;
}

// Cells changed since the last frame: one bit per ColumnSlot, per GPIO. The refresh thread ORs
// bits in; the list's thread takes each row's bits atomically, so no change is lost between.
volatile LONG g_changed[ROW_CACHE_ENTRIES];
// 1 from the refresh thread's request for a frame until the frame begins.
volatile LONG g_frameRequested;

constexpr unsigned Bit(ColumnSlotIndex slot) {
    return 1u << slot;
}

// Frames at most one every 17 ms on average (under 60 a second), as a budget that fills with
// time and holds two frames: a change after a quiet moment is written at once, a stream of
// changes is written 58 times a second. A request beyond the budget waits on a timer.
constexpr DWORD kFrameMs = 17;
constexpr double kFrameBudget = 2;
double g_frames = kFrameBudget; // frames that may run now
DWORD g_framesCounted;          // tick of the last look at the budget
constexpr UINT_PTR kFrameTimer = HIGHLIGHT_TIMER + 1;
constexpr UINT_PTR kScrollTimer = 3; // while some Activity picture moves: one pixel's time
bool g_frameTimer;
UINT g_scrollMs;
uint64_t g_shownEndUs;  // the Activity pictures end here, in whole pixels
bool g_activityChanged; // a pass changed some picture since the pictures last moved

// A message-only window of the list's thread receives the frame requests; the list itself is
// left alone (subclassing it would route every list message through extra code).
HWND g_updateWindow;
HWND g_updateList;

unsigned ShownMask() {
    unsigned mask = 0;
    for (int slot = 0; slot < COLUMN_SLOT_COUNT; ++slot)
        if (ColumnShown(ColumnSlotIndex(slot))) mask |= Bit(ColumnSlotIndex(slot));
    return mask;
}

// Reads one row, samples its level and records which of its shown cells changed; returns
// their bits.
unsigned PollRow(uint32_t g, unsigned shown, bool tegra) {
    int a = GetGPIOAltFn(g);
    bool notGpio = tegra && a != -1;
    // A hidden column's value is never read and counts as 0.
    int d = 0, l = 0, e = 0, s = 0, t = 0, p = 0;
    int level = 0;
    if (g_sampling || (shown & Bit(SLOT_LEVEL))) level = notGpio ? LEVEL_NOT_GPIO : GetGPIOLevel(g);
    unsigned changed = 0;
    // A pad on a special function has no GPIO level: LEVEL_NOT_GPIO samples as unknown.
    if (g_sampling && SampleLevel(g, level)) changed |= Bit(SLOT_ACTIVITY);
    if (shown & Bit(SLOT_DIRECTION)) d = notGpio ? DIR_NOT_GPIO : GetGPIODir(g);
    if (shown & Bit(SLOT_LEVEL)) l = level;
    if (shown & Bit(SLOT_EDGEDET)) e = GetGPIOEdgeDetect(g);
    if (shown & Bit(SLOT_EDGESTAT)) s = GetGPIOEdgeStatus(g);
    if (shown & Bit(SLOT_TRISTATE)) t = GetGPIOTristate(g);
    if (shown & Bit(SLOT_PULLSTATE)) p = GetGPIOPullState(g);
    uint64_t edges = shown & Bit(SLOT_EDGES) ? EdgeCount(g) : 0;

    if (d != CachedDir[g]) changed |= Bit(SLOT_DIRECTION);
    if (l != CachedLevel[g]) changed |= Bit(SLOT_LEVEL);
    // The PXA270's function names depend on the direction.
    if (a != CachedAltFn[g] || d != CachedDir[g]) changed |= Bit(SLOT_ALTFNNAME) | Bit(SLOT_ALTFN);
    if (e != CachedEdgeDetect[g]) changed |= Bit(SLOT_EDGEDET);
    if (s != CachedEdgeStatus[g]) changed |= Bit(SLOT_EDGESTAT);
    if (t != CachedTristate[g]) changed |= Bit(SLOT_TRISTATE);
    if (p != CachedPullState[g]) changed |= Bit(SLOT_PULLSTATE);
    if (edges != CachedEdges[g]) changed |= Bit(SLOT_EDGES);

    CachedDir[g] = d;
    CachedLevel[g] = l;
    CachedAltFn[g] = a;
    CachedEdgeDetect[g] = e;
    CachedEdgeStatus[g] = s;
    CachedTristate[g] = t;
    CachedPullState[g] = p;
    CachedEdges[g] = edges;
    return changed & shown;
}

// One pass: every row read and sampled, its changes marked, a frame asked for.
void RunPass() {
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceCounter(&start);
    unsigned shown = ShownMask();
    bool tegra = IsTegra(ProcessorId);
    bool any = false;
    if (g_sampling) BeginSamplePass();
    // ListGpioCount is read again for every row.
    for (int g = 0; g < ListGpioCount && g < ROW_CACHE_ENTRIES; ++g) {
        if (unsigned changed = PollRow(uint32_t(g), shown, tegra)) {
            InterlockedOr(&g_changed[g], LONG(changed));
            any = true;
        }
    }
    if (g_sampling) EndSamplePass();
    if (any) {
        InterlockedIncrement(&g_pollStats.batches);
        if (InterlockedExchange(&g_frameRequested, 1) == 0)
            PostMessageW(g_updateWindow, WM_APP_FRAME, 0, 0);
    }
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&frequency);
    g_pollStats.lastPassUs = LONG((end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart);
    InterlockedIncrement(&g_pollStats.passes);
}

DWORD WINAPI PollThread(void* parameter) {
    (void)parameter; // the list: its cells are written on its own thread (see above)
    HANDLE stop = g_pollStopEvent;
    CeSetThreadPriority(GetCurrentThread(), kLowestPriority);
    HANDLE events[2] = {stop, WakeEvent()};
    for (;;) {
        // Timed out or woken: time for a pass. Stopped, or a failed wait: the end. While the
        // window is minimised the thread sleeps until it is woken; nothing is sampled then.
        bool paused = g_pollPaused;
        if (paused) {
            if (g_sampling) SamplingGap();
            InterlockedIncrement(&g_pollStats.pausedWaits);
        }
        DWORD waited = WaitForMultipleObjects(2, events, FALSE, paused ? INFINITE : PollPeriod());
        if (waited != WAIT_TIMEOUT && waited != WAIT_OBJECT_0 + 1) break;
        if (g_pollPaused) continue;
        if (waited == WAIT_OBJECT_0 + 1) InterlockedIncrement(&g_pollStats.wokenPasses);
        RunPass();
    }
    // A stop for a rebuild is no gap: the next list's refresh samples on, and the history with
    // it. (Boot-up Settings make one, see InstallCellUpdates.)
    return 0;
}

// Writes the marked cells, finding each row by its GPIO; an Activity cell is redrawn.
void ApplyChanges(HWND list) {
    wchar_t text[32];
    for (int g = 0; g < ListGpioCount && g < ROW_CACHE_ENTRIES; ++g) {
        if (!g_changed[g]) continue;
        unsigned changed = unsigned(InterlockedExchange(&g_changed[g], 0));
        int row = RowOfGpio(list, uint32_t(g));
        // A row the filter left out keeps its marks true for the next build.
        bool remarked = UpdateMarks(uint32_t(g));
        if (row < 0) continue;
        if (remarked) SendMessageW(list, LVM_REDRAWITEMS, row, row);
        for (int slot = 0; slot < COLUMN_SLOT_COUNT; ++slot) {
            if (!(changed & Bit(ColumnSlotIndex(slot)))) continue;
            if (slot == SLOT_ACTIVITY) {
                // Drawn when the pictures move on by a pixel (ScrollActivity): a change shows
                // in the newest pixel, which no sooner redraw could show better.
                g_activityChanged = true;
                continue;
            }
            LVITEMW item = {};
            item.iSubItem = ColumnSlots[slot];
            item.pszText =
                const_cast<wchar_t*>(CachedCellText(ColumnSlotIndex(slot), uint32_t(g), text));
            SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
            Highlight(uint32_t(g), slot);
        }
    }
}

// The Activity pictures scroll a pixel at a time: the cells whose picture moves are redrawn,
// and the scroll timer runs while any does.
void ScrollActivity(HWND list) {
    int width = ColumnShown(SLOT_ACTIVITY)
                    ? int(SendMessageW(list, LVM_GETCOLUMNWIDTH, ColumnSlots[SLOT_ACTIVITY], 0))
                    : 0;
    uint64_t end = ActivityEndUs(width);
    bool moves = g_activityChanged;
    if (width > 0 && end != g_shownEndUs) {
        g_shownEndUs = end;
        g_activityChanged = false;
        int top = int(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
        int last = top + int(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
        for (int row = top; row <= last; ++row)
            if (ActivityMoves(GpioOfRow(list, row), end)) RedrawCell(list, row, SLOT_ACTIVITY);
    }
    for (uint32_t g = 0; width > 0 && !moves && g < uint32_t(ListGpioCount); ++g)
        moves = ActivityMoves(g, end);
    UINT ms = moves ? UINT(ACTIVITY_SPAN_US / 1000 / UINT(width)) : 0;
    if (ms && ms < kFrameMs) ms = kFrameMs;
    if (ms != g_scrollMs) {
        if (ms)
            SetTimer(g_updateWindow, kScrollTimer, ms, nullptr);
        else
            KillTimer(g_updateWindow, kScrollTimer);
        g_scrollMs = ms;
    }
}

void RunFrame(HWND list) {
    InterlockedExchange(&g_frameRequested, 0);
    ApplyChanges(list);
    ScrollActivity(list);
}

// A frame now if the budget allows, else when it does.
void RequestFrame(HWND list) {
    DWORD now = GetTickCount();
    g_frames = std::min(kFrameBudget, g_frames + double(now - g_framesCounted) / kFrameMs);
    g_framesCounted = now;
    if (g_frames >= 1) {
        g_frames -= 1;
        if (g_frameTimer) KillTimer(g_updateWindow, kFrameTimer);
        g_frameTimer = false;
        RunFrame(list);
    } else if (!g_frameTimer) {
        UINT wait = UINT((1 - g_frames) * kFrameMs) + 1;
        g_frameTimer = SetTimer(g_updateWindow, kFrameTimer, wait, nullptr) != 0;
    }
}

LRESULT CALLBACK UpdateProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_APP_FRAME: RequestFrame(g_updateList); return 0;
    case WM_TIMER:
        if (wParam == HIGHLIGHT_TIMER) EndHighlights();
        if (wParam == kFrameTimer) {
            KillTimer(window, kFrameTimer);
            g_frameTimer = false;
            RequestFrame(g_updateList);
        }
        if (wParam == kScrollTimer) RequestFrame(g_updateList);
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND CreateUpdateWindow() {
    static const ATOM windowClass = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = UpdateProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VelmoraGpioTableUpdates";
        return RegisterClassW(&wc);
    }();
    return CreateWindowExW(0, MAKEINTATOM(windowClass), nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

} // namespace

const wchar_t* CachedCellText(ColumnSlotIndex slot, uint32_t g, wchar_t* text) {
    switch (slot) {
    case SLOT_ALTFNNAME:
        lstrcpynW(text, GetAltFnName(g, CachedDir[g], CachedAltFn[g]), 32);
        return text;
    case SLOT_ALTFN: wsprintfW(text, L"%d", CachedAltFn[g]); return text;
    case SLOT_DIRECTION: return TextOf(DirText, CachedDir[g]);
    case SLOT_LEVEL: return TextOf(LevelText, CachedLevel[g]);
    case SLOT_EDGEDET: return TextOf(EdgeDetectText, CachedEdgeDetect[g]);
    case SLOT_EDGESTAT: return TextOf(EdgeStatusText, CachedEdgeStatus[g]);
    case SLOT_TRISTATE: return TextOf(TristateText, CachedTristate[g]);
    case SLOT_PULLSTATE: return TextOf(PullStateText, CachedPullState[g]);
    case SLOT_EDGES: wsprintfW(text, L"%I64u", CachedEdges[g]); return text;
    case SLOT_ACTIVITY: return L""; // drawn, see DrawActivityCell
    default: return nullptr;
    }
}

void InstallCellUpdates(HWND list) {
    // A pass cut short by a stop leaves nothing behind for the next list.
    for (volatile LONG& cell : g_changed)
        cell = 0;
    g_frameRequested = 0;
    if (!IsWindow(g_updateWindow) ||
        GetWindowThreadProcessId(g_updateWindow, nullptr) != GetCurrentThreadId())
        g_updateWindow = CreateUpdateWindow();
    ResetHighlights(g_updateWindow, list);
    KillTimer(g_updateWindow, kFrameTimer);
    KillTimer(g_updateWindow, kScrollTimer);
    g_frameTimer = false;
    g_scrollMs = 0;
    g_shownEndUs = 0;
    g_activityChanged = false;
    g_updateList = list;
    g_sampling = SettingsMode == SETTINGS_CURRENT;
    // No refresh runs now: the history may be told that sampling stops here.
    if (!g_sampling) SamplingGap();
}

bool CellUpdatesPending() {
    if (g_frameRequested) return true;
    for (LONG cell : g_changed)
        if (cell) return true;
    return false;
}

uint64_t ShownActivityEndUs() {
    return g_shownEndUs;
}

DWORD PollPeriod() {
    int rate = UpdateRate;
    if (rate == 0) {
        UpdateRate = 1;
        rate = 1;
    }
    // The box holds an unsigned number: a value that reads negative here is a huge rate.
    DWORD hertz = DWORD(rate);
    return hertz > 1000 ? 0 : 1000 / hertz;
}

void PausePolling(bool paused) {
    bool wasPaused = InterlockedExchange(&g_pollPaused, paused) != 0;
    if (wasPaused && !paused) SetEvent(WakeEvent());
}

int StartPollThread(HWND list) {
    // One refresh thread at most: a second would leave the first one's handles behind.
    if (g_pollThread) return 0;
    g_pollStopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (g_pollStopEvent) g_pollThread = CreateThread(nullptr, 0, PollThread, list, 0, nullptr);
    if (g_pollThread) return 1;
    if (g_pollStopEvent) CloseHandle(g_pollStopEvent);
    g_pollStopEvent = nullptr;
    return 0;
}

int StopPollThread() {
    if (g_pollStopEvent) SetEvent(g_pollStopEvent);
    if (g_pollThread && WaitForSingleObject(g_pollThread, kStopTimeoutMs) == WAIT_TIMEOUT) {
        NKDbgPrintfW(L"Timeout\n\r");
        TerminateThread(g_pollThread, DWORD(-1));
        // Termination completes asynchronously; the next build must not meet the thread.
        WaitForSingleObject(g_pollThread, 5000);
    }
    if (g_pollThread) CloseHandle(g_pollThread);
    if (g_pollStopEvent) CloseHandle(g_pollStopEvent);
    g_pollThread = nullptr;
    g_pollStopEvent = nullptr;
    return 1;
}
