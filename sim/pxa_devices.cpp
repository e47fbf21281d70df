// PXA GPIO controller and PXA3xx multi-function pin registers, register by register as the
// processor manuals describe them.
//
// GPIO controller, byte offsets from 0x40E00000. Banked registers have one bit per GPIO;
// bank b holds GPIO 32b..32b+31 at offset + 4b, bank 3 at offset + 0x100:
//
//              bank 0  bank 1  bank 2  bank 3
//   GPLR       0x000   0x004   0x008   0x100   pin level, read only
//   GPDR       0x00C   0x010   0x014   0x10C   direction, 1 = output
//   GPSR       0x018   0x01C   0x020   0x118   write only: 1 sets the output latch bit
//   GPCR       0x024   0x028   0x02C   0x124   write only: 1 clears it
//   GRER       0x030   0x034   0x038   0x130   rising-edge detect enable
//   GFER       0x03C   0x040   0x044   0x13C   falling-edge detect enable
//   GEDR       0x048   0x04C   0x050   0x148   edge detected; write 1 to clear
//   GAFR0_L .. GAFR3_U     0x054 .. 0x070      PXA270 only: 2-bit function per GPIO
//
// PXA3xx only, write only, bank b at offset + 4b (no jump for bank 3); 1 changes one bit:
//   GSDR 0x400, GCDR 0x420          set / clear GPDR
//   GSRER 0x440, GCRER 0x460        set / clear GRER
//   GSFER 0x480, GCFER 0x4A0        set / clear GFER
//
// Reads of the write-only registers (GPSR, GPCR and the PXA3xx set/clear registers) return 0,
// as do reserved offsets and the bits of GPIOs the processor lacks: software must not rely on
// what they return, and 0 keeps them from looking like state. Writes to GPLR and to reserved
// offsets do nothing.
//
// Set and clear are separate registers, so each write takes effect on its own and the later
// of two writes decides the bit; nothing is ever pending in both at once.
//
// The output latch is kept in device[LATCH + bank]: an output drives it, an input keeps it for
// the moment it becomes an output again. Edge status latches on transitions of the outside
// signal of an input pin only; switching a pin's direction latches nothing.
#include "sim/pxa_power_on.h"
#include "gpiolib/processors.h"
#include "sim/sim_internal.h"

#include <iterator>

