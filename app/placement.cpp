// Where the main window opens: where it was at the last close, if that still makes sense.
//
// The stored rectangle is the window's normal one (also when it was closed maximised or
// minimised), in the coordinates of GetWindowPlacement. It is used only when it lies wholly on
// a monitor that exists now and is at least the window's smallest size; anything else opens
// the window where the dialog puts it.
#include "app/dialog.h"

#include <cstdint>

WindowPlacementValues g_windowPlacement;

namespace {

bool Usable(const WindowPlacementValues& stored, SIZE smallest, RECT* rect) {
    if (!stored.known || stored.width < smallest.cx || stored.height < smallest.cy) return false;
    int64_t right = int64_t(stored.left) + stored.width;
    int64_t bottom = int64_t(stored.top) + stored.height;
    if (right > INT32_MAX || bottom > INT32_MAX) return false;
    *rect = {stored.left, stored.top, LONG(right), LONG(bottom)};
    HMONITOR monitor = MonitorFromRect(rect, MONITOR_DEFAULTTONULL);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoW(monitor, &info)) return false;
    RECT inside;
    return IntersectRect(&inside, rect, &info.rcMonitor) && EqualRect(&inside, rect);
}

} // namespace

void ApplyStoredPlacement(HWND dialog) {
    RECT rect;
    if (!Usable(g_windowPlacement, SmallestWindow(), &rect)) return;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(dialog, &placement);
    placement.rcNormalPosition = rect;
    // Still hidden: the dialog shows itself when it is ready; a maximised one shows now.
    placement.showCmd = g_windowPlacement.maximised ? SW_SHOWMAXIMIZED : SW_HIDE;
    SetWindowPlacement(dialog, &placement);
}

void RememberPlacement(HWND dialog) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(dialog, &placement)) return;
    const RECT& r = placement.rcNormalPosition;
    g_windowPlacement.known = true;
    g_windowPlacement.left = r.left;
    g_windowPlacement.top = r.top;
    g_windowPlacement.width = r.right - r.left;
    g_windowPlacement.height = r.bottom - r.top;
    g_windowPlacement.maximised =
        placement.showCmd == SW_SHOWMAXIMIZED ||
        (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED));
}
