// The environment controls of the simulated module with odd values, and the stimulus thread's
// end. Spaces around a value do not count, an empty value is no value, names ignore case; a
// value that cannot be used says so in one line and leaves no module rather than a wrong one.
#include "sim/flash.h"
#include "sim/sim.h"
#include "tests/test_support.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <string>

namespace {

ChildResult Gpiosim(const std::wstring& arguments, const std::vector<std::wstring>& environment) {
    return RunChild(L"\"" + BuildFolder() + L"\\gpiosim.exe\" " + arguments, environment);
}

} // namespace

// gpiosim reads the same controls as the tool: the module it names answers "get".
TEST(SimSettings, ModuleAndInstanceValues) {
    std::wstring longName(300, L'a');
    struct Case {
        std::wstring module, instance; // "=..." entries; an empty value is set as empty
        const wchar_t* gpio;
        int exitCode;
        const char* says;
    } cases[] = {
        {L"", L"", L"120", 0, "GPIO 120: "}, // empty: the default, pxa270
        {L"", L"", L"121", 1, "the pxa270 module has no GPIO 121"},
        {L"PXA320", L"", L"145", 0, "GPIO 145: "},
        {L"  Tegra2 ", L"", L"U2", 0, "GPIO U2: "},
        {L"\ttegra3-belvan\t", L"", L"EE3", 0, "GPIO EE3: "},
        {L"pxa 270", L"", L"1", 1, "VELMORA_SIM_MODULE=pxa 270 is not usable: use one of: pxa270"},
        {L"pxa999", L"", L"1", 1, "VELMORA_SIM_MODULE=pxa999 is not usable"},
        {L"p\u00e4xa", L"", L"1", 1, "VELMORA_SIM_MODULE=p?xa is not usable"},
        {longName, L"", L"1", 1, "VELMORA_SIM_MODULE is too long to be used"},
        {L"pxa310", L" mine-1.a_b ", L"138", 0, "GPIO 138: "},
        {L"pxa310", L"a\\b", L"1", 1, "VELMORA_SIM_INSTANCE=a\\b is not usable: 1 to 32 letters"},
        {L"pxa310", std::wstring(33, L'x'), L"1", 1, "VELMORA_SIM_INSTANCE=xxx"},
        {L"pxa310", longName, L"1", 1, "VELMORA_SIM_INSTANCE is too long to be used"},
    };
    for (const Case& c : cases) {
        std::vector<std::wstring> environment = {L"VELMORA_SIM_MODULE=" + c.module};
        if (!c.instance.empty()) environment.push_back(L"VELMORA_SIM_INSTANCE=" + c.instance);
        ChildResult r = Gpiosim(std::wstring(L"get ") + c.gpio, environment);
        std::string where = testing::PrintToString(c.module) + " " +
                            testing::PrintToString(c.instance) + " get " +
                            testing::PrintToString(c.gpio);
        EXPECT_EQ(r.exitCode, c.exitCode) << where << ": " << r.output;
        EXPECT_TRUE(Contains(r.output, c.says)) << where << ": " << r.output;
    }
}

// The store folder: spaces around it do not count; empty is the default folder; a folder that
// leaves no room for the file name (and the temporary's ".<pid>.tmp") stores nothing at all,
// never in the default folder instead, and says so in one line.
TEST(SimSettings, StoreFolderValues) {
    wchar_t appData[MAX_PATH], own[40];
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, appData), S_OK);
    GetEnvironmentVariableW(L"VELMORA_SIM_INSTANCE", own, 40);
    wchar_t saved[MAX_PATH];
    GetEnvironmentVariableW(L"VELMORA_SIM_STORE_DIR", saved, MAX_PATH);
    for (std::wstring instance : {std::wstring(own), std::wstring()}) {
        SetEnvironmentVariableW(L"VELMORA_SIM_INSTANCE", instance.c_str());
        std::wstring name =
            L"\\bootcfg-pxa320" + (instance.empty() ? L"" : L"." + instance) + L".bin";
        // The longest folder leaves room for the name and ".4294967295.tmp" within MAX_PATH.
        std::wstring longest = L"C:\\" + std::wstring(MAX_PATH - 16 - name.size() - 3, L'd');
        struct Case {
            std::wstring value;
            std::wstring path; // expected; empty: none
        } cases[] = {
            {L"  C:\\store  ", L"C:\\store" + name},
            {L"", std::wstring(appData) + L"\\Velmora\\GpioConfigSim" + name},
            {L"   ", std::wstring(appData) + L"\\Velmora\\GpioConfigSim" + name},
            {longest, longest + name},
            {longest + L"d", L""},
            {L"C:\\" + std::wstring(300, L'd'), L""},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::PrintToString(instance) + " " + testing::PrintToString(c.value));
            SetEnvironmentVariableW(L"VELMORA_SIM_STORE_DIR", c.value.c_str());
            wchar_t path[MAX_PATH] = L"unset";
            SimFlashPath(SIM_MODULE_PXA320, path, MAX_PATH);
            EXPECT_EQ(std::wstring(path), c.path);
            BYTE block[72] = {1, 2, 3};
            EXPECT_EQ(SimFlashSave(SIM_MODULE_PXA320, block), !c.path.empty());
            SimFlashClear(SIM_MODULE_PXA320);
            ChildResult r = Gpiosim(
                L"flash", {L"VELMORA_SIM_MODULE=pxa320", L"VELMORA_SIM_STORE_DIR=" + c.value});
            EXPECT_EQ(Contains(r.output, "VELMORA_SIM_STORE_DIR is too long to be used"),
                      c.path.empty())
                << r.output;
        }
        RemoveDirectoryW(longest.c_str());
    }
    SetEnvironmentVariableW(L"VELMORA_SIM_INSTANCE", own);
    SetEnvironmentVariableW(L"VELMORA_SIM_STORE_DIR", saved);
    RemoveDirectoryW(L"C:\\store");
}

