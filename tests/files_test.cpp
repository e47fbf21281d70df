// Settings files through the tool's command line, as a script meets them: gpioconfig.exe run
// on the module this test holds, its exit codes and output, the files it writes and what it does
// to the module.
#include "tests/dialog_support.h"
#include "app/bootcfg.h"
#include "files/settingsfile.h"
#include "gpiolib/gpiolib.h"
#include "sim/flash.h"
#include "table/settings.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// A file in this test's own folder, and the same quoted for a command line.
std::wstring PathOf(const wchar_t* name) {
    static std::wstring folder = [] {
        std::wstring f = TempPath(L"files");
        CreateDirectoryW(f.c_str(), nullptr);
        return f;
    }();
    return folder + L"\\" + name;
}
std::wstring Arg(const wchar_t* name) {
    return L"\"" + PathOf(name) + L"\"";
}

// gpioconfig.exe with the arguments on the module; stdout and stderr apart.
ChildResult Cli(const char* module, const std::wstring& arguments) {
    wchar_t value[64];
    wsprintfW(value, L"VELMORA_SIM_MODULE=%S", module);
    return RunChild(L"\"" + BuildFolder() + L"\\gpioconfig.exe\" " + arguments, {value}, 60000,
                    true);
}

// The module's settings as a file would hold them (the test process holds the module).
std::string Settings() {
    static Configuration now;
    ReadSettings(&now, SETTINGS_CURRENT);
    return SettingsFileText(now);
}

std::string Head(const char* processor = "PXA270", const char* source = "Current Settings",
                 const char* fields = "#\tAltFn\tDirection\tLevel\tEdgeDet") {
    return std::string("Velmora GPIO settings\t1\r\nProcessor\t") + processor + "\r\nSource\t" +
           source + "\r\n" + fields + "\r\n";
}

// Changes a direction, a level, a function and the edge detection (PXA) or the pad's tristate
// and pull (Tegra), through GPIOLib, as another tool would.
void ChangeLiveSettings() {
    uint32_t out = PlainInput(20), fn = PlainInput(out + 1), pad = PlainInput(fn + 1);
    SetGPIODir(out, 1);
    SetGPIOLevel(out, 1);
    SetGPIOAltFn(fn, 1, 0);
    if (IsTegra(ProcessorId)) {
        SetGPIOTristate(pad, 1 - uint32_t(GetGPIOTristate(pad)));
        SetGPIOPullState(pad, uint32_t(GetGPIOPullState(pad) + 1) % 3);
        SetGPIOTristate(fn, 1); // the function change sets it to 0: the import puts it back
    } else {
        SetGPIOEdgeDetect(pad, uint32_t(GetGPIOEdgeDetect(pad) + 1) % 4);
    }
}

// Stores a block with other directions, levels and (PXA270) functions.
void ChangeStoredBlock() {
    LoadBootConfig(true);
    BootConfigBlock[0] ^= 0x00F00000; // directions of GPIO 20..23
    BootConfigBlock[5] ^= 0x0000F000; // levels of GPIO 44..47
    BootConfigBlock[9] ^= 0x00000F00; // PXA270: functions of GPIO 20, 21
    BootConfigBlock[16] = 0x12345678; // not interpreted: kept by a save
    SimFlashSave(SimCurrentModule(), reinterpret_cast<const BYTE*>(BootConfigBlock));
}

struct RoundTrip {
    const char* module;
    bool bootup;
};

class FilesRoundTrip : public testing::TestWithParam<RoundTrip> {};

} // namespace