namespace {

// Registers by position; byte offsets are in the map above under the manual's names.
enum Register {
    REG_GPLR, // the banked registers in offset order (offset = 12 * register + 4 * bank)
    REG_GPDR,
    REG_GPSR,
    REG_GPCR,
    REG_GRER,
    REG_GFER,
    REG_GEDR,
    REG_GAFR, // index: GAFR word 0..7
    REG_GSDR, // the PXA3xx set/clear registers in offset order (0x400 + 0x20 * n)
    REG_GCDR,
    REG_GSRER,
    REG_GCRER,
    REG_GSFER,
    REG_GCFER,
    REG_RESERVED,
};

constexpr DWORD kGafrOffset = 0x054;
constexpr DWORD kSetClearOffset = 0x400;
// device[] words of the GPIO controller: the output latch of each bank.
constexpr int LATCH = 0;

struct Access {
    Register reg;
    int index; // bank, or GAFR word
};

SimModule ModuleOf(const SimSharedState* state) {
    return SimModule(state->module);
}

bool IsPxa270(const SimSharedState* state) {
    return ModuleOf(state) == SIM_MODULE_PXA270;
}

Access Decode(const SimSharedState* state, DWORD offset) {
    if (offset < kGafrOffset) return {Register(offset / 12), int(offset % 12 / 4)};
    if (offset < kGafrOffset + 32)
        return IsPxa270(state) ? Access{REG_GAFR, int((offset - kGafrOffset) / 4)}
                               : Access{REG_RESERVED, 0};
    if (offset >= 0x100 && offset < 0x100 + 7 * 12 && (offset - 0x100) % 12 == 0)
        return {Register((offset - 0x100) / 12), 3};
    if (!IsPxa270(state) && offset >= kSetClearOffset && offset < kSetClearOffset + 6 * 0x20 &&
        (offset & 0x1F) < 0x10)
        return {Register(REG_GSDR + (offset - kSetClearOffset) / 0x20), int((offset & 0x1F) / 4)};
    return {REG_RESERVED, 0};
}

DWORD BankedOffset(Register reg, int bank) {
    return bank == 3 ? 0x100 + 12 * reg : 12 * reg + 4 * bank;
}

volatile LONG* Word(SimSharedState* state, Register reg, int bank) {
    return &state->regs[SIM_REGION_GPIO][BankedOffset(reg, bank) / 4];
}

volatile LONG* GafrWord(SimSharedState* state, int index) {
    return &state->regs[SIM_REGION_GPIO][kGafrOffset / 4 + index];
}

// The PXA270 has GPIO 0..120: bits of bank 3 above GPIO 120 are reserved.
uint32_t BankMask(const SimSharedState* state, int bank) {
    return IsPxa270(state) && bank == 3 ? 0x01FFFFFF : 0xFFFFFFFF;
}

uint32_t GafrMask(int index) {
    return index == 7 ? 0x0003FFFF : 0xFFFFFFFF; // GAFR3_U: GPIO 112..120
}

uint32_t Get(volatile LONG* word) {
    return uint32_t(*word);
}
void Or(volatile LONG* word, uint32_t bits) {
    InterlockedOr(word, LONG(bits));
}
void AndNot(volatile LONG* word, uint32_t bits) {
    InterlockedAnd(word, LONG(~bits));
}

uint32_t PinLevels(SimSharedState* state, int bank) {
    uint32_t out = Get(Word(state, REG_GPDR, bank));
    uint32_t latch = Get(&state->device[LATCH + bank]);
    uint32_t outside = Get(&state->external[bank]);
    return ((out & latch) | (~out & outside)) & BankMask(state, bank);
}

uint32_t GpioRead(SimSharedState* state, DWORD offset) {
    Access a = Decode(state, offset);
    switch (a.reg) {
    case REG_GPLR: return PinLevels(state, a.index);
    case REG_GPDR:
    case REG_GRER:
    case REG_GFER:
    case REG_GEDR: return Get(Word(state, a.reg, a.index));
    case REG_GAFR: return Get(GafrWord(state, a.index));
    default: return 0; // write only or reserved
    }
}

void GpioWrite(SimSharedState* state, DWORD offset, uint32_t value) {
    Access a = Decode(state, offset);
    uint32_t bits = value & BankMask(state, a.index);
    switch (a.reg) {
    case REG_GPDR:
    case REG_GRER:
    case REG_GFER: InterlockedExchange(Word(state, a.reg, a.index), LONG(bits)); break;
    case REG_GPSR: Or(&state->device[LATCH + a.index], bits); break;
    case REG_GPCR: AndNot(&state->device[LATCH + a.index], bits); break;
    case REG_GEDR: AndNot(Word(state, REG_GEDR, a.index), bits); break;
    case REG_GAFR:
        InterlockedExchange(GafrWord(state, a.index), LONG(value & GafrMask(a.index)));
        break;
    case REG_GSDR: Or(Word(state, REG_GPDR, a.index), bits); break;
    case REG_GCDR: AndNot(Word(state, REG_GPDR, a.index), bits); break;
    case REG_GSRER: Or(Word(state, REG_GRER, a.index), bits); break;
    case REG_GCRER: AndNot(Word(state, REG_GRER, a.index), bits); break;
    case REG_GSFER: Or(Word(state, REG_GFER, a.index), bits); break;
    case REG_GCFER: AndNot(Word(state, REG_GFER, a.index), bits); break;
    default: break; // GPLR is read only; reserved offsets ignore writes
    }
}

// MFPR pads: GPIO numbers first..last at consecutive registers from offset (from 0x40E10000).
struct PadRun {
    uint8_t first, last;
    uint16_t offset;
};

// clang-format off
const PadRun kPxa320Pads[] = {
//   first last offset
    {  0,   4, 0x124},
    {  5,   9, 0x28C},
    { 10,  10, 0x458},
    { 11,  26, 0x2A0},
    { 27,  48, 0x400},
    { 49,  62, 0x45C},
    { 63,  73, 0x4B4},
    { 74,  98, 0x4F0},
    { 99, 133, 0x600},
    {134, 141, 0x494},
    {142, 145, 0x4E0},
};
const PadRun kPxa300Pads[] = {
//   first last offset
    {  0,   2, 0x0B4},
    {  3,  26, 0x27C},
    { 27,  98, 0x400},
    { 99, 129, 0x600},
    {130, 134, 0x2DC},
};
// The PXA310 has three more pad registers before GPIO 30's: GPIO 30..98 lie 12 bytes further.
const PadRun kPxa310Pads[] = {
//   first last offset
    {  0,   2, 0x0B4},
    {  3,  26, 0x27C},
    { 27,  29, 0x400},
    { 30,  98, 0x418},
    { 99, 129, 0x600},
    {130, 134, 0x2DC},
    {135, 138, 0x52C},
};
// clang-format on

const PadRun* PadsOf(SimModule module, int* count) {
    switch (module) {
    case SIM_MODULE_PXA320: *count = int(std::size(kPxa320Pads)); return kPxa320Pads;
    case SIM_MODULE_PXA300: *count = int(std::size(kPxa300Pads)); return kPxa300Pads;
    case SIM_MODULE_PXA310: *count = int(std::size(kPxa310Pads)); return kPxa310Pads;
    default: *count = 0; return nullptr;
    }
}

// Offset of a GPIO's MFPR; 0 when the module has no such pad.
DWORD PadOffset(SimModule module, uint32_t gpio) {
    int count = 0;
    const PadRun* runs = PadsOf(module, &count);
    for (int i = 0; i < count; ++i)
        if (gpio >= runs[i].first && gpio <= runs[i].last)
            return runs[i].offset + 4 * (gpio - runs[i].first);
    return 0;
}

bool IsPad(SimModule module, DWORD offset) {
    int count = 0;
    const PadRun* runs = PadsOf(module, &count);
    for (int i = 0; i < count; ++i)
        if (offset >= runs[i].offset &&
            offset <= runs[i].offset + 4u * (runs[i].last - runs[i].first))
            return true;
    return false;
}

// Pads the simulation does not model (other pins' MFPRs, reserved space) read 0.
uint32_t MfprRead(SimSharedState* state, DWORD offset) {
    if (!IsPad(ModuleOf(state), offset)) return 0;
    return Get(&state->regs[SIM_REGION_PINS][offset / 4]);
}

void MfprWrite(SimSharedState* state, DWORD offset, uint32_t value) {
    if (IsPad(ModuleOf(state), offset))
        InterlockedExchange(&state->regs[SIM_REGION_PINS][offset / 4], LONG(value));
}

// MFPR fields besides the function in bits 2..0.
constexpr uint32_t MFPR_EDGE_CLEAR = 1u << 6; // pad edge detection off
constexpr uint32_t MFPR_DRIVE_2 = 2u << 10;   // drive strength field, bits 12..10
constexpr uint32_t MFPR_PULLDOWN_EN = 1u << 13;
constexpr uint32_t MFPR_PULLUP_EN = 1u << 14;
constexpr uint32_t MFPR_PULL_SEL = 1u << 15; // pulls from the fields above, not the function
constexpr uint32_t kMfprPowerOn = MFPR_EDGE_CLEAR | MFPR_DRIVE_2;

uint32_t PullBits(uint8_t pull) {
    switch (pull) {
    case PXA_PULLUP: return MFPR_PULL_SEL | MFPR_PULLUP_EN;
    case PXA_PULLDOWN: return MFPR_PULL_SEL | MFPR_PULLDOWN_EN;
    default: return 0;
    }
}

int PowerOnTables(SimModule module, const PxaPowerOnTable* tables[2]) {
    switch (module) {
    case SIM_MODULE_PXA270: tables[0] = &kPxa270PowerOn; return 1;
    case SIM_MODULE_PXA320: tables[0] = &kPxa320PowerOn; return 1;
    case SIM_MODULE_PXA300: tables[0] = &kPxa3x0PowerOn; return 1;
    case SIM_MODULE_PXA310:
        tables[0] = &kPxa3x0PowerOn;
        tables[1] = &kPxa310ExtraPowerOn;
        return 2;
    default: return 0;
    }
}

uint32_t Fold(uint32_t gpio) {
    return gpio >= PXA_SECOND_PADS ? gpio - PXA_SECOND_PADS : gpio;
}

void SetBits(volatile LONG* word, uint32_t bits, bool on) {
    *word = LONG(on ? Get(word) | bits : Get(word) & ~bits);
}

// Called with the state locked and every register 0.
void GpioPowerOn(SimSharedState* state, SimModule module) {
    const PxaPowerOnTable* tables[2];
    int count = PowerOnTables(module, tables);
    for (int t = 0; t < count; ++t) {
        for (int i = 0; i < tables[t]->count; ++i) {
            const PxaPowerOnPin& pin = tables[t]->pins[i];
            uint32_t g = Fold(pin.gpio);
            int bank = int(g >> 5);
            uint32_t bit = 1u << (g & 31);
            if (module == SIM_MODULE_PXA270) {
                volatile LONG* gafr = GafrWord(state, int(g >> 4));
                uint32_t shift = 2 * (g & 15);
                *gafr = LONG((Get(gafr) & ~(3u << shift)) | uint32_t(pin.fn & 3) << shift);
            }
            SetBits(Word(state, REG_GPDR, bank), bit, pin.dir == PXA_OUT);
            SetBits(pin.dir == PXA_OUT ? &state->device[LATCH + bank] : &state->external[bank], bit,
                    pin.level != 0);
            SetBits(Word(state, REG_GRER, bank), bit, pin.edge & PXA_RISE);
            SetBits(Word(state, REG_GFER, bank), bit, pin.edge & PXA_FALL);
            SetBits(Word(state, REG_GEDR, bank), bit, pin.edge & PXA_SEEN);
        }
    }
}

void MfprPowerOn(SimSharedState* state, SimModule module) {
    uint32_t count = SimModuleDescription(module)->gpioCount;
    for (uint32_t gpio = 0; gpio < count; ++gpio)
        if (DWORD offset = PadOffset(module, gpio))
            state->regs[SIM_REGION_PINS][offset / 4] = LONG(kMfprPowerOn);
    const PxaPowerOnTable* tables[2];
    int tableCount = PowerOnTables(module, tables);
    for (int t = 0; t < tableCount; ++t) {
        for (int i = 0; i < tables[t]->count; ++i) {
            const PxaPowerOnPin& pin = tables[t]->pins[i];
            if (DWORD offset = PadOffset(module, pin.gpio))
                state->regs[SIM_REGION_PINS][offset / 4] =
                    LONG(kMfprPowerOn | PullBits(pin.pull) | (pin.fn & 7u));
        }
    }
}

} // namespace

