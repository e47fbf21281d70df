// GPIOLib frame on the simulated module: identification, windows, counts, initialisation.
#include "gpiolib/frame.h"
#include "platform/ce.h"
#include "platform/regio.h"
#include "sim/sim.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

namespace {

struct ModuleCase {
    SimModule module;
    uint32_t processorId;
    uint32_t gpioCount;
};

const ModuleCase kModules[] = {
    {SIM_MODULE_PXA270, 17, 121},
    {SIM_MODULE_PXA320, 2, 146},
    {SIM_MODULE_PXA300, 8, 135},
    {SIM_MODULE_PXA310, 9, 139},
    {SIM_MODULE_TEGRA2, 0x411FC09, 222},
    {SIM_MODULE_TEGRA3, 0x412FC09, 244},
    {SIM_MODULE_TEGRA3_BELVAN, 0x412FC09, 244},
};

bool Inaccessible(const volatile void* address) {
    MEMORY_BASIC_INFORMATION info;
    return VirtualQuery(const_cast<void*>(address), &info, sizeof info) &&
           info.State == MEM_RESERVE;
}

} // namespace

TEST(Identify, EachMainIdRegisterGivesItsProcessorId) {
    for (const ModuleCase& c : kModules) {
        UseModule(c.module);
        EXPECT_EQ(IdentifyProcessor(), c.processorId) << SimModuleDescription(c.module)->name;
    }
}

TEST(Identify, XScaleRuleTakesLowSixBitsOnlyWhenBits15To12AreFive) {
    // PXA270: 0x69054117 >> 4 = 0x6905411, bits 15..12 = 5, low six bits 0x11.
    UseModule(SIM_MODULE_PXA270);
    EXPECT_EQ(SimModuleDescription(SIM_MODULE_PXA270)->mainId >> 4, 0x6905411u);
    EXPECT_EQ(IdentifyProcessor(), 0x11u);
    // A Cortex-A9 keeps the whole shifted value (bits 15..12 are 0xC).
    UseModule(SIM_MODULE_TEGRA3);
    EXPECT_EQ(IdentifyProcessor(), SimModuleDescription(SIM_MODULE_TEGRA3)->mainId >> 4);
    UseModule(SIM_MODULE_UNKNOWN_CPU);
    EXPECT_EQ(IdentifyProcessor(), SimModuleDescription(SIM_MODULE_UNKNOWN_CPU)->mainId >> 4);
}

TEST(Identify, UserModeReadsTheMainIdThroughTheKernelCall) {
    UseModule(SIM_MODULE_PXA320);
    EXPECT_EQ(ReadStatusRegister() & 0x1F, 0x10u); // user mode
    int calls = SimKernelCallCount();
    EXPECT_EQ(IdentifyProcessor(), 2u);
    EXPECT_EQ(SimKernelCallCount(), calls + 1);
}

TEST(Identify, PrivilegedModeReadsTheMainIdDirectly) {
    UseModule(SIM_MODULE_TEGRA2);
    int calls = SimKernelCallCount();
    DWORD id =
        CallInKernelMode([](UINT_PTR, UINT_PTR) -> DWORD { return IdentifyProcessor(); }, 0, 0);
    EXPECT_EQ(id, PROCESSOR_TEGRA2);
    EXPECT_EQ(SimKernelCallCount(), calls + 1); // ours only, no nested call
}

TEST(Identify, NoModuleServiceGivesProcessorIdZero) {
    UseModule(SIM_MODULE_NONE);
    EXPECT_EQ(IdentifyProcessor(), 0u);
}

TEST(KernelCall, PassesBothArgumentsAndReturnsTheResult) {
    UseModule(SIM_MODULE_PXA270);
    DWORD result = CallInKernelMode(
        [](UINT_PTR a, UINT_PTR b) -> DWORD {
            return DWORD(a * 1000 + b) + (SimInKernelMode() ? 1 : 0);
        },
        7, 9);
    EXPECT_EQ(result, 7010u);
    EXPECT_FALSE(SimInKernelMode());
}