// Export, change the settings, import the file, export again: the same bytes, with a line for
// every GPIO that has settings.
TEST_P(FilesRoundTrip, ASecondExportAfterChangesAndTheImportHasTheSameBytes) {
    const RoundTrip& c = GetParam();
    StartOnModule(SimFindModule(c.module)->id);
    std::wstring mode = c.bootup ? L" --bootup" : L"";
    ChildResult exported = Cli(c.module, L"--export " + Arg(L"first.tsv") + mode);
    ASSERT_EQ(exported.exitCode, 0) << exported.errors;
    if (c.bootup)
        ChangeStoredBlock();
    else
        ChangeLiveSettings();
    ChildResult diff = Cli(c.module, L"--diff " + Arg(L"first.tsv") + mode);
    EXPECT_EQ(diff.exitCode, 1) << "the changes are not seen: " << diff.output << diff.errors;
    ChildResult imported =
        Cli(c.module, L"--import " + Arg(L"first.tsv") + mode + (c.bootup ? L" --save" : L""));
    ASSERT_EQ(imported.exitCode, 0) << imported.output << imported.errors;
    ASSERT_EQ(Cli(c.module, L"--export " + Arg(L"second.tsv") + mode).exitCode, 0);
    std::string text = FileBytes(PathOf(L"first.tsv"));
    EXPECT_EQ(FileBytes(PathOf(L"second.tsv")), text);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4 + SettingGpioCount(ProcessorId));
    EXPECT_EQ(Cli(c.module, L"--diff " + Arg(L"first.tsv") + mode).exitCode, 0);
    if (c.bootup) {
        uint32_t stored[BOOT_CONFIG_WORDS];
        ASSERT_TRUE(SimFlashLoad(SimCurrentModule(), reinterpret_cast<BYTE*>(stored)));
        EXPECT_EQ(stored[16], 0x12345678u);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryProcessor, FilesRoundTrip,
                         testing::Values(RoundTrip{"pxa270", false}, RoundTrip{"pxa270", true},
                                         RoundTrip{"pxa320", false}, RoundTrip{"pxa320", true},
                                         RoundTrip{"pxa300", false}, RoundTrip{"pxa300", true},
                                         RoundTrip{"pxa310", false}, RoundTrip{"pxa310", true},
                                         RoundTrip{"tegra2", false}, RoundTrip{"tegra3", false}),
                         [](const testing::TestParamInfo<RoundTrip>& info) {
                             return std::string(info.param.module) +
                                    (info.param.bootup ? "_bootup" : "_current");
                         });

