// One simulated module seen by several processes: the tool, gpiosim and this test.
#include "gpiolib/gpiolib.h"
#include "sim/sim.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kTitle[] = L"Velmora GPIO Config V 2.3";

ChildResult Gpiosim(const char* module, const std::wstring& arguments) {
    wchar_t value[64];
    wsprintfW(value, L"VELMORA_SIM_MODULE=%S", module);
    return RunChild(L"\"" + BuildFolder() + L"\\gpiosim.exe\" " + arguments, {value});
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

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
        HWND window = tool.Window(kTitle);
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
    HWND window = tool.Window(kTitle);
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
    HWND window = tool.Window(kTitle);
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

TEST(Gpiosim, UsageAndBadArgumentsAreReported) {
    EXPECT_EQ(Gpiosim("pxa270", L"").exitCode, 2);
    EXPECT_EQ(Gpiosim("pxa270", L"blink 5").exitCode, 2);
    EXPECT_EQ(Gpiosim("pxa270", L"set 5").exitCode, 2);
    EXPECT_EQ(Gpiosim("pxa270", L"set 5 up").exitCode, 2);
    EXPECT_EQ(Gpiosim("pxa270", L"set A5 high").exitCode, 2); // port names are Tegra's
    EXPECT_EQ(Gpiosim("pxa270", L"pulse 5 0").exitCode, 2);
    EXPECT_EQ(Gpiosim("pxa270", L"get 5x").exitCode, 2);
    ChildResult outside = Gpiosim("pxa270", L"get 121");
    EXPECT_EQ(outside.exitCode, 1);
    EXPECT_TRUE(Contains(outside.output, "has no GPIO 121")) << outside.output;
    EXPECT_EQ(Gpiosim("tegra3", L"get EE4").exitCode, 1); // GPIO 244: the list's last row only
    EXPECT_EQ(Gpiosim("tegra3", L"get EE3").exitCode, 0);
    EXPECT_EQ(Gpiosim("tegra2", L"get AB1").exitCode, 2);
    EXPECT_EQ(Gpiosim("none", L"get 1").exitCode, 1);
    ChildResult usage = Gpiosim("pxa270", L"");
    EXPECT_TRUE(Contains(usage.output, "usage: gpiosim set GPIO high|low")) << usage.output;
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
    // The button rests high.
    int high = 0;
    for (int i = 0; i < 20; ++i, Sleep(10))
        high += SimPinLevel(pins.button);
    EXPECT_GE(high, 10) << pins.button << " " << GetTickCount64() % 7000;
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
