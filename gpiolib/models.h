// The per-family register models behind the operations of gpiolib.h: one table of operations
// per family. The operations have already initialised the library and tested the GPIO number
// when these are called. A null entry: the family has no such register; the operation's own
// rule for that case applies (gpiolib/operations.cpp).
#pragma once
#include "gpiolib/frame.h"

struct GpioOperations {
    int (*getDir)(uint32_t gpio);
    void (*setDir)(uint32_t gpio, uint32_t dir);
    int (*getLevel)(uint32_t gpio);
    void (*setLevel)(uint32_t gpio, uint32_t level);
    int (*getEdgeDetect)(uint32_t gpio);
    void (*setEdgeDetect)(uint32_t gpio, uint32_t flags);
    int (*getEdgeStatus)(uint32_t gpio);
    void (*clearEdgeStatus)(uint32_t gpio);
    int (*getAltFn)(uint32_t gpio);
    void (*setAltFn)(uint32_t gpio, int fn, uint32_t dir);
    int (*getDefaultFn)(uint32_t gpio);
};

// PXA270, PXA320, PXA300, PXA310 (gpiolib/pxa.cpp).
extern const GpioOperations kPxaOperations;
// Tegra 2 and Tegra 3 (gpiolib/tegra.cpp); edge detection exists on the Tegra 2 only.
extern const GpioOperations kTegra2Operations;
extern const GpioOperations kTegra3Operations;