// Two instances of one module keep their saved blocks apart, as they keep their registers.
TEST(SimSettings, InstancesKeepTheirBlocksApart) {
    BYTE block[72] = {}, back[72];
    for (const wchar_t* instance : {L"one", L"two"}) {
        SetEnvironmentVariableW(L"VELMORA_SIM_INSTANCE", instance);
        EXPECT_FALSE(SimFlashLoad(SIM_MODULE_PXA310, back)) << "the other's block";
        block[0] = BYTE(instance[0]);
        ASSERT_TRUE(SimFlashSave(SIM_MODULE_PXA310, block));
    }
    SetEnvironmentVariableW(L"VELMORA_SIM_INSTANCE", L"one");
    ASSERT_TRUE(SimFlashLoad(SIM_MODULE_PXA310, back));
    EXPECT_EQ(back[0], 'o');
}

// VELMORA_SIM_STIMULUS: off (any case, spaces around) keeps the pins still; on, nothing, or a
// value it does not know let them move: a thread of their own runs while the module is held.
TEST(SimSettings, StimulusValues) {
    struct Case {
        const wchar_t* value;
        int threads;
    } cases[] = {{L"off", 0}, {L"  OFF ", 0}, {L"On", 1}, {L"", 1}, {L"maybe", 1}};
    for (const Case& c : cases) {
        SetEnvironmentVariableW(L"VELMORA_SIM_STIMULUS", c.value);
        SimSelectModule(SIM_MODULE_NONE);
        int before = ThreadsOfThisProcess();
        SimSelectModule(SIM_MODULE_TEGRA2);
        ASSERT_TRUE(SimResetModule());
        EXPECT_EQ(ThreadsOfThisProcess() - before, c.threads) << testing::PrintToString(c.value);
    }
    SimSelectModule(SIM_MODULE_NONE);
    SetEnvironmentVariableW(L"VELMORA_SIM_STIMULUS", L"off");
}

// Letting go of the module stops the stimulus thread and waits for its end: no thread left,
// the module's lock and the driving turn free (not abandoned) for every other process.
TEST(Stimulus, StopsAndLeavesNoLockHeld) {
    SetEnvironmentVariableW(L"VELMORA_SIM_STIMULUS", L"on");
    int before = ThreadsOfThisProcess();
    SimSelectModule(SIM_MODULE_PXA270);
    ASSERT_TRUE(SimResetModule());
    ASSERT_EQ(ThreadsOfThisProcess(), before + 1);
    wchar_t instance[64], name[160];
    GetEnvironmentVariableW(L"VELMORA_SIM_INSTANCE", instance, 64);
    wsprintfW(name, L"Local\\VelmoraSim.pxa270.%s.lock", instance);
    HANDLE lock = OpenMutexW(SYNCHRONIZE, FALSE, name);
    wsprintfW(name, L"Local\\VelmoraSim.pxa270.%s.stimulus", instance);
    HANDLE driver = OpenMutexW(SYNCHRONIZE, FALSE, name);
    ASSERT_NE(lock, nullptr);
    ASSERT_NE(driver, nullptr);
    // Running: the thread has taken the driving, and moves the square wave.
    SimStimulusPins pins = SimStimulusPinsOf(SIM_MODULE_PXA270);
    int first = SimPinLevel(pins.squareWave);
    bool moved = false;
    for (int i = 0; i < 60 && !moved; ++i, Sleep(50))
        moved = SimPinLevel(pins.squareWave) != first;
    EXPECT_TRUE(moved);

    SimSelectModule(SIM_MODULE_NONE);
    EXPECT_EQ(ThreadsOfThisProcess(), before);
    // Another thread (as another process would) finds both free, not abandoned.
    HANDLE handles[] = {lock, driver};
    HANDLE probe = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* handles = static_cast<HANDLE*>(p);
            DWORD a = WaitForSingleObject(handles[0], 0), b = WaitForSingleObject(handles[1], 0);
            if (a == WAIT_OBJECT_0 || a == WAIT_ABANDONED) ReleaseMutex(handles[0]);
            if (b == WAIT_OBJECT_0 || b == WAIT_ABANDONED) ReleaseMutex(handles[1]);
            return a << 16 | b;
        },
        handles, 0, nullptr);
    WaitForSingleObject(probe, INFINITE);
    DWORD results = 0;
    GetExitCodeThread(probe, &results);
    CloseHandle(probe);
    EXPECT_EQ(results >> 16, DWORD(WAIT_OBJECT_0)) << "module lock";
    EXPECT_EQ(results & 0xFFFF, DWORD(WAIT_OBJECT_0)) << "driving";
    CloseHandle(lock);
    CloseHandle(driver);
    SetEnvironmentVariableW(L"VELMORA_SIM_STIMULUS", L"off");
}
