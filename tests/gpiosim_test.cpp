// One simulated module seen by several processes: the tool, gpiosim and this test.
#include "gpiolib/frame.h"
#include "sim/sim.h"
#include "app/title.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <thread>

namespace {

void CloseTool(Tool& tool, HWND window) {
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(tool.ExitCode(), 1);
}

} // namespace

// With the tool holding the module, gpiosim drives an input and a second process (gpiosim,
// then this test through GPIOLib) reads the same level.
TEST(SharedModule, GpiosimAndGpioLibSeeOneModule) {
    struct Case {
        const char* module;
        SimModule id;
        const wchar_t* pin; // as typed
        uint32_t gpio;
    } cases[] = {
        {"pxa270", SIM_MODULE_PXA270, L"11", 11},
        {"pxa320", SIM_MODULE_PXA320, L"13", 13},
        {"tegra2", SIM_MODULE_TEGRA2, L"U2", 162},
        {"tegra3-belvan", SIM_MODULE_TEGRA3_BELVAN, L"u4", 164},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.module);
        Tool tool(c.module);
        HWND window = tool.Window(TOOL_TITLE);
        ASSERT_NE(window, nullptr);
        for (int level : {1, 0, 1}) {
            ChildResult set =
                Gpiosim(c.module, std::wstring(L"set ") + c.pin + (level ? L" high" : L" low"));
            EXPECT_EQ(set.exitCode, 0) << set.output;
            ChildResult get = Gpiosim(c.module, std::wstring(L"get ") + c.pin);
            EXPECT_EQ(get.exitCode, 0) << get.output;
            EXPECT_TRUE(Contains(get.output, level ? ": high (input)" : ": low (input)"))
                << get.output;
            EXPECT_FALSE(Contains(get.output, "power-on state")) << get.output;
        }
        // This process joins the module the tool holds.
        SimSelectModule(c.id);
        InitGPIOLib();
        EXPECT_EQ(GetGPIOLevel(c.gpio), 1);
        EXPECT_EQ(GetGPIODir(c.gpio), 0);
        Gpiosim(c.module, std::wstring(L"set ") + c.pin + L" low");
        EXPECT_EQ(GetGPIOLevel(c.gpio), 0);
        DeInitGPIOLib();
        g_gpioLib = GpioLibState{};
        SimSelectModule(SIM_MODULE_NONE);
        CloseTool(tool, window);
    }
}

// A level the tool's process writes is what gpiosim reads from outside.
TEST(SharedModule, OutputsWrittenHereAreSeenByGpiosim) {
    Tool tool("pxa300");
    HWND window = tool.Window(TOOL_TITLE);
    ASSERT_NE(window, nullptr);
    SimSelectModule(SIM_MODULE_PXA300);
    InitGPIOLib();
    SetGPIODir(40, 1);
    SetGPIOLevel(40, 1);
    ChildResult get = Gpiosim("pxa300", L"get 40");
    EXPECT_TRUE(Contains(get.output, "GPIO 40: high (output)")) << get.output;
    SetGPIOLevel(40, 0);
    get = Gpiosim("pxa300", L"get 40");
    EXPECT_TRUE(Contains(get.output, "GPIO 40: low (output)")) << get.output;
    // An output is not driven from outside.
    ChildResult set = Gpiosim("pxa300", L"set 40 high");
    EXPECT_EQ(set.exitCode, 1);
    EXPECT_TRUE(Contains(set.output, "GPIO 40 is an output")) << set.output;
    EXPECT_EQ(GetGPIOLevel(40), 0);
    CloseTool(tool, window);
}

TEST(SharedModule, ResetPutsTheModuleBackToPowerOn) {
    Tool tool("tegra3");
    HWND window = tool.Window(TOOL_TITLE);
    ASSERT_NE(window, nullptr);
    SimSelectModule(SIM_MODULE_TEGRA3);
    InitGPIOLib();
    int before = GetGPIOLevel(164);
    SetGPIODir(10, 0); // LCD_PWR0, an output after boot
    ASSERT_EQ(GetGPIODir(10), 0);
    EXPECT_EQ(Gpiosim("tegra3", L"set 164 " + std::wstring(before ? L"low" : L"high")).exitCode, 0);
    EXPECT_NE(GetGPIOLevel(164), before);
    ChildResult reset = Gpiosim("tegra3", L"reset");
    EXPECT_EQ(reset.exitCode, 0) << reset.output;
    EXPECT_EQ(GetGPIODir(10), 1);
    EXPECT_EQ(GetGPIOLevel(164), before);
    CloseTool(tool, window);
}

