// Module pin names: the texts the build's fill finds on every module, against the module wiring
// lists.
#include "gpiolib/gpiolib.h"
#include "table/modulepin.h"
#include "table/shared.h"
#include "tests/pin_lists.h"
#include "tests/test_support.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <windows.h>

namespace {

void StartModule(SimModule module, int board) {
    UseModule(module);
    InitGPIOLib();
    ProcessorId = IdentifyProcessor();
    EvalbRevID = board;
    FillModulePinNames();
}

std::wstring Format(const wchar_t* format, int n) {
    wchar_t text[32];
    wsprintfW(text, format, n);
    return text;
}

struct Name {
    std::wstring text;
    int firstPin;
};

Name PinName(uint32_t gpio) {
    Name name{L"", 12345};
    name.text = GetModulePinName(gpio, &name.firstPin);
    return name;
}

void ExpectName(uint32_t gpio, const std::wstring& text, int firstPin) {
    Name name = PinName(gpio);
    EXPECT_EQ(name.text, text) << "GPIO " << gpio;
    EXPECT_EQ(name.firstPin, firstPin) << "GPIO " << gpio;
}

bool Carries(uint16_t entry, uint32_t gpio) {
    return (entry & 0xFF) == gpio || (entry >> 8) == gpio;
}

} // namespace

TEST(ModulePinName, SodimmFrontAndBack) {
    StartModule(SIM_MODULE_PXA270, EVALB_VERSION31);
    ExpectName(0, L"SFront. 43", 43);
    ExpectName(11, L"SBack. 28", 28);
    EXPECT_STREQ(GetModulePinName(11, nullptr), L"SBack. 28");
}

TEST(ModulePinName, ExtensionOnlyOrNowhere) {
    StartModule(SIM_MODULE_PXA270, EVALB_VERSION21);
    ExpectName(9, L"Extension. 1", -1);
    ExpectName(2, L"N/A", -1);
}

TEST(ModulePinName, SharedPinIsMarkedOnBothGpios) {
    StartModule(SIM_MODULE_PXA320, EVALB_VERSION31);
    // SODIMM pin 63 and X2 pin 7 carry both.
    ExpectName(42, L"SFront. 63*#", 63);
    ExpectName(105, L"SFront. 63*#", 63);
}

TEST(ModulePinName, Pxa320Gpio0IsFoundAsGpio87) {
    StartModule(SIM_MODULE_PXA320, EVALB_VERSION31);
    ExpectName(87, L"SBack.106", 106);
    ExpectName(0, L"SBack.106", 106);
    // Only the PXA320 has the alias.
    StartModule(SIM_MODULE_PXA300, EVALB_VERSION31);
    ExpectName(0, L"SFront. 95", 95);
}

TEST(ModulePinName, EveryFurtherPinAddsAStar) {
    StartModule(SIM_MODULE_TEGRA2, EVALB_VERSION31);
    ExpectName(64, L"SFront. 89**", 89);
}

TEST(ModulePinName, GpioInTheHighByteAloneIsMarkedMultiplexed) {
    StartModule(SIM_MODULE_PXA310, EVALB_VERSION31);
    ExpectName(107, L"Extension. 7#", -1);
    ExpectName(82, L"SBack.170#", 170);
}

TEST(ModulePinName, BelvanModuleShowsMxm3Pins) {
    StartModule(SIM_MODULE_TEGRA3_BELVAN, EVALB_BELVAN);
    ExpectName(6, L"MXM3.154", 154);
    ExpectName(44, L"MXM3.255", 255);
    std::map<int, uint16_t> mxm3 = ParsePinMapList(kMxm3List);
    int unlisted = 0;
    for (uint32_t gpio = 0; gpio < 245; ++gpio) {
        bool listed = std::any_of(mxm3.begin(), mxm3.end(),
                                  [&](const auto& pin) { return Carries(pin.second, gpio); });
        if (listed) continue;
        ExpectName(gpio, L"N/A", -1);
        ++unlisted;
    }
    EXPECT_GT(unlisted, 0);
}

