// The Tegra pad-control tables against facts gathered independently of them.
#include "gpiolib/gpiolib.h"
#include "gpiolib/tegra.h"
#include "tests/tegra_lists.h"
#include "tests/test_support.h"
#include <gtest/gtest.h>

#include <windows.h>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

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
    auto rows = ReadFacts("tegra20_pins.tsv");
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
    for (const auto& row : ReadFacts("tegra20.tsv"))
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

// ---------------------------------------------------------------------------------------------
// Entry by entry against the manual's lists: the tables themselves, and what the pad
// operations reach through them on the simulated module.

constexpr DWORD kTegra2Pads = 0x70000000, kTegra3Pads = 0x70003000;

// A table field as the manual writes it: byte offset of its register (the register set starts
// at firstByte) and shift.
ListedField TableField(TegraFieldRef ref, int firstByte) {
    if (ref.reg == TEGRA_FIELD_NONE && ref.shift == TEGRA_FIELD_NONE) return {false, 0, 0};
    return {true, firstByte + 4 * ref.reg, ref.shift};
}

struct Write {
    DWORD physical;
    uint32_t value;
    bool operator==(const Write& o) const { return physical == o.physical && value == o.value; }
};

std::ostream& operator<<(std::ostream& os, const Write& w) {
    return os << std::hex << "{0x" << w.physical << ", 0x" << w.value << "}" << std::dec;
}

// The device writes since the last call; logging starts afresh.
std::vector<Write> TakeWrites() {
    SimWrite log[16];
    int count = SimRecordedWrites(log, 16);
    std::vector<Write> writes;
    for (int i = 0; i < count && i < 16; ++i)
        writes.push_back({log[i].physical, log[i].value});
    SimRecordWrites(true);
    return writes;
}

void ClearPadWord(DWORD physical) {
    SimRecordWrites(false);
    ASSERT_TRUE(SimPhysicalWrite(physical, 0)) << std::hex << physical;
    SimRecordWrites(true);
}

// The listed group of every Tegra 2 GPIO; -1 where none lists it.
std::vector<int> ListedGroupOfGpio(const std::vector<ListedGroup>& groups) {
    std::vector<int> groupOf(TEGRA2_GPIO_COUNT, -1);
    for (size_t g = 0; g < groups.size(); ++g)
        for (int n : groups[g].gpios) {
            if (n >= TEGRA2_GPIO_COUNT) {
                ADD_FAILURE() << "group " << g << " lists GPIO " << n;
                continue;
            }
            EXPECT_EQ(groupOf[n], -1) << "GPIO " << n << " listed twice";
            groupOf[n] = int(g);
        }
    return groupOf;
}

TEST(Tegra2Lists, GroupTableRowByRow) {
    auto groups = ParseTegra2GroupList();
    ASSERT_EQ(groups.size(), size_t(TEGRA2_PIN_GROUP_COUNT));
    for (int g = 0; g < TEGRA2_PIN_GROUP_COUNT; ++g) {
        const Tegra2PinGroup& row = Tegra2PinGroupTable[g];
        SCOPED_TRACE(kTegra2GroupRows[g]);
        EXPECT_EQ(std::string(row.name, strnlen(row.name, sizeof row.name)), groups[g].name);
        EXPECT_EQ(TableField(row.mux, 0x80), groups[g].mux) << "pinmux";
        EXPECT_EQ(TableField(row.pull, 0xA0), groups[g].pull) << "pull";
        EXPECT_EQ(TableField(row.tristate, 0x14), groups[g].tristate) << "tristate";
    }
}

TEST(Tegra2Lists, GroupOfEveryGpio) {
    auto groups = ParseTegra2GroupList();
    ASSERT_EQ(groups.size(), size_t(TEGRA2_PIN_GROUP_COUNT));
    std::vector<int> groupOf = ListedGroupOfGpio(groups);
    for (int n = 0; n < TEGRA2_GPIO_COUNT; ++n) {
        ASSERT_NE(groupOf[n], -1) << "GPIO " << n << " is in no listed group";
        EXPECT_EQ(int(Tegra2GpioGroup[n]), groupOf[n])
            << "GPIO " << n << " listed in " << groups[groupOf[n]].name;
    }
}

