// The Tegra pad-control tables against facts gathered independently of them.
#include "gpiolib/tegra.h"
#include "tests/test_support.h"
#include <gtest/gtest.h>

#include <windows.h>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Rows of a tab-separated file of tests/data, header skipped; empty when it cannot be read.
std::vector<std::vector<std::string>> ReadTsv(const wchar_t* name) {
    std::wstring path = SourceFolder() + L"\\tests\\data\\" + name;
    std::vector<std::vector<std::string>> rows;
    FILE* file = _wfopen(path.c_str(), L"r");
    EXPECT_NE(file, nullptr) << "cannot read tests/data";
    if (!file) return rows;
    char buffer[256];
    bool header = true;
    while (fgets(buffer, sizeof buffer, file)) {
        std::string line = buffer;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        if (header || line.empty()) {
            header = false;
            continue;
        }
        std::vector<std::string> fields;
        std::stringstream s(line);
        std::string field;
        while (std::getline(s, field, '\t'))
            fields.push_back(field);
        rows.push_back(fields);
    }
    fclose(file);
    return rows;
}

std::string Upper(std::string s) {
    for (char& c : s)
        c = char(toupper(static_cast<unsigned char>(c)));
    return s;
}

const Tegra2PinGroup& GroupOf(int gpio) {
    return Tegra2PinGroupTable[Tegra2GpioGroup[gpio]];
}

bool CarriesGpio(int group) {
    for (int n = 0; n < TEGRA2_GPIO_COUNT; ++n)
        if (Tegra2GpioGroup[n] == group) return true;
    return false;
}

TEST(Tegra2Tables, EveryGpioSitsInTheGroupOfItsPad) {
    auto rows = ReadTsv(L"tegra20_pins.tsv");
    ASSERT_EQ(rows.size(), size_t(TEGRA2_GPIO_COUNT));
    for (const auto& row : rows) {
        int gpio = std::stoi(row[0]);
        ASSERT_LT(gpio, TEGRA2_GPIO_COUNT);
        ASSERT_LT(Tegra2GpioGroup[gpio], TEGRA2_PIN_GROUP_COUNT) << gpio;
        // BB0 is CLK_32K_OUT on our modules, in group ATD; the pin list knows the pad as
        // LED_BLINK of group PMC.
        std::string expected = gpio == 216 ? "ATD" : Upper(row[2]);
        EXPECT_EQ(GroupOf(gpio).name, expected) << "GPIO " << gpio << " " << row[1];
    }
}

TEST(Tegra2Tables, GroupsWithoutGpiosAreExactlyThoseTheManualLeavesEmpty) {
    std::set<std::string> empty;
    for (int g = 0; g < TEGRA2_PIN_GROUP_COUNT; ++g)
        if (!CarriesGpio(g)) empty.insert(Tegra2PinGroupTable[g].name);
    std::set<std::string> expected = {"--",   "OWC",   "DDC",   "CRTP",  "DAC1", "DAC2",
                                      "DAC3", "DAP1M", "DAP2M", "DAP3M", "DAP4M"};
    EXPECT_EQ(empty, expected);
    EXPECT_STREQ(Tegra2PinGroupTable[0].name, "--");
}

TEST(Tegra2Tables, NamesAreThePinMuxGroupsOfTheProcessor) {
    std::set<std::string> muxGroups;
    for (const auto& row : ReadTsv(L"tegra20.tsv"))
        muxGroups.insert(Upper(row[0]));
    ASSERT_EQ(muxGroups.size(), 107u);
    std::set<std::string> names, extra;
    for (const Tegra2PinGroup& g : Tegra2PinGroupTable) {
        size_t length = strnlen(g.name, sizeof g.name);
        ASSERT_LT(length, sizeof g.name) << "unterminated";
        EXPECT_GE(length, 2u) << g.name;
        EXPECT_TRUE(names.insert(g.name).second) << "twice: " << g.name;
        if (!muxGroups.count(g.name)) extra.insert(g.name);
    }
    for (const std::string& m : muxGroups)
        EXPECT_TRUE(names.count(m)) << "missing: " << m;
    // The DAC and DAP mux selectors and the empty row are not pad groups.
    std::set<std::string> expectedExtra = {"--",    "DAC1",  "DAC2",  "DAC3",
                                           "DAP1M", "DAP2M", "DAP3M", "DAP4M"};
    EXPECT_EQ(extra, expectedExtra);
}

