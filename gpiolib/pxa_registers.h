// The PXA GPIO controller's register map: GPIOLib's PXA model reads and writes it, and the
// BootImage holds every register at its hardware position (app/bootcfg.cpp folds it).
#pragma once
#include <cstdint>

// Byte offsets from 0x40E00000 (names as in the processor manuals). Banked registers have one
// bit per GPIO; bank b holds GPIO 32b..32b+31 at offset + 4b, except bank 3, which lies at
// offset + 0x100:
//
//              bank 0  bank 1  bank 2  bank 3
//   GPLR       0x000   0x004   0x008   0x100   pin level
//   GPDR       0x00C   0x010   0x014   0x10C   direction, 1 = output
//   GPSR       0x018   0x01C   0x020   0x118   write 1: output latch high
//   GPCR       0x024   0x028   0x02C   0x124   write 1: output latch low
//   GRER       0x030   0x034   0x038   0x130   rising-edge detect enable
//   GFER       0x03C   0x040   0x044   0x13C   falling-edge detect enable
//   GEDR       0x048   0x04C   0x050   0x148   edge detected, write 1 to clear
//   GAFR0_L .. GAFR3_U     0x054 .. 0x070      PXA270: 2-bit function, 16 GPIOs a word
//
// PXA3xx single-bit set and clear registers, bank b at offset + 4b (no jump for bank 3):
//   GSDR  0x400   GCDR  0x420                  direction to output / to input
//   GSRER 0x440   GCRER 0x460                  rising-edge enable on / off
//   GSFER 0x480   GCFER 0x4A0                  falling-edge enable on / off
constexpr uint32_t GPLR = 0x000, GPDR = 0x00C, GPSR = 0x018, GPCR = 0x024, GRER = 0x030,
                   GFER = 0x03C, GEDR = 0x048, GAFR = 0x054;
constexpr uint32_t GSDR = 0x400, GCDR = 0x420, GSRER = 0x440, GCRER = 0x460, GSFER = 0x480,
                   GCFER = 0x4A0;

// Byte offset of bank `bank` of a register.
constexpr uint32_t PxaBankOffset(uint32_t reg, uint32_t bank) {
    return reg < GSDR && bank == 3 ? reg + 0x100 : reg + 4 * bank;
}
