// The simulated PXA GPIO controller and MFPRs, seen through register windows bound the way the
// tool binds them, without GPIOLib's register model.
#include "platform/ce.h"
#include "platform/kernel_ioctl.h"
#include "platform/regio.h"
#include "sim/sim.h"

#include <gtest/gtest.h>
#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr DWORD kGpioBase = 0x40E00000;
constexpr DWORD kMfprBase = 0x40E10000;

// Bank 0 offsets of the banked registers; bank 3 lies at + 0x100.
constexpr DWORD GPLR = 0x000, GPDR = 0x00C, GPSR = 0x018, GPCR = 0x024, GRER = 0x030, GFER = 0x03C,
                GEDR = 0x048;
// PXA3xx set / clear registers, bank b at + 4b.
constexpr DWORD GSDR = 0x400, GCDR = 0x420, GSRER = 0x440, GCRER = 0x460, GSFER = 0x480,
                GCFER = 0x4A0;

DWORD Banked(DWORD reg, int bank) {
    return bank == 3 ? reg + 0x100 : reg + 4 * bank;
}

// Reserves 8 KiB and has the kernel service bind the physical page there, as the tool does.
volatile uint32_t* BindWindow(DWORD physical) {
    static bool initialised;
    if (!initialised) {
        KernelInitRequest init = {KERNEL_SERVICE_INIT};
        BYTE reply[KERNEL_INIT_REPLY_SIZE];
        DWORD count = 0;
        KernelIoControl(IOCTL_KERNEL_SERVICE, &init, sizeof init, reply, sizeof reply, &count);
        initialised = true;
    }
    void* reserved = VirtualAlloc(nullptr, 0x2000, MEM_RESERVE, PAGE_NOACCESS);
    if (!reserved) return nullptr;
    KernelMapRequest map = {KERNEL_SERVICE_MAP, reinterpret_cast<UINT_PTR>(reserved),
                            (physical >> 8) & 0x00FFFFF0, 0x2000,
                            PAGE_READWRITE | PAGE_NOCACHE | PAGE_PHYSICAL};
    DWORD outcome = 0;
    KernelIoControl(IOCTL_KERNEL_SERVICE, &map, sizeof map, &outcome, sizeof outcome, nullptr);
    if (!outcome) {
        VirtualFree(reserved, 0, MEM_RELEASE);
        return nullptr;
    }
    return reinterpret_cast<volatile uint32_t*>(static_cast<BYTE*>(reserved) + (physical & 0xFFC));
}

bool IsPxa270(SimModule module) {
    return module == SIM_MODULE_PXA270;
}

class PxaDevice : public testing::TestWithParam<SimModule> {
  protected:
    void SetUp() override {
        SimSelectModule(GetParam());
        SimResetModule();
        gpio_ = BindWindow(kGpioBase);
        ASSERT_NE(gpio_, nullptr);
        count_ = SimModuleDescription(GetParam())->gpioCount;
    }
    uint32_t R(DWORD offset) { return RegRead(gpio_ + offset / 4); }
    void W(DWORD offset, uint32_t value) { RegWrite(gpio_ + offset / 4, value); }
    // GPIO g (0..127) as an output or input, with a known latch and outside signal.
    void MakeOutput(uint32_t g, int latch) {
        W(Banked(latch ? GPSR : GPCR, g >> 5), 1u << (g & 31));
        W(Banked(GPDR, g >> 5), R(Banked(GPDR, g >> 5)) | 1u << (g & 31));
    }
    void MakeInput(uint32_t g, int outside) {
        ASSERT_TRUE(SimDriveInput(g, outside));
        W(Banked(GPDR, g >> 5), R(Banked(GPDR, g >> 5)) & ~(1u << (g & 31)));
    }
    bool Pxa270() const { return IsPxa270(GetParam()); }

    volatile uint32_t* gpio_ = nullptr;
    uint32_t count_ = 0;
};

