// Module pin map: the GPIOs that a connector pin of the module carries.
#include "gpiolib/pinmap.h"
#include "platform/ce.h"

int GetGPIOFromPin(uint32_t pin, int connector, uint16_t* entry) {
    if (pin < 1 || pin > MXM3_PINS || !entry) return 0;
    // Initialise before the SODIMM bound: only initialisation tells a Belvan module (320 pins)
    // from a Tessara one (200).
    if (!g_gpioLib.initialised) InitGPIOLib();
    if (!g_gpioLib.mxm3Module && pin > SODIMM_PINS) return 0;

    int row = ProcessorIndex(g_gpioLib.processorId);
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
