// PXA register model: PXA270, PXA320, PXA300 and PXA310. The windows point at the hardware or
// into a BootImage, which holds every register at its hardware position.
#include "gpiolib/models.h"
#include "gpiolib/pxa_registers.h"
#include "platform/ce.h"
#include "platform/regio.h"

namespace {

// PXA3xx MFPR: the alternate function in bits 2..0; the other bits (pulls, drive, pad edge
// detection) belong to the pad and stay as they are.
constexpr uint32_t MFPR_AF_MASK = 7;

bool IsPxa270() {
    return g_gpioLib.processorId == PROCESSOR_PXA270;
}

// A second pad uses its first pad's bit in the controller.
uint32_t Fold(uint32_t gpio) {
    return gpio >= PXA_SECOND_PADS ? gpio - PXA_SECOND_PADS : gpio;
}

uint32_t Bit(uint32_t g) {
    return 1u << (g & 31);
}

uint32_t Banked(uint32_t reg, uint32_t g) {
    return PxaBankOffset(reg, g >> 5);
}

// A window that could not be mapped reads 0 and takes no writes.
uint32_t ReadGpio(uint32_t offset) {
    return g_gpioLib.gpioWindow ? RegRead(g_gpioLib.gpioWindow + offset / 4) : 0;
}

void WriteGpio(uint32_t offset, uint32_t value) {
    if (g_gpioLib.gpioWindow) RegWrite(g_gpioLib.gpioWindow + offset / 4, value);
}

bool TestBit(uint32_t reg, uint32_t gpio) {
    uint32_t g = Fold(gpio);
    return (ReadGpio(Banked(reg, g)) & Bit(g)) != 0;
}

// PXA270: the register has no set/clear twin, so read, change one bit, write back.
void ChangeBit(uint32_t reg, uint32_t g, bool on) {
    uint32_t word = ReadGpio(Banked(reg, g));
    WriteGpio(Banked(reg, g), on ? word | Bit(g) : word & ~Bit(g));
}

// PXA3xx: one write of the bit to the set or the clear register.
void WriteSetOrClear(uint32_t setReg, uint32_t clearReg, uint32_t g, bool on) {
    WriteGpio(Banked(on ? setReg : clearReg, g), Bit(g));
}

// PXA310: the pad registers of GPIO 30..98 lie three words (12 bytes) further than on the
// PXA300. A BootImage keeps one word per GPIO in order, without the gap.
uint32_t Pxa310Shift(uint32_t gpio) {
    bool shifted =
        g_gpioLib.processorId == PROCESSOR_PXA310 && !g_gpioLib.onImage && gpio >= 30 && gpio <= 98;
    return shifted ? 3 : 0;
}

volatile uint32_t* GetMfpr(uint32_t gpio) {
    if (!g_gpioLib.mfprWindow || gpio >= MFPR_INDEX_ENTRIES) return nullptr;
    return g_gpioLib.mfprWindow + g_gpioLib.mfprIndex[gpio] + Pxa310Shift(gpio);
}

int GpioFunctionOf(uint32_t gpio) {
    return PxaGpioFunction(g_gpioLib.processorId, gpio);
}

int PxaGetDir(uint32_t gpio) {
    return TestBit(GPDR, gpio);
}

void PxaSetDir(uint32_t gpio, uint32_t dir) {
    uint32_t g = Fold(gpio);
    if (IsPxa270())
        ChangeBit(GPDR, g, dir & 1);
    else
        WriteSetOrClear(GSDR, GCDR, g, dir & 1);
}

int PxaGetLevel(uint32_t gpio) {
    return TestBit(GPLR, gpio);
}

void PxaSetLevel(uint32_t gpio, uint32_t level) {
    uint32_t g = Fold(gpio);
    WriteGpio(Banked(level & 1 ? GPSR : GPCR, g), Bit(g));
}

int PxaGetEdgeDetect(uint32_t gpio) {
    return (TestBit(GRER, gpio) ? 1 : 0) + (TestBit(GFER, gpio) ? 2 : 0);
}

void PxaSetEdgeDetect(uint32_t gpio, uint32_t flags) {
    uint32_t g = Fold(gpio);
    if (IsPxa270()) {
        ChangeBit(GRER, g, flags & 1);
        ChangeBit(GFER, g, flags & 2);
    } else {
        WriteSetOrClear(GSRER, GCRER, g, flags & 1);
        WriteSetOrClear(GSFER, GCFER, g, flags & 2);
    }
}

int PxaGetEdgeStatus(uint32_t gpio) {
    return TestBit(GEDR, gpio);
}

void PxaClearEdgeStatus(uint32_t gpio) {
    uint32_t g = Fold(gpio);
    WriteGpio(Banked(GEDR, g), Bit(g));
}

int PxaGetAltFn(uint32_t gpio) {
    if (IsPxa270()) return int((ReadGpio(GAFR + 4 * (gpio >> 4)) >> 2 * (gpio & 15)) & 3);
    volatile uint32_t* mfpr = GetMfpr(gpio);
    return mfpr ? int(RegRead(mfpr) & MFPR_AF_MASK) : 0;
}

int PxaGetDefaultFn(uint32_t gpio) {
    return GpioFunctionOf(gpio);
}

void PxaSetAltFn(uint32_t gpio, int fn, uint32_t dir) {
    if (fn == -1) {
        fn = GpioFunctionOf(gpio);
        if (fn == -1) {
            NKDbgPrintfW(L"WARNING: GPIOLib gpio %d does not have an GPIOFunction on AltFn%d", gpio,
                         -1);
            return;
        }
    }
    if (IsPxa270()) {
        uint32_t offset = GAFR + 4 * (gpio >> 4), shift = 2 * (gpio & 15);
        uint32_t word = ReadGpio(offset);
        WriteGpio(offset, (word & ~(3u << shift)) | (uint32_t(fn) & 3) << shift);
        PxaSetDir(gpio, dir);
        return;
    }
    // The MFPR's function field has three bits: a larger number would spill into the pad's
    // other settings, so it changes nothing.
    if (fn < 0 || fn > 7) {
        NKDbgPrintfW(L"WARNING: GPIOLib gpio %d does not have an AltFn%d\n\r", gpio, fn);
        return;
    }
    if (volatile uint32_t* mfpr = GetMfpr(gpio))
        RegWrite(mfpr, (RegRead(mfpr) & ~MFPR_AF_MASK) | uint32_t(fn));
    // The direction matters only when the pad becomes a GPIO; the second pads of 128 and up
    // take it from their first pad.
    uint32_t g = Fold(gpio);
    if (fn == GpioFunctionOf(g)) PxaSetDir(g, dir);
}

} // namespace

const GpioOperations kPxaOperations = {
    PxaGetDir,        PxaSetDir,        PxaGetLevel,      PxaSetLevel,
    PxaGetEdgeDetect, PxaSetEdgeDetect, PxaGetEdgeStatus, PxaClearEdgeStatus,
    PxaGetAltFn,      PxaSetAltFn,      PxaGetDefaultFn,
};
