// Tegra 2 and Tegra 3 register model: the GPIO controller and the pad controls (pinmux,
// pull, tristate, pin groups).
#include "gpiolib/models.h"
#include "gpiolib/tegra.h"
#include "platform/regio.h"

namespace {

// GPIO controller (Tegra GPIO window, 0x6000D000). GPIO n lies in bank n >> 5, port
// (n >> 3) & 3, bit n & 7; its word of register R is at (bank << bankShift) + 4 * port + R.
//
//   R     register   bit b of the port
//   0x00  CNF        1 plain GPIO, 0 special function
//   0x10  OE         1 output
//   0x20  OUT        output value
//   0x30  IN         pin level
//   0x60  INT_LVL    Tegra 2 interrupt type: b level (1 high / rising), b + 8 edge,
//                    b + 16 both edges
//
//   Tegra 2: banks 0x80 apart (bankShift 7), masked-write twins of CNF, OE, OUT at + 0x800.
//   Tegra 3: banks 0x100 apart (bankShift 8), twins inside each bank at + 0x80.
//   A twin changes bit b only where bit b + 8 of the written value is 1.

// Byte offsets within a bank, named as in the processor manual.
constexpr uint32_t GPIO_CNF = 0x00, GPIO_OE = 0x10, GPIO_OUT = 0x20, GPIO_IN = 0x30,
                   GPIO_INT_LVL = 0x60;
constexpr uint32_t kTegra2BankBytes = 1u << FactsOf(PROCESSOR_TEGRA2).bankShift;

// The function number SetGPIOAltFn takes for the plain GPIO.
constexpr int kGpioFunction = 255;

uint32_t PortOffset(uint32_t gpio) {
    return 4 * ((gpio >> 3) & 3);
}

uint32_t Bit(uint32_t gpio) {
    return gpio & 7;
}

// Byte offset of the word of register reg that holds the GPIO.
uint32_t ControllerOffset(uint32_t gpio, uint32_t reg) {
    return ((gpio >> 5) << (g_gpioLib.bankShift & 0xFF)) + PortOffset(gpio) + reg;
}

volatile uint32_t* ControllerWord(uint32_t byteOffset) {
    return g_gpioLib.tegraGpioWindow + byteOffset / 4;
}

// Reads the GPIO's bit of a controller register; 0 without a controller window.
int ControllerBit(uint32_t gpio, uint32_t reg) {
    if (!g_gpioLib.tegraGpioWindow) return 0;
    return (RegRead(ControllerWord(ControllerOffset(gpio, reg))) >> Bit(gpio)) & 1;
}

// Sets the GPIO's bit of CNF, OE or OUT to v through the register's twin; the other GPIOs of
// the port keep theirs, whatever other threads write meanwhile.
void MaskedWrite(uint32_t gpio, uint32_t reg, uint32_t v) {
    if (!g_gpioLib.tegraGpioWindow) return;
    uint32_t b = Bit(gpio);
    RegWrite(ControllerWord(ControllerOffset(gpio, reg) + g_gpioLib.maskedOffset),
             (1u << (b + 8)) | ((v & 1) << b));
}

volatile uint32_t* InterruptTypeWord(uint32_t gpio) {
    return ControllerWord((gpio >> 5) * kTegra2BankBytes + PortOffset(gpio) + GPIO_INT_LVL);
}

// ---- Pad controls ----

enum PadField { PAD_PINMUX, PAD_PULL, PAD_TRISTATE, PAD_INPUT_ENABLE };

// Where a pad field of a GPIO lives in the pad-control window.
struct FieldLocation {
    bool present; // false: the pin has no such field (reads 0, writes change nothing)
    uint32_t word;
    uint32_t shift;
    uint32_t width;
};

// Tegra 3 pad register: pinmux 1..0, pull 3..2, tristate 4, input enable 5.
constexpr uint32_t kTegra3Shift[] = {0, 2, 4, 5};
constexpr uint32_t kFieldWidth[] = {2, 2, 1, 1};
// Tegra 2 register sets of each field, as word index of their first register.
constexpr uint32_t kTegra2MuxWord = 32, kTegra2PullWord = 40, kTegra2TristateWord = 5;

// The one resolver of (GPIO, field). False when the GPIO has no pad register (number not
// below the GPIO count, or no pad-control window).
bool LocatePadField(uint32_t gpio, PadField field, FieldLocation* location) {
    if (gpio >= g_gpioLib.gpioCount || !g_gpioLib.padWindow) return false;
    location->width = kFieldWidth[field];
    if (g_gpioLib.processorId == PROCESSOR_TEGRA2) {
        if (gpio >= TEGRA2_GPIO_COUNT) return false;
        const Tegra2PinGroup& group = Tegra2PinGroupTable[Tegra2GpioGroup[gpio]];
        // The Tegra 2 pads have no input-enable field.
        const TegraFieldRef none = {TEGRA_FIELD_NONE, TEGRA_FIELD_NONE};
        const TegraFieldRef refs[] = {group.mux, group.pull, group.tristate, none};
        const uint32_t bases[] = {kTegra2MuxWord, kTegra2PullWord, kTegra2TristateWord, 0};
        TegraFieldRef ref = refs[field];
        uint32_t base = bases[field];
        location->present = ref.reg != TEGRA_FIELD_NONE;
        location->word = location->present ? base + ref.reg : 0;
        location->shift = location->present ? ref.shift : 0;
        return true;
    }
    // Every other processor is taken for a Tegra 3: one pad register per GPIO.
    if (gpio >= TEGRA3_GPIO_COUNT) return false;
    location->present = true;
    location->word = Tegra3PadIndex[gpio];
    location->shift = kTegra3Shift[field];
    return true;
}

uint32_t FieldMask(const FieldLocation& f) {
    return ((1u << f.width) - 1) << f.shift;
}

uint32_t ReadField(const FieldLocation& f) {
    if (!f.present) return 0;
    return (RegRead(g_gpioLib.padWindow + f.word) & FieldMask(f)) >> f.shift;
}

// Read-modify-write of the field's word; with onlyIfChanged the word is written back only
// when the field differs.
void WriteField(const FieldLocation& f, uint32_t value, bool onlyIfChanged = false) {
    if (!f.present) return;
    volatile uint32_t* reg = g_gpioLib.padWindow + f.word;
    uint32_t old = RegRead(reg);
    uint32_t next = (old & ~FieldMask(f)) | ((value << f.shift) & FieldMask(f));
    if (onlyIfChanged && next == old) return;
    RegWrite(reg, next);
}

// ---- GPIO controller operations (frame rules applied by the callers) ----

int TegraGetDir(uint32_t gpio) {
    return ControllerBit(gpio, GPIO_OE);
}

void TegraSetDir(uint32_t gpio, uint32_t dir) {
    MaskedWrite(gpio, GPIO_OE, dir & 1);
}

int TegraGetLevel(uint32_t gpio) {
    return ControllerBit(gpio, GPIO_IN);
}

void TegraSetLevel(uint32_t gpio, uint32_t level) {
    MaskedWrite(gpio, GPIO_OUT, level & 1);
}

// 1 rising, 2 falling, 3 both edges, 5 high level, 6 low level, 7 level with both-edges set.
int Tegra2GetEdgeDetect(uint32_t gpio) {
    if (!g_gpioLib.tegraGpioWindow) return 0;
    uint32_t type = RegRead(InterruptTypeWord(gpio)) >> Bit(gpio);
    bool level = type & 1, edge = (type >> 8) & 1, both = (type >> 16) & 1;
    return (edge ? 0 : 4) + (both ? 3 : level ? 1 : 2);
}

// flags: bit 2 level-triggered, bits 1..0 1 rising / high, 2 falling / low, 3 both edges.
void Tegra2SetEdgeDetect(uint32_t gpio, uint32_t flags) {
    if (!g_gpioLib.tegraGpioWindow) return;
    volatile uint32_t* reg = InterruptTypeWord(gpio);
    uint32_t b = Bit(gpio);
    uint32_t levelBit = 1u << b, edgeBit = 1u << (b + 8), bothBit = 1u << (b + 16);
    uint32_t type = RegRead(reg);
    if (flags & 4)
        type &= ~edgeBit;
    else
        type |= edgeBit;
    if ((flags & 3) == 3) {
        type |= bothBit;
    } else {
        type &= ~bothBit;
        type = (flags & 1) ? type | levelBit : type & ~levelBit;
    }
    RegWrite(reg, type);
}

int TegraGetAltFn(uint32_t gpio) {
    if (ControllerBit(gpio, GPIO_CNF)) return -1;
    return GetTegraPinMux(gpio);
}

void TegraSetAltFn(uint32_t gpio, int fn, uint32_t dir) {
    if (fn == -1) fn = GetGPIODefaultFn(gpio);
    if (fn == kGpioFunction) {
        MaskedWrite(gpio, GPIO_CNF, 1); // the controller takes the pin over
        TegraSetDir(gpio, dir);
    } else {
        SetTegraPinMux(gpio, uint32_t(fn)); // fails for fn above 3; the switch happens anyway
        MaskedWrite(gpio, GPIO_CNF, 0);
    }
    SetGPIOTristate(gpio, 0);
    FieldLocation input;
    if (g_gpioLib.processorId == PROCESSOR_TEGRA3 && LocatePadField(gpio, PAD_INPUT_ENABLE, &input))
        WriteField(input, 1);
}

// The value SetGPIOAltFn takes as the plain-GPIO setting.
int TegraGetDefaultFn(uint32_t) {
    return kGpioFunction;
}

} // namespace

