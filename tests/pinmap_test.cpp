// Module pin map: GetGPIOFromPin against the module wiring lists.
#include "gpiolib/frame.h"
#include "tests/pin_lists.h"
#include "tests/test_support.h"
#include <gtest/gtest.h>

#include <climits>

namespace {

struct ModuleCase {
    SimModule module;
    const char* name;
    int list; // index into kSodimmLists
};
const ModuleCase kTessaraModules[] = {
    {SIM_MODULE_PXA270, "PXA270", 0},  {SIM_MODULE_PXA320, "PXA320", 1},
    {SIM_MODULE_PXA300, "PXA300", 2},  {SIM_MODULE_PXA310, "PXA310", 3},
    {SIM_MODULE_TEGRA2, "Tegra 2", 4}, {SIM_MODULE_TEGRA3, "Tegra 3", 5},
};
const SimModule kAllModules[] = {SIM_MODULE_PXA270,       SIM_MODULE_PXA320, SIM_MODULE_PXA300,
                                 SIM_MODULE_PXA310,       SIM_MODULE_TEGRA2, SIM_MODULE_TEGRA3,
                                 SIM_MODULE_TEGRA3_BELVAN};

void StartModule(SimModule module) {
    UseModule(module);
    InitGPIOLib();
    ASSERT_TRUE(g_gpioLib.initialised);
}

// Every pin 1..pins of a connector, as GetGPIOFromPin reports it.
std::map<int, uint16_t> ReadConnector(int connector, int pins) {
    std::map<int, uint16_t> entries;
    for (int pin = 1; pin <= pins; ++pin) {
        uint16_t entry = 0x1234;
        EXPECT_EQ(GetGPIOFromPin(pin, connector, &entry), 1) << "pin " << pin;
        entries[pin] = entry;
    }
    return entries;
}

// The list completed with "no GPIO" on every pin it leaves out.
std::map<int, uint16_t> Expected(const char* list, int pins) {
    std::map<int, uint16_t> entries = ParsePinMapList(list);
    for (int pin = 1; pin <= pins; ++pin)
        entries.try_emplace(pin, PIN_NO_GPIO);
    return entries;
}

void ExpectSameEntries(const std::map<int, uint16_t>& actual,
                       const std::map<int, uint16_t>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (const auto& [pin, entry] : expected)
        EXPECT_EQ(actual.at(pin), entry) << "pin " << pin;
}

} // namespace

TEST(PinMap, EverySodimmPinMatchesTheWiringList) {
    for (const ModuleCase& m : kTessaraModules) {
        SCOPED_TRACE(m.name);
        StartModule(m.module);
        ExpectSameEntries(ReadConnector(CONNECTOR_EDGE, 200), Expected(kSodimmLists[m.list], 200));
        uint16_t entry = 0x1234;
        for (uint32_t pin = 201; pin <= 320; ++pin)
            EXPECT_EQ(GetGPIOFromPin(pin, CONNECTOR_EDGE, &entry), 0) << "pin " << pin;
        EXPECT_EQ(entry, 0x1234);
    }
}

TEST(PinMap, EveryMxm3PinMatchesTheWiringList) {
    StartModule(SIM_MODULE_TEGRA3_BELVAN);
    ExpectSameEntries(ReadConnector(CONNECTOR_EDGE, 320), Expected(kMxm3List, 320));
}

TEST(PinMap, EveryX2PinMatchesTheWiringList) {
    for (const ModuleCase& m : kTessaraModules) {
        if (m.list >= 4) continue;
        SCOPED_TRACE(m.name);
        StartModule(m.module);
        ExpectSameEntries(ReadConnector(CONNECTOR_X2, 18), Expected(kExtensionLists[m.list], 18));
        uint16_t entry = 0x1234;
        EXPECT_EQ(GetGPIOFromPin(19, CONNECTOR_X2, &entry), 0);
        EXPECT_EQ(GetGPIOFromPin(19, 7, &entry), 0); // any nonzero selector means X2
        EXPECT_EQ(entry, 0x1234);
    }
}

TEST(PinMap, Pxa300AndPxa310DifferOn22SodimmPins) {
    StartModule(SIM_MODULE_PXA300);
    std::map<int, uint16_t> pxa300 = ReadConnector(CONNECTOR_EDGE, 200);
    StartModule(SIM_MODULE_PXA310);
    std::map<int, uint16_t> pxa310 = ReadConnector(CONNECTOR_EDGE, 200);
    int differing = 0;
    for (int pin = 1; pin <= 200; ++pin)
        differing += pxa300[pin] != pxa310[pin];
    EXPECT_EQ(differing, 22);
    EXPECT_EQ(pxa300[2], 0xFF00 | 23);
    EXPECT_EQ(pxa310[2], PIN_NO_GPIO);
    EXPECT_EQ(pxa300[55], 0xFF00 | 80);
    EXPECT_EQ(pxa310[55], 0xFF00 | 138);
}

TEST(PinMap, EveryMappedGpioExistsOnItsProcessor) {
    for (SimModule module : kAllModules) {
        StartModule(module);
        SCOPED_TRACE(g_gpioLib.processorId);
        std::vector<uint16_t> entries;
        for (const auto& [pin, entry] :
             ReadConnector(CONNECTOR_EDGE, g_gpioLib.mxm3Module ? 320 : 200))
            entries.push_back(entry);
        if (IsPxa(g_gpioLib.processorId))
            for (const auto& [pin, entry] : ReadConnector(CONNECTOR_X2, 18))
                entries.push_back(entry);
        int gpios = 0;
        for (uint16_t entry : entries) {
            for (int gpio : {entry & 0xFF, entry >> 8}) {
                if (gpio == PIN_GPIO_NONE) continue;
                EXPECT_LT(uint32_t(gpio), g_gpioLib.gpioCount);
                ++gpios;
            }
            if ((entry & 0xFF) != PIN_GPIO_NONE) {
                EXPECT_NE(entry & 0xFF, entry >> 8);
            }
        }
        EXPECT_GT(gpios, 18);
    }
}

