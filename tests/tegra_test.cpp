// The Tegra register model against the simulated hardware.
#include "gpiolib/frame.h"
#include "tests/test_support.h"
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr DWORD kGpioBase = 0x6000D000;
constexpr DWORD kTegra2Pads = 0x70000000, kTegra3Pads = 0x70003000;

uint32_t Phys(DWORD physical) {
    uint32_t value = 0xBAD0BAD0;
    EXPECT_TRUE(SimPhysicalRead(physical, &value)) << std::hex << physical;
    return value;
}

void Poke(DWORD physical, uint32_t value) {
    ASSERT_TRUE(SimPhysicalWrite(physical, value)) << std::hex << physical;
}

struct Write {
    DWORD physical;
    uint32_t value;
    bool operator==(const Write& o) const { return physical == o.physical && value == o.value; }
};

std::ostream& operator<<(std::ostream& os, const Write& w) {
    return os << std::hex << "{0x" << w.physical << ", 0x" << w.value << "}";
}

// Records the device writes of one operation.
struct WriteLog {
    WriteLog() { SimRecordWrites(true); }
    ~WriteLog() { SimRecordWrites(false); }
    std::vector<Write> Take() {
        SimWrite log[64];
        int count = SimRecordedWrites(log, 64);
        std::vector<Write> writes;
        for (int i = 0; i < count && i < 64; ++i)
            writes.push_back({log[i].physical, log[i].value});
        SimRecordWrites(true);
        return writes;
    }
};

struct Processor {
    SimModule module;
    DWORD bankBytes, masked;
    uint32_t gpioCount;
    const char* name;
};
const Processor kTegra2 = {SIM_MODULE_TEGRA2, 0x80, 0x800, 222, "Tegra2"};
const Processor kTegra3 = {SIM_MODULE_TEGRA3, 0x100, 0x80, 244, "Tegra3"};
void PrintTo(const Processor& p, std::ostream* os) {
    *os << p.name;
}

class TegraModel : public testing::TestWithParam<Processor> {
  protected:
    void SetUp() override {
        UseModule(GetParam().module);
        InitGPIOLib();
    }
    DWORD Reg(uint32_t gpio, DWORD reg) const {
        return kGpioBase + (gpio >> 5) * GetParam().bankBytes + 4 * ((gpio >> 3) & 3) + reg;
    }
    DWORD Twin(uint32_t gpio, DWORD reg) const { return Reg(gpio, reg) + GetParam().masked; }
    bool Tegra2() const { return GetParam().module == SIM_MODULE_TEGRA2; }
    // The pad word holding the tristate bit of a GPIO used below.
    DWORD TristateWord(uint32_t gpio) const {
        if (!Tegra2()) return PadWord(gpio);
        EXPECT_EQ(gpio, 50u); // ATC: bit 2 at 0x14
        return kTegra2Pads + 0x14;
    }
    DWORD PadWord(uint32_t gpio) const {
        EXPECT_FALSE(Tegra2());
        const uint8_t words[] = {0xC7, 0x5F}; // GPIO 0, 1
        return kTegra3Pads + 4 * (gpio == 50 ? 0x7E : words[gpio]);
    }
    WriteLog log;
};

std::string Name(const testing::TestParamInfo<Processor>& info) {
    return info.param.name;
}

constexpr DWORD GPIO_CNF = 0x00, GPIO_OE = 0x10, GPIO_OUT = 0x20, GPIO_IN = 0x30;

TEST(TegraAddresses, Gpio100OutputEnableOfBothProcessors) {
    // Bank 3, port 0, bit 4.
    for (auto [module, oe, twin] : {std::tuple{SIM_MODULE_TEGRA2, 0x190u, 0x990u},
                                    std::tuple{SIM_MODULE_TEGRA3, 0x310u, 0x390u}}) {
        UseModule(module);
        Poke(kGpioBase + oe, 0xA5); // the others keep theirs
        WriteLog log;
        SetGPIODir(100, 1);
        EXPECT_EQ(log.Take(), (std::vector<Write>{{kGpioBase + twin, 0x1010}}));
        EXPECT_EQ(Phys(kGpioBase + oe), 0xB5u);
        EXPECT_EQ(GetGPIODir(100), 1);
        SetGPIODir(100, 2); // bit 0 decides
        EXPECT_EQ(log.Take(), (std::vector<Write>{{kGpioBase + twin, 0x1000}}));
        EXPECT_EQ(GetGPIODir(100), 0);
    }
}

