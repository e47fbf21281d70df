// Pieces of the simulated module shared between its source files.
#pragma once
#include "sim/sim.h"

bool SimIsPxaModule(SimModule module);
bool SimIsTegraModule(SimModule module);

// Register state of one module, in a named section that every process of the prefix shares.
constexpr int SIM_MAX_REGIONS = 2;
constexpr DWORD SIM_REGION_SIZE = 0x2000;
constexpr int SIM_REGION_WORDS = SIM_REGION_SIZE / 4;

struct SimSharedState {
    DWORD magic;
    volatile LONG phase; // 0 new, 1 being set up, 2 ready
    DWORD module;
    volatile LONG regs[SIM_MAX_REGIONS][SIM_REGION_WORDS];
};

// The state of the selected module, created at power-on state when no process holds it yet.
// Null for modules without registers.
SimSharedState* SimState();
// Releases this process's view and bindings (module switch in tests).
void SimForgetModuleState();

// A register device: reads and writes by byte offset in its region.
struct SimDevice {
    DWORD physical;
    const char* name;
    uint32_t (*read)(volatile LONG* words, DWORD offset);
    void (*write)(volatile LONG* words, DWORD offset, uint32_t value);
    void (*powerOn)(volatile LONG* words);
};
const SimDevice* SimDevicesOf(SimModule module, int* count);

// Binds a reserved, inaccessible address range to physical registers; false when the range is
// not reserved or no device of the module lies at that physical range.
bool SimBindWindow(void* destination, DWORD physical, DWORD size);
