// Pieces of the simulated module shared between its source files.
#pragma once
#include "platform/kernel_ioctl.h"
#include "sim/sim.h"

bool SimIsPxaModule(SimModule module);
// An environment control with the spaces around it removed: its length, 0 when unset or empty,
// size when it does not fit (value is then empty).
DWORD SimSetting(const wchar_t* name, wchar_t* value, DWORD size);
// One line on stderr: the control's value (null: it was too long) cannot be used, and the rule.
void SimSettingProblem(const char* name, const wchar_t* value, const char* rule);
// VELMORA_SIM_INSTANCE as the section names use it; empty when unset. False (with the message
// on stderr) when the value cannot be used.
bool SimInstance(wchar_t* instance, DWORD size);
bool SimIsTegraModule(SimModule module);

// Register state of one module, in a named section that every process of the prefix shares.
constexpr int SIM_MAX_REGIONS = 2;
constexpr DWORD SIM_REGION_SIZE = 0x2000;
constexpr int SIM_REGION_WORDS = SIM_REGION_SIZE / 4;

// Region 0 of every module is its GPIO controller; region 1 its pin functions (PXA3xx MFPR,
// Tegra pad control; unused on the PXA270).
constexpr int SIM_REGION_GPIO = 0;
constexpr int SIM_REGION_PINS = 1;
// Outside signals: one bit per GPIO of the controller (PXA: folded numbers 0..127).
constexpr int SIM_EXTERNAL_WORDS = 8;

struct SimSharedState {
    volatile LONG phase; // 2 once powered on
    DWORD module;
    volatile LONG regs[SIM_MAX_REGIONS][SIM_REGION_WORDS];
    // The level the outside world drives on each pin.
    volatile LONG external[SIM_EXTERNAL_WORDS];
    // State of the devices that no register shows as such (output latches, ...); each family
    // lays it out for itself.
    volatile LONG device[64];
    // The platform's flash services, as gpiosim and tests control and watch them: which
    // requests it refuses (SimFlashOperation bits), how many of each arrived, and the block the
    // latest save request carried (stored or refused).
    volatile LONG flashRefused;
    volatile LONG flashReads, flashSaves, flashErases;
    volatile LONG flashSaveRequested; // 1 once a save request carried a block
    BYTE flashLastSave[BOOT_BLOCK_SIZE];
    volatile LONG slowReadMs; // the next register read waits this long first (SimSlowNextRead)
};

// Guards compound updates of the shared state across processes (a named mutex). Keep it short;
// prefer single interlocked operations in devices. False when the lock could not be taken (the
// wait failed): the caller must then leave the state alone and must not unlock.
[[nodiscard]] bool SimLock(SimSharedState* state);
void SimUnlock(SimSharedState* state);

// Starts the outside world's own changes for the module of this section, once per process.
void SimStartStimulus(const wchar_t* sectionName);
// Asks the stimulus thread to stop and waits until it has ended, its locks released. Called
// before this process lets go of the module.
void SimStopStimulus();

// The state of the selected module, created at power-on state when no process holds it yet.
// Null for modules without registers.
SimSharedState* SimState();
// Releases this process's view and bindings (module switch in tests).
void SimForgetModuleState();

// A register device: reads and writes by byte offset in its region, with the hardware's effect.
struct SimDevice {
    DWORD physical; // 4 KiB aligned; the device answers SIM_REGION_SIZE bytes from here
    const char* name;
    int region; // which regs[] array holds its registers
    uint32_t (*read)(SimSharedState* state, DWORD offset);
    void (*write)(SimSharedState* state, DWORD offset, uint32_t value);
    // Registers and outside signals as a module has them after boot (called with the lock held).
    void (*powerOn)(SimSharedState* state, SimModule module);
};
// The devices of a module, region order; count 0 for modules without registers.
const SimDevice* const* SimDevicesOf(SimModule module, int* count);

// Devices of each family.
extern const SimDevice kPxaGpioController;
extern const SimDevice kPxaMfpr;
extern const SimDevice kTegraGpioController;
extern const SimDevice kTegra2PadControl;
extern const SimDevice kTegra3PadControl;

// The outside world on one GPIO (the tool's numbering): drive an input, read the pin.
// False / -1 for a GPIO the module does not have.
bool SimPxaDriveInput(SimSharedState* state, SimModule module, uint32_t gpio, int level);
int SimPxaPinLevel(SimSharedState* state, SimModule module, uint32_t gpio);
int SimPxaPinIsOutput(SimSharedState* state, SimModule module, uint32_t gpio);
bool SimTegraDriveInput(SimSharedState* state, SimModule module, uint32_t gpio, int level);
int SimTegraPinLevel(SimSharedState* state, SimModule module, uint32_t gpio);
// 1 when the module drives the pin, 0 when the outside signal does, -1 no such GPIO.
int SimTegraPinIsOutput(SimSharedState* state, SimModule module, uint32_t gpio);

// Binds a reserved, inaccessible address range to physical registers; false when the range is
// not reserved or no device of the module lies at that physical range.
bool SimBindWindow(void* destination, DWORD physical, DWORD size);
