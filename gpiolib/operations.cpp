// The GPIO operations: lazy initialisation, bounds, then the processor's register model.
// The Tegra pad operations (pinmux, tristate, pull, pin group) keep their own rules and live in
// gpiolib/tegra.cpp.
#include "gpiolib/models.h"
#include "platform/ce.h"

namespace {

uint32_t Processor() { return g_gpioLib.processorId; }

} // namespace

int GetGPIODir(uint32_t gpio) {
    if (!GpioInRange(gpio)) return 0;
    if (IsPxa(Processor())) return PxaGetDir(gpio);
    if (IsTegra(Processor())) return TegraGetDir(gpio);
    ReportUnsupportedProcessor();
    return 0;
}

void SetGPIODir(uint32_t gpio, uint32_t dir) {
    if (!GpioInRange(gpio)) return;
    if (IsPxa(Processor())) return PxaSetDir(gpio, dir);
    if (IsTegra(Processor())) return TegraSetDir(gpio, dir);
    ReportUnsupportedProcessor();
}

int GetGPIOLevel(uint32_t gpio) {
    if (!GpioInRange(gpio)) return 0;
    if (IsPxa(Processor())) return PxaGetLevel(gpio);
    if (IsTegra(Processor())) return TegraGetLevel(gpio);
    ReportUnsupportedProcessor();
    return 0;
}

void SetGPIOLevel(uint32_t gpio, uint32_t level) {
    if (!GpioInRange(gpio)) return;
    if (IsPxa(Processor())) return PxaSetLevel(gpio, level);
    if (IsTegra(Processor())) return TegraSetLevel(gpio, level);
    ReportUnsupportedProcessor();
}

int GetGPIOEdgeDetect(uint32_t gpio) {
    if (!GpioInRange(gpio)) return 0;
    if (IsPxa(Processor())) return PxaGetEdgeDetect(gpio);
    if (Processor() == PROCESSOR_TEGRA2) return Tegra2GetEdgeDetect(gpio);
    NKDbgPrintfW(L"ERROR: GPIOLib: GetGPIOEdgeDetect This processor is not supported (procID: %x)\n\r",
                 Processor());
    return -1;
}

void SetGPIOEdgeDetect(uint32_t gpio, uint32_t flags) {
    if (!GpioInRange(gpio)) return;
    if (IsPxa(Processor())) return PxaSetEdgeDetect(gpio, flags);
    if (Processor() == PROCESSOR_TEGRA2) return Tegra2SetEdgeDetect(gpio, flags);
    ReportUnsupportedProcessor();
}

int GetGPIOEdgeStatus(uint32_t gpio) {
    if (!GpioInRange(gpio)) return 0;
    if (IsPxa(Processor())) return PxaGetEdgeStatus(gpio);
    return 0;
}

void ClearGPIOEdgeStatus(uint32_t gpio) {
    if (!GpioInRange(gpio)) return;
    PxaClearEdgeStatus(gpio);
}

int GetGPIOAltFn(uint32_t gpio) {
    if (!GpioInRange(gpio)) return 0;
    if (IsPxa(Processor())) return PxaGetAltFn(gpio);
    if (IsTegra(Processor())) return TegraGetAltFn(gpio);
    ReportUnsupportedProcessor();
    return 0;
}

void SetGPIOAltFn(uint32_t gpio, int fn, uint32_t dir) {
    if (!GpioInRange(gpio)) return;
    if (IsPxa(Processor())) return PxaSetAltFn(gpio, fn, dir);
    if (IsTegra(Processor())) return TegraSetAltFn(gpio, fn, dir);
    ReportUnsupportedProcessor();
}

int GetGPIODefaultFn(uint32_t gpio) {
    if (!GpioInRange(gpio)) return -1;
    if (IsPxa(Processor())) return PxaGetDefaultFn(gpio);
    if (IsTegra(Processor())) return 255;
    return -1;
}
