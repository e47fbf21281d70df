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
    if (gpio >= SimModuleDescription(module)->gpioCount) return -1;
    DWORD physical = 0, bit = 0;
    if (SimIsPxaModule(module)) {
        // GPDR; numbers from 128 are second pads of the first GPIOs.
        uint32_t g = gpio >= 128 ? gpio - 128 : gpio;
        uint32_t bank = g >> 5;
        physical = kPxaGpioController.physical + (bank < 3 ? 0x00C + 4 * bank : 0x10C);
        bit = g & 31;
    } else {
        // OE of the GPIO's bank and port.
        DWORD bankShift = module == SIM_MODULE_TEGRA2 ? 7 : 8;
        physical = kTegraGpioController.physical + ((gpio >> 5) << bankShift) +
                   4 * ((gpio >> 3) & 3) + 0x10;
        bit = gpio & 7;
    }
    uint32_t value = 0;
    if (!SimPhysicalRead(physical, &value)) return -1;
    return (value >> bit) & 1;
}
