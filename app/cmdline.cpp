// The command line: the same tool without a window, for scripts and production lines. Output
// goes to the standard handles the program was given, or else to the console it was started
// from; errors to the error handle. Exit codes: 0 done, 1 refused, 2 not understood.
#include "app/app.h"
#include "app/bootcfg.h"
#include "app/files.h"
#include "files/settingsfile.h"
#include "files/wholefile.h"
#include "gpiolib/gpiolib.h"
#include "platform/kernel_ioctl.h"

#include <shellapi.h>
#include <string>
#include <vector>

namespace {

enum ExitCode { DONE = 0, REFUSED = 1, USAGE = 2 };

const wchar_t kUsage[] =
    L"usage: gpioconfig                       opens the window\r\n"
    L"       gpioconfig --dump [--bootup]      the table as \"Copy table\" gives it, with every\r\n"
    L"                                         column the processor has (but the sampled\r\n"
    L"                                         Edges and Activity)\r\n"
    L"       gpioconfig --export FILE [--bootup]\r\n"
    L"                                         the module's settings into FILE\r\n"
    L"       gpioconfig --import FILE [--bootup [--save]]\r\n"
    L"                                         FILE's settings into the module's pins\r\n"
    L"       gpioconfig --diff FILE [--bootup] the settings that differ from FILE, one per "
    L"line:\r\n"
    L"                                         GPIO, setting, the module's value, the file's\r\n"
    L"       gpioconfig --record SECONDS FILE [--rate HZ]\r\n"
    L"                                         every GPIO's level sampled for SECONDS (1 to\r\n"
    L"                                         3600) at HZ (1 to 2000; 1000 when not given),\r\n"
    L"                                         written to FILE as a Value Change Dump\r\n"
    L"       gpioconfig --help                 this text\r\n"
    L"--bootup works on the boot-up settings the module keeps in flash instead of its pins (PXA\r\n"
    L"modules); with --import, --save stores them in flash (without it nothing is stored).\r\n"
    L"Exit codes: 0 done (--diff: nothing differs); 1 refused (not a Velmora module, an unknown\r\n"
    L"processor, a file that does not fit, a setting the module did not take, a flash request\r\n"
    L"refused; --diff: settings differ); 2 the command line is not understood.\r\n";

struct Stream {
    HANDLE handle;
    bool console;
};
Stream g_out, g_err;

Stream StandardStream(DWORD id) {
    HANDLE handle = GetStdHandle(id);
    if (!handle || handle == INVALID_HANDLE_VALUE || GetFileType(handle) == FILE_TYPE_UNKNOWN)
        return {nullptr, false};
    DWORD mode;
    return {handle, GetConsoleMode(handle, &mode) != 0};
}

// Handles given by the starter (a file, a pipe, a console) come first; a program started from
// a console without them writes to that console.
void OpenStreams() {
    g_out = StandardStream(STD_OUTPUT_HANDLE);
    g_err = StandardStream(STD_ERROR_HANDLE);
    if (g_out.handle && g_err.handle) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) return;
    HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return;
    if (!g_out.handle) g_out = {console, true};
    if (!g_err.handle) g_err = {console, true};
}

void Write(const Stream& stream, const std::wstring& text) {
    if (!stream.handle || text.empty()) return;
    DWORD done;
    if (stream.console) {
        WriteConsoleW(stream.handle, text.c_str(), DWORD(text.size()), &done, nullptr);
        return;
    }
    std::string bytes = Utf8(text);
    WriteFile(stream.handle, bytes.data(), DWORD(bytes.size()), &done, nullptr);
}

void Say(const std::wstring& line) {
    Write(g_out, line + L"\r\n");
}

int Refuse(const std::wstring& reason) {
    Write(g_err, L"gpioconfig: " + reason + L"\r\n");
    return REFUSED;
}

int Usage(const std::wstring& problem) {
    Write(g_err, L"gpioconfig: " + problem + L" (gpioconfig --help shows the usage)\r\n");
    return USAGE;
}

struct Request {
    std::wstring command; // "--dump", "--export", "--import", "--diff", "--record", "--help"
    std::wstring file;
    bool bootup = false;
    bool save = false;
    DWORD seconds = 0; // --record
    int hertz = 1000;  // --record --rate
};