// Every broken file is refused with a message naming what is wrong, and changes nothing, also
// when the fault comes after lines that would change pins.
TEST(FilesStrict, BrokenFilesAreRefusedWithTheirMessageAndChangeNothing) {
    struct Broken {
        const char* module;
        std::string text;
        const char* message;
        const wchar_t* options = L"";
    };
    const std::string tegra3 =
        Head("Tegra 3", "Current Settings", "#\tAltFn\tDirection\tLevel\tTristate\tPullState");
    const Broken broken[] = {
        {"pxa270", "", "the file is empty"},
        {"pxa270", std::string("\xFF\xFEV\0e\0", 6), "UTF-16 text; a settings file is UTF-8"},
        {"pxa270", Head() + std::string("5\t0\tIn\0put\t0\t-\r\n", 16),
         "not a text file (a NUL byte at offset"},
        {"pxa270", "Velmora GPIO settings\t2\r\n", "line 1: format version \"2\""},
        {"pxa270", "#\tAltFn\r\n", "line 1: not a settings file of this tool"},
        {"pxa270", Head("Tegra 3"), "line 2: the file is for a Tegra 3; this module has a PXA270"},
        {"pxa270", Head("PXA999"), "line 2: unknown processor \"PXA999\""},
        {"pxa270", Head("PXA270", "Live"), "line 3: unknown source \"Live\""},
        {"pxa270", Head("PXA270", "Current Settings", "GPIO\tLevel"),
         "line 4: the header's first field must be \"#\""},
        {"pxa270", Head("PXA270", "Current Settings", "#\tColour"),
         "line 4: the field \"Colour\" is no setting of the PXA270 in Current Settings"},
        {"pxa270", Head("PXA270", "Current Settings", "#\tTristate"),
         "line 4: the field \"Tristate\" is no setting of the PXA270 in Current Settings"},
        {"pxa270", Head("PXA270", "Boot-up Settings", "#\tDirection\tEdgeDet"),
         "line 4: the field \"EdgeDet\" is no setting of the PXA270 in Boot-up Settings"},
        {"pxa270", Head("PXA270", "Current Settings", "#\tLevel\tLevel"),
         "line 4: the field Level comes twice"},
        {"pxa270", Head("PXA270", "Current Settings", "#"), "line 4: the header names no setting"},
        {"pxa270", "Velmora GPIO settings\t1\r\nProcessor\tPXA270\r\n",
         "the file ends before its header"},
        {"pxa270", Head() + "5\t0\tInput\r\n", "line 5: 3 fields, but the header has 5"},
        {"pxa270", Head() + "121\t0\tInput\t0\t-\r\n", "line 5: no GPIO \"121\" on the PXA270"},
        {"pxa270", Head() + "5\t0\tOutput\t1\t-\r\n5\t0\tInput\t0\t-\r\n",
         "line 6: GPIO 5 comes twice (first on line 5)"},
        {"pxa270", Head() + "5\t0\tinput\t0\t-\r\n",
         "line 5: Direction \"input\" is not one of Input, Output"},
        {"pxa270", Head() + "5\t4\tInput\t0\t-\r\n",
         "line 5: AltFn \"4\" is not one of 0, 1, 2, 3"},
        {"pxa270", Head() + "5\t0\tInput\t0\tUp\r\n",
         "line 5: EdgeDet \"Up\" is not one of -, Rising, Falling, Both"},
        {"pxa270", Head() + "5\t0\tOutput\t1\t-\r\n6\t0\tIn\xC3\x28put\t0\t-\r\n",
         "line 6: not UTF-8 text"},
        {"pxa270", Head() + "5\t0\tOutput\t1\t-\r\n",
         "the file sets EdgeDet, which the Boot-up Settings do not hold", L" --bootup"},
        {"pxa320", Head("PXA320") + "0\t2\tOutput\t0\t-\r\n",
         "line 5: GPIO 0 can not be set to output"},
        {"pxa320", Head("PXA320") + "3\t0\tInput\t0\t-\r\n131\t0\tOutput\t0\t-\r\n",
         "line 6: GPIO 131 shares its direction, level and edge detection with GPIO 3, which line "
         "5 sets otherwise"},
        {"tegra3", tegra3 + "EE4\t-1\tInput\t0\t0\tNormal\r\n",
         "line 5: GPIO EE4 has no settings (the Tegra 3 has GPIOs A0 to EE3)"},
        {"tegra3", tegra3 + "A0\t-1\t-\t-\t0\tNormal\r\n",
         "line 5: GPIO A0: Direction cannot be \"-\" on a plain GPIO (AltFn -1)"},
        {"tegra3", tegra3 + "A0\t1\tInput\t-\t0\tNormal\r\n",
         "line 5: GPIO A0: Direction must be \"-\" on a pad set to a special function"},
        {"tegra3", Head("Tegra 3", "Current Settings", "#\tLevel") + "A0\t-\r\n",
         "line 5: GPIO A0: Level \"-\" (a pad on a special function) needs the AltFn field"},
        {"tegra3", Head("Tegra 3", "Boot-up Settings"),
         "line 3: the Tegra 3 has no Boot-up Settings"},
    };
    const char* module = "";
    for (const Broken& b : broken) {
        SCOPED_TRACE(b.message);
        if (strcmp(module, b.module) != 0) {
            StartOnModule(SimFindModule(b.module)->id);
            module = b.module;
        }
        WriteFileBytes(PathOf(L"broken.tsv"), b.text);
        std::string before = Settings();
        ChildResult r = Cli(b.module, L"--import " + Arg(L"broken.tsv") + b.options);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(Contains(r.errors, b.message)) << r.errors;
        EXPECT_TRUE(Contains(r.errors, "; nothing was changed")) << r.errors;
        EXPECT_EQ(r.output, "");
        EXPECT_EQ(Settings(), before);
    }
}

