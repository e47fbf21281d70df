// Register devices of each simulated processor.
#include "sim/sim_internal.h"

namespace {

uint32_t PlainRead(volatile LONG* words, DWORD offset) {
    return uint32_t(words[offset / 4]);
}
void PlainWrite(volatile LONG* words, DWORD offset, uint32_t value) {
    InterlockedExchange(&words[offset / 4], LONG(value));
}

const SimDevice kPxaDevices[] = {
    {0x40E00000, "GPIO controller", PlainRead, PlainWrite, nullptr},
    {0x40E10000, "multi-function pin registers", PlainRead, PlainWrite, nullptr},
};
const SimDevice kTegra2Devices[] = {
    {0x6000D000, "GPIO controller", PlainRead, PlainWrite, nullptr},
    {0x70000000, "pad control", PlainRead, PlainWrite, nullptr},
};
const SimDevice kTegra3Devices[] = {
    {0x6000D000, "GPIO controller", PlainRead, PlainWrite, nullptr},
    {0x70003000, "pad control", PlainRead, PlainWrite, nullptr},
};

} // namespace

const SimDevice* SimDevicesOf(SimModule module, int* count) {
    switch (module) {
    case SIM_MODULE_PXA270:
    case SIM_MODULE_PXA320:
    case SIM_MODULE_PXA300:
    case SIM_MODULE_PXA310: *count = 2; return kPxaDevices;
    case SIM_MODULE_TEGRA2: *count = 2; return kTegra2Devices;
    case SIM_MODULE_TEGRA3:
    case SIM_MODULE_TEGRA3_BELVAN: *count = 2; return kTegra3Devices;
    default: *count = 0; return nullptr;
    }
}
