// The tool's private window messages, numbered in one place so that no two share a number.
#pragma once
#include <windows.h>

enum PrivateMessages : UINT {
    // To the dialog, from a RebuildThread: wParam REBUILD_LIST or a "Columns" position.
    WM_APP_REBUILD_LIST = WM_APP + 1,
    WM_APP_END_DIALOG, // to the dialog, from the RebuildThread that closes it
    // To the table's update window, from the refresh thread: cells changed, a frame is wanted.
    WM_APP_FRAME,
};
