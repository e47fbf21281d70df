// Which module is simulated, and the processor registers that identify it.
#include "sim/sim.h"
#include "sim/sim_internal.h"
#include "platform/ce.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Lower 16 bits of the module-information word: a module code of our own choosing.
const SimModuleInfo kModules[] = {
    {SIM_MODULE_PXA270, "pxa270", 0x69054117, 0x00000270, 121},
    {SIM_MODULE_PXA320, "pxa320", 0x69056825, 0x00000320, 146},
    {SIM_MODULE_PXA300, "pxa300", 0x69056881, 0x00000300, 135},
    {SIM_MODULE_PXA310, "pxa310", 0x69056891, 0x00000310, 139},
    {SIM_MODULE_TEGRA2, "tegra2", 0x411FC090, 0x00002000, 222},
    {SIM_MODULE_TEGRA3, "tegra3", 0x412FC099, 0x00003000, 244},
    {SIM_MODULE_TEGRA3_BELVAN, "tegra3-belvan", 0x412FC099, 0x00013000, 244},
    {SIM_MODULE_NONE, "none", 0, 0, 0},
    // An ARM11 core: no table of the tool knows it.
    {SIM_MODULE_UNKNOWN_CPU, "unknown-cpu", 0x410FB767, 0x00000000, 0},
};

const SimModuleInfo kInvalid = {SIM_MODULE_INVALID, "", 0, 0, 0};

SimModule g_module;
bool g_moduleChosen;

SimModule ModuleFromEnvironment() {
    char value[64];
    DWORD n = GetEnvironmentVariableA("VELMORA_SIM_MODULE", value, sizeof value);
    if (n == 0) return SIM_MODULE_PXA270;
    if (n < sizeof value) {
        if (const SimModuleInfo* info = SimFindModule(value)) return info->id;
    }
    fprintf(stderr, "VELMORA_SIM_MODULE=%s is not a module; use one of: %s\n",
            n < sizeof value ? value : "(too long)", SimAcceptedModuleNames());
    return SIM_MODULE_INVALID;
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
        if (strcmp(info.name, name) == 0) return &info;
    return nullptr;
}

const char* SimAcceptedModuleNames() {
    return "pxa270, pxa320, pxa300, pxa310, tegra2, tegra3, tegra3-belvan, none, unknown-cpu";
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
