// Helpers shared by the test suites.
#pragma once
#include "sim/sim.h"

#include <string>
#include <vector>

// Collects the debug-output lines written while it lives.
struct DebugCapture {
    DebugCapture();
    ~DebugCapture();
    std::vector<std::wstring> Lines() const;
    std::wstring Text() const; // all lines, concatenated
    void Clear();
};

// Selects a simulated module at its power-on state and forgets every GPIOLib state, as a
// fresh process would have it.
void UseModule(SimModule module);

// Folder of the build (VELMORA_TEST_BIN), for tests that start the tool's programs.
std::wstring BuildFolder();
// Folder of the sources (VELMORA_TEST_SRC), for test data files.
std::wstring SourceFolder();

// Runs a program to its end (at most timeoutMs) with extra environment variables
// ("NAME=value", added to this process's environment) and returns its exit code, or -1 when it
// could not start or did not end in time (it is then terminated). stderr text is collected.
struct ChildResult {
    int exitCode;
    std::string output; // stdout and stderr together
};
ChildResult RunChild(const std::wstring& commandLine, const std::vector<std::wstring>& environment,
                     DWORD timeoutMs = 20000);
// The path of this test program, for tests that run a part of themselves in a child process.
std::wstring ThisProgram();
