// The GPIO operations: lazy initialisation, bounds, then the family's table of operations.
// The Tegra pad operations (pinmux, tristate, pull, pin group) keep their own rules and live in
// gpiolib/tegra.cpp.
#include "gpiolib/models.h"
#include "platform/ce.h"

namespace {

uint32_t Processor() {
    return g_gpioLib.processorId;
}

// Null for a processor no family knows: every entry of its table is missing.
const GpioOperations* Operations() {
    const ProcessorFacts* p = FindProcessorFacts(Processor());
    if (!p) return nullptr;
    switch (p->family) {
    case FAMILY_PXA270:
    case FAMILY_PXA3XX: return &kPxaOperations;
    case FAMILY_TEGRA2: return &kTegra2Operations;
    case FAMILY_TEGRA3: return &kTegra3Operations;
    }
    return nullptr;
}

// The family's entry, or null when it has none.
template <typename Entry> Entry Find(Entry GpioOperations::*entry) {
    const GpioOperations* ops = Operations();
    return ops ? ops->*entry : nullptr;
}

} // namespace

int GetGPIODir(uint32_t gpio) {
    if (!GpioInRange(gpio)) return 0;
    if (auto op = Find(&GpioOperations::getDir)) return op(gpio);
    ReportUnsupportedProcessor();
    return 0;
}

void SetGPIODir(uint32_t gpio, uint32_t dir) {
    if (!GpioInRange(gpio)) return;
    if (auto op = Find(&GpioOperations::setDir)) return op(gpio, dir);
    ReportUnsupportedProcessor();
}

int GetGPIOLevel(uint32_t gpio) {
    if (!GpioInRange(gpio)) return 0;
    if (auto op = Find(&GpioOperations::getLevel)) return op(gpio);
    ReportUnsupportedProcessor();
    return 0;
}

void SetGPIOLevel(uint32_t gpio, uint32_t level) {
    if (!GpioInRange(gpio)) return;
    if (auto op = Find(&GpioOperations::setLevel)) return op(gpio, level);
    ReportUnsupportedProcessor();
}

int GetGPIOEdgeDetect(uint32_t gpio) {
    if (!GpioInRange(gpio)) return 0;
    if (auto op = Find(&GpioOperations::getEdgeDetect)) return op(gpio);
    NKDbgPrintfW(
        L"ERROR: GPIOLib: GetGPIOEdgeDetect This processor is not supported (procID: %x)\n\r",
        Processor());
    return -1;
}

void SetGPIOEdgeDetect(uint32_t gpio, uint32_t flags) {
    if (!GpioInRange(gpio)) return;
    if (auto op = Find(&GpioOperations::setEdgeDetect)) return op(gpio, flags);
    ReportUnsupportedProcessor();
}

// Families without edge status read 0 and clear nothing, without a message.
int GetGPIOEdgeStatus(uint32_t gpio) {
    if (!GpioInRange(gpio)) return 0;
    auto op = Find(&GpioOperations::getEdgeStatus);
    return op ? op(gpio) : 0;
}

void ClearGPIOEdgeStatus(uint32_t gpio) {
    if (!GpioInRange(gpio)) return;
    if (auto op = Find(&GpioOperations::clearEdgeStatus)) op(gpio);
}

int GetGPIOAltFn(uint32_t gpio) {
    if (!GpioInRange(gpio)) return 0;
    if (auto op = Find(&GpioOperations::getAltFn)) return op(gpio);
    ReportUnsupportedProcessor();
    return 0;
}

void SetGPIOAltFn(uint32_t gpio, int fn, uint32_t dir) {
    if (!GpioInRange(gpio)) return;
    if (auto op = Find(&GpioOperations::setAltFn)) return op(gpio, fn, dir);
    ReportUnsupportedProcessor();
}

int GetGPIODefaultFn(uint32_t gpio) {
    if (!GpioInRange(gpio)) return -1;
    auto op = Find(&GpioOperations::getDefaultFn);
    return op ? op(gpio) : -1;
}