// One GPIO per bank that every PXA has (the PXA270 stops at 120).
const uint32_t kSamplePins[] = {5, 40, 77, 101};

TEST_P(PxaDevice, OutputSetAndClearChangeOnlyTheirBitOfTheLevel) {
    for (uint32_t g : kSamplePins) {
        int bank = int(g >> 5);
        uint32_t bit = 1u << (g & 31);
        W(Banked(GPDR, bank), 0xFFFFFFFF);
        W(Banked(GPCR, bank), bit);
        uint32_t low = R(Banked(GPLR, bank));
        EXPECT_EQ(low & bit, 0u) << g;
        W(Banked(GPSR, bank), bit);
        EXPECT_EQ(R(Banked(GPLR, bank)), low | bit) << g;
        W(Banked(GPSR, bank), 0);
        EXPECT_EQ(R(Banked(GPLR, bank)), low | bit) << g;
        W(Banked(GPCR, bank), bit);
        EXPECT_EQ(R(Banked(GPLR, bank)), low) << g;
        EXPECT_EQ(SimPinLevel(g), 0) << g;
    }
}

TEST_P(PxaDevice, LaterOfSetAndClearDecides) {
    const uint32_t g = 40, bit = 1u << 8;
    MakeOutput(g, 0);
    W(Banked(GPSR, 1), bit);
    W(Banked(GPCR, 1), bit);
    EXPECT_EQ(R(Banked(GPLR, 1)) & bit, 0u);
    W(Banked(GPCR, 1), bit);
    W(Banked(GPSR, 1), bit);
    EXPECT_EQ(R(Banked(GPLR, 1)) & bit, bit);
}

TEST_P(PxaDevice, OutputsReadTheirLatchInputsTheOutsideSignal) {
    for (uint32_t g : kSamplePins) {
        int bank = int(g >> 5);
        uint32_t bit = 1u << (g & 31);
        MakeOutput(g, 1);
        ASSERT_TRUE(SimDriveInput(g, 0));
        EXPECT_EQ(R(Banked(GPLR, bank)) & bit, bit) << g;
        EXPECT_EQ(SimPinLevel(g), 1) << g;
        // Switched to input, the pin shows the outside signal from then on.
        W(Banked(GPDR, bank), R(Banked(GPDR, bank)) & ~bit);
        EXPECT_EQ(R(Banked(GPLR, bank)) & bit, 0u) << g;
        ASSERT_TRUE(SimDriveInput(g, 1));
        EXPECT_EQ(R(Banked(GPLR, bank)) & bit, bit) << g;
        // An input keeps the latch it is given and drives it once it is an output again.
        W(Banked(GPCR, bank), bit);
        EXPECT_EQ(SimPinLevel(g), 1) << g;
        W(Banked(GPDR, bank), R(Banked(GPDR, bank)) | bit);
        EXPECT_EQ(SimPinLevel(g), 0) << g;
        EXPECT_EQ(R(Banked(GPLR, bank)) & bit, 0u) << g;
    }
}

