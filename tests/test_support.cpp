#include "tests/test_support.h"
#include "gpiolib/gpiolib.h"

#include <windows.h>
#include <mutex>

namespace {

std::mutex g_linesLock;
std::vector<std::wstring> g_lines;

void Collect(const wchar_t* line) {
    std::lock_guard<std::mutex> lock(g_linesLock);
    g_lines.push_back(line);
}

} // namespace

DebugCapture::DebugCapture() {
    Clear();
    SimSetDebugHook(Collect);
}

DebugCapture::~DebugCapture() {
    SimSetDebugHook(nullptr);
}

std::vector<std::wstring> DebugCapture::Lines() const {
    std::lock_guard<std::mutex> lock(g_linesLock);
    return g_lines;
}

std::wstring DebugCapture::Text() const {
    std::wstring text;
    for (const std::wstring& line : Lines())
        text += line;
    return text;
}

void DebugCapture::Clear() {
    std::lock_guard<std::mutex> lock(g_linesLock);
    g_lines.clear();
}

void UseModule(SimModule module) {
    DeInitGPIOLib();
    g_gpioLib = GpioLibState{};
    SimSelectModule(module);
    SimResetModule();
}

namespace {

std::wstring FolderFromEnvironment(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(name, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return L".";
    // The variable holds a Unix path; Wine maps / to drive Z:.
    std::wstring folder = path;
    if (!folder.empty() && folder[0] == L'/') folder = L"Z:" + folder;
    return folder;
}

} // namespace

std::wstring BuildFolder() { return FolderFromEnvironment(L"VELMORA_TEST_BIN"); }
std::wstring SourceFolder() { return FolderFromEnvironment(L"VELMORA_TEST_SRC"); }
