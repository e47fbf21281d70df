// Power-on state of the simulated PXA modules: the pins that the boot loader leaves on a
// peripheral function, as a GPIO, or with edge detection enabled. Every other pin is a GPIO
// input on function 0, outside signal low.
#pragma once
#include <cstdint>

enum : uint8_t { PXA_IN, PXA_OUT };
// Edge column: detection enables, and an edge that boot left latched in GEDR.
constexpr uint8_t PXA_RISE = 1, PXA_FALL = 2, PXA_BOTH = 3, PXA_SEEN = 4;
// Pull column (PXA3xx MFPR; the PXA270 has no per-pin pulls).
enum : uint8_t { PXA_NOPULL, PXA_PULLUP, PXA_PULLDOWN };

struct PxaPowerOnPin {
    uint8_t gpio;  // the tool's numbering; 128 and up are second pads (PXA3xx)
    uint8_t fn;    // PXA270 GAFR field, PXA3xx MFPR bits 2..0
    uint8_t dir;   // GPDR bit of the controller pin
    uint8_t level; // output latch of an output, outside signal of an input
    uint8_t edge;  // PXA_RISE / PXA_FALL enables, PXA_SEEN
    uint8_t pull;
};

struct PxaPowerOnTable {
    const PxaPowerOnPin* pins;
    int count;
};

extern const PxaPowerOnTable kPxa270PowerOn;
extern const PxaPowerOnTable kPxa320PowerOn;
extern const PxaPowerOnTable kPxa3x0PowerOn;      // PXA300 and PXA310
extern const PxaPowerOnTable kPxa310ExtraPowerOn; // pads only the PXA310 has