TEST(Gpiosim, WithoutAToolChangesAreRefusedAndReadsShowPowerOn) {
    ChildResult set = Gpiosim("pxa270", L"set 11 high");
    EXPECT_EQ(set.exitCode, 1);
    EXPECT_TRUE(Contains(set.output, "no tool holds the pxa270 module")) << set.output;
    EXPECT_EQ(Gpiosim("pxa270", L"pulse 11").exitCode, 1);
    EXPECT_EQ(Gpiosim("pxa270", L"reset").exitCode, 1);
    ChildResult get = Gpiosim("pxa270", L"get 11");
    EXPECT_EQ(get.exitCode, 0);
    EXPECT_TRUE(Contains(get.output, "power-on state")) << get.output;
    ChildResult dump = Gpiosim("pxa320", L"dump");
    EXPECT_EQ(dump.exitCode, 0);
    EXPECT_TRUE(Contains(dump.output, "GPIO controller at 40E00000")) << dump.output;
    EXPECT_TRUE(Contains(dump.output, "at 40E10000")) << dump.output;
}

// Exit codes: 2 when the command line is not understood, 1 when the module refuses; one line
// says why (no arguments at all: the usage). Never a crash or a hang (RunChild gives -1).
TEST(Gpiosim, BadArgumentsEndWithOneLineAndTheirExitCode) {
    struct Case {
        const char* module;
        const wchar_t* arguments;
        int exitCode;
        const char* says;
    } cases[] = {
        {"pxa270", L"blink 5", 2, "unknown command: 'blink'"},
        {"pxa270", L"s\u00e9t 5 high", 2, "unknown command"},
        {"pxa270", L"set 5", 2, "set takes a GPIO and high or low"},
        {"pxa270", L"set 5 high now", 2, "set takes a GPIO and high or low"},
        {"pxa270", L"get", 2, "get takes a GPIO"},
        {"pxa270", L"get 5 6", 2, "get takes a GPIO"},
        {"pxa270", L"dump all", 2, "dump takes no arguments"},
        {"pxa270", L"reset now", 2, "reset takes no arguments"},
        {"pxa270", L"pulse", 2, "pulse takes a GPIO, optionally the milliseconds and a count"},
        {"pxa270", L"pulse 5 10 0", 2, "a train has 1 to 10000 pulses: '0'"},
        {"pxa270", L"pulse 5 10 10001", 2, "a train has 1 to 10000 pulses: '10001'"},
        {"pxa270", L"set 5 up", 2, "the level is high or low: 'up'"},
        {"pxa270", L"set 5 HIGH", 2, "the level is high or low"},
        {"pxa270", L"get -1", 2, "not a GPIO number or port name: '-1'"},
        {"pxa270", L"get 5x", 2, "not a GPIO number or port name: '5x'"},
        {"pxa270", L"get 0x10", 2, "not a GPIO number or port name"},
        {"pxa270", L"get \"\"", 2, "not a GPIO number or port name: ''"},
        {"pxa270", L"get \u00e9", 2, "not a GPIO number or port name"},
        {"pxa270", L"get \u4e2d5", 2, "not a GPIO number or port name"},
        {"pxa270", L"pulse 5 0", 2, "the pulse lasts 1 to 60000 ms: '0'"},
        {"pxa270", L"pulse 5 -5", 2, "the pulse lasts 1 to 60000 ms: '-5'"},
        {"pxa270", L"pulse 5 60001", 2, "the pulse lasts 1 to 60000 ms"},
        {"pxa270", L"pulse 5 99999999999999999999", 2, "the pulse lasts 1 to 60000 ms"},
        {"pxa270", L"get 121", 1, "the pxa270 module has no GPIO 121"},
        {"pxa270", L"get 4294967296", 1, "the pxa270 module has no GPIO 4294967296"},
        {"pxa270", L"get 99999999999999999999999", 1, "has no GPIO 99999999999999999999999"},
        {"pxa270", L"set A5 high", 1, "the pxa270 module has no port names"},
        {"pxa310", L"get U2", 1, "the pxa310 module has no port names"},
        {"tegra2", L"get AB1", 1, "the tegra2 module has no GPIO AB1"},
        {"tegra2", L"get FF1", 1, "the tegra2 module has no GPIO FF1"},
        {"tegra2", L"get A8", 1, "the tegra2 module has no GPIO A8"},
        {"tegra3", L"get EE4", 1, "has no GPIO EE4"}, // GPIO 244: the list's last row only
        {"tegra3", L"get ee3", 0, "GPIO ee3: "},
        {"none", L"get 1", 1, "names a module without GPIOs"},
        {"none", L"blink", 2, "unknown command"}, // the command line first
    };
    for (const Case& c : cases) {
        ChildResult r = Gpiosim(c.module, c.arguments);
        std::string where = std::string(c.module) + " " + testing::PrintToString(c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode) << where << ": " << r.output;
        EXPECT_TRUE(Contains(r.output, c.says)) << where << ": " << r.output;
        if (c.exitCode != 0) {
            // The reason alone, on one line.
            EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1)
                << where << ": " << r.output;
        }
    }
    ChildResult usage = Gpiosim("pxa270", L"");
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(Contains(usage.output, "usage: gpiosim set GPIO high|low")) << usage.output;
}

