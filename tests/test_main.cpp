// Test entry: every test process gets a simulated module and a flash store of its own, so
// that parallel tests never see each other's registers or saved blocks.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

wchar_t g_storeDir[MAX_PATH];

void SetIfUnset(const wchar_t* name, const wchar_t* value) {
    if (GetEnvironmentVariableW(name, nullptr, 0) == 0) SetEnvironmentVariableW(name, value);
}

void RemoveStore() {
    wchar_t pattern[MAX_PATH + 4];
    wsprintfW(pattern, L"%s\\*", g_storeDir);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            wchar_t file[MAX_PATH * 2];
            wsprintfW(file, L"%s\\%s", g_storeDir, found.cFileName);
            DeleteFileW(file);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(g_storeDir);
}

} // namespace

int main(int argc, char** argv) {
    // Programs a test starts (the tool, gpiosim, Wine's own helpers they start in turn) must not
    // hold this process's output open after it ends: CTest waits for that output to close.
    for (DWORD id : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
        SetHandleInformation(GetStdHandle(id), HANDLE_FLAG_INHERIT, 0);
    // Wine hands a new process the id of one that just ended, while programs that process
    // started may still hold its module: the clock makes the name this process's alone.
    wchar_t instance[32];
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    wsprintfW(instance, L"test%lu-%lx", GetCurrentProcessId(), DWORD(now.QuadPart));
    SetIfUnset(L"VELMORA_SIM_INSTANCE", instance);
    SetIfUnset(L"VELMORA_SIM_STIMULUS", L"off");
    if (GetEnvironmentVariableW(L"VELMORA_SIM_STORE_DIR", nullptr, 0) == 0) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        wsprintfW(g_storeDir, L"%svelmora-%s", temp, instance);
        CreateDirectoryW(g_storeDir, nullptr);
        SetEnvironmentVariableW(L"VELMORA_SIM_STORE_DIR", g_storeDir);
    }
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    if (g_storeDir[0]) RemoveStore();
    return result;
}
