// Helpers shared by the test suites.
#pragma once
#include "sim/sim.h"

#include <windows.h>
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

// Rows of a tab-separated file of tests/data/pinfunc, header line skipped; a test failure and
// no rows when it cannot be read.
typedef std::vector<std::string> Fields;
std::vector<Fields> ReadFacts(const char* file);

// Runs a program to its end (at most timeoutMs) with extra environment variables
// ("NAME=value", added to this process's environment) and returns its exit code, or -1 when it
// could not start or did not end in time (it is then terminated). stderr text is collected.
struct ChildResult {
    int exitCode;
    std::string output; // stdout and stderr together, or stdout alone when errors are apart
    std::string errors; // stderr, when asked to keep it apart
};
ChildResult RunChild(const std::wstring& commandLine, const std::vector<std::wstring>& environment,
                     DWORD timeoutMs = 20000, bool errorsApart = false);
// gpiosim.exe with the arguments, on the module of that name.
ChildResult Gpiosim(const char* module, const std::wstring& arguments);
inline bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// A file's bytes ("(no file)" when it cannot be opened), and a file written with these bytes.
std::string FileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// A path in the temporary folder that no other test process uses.
std::wstring TempPath(const wchar_t* name);
// Threads this process has now.
int ThreadsOfThisProcess();

// The path of this test program, for tests that run a part of themselves in a child process.
std::wstring ThisProgram();

// Starts a program with its standard handles on NUL. A program may start Wine's desktop
// process, which outlives it: neither may hold this test's output open (CTest waits for it to
// close).
bool StartQuietly(const std::wstring& commandLine, PROCESS_INFORMATION* process);

// The tool itself, started on a simulated module; terminated if still running at the end.
struct Tool {
    PROCESS_INFORMATION process = {};
    bool started = false;

    explicit Tool(const char* module) {
        wchar_t value[32];
        wsprintfW(value, L"%S", module);
        SetEnvironmentVariableW(L"VELMORA_SIM_MODULE", value);
        started = StartQuietly(L"\"" + BuildFolder() + L"\\gpioconfig.exe\"", &process);
        SetEnvironmentVariableW(L"VELMORA_SIM_MODULE", nullptr);
    }

    ~Tool() {
        if (!started) return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }

    // A visible top-level window of the tool with this title.
    HWND Window(const wchar_t* title, DWORD timeoutMs = 15000) {
        struct Search {
            DWORD pid;
            const wchar_t* title;
            HWND found;
        } search = {process.dwProcessId, title, nullptr};
        for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
            EnumWindows(
                [](HWND window, LPARAM p) -> BOOL {
                    auto* s = reinterpret_cast<Search*>(p);
                    DWORD pid = 0;
                    GetWindowThreadProcessId(window, &pid);
                    wchar_t text[128];
                    if (pid == s->pid && IsWindowVisible(window) &&
                        GetWindowTextW(window, text, 128) && wcscmp(text, s->title) == 0) {
                        s->found = window;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            if (search.found) return search.found;
            if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
        }
        return nullptr;
    }

    int ExitCode(DWORD timeoutMs = 15000) {
        if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        return int(code);
    }
};