// With the three register sets cleared, setting a field of GPIO n writes that field alone, at
// the place its group has in the lists; a missing field writes nothing.
TEST(Tegra2Lists, EveryGpioReachesTheFieldsOfItsGroup) {
    auto groups = ParseTegra2GroupList();
    ASSERT_EQ(groups.size(), size_t(TEGRA2_PIN_GROUP_COUNT));
    std::vector<int> groupOf = ListedGroupOfGpio(groups);
    UseModule(SIM_MODULE_TEGRA2);
    InitGPIOLib();
    for (DWORD b = 0x14; b <= 0xB0; b += 4)
        if (b <= 0x20 || b >= 0x80) ClearPadWord(kTegra2Pads + b);
    TakeWrites();
    for (uint32_t n = 0; n < TEGRA2_GPIO_COUNT; ++n) {
        ASSERT_NE(groupOf[n], -1);
        const ListedGroup& g = groups[groupOf[n]];
        SCOPED_TRACE(testing::Message() << "GPIO " << n << " in " << g.name);
        const struct {
            const char* field;
            const ListedField& where;
            int (*set)(uint32_t, uint32_t);
            uint32_t value;
        } fields[] = {{"pinmux", g.mux, SetTegraPinMux, 3},
                      {"pull", g.pull, SetGPIOPullState, 3},
                      {"tristate", g.tristate, SetGPIOTristate, 1}};
        for (const auto& f : fields) {
            EXPECT_EQ(f.set(n, f.value), 1) << f.field;
            std::vector<Write> expected;
            if (f.where.present)
                expected.push_back({kTegra2Pads + f.where.offset, f.value << f.where.shift});
            std::vector<Write> writes = TakeWrites();
            EXPECT_EQ(writes, expected) << f.field;
            for (const Write& w : writes)
                ClearPadWord(w.physical);
        }
        char text[8] = "";
        ASSERT_EQ(GetGPIOPinGroup(n, text), 1);
        EXPECT_EQ(std::string(text), g.name);
    }
}

TEST(Tegra3Lists, PadIndexOfEveryGpio) {
    auto words = ParseTegra3PadIndexList();
    ASSERT_EQ(words.size(), size_t(TEGRA3_GPIO_COUNT));
    for (int n = 0; n < TEGRA3_GPIO_COUNT; ++n)
        EXPECT_EQ(int(Tegra3PadIndex[n]), words[n]) << "GPIO " << n;
}

// With every pad register cleared, the pad operations of GPIO n write its listed register only:
// pinmux 1..0, then pull 3..2, then tristate 4.
TEST(Tegra3Lists, EveryGpioReachesItsPadRegister) {
    auto words = ParseTegra3PadIndexList();
    ASSERT_EQ(words.size(), size_t(TEGRA3_GPIO_COUNT));
    UseModule(SIM_MODULE_TEGRA3);
    InitGPIOLib();
    for (DWORD w = 0; w <= 0xF8; ++w)
        ClearPadWord(kTegra3Pads + 4 * w);
    TakeWrites();
    for (uint32_t n = 0; n < TEGRA3_GPIO_COUNT; ++n) {
        const DWORD pad = kTegra3Pads + 4 * words[n];
        EXPECT_EQ(SetTegraPinMux(n, 3), 1);
        EXPECT_EQ(SetGPIOPullState(n, 3), 1);
        EXPECT_EQ(SetGPIOTristate(n, 1), 1);
        std::vector<Write> writes = TakeWrites();
        EXPECT_EQ(writes, (std::vector<Write>{{pad, 0x03}, {pad, 0x0F}, {pad, 0x1F}}))
            << "GPIO " << n;
        for (const Write& w : writes)
            ClearPadWord(w.physical);
    }
}

} // namespace
