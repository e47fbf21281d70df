// Benchmarks: clocks, statistics and the result lines that scripts/bench.sh collects.
//
// The benchmark programs are GoogleTest programs so that they share the tests' harness (the
// tool's start-up state, a real list view, the real tool driven across processes); their
// checks only make sure the harness measured what it says. They are not tests: CTest never
// runs them, and no time is asserted.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// High-resolution clock, milliseconds.
double NowMs();

double Median(std::vector<double> values);
// The p-th percentile (0..100), nearest rank.
double Percentile(std::vector<double> values, double p);

// One row of the results table: the value measured in each run and, where there is one, the
// floor the platform sets, measured in each run the same way. The figure is the median of the
// runs, the spread their range.
struct Figure {
    std::string id;   // "2a": figure number and row, the table's order
    std::string name; // what is measured
    std::string unit; // "ms", "%", "messages", "KiB", "handles"
    std::vector<double> runs;
    std::vector<double> floorRuns; // empty: no floor
    // The goal: "ratio<=X" (median over floor), "value<=X" (the median itself) or
    // "growth<=X" (median minus floor).
    std::string goal;
    std::string note; // how it was measured, in a few words
};
// Prints the figure as one line "RESULT {json}" on stdout.
void Report(const Figure& figure);

// The benchmark's parameters from the environment (VELMORA_BENCH_<name>), or the default.
int BenchSetting(const char* name, int fallback);

// Every list column stored as shown, for the tool started next in this prefix.
void ShowEveryColumnWhenTheToolStarts();
