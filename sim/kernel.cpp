// The platform's kernel services as the simulated module provides them.
#include "platform/ce.h"
#include "platform/kernel_ioctl.h"
#include "sim/flash.h"
#include "sim/sim_internal.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

thread_local bool t_kernelMode;
int g_kernelInitCount;
int g_kernelCallCount;
SimDebugHook g_debugHook;

bool ModuleKnown() {
    SimModule module = SimCurrentModule();
    return module != SIM_MODULE_NONE && module != SIM_MODULE_INVALID;
}

void SetCount(LPDWORD bytesReturned, DWORD count) {
    if (bytesReturned) *bytesReturned = count;
}

BOOL ModuleInformation(LPVOID out) {
    // The platform writes the word although callers pass an output size of 0.
    if (!ModuleKnown()) return FALSE;
    if (out) *static_cast<DWORD*>(out) = SimModuleDescription(SimCurrentModule())->moduleInfo;
    return TRUE;
}

const BootBlockRequest* BootRequest(LPVOID in, DWORD inSize, bool needsBuffer) {
    if (!ModuleKnown() || !in ||
        inSize < (needsBuffer ? sizeof(BootBlockRequest) : sizeof(UINT_PTR)))
        return nullptr;
    auto* request = static_cast<const BootBlockRequest*>(in);
    if (request->blockId != BOOT_BLOCK_GPIO) return nullptr;
    if (needsBuffer && (!request->buffer || request->size != BOOT_BLOCK_SIZE)) return nullptr;
    return request;
}

// Counts a flash request in the module's shared state; false when it is to be refused.
bool FlashRequestAllowed(SimFlashOperation operation) {
    SimSharedState* state = ModuleKnown() ? SimState() : nullptr;
    if (!state) return true;
    volatile LONG* counter = operation == SIM_FLASH_READ   ? &state->flashReads
                             : operation == SIM_FLASH_SAVE ? &state->flashSaves
                                                           : &state->flashErases;
    InterlockedIncrement(counter);
    return (state->flashRefused & operation) == 0;
}

void RecordSaveRequest(const BootBlockRequest* request) {
    SimSharedState* state = SimState();
    if (!state || !SimLock(state)) return;
    memcpy(state->flashLastSave, reinterpret_cast<const void*>(request->buffer), BOOT_BLOCK_SIZE);
    state->flashSaveRequested = 1;
    SimUnlock(state);
}

BOOL ReadBootBlock(LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, LPDWORD bytesReturned) {
    SetCount(bytesReturned, 0);
    bool allowed = FlashRequestAllowed(SIM_FLASH_READ);
    const BootBlockRequest* request = BootRequest(in, inSize, true);
    if (!request || !allowed) return FALSE;
    BYTE block[BOOT_BLOCK_SIZE];
    if (!SimFlashLoad(SimCurrentModule(), block)) return FALSE;
    memcpy(reinterpret_cast<void*>(request->buffer), block, BOOT_BLOCK_SIZE);
    if (out && out != reinterpret_cast<void*>(request->buffer) && outSize >= BOOT_BLOCK_SIZE)
        memcpy(out, block, BOOT_BLOCK_SIZE);
    SetCount(bytesReturned, BOOT_BLOCK_SIZE);
    return TRUE;
}

BOOL SaveBootBlock(LPVOID in, DWORD inSize, LPDWORD bytesReturned) {
    SetCount(bytesReturned, 0);
    bool allowed = FlashRequestAllowed(SIM_FLASH_SAVE);
    const BootBlockRequest* request = BootRequest(in, inSize, true);
    if (request) RecordSaveRequest(request);
    if (!request || !allowed ||
        !SimFlashSave(SimCurrentModule(), reinterpret_cast<const BYTE*>(request->buffer)))
        return FALSE;
    SetCount(bytesReturned, BOOT_BLOCK_SIZE);
    return TRUE;
}

BOOL ClearBootBlock(LPVOID in, DWORD inSize, LPDWORD bytesReturned) {
    SetCount(bytesReturned, 0);
    bool allowed = FlashRequestAllowed(SIM_FLASH_ERASE);
    if (!BootRequest(in, inSize, false) || !allowed || !SimFlashClear(SimCurrentModule()))
        return FALSE;
    SetCount(bytesReturned, BOOT_BLOCK_SIZE);
    return TRUE;
}

BOOL KernelCall(const KernelCallRequest* request, LPVOID out, DWORD outSize,
                LPDWORD bytesReturned) {
    if (!out || outSize < sizeof(DWORD) || !request->function) return FALSE;
    ++g_kernelCallCount;
    auto function = reinterpret_cast<KernelFunction>(request->function);
    bool wasKernel = t_kernelMode;
    t_kernelMode = true;
    DWORD result = function(request->argument);
    t_kernelMode = wasKernel;
    *static_cast<DWORD*>(out) = result;
    SetCount(bytesReturned, sizeof(DWORD));
    return TRUE;
}

BOOL MapPhysical(const KernelMapRequest* request, LPVOID out, DWORD outSize,
                 LPDWORD bytesReturned) {
    // The service maps nothing before it has been initialised.
    if (g_kernelInitCount == 0 || !out || outSize < sizeof(DWORD)) return FALSE;
    if (!(request->protection & PAGE_PHYSICAL)) return FALSE;
    DWORD physical = DWORD(request->physicalShifted << 8);
    if (!SimBindWindow(reinterpret_cast<void*>(request->destination), physical,
                       DWORD(request->size)))
        return FALSE;
    *static_cast<DWORD*>(out) = 1;
    SetCount(bytesReturned, sizeof(DWORD));
    return TRUE;
}