TEST(Init, SetsCountsWindowsAndParameters) {
    for (const ModuleCase& c : kModules) {
        SCOPED_TRACE(SimModuleDescription(c.module)->name);
        UseModule(c.module);
        InitGPIOLib();
        const GpioLibState& s = g_gpioLib;
        EXPECT_TRUE(s.initialised);
        EXPECT_FALSE(s.onImage);
        EXPECT_EQ(s.processorId, c.processorId);
        EXPECT_EQ(s.gpioCount, c.gpioCount);
        if (IsPxa(c.processorId)) {
            ASSERT_NE(s.gpioWindow, nullptr);
            EXPECT_EQ(reinterpret_cast<UINT_PTR>(s.gpioWindow) & 0xFFF, 0u);
            EXPECT_EQ(s.padWindow, nullptr);
            EXPECT_EQ(s.tegraGpioWindow, nullptr);
            if (c.processorId == PROCESSOR_PXA270) {
                EXPECT_EQ(s.mfprWindow, nullptr);
            } else {
                ASSERT_NE(s.mfprWindow, nullptr);
                UINT_PTR offset = c.processorId == PROCESSOR_PXA320 ? 0x124 : 0xB4;
                EXPECT_EQ(reinterpret_cast<UINT_PTR>(s.mfprWindow) & 0xFFF, offset);
            }
        } else {
            EXPECT_EQ(s.gpioWindow, nullptr);
            EXPECT_EQ(s.mfprWindow, nullptr);
            ASSERT_NE(s.padWindow, nullptr);
            ASSERT_NE(s.tegraGpioWindow, nullptr);
            EXPECT_EQ(s.bankShift, c.processorId == PROCESSOR_TEGRA2 ? 7u : 8u);
            EXPECT_EQ(s.maskedOffset, c.processorId == PROCESSOR_TEGRA2 ? 0x800u : 0x80u);
            EXPECT_EQ(s.mxm3Module, c.module == SIM_MODULE_TEGRA3_BELVAN);
        }
    }
}

TEST(Init, WindowsAreBoundToTheDevicesAndNotPlainMemory) {
    UseModule(SIM_MODULE_PXA320);
    InitGPIOLib();
    EXPECT_GE(SimKernelInitCount(), 1);
    EXPECT_TRUE(Inaccessible(g_gpioLib.gpioWindow));
    EXPECT_TRUE(Inaccessible(g_gpioLib.mfprWindow));
    // MFPR of GPIO 0 sits at 0x40E10124, the window's first word.
    EXPECT_TRUE(SimPhysicalWrite(0x40E10124, 0x1234));
    EXPECT_EQ(RegRead(g_gpioLib.mfprWindow), 0x1234u);
    // GPIO 1's MFPR is the next word; writes through the window reach the device.
    RegWrite(g_gpioLib.mfprWindow + 1, 0x42);
    uint32_t value = 0;
    EXPECT_TRUE(SimPhysicalRead(0x40E10128, &value));
    EXPECT_EQ(value, 0x42u);
}

TEST(Init, KernelServiceIsInitialisedOnceWhateverTheNumberOfMappings) {
    UseModule(SIM_MODULE_TEGRA3);
    int before = SimKernelInitCount();
    InitGPIOLib(); // two windows
    int afterFirst = SimKernelInitCount();
    DeInitGPIOLib();
    InitGPIOLib();
    volatile uint32_t* extra = MapRegisterWindow(0x6000D000);
    EXPECT_NE(extra, nullptr);
    UnmapRegisterWindow(extra);
    EXPECT_LE(afterFirst - before, 1);
    EXPECT_EQ(SimKernelInitCount(), afterFirst);
    EXPECT_GE(afterFirst, 1);
}

TEST(Init, WindowOfAnAddressWithoutDeviceIsNull) {
    UseModule(SIM_MODULE_PXA270);
    InitGPIOLib();
    EXPECT_EQ(MapRegisterWindow(0x12340000), nullptr);
    // Tegra registers are absent on a PXA module.
    EXPECT_EQ(MapRegisterWindow(0x6000D000), nullptr);
}

TEST(Init, SecondInitMapsNothing) {
    UseModule(SIM_MODULE_PXA300);
    InitGPIOLib();
    volatile uint32_t* gpio = g_gpioLib.gpioWindow;
    volatile uint32_t* mfpr = g_gpioLib.mfprWindow;
    InitGPIOLib();
    EXPECT_EQ(g_gpioLib.gpioWindow, gpio);
    EXPECT_EQ(g_gpioLib.mfprWindow, mfpr);
}

