// The outside world that changes by itself, so that a user sees the table follow the pins.
#include "sim/sim_internal.h"

namespace {

bool g_disabled;
// The running stimulus of this process: its thread and the event that asks it to stop.
HANDLE g_thread;
HANDLE g_stop;

// GPIO inputs at power-on, each on a module connector pin.
SimStimulusPins PinsOf(SimModule module) {
    switch (module) {
    case SIM_MODULE_PXA270: return {11, 12};
    case SIM_MODULE_PXA320: return {11, 13};
    case SIM_MODULE_PXA300:
    case SIM_MODULE_PXA310: return {17, 19};
    case SIM_MODULE_TEGRA2: return {162, 163};
    case SIM_MODULE_TEGRA3:
    case SIM_MODULE_TEGRA3_BELVAN: return {163, 164};
    default: return {-1, -1};
    }
}

constexpr DWORD kTick = 50;           // ms between looks at the clock
constexpr ULONGLONG kHalfWave = 1000; // square wave: one second high, one second low
// Button: pressed for 300 ms every 7 s, half a second away from the square wave's edges.
constexpr ULONGLONG kButtonPeriod = 7000, kButtonPressAt = 3500, kButtonPress = 300;

struct StimulusStart {
    HANDLE driver; // one process of all that hold the module drives: the owner of this mutex
    HANDLE stop;
    SimModule module;
};
// Read by the thread as it starts; a new thread starts only after the old one has ended.
StimulusStart g_start;

DWORD WINAPI StimulusThread(void* parameter) {
    StimulusStart start = *static_cast<StimulusStart*>(parameter);
    SimStimulusPins pins = PinsOf(start.module);
    bool driving = false;
    do {
        // When the driving process ends, its abandoned mutex passes to another.
        if (!driving) {
            DWORD got = WaitForSingleObject(start.driver, 0);
            driving = got == WAIT_OBJECT_0 || got == WAIT_ABANDONED;
        }
        if (driving) {
            ULONGLONG now = GetTickCount64();
            if (pins.squareWave >= 0) SimDriveInput(pins.squareWave, (now / kHalfWave) & 1);
            ULONGLONG phase = now % kButtonPeriod;
            bool pressed = phase >= kButtonPressAt && phase < kButtonPressAt + kButtonPress;
            if (pins.button >= 0) SimDriveInput(pins.button, !pressed);
        }
    } while (WaitForSingleObject(start.stop, kTick) == WAIT_TIMEOUT);
    // Hand the driving over to another process now, not when this one ends.
    if (driving) ReleaseMutex(start.driver);
    CloseHandle(start.driver);
    return 0;
}

// "off" stops the pins, "on" (or nothing) lets them move; any case.
bool StimulusSwitchedOff() {
    wchar_t setting[8];
    DWORD n = SimSetting(L"VELMORA_SIM_STIMULUS", setting, 8);
    if (n == 0 || (n < 8 && lstrcmpiW(setting, L"on") == 0)) return false;
    if (n < 8 && lstrcmpiW(setting, L"off") == 0) return true;
    SimSettingProblem("VELMORA_SIM_STIMULUS", n < 8 ? setting : nullptr,
                      "on or off; the pins change by themselves");
    return false;
}

} // namespace

SimStimulusPins SimStimulusPinsOf(SimModule module) {
    return PinsOf(module);
}

void SimDisableStimulus() {
    g_disabled = true;
}

void SimStartStimulus(const wchar_t* sectionName) {
    if (g_thread || g_disabled || StimulusSwitchedOff()) return;
    wchar_t name[200];
    wsprintfW(name, L"%s.stimulus", sectionName);
    HANDLE driver = CreateMutexW(nullptr, FALSE, name);
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_start = {driver, stop, SimCurrentModule()};
    HANDLE thread =
        driver && stop ? CreateThread(nullptr, 0, StimulusThread, &g_start, 0, nullptr) : nullptr;
    if (!thread) {
        if (driver) CloseHandle(driver);
        if (stop) CloseHandle(stop);
        return;
    }
    SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL);
    g_thread = thread;
    g_stop = stop;
}

void SimStopStimulus() {
    if (!g_thread) return;
    SetEvent(g_stop);
    // The thread itself never lets go of the module; a wait on itself would never end.
    if (GetThreadId(g_thread) == GetCurrentThreadId()) return;
    WaitForSingleObject(g_thread, INFINITE);
    CloseHandle(g_thread);
    CloseHandle(g_stop);
    g_thread = g_stop = nullptr;
}
