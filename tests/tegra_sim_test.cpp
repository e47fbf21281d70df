// The simulated Tegra GPIO controller and pad control, through mapped register windows.
#include "gpiolib/frame.h"
#include "platform/regio.h"
#include "tests/test_support.h"
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

constexpr DWORD kGpioBase = 0x6000D000;
constexpr DWORD GPIO_CNF = 0x00, GPIO_OE = 0x10, GPIO_OUT = 0x20, GPIO_IN = 0x30,
                GPIO_INT_STA = 0x40, GPIO_INT_LVL = 0x60, GPIO_INT_CLR = 0x70;

struct Processor {
    SimModule module;
    DWORD bankBytes, banks, masked;
    uint32_t gpioCount;
    DWORD padBase;
    const char* name;
};
const Processor kTegra2 = {SIM_MODULE_TEGRA2, 0x80, 7, 0x800, 222, 0x70000000, "Tegra2"};
const Processor kTegra3 = {SIM_MODULE_TEGRA3, 0x100, 8, 0x80, 244, 0x70003000, "Tegra3"};
void PrintTo(const Processor& p, std::ostream* os) {
    *os << p.name;
}

class TegraDevice : public testing::TestWithParam<Processor> {
  protected:
    void SetUp() override {
        UseModule(P().module);
        gpio = MapRegisterWindow(kGpioBase);
        pad = MapRegisterWindow(P().padBase);
        ASSERT_NE(gpio, nullptr);
        ASSERT_NE(pad, nullptr);
    }
    const Processor& P() const { return GetParam(); }
    DWORD Offset(DWORD bank, DWORD port, DWORD reg) const {
        return bank * P().bankBytes + 4 * port + reg;
    }
    uint32_t Read(DWORD offset) const { return RegRead(gpio + offset / 4); }
    void Write(DWORD offset, uint32_t value) const { RegWrite(gpio + offset / 4, value); }
    uint32_t Get(DWORD bank, DWORD port, DWORD reg) const { return Read(Offset(bank, port, reg)); }
    void Set(DWORD bank, DWORD port, DWORD reg, uint32_t value) const {
        Write(Offset(bank, port, reg), value);
    }
    void Masked(DWORD bank, DWORD port, DWORD reg, uint32_t value) const {
        Write(Offset(bank, port, reg) + P().masked, value);
    }
    // Makes the outside world drive the eight pins of a port.
    void Drive(DWORD bank, DWORD port, uint32_t levels) const {
        for (uint32_t b = 0; b < 8; ++b)
            ASSERT_TRUE(SimDriveInput(bank * 32 + port * 8 + b, (levels >> b) & 1));
    }

    volatile uint32_t* gpio = nullptr;
    volatile uint32_t* pad = nullptr;
};

std::string Name(const testing::TestParamInfo<Processor>& info) {
    return info.param.name;
}

TEST_P(TegraDevice, MaskedWriteChangesOnlyMaskedBitsOfItsPort) {
    const DWORD bank = 2, port = 1;
    for (DWORD reg : {GPIO_CNF, GPIO_OE, GPIO_OUT}) {
        // Known contents around the target: every port of the bank, the next bank, the other
        // registers.
        for (DWORD b : {bank, bank + 1})
            for (DWORD p = 0; p < 4; ++p)
                for (DWORD r : {GPIO_CNF, GPIO_OE, GPIO_OUT})
                    Set(b, p, r, 0x5A ^ (b << 4) ^ (p << 2) ^ r);
        Masked(bank, port, reg, 0x0F00 | 0xA0 | 0x03); // bits 3..0 to 0011; 0xA0 unmasked
        for (DWORD b : {bank, bank + 1})
            for (DWORD p = 0; p < 4; ++p)
                for (DWORD r : {GPIO_CNF, GPIO_OE, GPIO_OUT}) {
                    uint32_t before = 0x5A ^ (b << 4) ^ (p << 2) ^ r;
                    uint32_t expected = before;
                    if (b == bank && p == port && r == reg) expected = (before & 0xF0) | 0x03;
                    EXPECT_EQ(Get(b, p, r), expected)
                        << "reg " << reg << " bank " << b << " port " << p << " r " << r;
                }
    }
}

TEST_P(TegraDevice, MaskedTwinsReadZero) {
    Set(3, 2, GPIO_OUT, 0xFF);
    Masked(3, 2, GPIO_OUT, 0x8000);
    EXPECT_EQ(Get(3, 2, GPIO_OUT), 0x7Fu);
    EXPECT_EQ(Read(Offset(3, 2, GPIO_OUT) + P().masked), 0u);
}