const SimDevice kPxaGpioController = {0x40E00000, "GPIO controller", SIM_REGION_GPIO,
                                      GpioRead,   GpioWrite,         GpioPowerOn};
const SimDevice kPxaMfpr = {
    0x40E10000, "multi-function pin registers", SIM_REGION_PINS, MfprRead, MfprWrite, MfprPowerOn};

bool SimPxaDriveInput(SimSharedState* state, SimModule module, uint32_t gpio, int level) {
    if (!SimIsPxaModule(module) || gpio >= SimModuleDescription(module)->gpioCount) return false;
    uint32_t g = Fold(gpio);
    int bank = int(g >> 5);
    uint32_t bit = 1u << (g & 31);
    // The edge decision needs the old signal, the direction and the enables together.
    if (!SimLock(state)) return false;
    bool was = Get(&state->external[bank]) & bit;
    bool now = level != 0;
    if (was != now) {
        if (now)
            Or(&state->external[bank], bit);
        else
            AndNot(&state->external[bank], bit);
        bool input = !(Get(Word(state, REG_GPDR, bank)) & bit);
        Register enable = now ? REG_GRER : REG_GFER;
        if (input && (Get(Word(state, enable, bank)) & bit)) Or(Word(state, REG_GEDR, bank), bit);
    }
    SimUnlock(state);
    return true;
}

int SimPxaPinLevel(SimSharedState* state, SimModule module, uint32_t gpio) {
    if (!SimIsPxaModule(module) || gpio >= SimModuleDescription(module)->gpioCount) return -1;
    uint32_t g = Fold(gpio);
    return (PinLevels(state, int(g >> 5)) >> (g & 31)) & 1;
}

int SimPxaPinIsOutput(SimSharedState* state, SimModule module, uint32_t gpio) {
    if (!SimIsPxaModule(module) || gpio >= SimModuleDescription(module)->gpioCount) return -1;
    uint32_t g = Fold(gpio);
    return (Get(Word(state, REG_GPDR, int(g >> 5))) >> (g & 31)) & 1;
}
