// Shared register state of the simulated module and the windows bound to it.
#include "sim/sim_internal.h"
#include "platform/regio.h"

#include <intrin.h>
#include <cstdio>
#include <cstring>

namespace {

HANDLE g_section;
// Guards the state's compound updates across processes; a mutex, so that a thread that dies
// holding it (a terminated refresh thread) does not stop every other process.
HANDLE g_mutex;
SimSharedState* g_state;
SimModule g_stateModule;

struct Binding {
    UINT_PTR low, high; // virtual range [low, high)
    DWORD physical;     // physical address at low
    // Time-stamp counter when the window was last known to be in place.
    volatile LONG64 confirmedAt;
};
constexpr int kMaxBindings = 16;
Binding g_bindings[kMaxBindings];
int g_bindingCount;
// Quick rejection of accesses that are plain memory.
UINT_PTR g_boundLow = ~UINT_PTR(0), g_boundHigh;

void RecomputeBounds() {
    g_boundLow = ~UINT_PTR(0);
    g_boundHigh = 0;
    for (int i = 0; i < g_bindingCount; ++i) {
        if (g_bindings[i].low < g_boundLow) g_boundLow = g_bindings[i].low;
        if (g_bindings[i].high > g_boundHigh) g_boundHigh = g_bindings[i].high;
    }
}

// One module per name; VELMORA_SIM_INSTANCE keeps parallel test processes apart. False when
// the instance cannot be used: no module then, rather than another process's.
bool SectionName(wchar_t* name, const char* module) {
    wchar_t instance[40] = L"";
    if (!SimInstance(instance, 40)) return false;
    if (!instance[0])
        wsprintfW(name, L"Local\\VelmoraSim.%S", module);
    else
        wsprintfW(name, L"Local\\VelmoraSim.%S.%s", module, instance);
    return true;
}

template <size_t N> void CopyWords(volatile LONG (&to)[N], const volatile LONG (&from)[N]) {
    for (size_t i = 0; i < N; ++i)
        to[i] = from[i];
}

// The devices build the power-on state from zeros aside; it is then copied in word by word, so
// that a reader sees each register go from its old value to its new one, never through 0.
// Called with the lock held.
void PowerOn(SimSharedState* state, SimModule module) {
    static SimSharedState fresh; // this process's, guarded by the lock as well
    memset(&fresh, 0, sizeof fresh);
    fresh.module = module;
    int count = 0;
    const SimDevice* const* devices = SimDevicesOf(module, &count);
    for (int d = 0; d < count; ++d)
        if (devices[d]->powerOn) devices[d]->powerOn(&fresh, module);
    for (int r = 0; r < SIM_MAX_REGIONS; ++r)
        CopyWords(state->regs[r], fresh.regs[r]);
    CopyWords(state->external, fresh.external);
    CopyWords(state->device, fresh.device);
}

const SimDevice* DeviceAt(DWORD physical) {
    int count = 0;
    const SimDevice* const* devices = SimDevicesOf(SimCurrentModule(), &count);
    for (int d = 0; d < count; ++d)
        if (physical - devices[d]->physical < SIM_REGION_SIZE) return devices[d];
    return nullptr;
}

} // namespace

