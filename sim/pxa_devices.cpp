// PXA GPIO controller and PXA3xx multi-function pin registers.
#include "sim/sim_internal.h"

namespace {

uint32_t PlainRead(SimSharedState* state, int region, DWORD offset) {
    return uint32_t(state->regs[region][offset / 4]);
}

uint32_t GpioRead(SimSharedState* state, DWORD offset) {
    return PlainRead(state, SIM_REGION_GPIO, offset);
}
void GpioWrite(SimSharedState* state, DWORD offset, uint32_t value) {
    InterlockedExchange(&state->regs[SIM_REGION_GPIO][offset / 4], LONG(value));
}
uint32_t MfprRead(SimSharedState* state, DWORD offset) {
    return PlainRead(state, SIM_REGION_PINS, offset);
}
void MfprWrite(SimSharedState* state, DWORD offset, uint32_t value) {
    InterlockedExchange(&state->regs[SIM_REGION_PINS][offset / 4], LONG(value));
}

} // namespace

// First cut: plain storage.
const SimDevice kPxaGpioController = {0x40E00000, "GPIO controller", SIM_REGION_GPIO,
                                      GpioRead,   GpioWrite,         nullptr};
const SimDevice kPxaMfpr = {
    0x40E10000, "multi-function pin registers", SIM_REGION_PINS, MfprRead, MfprWrite, nullptr};

bool SimPxaDriveInput(SimSharedState*, SimModule, uint32_t, int) {
    return false;
}
int SimPxaPinLevel(SimSharedState*, SimModule, uint32_t) {
    return -1;
}