TEST_P(PxaDevice, InputTransitionsLatchEdgeStatusOnlyWhenEnabled) {
    for (uint32_t g : kSamplePins) {
        int bank = int(g >> 5);
        uint32_t bit = 1u << (g & 31);
        MakeInput(g, 0);
        W(Banked(GRER, bank), R(Banked(GRER, bank)) & ~bit);
        W(Banked(GFER, bank), R(Banked(GFER, bank)) & ~bit);
        W(Banked(GEDR, bank), bit);
        ASSERT_EQ(R(Banked(GEDR, bank)) & bit, 0u);

        SimDriveInput(g, 1);
        SimDriveInput(g, 0);
        EXPECT_EQ(R(Banked(GEDR, bank)) & bit, 0u) << g << ": no enable";

        W(Banked(GRER, bank), R(Banked(GRER, bank)) | bit);
        SimDriveInput(g, 0);
        EXPECT_EQ(R(Banked(GEDR, bank)) & bit, 0u) << g << ": no transition";
        SimDriveInput(g, 1);
        EXPECT_EQ(R(Banked(GEDR, bank)) & bit, bit) << g << ": rising";
        W(Banked(GEDR, bank), bit);
        SimDriveInput(g, 0);
        EXPECT_EQ(R(Banked(GEDR, bank)) & bit, 0u) << g << ": falling, rising enabled";

        W(Banked(GRER, bank), R(Banked(GRER, bank)) & ~bit);
        W(Banked(GFER, bank), R(Banked(GFER, bank)) | bit);
        SimDriveInput(g, 1);
        EXPECT_EQ(R(Banked(GEDR, bank)) & bit, 0u) << g << ": rising, falling enabled";
        SimDriveInput(g, 0);
        EXPECT_EQ(R(Banked(GEDR, bank)) & bit, bit) << g << ": falling";

        // An output pin does not look at the outside signal.
        W(Banked(GEDR, bank), bit);
        W(Banked(GRER, bank), R(Banked(GRER, bank)) | bit);
        MakeOutput(g, 0);
        SimDriveInput(g, 1);
        SimDriveInput(g, 0);
        EXPECT_EQ(R(Banked(GEDR, bank)) & bit, 0u) << g << ": output";
    }
}

TEST_P(PxaDevice, WritingOneToEdgeStatusClearsOnlyThatBit) {
    const uint32_t a = 40, b = 41;
    for (uint32_t g : {a, b}) {
        MakeInput(g, 0);
        W(Banked(GRER, 1), R(Banked(GRER, 1)) | 1u << (g & 31));
        SimDriveInput(g, 1);
    }
    uint32_t both = 1u << (a & 31) | 1u << (b & 31);
    uint32_t status = R(Banked(GEDR, 1));
    ASSERT_EQ(status & both, both);
    W(Banked(GEDR, 1), 0);
    EXPECT_EQ(R(Banked(GEDR, 1)), status);
    W(Banked(GEDR, 1), 1u << (a & 31));
    EXPECT_EQ(R(Banked(GEDR, 1)), status & ~(1u << (a & 31)));
}

TEST_P(PxaDevice, WriteOnlyRegistersReadZeroAndPinLevelIgnoresWrites) {
    for (int bank = 0; bank < 4; ++bank) {
        uint32_t level = R(Banked(GPLR, bank));
        W(Banked(GPLR, bank), ~level);
        EXPECT_EQ(R(Banked(GPLR, bank)), level) << bank;
        W(Banked(GPSR, bank), 0x00F0F0F0);
        EXPECT_EQ(R(Banked(GPSR, bank)), 0u) << bank;
        W(Banked(GPCR, bank), 0x000F0F0F);
        EXPECT_EQ(R(Banked(GPCR, bank)), 0u) << bank;
    }
    for (DWORD offset = GSDR; offset < GCFER + 0x10; offset += 4) {
        W(offset, 0x00010000);
        EXPECT_EQ(R(offset), 0u) << std::hex << offset;
    }
}

class Pxa3xxDevice : public PxaDevice {};
class Pxa270Device : public PxaDevice {};

TEST_P(Pxa3xxDevice, SetAndClearRegistersChangeOnlyTheirBit) {
    struct Pair {
        DWORD set, clear, target;
    };
    const Pair pairs[] = {{GSDR, GCDR, GPDR}, {GSRER, GCRER, GRER}, {GSFER, GCFER, GFER}};
    for (const Pair& p : pairs) {
        for (int bank = 0; bank < 4; ++bank) {
            for (uint32_t bit : {1u << 0, 1u << 17, 1u << 31}) {
                uint32_t before[4];
                for (int b = 0; b < 4; ++b)
                    before[b] = R(Banked(p.target, b));
                // Bank 3 of these registers follows bank 2 directly: no jump to + 0x100.
                W(p.clear + 4 * bank, bit);
                W(p.set + 4 * bank, bit);
                for (int b = 0; b < 4; ++b)
                    EXPECT_EQ(R(Banked(p.target, b)), b == bank ? before[b] | bit : before[b])
                        << std::hex << p.set << " bank " << bank;
                W(p.clear + 4 * bank, bit);
                for (int b = 0; b < 4; ++b)
                    EXPECT_EQ(R(Banked(p.target, b)), b == bank ? before[b] & ~bit : before[b])
                        << std::hex << p.clear << " bank " << bank;
            }
        }
    }
}