TEST_P(TegraDevice, PinsShowLatchForOutputsAndOutsideSignalForInputs) {
    const DWORD bank = 1, port = 2;
    // Bits 3..0 GPIO outputs, 6..4 GPIO inputs, 7 special function with OE set.
    Set(bank, port, GPIO_CNF, 0x7F);
    Set(bank, port, GPIO_OE, 0x8F);
    Set(bank, port, GPIO_OUT, 0x85);
    Drive(bank, port, 0x6A);
    const uint32_t driven = 0x0F;
    uint32_t expected = (0x85 & driven) | (0x6A & ~driven & 0xFF);
    EXPECT_EQ(Get(bank, port, GPIO_IN), expected);
    for (uint32_t b = 0; b < 8; ++b)
        EXPECT_EQ(SimPinLevel(bank * 32 + port * 8 + b), int(expected >> b) & 1) << b;

    // The outside world cannot move an output; the latch does not move an input.
    Drive(bank, port, ~0x6Au & 0xFF);
    Set(bank, port, GPIO_OUT, 0x7A);
    expected = (0x7A & driven) | (~0x6Au & ~driven & 0xFF);
    EXPECT_EQ(Get(bank, port, GPIO_IN), expected);
}

TEST_P(TegraDevice, InputRegisterIgnoresWrites) {
    Set(0, 3, GPIO_CNF, 0xFF);
    Set(0, 3, GPIO_OE, 0xF0);
    Set(0, 3, GPIO_OUT, 0x30);
    Drive(0, 3, 0x0C);
    const uint32_t before = Get(0, 3, GPIO_IN);
    EXPECT_EQ(before, 0x3Cu);
    for (uint32_t value : {0x00u, 0xFFu, 0xFFFFu}) {
        Set(0, 3, GPIO_IN, value);
        Write(Offset(0, 3, GPIO_IN) + P().masked, value); // IN has no twin either
        EXPECT_EQ(Get(0, 3, GPIO_IN), before);
    }
    EXPECT_EQ(Get(0, 3, GPIO_CNF), 0xFFu);
    EXPECT_EQ(Get(0, 3, GPIO_OE), 0xF0u);
    EXPECT_EQ(Get(0, 3, GPIO_OUT), 0x30u);
}

TEST_P(TegraDevice, BanksLieAtTheProcessorsDistance) {
    // Every bank's port 1 as outputs with a pattern of its own.
    for (DWORD bank = 0; bank < P().banks; ++bank) {
        Set(bank, 1, GPIO_CNF, 0xFF);
        Set(bank, 1, GPIO_OE, 0xFF);
        Set(bank, 1, GPIO_OUT, 0x11 * (bank + 1));
    }
    for (DWORD bank = 0; bank < P().banks; ++bank)
        for (uint32_t b = 0; b < 8; ++b)
            EXPECT_EQ(SimPinLevel(bank * 32 + 8 + b), int((0x11 * (bank + 1)) >> b) & 1)
                << "bank " << bank << " bit " << b;
    // The twin of the last bank reaches that bank.
    const DWORD last = P().banks - 1;
    Masked(last, 1, GPIO_OUT, 0xFF00);
    EXPECT_EQ(Get(last, 1, GPIO_OUT), 0u);
    EXPECT_EQ(SimPinLevel(last * 32 + 8), 0);
}

TEST_P(TegraDevice, OutsideWorldReachesExactlyTheProcessorsGpios) {
    const uint32_t last = P().gpioCount - 1;
    EXPECT_TRUE(SimDriveInput(last, 1));
    EXPECT_EQ(SimPinLevel(last), 1);
    EXPECT_TRUE(SimDriveInput(last, 0));
    EXPECT_EQ(SimPinLevel(last), 0);
    EXPECT_FALSE(SimDriveInput(P().gpioCount, 1));
    EXPECT_EQ(SimPinLevel(P().gpioCount), -1);
    // Pins of the last port that the processor lacks read 0 even as outputs.
    const DWORD bank = last >> 5, port = (last >> 3) & 3, bit = last & 7;
    Set(bank, port, GPIO_CNF, 0xFF);
    Set(bank, port, GPIO_OE, 0xFF);
    Set(bank, port, GPIO_OUT, 0xFF);
    EXPECT_EQ(Get(bank, port, GPIO_IN), (2u << bit) - 1);
}

