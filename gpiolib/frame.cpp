// GPIOLib frame: processor identification, register windows, GPIO counts, initialisation.
#include "gpiolib/frame.h"
#include "platform/ce.h"
#include "platform/kernel_ioctl.h"

#include <initializer_list>

GpioLibState g_gpioLib;

namespace {

constexpr DWORD kWindowSize = 0x2000;
constexpr DWORD kPhysicalProtection = PAGE_READWRITE | PAGE_NOCACHE | PAGE_PHYSICAL; // 0x604

// The kernel service is initialised once per process, before the first map request.
bool g_kernelServiceTried;

bool Privileged() {
    return (ReadStatusRegister() & 0xF) != 0;
}

struct KernelCallRecord {
    UINT_PTR routine, a, b;
};

DWORD Trampoline(UINT_PTR recordAddress) {
    auto* record = reinterpret_cast<const KernelCallRecord*>(recordAddress);
    return reinterpret_cast<KernelRoutine>(record->routine)(record->a, record->b);
}

DWORD MainIdReader(UINT_PTR, UINT_PTR) {
    return ReadMainIdRegister();
}

// The MFPR window starts at the processor's first MFPR; an index counts words from there.
void FillMfprIndex(const ProcessorFacts& p) {
    const uint16_t* offsets = p.id == PROCESSOR_PXA320 ? kPxa320MfprOffsets : kPxa3x0MfprOffsets;
    uint32_t windowOffset = p.pinWindow & 0xFFFF;
    for (int i = 0; i < p.mfprRows; ++i)
        g_gpioLib.mfprIndex[i] = uint16_t((offsets[i] - windowOffset) / 4);
}

} // namespace

int IsBelvanModule() {
    DWORD info = 0;
    KernelIoControl(IOCTL_MODULE_INFO, nullptr, 0, &info, 0, nullptr);
    return (info & MODULE_FAMILY_MASK) == MODULE_FAMILY_BELVAN ? 1 : 0;
}

DWORD CallInKernelMode(KernelRoutine routine, UINT_PTR a, UINT_PTR b) {
    KernelCallRecord record = {reinterpret_cast<UINT_PTR>(routine), a, b};
    KernelCallRequest request = {KERNEL_SERVICE_CALL, reinterpret_cast<UINT_PTR>(&Trampoline),
                                 reinterpret_cast<UINT_PTR>(&record)};
    DWORD result = 0;
    KernelIoControl(IOCTL_KERNEL_SERVICE, &request, sizeof request, &result, sizeof result,
                    nullptr);
    return result;
}

uint32_t IdentifyProcessor() {
    DWORD midr = Privileged() ? ReadMainIdRegister() : CallInKernelMode(MainIdReader, 0, 0);
    uint32_t id = midr >> 4;
    if ((id & 0xF000) == 0x5000) id &= 0x3F; // XScale: the product number
    return id;
}

BOOL BindPhysicalPages(void* destination, DWORD source, DWORD size, DWORD protection) {
    if (Privileged())
        return VirtualCopy(destination, reinterpret_cast<void*>(UINT_PTR(source)), size,
                           protection);
    if (!g_kernelServiceTried) {
        g_kernelServiceTried = true;
        KernelInitRequest init = {KERNEL_SERVICE_INIT};
        BYTE reply[KERNEL_INIT_REPLY_SIZE];
        DWORD count = 0;
        KernelIoControl(IOCTL_KERNEL_SERVICE, &init, sizeof init, reply, sizeof reply, &count);
    }
    KernelMapRequest map = {KERNEL_SERVICE_MAP, reinterpret_cast<UINT_PTR>(destination), source,
                            size, protection};
    DWORD outcome = 0;
    KernelIoControl(IOCTL_KERNEL_SERVICE, &map, sizeof map, &outcome, sizeof outcome, nullptr);
    return outcome;
}

