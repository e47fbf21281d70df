// The only way GPIOLib touches a hardware register: one 32-bit volatile access.
#pragma once
#include <cstdint>

#if VELMORA_SIMULATED_MODULE
// A simulated register window is inaccessible memory bound to a device model; these hand the
// access to it and return false for any other address (a BootImage in RAM).
bool SimRegisterRead(const volatile uint32_t* reg, uint32_t* value);
bool SimRegisterWrite(volatile uint32_t* reg, uint32_t value);

inline uint32_t RegRead(const volatile uint32_t* reg) {
    uint32_t value;
    if (SimRegisterRead(reg, &value)) return value;
    return *reg;
}

inline void RegWrite(volatile uint32_t* reg, uint32_t value) {
    if (!SimRegisterWrite(reg, value)) *reg = value;
}
#else
inline uint32_t RegRead(const volatile uint32_t* reg) {
    return *reg;
}
inline void RegWrite(volatile uint32_t* reg, uint32_t value) {
    *reg = value;
}
#endif
