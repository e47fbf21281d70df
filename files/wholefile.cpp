// Files written whole or not at all.
#include "files/wholefile.h"

std::wstring SystemText(DWORD error) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result = text ? text : L"";
    if (text) LocalFree(text);
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' ||
                               result.back() == L' ' || result.back() == L'.'))
        result.pop_back();
    if (result.empty()) result = L"system error " + std::to_wstring(error);
    return result;
}

std::string Utf8(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string out(size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), out.data(), n, nullptr,
                            nullptr);
    return out;
}

bool WriteWholeFile(const wchar_t* path, const std::string& bytes, std::wstring* problem) {
    wchar_t full[MAX_PATH], *name = nullptr;
    DWORD n = GetFullPathNameW(path, MAX_PATH, full, &name);
    if (n == 0 || n >= MAX_PATH || !name) {
        *problem = L"not a file name";
        return false;
    }
    std::wstring folder(full, size_t(name - full));
    wchar_t temp[MAX_PATH];
    if (!GetTempFileNameW(folder.c_str(), L"gpc", 0, temp)) {
        *problem = SystemText(GetLastError());
        return false;
    }
    HANDLE file =
        CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    // A disk that fills up may take part of a write, then nothing: written until all is taken.
    for (size_t done = 0; !error && done < bytes.size();) {
        DWORD written = 0;
        SetLastError(0);
        if (!WriteFile(file, bytes.data() + done, DWORD(bytes.size() - done), &written, nullptr) ||
            written == 0)
            error = GetLastError() ? GetLastError() : ERROR_DISK_FULL;
        done += written;
    }
    if (!error && !FlushFileBuffers(file)) error = GetLastError();
    if (file != INVALID_HANDLE_VALUE && !CloseHandle(file) && !error) error = GetLastError();
    if (!error && !MoveFileExW(temp, full, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (!error) return true;
    DeleteFileW(temp);
    *problem = SystemText(error);
    return false;
}