TEST_P(TegraDevice, InterruptRegistersKeepTheirValues) {
    Set(4, 0, GPIO_INT_LVL, 0xFFFFFFFF);
    EXPECT_EQ(Get(4, 0, GPIO_INT_LVL), 0x00FFFFFFu); // level, edge and both-edges bits
    Set(4, 0, GPIO_INT_STA, 0xFF);
    Set(4, 0, GPIO_INT_CLR, 0x0F);
    EXPECT_EQ(Get(4, 0, GPIO_INT_STA), 0xF0u);
    EXPECT_EQ(Get(4, 0, GPIO_INT_CLR), 0u);
}

TEST_P(TegraDevice, PadControlIsPlainStorage) {
    for (DWORD offset : {0x14u, 0x80u, 0xA0u, 0x31Cu}) {
        RegWrite(pad + offset / 4, 0xDEADBEEF);
        EXPECT_EQ(RegRead(pad + offset / 4), 0xDEADBEEFu);
        uint32_t value = 0;
        ASSERT_TRUE(SimPhysicalRead(P().padBase + offset, &value));
        EXPECT_EQ(value, 0xDEADBEEFu);
    }
}

TEST_P(TegraDevice, PowerOnLooksLikeABootedModule) {
    int special = 0, inputs[2] = {}, outputs[2] = {};
    for (uint32_t n = 0; n < P().gpioCount; ++n) {
        DWORD bank = n >> 5, port = (n >> 3) & 3, bit = n & 7;
        bool gpioMode = (Get(bank, port, GPIO_CNF) >> bit) & 1;
        bool output = (Get(bank, port, GPIO_OE) >> bit) & 1;
        int level = SimPinLevel(n);
        ASSERT_EQ(level, int(Get(bank, port, GPIO_IN) >> bit) & 1);
        if (!gpioMode)
            ++special;
        else if (output)
            ++outputs[level];
        else
            ++inputs[level];
    }
    EXPECT_GT(special, 0);
    EXPECT_GE(inputs[0], 2);
    EXPECT_GE(inputs[1], 2);
    EXPECT_GE(outputs[0], 1);
    EXPECT_GE(outputs[1], 2);
    int padWordsSet = 0;
    for (DWORD word = 0; word < 0x100; ++word)
        padWordsSet += RegRead(pad + word) != 0;
    EXPECT_GT(padWordsSet, 4);
}

TEST_P(TegraDevice, ConcurrentMaskedWritesLoseNoUpdate) {
    const DWORD bank = 5, port = 2;
    Set(bank, port, GPIO_OUT, 0);
    const int kWriters = 4, kRounds = 100000;
    std::atomic<int> lost{0};
    std::thread writers[kWriters];
    for (int t = 0; t < kWriters; ++t)
        writers[t] = std::thread([&, t] {
            const uint32_t bit = 2 * t; // different bits of one port
            for (int i = 0; i < kRounds; ++i) {
                uint32_t v = i & 1;
                Masked(bank, port, GPIO_OUT, (1u << (bit + 8)) | (v << bit));
                // Only this thread changes its bit, so it must hold what was just written.
                if (((Get(bank, port, GPIO_OUT) >> bit) & 1) != v) ++lost;
            }
            Masked(bank, port, GPIO_OUT, (1u << (bit + 8)) | (1u << bit));
        });
    for (std::thread& w : writers)
        w.join();
    EXPECT_EQ(lost.load(), 0);
    EXPECT_EQ(Get(bank, port, GPIO_OUT), 0x55u);
}

INSTANTIATE_TEST_SUITE_P(Tegra, TegraDevice, testing::Values(kTegra2, kTegra3), Name);

TEST(TegraDeviceModules, BelvanModuleBootsLikeTessaraTegra3) {
    uint32_t tessara[2][0x400], belvan[2][0x400];
    for (SimModule module : {SIM_MODULE_TEGRA3, SIM_MODULE_TEGRA3_BELVAN}) {
        UseModule(module);
        auto& words = module == SIM_MODULE_TEGRA3 ? tessara : belvan;
        for (DWORD w = 0; w < 0x400; ++w) {
            ASSERT_TRUE(SimPhysicalRead(kGpioBase + 4 * w, &words[0][w]));
            ASSERT_TRUE(SimPhysicalRead(0x70003000 + 4 * w, &words[1][w]));
        }
    }
    for (int r = 0; r < 2; ++r)
        for (DWORD w = 0; w < 0x400; ++w)
            EXPECT_EQ(tessara[r][w], belvan[r][w]) << r << " word " << w;
}

} // namespace