constexpr DWORD kMaxRecordSeconds = 3600;
constexpr int kMaxRecordHertz = 2000;

// A whole decimal number from 1 to `most`, or 0.
DWORD Count(const std::wstring& text, DWORD most) {
    if (text.empty() || text.size() > 9) return 0;
    DWORD value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return 0;
        value = value * 10 + DWORD(c - L'0');
    }
    return value <= most ? value : 0;
}

std::wstring ParseRecord(const std::vector<std::wstring>& args, Request* request) {
    request->command = L"--record";
    if (args.size() < 3 || args[2].rfind(L"--", 0) == 0)
        return L"--record takes SECONDS and a FILE";
    request->seconds = Count(args[1], kMaxRecordSeconds);
    if (!request->seconds) return L"--record: SECONDS is a whole number from 1 to 3600";
    request->file = args[2];
    for (size_t next = 3; next < args.size(); next += 2) {
        if (args[next] != L"--rate") return L"unknown option '" + args[next] + L"' for --record";
        if (next + 1 >= args.size()) return L"--rate takes HZ";
        request->hertz = int(Count(args[next + 1], kMaxRecordHertz));
        if (!request->hertz) return L"--rate: HZ is a whole number from 1 to 2000";
    }
    return L"";
}

bool TakesFile(const std::wstring& command) {
    return command == L"--export" || command == L"--import" || command == L"--diff";
}

// The request, or the usage problem (empty when understood).
std::wstring Parse(const std::vector<std::wstring>& args, Request* request) {
    const std::wstring& command = args[0];
    if (command == L"--help" || command == L"-h" || command == L"/?") {
        if (args.size() > 1) return L"--help takes nothing more";
        request->command = L"--help";
        return L"";
    }
    if (command == L"--record") return ParseRecord(args, request);
    if (command != L"--dump" && !TakesFile(command)) return L"unknown command '" + command + L"'";
    request->command = command;
    size_t next = 1;
    if (TakesFile(command)) {
        if (args.size() < 2 || args[1].rfind(L"--", 0) == 0) return command + L" takes a FILE";
        request->file = args[1];
        next = 2;
    }
    for (; next < args.size(); ++next) {
        bool* flag = args[next] == L"--bootup"                           ? &request->bootup
                     : args[next] == L"--save" && command == L"--import" ? &request->save
                                                                         : nullptr;
        if (!flag) return L"unknown option '" + args[next] + L"' for " + command;
        if (*flag) return args[next] + L" comes twice";
        *flag = true;
    }
    if (request->save && !request->bootup)
        return L"--save stores the boot-up settings: it goes with --import and --bootup";
    return L"";
}

unsigned ModeFields() {
    return SettingFieldsOf(ProcessorId, SettingsMode);
}

Configuration g_module, g_file;
ImportPlan g_plan;

int Export(const Request& r) {
    std::wstring problem;
    ReadSettings(&g_module, SettingsMode);
    if (!WriteSettingsFile(r.file.c_str(), g_module, &problem))
        return Refuse(L"cannot write " + r.file + L": " + problem +
                      L"; nothing was written (a file of that name keeps what it held)");
    Say(std::wstring(L"Exported the ") + SettingsModeName(SettingsMode) + L" of the " +
        ProcessorName(ProcessorId) + L" (" + std::to_wstring(SettingGpioCount(ProcessorId)) +
        L" GPIOs) to " + r.file);
    return DONE;
}

bool LoadFile(const Request& r, std::wstring* problem) {
    return ReadSettingsFile(r.file.c_str(), &g_file, problem);
}