volatile uint32_t* MapRegisterWindow(DWORD physical) {
    void* reserved = VirtualAlloc(nullptr, kWindowSize, MEM_RESERVE, PAGE_NOACCESS);
    if (!reserved) return nullptr;
    if (!BindPhysicalPages(reserved, (physical >> 8) & 0x00FFFFF0, kWindowSize,
                           kPhysicalProtection)) {
        VirtualFree(reserved, 0, MEM_RELEASE);
        return nullptr;
    }
    return reinterpret_cast<volatile uint32_t*>(static_cast<BYTE*>(reserved) + (physical & 0xFFC));
}

void UnmapRegisterWindow(volatile uint32_t* window) {
    UINT_PTR page = reinterpret_cast<UINT_PTR>(window) & ~UINT_PTR(0xFFF);
    VirtualFree(reinterpret_cast<void*>(page), 0, MEM_RELEASE);
}

void ReportUnsupportedProcessor() {
    NKDbgPrintfW(L"ERROR: GPIOLib: This processor is not supported (procID: %x)\n\r",
                 g_gpioLib.processorId);
}

void InitGPIOLib() {
    GpioLibState& s = g_gpioLib;
    if (s.initialised) return;
    s.processorId = IdentifyProcessor();
    s.gpioWindow = s.mfprWindow = s.padWindow = s.tegraGpioWindow = nullptr;
    const ProcessorFacts* p = FindProcessorFacts(s.processorId);
    if (!p) {
        ReportUnsupportedProcessor();
        return;
    }
    // PXA: GPIO window, then MFPR window. Tegra: pad-control window, then GPIO window.
    if (IsPxa(p->id)) {
        s.gpioWindow = MapRegisterWindow(p->gpioWindow);
        if (p->pinWindow) s.mfprWindow = MapRegisterWindow(p->pinWindow);
        if (p->mfprRows) FillMfprIndex(*p);
    } else {
        s.padWindow = MapRegisterWindow(p->pinWindow);
        s.tegraGpioWindow = MapRegisterWindow(p->gpioWindow);
        s.bankShift = p->bankShift;
        s.maskedOffset = p->maskedOffset;
        if (p->id == PROCESSOR_TEGRA3) s.mxm3Module = IsBelvanModule();
    }
    s.gpioCount = p->gpioCount;
    s.initialised = true;
}

void DeInitGPIOLib() {
    GpioLibState& s = g_gpioLib;
    if (!s.initialised) return;
    if (!s.onImage) {
        for (volatile uint32_t* window :
             {s.gpioWindow, s.mfprWindow, s.padWindow, s.tegraGpioWindow})
            if (window) UnmapRegisterWindow(window);
    }
    s.gpioWindow = s.mfprWindow = s.padWindow = s.tegraGpioWindow = nullptr;
    s.initialised = false;
    s.onImage = false;
}

int InitGPIOLibOnImage(uint32_t* image) {
    GpioLibState& s = g_gpioLib;
    if (s.initialised && !s.onImage) DeInitGPIOLib();
    s.processorId = IdentifyProcessor();
    if (!image) return 0;
    if (!IsPxa(s.processorId)) {
        ReportUnsupportedProcessor();
        return 0;
    }
    s.gpioWindow = image;
    s.mfprWindow = image + BOOT_IMAGE_GPIO_WORDS;
    for (int i = 0; i < MFPR_INDEX_ENTRIES; ++i)
        s.mfprIndex[i] = uint16_t(i);
    s.initialised = true;
    s.onImage = true;
    return 1;
}

uint32_t GetGPIOCount() {
    return g_gpioLib.gpioCount;
}

const volatile uint32_t* GetGPIOLibImage() {
    return g_gpioLib.initialised && g_gpioLib.onImage ? g_gpioLib.gpioWindow : nullptr;
}

bool GpioInRange(uint32_t gpio) {
    if (!g_gpioLib.initialised) InitGPIOLib();
    return gpio < g_gpioLib.gpioCount;
}
