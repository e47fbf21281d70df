#include "tests/test_support.h"
#include "gpiolib/frame.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <cstdio>
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

int ThreadsOfThisProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
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

std::wstring BuildFolder() {
    return FolderFromEnvironment(L"VELMORA_TEST_BIN");
}
std::wstring SourceFolder() {
    return FolderFromEnvironment(L"VELMORA_TEST_SRC");
}

namespace {

// Environment block of this process plus the given variables (later ones override).
std::vector<wchar_t> EnvironmentWith(const std::vector<std::wstring>& extra) {
    std::vector<std::wstring> entries;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* p = block; *p; p += wcslen(p) + 1)
        entries.push_back(p);
    FreeEnvironmentStringsW(block);
    for (const std::wstring& add : extra) {
        std::wstring name = add.substr(0, add.find(L'=') + 1);
        for (auto it = entries.begin(); it != entries.end();) {
            if (_wcsnicmp(it->c_str(), name.c_str(), name.size()) == 0)
                it = entries.erase(it);
            else
                ++it;
        }
        entries.push_back(add);
    }
    std::vector<wchar_t> result;
    for (const std::wstring& entry : entries) {
        result.insert(result.end(), entry.begin(), entry.end());
        result.push_back(0);
    }
    result.push_back(0);
    return result;
}

} // namespace

namespace {

// Collects what a pipe delivers on a thread of its own, so that a chatty child never blocks on
// a full pipe.
struct PipeReader {
    HANDLE pipe;
    std::string text;
    HANDLE thread;
    explicit PipeReader(HANDLE readEnd) : pipe(readEnd) {
        thread = CreateThread(
            nullptr, 0,
            [](void* p) -> DWORD {
                auto* r = static_cast<PipeReader*>(p);
                char buffer[4096];
                DWORD got;
                while (ReadFile(r->pipe, buffer, sizeof buffer, &got, nullptr) && got)
                    r->text.append(buffer, got);
                return 0;
            },
            this, 0, nullptr);
    }
    std::string Finish() {
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
        CloseHandle(pipe);
        return text;
    }
};

} // namespace

ChildResult RunChild(const std::wstring& commandLine, const std::vector<std::wstring>& environment,
                     DWORD timeoutMs, bool errorsApart) {
    ChildResult result = {-1, "", ""};
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd, writeEnd, errorRead = nullptr, errorWrite = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return result;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    if (errorsApart) {
        CreatePipe(&errorRead, &errorWrite, &inherit, 0);
        SetHandleInformation(errorRead, HANDLE_FLAG_INHERIT, 0);
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = errorsApart ? errorWrite : writeEnd;
    std::vector<wchar_t> env = EnvironmentWith(environment);
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    PROCESS_INFORMATION process;
    BOOL started = FALSE;
    DWORD error = 0;
    // Wine now and then refuses to start a process with an internal error while many others
    // start in the same prefix; that says nothing about the program under test.
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        started =
            CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                           env.data(), nullptr, &startup, &process);
        error = started ? 0 : GetLastError();
        if (!started && error != ERROR_INTERNAL_ERROR) break;
    }
    CloseHandle(writeEnd);
    if (errorWrite) CloseHandle(errorWrite);
    PipeReader out(readEnd);
    PipeReader* errors = errorRead ? new PipeReader(errorRead) : nullptr;
    if (!started) {
        out.Finish();
        if (errors) errors->Finish();
        delete errors;
        result.output = "cannot start the program: error " + std::to_string(error);
        return result;
    }
    bool ended = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
    if (ended) {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.exitCode = int(code);
    } else {
        TerminateProcess(process.hProcess, 99);
    }
    result.output = out.Finish();
    if (errors) result.errors = errors->Finish();
    delete errors;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    if (!ended) result.output += "\n(did not end in time; terminated)";
    return result;
}

bool StartQuietly(const std::wstring& commandLine, PROCESS_INFORMATION* process) {
    std::vector<wchar_t> command(commandLine.begin(), commandLine.end());
    command.push_back(0);
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE nul =
        CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                  nullptr, &startup, process);
    CloseHandle(nul);
    return started;
}

std::string FileBytes(const std::wstring& path) {
    std::string bytes;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return "(no file)";
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;)
        bytes.append(buffer, n);
    fclose(f);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    FILE* f = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(f, nullptr) << "cannot write a test file";
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

std::wstring TempPath(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"velmora-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
}

std::wstring ThisProgram() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::vector<Fields> ReadFacts(const char* file) {
    std::wstring path = SourceFolder() + L"\\tests\\data\\pinfunc\\";
    for (const char* c = file; *c; ++c)
        path += static_cast<wchar_t>(*c);
    std::vector<Fields> rows;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) {
        ADD_FAILURE() << "cannot open " << file;
        return rows;
    }
    char line[512];
    bool header = true;
    while (fgets(line, sizeof line, f)) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        if (header || text.empty()) {
            header = false;
            continue;
        }
        Fields fields;
        size_t start = 0;
        for (size_t tab; (tab = text.find('\t', start)) != std::string::npos; start = tab + 1)
            fields.push_back(text.substr(start, tab - start));
        fields.push_back(text.substr(start));
        rows.push_back(fields);
    }
    fclose(f);
    EXPECT_FALSE(rows.empty()) << file;
    return rows;
}

ChildResult Gpiosim(const char* module, const std::wstring& arguments) {
    wchar_t value[64];
    wsprintfW(value, L"VELMORA_SIM_MODULE=%S", module);
    return RunChild(L"\"" + BuildFolder() + L"\\gpiosim.exe\" " + arguments, {value});
}
