// RebuildThreads: every change of the list's shape, and the close, on a short-lived thread.
//
// The thread stops the refresh thread (which may be waiting for the dialog's thread, so the
// dialog's thread must not be the one waiting), has the dialog's thread rebuild the list with
// one message, and starts a new refresh thread. The build itself runs on the dialog's thread:
// there its list-view messages cost a fraction of what they cost sent from another thread, and
// no header click or popup can run in the middle of it.
//
// Requests are queued in the order the dialog makes them; each thread carries out the oldest
// queued request while holding the cycle lock, so requests never overlap, are never dropped
// and run in order. Requests made after the close request are not carried out: the dialog has
// ended by then (until a new dialog begins).
#include "app/dialog.h"
#include "table/table.h"

#include <deque>

namespace {

CRITICAL_SECTION g_queueLock; // guards g_queue
CRITICAL_SECTION g_cycleLock; // held for one whole stop-build-start cycle
// Never destroyed: a RebuildThread of a second close may still take its request while the
// process ends.
std::deque<int>& g_queue = *new std::deque<int>;
volatile LONG g_pending; // requests made and not yet finished
bool g_closed;

void InitLocks() {
    static bool done = [] {
        InitializeCriticalSection(&g_queueLock);
        InitializeCriticalSection(&g_cycleLock);
        return true;
    }();
    (void)done;
}

int TakeOldestRequest() {
    EnterCriticalSection(&g_queueLock);
    int parameter = g_queue.front();
    g_queue.pop_front();
    LeaveCriticalSection(&g_queueLock);
    return parameter;
}

void CarryOut(int parameter) {
    if (g_closed) return;
    HWND list = GetDlgItem(g_dialog, IDC_GPIOLIST);
    StopPollThread();
    if (parameter == REBUILD_CLOSE) {
        g_closed = true;
        SendMessageW(g_dialog, WM_APP_END_DIALOG, 0, 0);
        return;
    }
    SendMessageW(g_dialog, WM_APP_REBUILD_LIST, WPARAM(parameter), 0);
    StartPollThread(list);
}

DWORD WINAPI RebuildThread(void*) {
    EnterCriticalSection(&g_cycleLock);
    CarryOut(TakeOldestRequest());
    LeaveCriticalSection(&g_cycleLock);
    InterlockedDecrement(&g_pending);
    return 1;
}

} // namespace

void RequestRebuild(int parameter) {
    InitLocks();
    InterlockedIncrement(&g_pending);
    EnterCriticalSection(&g_queueLock);
    g_queue.push_back(parameter);
    LeaveCriticalSection(&g_queueLock);
    HANDLE thread = CreateThread(nullptr, 0, RebuildThread, nullptr, 0, nullptr);
    if (thread) {
        CloseHandle(thread);
        return;
    }
    // No thread, no cycle: withdraw the request again (the newest one is this one).
    EnterCriticalSection(&g_queueLock);
    g_queue.pop_back();
    LeaveCriticalSection(&g_queueLock);
    InterlockedDecrement(&g_pending);
}

void BeginRebuilds() {
    g_closed = false;
}

bool RebuildPending() {
    return g_pending != 0;
}