TEST_P(Pxa270Device, WritesAtTheSetAndClearOffsetsDoNothing) {
    std::vector<uint32_t> before;
    for (DWORD offset = 0; offset < 0x200; offset += 4)
        before.push_back(R(offset));
    for (DWORD offset = GSDR; offset < GCFER + 0x10; offset += 4)
        W(offset, 0xFFFFFFFF);
    for (DWORD offset = 0; offset < 0x200; offset += 4)
        EXPECT_EQ(R(offset), before[offset / 4]) << std::hex << offset;
}

TEST_P(PxaDevice, AlternateFunctionWordsExistOnThePxa270Only) {
    for (DWORD offset = 0x054; offset <= 0x070; offset += 4) {
        W(offset, 0xA5A5A5A5);
        uint32_t expected = 0;
        // GAFR3_U ends with GPIO 120.
        if (Pxa270()) expected = offset == 0x070 ? 0x0001A5A5 : 0xA5A5A5A5;
        EXPECT_EQ(R(offset), expected) << std::hex << offset;
    }
}

TEST_P(PxaDevice, BitsOfMissingGpiosReadZero) {
    W(Banked(GPDR, 3), 0xFFFFFFFF);
    W(Banked(GRER, 3), 0xFFFFFFFF);
    uint32_t present = Pxa270() ? 0x01FFFFFF : 0xFFFFFFFF; // PXA270: GPIO 96..120
    EXPECT_EQ(R(Banked(GPDR, 3)), present);
    EXPECT_EQ(R(Banked(GRER, 3)), present);
}

TEST_P(PxaDevice, StoredRegistersAreDistinctWords) {
    std::vector<DWORD> offsets;
    for (DWORD reg : {GPDR, GRER, GFER})
        for (int bank = 0; bank < 4; ++bank)
            offsets.push_back(Banked(reg, bank));
    if (Pxa270())
        for (DWORD offset = 0x054; offset <= 0x070; offset += 4)
            offsets.push_back(offset);
    for (size_t i = 0; i < offsets.size(); ++i)
        W(offsets[i], 0x00010001u * uint32_t(i + 1));
    for (size_t i = 0; i < offsets.size(); ++i) {
        uint32_t present = offsets[i] == 0x070 ? 0x0003FFFF : 0xFFFFFFFF; // GAFR3_U
        EXPECT_EQ(R(offsets[i]), 0x00010001u * uint32_t(i + 1) & present) << std::hex << offsets[i];
    }
}

TEST_P(PxaDevice, OutsideWorldKnowsTheModulesGpiosAndFoldsSecondPads) {
    EXPECT_FALSE(SimDriveInput(count_, 1));
    EXPECT_EQ(SimPinLevel(count_), -1);
    EXPECT_EQ(SimPinLevel(0xFFFFFFFF), -1);
    EXPECT_GE(SimPinLevel(count_ - 1), 0);
    if (count_ <= 128) return;
    // Numbers 128 and up share the controller bit of their first pad.
    const uint32_t pad = 130, g = 2;
    MakeInput(g, 0);
    ASSERT_TRUE(SimDriveInput(pad, 1));
    EXPECT_EQ(R(GPLR) & 1u << g, 1u << g);
    EXPECT_EQ(SimPinLevel(g), 1);
    EXPECT_EQ(SimPinLevel(pad), 1);
}

