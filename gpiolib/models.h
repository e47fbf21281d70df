// The per-family register models behind the operations of gpiolib.h. The operations have
// already initialised the library and tested the GPIO number when these are called.
#pragma once
#include "gpiolib/frame.h"

// PXA270, PXA320, PXA300, PXA310 (gpiolib/pxa.cpp).
int PxaGetDir(uint32_t gpio);
void PxaSetDir(uint32_t gpio, uint32_t dir);
int PxaGetLevel(uint32_t gpio);
void PxaSetLevel(uint32_t gpio, uint32_t level);
int PxaGetEdgeDetect(uint32_t gpio);
void PxaSetEdgeDetect(uint32_t gpio, uint32_t flags);
int PxaGetEdgeStatus(uint32_t gpio);
void PxaClearEdgeStatus(uint32_t gpio); // does nothing without a GPIO window
int PxaGetAltFn(uint32_t gpio);
void PxaSetAltFn(uint32_t gpio, int fn, uint32_t dir);
int PxaGetDefaultFn(uint32_t gpio);

// Tegra 2 and Tegra 3 (gpiolib/tegra.cpp). Edge detection exists on the Tegra 2 only.
int TegraGetDir(uint32_t gpio);
void TegraSetDir(uint32_t gpio, uint32_t dir);
int TegraGetLevel(uint32_t gpio);
void TegraSetLevel(uint32_t gpio, uint32_t level);
int Tegra2GetEdgeDetect(uint32_t gpio);
void Tegra2SetEdgeDetect(uint32_t gpio, uint32_t flags);
int TegraGetAltFn(uint32_t gpio);
void TegraSetAltFn(uint32_t gpio, int fn, uint32_t dir);
