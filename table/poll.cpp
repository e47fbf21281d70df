// The refresh thread: keeps the list in step with the GPIOs, rewriting only changed cells.
//
// A pass reads every GPIO on the refresh thread and compares with the RowCache. The cells that
// changed are then written by the list's own thread, after one message per pass: a list-view
// message sent across threads costs several times what it costs on the owning thread, and a
// pass that rewrites many cells must stay well inside the 200 ms a stop waits for it.
//
// The message is posted, and the refresh thread waits for it to be carried out or for a stop,
// whichever comes first. So a stop never finds the thread inside a cross-thread send (the
// dialog's thread may be busy for longer than the stop waits), and the thread is never ended
// by force there. A batch withdrawn by a stop is not written; the next build rewrites every
// cell anyway.
#include "table/cells.h"
#include "gpiolib/gpiolib.h"
#include "platform/ce.h"
#include "table/altfn.h"
#include "table/compare.h"
#include "table/marks.h"

#include <commctrl.h>
#include <cstring>

PollStats g_pollStats;
volatile LONG g_pollTestDelayMs;

namespace {

constexpr DWORD kStopTimeoutMs = 200;
constexpr int kLowestPriority = 255;

HANDLE g_pollStopEvent;
HANDLE g_pollThread;
volatile LONG g_pollPaused;

// Wakes a waiting refresh thread for a pass at once (auto-reset; made once, never closed).
HANDLE WakeEvent() {
    static const HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    return wake;
}

// Cells changed by the pass in progress: one bit per ColumnSlot, per GPIO, and the rows that
// have any. Written by the refresh thread, then read and cleared by the list's thread while
// the refresh thread waits for it.
uint16_t g_changed[ROW_CACHE_ENTRIES];
uint16_t g_changedRows[ROW_CACHE_ENTRIES];
int g_changedRowCount;
// The batch waiting for the list's thread, by number; 0 when none. Whoever swaps it back to 0
// first owns the batch: the list's thread to write it, a stopping refresh thread to drop it.
volatile LONG g_pendingBatch;
LONG g_lastBatch;
HANDLE g_batchDone; // set by the list's thread when it has written a batch

constexpr unsigned Bit(ColumnSlotIndex slot) {
    return 1u << slot;
}

constexpr UINT WM_APPLY_CHANGES = WM_APP + 1; // wParam: the batch

// A cell the refresh rewrote is drawn highlighted for about a second. A timer runs only while
// some cell is highlighted, and redraws each cell once when its highlight ends.
constexpr DWORD kHighlightMs = 1000;
constexpr UINT kHighlightTick = 250;
constexpr UINT_PTR kHighlightTimer = 1;
DWORD g_changedAt[ROW_CACHE_ENTRIES][COLUMN_SLOT_COUNT]; // tick of the change; 0: none
int g_highlighted;
// A message-only window of the list's thread receives the batches; the list itself is left
// alone (subclassing it would route every list message through extra code).
HWND g_updateWindow;
HWND g_updateList;

unsigned ShownMask() {
    unsigned mask = 0;
    for (int slot = 0; slot < COLUMN_SLOT_COUNT; ++slot)
        if (ColumnShown(ColumnSlotIndex(slot))) mask |= Bit(ColumnSlotIndex(slot));
    return mask;
}

// Reads one row and records which of its shown cells changed; returns their bits.
unsigned PollRow(uint32_t g, unsigned shown, bool tegra) {
    int a = GetGPIOAltFn(g);
    bool notGpio = tegra && a != -1;
    // A hidden column's value is never read and counts as 0.
    int d = 0, l = 0, e = 0, s = 0, t = 0, p = 0;
    if (shown & Bit(SLOT_DIRECTION)) d = notGpio ? DIR_NOT_GPIO : GetGPIODir(g);
    if (shown & Bit(SLOT_LEVEL)) l = notGpio ? LEVEL_NOT_GPIO : GetGPIOLevel(g);
    if (shown & Bit(SLOT_EDGEDET)) e = GetGPIOEdgeDetect(g);
    if (shown & Bit(SLOT_EDGESTAT)) s = GetGPIOEdgeStatus(g);
    if (shown & Bit(SLOT_TRISTATE)) t = GetGPIOTristate(g);
    if (shown & Bit(SLOT_PULLSTATE)) p = GetGPIOPullState(g);

    unsigned changed = 0;
    if (d != CachedDir[g]) changed |= Bit(SLOT_DIRECTION);
    if (l != CachedLevel[g]) changed |= Bit(SLOT_LEVEL);
    // The PXA270's function names depend on the direction.
    if (a != CachedAltFn[g] || d != CachedDir[g]) changed |= Bit(SLOT_ALTFNNAME) | Bit(SLOT_ALTFN);
    if (e != CachedEdgeDetect[g]) changed |= Bit(SLOT_EDGEDET);
    if (s != CachedEdgeStatus[g]) changed |= Bit(SLOT_EDGESTAT);
    if (t != CachedTristate[g]) changed |= Bit(SLOT_TRISTATE);
    if (p != CachedPullState[g]) changed |= Bit(SLOT_PULLSTATE);

    CachedDir[g] = d;
    CachedLevel[g] = l;
    CachedAltFn[g] = a;
    CachedEdgeDetect[g] = e;
    CachedEdgeStatus[g] = s;
    CachedTristate[g] = t;
    CachedPullState[g] = p;
    return changed & shown;
}

// Has the list's thread write the batch; false when a stop came first.
bool HandOver(HANDLE stop) {
    LONG batch = ++g_lastBatch;
    ResetEvent(g_batchDone);
    g_pendingBatch = batch;
    if (PostMessageW(g_updateWindow, WM_APPLY_CHANGES, WPARAM(batch), 0)) {
        HANDLE events[2] = {g_batchDone, stop};
        if (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0) return true;
    }
    // Stopped (or the list is gone): drop the batch unless its writing has begun, which then
    // ends on the list's thread before anything else happens there.
    InterlockedCompareExchange(&g_pendingBatch, 0, batch);
    return false;
}

// One pass; false when a stop ended it early.
bool RunPass(HANDLE stop) {
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceCounter(&start);
    unsigned shown = ShownMask();
    bool tegra = IsTegra(ProcessorId);
    int count = 0;
    // ListGpioCount is read again for every row.
    for (int g = 0; g < ListGpioCount && g < ROW_CACHE_ENTRIES; ++g) {
        if (g_pollTestDelayMs && g == ListGpioCount / 2)
            Sleep(InterlockedExchange(&g_pollTestDelayMs, 0));
        if (unsigned changed = PollRow(uint32_t(g), shown, tegra)) {
            g_changed[g] = uint16_t(changed);
            g_changedRows[count++] = uint16_t(g);
        }
    }
    if (count) {
        g_changedRowCount = count;
        InterlockedIncrement(&g_pollStats.batches);
        if (!HandOver(stop)) return false;
    }
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&frequency);
    g_pollStats.lastPassUs = LONG((end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart);
    InterlockedIncrement(&g_pollStats.passes);
    return true;
}

DWORD WINAPI PollThread(void* parameter) {
    (void)parameter; // the list: its cells are written on its own thread (see above)
    HANDLE stop = g_pollStopEvent;
    CeSetThreadPriority(GetCurrentThread(), kLowestPriority);
    HANDLE events[2] = {stop, WakeEvent()};
    for (;;) {
        // Timed out or woken: time for a pass. Stopped, or a failed wait: the end. While the
        // window is minimised the thread sleeps until it is woken.
        bool paused = g_pollPaused;
        if (paused) InterlockedIncrement(&g_pollStats.pausedWaits);
        DWORD waited = WaitForMultipleObjects(2, events, FALSE, paused ? INFINITE : PollPeriod());
        if (waited != WAIT_TIMEOUT && waited != WAIT_OBJECT_0 + 1) return 0;
        if (g_pollPaused) continue;
        if (waited == WAIT_OBJECT_0 + 1) InterlockedIncrement(&g_pollStats.wokenPasses);
        if (!RunPass(stop)) return 0;
    }
}

void Highlight(uint32_t g, int slot) {
    if (!g_changedAt[g][slot] && g_highlighted++ == 0)
        SetTimer(g_updateWindow, kHighlightTimer, kHighlightTick, nullptr);
    g_changedAt[g][slot] = GetTickCount() | 1;
}

void RedrawCell(HWND list, uint32_t g, int slot) {
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = LPARAM(g);
    int row = int(SendMessageW(list, LVM_FINDITEMW, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
    RECT rect = {};
    rect.top = ColumnSlots[slot];
    rect.left = rect.top ? LVIR_BOUNDS : LVIR_LABEL;
    if (row >= 0 && rect.top >= 0 &&
        SendMessageW(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&rect)))
        InvalidateRect(list, &rect, FALSE);
}

void EndHighlights(HWND list) {
    DWORD now = GetTickCount();
    for (uint32_t g = 0; g < ROW_CACHE_ENTRIES; ++g)
        for (int slot = 0; slot < COLUMN_SLOT_COUNT; ++slot) {
            DWORD& at = g_changedAt[g][slot];
            if (!at || now - at < kHighlightMs) continue;
            at = 0;
            --g_highlighted;
            RedrawCell(list, g, slot);
        }
    if (g_highlighted <= 0) {
        g_highlighted = 0;
        KillTimer(g_updateWindow, kHighlightTimer);
    }
}

void ClearHighlights() {
    memset(g_changedAt, 0, sizeof g_changedAt);
    g_highlighted = 0;
    if (g_updateWindow) KillTimer(g_updateWindow, kHighlightTimer);
}

// On the list's thread: writes the cells the last pass changed, finding each row by its GPIO.
void ApplyChanges(HWND list, LONG batch) {
    if (InterlockedCompareExchange(&g_pendingBatch, 0, batch) != batch) return; // withdrawn
    wchar_t text[32];
    for (int i = 0; i < g_changedRowCount; ++i) {
        uint32_t g = g_changedRows[i];
        unsigned changed = g_changed[g];
        g_changed[g] = 0;
        LVFINDINFOW find = {};
        find.flags = LVFI_PARAM;
        find.lParam = LPARAM(g);
        int row =
            int(SendMessageW(list, LVM_FINDITEMW, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
        // A row the filter left out keeps its marks true for the next build.
        bool remarked = UpdateMarks(g);
        if (row < 0) continue;
        if (remarked) SendMessageW(list, LVM_REDRAWITEMS, row, row);
        for (int slot = 0; slot < COLUMN_SLOT_COUNT; ++slot) {
            if (!(changed & Bit(ColumnSlotIndex(slot)))) continue;
            LVITEMW item = {};
            item.iSubItem = ColumnSlots[slot];
            item.pszText = const_cast<wchar_t*>(CachedCellText(ColumnSlotIndex(slot), g, text));
            SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
            InterlockedIncrement(&g_pollStats.cells);
            Highlight(g, slot);
        }
    }
    g_changedRowCount = 0;
    SetEvent(g_batchDone);
}

LRESULT CALLBACK UpdateProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_APPLY_CHANGES: ApplyChanges(g_updateList, LONG(wParam)); return 0;
    case WM_TIMER: EndHighlights(g_updateList); return 0;
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
    default: return nullptr;
    }
}

void InstallCellUpdates(HWND list) {
    // A pass cut short by a stop leaves nothing behind for the next list.
    for (uint16_t& cell : g_changed)
        cell = 0;
    g_changedRowCount = 0;
    g_pendingBatch = 0;
    ClearHighlights();
    if (!g_batchDone) g_batchDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!IsWindow(g_updateWindow) ||
        GetWindowThreadProcessId(g_updateWindow, nullptr) != GetCurrentThreadId())
        g_updateWindow = CreateUpdateWindow();
    g_updateList = list;
}

bool CellHighlighted(uint32_t gpio, int slot) {
    return gpio < ROW_CACHE_ENTRIES && slot >= 0 && slot < COLUMN_SLOT_COUNT &&
           g_changedAt[gpio][slot] != 0;
}

COLORREF ChangedCellColor() {
    // The selection colour thinned with the window's: the window's text stays readable on it in
    // light and in high-contrast schemes, and it differs from a selected row.
    COLORREF tint = GetSysColor(COLOR_HIGHLIGHT), window = GetSysColor(COLOR_WINDOW);
    auto mix = [](int a, int b) { return (a * 3 + b * 7) / 10; };
    return RGB(mix(GetRValue(tint), GetRValue(window)), mix(GetGValue(tint), GetGValue(window)),
               mix(GetBValue(tint), GetBValue(window)));
}

LRESULT CustomDrawGpioList(NMLVCUSTOMDRAW* draw) {
    // The row's own colours (selected or not), for the cells that are not highlighted.
    static COLORREF rowText, rowBack;
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return g_highlighted || ComparisonActive() ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT:
        rowText = draw->clrText;
        rowBack = draw->clrTextBk;
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        uint32_t g = uint32_t(draw->nmcd.lItemlParam);
        int slot = ColumnSlotAt(draw->iSubItem);
        bool lit = CellHighlighted(g, slot);
        if (!lit && CellMarked(g, slot)) return ColorMarkedCell(draw);
        draw->clrText = lit ? GetSysColor(COLOR_WINDOWTEXT) : rowText;
        draw->clrTextBk = lit ? ChangedCellColor() : rowBack;
        return CDRF_NEWFONT;
    }
    case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM: DrawCellMark(draw); return CDRF_DODEFAULT;
    default: return CDRF_DODEFAULT;
    }
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
    g_pollStopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_pollThread = CreateThread(nullptr, 0, PollThread, list, 0, nullptr);
    return 1;
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