int Import(const Request& r) {
    std::wstring problem;
    if (!LoadFile(r, &problem) || !CheckImportable(g_file, &problem))
        return Refuse(r.file + L": " + problem + L"; nothing was changed");
    PlanImport(g_file, &g_plan);
    std::wstring report;
    if (!ApplyImport(g_file, g_plan, &report)) {
        for (size_t at; (at = report.find(L"\r\n")) != std::wstring::npos;)
            report.replace(at, 2, L" ");
        return Refuse(report);
    }
    std::wstring done =
        g_plan.settings
            ? L"Applied " + std::to_wstring(g_plan.settings) +
                  (g_plan.settings == 1 ? L" change to " : L" changes to ") +
                  std::to_wstring(g_plan.pins) + (g_plan.pins == 1 ? L" pin" : L" pins") +
                  (r.bootup ? L" of the Boot-up Settings" : L"")
            : std::wstring(L"Nothing to change: the ") + SettingsModeName(SettingsMode) +
                  L" already hold every setting of " + r.file;
    if (r.save) {
        CopyImageToBlock();
        if (!SaveBootConfig(uint32_t(BOOT_BLOCK_GPIO), BootConfigBlock, BOOT_CONFIG_BYTES))
            return Refuse(L"the platform refused to store the Boot-up Settings; the flash keeps "
                          L"what it held");
        done += L"; the Boot-up Settings are stored in flash";
    } else if (r.bootup) {
        done += L"; nothing stored (--save stores the Boot-up Settings in flash)";
    }
    Say(done);
    return DONE;
}

int Diff(const Request& r) {
    std::wstring problem;
    if (!LoadFile(r, &problem)) return Refuse(r.file + L": " + problem);
    unsigned held = 0;
    for (uint8_t fields : g_file.fields)
        held |= fields;
    for (int f = 0; f < SETTING_FIELD_COUNT; ++f)
        if (held & ~ModeFields() & FieldBit(f))
            Write(g_err, L"gpioconfig: not compared: " + std::wstring(SettingName(f)) +
                             L" (no setting of the " + SettingsModeName(SettingsMode) + L")\r\n");
    // What an import would change is what differs.
    PlanImport(g_file, &g_plan);
    std::wstring lines;
    wchar_t own[16], theirs[16], name[8];
    for (uint32_t g = 0; g < ROW_CACHE_ENTRIES; ++g) {
        unsigned differing = g_plan.changes[g];
        if (!differing) continue;
        GpioSettings now = ReadGpioSettings(g, differing);
        GpioName(g, name);
        for (int f = 0; f < SETTING_FIELD_COUNT; ++f)
            if (differing & FieldBit(f))
                lines += std::wstring(name) + L"\t" + SettingName(f) + L"\t" +
                         SettingText(f, now.value[f], own) + L"\t" +
                         SettingText(f, g_file.gpio[g].value[f], theirs) + L"\r\n";
    }
    Write(g_out, lines);
    return lines.empty() ? DONE : REFUSED;
}

int Record(const Request& r) {
    std::wstring problem;
    if (!RecordActivity(r.seconds, r.hertz, r.file.c_str(), &problem))
        return Refuse(L"cannot write " + r.file + L": " + problem);
    Say(L"Recorded " + std::to_wstring(r.seconds) + L" s of every GPIO of the " +
        ProcessorName(ProcessorId) + L" at " + std::to_wstring(r.hertz) + L" Hz to " + r.file);
    return DONE;
}

int Run(const Request& r) {
    if (!IdentifyModule([](const wchar_t* text) { Refuse(text); })) return REFUSED;
    EvalbRevID = BoardShownFor(EvalbRevID);
    if (r.bootup) {
        if (!SettingFieldsOf(ProcessorId, SETTINGS_BOOTUP))
            return Refuse(std::wstring(L"the ") + ProcessorName(ProcessorId) +
                          L" has no Boot-up Settings");
        LoadBootConfig(true);
        SettingsMode = SETTINGS_BOOTUP;
        SyncGpioLibWithSettingsMode();
    }
    if (r.command == L"--dump") {
        Write(g_out, GpioTableTextOfEveryColumn());
        return DONE;
    }
    if (r.command == L"--record") return Record(r);
    if (r.command == L"--export") return Export(r);
    if (r.command == L"--import") return Import(r);
    return Diff(r);
}

} // namespace

bool RunCommandLine(HINSTANCE, const wchar_t* commandLine, int* exitCode) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(commandLine, &argc);
    if (!argv || argc < 2) {
        if (argv) LocalFree(argv);
        return false;
    }
    std::vector<std::wstring> args(argv + 1, argv + argc);
    LocalFree(argv);
    OpenStreams();
    Request request;
    std::wstring problem = Parse(args, &request);
    if (!problem.empty())
        *exitCode = Usage(problem);
    else if (request.command == L"--help")
        *exitCode = (Write(g_out, kUsage), DONE);
    else
        *exitCode = Run(request);
    return true;
}