BOOL InitService(LPVOID out, DWORD outSize, LPDWORD bytesReturned) {
    ++g_kernelInitCount;
    static const char reply[] = "Velmora simulated kernel services ready";
    DWORD count = outSize < sizeof reply ? outSize : DWORD(sizeof reply);
    if (out && count) memcpy(out, reply, count);
    SetCount(bytesReturned, out ? count : 0);
    return out && count;
}

BOOL KernelService(LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, LPDWORD bytesReturned) {
    if (!ModuleKnown() || !in || inSize < sizeof(UINT_PTR)) return FALSE;
    switch (*static_cast<const UINT_PTR*>(in)) {
    case KERNEL_SERVICE_CALL:
        if (inSize < sizeof(KernelCallRequest)) return FALSE;
        return KernelCall(static_cast<const KernelCallRequest*>(in), out, outSize, bytesReturned);
    case KERNEL_SERVICE_MAP:
        if (inSize < sizeof(KernelMapRequest)) return FALSE;
        return MapPhysical(static_cast<const KernelMapRequest*>(in), out, outSize, bytesReturned);
    case KERNEL_SERVICE_INIT: return InitService(out, outSize, bytesReturned);
    default: return FALSE;
    }
}

} // namespace

bool SimInKernelMode() {
    return t_kernelMode;
}
int SimKernelCallCount() {
    return g_kernelCallCount;
}
int SimKernelInitCount() {
    return g_kernelInitCount;
}
bool SimFlashRefuse(int operations) {
    SimSharedState* state = ModuleKnown() ? SimState() : nullptr;
    if (!state) return false;
    InterlockedExchange(&state->flashRefused,
                        operations & (SIM_FLASH_READ | SIM_FLASH_SAVE | SIM_FLASH_ERASE));
    return true;
}

int SimFlashRefused() {
    SimSharedState* state = ModuleKnown() ? SimState() : nullptr;
    return state ? int(state->flashRefused) : 0;
}

SimFlashRequests SimFlashRequestCounts() {
    SimSharedState* state = ModuleKnown() ? SimState() : nullptr;
    if (!state) return {0, 0, 0};
    return {state->flashReads, state->flashSaves, state->flashErases};
}

bool SimFlashLastSaveRequest(BYTE* block) {
    SimSharedState* state = ModuleKnown() ? SimState() : nullptr;
    if (!state || !SimLock(state)) return false;
    bool any = state->flashSaveRequested != 0;
    if (any) memcpy(block, state->flashLastSave, BOOT_BLOCK_SIZE);
    SimUnlock(state);
    return any;
}

void SimSetDebugHook(SimDebugHook hook) {
    g_debugHook = hook;
}

extern "C" BOOL KernelIoControl(DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                                LPDWORD bytesReturned) {
    switch (code) {
    case IOCTL_MODULE_INFO: return ModuleInformation(out);
    case IOCTL_READ_BOOT_CONFIG: return ReadBootBlock(in, inSize, out, outSize, bytesReturned);
    case IOCTL_SAVE_BOOT_CONFIG: return SaveBootBlock(in, inSize, bytesReturned);
    case IOCTL_CLEAR_BOOT_CONFIG: return ClearBootBlock(in, inSize, bytesReturned);
    case IOCTL_KERNEL_SERVICE: return KernelService(in, inSize, out, outSize, bytesReturned);
    default: SetLastError(ERROR_NOT_SUPPORTED); return FALSE;
    }
}

extern "C" BOOL VirtualCopy(LPVOID destination, LPVOID source, DWORD size, DWORD protection) {
    // Physical mappings are for privileged code only.
    if (!t_kernelMode || !(protection & PAGE_PHYSICAL)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    DWORD physical = DWORD(reinterpret_cast<UINT_PTR>(source) << 8);
    return SimBindWindow(destination, physical, size);
}

extern "C" void NKDbgPrintfW(LPCWSTR format, ...) {
    wchar_t line[1025];
    va_list args;
    va_start(args, format);
    wvsprintfW(line, format, args);
    va_end(args);
    OutputDebugStringW(line);
    if (g_debugHook) g_debugHook(line);
    // One line on stderr, whatever line ending the caller used.
    size_t n = wcslen(line);
    while (n && (line[n - 1] == L'\n' || line[n - 1] == L'\r'))
        --n;
    fprintf(stderr, "%.*ls\n", int(n), line);
}

extern "C" BOOL CeSetThreadPriority(HANDLE thread, int priority) {
    // CE priorities run from 0 (highest) to 255 (lowest); 251 is a normal application thread.
    int desktop = priority >= 253   ? THREAD_PRIORITY_LOWEST
                  : priority == 252 ? THREAD_PRIORITY_BELOW_NORMAL
                  : priority == 251 ? THREAD_PRIORITY_NORMAL
                  : priority == 250 ? THREAD_PRIORITY_ABOVE_NORMAL
                  : priority == 249 ? THREAD_PRIORITY_HIGHEST
                                    : THREAD_PRIORITY_TIME_CRITICAL;
    return SetThreadPriority(thread, desktop);
}