TEST_P(TegraModel, LevelWritesTheLatchAndReadsThePin) {
    const uint32_t last = GetParam().gpioCount - 1;
    for (uint32_t n : {0u, 37u, 100u, 150u, last}) {
        SetGPIOAltFn(n, -1, 1);
        log.Take();
        SetGPIOLevel(n, 3);
        EXPECT_EQ(log.Take(), (std::vector<Write>{
                                  {Twin(n, GPIO_OUT), (1u << ((n & 7) + 8)) | (1u << (n & 7))}}));
        EXPECT_EQ(GetGPIOLevel(n), 1) << n;
        SimDriveInput(n, 0); // an output keeps its level
        EXPECT_EQ(GetGPIOLevel(n), 1) << n;
        SetGPIOLevel(n, 0);
        EXPECT_EQ(GetGPIOLevel(n), 0) << n;
        // As an input the pin shows the outside signal, not the latch.
        SetGPIOLevel(n, 1);
        SetGPIODir(n, 0);
        EXPECT_EQ(GetGPIOLevel(n), 0) << n;
        SimDriveInput(n, 1);
        SetGPIOLevel(n, 0);
        EXPECT_EQ(GetGPIOLevel(n), 1) << n;
        EXPECT_EQ((Phys(Reg(n, GPIO_IN)) >> (n & 7)) & 1, 1u);
    }
}

TEST(Tegra2EdgeDetect, InterruptTypeEncodingBothWays) {
    UseModule(SIM_MODULE_TEGRA2);
    // GPIO 45: bank 1, port 1, bit 5: INT_LVL at 0x80 + 4 + 0x60.
    const DWORD intLvl = kGpioBase + 0xE4;
    const uint32_t others = 0x00DFDFDF & ~((1u << 5) | (1u << 13) | (1u << 21));
    const struct {
        uint32_t flags;
        uint32_t bits; // level, edge, both (bits 5, 13, 21) from a cleared start
        int readBack;
    } cases[] = {
        {1, 1u << 5 | 1u << 13, 1},
        {2, 1u << 13, 2},
        {3, 1u << 13 | 1u << 21, 3},
        {0, 1u << 13, 2},
        {5, 1u << 5, 5},
        {6, 0, 6},
        {4, 0, 6},
        {7, 1u << 21, 7},
    };
    for (const auto& c : cases) {
        Poke(intLvl, others);
        SetGPIOEdgeDetect(45, c.flags);
        EXPECT_EQ(Phys(intLvl), others | c.bits) << "flags " << c.flags;
        EXPECT_EQ(GetGPIOEdgeDetect(45), c.readBack) << "flags " << c.flags;
    }
    // Both edges keep the level bit as it was.
    Poke(intLvl, 1u << 5);
    SetGPIOEdgeDetect(45, 3);
    EXPECT_EQ(Phys(intLvl), 1u << 5 | 1u << 13 | 1u << 21);
    EXPECT_EQ(GetGPIOEdgeDetect(45), 3);
    SetGPIOEdgeDetect(45, 0);
    EXPECT_EQ(GetGPIOEdgeDetect(45), 2);
}

TEST(Tegra3EdgeDetect, NotSupportedWithItsMessages) {
    UseModule(SIM_MODULE_TEGRA3);
    InitGPIOLib();
    DebugCapture debug;
    WriteLog log;
    EXPECT_EQ(GetGPIOEdgeDetect(5), -1);
    EXPECT_EQ(GetGPIOEdgeDetect(5), -1);
    SetGPIOEdgeDetect(5, 3);
    EXPECT_TRUE(log.Take().empty());
    const std::wstring get =
        L"ERROR: GPIOLib: GetGPIOEdgeDetect This processor is not supported (procID: 412fc09)\n\r";
    const std::wstring set =
        L"ERROR: GPIOLib: This processor is not supported (procID: 412fc09)\n\r";
    EXPECT_EQ(debug.Lines(), (std::vector<std::wstring>{get, get, set}));
}