TEST(ModulePinName, PrefixFollowsTheSelectedBoard) {
    StartModule(SIM_MODULE_PXA270, EVALB_BELVAN);
    ExpectName(0, L"MXM3. 43", 43);
    ExpectName(9, L"Extension. 1", -1);
    EvalbRevID = EVALB_VERSION21;
    FillModulePinNames();
    ExpectName(0, L"SFront. 43", 43);
    // Boards the tool does not know name SODIMM pins as usual.
    EvalbRevID = 7;
    FillModulePinNames();
    ExpectName(0, L"SFront. 43", 43);
    StartModule(SIM_MODULE_TEGRA3_BELVAN, EVALB_VERSION31);
    ExpectName(6, L"SBack.154", 154);
}

TEST(ModulePinName, TegraModulesAreNotSearchedOnX2) {
    for (SimModule module : {SIM_MODULE_TEGRA2, SIM_MODULE_TEGRA3, SIM_MODULE_TEGRA3_BELVAN}) {
        StartModule(module, EVALB_VERSION31);
        DebugCapture debug;
        FillModulePinNames();
        // A search would have drawn GetGPIOFromPin's X2 message.
        EXPECT_TRUE(debug.Lines().empty());
    }
}

TEST(ModulePinName, NumbersThatNameNoGpio) {
    StartModule(SIM_MODULE_PXA270, EVALB_VERSION31);
    // 255 is the empty byte of every pin entry; it must not match the empty pins.
    for (uint32_t gpio : {255u, 256u, 255u + 256u, 1000u, 0xFFFFFFFFu})
        ExpectName(gpio, L"N/A", -1);
}

// Every GPIO of every module: the first pin is the lowest listed pin, one "*" per further pin
// on the edge connector or X2, "#" when the first listed entry holds a second GPIO.
TEST(ModulePinName, EveryGpioMatchesTheWiringLists) {
    const struct {
        SimModule module;
        int list;
    } modules[] = {{SIM_MODULE_PXA270, 0},        {SIM_MODULE_PXA320, 1}, {SIM_MODULE_PXA300, 2},
                   {SIM_MODULE_PXA310, 3},        {SIM_MODULE_TEGRA2, 4}, {SIM_MODULE_TEGRA3, 5},
                   {SIM_MODULE_TEGRA3_BELVAN, -1}};
    size_t longest = 0;
    for (const auto& m : modules) {
        bool belvan = m.list < 0;
        StartModule(m.module, belvan ? EVALB_BELVAN : EVALB_VERSION31);
        SCOPED_TRACE(ProcessorId);
        std::map<int, uint16_t> edge = ParsePinMapList(belvan ? kMxm3List : kSodimmLists[m.list]);
        std::map<int, uint16_t> x2;
        if (m.list >= 0 && m.list < 4) x2 = ParsePinMapList(kExtensionLists[m.list]);

        uint32_t rows = uint32_t(FactsOf(ProcessorId).listRows);
        for (uint32_t gpio = 0; gpio < rows; ++gpio) {
            uint32_t searched = ProcessorId == PROCESSOR_PXA320 && gpio == 0 ? 87 : gpio;
            std::vector<std::pair<int, uint16_t>> edgePins, x2Pins;
            for (const auto& pin : edge)
                if (Carries(pin.second, searched)) edgePins.push_back(pin);
            for (const auto& pin : x2)
                if (Carries(pin.second, searched)) x2Pins.push_back(pin);

            std::wstring text = L"N/A";
            int firstPin = -1;
            uint16_t firstEntry = PIN_NO_GPIO;
            if (!edgePins.empty()) {
                firstPin = edgePins[0].first;
                firstEntry = edgePins[0].second;
                text = Format(belvan         ? L"MXM3.%3d"
                              : firstPin % 2 ? L"SFront.%3d"
                                             : L"SBack.%3d",
                              firstPin);
            } else if (!x2Pins.empty()) {
                firstEntry = x2Pins[0].second;
                text = Format(L"Extension.%2d", x2Pins[0].first);
            }
            size_t pins = edgePins.size() + x2Pins.size();
            if (pins > 1) text.append(pins - 1, L'*');
            if (pins && (firstEntry >> 8) != PIN_GPIO_NONE) text += L'#';

            ExpectName(gpio, text, firstPin);
            longest = std::max(longest, text.size());
        }
    }
    EXPECT_EQ(longest, 13u); // "Extension. 7#"
}