// Fields lie in their register sets: pin-mux 0x80..0x9C, pull 0xA0..0xB0, tristate
// 0x14..0x20. A missing field has both members at the marker.
TEST(Tegra2Tables, FieldsLieInsideTheirRegisterSets) {
    struct Set {
        TegraFieldRef Tegra2PinGroup::*field;
        int registers, width;
    };
    const Set sets[] = {{&Tegra2PinGroup::mux, 8, 2},
                        {&Tegra2PinGroup::pull, 5, 2},
                        {&Tegra2PinGroup::tristate, 4, 1}};
    for (const Tegra2PinGroup& g : Tegra2PinGroupTable)
        for (const Set& s : sets) {
            TegraFieldRef f = g.*s.field;
            if (f.reg == TEGRA_FIELD_NONE) {
                EXPECT_EQ(f.shift, TEGRA_FIELD_NONE) << g.name;
                continue;
            }
            EXPECT_LT(f.reg, s.registers) << g.name;
            EXPECT_LE(f.shift + s.width, 32) << g.name;
        }
}

TEST(Tegra2Tables, GroupsOwnTheirPinMuxAndTristateBits) {
    std::map<std::pair<int, int>, std::string> mux, tristate;
    for (int g = 0; g < TEGRA2_PIN_GROUP_COUNT; ++g) {
        const Tegra2PinGroup& group = Tegra2PinGroupTable[g];
        if (group.tristate.reg != TEGRA_FIELD_NONE) {
            auto bit = std::make_pair(int(group.tristate.reg), int(group.tristate.shift));
            EXPECT_TRUE(tristate.emplace(bit, group.name).second)
                << group.name << " and " << tristate[bit];
        }
        if (!CarriesGpio(g)) continue; // the DAP mux selectors overlap; they carry no GPIO
        for (int b = 0; b < 2; ++b) {
            auto bit = std::make_pair(int(group.mux.reg), group.mux.shift + b);
            EXPECT_TRUE(mux.emplace(bit, group.name).second) << group.name << " and " << mux[bit];
        }
    }
}

TEST(Tegra2Tables, OnlyHdintLacksAFieldAmongGroupsWithGpios) {
    for (int g = 0; g < TEGRA2_PIN_GROUP_COUNT; ++g) {
        if (!CarriesGpio(g)) continue;
        const Tegra2PinGroup& group = Tegra2PinGroupTable[g];
        bool hdint = std::string(group.name) == "HDINT";
        EXPECT_NE(group.mux.reg, TEGRA_FIELD_NONE) << group.name;
        EXPECT_NE(group.tristate.reg, TEGRA_FIELD_NONE) << group.name;
        EXPECT_EQ(group.pull.reg == TEGRA_FIELD_NONE, hdint) << group.name;
    }
}

// The pad registers run from word 0x00 to 0xF8; the five at 0xC9..0xCD belong to pads without
// a GPIO (power request, power interrupt, 32 kHz input, one-wire).
TEST(Tegra3Tables, PadIndicesCoverEveryGpioPadOnce) {
    std::set<int> words;
    for (int n = 0; n < TEGRA3_GPIO_COUNT; ++n)
        EXPECT_TRUE(words.insert(Tegra3PadIndex[n]).second)
            << "GPIO " << n << " repeats word " << int(Tegra3PadIndex[n]);
    std::set<int> expected;
    for (int w = 0; w <= 0xF8; ++w)
        if (w < 0xC9 || w > 0xCD) expected.insert(w);
    EXPECT_EQ(words, expected);
    EXPECT_EQ(Tegra3PadIndex[0], 0xC7);
    EXPECT_EQ(Tegra3PadIndex[243], 0xF8);
}

} // namespace