TEST(Init, DeInitReleasesWindowsAndKeepsTheRest) {
    UseModule(SIM_MODULE_TEGRA2);
    InitGPIOLib();
    volatile uint32_t* pad = g_gpioLib.padWindow;
    DeInitGPIOLib();
    EXPECT_FALSE(g_gpioLib.initialised);
    EXPECT_EQ(g_gpioLib.padWindow, nullptr);
    EXPECT_EQ(g_gpioLib.tegraGpioWindow, nullptr);
    MEMORY_BASIC_INFORMATION info;
    ASSERT_TRUE(VirtualQuery(const_cast<uint32_t*>(pad), &info, sizeof info));
    EXPECT_EQ(info.State, DWORD(MEM_FREE));
    EXPECT_EQ(g_gpioLib.gpioCount, 222u);
    EXPECT_EQ(g_gpioLib.processorId, PROCESSOR_TEGRA2);
    EXPECT_EQ(g_gpioLib.bankShift, 7u);
    // The next operation initialises again.
    EXPECT_TRUE(GpioInRange(221));
    EXPECT_TRUE(g_gpioLib.initialised);
    EXPECT_FALSE(GpioInRange(222));
}

TEST(Bounds, LastValidNumberOfEachProcessor) {
    for (const ModuleCase& c : kModules) {
        UseModule(c.module);
        EXPECT_TRUE(GpioInRange(c.gpioCount - 1));
        EXPECT_FALSE(GpioInRange(c.gpioCount));
        EXPECT_FALSE(GpioInRange(0xFFFFFFFF));
    }
}

TEST(MfprIndex, BuiltFromTheOffsetTables) {
    UseModule(SIM_MODULE_PXA320);
    InitGPIOLib();
    EXPECT_EQ(g_gpioLib.mfprIndex[0], 0);
    EXPECT_EQ(g_gpioLib.mfprIndex[130], (0x67C - 0x124) / 4);
    EXPECT_EQ(g_gpioLib.mfprIndex[145], (0x4EC - 0x124) / 4);
    UseModule(SIM_MODULE_PXA310);
    InitGPIOLib();
    EXPECT_EQ(g_gpioLib.mfprIndex[0], 0);
    EXPECT_EQ(g_gpioLib.mfprIndex[30], (0x40C - 0xB4) / 4);
    EXPECT_EQ(g_gpioLib.mfprIndex[138], (0x538 - 0xB4) / 4);
}

// The offset tables against the runs of consecutive registers that the manuals give.
TEST(MfprIndex, OffsetTablesFollowTheRegisterRuns) {
    struct Run {
        int first, last, offset;
    };
    const Run pxa320[] = {{0, 4, 0x124},    {5, 9, 0x28C},     {10, 10, 0x458},  {11, 26, 0x2A0},
                          {27, 48, 0x400},  {49, 62, 0x45C},   {63, 73, 0x4B4},  {74, 98, 0x4F0},
                          {99, 133, 0x600}, {134, 141, 0x494}, {142, 145, 0x4E0}};
    const Run pxa3x0[] = {{0, 2, 0xB4},     {3, 26, 0x27C},    {27, 98, 0x400},
                          {99, 129, 0x600}, {130, 134, 0x2DC}, {135, 138, 0x52C}};
    int n = 0;
    for (const Run& r : pxa320)
        for (int g = r.first; g <= r.last; ++g, ++n)
            EXPECT_EQ(kPxa320MfprOffsets[g], r.offset + 4 * (g - r.first)) << "PXA320 GPIO " << g;
    EXPECT_EQ(n, 146);
    n = 0;
    for (const Run& r : pxa3x0)
        for (int g = r.first; g <= r.last; ++g, ++n)
            EXPECT_EQ(kPxa3x0MfprOffsets[g], r.offset + 4 * (g - r.first)) << "PXA3x0 GPIO " << g;
    EXPECT_EQ(n, 139);
}

TEST(Image, KeepsTheHardwareCountAndPointsIntoTheImage) {
    for (SimModule module :
         {SIM_MODULE_PXA270, SIM_MODULE_PXA320, SIM_MODULE_PXA300, SIM_MODULE_PXA310}) {
        UseModule(module);
        InitGPIOLib();
        uint32_t count = g_gpioLib.gpioCount;
        static uint32_t image[BOOT_IMAGE_WORDS];
        EXPECT_EQ(InitGPIOLibOnImage(image), 1);
        EXPECT_TRUE(g_gpioLib.initialised);
        EXPECT_TRUE(g_gpioLib.onImage);
        EXPECT_EQ(g_gpioLib.gpioCount, count);
        EXPECT_EQ(g_gpioLib.gpioWindow, image);
        EXPECT_EQ(g_gpioLib.mfprWindow, image + 300);
        for (int i = 0; i < MFPR_INDEX_ENTRIES; ++i)
            ASSERT_EQ(g_gpioLib.mfprIndex[i], i);
    }
}