// Three lines set three pins; no other GPIO changes.
TEST(FilesImport, APartialFileChangesOnlyItsPins) {
    StartOnModule(SIM_MODULE_PXA310);
    uint32_t a = PlainInput(20), b = PlainInput(a + 1), c = PlainInput(b + 1);
    std::string lines = Head("PXA310", "Current Settings", "#\tDirection\tLevel");
    for (uint32_t g : {a, b, c})
        lines += std::to_string(g) + "\tOutput\t1\r\n";
    WriteFileBytes(PathOf(L"three.tsv"), lines);
    Configuration before;
    ReadSettings(&before, SETTINGS_CURRENT);
    ChildResult r = Cli("pxa310", L"--import " + Arg(L"three.tsv"));
    EXPECT_EQ(r.exitCode, 0) << r.errors;
    EXPECT_EQ(r.output, "Applied 3 changes to 3 pins\r\n");
    for (uint32_t g = 0; g < uint32_t(SettingGpioCount(ProcessorId)); ++g) {
        bool listed = g == a || g == b || g == c;
        EXPECT_EQ(GetGPIODir(g), listed ? 1 : before.gpio[g].value[FIELD_DIRECTION]) << g;
        EXPECT_TRUE(!listed || GetGPIOLevel(g) == 1) << g;
    }
}

