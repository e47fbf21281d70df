// Tegra pad-control tables (gpiolib/tegra_tables.cpp).
#pragma once
#include "gpiolib/processors.h"

#include <cstdint>

constexpr int TEGRA2_GPIO_COUNT = int(FactsOf(PROCESSOR_TEGRA2).gpioCount);
constexpr int TEGRA3_GPIO_COUNT = int(FactsOf(PROCESSOR_TEGRA3).gpioCount);
constexpr int TEGRA2_PIN_GROUP_COUNT = 115;

// A pad field of a Tegra 2 pin group: register number within its register set, and shift.
struct TegraFieldRef {
    uint8_t reg;
    uint8_t shift;
};
// In both members: the group has no such field.
constexpr uint8_t TEGRA_FIELD_NONE = 0xFF;

struct Tegra2PinGroup {
    char name[6];           // 2 to 5 ASCII characters, NUL-terminated
    TegraFieldRef mux;      // 2 bits; pin-mux control registers, word reg + 32 (byte 0x80)
    TegraFieldRef pull;     // 2 bits; pull-up/down registers, word reg + 40 (byte 0xA0)
    TegraFieldRef tristate; // 1 bit; tristate registers, word reg + 5 (byte 0x14)
};

extern const Tegra2PinGroup Tegra2PinGroupTable[TEGRA2_PIN_GROUP_COUNT];
// The pin group of each Tegra 2 GPIO, an index into Tegra2PinGroupTable.
extern const uint8_t Tegra2GpioGroup[TEGRA2_GPIO_COUNT];
// The pad register of each Tegra 3 GPIO: word index in the pad-control window.
extern const uint8_t Tegra3PadIndex[TEGRA3_GPIO_COUNT];