TEST(Image, SwitchingReleasesTheLiveWindowsAndDeInitReleasesNothing) {
    UseModule(SIM_MODULE_PXA270);
    InitGPIOLib();
    volatile uint32_t* live = g_gpioLib.gpioWindow;
    // Images of their own pages, so that a release of them would show.
    const SIZE_T bytes = BOOT_IMAGE_WORDS * 4;
    auto* image = static_cast<uint32_t*>(VirtualAlloc(nullptr, bytes, MEM_COMMIT, PAGE_READWRITE));
    auto* other = static_cast<uint32_t*>(VirtualAlloc(nullptr, bytes, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_EQ(InitGPIOLibOnImage(image), 1);
    MEMORY_BASIC_INFORMATION info;
    ASSERT_TRUE(VirtualQuery(const_cast<uint32_t*>(live), &info, sizeof info));
    EXPECT_EQ(info.State, DWORD(MEM_FREE));
    // Already on an image: the new image replaces it, and the old one stays ours.
    ASSERT_EQ(InitGPIOLibOnImage(other), 1);
    EXPECT_EQ(g_gpioLib.gpioWindow, other);
    DeInitGPIOLib();
    EXPECT_FALSE(g_gpioLib.initialised);
    EXPECT_FALSE(g_gpioLib.onImage);
    for (uint32_t* mine : {image, other}) {
        ASSERT_TRUE(VirtualQuery(mine, &info, sizeof info));
        EXPECT_EQ(info.State, DWORD(MEM_COMMIT));
    }
    // The next operation initialises on the hardware again.
    EXPECT_TRUE(GpioInRange(0));
    EXPECT_FALSE(g_gpioLib.onImage);
    EXPECT_TRUE(Inaccessible(g_gpioLib.gpioWindow));
    VirtualFree(image, 0, MEM_RELEASE);
    VirtualFree(other, 0, MEM_RELEASE);
}

// A freed window is no device any more: memory allocated there later is plain memory, also
// right after the window was last used (the simulator does not ask again about a window it
// found in place a moment ago).
TEST(Init, FreedWindowAddressesBecomePlainMemory) {
    UseModule(SIM_MODULE_PXA270);
    for (bool usedJustBefore : {false, true}) {
        SCOPED_TRACE(usedJustBefore ? "used just before" : "never used");
        volatile uint32_t* window = MapRegisterWindow(0x40E00000);
        ASSERT_NE(window, nullptr);
        void* page = const_cast<uint32_t*>(window);
        if (usedJustBefore) RegRead(window + 3);
        UnmapRegisterWindow(window);
        auto* memory = static_cast<volatile uint32_t*>(
            VirtualAlloc(page, 0x2000, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        ASSERT_EQ(memory, window); // the same addresses again
        RegWrite(memory + 3, 0xFFFFFFFF);
        EXPECT_EQ(RegRead(memory + 3), 0xFFFFFFFFu);
        EXPECT_EQ(memory[3], 0xFFFFFFFFu);
        uint32_t gpdr0 = 0;
        ASSERT_TRUE(SimPhysicalRead(0x40E0000C, &gpdr0));
        EXPECT_NE(gpdr0, 0xFFFFFFFFu);
        VirtualFree(page, 0, MEM_RELEASE);
    }
}

// Mapping and releasing windows again and again, with other allocations in between, never
// runs out of bindings.
TEST(Init, RepeatedMappingDoesNotRunOut) {
    UseModule(SIM_MODULE_PXA320);
    std::vector<void*> others;
    for (int i = 0; i < 40; ++i) {
        InitGPIOLib();
        ASSERT_NE(g_gpioLib.gpioWindow, nullptr) << i;
        ASSERT_NE(g_gpioLib.mfprWindow, nullptr) << i;
        DeInitGPIOLib();
        others.push_back(VirtualAlloc(nullptr, 0x2000, MEM_RESERVE, PAGE_NOACCESS));
    }
    for (void* other : others)
        VirtualFree(other, 0, MEM_RELEASE);
}

TEST(Image, BeforeAnyHardwareInitEveryNumberIsOutOfRange) {
    UseModule(SIM_MODULE_PXA300);
    static uint32_t image[BOOT_IMAGE_WORDS];
    EXPECT_EQ(InitGPIOLibOnImage(image), 1);
    EXPECT_EQ(g_gpioLib.gpioCount, 0u);
    EXPECT_FALSE(GpioInRange(0));
    EXPECT_TRUE(g_gpioLib.onImage); // no re-initialisation on the hardware
}

TEST(Image, NullImageAndTegraAreRefused) {
    UseModule(SIM_MODULE_PXA320);
    InitGPIOLib();
    EXPECT_EQ(InitGPIOLibOnImage(nullptr), 0);
    EXPECT_FALSE(g_gpioLib.initialised); // the live windows were released first
    EXPECT_EQ(g_gpioLib.processorId, PROCESSOR_PXA320);

    UseModule(SIM_MODULE_TEGRA2);
    InitGPIOLib();
    static uint32_t image[BOOT_IMAGE_WORDS];
    DebugCapture debug;
    EXPECT_EQ(InitGPIOLibOnImage(image), 0);
    EXPECT_FALSE(g_gpioLib.initialised);
    EXPECT_EQ(debug.Text(),
              L"ERROR: GPIOLib: This processor is not supported (procID: 411fc09)\n\r");
}

TEST(Unsupported, InitLeavesTheLibraryUninitialisedAndSaysWhyEachTime) {
    UseModule(SIM_MODULE_UNKNOWN_CPU);
    DebugCapture debug;
    InitGPIOLib();
    EXPECT_FALSE(g_gpioLib.initialised);
    EXPECT_EQ(g_gpioLib.gpioCount, 0u);
    EXPECT_EQ(g_gpioLib.gpioWindow, nullptr);
    EXPECT_EQ(g_gpioLib.padWindow, nullptr);
    EXPECT_FALSE(GpioInRange(0));
    std::vector<std::wstring> lines = debug.Lines();
    ASSERT_EQ(lines.size(), 2u); // InitGPIOLib and the lazy initialisation of the range test
    for (const std::wstring& line : lines)
        EXPECT_EQ(line, L"ERROR: GPIOLib: This processor is not supported (procID: 410fb76)\n\r");
}

// With a processor no table knows, every operation fails its bounds test and each one that
// initialises lazily says why again.
TEST(Unsupported, EveryOperationFails) {
    UseModule(SIM_MODULE_UNKNOWN_CPU);
    DebugCapture debug;
    char group[8] = "x";
    uint16_t entry = 0x1234;
    for (uint32_t gpio : {0u, 5u, 120u}) {
        debug.Clear();
        EXPECT_EQ(GetGPIODir(gpio), 0);
        SetGPIODir(gpio, 1);
        EXPECT_EQ(GetGPIOLevel(gpio), 0);
        SetGPIOLevel(gpio, 1);
        EXPECT_EQ(GetGPIOEdgeDetect(gpio), 0);
        SetGPIOEdgeDetect(gpio, 3);
        EXPECT_EQ(GetGPIOEdgeStatus(gpio), 0);
        ClearGPIOEdgeStatus(gpio);
        EXPECT_EQ(GetGPIOAltFn(gpio), 0);
        SetGPIOAltFn(gpio, 1, 1);
        EXPECT_EQ(GetGPIODefaultFn(gpio), -1);
        EXPECT_EQ(GetGPIOPullState(gpio), -1);
        EXPECT_EQ(SetGPIOPullState(gpio, 2), 0);
        // These never initialise; the pinmux pair tests the number against the count first.
        EXPECT_EQ(GetGPIOTristate(gpio), 0);
        EXPECT_EQ(SetGPIOTristate(gpio, 1), 0);
        EXPECT_EQ(GetGPIOPinGroup(gpio, group), 0);
        EXPECT_STREQ(group, "x");
        EXPECT_EQ(GetTegraPinMux(gpio), 0);
        EXPECT_EQ(SetTegraPinMux(gpio, 1), 0);
        // Thirteen lazy initialisations, each with its line.
        std::vector<std::wstring> lines = debug.Lines();
        EXPECT_EQ(lines.size(), 13u);
        for (const std::wstring& line : lines)
            EXPECT_EQ(line,
                      L"ERROR: GPIOLib: This processor is not supported (procID: 410fb76)\n\r");
    }
    debug.Clear();
    EXPECT_EQ(GetGPIOFromPin(43, 0, &entry), 0);
    EXPECT_EQ(entry, 0x1234);
    EXPECT_EQ(
        debug.Text(),
        L"ERROR: GPIOLib: This processor is not supported (procID: 410fb76)\n\r"
        L"ERROR: GPIOLib: GetGPIOFromPin, this processor is not supported (procID: 410fb76)\n\r");
    EXPECT_FALSE(g_gpioLib.initialised);
    EXPECT_EQ(g_gpioLib.gpioCount, 0u);
}