// Tegra 2 pad N7 has no pull-up/down field: the module does not take a pull there. The import
// stops at that pin and says what was changed; the pins after it stay as they were.
TEST(FilesImport, ASettingTheModuleDoesNotTakeStopsTheImportAndSaysWhatChanged) {
    StartOnModule(SIM_MODULE_TEGRA2);
    SetGPIOAltFn(111, -1, 0); // N7: a plain GPIO input
    uint32_t before = PlainInput(8), after = PlainInput(112);
    wchar_t first[8], last[8];
    GpioName(before, first);
    GpioName(after, last);
    SetGPIOPullState(before, 0);
    SetGPIOPullState(after, 0);
    char lines[160];
    snprintf(lines, sizeof lines,
             "%ls\tOutput\tNormal\r\nN7\tOutput\tPullUp\r\n%ls\tOutput\tNormal\r\n", first, last);
    WriteFileBytes(PathOf(L"n7.tsv"),
                   Head("Tegra 2", "Current Settings", "#\tDirection\tPullState") + lines);
    ChildResult r = Cli("tegra2", L"--import " + Arg(L"n7.tsv"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.errors, "gpioconfig: The module did not take PullState PullUp on GPIO N7; the "
                        "import stopped there. Its other settings were changed. Pins changed "
                        "before it: GPIO " +
                            std::string(lines, wcslen(first)) + " (1 pin).\r\n");
    EXPECT_EQ(GetGPIODir(before), 1);
    EXPECT_EQ(GetGPIODir(111), 1);
    EXPECT_EQ(GetGPIODir(after), 0);
}

// Exit codes as gpiosim's: 0 done, 1 refused, 2 not understood; output on stdout, errors on
// stderr. A file far larger than any settings file is refused by its size before it is read
// (6 GiB would neither be read in time nor fit in memory); a save the platform refuses is
// reported.
TEST(FilesCommandLine, ExitCodesAndOutput) {
    StartOnModule(SIM_MODULE_PXA270);
    std::wstring same = Arg(L"same.tsv"), folder = Arg(L"folder.tsv"), boot = Arg(L"boot.tsv");
    CreateDirectoryW(PathOf(L"folder.tsv").c_str(), nullptr);
    ASSERT_EQ(Cli("pxa270", L"--export " + same).exitCode, 0);
    ASSERT_EQ(Cli("pxa270", L"--export " + boot + L" --bootup").exitCode, 0);
    HANDLE huge = CreateFileW(PathOf(L"huge.tsv").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              0, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 6LL << 30;
    ASSERT_TRUE(SetFilePointerEx(huge, size, nullptr, FILE_BEGIN) && SetEndOfFile(huge));
    CloseHandle(huge);
    SimFlashRefuse(SIM_FLASH_SAVE);
    struct Case {
        const char* module;
        std::wstring arguments;
        int exitCode;
        const char* output; // the start of stdout
        const char* errors; // a part of stderr
    };
    const Case cases[] = {
        {"pxa270", L"--help", 0, "usage: gpioconfig", ""},
        {"pxa270", L"--frobnicate", 2, "", "gpioconfig: unknown command '--frobnicate'"},
        {"pxa270", L"--export", 2, "", "--export takes a FILE"},
        {"pxa270", L"--dump --save", 2, "", "unknown option '--save' for --dump"},
        {"pxa270", L"--dump --bootup --bootup", 2, "", "--bootup comes twice"},
        {"pxa270", L"--import " + same + L" --save", 2, "",
         "--save stores the boot-up settings: it goes with --import and --bootup"},
        {"tegra2", L"--export " + same + L" --bootup", 1, "",
         "gpioconfig: the Tegra 2 has no Boot-up Settings"},
        {"none", L"--dump", 1, "", "This program does only run on Velmora Tessara Modules."},
        {"unknown-cpu", L"--dump", 1, "", "gpioconfig: CPU Type not supported!"},
        {"pxa270", L"--diff " + same, 0, "", ""},
        {"pxa270", L"--import " + same, 0,
         "Nothing to change: the Current Settings already hold every setting of", ""},
        {"pxa270", L"--import " + Arg(L"missing.tsv"), 1, "", "; nothing was changed"},
        {"pxa270", L"--diff " + Arg(L"huge.tsv"), 1, "",
         "too large for a settings file (6442450944 bytes; a settings file has at most 262144)"},
        {"pxa270", L"--import " + boot + L" --bootup --save", 1, "",
         "the platform refused to store the Boot-up Settings"},
        {"pxa270", L"--export " + folder, 1, "",
         "; nothing was written (a file of that name keeps what it held)"},
        {"pxa270", L"--record 0 x.vcd", 2, "", "SECONDS is a whole number from 1 to 3600"},
        {"pxa270", L"--record 1", 2, "", "--record takes SECONDS and a FILE"},
        {"pxa270", L"--record 1 x.vcd --rate 2001", 2, "", "HZ is a whole number from 1 to 2000"},
        {"pxa270", L"--record 1 x.vcd --bootup", 2, "", "unknown option '--bootup' for --record"},
        {"pxa270", L"--record 1 " + folder, 1, "", "gpioconfig: cannot write"},
        {"pxa270", L"--record 1 " + Arg(L"pins.vcd") + L" --rate 200", 0,
         "Recorded 1 s of every GPIO of the PXA270 at 200 Hz to", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.module << " " << std::string(c.arguments.begin(), c.arguments.end()));
        ChildResult r = Cli(c.module, c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.output << r.errors;
        EXPECT_EQ(r.output.rfind(c.output, 0), 0u) << r.output;
        EXPECT_TRUE(Contains(r.errors, c.errors)) << r.errors;
        EXPECT_TRUE(*c.errors || r.errors.empty()) << r.errors;
    }
    SimFlashRefuse(0);
    DeleteFileW(PathOf(L"huge.tsv").c_str());
    // The folder stays a folder, and no file of the refused export is left beside it.
    EXPECT_EQ(GetFileAttributesW(PathOf(L"folder.tsv").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              DWORD(FILE_ATTRIBUTE_DIRECTORY));
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(PathOf(L"*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "left: " << std::wstring(found.cFileName).c_str();
    if (search != INVALID_HANDLE_VALUE) FindClose(search);

    // The recording: one wire per GPIO.
    std::string vcd = FileBytes(PathOf(L"pins.vcd"));
    int wires = 0;
    for (size_t at = 0; (at = vcd.find("$var wire 1 ", at)) != std::string::npos; ++at)
        ++wires;
    EXPECT_EQ(wires, 121);

    // A difference: one line per setting, exit code 1.
    uint32_t g = PlainInput(20);
    SetGPIODir(g, 1);
    ChildResult diff = Cli("pxa270", L"--diff " + same);
    EXPECT_EQ(diff.exitCode, 1);
    EXPECT_EQ(diff.output, std::to_string(g) + "\tDirection\tOutput\tInput\r\n");
}