TEST_P(TegraModel, PlainGpioFunctionMakesADrivenGpio) {
    const uint32_t n = 50;
    Poke(Reg(n, GPIO_CNF), 0);
    Poke(Reg(n, GPIO_OE), 0);
    Poke(TristateWord(n), Tegra2() ? 0xFFFFFFFF : 0x1E);
    SetGPIOAltFn(n, -1, 1);
    EXPECT_EQ((Phys(Reg(n, GPIO_CNF)) >> 2) & 1, 1u);
    EXPECT_EQ((Phys(Reg(n, GPIO_OE)) >> 2) & 1, 1u);
    if (Tegra2())
        EXPECT_EQ(Phys(TristateWord(n)), 0xFFFFFFFBu);
    else
        EXPECT_EQ(Phys(TristateWord(n)), 0x2Eu); // tristate off, input enabled, rest kept
    EXPECT_EQ(GetGPIOAltFn(n), -1);
    EXPECT_EQ(GetGPIODir(n), 1);
    EXPECT_EQ(GetGPIODefaultFn(n), 255);
}

TEST_P(TegraModel, SpecialFunctionLeavesTheDirection) {
    const uint32_t n = 50;
    SetGPIOAltFn(n, -1, 1);
    SetGPIOAltFn(n, 2, 0);
    EXPECT_EQ((Phys(Reg(n, GPIO_CNF)) >> 2) & 1, 0u);
    EXPECT_EQ(GetGPIODir(n), 1);
    EXPECT_EQ(GetGPIOAltFn(n), 2);
    EXPECT_EQ(GetTegraPinMux(n), 2);
    // A function above 3 leaves the pinmux yet still hands the pin over and drives the pad.
    SetGPIOAltFn(n, -1, 0);
    SetGPIOTristate(n, 1);
    SetGPIOAltFn(n, 7, 0);
    EXPECT_EQ(GetGPIOAltFn(n), 2);
    EXPECT_EQ(GetGPIOTristate(n), 0);
}

TEST(Tegra3AltFn, Gpio0PadRegisterAfterSpecialFunction1) {
    UseModule(SIM_MODULE_TEGRA3);
    const DWORD pad = kTegra3Pads + 0x31C; // word 0xC7
    Poke(pad, 0x1E);                       // pinmux 2, pull 3, tristated, input off
    Poke(kGpioBase, 0xFF);
    InitGPIOLib();
    WriteLog log;
    SetGPIOAltFn(0, 1, 1);
    EXPECT_EQ(log.Take(), (std::vector<Write>{
                              {pad, 0x1D},               // pinmux 1
                              {kGpioBase + 0x80, 0x100}, // CNF bit 0 to 0 through the twin
                              {pad, 0x0D},               // tristate off
                              {pad, 0x2D},               // input enabled
                          }));
    EXPECT_EQ(Phys(kGpioBase), 0xFEu);
    EXPECT_EQ(GetGPIOAltFn(0), 1);
}

// The Tegra 2 counterpart: the pinmux lives in the group's word, CNF and OE have their twins
// 0x800 above, and the pads have no input-enable bit, so nothing follows the tristate write.
TEST(Tegra2AltFn, Gpio50WriteSequences) {
    UseModule(SIM_MODULE_TEGRA2);
    const DWORD mux = kTegra2Pads + 0x80;      // ATC: bits 23..22
    const DWORD tristate = kTegra2Pads + 0x14; // ATC: bit 2
    const DWORD cnfTwin = kGpioBase + 0x888;   // bank 1, port 2, bit 2
    const DWORD oeTwin = kGpioBase + 0x898;
    Poke(mux, 0x5A5A5A5A); // ATC function 1
    Poke(tristate, 0xFFFFFFFF);
    InitGPIOLib();
    WriteLog log;

    SetGPIOAltFn(50, 2, 1);
    EXPECT_EQ(log.Take(), (std::vector<Write>{
                              {mux, 0x5A9A5A5A},      // function 2, the rest kept
                              {cnfTwin, 0x400},       // CNF bit 2 to 0
                              {tristate, 0xFFFFFFFB}, // tristate off
                          }));
    // The pad is driven already: no tristate write.
    SetGPIOAltFn(50, 3, 0);
    EXPECT_EQ(log.Take(), (std::vector<Write>{{mux, 0x5ADA5A5A}, {cnfTwin, 0x400}}));
    // A function above 3 leaves the pinmux but still hands the pin over.
    Poke(tristate, 0xFFFFFFFF);
    log.Take();
    SetGPIOAltFn(50, 4, 1);
    EXPECT_EQ(log.Take(), (std::vector<Write>{{cnfTwin, 0x400}, {tristate, 0xFFFFFFFB}}));

    // Plain GPIO: CNF bit to 1, the direction, the tristate bit; the pinmux stays.
    Poke(tristate, 0xFFFFFFFF);
    log.Take();
    SetGPIOAltFn(50, -1, 1);
    EXPECT_EQ(log.Take(), (std::vector<Write>{
                              {cnfTwin, 0x404},
                              {oeTwin, 0x404},
                              {tristate, 0xFFFFFFFB},
                          }));
    SetGPIOAltFn(50, -1, 0);
    EXPECT_EQ(log.Take(), (std::vector<Write>{{cnfTwin, 0x404}, {oeTwin, 0x400}}));
    EXPECT_EQ(Phys(mux), 0x5ADA5A5Au);
    EXPECT_EQ(GetGPIOAltFn(50), -1);
    EXPECT_EQ(GetGPIODir(50), 0);
}