const GpioOperations kTegra2Operations = {
    TegraGetDir,         TegraSetDir,         TegraGetLevel,     TegraSetLevel,
    Tegra2GetEdgeDetect, Tegra2SetEdgeDetect, nullptr,           nullptr,
    TegraGetAltFn,       TegraSetAltFn,       TegraGetDefaultFn,
};

const GpioOperations kTegra3Operations = {
    TegraGetDir, TegraSetDir, TegraGetLevel, TegraSetLevel, nullptr,           nullptr,
    nullptr,     nullptr,     TegraGetAltFn, TegraSetAltFn, TegraGetDefaultFn,
};

// ---- Pad operations: no processor dispatch, each with its own initialisation rule ----

int SetTegraPinMux(uint32_t gpio, uint32_t fn) {
    if (gpio >= g_gpioLib.gpioCount || fn > 3) return 0;
    if (!g_gpioLib.initialised) InitGPIOLib();
    FieldLocation f;
    if (!LocatePadField(gpio, PAD_PINMUX, &f)) return 0;
    WriteField(f, fn);
    return 1;
}

int GetTegraPinMux(uint32_t gpio) {
    if (gpio >= g_gpioLib.gpioCount) return 0;
    if (!g_gpioLib.initialised) InitGPIOLib();
    FieldLocation f;
    if (!LocatePadField(gpio, PAD_PINMUX, &f)) return 0;
    return int(ReadField(f));
}

