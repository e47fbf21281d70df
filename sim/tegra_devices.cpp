// Tegra GPIO controller and pad control.
#include "sim/sim_internal.h"

namespace {

uint32_t GpioRead(SimSharedState* state, DWORD offset) {
    return uint32_t(state->regs[SIM_REGION_GPIO][offset / 4]);
}
void GpioWrite(SimSharedState* state, DWORD offset, uint32_t value) {
    InterlockedExchange(&state->regs[SIM_REGION_GPIO][offset / 4], LONG(value));
}
uint32_t PadRead(SimSharedState* state, DWORD offset) {
    return uint32_t(state->regs[SIM_REGION_PINS][offset / 4]);
}
void PadWrite(SimSharedState* state, DWORD offset, uint32_t value) {
    InterlockedExchange(&state->regs[SIM_REGION_PINS][offset / 4], LONG(value));
}

} // namespace

// First cut: plain storage.
const SimDevice kTegraGpioController = {0x6000D000, "GPIO controller", SIM_REGION_GPIO,
                                        GpioRead,   GpioWrite,         nullptr};
const SimDevice kTegra2PadControl = {0x70000000, "pad control", SIM_REGION_PINS,
                                     PadRead,    PadWrite,      nullptr};
const SimDevice kTegra3PadControl = {0x70003000, "pad control", SIM_REGION_PINS,
                                     PadRead,    PadWrite,      nullptr};

bool SimTegraDriveInput(SimSharedState*, SimModule, uint32_t, int) {
    return false;
}
int SimTegraPinLevel(SimSharedState*, SimModule, uint32_t) {
    return -1;
}
