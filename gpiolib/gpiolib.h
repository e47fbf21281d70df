// GPIOLib: every GPIO operation of the supported processors, keyed by GPIO number.
#pragma once
#include "gpiolib/processors.h"

#include <cstdint>

// BootImage layout: the PXA GPIO controller block, then one MFPR word per GPIO.
constexpr int BOOT_IMAGE_GPIO_WORDS = 300;
constexpr int BOOT_IMAGE_MFPR_WORDS = PXA_MAX_GPIOS;
constexpr int BOOT_IMAGE_WORDS = BOOT_IMAGE_GPIO_WORDS + BOOT_IMAGE_MFPR_WORDS;

constexpr int MFPR_INDEX_ENTRIES = PXA_MAX_GPIOS;

struct GpioLibState {
    uint32_t processorId;
    uint32_t gpioCount; // valid GPIO numbers are 0 .. gpioCount - 1
    bool initialised;
    bool onImage;                           // the PXA windows point into a BootImage
    volatile uint32_t* gpioWindow;          // PXA GPIO controller
    volatile uint32_t* mfprWindow;          // PXA3xx multi-function pin registers
    volatile uint32_t* padWindow;           // Tegra pinmux, pull and tristate
    volatile uint32_t* tegraGpioWindow;     // Tegra GPIO controller
    uint16_t mfprIndex[MFPR_INDEX_ENTRIES]; // word of each GPIO's MFPR in the MFPR window
    uint32_t bankShift;                     // Tegra: banks lie 1 << bankShift bytes apart
    uint32_t maskedOffset;                  // Tegra: distance to a register's masked-write twin
    bool mxm3Module;                        // Tegra 3 on a Belvan module
};
extern GpioLibState g_gpioLib;

// Frame.
void InitGPIOLib();
void DeInitGPIOLib();
int InitGPIOLibOnImage(uint32_t* image);
uint32_t IdentifyProcessor();

// Register model. GPIO numbers not below the GPIO count touch nothing.
int GetGPIODir(uint32_t gpio);
void SetGPIODir(uint32_t gpio, uint32_t dir);
int GetGPIOLevel(uint32_t gpio);
void SetGPIOLevel(uint32_t gpio, uint32_t level);
int GetGPIOEdgeDetect(uint32_t gpio);
void SetGPIOEdgeDetect(uint32_t gpio, uint32_t flags);
int GetGPIOEdgeStatus(uint32_t gpio);
void ClearGPIOEdgeStatus(uint32_t gpio);
int GetGPIOAltFn(uint32_t gpio);
void SetGPIOAltFn(uint32_t gpio, int fn, uint32_t dir);
int GetGPIODefaultFn(uint32_t gpio);
int GetGPIOTristate(uint32_t gpio);
int SetGPIOTristate(uint32_t gpio, uint32_t value);
int GetGPIOPullState(uint32_t gpio);
int SetGPIOPullState(uint32_t gpio, uint32_t value);
int GetGPIOPinGroup(uint32_t gpio, char* text);
int SetTegraPinMux(uint32_t gpio, uint32_t fn);
int GetTegraPinMux(uint32_t gpio);

// Module pin map: the GPIO(s) on a connector pin. connector 0 = edge connector, else X2.
// PinMapEntry: low byte the GPIO wired to the pin, high byte a second GPIO on the same pin.
constexpr uint8_t PIN_GPIO_NONE = 255;   // a byte that names no GPIO
constexpr uint16_t PIN_NO_GPIO = 0xFFFF; // the pin carries no GPIO at all
constexpr int CONNECTOR_EDGE = 0;        // SODIMM or MXM3
constexpr int CONNECTOR_X2 = 1;          // extension connector of the PXA modules
// 1 and the entry written, or 0 when the pin has no entry.
int GetGPIOFromPin(uint32_t pin, int connector, uint16_t* entry);