TEST(Tegra2Pads, AtcFieldsServeAllSeventeenGpios) {
    UseModule(SIM_MODULE_TEGRA2);
    const uint32_t atc[] = {48, 49, 50, 51, 52, 53, 54, 55, 64, 65, 69, 71, 80, 81, 82, 83, 84};
    Poke(kTegra2Pads + 0x80, 0xFF3FFFFF);
    Poke(kTegra2Pads + 0xA0, 0xFFFFFFCF);
    Poke(kTegra2Pads + 0x14, 0xFFFFFFFB);
    InitGPIOLib();
    EXPECT_EQ(SetTegraPinMux(50, 2), 1);
    EXPECT_EQ(SetGPIOPullState(50, 1), 1);
    EXPECT_EQ(SetGPIOTristate(50, 1), 1);
    EXPECT_EQ(Phys(kTegra2Pads + 0x80), 0xFFBFFFFFu); // bits 23..22
    EXPECT_EQ(Phys(kTegra2Pads + 0xA0), 0xFFFFFFDFu); // bits 5..4
    EXPECT_EQ(Phys(kTegra2Pads + 0x14), 0xFFFFFFFFu); // bit 2
    for (uint32_t n : atc) {
        EXPECT_EQ(GetTegraPinMux(n), 2) << n;
        EXPECT_EQ(GetGPIOPullState(n), 1) << n;
        EXPECT_EQ(GetGPIOTristate(n), 1) << n;
    }
    SetGPIOPullState(83, 6); // the low two bits
    EXPECT_EQ(GetGPIOPullState(48), 2);
    char group[8];
    ASSERT_EQ(GetGPIOPinGroup(84, group), 1);
    EXPECT_STREQ(group, "ATC");
}

TEST(Tegra2Pads, HdintHasNoPullField) {
    UseModule(SIM_MODULE_TEGRA2);
    InitGPIOLib();
    Poke(kTegra2Pads + 0x1C, 0);
    WriteLog log;
    EXPECT_EQ(GetGPIOPullState(111), 0);
    EXPECT_EQ(SetGPIOPullState(111, 2), 1);
    EXPECT_TRUE(log.Take().empty());
    EXPECT_EQ(GetGPIOPullState(111), 0);
    EXPECT_EQ(SetGPIOTristate(111, 1), 1);
    EXPECT_EQ(Phys(kTegra2Pads + 0x1C), 1u << 23);
}

TEST_P(TegraModel, TristateWritesOnlyAChange) {
    const uint32_t n = 50;
    const DWORD word = TristateWord(n);
    Poke(word, 0);
    log.Take();
    EXPECT_EQ(SetGPIOTristate(n, 2), 1); // bit 0 decides: already clear
    EXPECT_TRUE(log.Take().empty());
    EXPECT_EQ(SetGPIOTristate(n, 1), 1);
    EXPECT_EQ(log.Take().size(), 1u);
    EXPECT_EQ(Phys(word), Tegra2() ? 1u << 2 : 1u << 4);
    EXPECT_EQ(GetGPIOTristate(n), 1);
}

TEST_P(TegraModel, PinMuxChecksItsArguments) {
    EXPECT_EQ(SetTegraPinMux(5, 4), 0);
    EXPECT_EQ(SetTegraPinMux(GetParam().gpioCount, 1), 0);
    EXPECT_TRUE(log.Take().empty());
    EXPECT_EQ(SetTegraPinMux(5, 3), 1);
    EXPECT_EQ(GetTegraPinMux(5), 3);
}

