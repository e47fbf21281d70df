// The table's side of an activity export: one wire per row, named as the row shows the GPIO.
#include "table/table.h"
#include "table/altfn.h"
#include "gpiolib/gpiolib.h"

#include <commctrl.h>

std::wstring WireName(uint32_t gpio, int dir, int altFn) {
    wchar_t name[8];
    GpioName(gpio, name);
    return std::wstring(name) + L"_" + GetAltFnName(gpio, dir, altFn);
}

std::vector<VcdWire> ShownRowWires(HWND list) {
    std::vector<VcdWire> wires;
    int rows = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        uint32_t g = GpioOfRow(list, row);
        if (g >= ROW_CACHE_ENTRIES) continue;
        wires.push_back({g, WireName(g, CachedDir[g], CachedAltFn[g])});
    }
    return wires;
}

void SampleEveryGpio() {
    bool tegra = IsTegra(ProcessorId);
    BeginSamplePass();
    for (int g = 0; g < ListGpioCount && g < ROW_CACHE_ENTRIES; ++g) {
        int a = GetGPIOAltFn(uint32_t(g));
        SampleLevel(uint32_t(g), tegra && a != -1 ? LEVEL_NOT_GPIO : GetGPIOLevel(uint32_t(g)));
    }
    EndSamplePass();
}
