// What the list build and the refresh have done: counters for the benchmarks and the tests.
#pragma once
#include <windows.h>

struct PollStats {
    volatile LONG passes;      // passes completed
    volatile LONG batches;     // passes that changed cells
    volatile LONG lastPassUs;  // duration of the last pass, microseconds
    volatile LONG builds;      // list builds completed
    volatile LONG wokenPasses; // passes run at once on a wake, not at the end of a wait
    volatile LONG pausedWaits; // waits begun with the refresh paused
};
extern PollStats g_pollStats;