TEST(TegraInitialisation, TristateAndPinGroupNeverInitialise) {
    UseModule(SIM_MODULE_TEGRA2);
    char group[8] = "x";
    EXPECT_EQ(GetGPIOTristate(50), 0);
    EXPECT_EQ(SetGPIOTristate(50, 1), 0);
    EXPECT_EQ(GetGPIOPinGroup(12, group), 0);
    EXPECT_EQ(SetTegraPinMux(50, 1), 0); // arguments first: the count is still 0
    EXPECT_EQ(GetTegraPinMux(50), 0);
    EXPECT_FALSE(g_gpioLib.initialised);
    EXPECT_STREQ(group, "x");
    // The pull state initialises.
    Poke(kTegra2Pads + 0xA0, 2u << 4);
    EXPECT_EQ(GetGPIOPullState(50), 2);
    EXPECT_TRUE(g_gpioLib.initialised);
    EXPECT_EQ(GetGPIOPinGroup(12, group), 1);
    EXPECT_STREQ(group, "SDC");
}

TEST(TegraInitialisation, PinMuxInitialisesAfterItsArguments) {
    UseModule(SIM_MODULE_TEGRA3);
    InitGPIOLib();
    DeInitGPIOLib();
    // The count survives DeInitGPIOLib; the windows do not.
    EXPECT_EQ(GetGPIOTristate(0), 0);
    EXPECT_FALSE(g_gpioLib.initialised);
    EXPECT_EQ(SetTegraPinMux(0, 1), 1);
    EXPECT_TRUE(g_gpioLib.initialised);
    EXPECT_EQ(Phys(kTegra3Pads + 0x31C) & 3, 1u);
}

TEST(TegraPinGroup, NamesOfTheTegra2Groups) {
    UseModule(SIM_MODULE_TEGRA2);
    InitGPIOLib();
    char text[8];
    memset(text, 'x', sizeof text);
    ASSERT_EQ(GetGPIOPinGroup(0, text), 1);
    EXPECT_STREQ(text, "DTE");
    memset(text, 'x', sizeof text);
    ASSERT_EQ(GetGPIOPinGroup(196, text), 1);
    EXPECT_STREQ(text, "SDIO1");
    EXPECT_EQ(text[6], 'x'); // at most 6 bytes
    EXPECT_EQ(GetGPIOPinGroup(221, nullptr), 0);
    EXPECT_EQ(GetGPIOPinGroup(222, text), 0);
}

TEST(TegraPinGroup, Tegra3GpiosBeyondTheGroupTableFail) {
    UseModule(SIM_MODULE_TEGRA3);
    InitGPIOLib();
    char text[8] = "x";
    for (uint32_t n = 222; n < 244; ++n)
        EXPECT_EQ(GetGPIOPinGroup(n, text), 0) << n;
    EXPECT_STREQ(text, "x");
}

TEST_P(TegraModel, FirstGpioBeyondTheCountTouchesNothing) {
    const uint32_t n = GetParam().gpioCount;
    DebugCapture debug;
    char text[8] = "x";
    log.Take();
    EXPECT_EQ(GetGPIODir(n), 0);
    SetGPIODir(n, 1);
    EXPECT_EQ(GetGPIOLevel(n), 0);
    SetGPIOLevel(n, 1);
    EXPECT_EQ(GetGPIOEdgeDetect(n), 0);
    SetGPIOEdgeDetect(n, 1);
    EXPECT_EQ(GetGPIOEdgeStatus(n), 0);
    ClearGPIOEdgeStatus(n);
    EXPECT_EQ(GetGPIOAltFn(n), 0);
    SetGPIOAltFn(n, -1, 1);
    SetGPIOAltFn(n, 1, 1);
    EXPECT_EQ(GetGPIODefaultFn(n), -1);
    EXPECT_EQ(GetGPIOTristate(n), 0);
    EXPECT_EQ(SetGPIOTristate(n, 1), 0);
    EXPECT_EQ(GetGPIOPullState(n), -1);
    EXPECT_EQ(SetGPIOPullState(n, 1), 0);
    EXPECT_EQ(GetGPIOPinGroup(n, text), 0);
    EXPECT_EQ(SetTegraPinMux(n, 1), 0);
    EXPECT_EQ(GetTegraPinMux(n), 0);
    EXPECT_TRUE(log.Take().empty());
    EXPECT_TRUE(debug.Lines().empty());
    // The last GPIO works.
    SetGPIODir(n - 1, 1);
    EXPECT_EQ(log.Take().size(), 1u);
    EXPECT_EQ(GetGPIODir(n - 1), 1);
}

INSTANTIATE_TEST_SUITE_P(Tegra, TegraModel, testing::Values(kTegra2, kTegra3), Name);

} // namespace
