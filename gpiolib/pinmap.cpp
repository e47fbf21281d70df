// Module pin map: the GPIOs that a connector pin of the module carries.
#include "gpiolib/pinmap.h"
#include "platform/ce.h"

namespace {

// The pin map row of the recorded processor, or -1.
int PinMapRow(uint32_t processorId) {
    switch (processorId) {
    case PROCESSOR_PXA270: return 0;
    case PROCESSOR_PXA320: return 1;
    case PROCESSOR_PXA300: return 2;
    case PROCESSOR_PXA310: return 3;
    case PROCESSOR_TEGRA2: return 4;
    case PROCESSOR_TEGRA3: return 5;
    default: return -1;
    }
}

} // namespace

int GetGPIOFromPin(uint32_t pin, int connector, uint16_t* entry) {
    if (pin < 1 || pin > MXM3_PINS || !entry) return 0;
    // Initialise before the SODIMM bound: only initialisation tells a Belvan module (320 pins)
    // from a Tessara one (200).
    if (!g_gpioLib.initialised) InitGPIOLib();
    if (!g_gpioLib.mxm3Module && pin > SODIMM_PINS) return 0;

    int row = PinMapRow(g_gpioLib.processorId);
    if (row < 0) {
        NKDbgPrintfW(
            L"ERROR: GPIOLib: GetGPIOFromPin, this processor is not supported (procID: %x)\n\r",
            g_gpioLib.processorId);
        return 0;
    }

    if (connector != CONNECTOR_EDGE) {
        if (IsTegra(g_gpioLib.processorId)) {
            NKDbgPrintfW(L"ERROR: GPIOLib: GetGPIOFromPin, Tegra has no GPIOs on X2\n\r");
            return 0;
        }
        if (pin > X2_PINS) return 0;
        *entry = ExtensionPinMap[pin - 1][row];
        return 1;
    }

    if (g_gpioLib.mxm3Module)
        *entry = pin % 2 ? Mxm3PinMapOdd[(pin - 1) / 2] : Mxm3PinMapEven[pin / 2 - 1];
    else
        *entry = pin % 2 ? SodimmPinMapOdd[(pin - 1) / 2][row] : SodimmPinMapEven[pin / 2 - 1][row];
    return 1;
}