// --help: the usage on stdout (stderr is thrown away here), exit code 0, whatever the module.
TEST(Gpiosim, HelpGoesToStdoutAndSucceeds) {
    for (const char* module : {"pxa270", "none"}) {
        for (const wchar_t* word : {L"--help", L"-h", L"help"}) {
            wchar_t value[64];
            wsprintfW(value, L"VELMORA_SIM_MODULE=%S", module);
            ChildResult r = RunChild(
                L"cmd /c \"\"" + BuildFolder() + L"\\gpiosim.exe\" " + word + L" 2>NUL\"", {value});
            EXPECT_EQ(r.exitCode, 0) << module << " " << r.output;
            EXPECT_TRUE(Contains(r.output, "usage: gpiosim set GPIO high|low")) << r.output;
            EXPECT_TRUE(Contains(r.output, "Exit codes: 0 done")) << r.output;
        }
    }
}

// A pulse whose tool ends meanwhile ends too, at once, and says so.
TEST(SharedModule, PulseEndsWhenTheToolEnds) {
    Tool tool("pxa270");
    HWND window = tool.Window(TOOL_TITLE);
    ASSERT_NE(window, nullptr);
    ChildResult before = Gpiosim("pxa270", L"get 11");
    ASSERT_EQ(before.exitCode, 0) << before.output;
    bool wasHigh = Contains(before.output, ": high");
    ChildResult pulse;
    std::thread pulser([&] { pulse = Gpiosim("pxa270", L"pulse 11 60000"); });
    // The pulse has begun once gpiosim reads the other level.
    bool begun = false;
    for (int i = 0; i < 50 && !begun; ++i) {
        ChildResult now = Gpiosim("pxa270", L"get 11");
        begun = Contains(now.output, wasHigh ? ": low" : ": high");
    }
    EXPECT_TRUE(begun);
    CloseTool(tool, window);
    pulser.join(); // RunChild ends a child after 20 s: long before the pulse's 60 s
    EXPECT_EQ(pulse.exitCode, 1) << pulse.output;
    EXPECT_TRUE(Contains(pulse.output, "the tool ended during the pulse")) << pulse.output;
}

// Left alone, a few inputs change by themselves; with the stimulus off they stay put.
TEST(Stimulus, SquareWaveAndButtonMoveTheirPins) {
    SetEnvironmentVariableW(L"VELMORA_SIM_STIMULUS", nullptr);
    SimSelectModule(SIM_MODULE_TEGRA2);
    SimResetModule();
    SimStimulusPins pins = SimStimulusPinsOf(SIM_MODULE_TEGRA2);
    ASSERT_GE(pins.squareWave, 0);
    EXPECT_EQ(SimPinIsOutput(pins.squareWave), 0);
    EXPECT_EQ(SimPinIsOutput(pins.button), 0);
    int first = SimPinLevel(pins.squareWave);
    bool changed = false;
    for (int i = 0; i < 60 && !changed; ++i) {
        Sleep(50);
        changed = SimPinLevel(pins.squareWave) != first;
    }
    EXPECT_TRUE(changed);
    // The button rests high: pressed 0.3 s in every 7 s, so it reads high most of a second.
    int high = 0;
    for (int i = 0; i < 100; ++i, Sleep(10))
        high += SimPinLevel(pins.button);
    EXPECT_GE(high, 50) << pins.button << " " << GetTickCount64() % 7000;
}

TEST(Stimulus, OffKeepsThePinsStill) {
    SimSelectModule(SIM_MODULE_PXA270); // VELMORA_SIM_STIMULUS=off in tests
    SimResetModule();
    SimStimulusPins pins = SimStimulusPinsOf(SIM_MODULE_PXA270);
    EXPECT_EQ(SimPinIsOutput(pins.squareWave), 0);
    EXPECT_EQ(SimPinIsOutput(pins.button), 0);
    int first = SimPinLevel(pins.squareWave);
    for (int i = 0; i < 30; ++i, Sleep(50))
        ASSERT_EQ(SimPinLevel(pins.squareWave), first);
}

// Every module's stimulus pins are GPIO inputs after power-on.
TEST(Stimulus, PinsAreInputsOnEveryModule) {
    for (SimModule module :
         {SIM_MODULE_PXA270, SIM_MODULE_PXA320, SIM_MODULE_PXA300, SIM_MODULE_PXA310,
          SIM_MODULE_TEGRA2, SIM_MODULE_TEGRA3, SIM_MODULE_TEGRA3_BELVAN}) {
        SimSelectModule(module);
        SimResetModule();
        SimStimulusPins pins = SimStimulusPinsOf(module);
        EXPECT_EQ(SimPinIsOutput(pins.squareWave), 0) << SimModuleDescription(module)->name;
        EXPECT_EQ(SimPinIsOutput(pins.button), 0) << SimModuleDescription(module)->name;
    }
}
