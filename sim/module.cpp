// Which module is simulated, and the processor registers that identify it.
#include "sim/sim.h"
#include "sim/sim_internal.h"
#include "gpiolib/processors.h"
#include "platform/ce.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t GpiosOf(uint32_t processorId) {
    return FactsOf(processorId).gpioCount;
}

// Lower 16 bits of the module-information word: a module code of our own choosing.
const SimModuleInfo kModules[] = {
    {SIM_MODULE_PXA270, "pxa270", 0x69054117, 0x00000270, GpiosOf(PROCESSOR_PXA270)},
    {SIM_MODULE_PXA320, "pxa320", 0x69056825, 0x00000320, GpiosOf(PROCESSOR_PXA320)},
    {SIM_MODULE_PXA300, "pxa300", 0x69056881, 0x00000300, GpiosOf(PROCESSOR_PXA300)},
    {SIM_MODULE_PXA310, "pxa310", 0x69056891, 0x00000310, GpiosOf(PROCESSOR_PXA310)},
    {SIM_MODULE_TEGRA2, "tegra2", 0x411FC090, 0x00002000, GpiosOf(PROCESSOR_TEGRA2)},
    {SIM_MODULE_TEGRA3, "tegra3", 0x412FC099, 0x00003000, GpiosOf(PROCESSOR_TEGRA3)},
    {SIM_MODULE_TEGRA3_BELVAN, "tegra3-belvan", 0x412FC099, 0x00013000, GpiosOf(PROCESSOR_TEGRA3)},
    {SIM_MODULE_NONE, "none", 0, 0, 0},
    // An ARM11 core: no table of the tool knows it.
    {SIM_MODULE_UNKNOWN_CPU, "unknown-cpu", 0x410FB767, 0x00000000, 0},
};

const SimModuleInfo kInvalid = {SIM_MODULE_INVALID, "", 0, 0, 0};

SimModule g_module;
bool g_moduleChosen;

// Names compare without regard to case; an unusable VELMORA_SIM_INSTANCE leaves no module
// either, so that a process never joins another one's module by mistake.
SimModule ModuleFromEnvironment() {
    wchar_t value[32];
    DWORD n = SimSetting(L"VELMORA_SIM_MODULE", value, 32);
    SimModule module = SIM_MODULE_PXA270;
    if (n) {
        char name[32] = "";
        for (DWORD i = 0; n < 32 && i <= n; ++i)
            name[i] = value[i] < 0x80 ? char(value[i]) : '?';
        const SimModuleInfo* info = n < 32 ? SimFindModule(name) : nullptr;
        if (!info) {
            char rule[160];
            snprintf(rule, sizeof rule, "use one of: %s", SimAcceptedModuleNames());
            SimSettingProblem("VELMORA_SIM_MODULE", n < 32 ? value : nullptr, rule);
            return SIM_MODULE_INVALID;
        }
        module = info->id;
    }
    wchar_t instance[40];
    return SimInstance(instance, 40) ? module : SIM_MODULE_INVALID;
}

} // namespace

SimModule SimCurrentModule() {
    if (!g_moduleChosen) {
        g_module = ModuleFromEnvironment();
        g_moduleChosen = true;
    }
    return g_module;
}

void SimSelectModule(SimModule module) {
    SimForgetModuleState();
    g_module = module;
    g_moduleChosen = true;
}

const SimModuleInfo* SimModuleDescription(SimModule module) {
    for (const SimModuleInfo& info : kModules)
        if (info.id == module) return &info;
    return &kInvalid;
}

const SimModuleInfo* SimFindModule(const char* name) {
    for (const SimModuleInfo& info : kModules)
        if (_stricmp(info.name, name) == 0) return &info;
    return nullptr;
}

const char* SimAcceptedModuleNames() {
    return "pxa270, pxa320, pxa300, pxa310, tegra2, tegra3, tegra3-belvan, none, unknown-cpu";
}

bool SimInstance(wchar_t* instance, DWORD size) {
    const char rule[] = "1 to 32 letters, digits, '.', '-' or '_'";
    wchar_t value[40];
    DWORD n = SimSetting(L"VELMORA_SIM_INSTANCE", value, 40);
    bool usable = n <= 32;
    for (DWORD i = 0; usable && i < n; ++i) {
        wchar_t c = value[i];
        usable = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
                 c == L'.' || c == L'-' || c == L'_';
    }
    if (!usable) {
        SimSettingProblem("VELMORA_SIM_INSTANCE", n < 40 ? value : nullptr, rule);
        return false;
    }
    lstrcpynW(instance, value, int(size));
    return n < size;
}

bool SimIsPxaModule(SimModule module) {
    return module == SIM_MODULE_PXA270 || module == SIM_MODULE_PXA320 ||
           module == SIM_MODULE_PXA300 || module == SIM_MODULE_PXA310;
}

bool SimIsTegraModule(SimModule module) {
    return module == SIM_MODULE_TEGRA2 || module == SIM_MODULE_TEGRA3 ||
           module == SIM_MODULE_TEGRA3_BELVAN;
}

// The tool always runs in user mode; only the kernel-mode call runs privileged.
DWORD ReadStatusRegister() {
    const DWORD user = 0x10, supervisor = 0x13;
    return SimInKernelMode() ? supervisor : user;
}

DWORD ReadMainIdRegister() {
    // An MRC from p15 in user mode is an undefined instruction on the module.
    if (!SimInKernelMode()) RaiseException(STATUS_PRIVILEGED_INSTRUCTION, 0, 0, nullptr);
    return SimModuleDescription(SimCurrentModule())->mainId;
}