SimSharedState* SimState() {
    SimModule module = SimCurrentModule();
    if (g_state && g_stateModule == module) return g_state;
    SimForgetModuleState();
    int count = 0;
    if (!SimDevicesOf(module, &count) || count == 0) return nullptr;

    wchar_t name[160];
    if (!SectionName(name, SimModuleDescription(module)->name)) return nullptr;
    HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(SimSharedState), name);
    if (!section) {
        fprintf(stderr, "simulated module: cannot create shared state (error %lu)\n",
                GetLastError());
        return nullptr;
    }
    auto* state = static_cast<SimSharedState*>(
        MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SimSharedState)));
    wchar_t lockName[200];
    wsprintfW(lockName, L"%s.lock", name);
    HANDLE mutex = state ? CreateMutexW(nullptr, FALSE, lockName) : nullptr;
    if (!mutex) {
        if (state) UnmapViewOfFile(state);
        CloseHandle(section);
        return nullptr;
    }
    g_mutex = mutex;
    // The first process to arrive powers the module on; the others find it ready.
    if (!SimLock(state)) {
        fprintf(stderr, "simulated module: cannot lock the shared state (error %lu)\n",
                GetLastError());
        CloseHandle(mutex);
        g_mutex = nullptr;
        UnmapViewOfFile(state);
        CloseHandle(section);
        return nullptr;
    }
    if (state->phase != 2) {
        state->module = module;
        PowerOn(state, module);
        state->phase = 2;
    }
    SimUnlock(state);
    g_section = section;
    g_state = state;
    g_stateModule = module;
    SimStartStimulus(name);
    return state;
}

void SimForgetModuleState() {
    // The stimulus thread uses the state and its lock: it ends before they go.
    SimStopStimulus();
    if (g_state) UnmapViewOfFile(const_cast<SimSharedState*>(g_state));
    if (g_section) CloseHandle(g_section);
    if (g_mutex) CloseHandle(g_mutex);
    g_state = nullptr;
    g_section = nullptr;
    g_mutex = nullptr;
    g_bindingCount = 0;
    RecomputeBounds();
}

bool SimModuleHeldElsewhere() {
    SimModule module = SimCurrentModule();
    int count = 0;
    if (!SimDevicesOf(module, &count) || count == 0) return false;
    wchar_t name[160];
    if (!SectionName(name, SimModuleDescription(module)->name)) return false;
    HANDLE section = OpenFileMappingW(FILE_MAP_READ, FALSE, name);
    if (!section) return false;
    CloseHandle(section);
    return true;
}

bool SimResetModule() {
    SimSharedState* state = SimState();
    if (!state || !SimLock(state)) return false;
    PowerOn(state, SimCurrentModule());
    SimUnlock(state);
    return true;
}

bool SimSlowNextRead(DWORD ms) {
    SimSharedState* state = SimState();
    if (state) InterlockedExchange(&state->slowReadMs, LONG(ms));
    return state != nullptr;
}

DWORD SimSlowReadPending() {
    SimSharedState* state = SimState();
    return state ? DWORD(state->slowReadMs) : 0;
}