TEST(PinMap, PinsOffTheConnectorsAreRefused) {
    for (SimModule module : kAllModules) {
        StartModule(module);
        SCOPED_TRACE(g_gpioLib.processorId);
        uint16_t entry = 0x1234;
        for (uint32_t pin : {0u, 321u, 0x10000u + 1, UINT_MAX})
            for (int connector : {CONNECTOR_EDGE, CONNECTOR_X2})
                EXPECT_EQ(GetGPIOFromPin(pin, connector, &entry), 0) << pin;
        EXPECT_EQ(entry, 0x1234);
        EXPECT_EQ(GetGPIOFromPin(43, CONNECTOR_EDGE, nullptr), 0);
        EXPECT_EQ(GetGPIOFromPin(1, CONNECTOR_X2, nullptr), 0);

        if (g_gpioLib.mxm3Module) {
            EXPECT_EQ(GetGPIOFromPin(320, CONNECTOR_EDGE, &entry), 1);
            EXPECT_EQ(entry, PIN_NO_GPIO); // last entry of the even half
            EXPECT_EQ(GetGPIOFromPin(301, CONNECTOR_EDGE, &entry), 1);
            EXPECT_EQ(entry, 0xFF00 | 37);
        } else {
            EXPECT_EQ(GetGPIOFromPin(200, CONNECTOR_EDGE, &entry), 1);
            EXPECT_EQ(entry, PIN_NO_GPIO);
            entry = 0x1234;
            EXPECT_EQ(GetGPIOFromPin(201, CONNECTOR_EDGE, &entry), 0);
            EXPECT_EQ(entry, 0x1234);
        }
    }
}

TEST(PinMap, PinsCarryingTwoGpios) {
    uint16_t entry;
    StartModule(SIM_MODULE_PXA320);
    ASSERT_EQ(GetGPIOFromPin(25, CONNECTOR_EDGE, &entry), 1);
    EXPECT_EQ(entry & 0xFF, 99);
    EXPECT_EQ(entry >> 8, 113);

    StartModule(SIM_MODULE_PXA310);
    ASSERT_EQ(GetGPIOFromPin(170, CONNECTOR_EDGE, &entry), 1);
    EXPECT_EQ(entry & 0xFF, PIN_GPIO_NONE);
    EXPECT_EQ(entry >> 8, 82);
    ASSERT_EQ(GetGPIOFromPin(7, CONNECTOR_X2, &entry), 1);
    EXPECT_EQ(entry, 107 << 8 | PIN_GPIO_NONE);

    StartModule(SIM_MODULE_PXA300);
    ASSERT_EQ(GetGPIOFromPin(170, CONNECTOR_EDGE, &entry), 1);
    EXPECT_EQ(entry, 82 << 8 | 36);

    StartModule(SIM_MODULE_PXA270);
    ASSERT_EQ(GetGPIOFromPin(1, CONNECTOR_X2, &entry), 1);
    EXPECT_EQ(entry, 0xFF00 | 9);
}

TEST(PinMap, TegraModulesHaveNoX2) {
    for (SimModule module : {SIM_MODULE_TEGRA2, SIM_MODULE_TEGRA3, SIM_MODULE_TEGRA3_BELVAN}) {
        StartModule(module);
        DebugCapture debug;
        uint16_t entry = 0x1234;
        EXPECT_EQ(GetGPIOFromPin(1, CONNECTOR_X2, &entry), 0);
        EXPECT_EQ(entry, 0x1234);
        EXPECT_EQ(debug.Text(), L"ERROR: GPIOLib: GetGPIOFromPin, Tegra has no GPIOs on X2\n\r");
        // The pin range is checked first: no message.
        debug.Clear();
        EXPECT_EQ(GetGPIOFromPin(0, CONNECTOR_X2, &entry), 0);
        EXPECT_TRUE(debug.Lines().empty());
    }
}

TEST(PinMap, UnknownProcessorIsReported) {
    UseModule(SIM_MODULE_UNKNOWN_CPU);
    DebugCapture debug;
    uint16_t entry = 0x1234;
    EXPECT_EQ(GetGPIOFromPin(43, CONNECTOR_EDGE, &entry), 0);
    EXPECT_EQ(entry, 0x1234);
    wchar_t expected[200];
    wsprintfW(expected,
              L"ERROR: GPIOLib: This processor is not supported (procID: %x)\n\r"
              L"ERROR: GPIOLib: GetGPIOFromPin, this processor is not supported (procID: %x)\n\r",
              g_gpioLib.processorId, g_gpioLib.processorId);
    EXPECT_EQ(debug.Text(), expected);
}

TEST(PinMap, InitialisesTheLibraryOnFirstUse) {
    UseModule(SIM_MODULE_PXA270);
    uint16_t entry;
    ASSERT_FALSE(g_gpioLib.initialised);
    EXPECT_EQ(GetGPIOFromPin(43, CONNECTOR_EDGE, &entry), 1);
    EXPECT_TRUE(g_gpioLib.initialised);
    EXPECT_EQ(entry, 0xFF00 | 0);

    // Only initialisation tells a Belvan module: its upper pins answer on the first call too.
    UseModule(SIM_MODULE_TEGRA3_BELVAN);
    ASSERT_FALSE(g_gpioLib.initialised);
    EXPECT_EQ(GetGPIOFromPin(301, CONNECTOR_EDGE, &entry), 1);
    EXPECT_EQ(entry, 0xFF00 | 37);
}
