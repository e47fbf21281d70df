// PXA register model: each operation against the simulated module's registers and against a
// BootImage, checked by the register words it leaves behind.
#include "gpiolib/frame.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>
#include <cstring>
#include <vector>

namespace {

constexpr DWORD kGpioBase = 0x40E00000;
constexpr DWORD kMfprBase = 0x40E10000;

// Bank 0 offsets; bank 3 at + 0x100.
constexpr DWORD GPLR = 0x000, GPDR = 0x00C, GPSR = 0x018, GPCR = 0x024, GRER = 0x030, GFER = 0x03C,
                GEDR = 0x048, GAFR = 0x054;
// PXA3xx set/clear registers, bank b at + 4b.
constexpr DWORD GSDR = 0x400, GCDR = 0x420, GSRER = 0x440, GCRER = 0x460, GSFER = 0x480,
                GCFER = 0x4A0;

DWORD Banked(DWORD reg, uint32_t g) {
    return g >= 96 ? reg + 0x100 : reg + 4 * (g >> 5);
}

uint32_t Hw(DWORD physical) {
    uint32_t value = 0xDEADBEEF;
    EXPECT_TRUE(SimPhysicalRead(physical, &value)) << std::hex << physical;
    return value;
}
uint32_t Gpio(DWORD offset) {
    return Hw(kGpioBase + offset);
}
uint32_t Mfpr(DWORD offset) {
    return Hw(kMfprBase + offset);
}
void SetMfpr(DWORD offset, uint32_t value) {
    ASSERT_TRUE(SimPhysicalWrite(kMfprBase + offset, value));
}
bool GpioBit(DWORD reg, uint32_t g) {
    return (Gpio(Banked(reg, g)) >> (g & 31)) & 1;
}

// The stored registers of the module, by physical address. Pin level is left out: it is a
// view of latch and outside signal, and tests look at it through SimPinLevel.
struct Word {
    DWORD physical;
    uint32_t value;
};
std::vector<Word> Snapshot() {
    std::vector<Word> words;
    for (int r = 0; r < SimRegionCount(); ++r) {
        const SimRegion* region = SimRegionAt(r);
        for (DWORD offset = 0; offset < region->size; offset += 4) {
            DWORD physical = region->physical + offset;
            bool level = r == 0 && (offset == GPLR || offset == GPLR + 4 || offset == GPLR + 8 ||
                                    offset == GPLR + 0x100);
            if (!level) words.push_back({physical, Hw(physical)});
        }
    }
    return words;
}
// The physical addresses whose words differ.
std::vector<DWORD> Changed(const std::vector<Word>& before) {
    std::vector<Word> after = Snapshot();
    std::vector<DWORD> changed;
    for (size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (before[i].value != after[i].value) changed.push_back(before[i].physical);
    return changed;
}
std::vector<DWORD> Regs(std::initializer_list<DWORD> offsets) {
    std::vector<DWORD> physical;
    for (DWORD offset : offsets)
        physical.push_back(kGpioBase + offset);
    return physical;
}

uint32_t Fold(uint32_t gpio) {
    return gpio >= 128 ? gpio - 128 : gpio;
}

// Sample GPIOs per processor, one per bank and a second pad, with the MFPR offset the
// processor manual gives the pad (PXA310 GPIO 30..98 12 bytes above the PXA300's).
struct Sample {
    SimModule module;
    uint32_t gpio;
    DWORD mfpr; // 0 on the PXA270
};
// clang-format off
const Sample kSamples[] = {
//   module             gpio  mfpr
    {SIM_MODULE_PXA270,   5,  0},
    {SIM_MODULE_PXA270,  40,  0},
    {SIM_MODULE_PXA270,  77,  0},
    {SIM_MODULE_PXA270, 100,  0},
    {SIM_MODULE_PXA270, 120,  0},
    {SIM_MODULE_PXA320,   5,  0x28C},
    {SIM_MODULE_PXA320,  40,  0x434},
    {SIM_MODULE_PXA320,  77,  0x4FC},
    {SIM_MODULE_PXA320, 100,  0x604},
    {SIM_MODULE_PXA320, 130,  0x67C},
    {SIM_MODULE_PXA320, 145,  0x4EC},
    {SIM_MODULE_PXA300,   5,  0x284},
    {SIM_MODULE_PXA300,  40,  0x434},
    {SIM_MODULE_PXA300,  77,  0x4C8},
    {SIM_MODULE_PXA300, 100,  0x604},
    {SIM_MODULE_PXA300, 134,  0x2EC},
    {SIM_MODULE_PXA310,   5,  0x284},
    {SIM_MODULE_PXA310,  29,  0x408},
    {SIM_MODULE_PXA310,  30,  0x418},
    {SIM_MODULE_PXA310,  77,  0x4D4},
    {SIM_MODULE_PXA310,  98,  0x528},
    {SIM_MODULE_PXA310,  99,  0x600},
    {SIM_MODULE_PXA310, 138,  0x538},
};
// clang-format on

class PxaModel : public testing::TestWithParam<Sample> {
  protected:
    void SetUp() override {
        UseModule(GetParam().module);
        gpio_ = GetParam().gpio;
        g_ = Fold(gpio_);
        bit_ = 1u << (g_ & 31);
    }
    bool Pxa270() const { return GetParam().module == SIM_MODULE_PXA270; }
    uint32_t gpio_ = 0, g_ = 0, bit_ = 0;
};

TEST_P(PxaModel, DirectionChangesOnlyItsBit) {
    for (uint32_t dir : {1u, 0u, 3u, 2u}) {
        std::vector<Word> before = Snapshot();
        uint32_t word = Gpio(Banked(GPDR, g_));
        SetGPIODir(gpio_, dir);
        uint32_t expected = dir & 1 ? word | bit_ : word & ~bit_;
        EXPECT_EQ(Gpio(Banked(GPDR, g_)), expected) << "dir " << dir;
        std::vector<DWORD> changed = Changed(before);
        if (expected != word)
            EXPECT_EQ(changed, Regs({Banked(GPDR, g_)}));
        else
            EXPECT_TRUE(changed.empty());
        EXPECT_EQ(GetGPIODir(gpio_), int(dir & 1));
        EXPECT_EQ(GetGPIODir(g_), int(dir & 1));
    }
}

TEST_P(PxaModel, LevelDrivesTheOutputLatch) {
    SetGPIODir(gpio_, 1);
    std::vector<Word> before = Snapshot();
    for (uint32_t level : {1u, 0u, 3u, 2u}) {
        SetGPIOLevel(gpio_, level);
        EXPECT_EQ(SimPinLevel(g_), int(level & 1)) << "level " << level;
        EXPECT_EQ(GpioBit(GPLR, g_), (level & 1) != 0);
        EXPECT_EQ(GetGPIOLevel(gpio_), int(level & 1));
    }
    EXPECT_TRUE(Changed(before).empty()); // the set/clear registers store nothing
    // An input shows the outside signal.
    SetGPIODir(gpio_, 0);
    SimDriveInput(g_, 1);
    EXPECT_EQ(GetGPIOLevel(gpio_), 1);
    SimDriveInput(g_, 0);
    EXPECT_EQ(GetGPIOLevel(gpio_), 0);
}

TEST_P(PxaModel, EdgeDetectionRoundTrips) {
    for (uint32_t flags : {3u, 0u, 1u, 2u, 0u, 2u, 3u, 1u}) {
        std::vector<Word> before = Snapshot();
        uint32_t rising = Gpio(Banked(GRER, g_)), falling = Gpio(Banked(GFER, g_));
        SetGPIOEdgeDetect(gpio_, flags);
        uint32_t newRising = flags & 1 ? rising | bit_ : rising & ~bit_;
        uint32_t newFalling = flags & 2 ? falling | bit_ : falling & ~bit_;
        EXPECT_EQ(Gpio(Banked(GRER, g_)), newRising) << "flags " << flags;
        EXPECT_EQ(Gpio(Banked(GFER, g_)), newFalling) << "flags " << flags;
        std::vector<DWORD> expected;
        if (newRising != rising) expected.push_back(kGpioBase + Banked(GRER, g_));
        if (newFalling != falling) expected.push_back(kGpioBase + Banked(GFER, g_));
        EXPECT_EQ(Changed(before), expected) << "flags " << flags;
        EXPECT_EQ(GetGPIOEdgeDetect(gpio_), int(flags));
    }
}

TEST_P(PxaModel, EdgeStatusLatchesAndClearsOneBit) {
    // A neighbour in the same word keeps its status through the clear.
    uint32_t neighbour = (g_ & 31) ? g_ - 1 : g_ + 1;
    for (uint32_t g : {g_, neighbour}) {
        SetGPIODir(g, 0);
        SimDriveInput(g, 0);
        SetGPIOEdgeDetect(g, 1);
    }
    ClearGPIOEdgeStatus(gpio_);
    ClearGPIOEdgeStatus(neighbour);
    EXPECT_EQ(GetGPIOEdgeStatus(gpio_), 0);
    SimDriveInput(g_, 1);
    SimDriveInput(neighbour, 1);
    EXPECT_EQ(GetGPIOEdgeStatus(gpio_), 1);
    EXPECT_EQ(GetGPIOEdgeStatus(g_), 1);
    ClearGPIOEdgeStatus(gpio_);
    EXPECT_FALSE(GpioBit(GEDR, g_));
    EXPECT_EQ(GetGPIOEdgeStatus(gpio_), 0);
    EXPECT_TRUE(GpioBit(GEDR, neighbour));
}

TEST_P(PxaModel, AlternateFunctionLivesInItsOwnField) {
    if (Pxa270()) {
        DWORD word = GAFR + 4 * (gpio_ >> 4);
        uint32_t shift = 2 * (gpio_ & 15);
        for (int fn : {2, 1, 3, 0}) {
            std::vector<Word> before = Snapshot();
            uint32_t value = Gpio(word);
            SetGPIOAltFn(gpio_, fn, 0);
            EXPECT_EQ(Gpio(word), (value & ~(3u << shift)) | uint32_t(fn) << shift);
            EXPECT_EQ(GetGPIOAltFn(gpio_), fn);
            for (DWORD physical : Changed(before))
                EXPECT_TRUE(physical == kGpioBase + word ||
                            physical == kGpioBase + Banked(GPDR, g_))
                    << std::hex << physical;
        }
        return;
    }
    DWORD offset = GetParam().mfpr;
    SetMfpr(offset, 0x0000C846);
    EXPECT_EQ(GetGPIOAltFn(gpio_), 6);
    for (int fn : {1, 7, 0, 5}) {
        std::vector<Word> before = Snapshot();
        // A direction that leaves GPDR as it is, so that only the MFPR may change.
        SetGPIOAltFn(gpio_, fn, uint32_t(GetGPIODir(gpio_)));
        EXPECT_EQ(Mfpr(offset), 0x0000C840u | uint32_t(fn)) << "fn " << fn;
        EXPECT_EQ(GetGPIOAltFn(gpio_), fn);
        EXPECT_EQ(Changed(before), std::vector<DWORD>{kMfprBase + offset}) << "fn " << fn;
    }
}

std::string SampleName(const testing::TestParamInfo<Sample>& info) {
    return std::string(SimModuleDescription(info.param.module)->name) + "_gpio" +
           std::to_string(info.param.gpio);
}

INSTANTIATE_TEST_SUITE_P(Pxa, PxaModel, testing::ValuesIn(kSamples), SampleName);

TEST(PxaOperation, Pxa320Gpio130UsesBank0Bit2AndItsOwnMfpr) {
    UseModule(SIM_MODULE_PXA320);
    SetMfpr(0x67C, 0x0000A045); // GPIO2_2
    SetMfpr(0x12C, 0x0000C841); // GPIO 2
    SetGPIODir(2, 0);
    std::vector<Word> before = Snapshot();
    SetGPIODir(130, 1);
    EXPECT_EQ(Changed(before), Regs({GPDR}));
    EXPECT_EQ(Gpio(GPDR) & 0x4, 0x4u);
    SetGPIOLevel(130, 1);
    EXPECT_EQ(SimPinLevel(2), 1);
    SetGPIOLevel(130, 0);
    EXPECT_EQ(SimPinLevel(2), 0);
    EXPECT_EQ(GetGPIOAltFn(130), 5);
    EXPECT_EQ(GetGPIOAltFn(2), 1);
    SetGPIOAltFn(130, 3, 0);
    EXPECT_EQ(Mfpr(0x67C), 0x0000A043u);
    EXPECT_EQ(Mfpr(0x12C), 0x0000C841u);
}

TEST(PxaOperation, Pxa310Gpio30MfprMovesOnTheHardwareOnly) {
    for (SimModule module : {SIM_MODULE_PXA310, SIM_MODULE_PXA300}) {
        UseModule(module);
        DWORD offset = module == SIM_MODULE_PXA310 ? 0x418 : 0x40C;
        SetMfpr(offset, 0x0000C846);
        EXPECT_EQ(GetGPIOAltFn(30), 6) << SimModuleDescription(module)->name;
        SetGPIOAltFn(30, 2, 0);
        EXPECT_EQ(Mfpr(offset), 0x0000C842u) << SimModuleDescription(module)->name;

        static uint32_t image[BOOT_IMAGE_WORDS];
        memset(image, 0, sizeof image);
        image[330] = 0x0000A044;
        std::vector<Word> before = Snapshot();
        ASSERT_EQ(InitGPIOLibOnImage(image), 1);
        EXPECT_EQ(GetGPIOAltFn(30), 4);
        SetGPIOAltFn(30, 1, 0);
        EXPECT_EQ(image[330], 0x0000A041u);
        SetGPIOAltFn(98, 3, 0);
        EXPECT_EQ(image[398], 3u);
        EXPECT_TRUE(Changed(before).empty());
    }
}

TEST(PxaOperation, SetAltFnWithoutGpioFunctionWarnsAndWritesNothing) {
    UseModule(SIM_MODULE_PXA320);
    for (uint32_t gpio : {56u, 59u, 62u}) {
        std::vector<Word> before = Snapshot();
        DebugCapture capture;
        SetGPIOAltFn(gpio, -1, 1);
        std::wstring expected = L"WARNING: GPIOLib gpio " + std::to_wstring(gpio) +
                                L" does not have an GPIOFunction on AltFn-1";
        EXPECT_EQ(capture.Lines(), std::vector<std::wstring>{expected});
        EXPECT_TRUE(Changed(before).empty());
    }
}

TEST(PxaOperation, Pxa320SetAltFnSetsTheDirectionOnlyForTheGpioFunction) {
    UseModule(SIM_MODULE_PXA320);
    const DWORD mfpr57 = 0x47C; // GPIO 57: bank 1 bit 25
    SetMfpr(mfpr57, 0x0000C841);
    SetGPIODir(57, 0);
    SetGPIOAltFn(57, 0, 1);
    EXPECT_EQ(Mfpr(mfpr57), 0x0000C840u);
    EXPECT_EQ(GetGPIODir(57), 1);
    SetGPIODir(57, 0);
    std::vector<Word> before = Snapshot();
    SetGPIOAltFn(57, 1, 1);
    EXPECT_EQ(Mfpr(mfpr57), 0x0000C841u);
    EXPECT_EQ(GetGPIODir(57), 0);
    EXPECT_EQ(Changed(before), std::vector<DWORD>{kMfprBase + mfpr57});
    // A second pad sets the direction of its first pad's bit.
    SetGPIODir(2, 0);
    SetGPIOAltFn(130, 0, 1);
    EXPECT_EQ(Mfpr(0x67C) & 7, 0u);
    EXPECT_EQ(GetGPIODir(2), 1);
}

TEST(PxaOperation, Pxa300SetAltFnFindsTheGpioFunctionOfItsPad) {
    UseModule(SIM_MODULE_PXA300);
    const DWORD mfpr46 = 0x44C, mfpr49 = 0x458;
    SetGPIODir(46, 1);
    SetGPIOAltFn(46, -1, 0);
    EXPECT_EQ(Mfpr(mfpr46) & 7, 1u);
    EXPECT_EQ(GetGPIODir(46), 0);
    // Function 0 is a peripheral on GPIO 49: the direction stays.
    SetGPIODir(49, 0);
    SetGPIOAltFn(49, 0, 1);
    EXPECT_EQ(Mfpr(mfpr49) & 7, 0u);
    EXPECT_EQ(GetGPIODir(49), 0);
    SetGPIOAltFn(49, 3, 1);
    EXPECT_EQ(Mfpr(mfpr49) & 7, 3u);
    EXPECT_EQ(GetGPIODir(49), 1);
}

TEST(PxaOperation, Pxa270SetAltFnAlwaysSetsTheDirection) {
    UseModule(SIM_MODULE_PXA270);
    SetGPIODir(20, 0); // GAFR0_U bits 9..8
    SetGPIOAltFn(20, 2, 1);
    EXPECT_EQ((Gpio(GAFR + 4) >> 8) & 3, 2u);
    EXPECT_EQ(GetGPIODir(20), 1);
    SetGPIOAltFn(20, -1, 0);
    EXPECT_EQ((Gpio(GAFR + 4) >> 8) & 3, 0u);
    EXPECT_EQ(GetGPIODir(20), 0);
}

TEST(PxaOperation, Pxa3xxFunctionAboveSevenChangesNothing) {
    UseModule(SIM_MODULE_PXA320);
    const DWORD mfpr57 = 0x47C;
    SetMfpr(mfpr57, 0x0000C841);
    SetGPIODir(57, 0);
    std::vector<Word> before = Snapshot();
    DebugCapture capture;
    SetGPIOAltFn(57, 8, 1);
    SetGPIOAltFn(57, 0x40, 1);
    SetGPIOAltFn(57, -2, 1);
    EXPECT_TRUE(Changed(before).empty());
    EXPECT_EQ(Mfpr(mfpr57), 0x0000C841u);
    EXPECT_EQ(capture.Lines(), (std::vector<std::wstring>{
                                   L"WARNING: GPIOLib gpio 57 does not have an AltFn8\n\r",
                                   L"WARNING: GPIOLib gpio 57 does not have an AltFn64\n\r",
                                   L"WARNING: GPIOLib gpio 57 does not have an AltFn-2\n\r"}));
}

TEST(PxaOperation, DefaultFunctionTable) {
    struct Expect {
        SimModule module;
        std::vector<std::pair<uint32_t, int>> special; // every other GPIO: 0
    };
    const Expect expects[] = {
        {SIM_MODULE_PXA270, {}},
        {SIM_MODULE_PXA320, {{56, -1}, {59, -1}, {60, -1}, {61, -1}, {62, -1}}},
        {SIM_MODULE_PXA300, {{46, 1}, {49, 3}, {50, 2}, {51, 3}, {52, 3}}},
        {SIM_MODULE_PXA310, {{46, 1}, {49, 3}, {50, 2}, {51, 3}, {52, 3}}},
    };
    for (const Expect& e : expects) {
        UseModule(e.module);
        uint32_t count = SimModuleDescription(e.module)->gpioCount;
        for (uint32_t gpio = 0; gpio < count; ++gpio) {
            int expected = 0;
            for (const auto& [g, fn] : e.special)
                if (g == gpio) expected = fn;
            EXPECT_EQ(GetGPIODefaultFn(gpio), expected)
                << SimModuleDescription(e.module)->name << " gpio " << gpio;
        }
        EXPECT_EQ(GetGPIODefaultFn(count), -1);
    }
}

TEST(PxaOperation, NumbersOutOfRangeTouchNothing) {
    for (SimModule module :
         {SIM_MODULE_PXA270, SIM_MODULE_PXA320, SIM_MODULE_PXA300, SIM_MODULE_PXA310}) {
        UseModule(module);
        uint32_t count = SimModuleDescription(module)->gpioCount;
        std::vector<Word> before = Snapshot();
        DebugCapture capture;
        for (uint32_t gpio : {count, count + 1, 0x80u + count, 0xFFFFFFFFu}) {
            SetGPIODir(gpio, 1);
            SetGPIOLevel(gpio, 1);
            SetGPIOLevel(gpio, 0);
            SetGPIOEdgeDetect(gpio, 3);
            SetGPIOEdgeDetect(gpio, 0);
            ClearGPIOEdgeStatus(gpio);
            SetGPIOAltFn(gpio, 1, 1);
            SetGPIOAltFn(gpio, -1, 0);
            EXPECT_EQ(GetGPIODir(gpio), 0);
            EXPECT_EQ(GetGPIOLevel(gpio), 0);
            EXPECT_EQ(GetGPIOEdgeDetect(gpio), 0);
            EXPECT_EQ(GetGPIOEdgeStatus(gpio), 0);
            EXPECT_EQ(GetGPIOAltFn(gpio), 0);
            EXPECT_EQ(GetGPIODefaultFn(gpio), -1);
        }
        EXPECT_TRUE(Changed(before).empty()) << SimModuleDescription(module)->name;
        EXPECT_TRUE(capture.Lines().empty());
        // The last number is still in range.
        SetGPIOEdgeDetect(count - 1, 3);
        EXPECT_EQ(GetGPIOEdgeDetect(count - 1), 3);
    }
}

TEST(PxaOperation, OperationsInitialiseTheLibraryOnFirstUse) {
    UseModule(SIM_MODULE_PXA310);
    ASSERT_FALSE(g_gpioLib.initialised);
    SetGPIOLevel(138, 1); // GPIO10_2: bank 0 bit 10
    EXPECT_TRUE(g_gpioLib.initialised);
    EXPECT_EQ(g_gpioLib.gpioCount, 139u);
    SetGPIODir(138, 1);
    EXPECT_EQ(SimPinLevel(10), 1);
}

TEST(PxaOperation, UnsupportedProcessorMessages) {
    UseModule(SIM_MODULE_PXA270);
    InitGPIOLib();
    g_gpioLib.processorId = 0x1234; // as if the library had met a processor it lacks a model for
    std::vector<Word> before = Snapshot();
    DebugCapture capture;
    EXPECT_EQ(GetGPIODir(3), 0);
    SetGPIOLevel(3, 1);
    EXPECT_EQ(GetGPIOEdgeDetect(3), -1);
    EXPECT_EQ(GetGPIOEdgeStatus(3), 0);
    EXPECT_EQ(GetGPIODefaultFn(3), -1);
    EXPECT_EQ(GetGPIOAltFn(3), 0);
    const std::wstring unsupported =
        L"ERROR: GPIOLib: This processor is not supported (procID: 1234)\n\r";
    EXPECT_EQ(capture.Lines(),
              (std::vector<std::wstring>{
                  unsupported, unsupported,
                  L"ERROR: GPIOLib: GetGPIOEdgeDetect This processor is not supported (procID: "
                  L"1234)\n\r",
                  unsupported}));
    EXPECT_TRUE(Changed(before).empty());
}

// On an image every write lands in the word of the register written; nothing is folded.
struct ImageWrite {
    const char* what;
    void (*operation)();
    int word;
    uint32_t value;
};

class PxaImage : public testing::Test {
  protected:
    void Start(SimModule module) {
        UseModule(module);
        InitGPIOLib();
        memset(image_, 0, sizeof image_);
        ASSERT_EQ(InitGPIOLibOnImage(image_), 1);
        hardware_ = Snapshot();
    }
    void Check(const ImageWrite& w) {
        memset(image_, 0, sizeof image_);
        w.operation();
        for (int i = 0; i < BOOT_IMAGE_WORDS; ++i)
            EXPECT_EQ(image_[i], i == w.word ? w.value : 0u) << w.what << ", word " << i;
    }
    void TearDown() override { EXPECT_TRUE(Changed(hardware_).empty()); }

    static uint32_t image_[BOOT_IMAGE_WORDS];
    std::vector<Word> hardware_;
};
uint32_t PxaImage::image_[BOOT_IMAGE_WORDS];

TEST_F(PxaImage, Pxa3xxSetAndClearWritesLandInTheirOwnWords) {
    Start(SIM_MODULE_PXA320);
    const ImageWrite writes[] = {
        {"level 5 high", [] { SetGPIOLevel(5, 1); }, 0x018 / 4, 0x20},
        {"level 5 low", [] { SetGPIOLevel(5, 0); }, 0x024 / 4, 0x20},
        {"level 100 high", [] { SetGPIOLevel(100, 1); }, 0x118 / 4, 0x10},
        {"level 100 low", [] { SetGPIOLevel(100, 0); }, 0x124 / 4, 0x10},
        {"dir 40 out", [] { SetGPIODir(40, 1); }, GSDR / 4 + 1, 0x100},
        {"dir 40 in", [] { SetGPIODir(40, 0); }, GCDR / 4 + 1, 0x100},
        {"dir 100 out", [] { SetGPIODir(100, 1); }, GSDR / 4 + 3, 0x10},
        {"dir 130 in", [] { SetGPIODir(130, 0); }, GCDR / 4, 0x4},
        {"edge status 70", [] { ClearGPIOEdgeStatus(70); }, GEDR / 4 + 2, 0x40},
        {"edge status 127", [] { ClearGPIOEdgeStatus(127); }, (GEDR + 0x100) / 4, 0x80000000},
    };
    for (const ImageWrite& w : writes)
        Check(w);

    // Edge detection writes a rising and a falling register.
    struct Edge {
        uint32_t flags;
        DWORD rising, falling;
    };
    for (const Edge& e : {Edge{0, GCRER, GCFER}, Edge{1, GSRER, GCFER}, Edge{2, GCRER, GSFER},
                          Edge{3, GSRER, GSFER}}) {
        memset(image_, 0, sizeof image_);
        SetGPIOEdgeDetect(100, e.flags);
        for (int i = 0; i < BOOT_IMAGE_WORDS; ++i) {
            bool hit = i == int(e.rising / 4 + 3) || i == int(e.falling / 4 + 3);
            EXPECT_EQ(image_[i], hit ? 0x10u : 0u) << "flags " << e.flags << ", word " << i;
        }
        EXPECT_EQ(GetGPIOEdgeDetect(100), 0); // nothing folded into GRER / GFER
    }
}

TEST_F(PxaImage, LevelSetLeavesThePinLevelWordAlone) {
    Start(SIM_MODULE_PXA270);
    image_[0] = 0x00000001;
    SetGPIOLevel(5, 1);
    EXPECT_EQ(image_[6], 0x20u);
    EXPECT_EQ(image_[0], 0x00000001u);
    EXPECT_EQ(GetGPIOLevel(5), 0);
    EXPECT_EQ(GetGPIOLevel(0), 1);
}

TEST_F(PxaImage, Pxa270ReadModifyWritesTheImageWords) {
    Start(SIM_MODULE_PXA270);
    // GPDR3 is word 67 (0x10C); the word after GPDR2 is GPSR0.
    image_[GPSR / 4] = 0x00000101;
    image_[(GPDR + 0x100) / 4] = 0x00000001;
    SetGPIODir(100, 1);
    EXPECT_EQ(image_[67], 0x00000011u);
    EXPECT_EQ(image_[GPSR / 4], 0x00000101u);
    SetGPIOEdgeDetect(100, 2);
    EXPECT_EQ(image_[(GRER + 0x100) / 4], 0u);
    EXPECT_EQ(image_[(GFER + 0x100) / 4], 0x10u);
    SetGPIOAltFn(20, 2, 1);
    EXPECT_EQ(image_[GAFR / 4 + 1], 2u << 8);
    EXPECT_EQ(image_[GPDR / 4], 1u << 20);
    EXPECT_EQ(GetGPIOAltFn(20), 2);
}

TEST_F(PxaImage, MfprOfGpioNIsWord300PlusN) {
    Start(SIM_MODULE_PXA320);
    image_[300 + 130] = 0x0000C845;
    EXPECT_EQ(GetGPIOAltFn(130), 5);
    image_[300 + 57] = 0x0000C843;
    SetGPIOAltFn(57, 0, 1);
    EXPECT_EQ(image_[300 + 57], 0x0000C840u);
    EXPECT_EQ(image_[GSDR / 4 + 1], 1u << 25); // and the direction through GSDR1
    image_[300 + 145] = 0x0000C840;
    SetGPIOAltFn(145, 7, 0);
    EXPECT_EQ(image_[300 + 145], 0x0000C847u);
}

} // namespace
