// The outside world that changes by itself, so that a user sees the table follow the pins.
#include "sim/sim_internal.h"

namespace {

bool g_disabled;
bool g_started;

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

DWORD WINAPI StimulusThread(void* parameter) {
    HANDLE mutex = parameter;
    bool driving = false;
    for (;;) {
        // One process drives; when it ends, its abandoned mutex passes to another.
        if (!driving) {
            DWORD got = WaitForSingleObject(mutex, 0);
            driving = got == WAIT_OBJECT_0 || got == WAIT_ABANDONED;
        }
        if (driving) {
            SimStimulusPins pins = PinsOf(SimCurrentModule());
            ULONGLONG now = GetTickCount64();
            if (pins.squareWave >= 0) SimDriveInput(pins.squareWave, (now / kHalfWave) & 1);
            ULONGLONG phase = now % kButtonPeriod;
            bool pressed = phase >= kButtonPressAt && phase < kButtonPressAt + kButtonPress;
            if (pins.button >= 0) SimDriveInput(pins.button, !pressed);
        }
        Sleep(kTick);
    }
}

} // namespace

SimStimulusPins SimStimulusPinsOf(SimModule module) {
    return PinsOf(module);
}

void SimDisableStimulus() {
    g_disabled = true;
}

void SimStartStimulus(const wchar_t* sectionName) {
    if (g_started || g_disabled) return;
    wchar_t setting[8];
    DWORD n = GetEnvironmentVariableW(L"VELMORA_SIM_STIMULUS", setting, 8);
    if (n && n < 8 && lstrcmpiW(setting, L"off") == 0) return;
    g_started = true;
    wchar_t name[200];
    wsprintfW(name, L"%s.stimulus", sectionName);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
    if (!mutex) return;
    HANDLE thread = CreateThread(nullptr, 0, StimulusThread, mutex, 0, nullptr);
    if (thread) {
        SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL);
        CloseHandle(thread);
    }
}