int GetGPIOTristate(uint32_t gpio) {
    FieldLocation f;
    if (!LocatePadField(gpio, PAD_TRISTATE, &f)) return 0;
    return int(ReadField(f));
}

int SetGPIOTristate(uint32_t gpio, uint32_t value) {
    FieldLocation f;
    if (!LocatePadField(gpio, PAD_TRISTATE, &f)) return 0;
    WriteField(f, value & 1, true);
    return 1;
}

int GetGPIOPullState(uint32_t gpio) {
    FieldLocation f;
    if (!GpioInRange(gpio) || !LocatePadField(gpio, PAD_PULL, &f)) return -1;
    return int(ReadField(f));
}

int SetGPIOPullState(uint32_t gpio, uint32_t value) {
    FieldLocation f;
    if (!GpioInRange(gpio) || !LocatePadField(gpio, PAD_PULL, &f)) return 0;
    WriteField(f, value & 3);
    return 1;
}

int GetGPIOPinGroup(uint32_t gpio, char* text) {
    if (gpio >= g_gpioLib.gpioCount || !text) return 0;
    // The group table covers the Tegra 2's GPIOs only; the Tegra 3 has more GPIOs and no groups.
    if (gpio >= TEGRA2_GPIO_COUNT) return 0;
    const char* name = Tegra2PinGroupTable[Tegra2GpioGroup[gpio]].name;
    for (int i = 0; i < int(sizeof Tegra2PinGroupTable[0].name); ++i)
        if ((text[i] = name[i]) == '\0') break;
    return 1;
}
