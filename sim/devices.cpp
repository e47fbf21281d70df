// Which register devices each simulated module has, and the outside world's entry points.
#include "sim/sim_internal.h"

namespace {

const SimDevice* const kPxa270Devices[] = {&kPxaGpioController};
const SimDevice* const kPxa3xxDevices[] = {&kPxaGpioController, &kPxaMfpr};
const SimDevice* const kTegra2Devices[] = {&kTegraGpioController, &kTegra2PadControl};
const SimDevice* const kTegra3Devices[] = {&kTegraGpioController, &kTegra3PadControl};

} // namespace

const SimDevice* const* SimDevicesOf(SimModule module, int* count) {
    switch (module) {
    case SIM_MODULE_PXA270: *count = 1; return kPxa270Devices;
    case SIM_MODULE_PXA320:
    case SIM_MODULE_PXA300:
    case SIM_MODULE_PXA310: *count = 2; return kPxa3xxDevices;
    case SIM_MODULE_TEGRA2: *count = 2; return kTegra2Devices;
    case SIM_MODULE_TEGRA3:
    case SIM_MODULE_TEGRA3_BELVAN: *count = 2; return kTegra3Devices;
    default: *count = 0; return nullptr;
    }
}

bool SimDriveInput(uint32_t gpio, int level) {
    SimModule module = SimCurrentModule();
    SimSharedState* state = SimState();
    if (!state) return false;
    if (SimIsPxaModule(module)) return SimPxaDriveInput(state, module, gpio, level);
    return SimTegraDriveInput(state, module, gpio, level);
}

int SimPinLevel(uint32_t gpio) {
    SimModule module = SimCurrentModule();
    SimSharedState* state = SimState();
    if (!state) return -1;
    if (SimIsPxaModule(module)) return SimPxaPinLevel(state, module, gpio);
    return SimTegraPinLevel(state, module, gpio);
}

int SimPinIsOutput(uint32_t gpio) {
    SimModule module = SimCurrentModule();
    SimSharedState* state = SimState();
    if (!state) return -1;
    if (SimIsPxaModule(module)) return SimPxaPinIsOutput(state, module, gpio);
    return SimTegraPinIsOutput(state, module, gpio);
}
