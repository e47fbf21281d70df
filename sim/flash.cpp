// Boot configuration block kept in a file under the user's local application data folder.
// A save writes a temporary file and renames it over the old one, so that a crash at any point
// leaves either the old block or the new one.
#include "sim/flash.h"
#include "platform/kernel_ioctl.h"
#include "sim/sim_internal.h"

#include <shlobj.h>
#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD kMagic = 0x31424756; // "VGB1"

struct StoreFile {
    DWORD magic;
    BYTE block[BOOT_BLOCK_SIZE];
    DWORD crc;
};

// A store path, the folder, "\\" and the file name, and with it the temporary's ".<pid>.tmp"
// must fit MAX_PATH. The default folder may be longer than that while it is being made.
constexpr int kFolderSize = MAX_PATH + 32;
constexpr int kTempSuffix = 15; // ".4294967295.tmp"

int g_crashStep;
bool g_crashIsIoError;

DWORD Crc32(const BYTE* data, size_t size) {
    DWORD crc = 0xFFFFFFFF;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
    }
    return ~crc;
}

// The local application data folder. shell32 is loaded only here, when a store is first used:
// a program that imports it loads it and what it pulls in at every start, which takes tens of
// milliseconds under Wine.
HRESULT LocalAppData(wchar_t* base) {
    typedef HRESULT(WINAPI * GetFolderPath)(HWND, int, HANDLE, DWORD, LPWSTR);
    HMODULE shell = LoadLibraryW(L"shell32.dll");
    FARPROC found = shell ? GetProcAddress(shell, "SHGetFolderPathW") : nullptr;
    if (!found) return E_FAIL;
    auto get = reinterpret_cast<GetFolderPath>(reinterpret_cast<void*>(found));
    return get(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, base);
}

// The store folder: VELMORA_SIM_STORE_DIR (named), else the default. False when there is none.
bool StoreFolder(wchar_t (&folder)[kFolderSize], bool* named) {
    DWORD n = SimSetting(L"VELMORA_SIM_STORE_DIR", folder, MAX_PATH);
    *named = n != 0;
    // A folder named but too long for a path is an error, not a reason to use the default.
    if (n >= MAX_PATH) {
        SimSettingProblem("VELMORA_SIM_STORE_DIR", nullptr, "nothing is stored");
        return false;
    }
    if (n) return true;
    wchar_t base[MAX_PATH];
    if (FAILED(LocalAppData(base))) return false;
    wsprintfW(folder, L"%s\\Velmora", base);
    CreateDirectoryW(folder, nullptr);
    wsprintfW(folder, L"%s\\Velmora\\GpioConfigSim", base);
    return true;
}

bool WriteAll(HANDLE file, const void* data, DWORD size) {
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

bool IsFolder(const wchar_t* path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Tests: the planted fault of this step, once.
bool Crash(int step) {
    if (g_crashStep != step) return false;
    g_crashStep = 0;
    return true;
}

// Replaces the stored file. Another process reading it at that moment (gpiosim, a second
// tool starting) makes Wine, like Windows without POSIX renames, refuse the replace: it is
// tried again for about a second.
bool Replace(const wchar_t* temp, const wchar_t* path) {
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(temp, path, flags)) return true;
        DWORD error = GetLastError();
        // An empty folder where the block belongs gives way; one with anything in it stays.
        if (IsFolder(path)) return RemoveDirectoryW(path) && MoveFileExW(temp, path, flags);
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || attempt == 50)
            return false;
        Sleep(20);
    }
}

} // namespace

void SimFlashPath(SimModule module, wchar_t* path, DWORD size) {
    path[0] = 0;
    wchar_t folder[kFolderSize], instance[40], name[80];
    bool named;
    if (!StoreFolder(folder, &named) || !SimInstance(instance, 40)) return;
    // One block per module, and per instance as the registers are.
    if (instance[0])
        wsprintfW(name, L"bootcfg-%S.%s.bin", SimModuleDescription(module)->name, instance);
    else
        wsprintfW(name, L"bootcfg-%S.bin", SimModuleDescription(module)->name);
    DWORD length = DWORD(lstrlenW(folder) + 1 + lstrlenW(name));
    if (length + kTempSuffix >= MAX_PATH || length >= size) {
        if (named) SimSettingProblem("VELMORA_SIM_STORE_DIR", nullptr, "nothing is stored");
        return;
    }
    CreateDirectoryW(folder, nullptr);
    wsprintfW(path, L"%s\\%s", folder, name);
}

void SimFlashInjectCrash(int step, bool ioError) {
    g_crashStep = step;
    g_crashIsIoError = ioError;
}

bool SimFlashLoad(SimModule module, BYTE* block) {
    wchar_t path[MAX_PATH];
    SimFlashPath(module, path, MAX_PATH);
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    StoreFile stored;
    DWORD got = 0;
    BOOL ok = ReadFile(file, &stored, sizeof stored, &got, nullptr);
    DWORD size = GetFileSize(file, nullptr);
    CloseHandle(file);
    if (!ok || got != sizeof stored || size != sizeof stored || stored.magic != kMagic ||
        stored.crc != Crc32(stored.block, BOOT_BLOCK_SIZE)) {
        fprintf(stderr, "simulated flash: %ls is damaged; no boot configuration stored\n", path);
        return false;
    }
    memcpy(block, stored.block, BOOT_BLOCK_SIZE);
    return true;
}

bool SimFlashSave(SimModule module, const BYTE* block) {
    wchar_t path[MAX_PATH], temp[MAX_PATH];
    SimFlashPath(module, path, MAX_PATH);
    if (!path[0]) return false;
    wsprintfW(temp, L"%s.%lu.tmp", path, GetCurrentProcessId());

    StoreFile stored;
    stored.magic = kMagic;
    memcpy(stored.block, block, BOOT_BLOCK_SIZE);
    stored.crc = Crc32(stored.block, BOOT_BLOCK_SIZE);

    HANDLE file = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool died = false; // a planted death leaves everything as it is at that step
    auto fault = [&](int step) {
        if (!Crash(step)) return false;
        died = !g_crashIsIoError;
        return true;
    };
    const DWORD half = sizeof stored / 2;
    bool ok = !fault(1) && WriteAll(file, &stored, half) && !fault(2) &&
              WriteAll(file, reinterpret_cast<const BYTE*>(&stored) + half, sizeof stored - half) &&
              !fault(3) && FlushFileBuffers(file);
    CloseHandle(file);
    if (ok && !fault(4) && Replace(temp, path)) return true;
    // A failed save (a full disk, an I/O error) leaves nothing behind.
    if (!died) DeleteFileW(temp);
    return false;
}

bool SimFlashClear(SimModule module) {
    wchar_t path[MAX_PATH];
    SimFlashPath(module, path, MAX_PATH);
    if (!path[0]) return false;
    if (IsFolder(path)) {
        // No block is stored in a folder; an empty one is removed, so the next save can store.
        RemoveDirectoryW(path);
        return true;
    }
    return DeleteFileW(path) || GetLastError() == ERROR_FILE_NOT_FOUND;
}