TEST_P(PxaDevice, PowerOnLooksLikeABootedModule) {
    int outputsHigh = 0, outputsLow = 0, inputsHigh = 0, inputsLow = 0;
    for (uint32_t g = 0; g < count_ && g < 128; ++g) {
        int bank = int(g >> 5);
        uint32_t bit = 1u << (g & 31);
        bool out = R(Banked(GPDR, bank)) & bit;
        bool high = R(Banked(GPLR, bank)) & bit;
        EXPECT_EQ(SimPinLevel(g), high ? 1 : 0) << g;
        (out ? (high ? outputsHigh : outputsLow) : (high ? inputsHigh : inputsLow))++;
    }
    EXPECT_GE(outputsHigh, 2);
    EXPECT_GE(outputsLow, 2);
    EXPECT_GE(inputsHigh, 2);
    EXPECT_GE(inputsLow, 2);
    uint32_t enables = 0, status = 0;
    for (int bank = 0; bank < 4; ++bank) {
        enables |= R(Banked(GRER, bank)) | R(Banked(GFER, bank));
        status |= R(Banked(GEDR, bank));
    }
    EXPECT_NE(enables, 0u);
    EXPECT_NE(status, 0u);
    if (Pxa270()) {
        int peripheral = 0;
        for (uint32_t g = 0; g < count_; ++g)
            peripheral += ((R(0x054 + 4 * (g >> 4)) >> 2 * (g & 15)) & 3) != 0;
        EXPECT_GE(peripheral, 20);
        // nCS_1 on GPIO 15: function 2, an output driven high.
        EXPECT_EQ((R(0x054) >> 30) & 3, 2u); // GAFR0_L, GPIO 0..15
        EXPECT_EQ(R(GPDR) & 1u << 15, 1u << 15);
        EXPECT_EQ(SimPinLevel(15), 1);
    }
}

