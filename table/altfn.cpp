#include "table/altfn.h"
#include "gpiolib/gpiolib.h"
#include "table/shared.h"

#include <windows.h>

const AltFnRow* const AltFnNameTable[ALTFN_BLOCKS] = {AltFnPxa270, AltFnPxa320, AltFnPxa3x0,
                                                      AltFnTegra2, AltFnTegra3};
const int AltFnBlockRows[ALTFN_BLOCKS] = {ALTFN_ROWS_PXA270, ALTFN_ROWS_PXA320, ALTFN_ROWS_PXA3X0,
                                          ALTFN_ROWS_TEGRA2, ALTFN_ROWS_TEGRA3};

namespace {

const wchar_t NoFunction[] = L"-";

// PXA270 GPIOs whose use the module fixes: the power manager's pins and two it leaves open.
const wchar_t* Pxa270ModuleName(uint32_t gpio) {
    static const wchar_t* const powerPins[] = {L"SYS_EN",   L"PWR_SCL",  L"PWR_SDA", L"PWR_CAP0",
                                               L"PWR_CAP1", L"PWR_CAP2", L"PWR_CAP3"};
    if (gpio >= 2 && gpio <= 8) return powerPins[gpio - 2];
    if (gpio == 119 || gpio == 120) return L"NotConnected";
    return nullptr;
}

// PXA3xx pins whose GPIO function is not at AF0: the cells hold AF0..AF5 and AF7.
bool IsShiftedAltFnPin(uint32_t gpio) {
    return PxaGpioFunction(ProcessorId, gpio) != 0;
}

// The second-bank pads (GPIO0_2 ..) are named by their number within that bank. One buffer per
// thread: the list build, the refresh thread and the popup labels each keep their own text.
const wchar_t* PlainGpioName(uint32_t gpio) {
    if (gpio < PXA_SECOND_PADS) return L"GPIO";
    thread_local wchar_t text[16];
    wsprintfW(text, L"GPIO %d", static_cast<int>(gpio - PXA_SECOND_PADS));
    return text;
}

const wchar_t* Cell(int block, uint32_t gpio, int column) {
    const wchar_t* name = AltFnNameTable[block][gpio][column];
    return name ? name : NoFunction;
}

} // namespace

int AltFnBlock(uint32_t moduleType) {
    // A Tessara module is numbered as its processor's row; the Belvan module has the Tegra 3.
    if (moduleType == MODULE_TEGRA3_BELVAN) return FactsOf(PROCESSOR_TEGRA3).altFnBlock;
    return moduleType < uint32_t(PROCESSOR_COUNT) ? kProcessors[moduleType].altFnBlock : -1;
}

const wchar_t* GetAltFnName(uint32_t gpio, int dir, int fn) {
    int block = AltFnBlock(ModuleType);
    if (block < 0 || gpio >= static_cast<uint32_t>(AltFnBlockRows[block])) return NoFunction;

    if (IsTegra(ProcessorId)) {
        if (fn == -1) return L"GPIO";
        if (fn < 0 || fn > 3) return NoFunction;
        return Cell(block, gpio, fn);
    }

    int index;
    if (ProcessorId == PROCESSOR_PXA270) {
        if (const wchar_t* name = Pxa270ModuleName(gpio)) return name;
        if (fn == 0) return L"GPIO";
        if (fn < 0 || fn > 3 || (dir != 0 && dir != 1)) return NoFunction;
        index = fn + 3 * dir;
    } else if (IsPxa3xx(ProcessorId)) {
        if (fn < 0 || fn > 7) return NoFunction;
        index = fn;
        if (IsShiftedAltFnPin(gpio) && fn < 6) index++;
    } else {
        return NoFunction;
    }

    if (index == 0) return PlainGpioName(gpio);
    return Cell(block, gpio, index - 1);
}
