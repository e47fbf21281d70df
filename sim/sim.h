// The simulated module: what the tools and tests may ask of it beyond the platform calls.
#pragma once
#include <windows.h>
#include <cstdint>

enum SimModule {
    SIM_MODULE_INVALID = -1, // VELMORA_SIM_MODULE names nothing we know
    SIM_MODULE_NONE = 0,     // not one of our modules: the module-information query fails
    SIM_MODULE_UNKNOWN_CPU,  // a module whose main ID register no table knows
    SIM_MODULE_PXA270,
    SIM_MODULE_PXA320,
    SIM_MODULE_PXA300,
    SIM_MODULE_PXA310,
    SIM_MODULE_TEGRA2,
    SIM_MODULE_TEGRA3,
    SIM_MODULE_TEGRA3_BELVAN,
};

struct SimModuleInfo {
    SimModule id;
    const char* name;   // value of VELMORA_SIM_MODULE
    DWORD mainId;       // main ID register
    DWORD moduleInfo;   // module-information word
    uint32_t gpioCount; // GPIOs of the processor (0: no register model)
};

// The module selected by VELMORA_SIM_MODULE (read once), or by SimSelectModule.
SimModule SimCurrentModule();
const SimModuleInfo* SimModuleDescription(SimModule module);
const SimModuleInfo* SimFindModule(const char* name); // null when unknown
const char* SimAcceptedModuleNames();                 // "pxa270, pxa320, ..."
// Tests switch modules inside one process; drops every window binding.
void SimSelectModule(SimModule module);

// Kernel services, as the module's platform counts them.
int SimKernelInitCount();
int SimKernelCallCount(); // calls in kernel mode (sub-code 0) made so far
bool SimInKernelMode();

// The platform's boot-configuration flash services, shared by every process that holds the
// module (a running tool): refuse requests and count them. Nothing is kept, and refusals are
// not possible, while no process holds the module.
enum SimFlashOperation { SIM_FLASH_READ = 1, SIM_FLASH_SAVE = 2, SIM_FLASH_ERASE = 4 };
bool SimFlashRefuse(int operations); // the whole set of refused requests; false: no module state
int SimFlashRefused();
struct SimFlashRequests {
    LONG reads, saves, erases; // requests that arrived, refused or not
};
SimFlashRequests SimFlashRequestCounts();
// The block of the latest save request, stored or refused; false when none arrived.
bool SimFlashLastSaveRequest(BYTE* block);

// A slow register bus, for tests of a refresh pass that overruns: the next register read of
// the module, by whichever process, waits `ms` first. False when no module state exists.
bool SimSlowNextRead(DWORD ms);
DWORD SimSlowReadPending(); // the wait still set: 0 once a read has begun it

// Debug output: every NKDbgPrintfW line also goes to this hook when set.
typedef void (*SimDebugHook)(const wchar_t* line);
void SimSetDebugHook(SimDebugHook hook);

// Physical register windows of the selected module.
struct SimRegion {
    DWORD physical; // 4 KiB aligned base
    DWORD size;
    const char* name;
};
int SimRegionCount();
const SimRegion* SimRegionAt(int index);
// Device access by physical address; false when no device sits there.
bool SimPhysicalRead(DWORD physical, uint32_t* value);
bool SimPhysicalWrite(DWORD physical, uint32_t value);
// Power-on state of the selected module; false when the module has no state to reset.
bool SimResetModule();

// The outside world. GPIO numbers are those of the tool's "#" column.
// Drives the signal on a pin; an input then reads it (and may latch an edge). False when the
// module has no such GPIO.
bool SimDriveInput(uint32_t gpio, int level);
// The level at the pin: the output latch for an output, the outside signal for an input;
// -1 when the module has no such GPIO.
int SimPinLevel(uint32_t gpio);
// 1 when the module drives the pin (an output), 0 when it is an input, -1 no such GPIO.
int SimPinIsOutput(uint32_t gpio);

// The module lives in a named section while some process holds it. True when another process
// (a running tool, say) holds the selected module; ask before this process touches it.
bool SimModuleHeldElsewhere();

// A few input pins change by themselves (a slow square wave, a button pressed now and then),
// driven by one process of all that hold the module. VELMORA_SIM_STIMULUS=off, or this call
// before the module is first used, keeps this process from driving them.
void SimDisableStimulus();
struct SimStimulusPins {
    int squareWave; // GPIO toggling every second; -1 none
    int button;     // GPIO held high, pulled low for a moment every few seconds; -1 none
};
SimStimulusPins SimStimulusPinsOf(SimModule module);

// Test hook: the Tegra devices log the writes this process makes to them (the first 256).
struct SimWrite {
    DWORD physical;
    uint32_t value;
};
void SimRecordWrites(bool on);                 // empties the log; on: starts logging
int SimRecordedWrites(SimWrite* out, int max); // number of writes logged, oldest first