TEST_P(PxaDevice, ConcurrentWritersLoseNoUpdate) {
    // Eight threads, each owning bits of the same words, check their own bits after each
    // write; a write that undid another thread's change would show as a wrong bit.
    const int kThreads = 8, kRounds = 3000;
    std::atomic<int> wrong{0};
    for (uint32_t g = 32; g < 32 + kThreads; ++g)
        MakeOutput(g, 0);
    for (uint32_t g = 64; g < 64 + kThreads; ++g)
        MakeInput(g, 0);
    W(Banked(GRER, 2), 0xFF);
    W(Banked(GFER, 2), 0xFF);
    W(Banked(GEDR, 2), 0xFF);
    bool pxa3xx = !Pxa270();
    std::atomic<int> ready{0};
    auto worker = [&](int t) {
        uint32_t bit = 1u << t;
        ++ready;
        while (ready < kThreads)
            std::this_thread::yield();
        for (int i = 0; i < kRounds; ++i) {
            W(Banked(GPSR, 1), bit);
            if (!(R(Banked(GPLR, 1)) & bit)) ++wrong;
            W(Banked(GPCR, 1), bit);
            if (R(Banked(GPLR, 1)) & bit) ++wrong;
            // A drive that latches an edge against writes that clear other edges.
            SimDriveInput(64 + t, i & 1 ? 0 : 1);
            if (!(R(Banked(GEDR, 2)) & bit)) ++wrong;
            W(Banked(GEDR, 2), bit);
            if (R(Banked(GEDR, 2)) & bit) ++wrong;
            if (pxa3xx) {
                W(GSRER + 4 * 3, bit);
                if (!(R(Banked(GRER, 3)) & bit)) ++wrong;
                W(GCRER + 4 * 3, bit);
                if (R(Banked(GRER, 3)) & bit) ++wrong;
            }
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back(worker, t);
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}

// A reset (gpiosim reset) takes every register straight to its power-on value: a reader
// meanwhile never sees the zeros the power-on state is made from.
TEST_P(PxaDevice, ResetAppearsAtOnceToReaders) {
    std::vector<std::pair<DWORD, uint32_t>> words; // every register word that powers on non-zero
    for (int r = 0; r < SimRegionCount(); ++r)
        for (DWORD offset = 0; offset < SimRegionAt(r)->size; offset += 4) {
            uint32_t value = 0;
            DWORD physical = SimRegionAt(r)->physical + offset;
            if (SimPhysicalRead(physical, &value) && value) words.push_back({physical, value});
        }
    ASSERT_GT(words.size(), 8u);
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::thread reader([&] {
        while (!stop)
            for (auto [physical, value] : words) {
                uint32_t now = 0;
                if (SimPhysicalRead(physical, &now) && now != value) ++wrong;
            }
    });
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(SimResetModule());
    stop = true;
    reader.join();
    EXPECT_EQ(wrong.load(), 0);
}

std::string ModuleName(const testing::TestParamInfo<SimModule>& info) {
    return SimModuleDescription(info.param)->name;
}

INSTANTIATE_TEST_SUITE_P(Pxa, PxaDevice,
                         testing::Values(SIM_MODULE_PXA270, SIM_MODULE_PXA320, SIM_MODULE_PXA300,
                                         SIM_MODULE_PXA310),
                         ModuleName);
INSTANTIATE_TEST_SUITE_P(Pxa, Pxa3xxDevice,
                         testing::Values(SIM_MODULE_PXA320, SIM_MODULE_PXA300, SIM_MODULE_PXA310),
                         ModuleName);
INSTANTIATE_TEST_SUITE_P(Pxa, Pxa270Device, testing::Values(SIM_MODULE_PXA270), ModuleName);

// Multi-function pin registers.
class PxaMfpr : public testing::TestWithParam<SimModule> {
  protected:
    void SetUp() override {
        SimSelectModule(GetParam());
        SimResetModule();
        mfpr_ = BindWindow(kMfprBase);
        ASSERT_NE(mfpr_, nullptr);
    }
    uint32_t R(DWORD offset) { return RegRead(mfpr_ + offset / 4); }
    void W(DWORD offset, uint32_t value) { RegWrite(mfpr_ + offset / 4, value); }

    volatile uint32_t* mfpr_ = nullptr;
};

TEST_P(PxaMfpr, OneStoringRegisterPerPad) {
    uint32_t pads = 0;
    for (DWORD offset = 0; offset < 0x2000; offset += 4) {
        uint32_t pattern = 0x5A000000 | offset << 4 | 5;
        W(offset, pattern);
        uint32_t back = R(offset);
        if (back == pattern)
            ++pads;
        else
            EXPECT_EQ(back, 0u) << std::hex << offset;
    }
    EXPECT_EQ(pads, SimModuleDescription(GetParam())->gpioCount);
}

TEST_P(PxaMfpr, PadsSitWhereTheManualPutsThem) {
    struct Expect {
        DWORD offset;
        bool pad;
    };
    std::vector<Expect> expects;
    switch (GetParam()) {
    case SIM_MODULE_PXA320:
        // GPIO 0, 10, 130 (GPIO2_2), 145; nothing between GPIO 98 and 99.
        expects = {{0x124, true},  {0x458, true},  {0x67C, true}, {0x4EC, true},
                   {0x554, false}, {0x0B4, false}, {0x68C, false}};
        break;
    case SIM_MODULE_PXA300:
        expects = {{0x0B4, true}, {0x40C, true},  {0x51C, true},
                   {0x2EC, true}, {0x52C, false}, {0x520, false}};
        break;
    case SIM_MODULE_PXA310:
        // GPIO 30 moves from 0x40C to 0x418, GPIO 98 to 0x528; GPIO 29 and 99 stay.
        expects = {{0x408, true}, {0x40C, false}, {0x418, true}, {0x528, true},
                   {0x600, true}, {0x52C, true},  {0x538, true}, {0x53C, false}};
        break;
    default: break;
    }
    for (const Expect& e : expects) {
        W(e.offset, 0x0000C843);
        EXPECT_EQ(R(e.offset), e.pad ? 0x0000C843u : 0u) << std::hex << e.offset;
    }
}

TEST_P(PxaMfpr, PowerOnPutsPadsOnPeripheralFunctions) {
    int peripheral = 0, withSettings = 0, pads = 0;
    for (DWORD offset = 0; offset < 0x2000; offset += 4) {
        uint32_t value = R(offset);
        if (!value) continue;
        ++pads;
        peripheral += (value & 7) != 0;
        withSettings += (value & ~7u) != 0;
    }
    EXPECT_EQ(uint32_t(pads), SimModuleDescription(GetParam())->gpioCount);
    EXPECT_EQ(pads, withSettings);
    EXPECT_GE(peripheral, 20);
}

INSTANTIATE_TEST_SUITE_P(Pxa3xx, PxaMfpr,
                         testing::Values(SIM_MODULE_PXA320, SIM_MODULE_PXA300, SIM_MODULE_PXA310),
                         ModuleName);

TEST(PxaMfpr, Pxa270HasNone) {
    SimSelectModule(SIM_MODULE_PXA270);
    SimResetModule();
    uint32_t value = 0;
    EXPECT_FALSE(SimPhysicalRead(kMfprBase + 0x124, &value));
    EXPECT_EQ(BindWindow(kMfprBase), nullptr);
}

// A direct dereference of a window must fault instead of reaching the device.
DWORD g_probeThread;
std::atomic<UINT_PTR> g_faultAddress;

[[noreturn]] void LeaveProbe() {
    ExitThread(1);
}

LONG CALLBACK CatchProbeFault(EXCEPTION_POINTERS* info) {
    if (GetCurrentThreadId() != g_probeThread ||
        info->ExceptionRecord->ExceptionCode != EXCEPTION_ACCESS_VIOLATION)
        return EXCEPTION_CONTINUE_SEARCH;
    g_faultAddress = info->ExceptionRecord->ExceptionInformation[1];
    // Resume in LeaveProbe, on a stack aligned as after a call.
    info->ContextRecord->Rip = reinterpret_cast<DWORD64>(&LeaveProbe);
    info->ContextRecord->Rsp = (info->ContextRecord->Rsp & ~DWORD64(15)) - 8;
    return EXCEPTION_CONTINUE_EXECUTION;
}

DWORD WINAPI Probe(void* address) {
    g_probeThread = GetCurrentThreadId();
    volatile uint32_t value = *static_cast<volatile uint32_t*>(address);
    (void)value;
    return 0;
}

TEST(PxaWindow, DirectDereferenceFaults) {
    SimSelectModule(SIM_MODULE_PXA320);
    SimResetModule();
    volatile uint32_t* window = BindWindow(kGpioBase);
    ASSERT_NE(window, nullptr);
    MEMORY_BASIC_INFORMATION info;
    ASSERT_NE(VirtualQuery(const_cast<uint32_t*>(window), &info, sizeof info), 0u);
    EXPECT_EQ(info.State, DWORD(MEM_RESERVE));
    EXPECT_EQ(info.AllocationProtect, DWORD(PAGE_NOACCESS));

    void* handler = AddVectoredExceptionHandler(1, CatchProbeFault);
    ASSERT_NE(handler, nullptr);
    void* address = const_cast<uint32_t*>(window + GPDR / 4);
    HANDLE thread = CreateThread(nullptr, 0, Probe, address, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, nullptr);
    ResumeThread(thread);
    WaitForSingleObject(thread, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeThread(thread, &exitCode);
    CloseHandle(thread);
    RemoveVectoredExceptionHandler(handler);
    EXPECT_EQ(exitCode, 1u) << "the read did not fault";
    EXPECT_EQ(g_faultAddress.load(), reinterpret_cast<UINT_PTR>(address));

    // Through the register access functions the same address reaches the device.
    uint32_t direction = 0;
    ASSERT_TRUE(SimPhysicalRead(kGpioBase + GPDR, &direction));
    EXPECT_EQ(RegRead(window + GPDR / 4), direction);
}

} // namespace
