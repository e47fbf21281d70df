// GPIOLib: every GPIO operation of the supported processors, keyed by GPIO number.
#pragma once
#include "gpiolib/processors.h"

#include <cstdint>

// BootImage layout: the PXA GPIO controller block, then one MFPR word per GPIO.
constexpr int BOOT_IMAGE_GPIO_WORDS = 300;
constexpr int BOOT_IMAGE_MFPR_WORDS = PXA_MAX_GPIOS;
constexpr int BOOT_IMAGE_WORDS = BOOT_IMAGE_GPIO_WORDS + BOOT_IMAGE_MFPR_WORDS;

// Frame.
void InitGPIOLib();
void DeInitGPIOLib();
int InitGPIOLibOnImage(uint32_t* image);
uint32_t IdentifyProcessor();
// The GPIO count the last initialisation fixed (0 before the first): numbers 0 .. count - 1.
uint32_t GetGPIOCount();
// The image GPIOLib works on since InitGPIOLibOnImage; null on the registers or uninitialised.
const volatile uint32_t* GetGPIOLibImage();
// 1 when the module belongs to the Belvan family: the upper half of the platform's
// module-information word is 0x0001 (a failed query counts as a Tessara module).
int IsBelvanModule();

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
constexpr int SODIMM_PINS = 200;         // edge connector of the Tessara modules
constexpr int MXM3_PINS = 320;           // edge connector of the Belvan module
constexpr int X2_PINS = 18;              // the mapped pins of X2
// 1 and the entry written, or 0 when the pin has no entry.
int GetGPIOFromPin(uint32_t pin, int connector, uint16_t* entry);