bool SimLock(SimSharedState*) {
    // An abandoned mutex is ours as well: its holder ended in the middle of an update.
    DWORD result = WaitForSingleObject(g_mutex, INFINITE);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void SimUnlock(SimSharedState*) {
    ReleaseMutex(g_mutex);
}

int SimRegionCount() {
    int count = 0;
    SimDevicesOf(SimCurrentModule(), &count);
    return count;
}

const SimRegion* SimRegionAt(int index) {
    static thread_local SimRegion region;
    int count = 0;
    const SimDevice* const* devices = SimDevicesOf(SimCurrentModule(), &count);
    if (index < 0 || index >= count) return nullptr;
    region = {devices[index]->physical, SIM_REGION_SIZE, devices[index]->name};
    return &region;
}

bool SimPhysicalRead(DWORD physical, uint32_t* value) {
    const SimDevice* device = DeviceAt(physical);
    SimSharedState* state = device ? SimState() : nullptr;
    if (!state) return false;
    if (state->slowReadMs) Sleep(DWORD(InterlockedExchange(&state->slowReadMs, 0)));
    *value = device->read(state, (physical - device->physical) & ~3u);
    return true;
}

bool SimPhysicalWrite(DWORD physical, uint32_t value) {
    const SimDevice* device = DeviceAt(physical);
    SimSharedState* state = device ? SimState() : nullptr;
    if (!state) return false;
    device->write(state, (physical - device->physical) & ~3u, value);
    return true;
}

namespace {

// Still the inaccessible reservation it was bound to? A window freed with VirtualFree is gone
// for the device; whatever is allocated there later is plain memory.
bool Reserved(UINT_PTR low, UINT_PTR size) {
    MEMORY_BASIC_INFORMATION info;
    return VirtualQuery(reinterpret_cast<void*>(low), &info, sizeof info) &&
           info.State == MEM_RESERVE && info.AllocationBase == reinterpret_cast<void*>(low) &&
           info.RegionSize >= size;
}

// Asking the system whether a window is still in place costs microseconds under Wine, many
// times the access itself. A window found in place less than this many time-stamp ticks ago
// (2 us at the slowest counter there is, 1 GHz) is taken to be there still: freeing it and
// allocating plain memory at its place takes two system calls, each about as long as this
// alone, and an access meant for that memory comes after both (an access racing with the free
// of its own window has no meaning on the module either).
constexpr LONG64 kConfirmedTicks = 2000;

// The binding that holds an address, if its window still exists.
const Binding* BindingAt(UINT_PTR address) {
    if (address < g_boundLow || address >= g_boundHigh) return nullptr;
    for (int i = 0; i < g_bindingCount; ++i) {
        Binding& b = g_bindings[i];
        if (address < b.low || address >= b.high) continue;
        LONG64 now = LONG64(__rdtsc()), age = now - b.confirmedAt;
        if (age >= 0 && age < kConfirmedTicks) {
            b.confirmedAt = now;
            return &b;
        }
        // Every window is asked for at once, and the answers count from the last one: accesses
        // that alternate between windows would otherwise each come too late for the answer
        // about the other.
        bool inPlace[kMaxBindings];
        for (int j = 0; j < g_bindingCount; ++j)
            inPlace[j] = Reserved(g_bindings[j].low, g_bindings[j].high - g_bindings[j].low);
        now = LONG64(__rdtsc());
        for (int j = 0; j < g_bindingCount; ++j)
            if (inPlace[j]) g_bindings[j].confirmedAt = now;
        return inPlace[i] ? &b : nullptr;
    }
    return nullptr;
}

} // namespace

bool SimBindWindow(void* destination, DWORD physical, DWORD size) {
    const SimDevice* device = DeviceAt(physical);
    if (!device || size == 0 || physical + size - device->physical > SIM_REGION_SIZE) return false;
    if (!SimState()) return false;
    // The window must stay inaccessible, so that only the device sees its accesses.
    UINT_PTR low = reinterpret_cast<UINT_PTR>(destination), high = low + size;
    if (!Reserved(low, size)) return false;
    // Drop the bindings of freed windows and any older one over the same addresses.
    int kept = 0;
    for (int i = 0; i < g_bindingCount; ++i) {
        const Binding& b = g_bindings[i];
        bool overlaps = b.low < high && b.high > low;
        if (!overlaps && Reserved(b.low, b.high - b.low)) g_bindings[kept++] = b;
    }
    g_bindingCount = kept;
    // A reservation made later at a freed window's place looks like the window itself; when
    // the table is full, the oldest binding is the one least likely to be in use.
    if (g_bindingCount == kMaxBindings) {
        for (int i = 1; i < g_bindingCount; ++i)
            g_bindings[i - 1] = g_bindings[i];
        --g_bindingCount;
    }
    g_bindings[g_bindingCount++] = {low, high, physical, LONG64(__rdtsc())};
    RecomputeBounds();
    return true;
}

bool SimRegisterRead(const volatile uint32_t* reg, uint32_t* value) {
    UINT_PTR address = reinterpret_cast<UINT_PTR>(reg);
    const Binding* b = BindingAt(address);
    return b && SimPhysicalRead(b->physical + DWORD(address - b->low), value);
}

bool SimRegisterWrite(volatile uint32_t* reg, uint32_t value) {
    UINT_PTR address = reinterpret_cast<UINT_PTR>(reg);
    const Binding* b = BindingAt(address);
    return b && SimPhysicalWrite(b->physical + DWORD(address - b->low), value);
}
