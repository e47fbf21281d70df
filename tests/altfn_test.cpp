#include "table/altfn.h"
#include "gpiolib/gpiolib.h"
#include "gpiolib/tegra.h"
#include "table/shared.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

// Sets what start-up would have fixed for the processor under test.
void UseProcessor(uint32_t processorId, uint32_t moduleType, int belvan = 0) {
    ProcessorId = processorId;
    ModuleType = moduleType;
    BelvanModule = belvan;
}

std::string Narrow(const wchar_t* text) {
    std::string s;
    for (; *text; ++text)
        s += static_cast<char>(*text);
    return s;
}

// "GPIO12" -> 12; second-bank pads "GPIO3_2" -> 131.
uint32_t PxaGpio(const std::string& pin) {
    uint32_t n = std::stoul(pin.substr(4));
    return pin.size() > 2 && pin.compare(pin.size() - 2, 2, "_2") == 0 ? n + 128 : n;
}

// ---------------------------------------------------------------------------------------------
// Comparing a table name with a facts name: case, brackets, underscores, dashes and dots are
// folded; then the renamings below turn the facts' spelling into the family's own.

std::string Fold(const std::string& name) {
    std::string s;
    for (char c : name)
        if (!std::strchr("_<>-. ", c)) s += static_cast<char>(std::toupper(c));
    return s;
}

// Known renamings, on folded names. A rule applies to every family its family starts with.
struct Renaming {
    const char* family;
    const char* pattern;
    const char* replacement;
};
const Renaming Renamings[] = {
    // PXA270: the Developer's Manual's signal names.
    {"pxa270", "^I2C(SCL|SDA)$", "$1"},
    {"pxa270", "^PWM(\\d)OUT$", "PWMOUT$1"},
    {"pxa270", "^SSP1(\\w+?)(IN)?$", "SSP$1"},
    {"pxa270", "^SSP([23])(\\w+)$", "SSP$2$1"},
    {"pxa270", "^(FF|BT)UART(\\w+)$", "$1$2"},
    {"pxa270", "^STUART(\\w+)$", "STD$1"},
    {"pxa270", "^FICP(\\w+)$", "ICP$1"},
    {"pxa270", "^LCDLDD(\\d+)$", "LDD$1"},
    {"pxa270", "^LCDFCLK$", "LFCLKRD"},
    {"pxa270", "^LCDLCLK$", "LLCLKA0"},
    {"pxa270", "^LCDPCLK$", "LPCLKWR"},
    {"pxa270", "^LCD(BIAS|VSYNC|CS)$", "L$1"},
    {"pxa270", "^MMC(CLK|CMD|DAT\\d)$", "MM$1"},
    {"pxa270", "^USBH(\\d)(PWR|PEN)$", "USBH$2$1"},
    {"pxa270", "^KPKDIN", "KPDKIN"}, // the source's misspelling
    // PXA3xx: the camera interface is "CIF".
    {"pxa3", "^CI(DD|MCLK|PCLK|HSYNC|VSYNC)", "CIF$1"},
    {"pxa320", "^PWM(\\d)OUT$", "PWM$1"},
    {"pxa320", "^U2DPHYDATA(\\d)$", "U2DDATA$1"},
    {"pxa3x0", "^UTMPHYDATA(\\d)$", "UTMPHYDATAOUT$1"},
    {"pxa3x0", "^LCDLDD", "LDD"},
    {"pxa3x0", "^MLCDLDD", "MLDD"},
    {"pxa3x0", "^LCD", "L"},
    {"pxa3x0", "^MLCD", "ML"},
    // Tegra: pin-mux function -> controller name.
    {"tegra", "^UARTA$", "UART1"},
    {"tegra", "^UARTB$", "UART2"},
    {"tegra", "^UARTC$", "UART3"},
    {"tegra", "^UARTD$", "UART4"},
    {"tegra", "^UARTE$", "UART5"},
    {"tegra", "^DISPLAY([AB])$", "DISP$1"},
    {"tegra2", "^PWM$", "PMFM"},
    {"tegra3", "^PWM\\d$", "PWFM"},
};

std::string Renamed(const std::string& family, const std::string& name) {
    std::string s = Fold(name);
    for (const Renaming& r : Renamings)
        if (family.rfind(r.family, 0) == 0)
            s = std::regex_replace(s, std::regex(r.pattern), r.replacement);
    return s;
}

// PXA: the facts name one signal per cell. Their "GPIO" is the plain function, which the
// look-up shows as "GPIO" or, on the second bank, "GPIO n".
bool NamesSignal(const std::string& family, const std::string& name, const std::string& signal) {
    if (signal == "GPIO") return std::regex_match(name, std::regex("GPIO( \\d+)?"));
    return Fold(name) == Renamed(family, signal);
}

// Tegra: the facts name the controller function only. The table name must begin with that
// controller's name, and no longer controller name may match (SPI2 / SPI2_ALT). Reserved
// functions are "-".
bool NamesController(const std::string& family, const std::string& name, const std::string& fn,
                     const std::set<std::string>& controllers) {
    if (std::regex_match(fn, std::regex("rsvd\\d|invalid"))) return name == "-";
    std::string folded = Fold(name), longest;
    for (const std::string& c : controllers)
        if (folded.rfind(c, 0) == 0 && c.size() > longest.size()) longest = c;
    return longest == Renamed(family, fn);
}

struct Agreement {
    int checked = 0;
    std::vector<std::string> disagreements;
    std::vector<std::string> skipped;
};

// Known differences between the names and the facts, each explained; every other difference
// fails, and so does a listed one that no longer occurs.
const char kTwoInputs[] = "the manual names two inputs on this function; the cell shows the "
                          "first, SSP1's clock (its fact SSP1_SCLK_IN agrees)";
const char kPxa300Block[] =
    "the PXA300 and the PXA310 share one block, which follows the "
    "PXA300 where their facts differ (Pxa300AndPxa310DisagreeOnThirteenCells)";
const char kNoSpi3OnSdmmc3Clk[] = "the tool's table leaves SPI3 on SDMMC3_CLK (function 3) unnamed";

struct KnownDifference {
    const char* processor;
    const char* description; // as Describe writes it
    const char* why;
};
const KnownDifference KnownDifferences[] = {
    {"PXA270", R"(GPIO 23 in AF2: facts SSP2_SCLKEN, table "SSPSCLK")", kTwoInputs},
    {"PXA310", R"(GPIO 24 AF3: facts MMC1_CMD, table "UTM_RXVALID")", kPxa300Block},
    {"PXA310", R"(GPIO 29 AF3: facts MMC1_DAT0, table "U2D_TXVALID")", kPxa300Block},
    {"PXA310", R"(GPIO 30 AF3: facts ULPI_DATA_OUT_0, table "UTM_PHYDATAOUT0")", kPxa300Block},
    {"PXA310", R"(GPIO 31 AF3: facts ULPI_DATA_OUT_1, table "UTM_PHYDATAOUT1")", kPxa300Block},
    {"PXA310", R"(GPIO 32 AF3: facts ULPI_DATA_OUT_2, table "UTM_PHYDATAOUT2")", kPxa300Block},
    {"PXA310", R"(GPIO 33 AF3: facts ULPI_DATA_OUT_3, table "UTM_PHYDATAOUT3")", kPxa300Block},
    {"PXA310", R"(GPIO 34 AF3: facts ULPI_DATA_OUT_4, table "UTM_PHYDATAOUT4")", kPxa300Block},
    {"PXA310", R"(GPIO 35 AF3: facts ULPI_DATA_OUT_5, table "UTM_PHYDATAOUT5")", kPxa300Block},
    {"PXA310", R"(GPIO 36 AF3: facts ULPI_DATA_OUT_6, table "UTM_PHYDATAOUT6")", kPxa300Block},
    {"PXA310", R"(GPIO 37 AF3: facts ULPI_DATA_OUT_7, table "UTM_PHYDATAOUT7")", kPxa300Block},
    {"PXA310", R"(GPIO 38 AF1: facts ULPI_CLK, table "UTM_CLK")", kPxa300Block},
    {"PXA310", R"(GPIO 103 AF2: facts MMC3_CLK, table "USB_P2_8")", kPxa300Block},
    {"PXA310", R"(GPIO 105 AF2: facts MMC3_CMD, table "USB_P2_5")", kPxa300Block},
    {"Tegra 3", R"(GPIO 6 function 3: facts spi3, table "-")", kNoSpi3OnSdmmc3Clk},
};

void Report(const char* processor, const Agreement& a) {
    std::printf("%s: %d of %d facts agree\n", processor, a.checked - int(a.disagreements.size()),
                a.checked);
    for (const std::string& s : a.skipped)
        std::printf("  skipped: %s\n", s.c_str());
    EXPECT_GT(a.checked, 0) << processor;
    std::set<std::string> seen(a.disagreements.begin(), a.disagreements.end());
    for (const std::string& d : a.disagreements) {
        const KnownDifference* known = nullptr;
        for (const KnownDifference& k : KnownDifferences)
            if (processor == std::string(k.processor) && d == k.description) known = &k;
        if (known)
            std::printf("  known difference: %s (%s)\n", d.c_str(), known->why);
        else
            ADD_FAILURE() << processor << " differs: " << d;
    }
    for (const KnownDifference& k : KnownDifferences) {
        if (processor != std::string(k.processor)) continue;
        EXPECT_TRUE(seen.count(k.description)) << "no longer differs: " << k.description;
    }
}

std::string Describe(uint32_t gpio, const char* fn, const std::string& fact, const wchar_t* name) {
    char text[200];
    std::snprintf(text, sizeof text, "GPIO %u %s: facts %s, table \"%s\"", gpio, fn, fact.c_str(),
                  Narrow(name).c_str());
    return text;
}

// PXA270 GPIOs the look-up names by their use on the module; their rows are checked directly.
bool Pxa270ModuleFixed(uint32_t gpio) {
    return (gpio >= 2 && gpio <= 8) || gpio == 119 || gpio == 120;
}

Agreement CheckPxa3xx(const char* file, const char* family, uint32_t gpioCount) {
    Agreement a;
    for (const Fields& f : ReadFacts(file)) {
        uint32_t gpio = PxaGpio(f[0]);
        int fn = std::stoi(f[1]);
        std::string where = "AF" + f[1];
        if (gpio >= gpioCount) {
            a.skipped.push_back(f[0] + " " + where + " " + f[2] + ": beyond the chip's GPIO count");
            continue;
        }
        const wchar_t* name = GetAltFnName(gpio, 0, fn);
        a.checked++;
        if (!NamesSignal(family, Narrow(name), f[2]))
            a.disagreements.push_back(Describe(gpio, where.c_str(), f[2], name));
    }
    return a;
}

std::set<std::string> Controllers(const std::string& family, const std::vector<std::string>& fns) {
    std::set<std::string> set;
    for (const std::string& fn : fns)
        set.insert(Renamed(family, fn));
    return set;
}

Agreement CheckTegra(const std::string& family, const std::map<uint32_t, Fields>& functions) {
    std::vector<std::string> all;
    for (const auto& entry : functions)
        all.insert(all.end(), entry.second.begin(), entry.second.end());
    std::set<std::string> controllers = Controllers(family, all);
    Agreement a;
    for (const auto& [gpio, fns] : functions) {
        for (int fn = 0; fn < 4; ++fn) {
            const wchar_t* name = GetAltFnName(gpio, 0, fn);
            a.checked++;
            if (!NamesController(family, Narrow(name), fns[fn], controllers)) {
                std::string where = "function " + std::to_string(fn);
                a.disagreements.push_back(Describe(gpio, where.c_str(), fns[fn], name));
            }
        }
    }
    return a;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Agreement with the processors' pin-function facts.

TEST(AltFnFacts, Pxa270) {
    UseProcessor(PROCESSOR_PXA270, MODULE_PXA270);
    Agreement a;
    for (const Fields& f : ReadFacts("pxa27x.tsv")) {
        uint32_t gpio = std::stoul(f[0]);
        int dir = f[1] == "out" ? 1 : 0, fn = std::stoi(f[2]);
        const wchar_t* name = Pxa270ModuleFixed(gpio) ? AltFnNameTable[0][gpio][fn - 1 + 3 * dir]
                                                      : GetAltFnName(gpio, dir, fn);
        a.checked++;
        if (!NamesSignal("pxa270", Narrow(name), f[3])) {
            std::string where = f[1] + " AF" + f[2];
            a.disagreements.push_back(Describe(gpio, where.c_str(), f[3], name));
        }
    }
    Report("PXA270", a);
}

TEST(AltFnFacts, Pxa320) {
    UseProcessor(PROCESSOR_PXA320, MODULE_PXA320);
    Report("PXA320", CheckPxa3xx("pxa320.tsv", "pxa320", 146));
}

TEST(AltFnFacts, Pxa300) {
    UseProcessor(PROCESSOR_PXA300, MODULE_PXA300);
    Report("PXA300", CheckPxa3xx("pxa300.tsv", "pxa3x0", 135));
}

TEST(AltFnFacts, Pxa310) {
    UseProcessor(PROCESSOR_PXA310, MODULE_PXA310);
    Report("PXA310", CheckPxa3xx("pxa310.tsv", "pxa3x0", 139));
}

// The PXA300 and PXA310 share one block. Where their facts name different signals for one
// (GPIO, function), the block holds exactly one of the two: the PXA300's.
TEST(AltFnFacts, Pxa300AndPxa310DisagreeOnThirteenCells) {
    UseProcessor(PROCESSOR_PXA300, MODULE_PXA300);
    std::map<std::pair<uint32_t, int>, std::string> pxa300;
    for (const Fields& f : ReadFacts("pxa300.tsv"))
        pxa300[{PxaGpio(f[0]), std::stoi(f[1])}] = f[2];
    int cells = 0;
    for (const Fields& f : ReadFacts("pxa310.tsv")) {
        auto it = pxa300.find({PxaGpio(f[0]), std::stoi(f[1])});
        if (it == pxa300.end() || it->second == f[2]) continue;
        cells++;
        uint32_t gpio = it->first.first;
        int fn = it->first.second;
        std::string name = Narrow(GetAltFnName(gpio, 0, fn));
        bool follows300 = NamesSignal("pxa3x0", name, it->second);
        bool follows310 = NamesSignal("pxa3x0", name, f[2]);
        std::printf("GPIO %3u AF%d: PXA300 %-15s PXA310 %-15s table \"%s\" follows %s\n", gpio, fn,
                    it->second.c_str(), f[2].c_str(), name.c_str(),
                    follows300   ? "PXA300"
                    : follows310 ? "PXA310"
                                 : "neither");
        EXPECT_TRUE(follows300 && !follows310) << "GPIO " << gpio << " AF" << fn;
    }
    EXPECT_EQ(cells, 13);
}

TEST(AltFnFacts, Tegra2) {
    UseProcessor(PROCESSOR_TEGRA2, MODULE_TEGRA2);
    std::map<std::string, Fields> groups;
    for (const Fields& f : ReadFacts("tegra20.tsv")) {
        Fields& fns = groups[f[0]];
        fns.resize(4);
        fns[std::stoi(f[1])] = f[2];
    }
    std::map<uint32_t, Fields> functions;
    for (const Fields& f : ReadFacts("tegra20_pins.tsv")) {
        uint32_t gpio = std::stoul(f[0]);
        // Exception: the register model takes GPIO 216's mux from ATD, not the listed PMC.
        functions[gpio] = groups[gpio == 216 ? std::string("atd") : f[2]];
    }
    EXPECT_EQ(functions.size(), 222u);
    EXPECT_STREQ(Tegra2PinGroupTable[Tegra2GpioGroup[216]].name, "ATD");
    Agreement a = CheckTegra("tegra2", functions);
    for (const std::string& d : a.disagreements)
        EXPECT_NE(d.rfind("GPIO 216 ", 0), 0u) << d; // the exception holds in full
    Report("Tegra 2", a);
}

TEST(AltFnFacts, Tegra3) {
    UseProcessor(PROCESSOR_TEGRA3, MODULE_TEGRA3);
    std::map<uint32_t, Fields> functions;
    for (const Fields& f : ReadFacts("tegra30.tsv"))
        functions[std::stoul(f[0])] = Fields(f.begin() + 2, f.begin() + 6);
    EXPECT_EQ(functions.size(), 244u);
    Report("Tegra 3", CheckTegra("tegra3", functions));
}

// ---------------------------------------------------------------------------------------------
// The table itself.

TEST(AltFnTable, TellingRowsCellByCell) {
    struct Row {
        int block;
        uint32_t gpio;
        const wchar_t* cells[ALTFN_COLUMNS]; // nullptr: no name
    };
    const Row rows[] = {
        {0,
         11,
         {L"EXT_SYNC<0>", L"SSPRXD2", L"USB_P3_1", L"CHOUT<0>", L"PWM_OUT<2>", L"48_MHz", L"-"}},
        {0, 117, {L"SCL", L"-", L"-", L"SCL", L"-", L"-", L"-"}},
        {1, 11, {L"PWM_0", L"-", L"AC97_SDATA_IN_2", L"-", L"EXT_SYNC0", L"-", L"-"}},
        {1, 56, {L"CIF_DD_7", L"-", L"U2D_DATA7_SCAN", L"U2D_DATA7", L"-", L"-", L"noGPIO"}},
        {1, 128, {L"HZ_CLK", L"ONE_WIRE", L"CLK_EXT", L"-", L"-", L"-", L"-"}},
        {2, 46, {L"CIF_DD<7>", L"GPIO", L"U2D_PHYDATAIN7", L"UTM_PHYDATAOUT7", L"-", L"-", L"-"}},
        {2, 54, {L"L_DD<0>", L"-", L"-", L"SMEM_FADDR4", L"-", L"-", L"ML_DD<0>"}},
        {3, 6, {L"UART1_TXD", L"PMFM_PWM2", L"SDIO3_CLK", L"SPI3_SCK"}},
        {4, 6, {L"UART1.E-TXD", L"PWFM-PWM2", L"SDMMC3-SCLK", L"-"}},
        {4, 244, {L"OWR", L"CEC-IO", L"-", L"-"}},
    };
    for (const Row& row : rows) {
        for (int c = 0; c < ALTFN_COLUMNS; ++c) {
            const wchar_t* cell = AltFnNameTable[row.block][row.gpio][c];
            SCOPED_TRACE(testing::Message()
                         << "block " << row.block << " GPIO " << row.gpio << " column " << c);
            if (!row.cells[c]) {
                EXPECT_EQ(cell, nullptr);
            } else {
                ASSERT_NE(cell, nullptr) << "expected " << Narrow(row.cells[c]);
                EXPECT_STREQ(cell, row.cells[c]);
            }
        }
    }
}

// Every cell a look-up can reach holds a name or "-"; the unused cells hold nothing.
TEST(AltFnTable, EveryUsedCellHoldsANameOrDash) {
    const int usedColumns[ALTFN_BLOCKS] = {7, 7, 7, 4, 4};
    const int rows[ALTFN_BLOCKS] = {121, 146, 139, 222, 245};
    for (int b = 0; b < ALTFN_BLOCKS; ++b) {
        ASSERT_EQ(AltFnBlockRows[b], rows[b]);
        for (int g = 0; g < rows[b]; ++g) {
            for (int c = 0; c < ALTFN_COLUMNS; ++c) {
                const wchar_t* cell = AltFnNameTable[b][g][c];
                if (c < usedColumns[b]) {
                    ASSERT_NE(cell, nullptr) << "block " << b << " GPIO " << g << " column " << c;
                    EXPECT_NE(cell[0], L'\0') << "block " << b << " GPIO " << g << " column " << c;
                    EXPECT_EQ(std::wcschr(cell, L' '), nullptr) << Narrow(cell);
                } else {
                    EXPECT_EQ(cell, nullptr) << "block " << b << " GPIO " << g << " column " << c;
                }
            }
        }
    }
    for (int g = 0; g < 121; ++g)
        EXPECT_STREQ(AltFnPxa270[g][6], L"-") << "GPIO " << g;
}

// Tegra 2: FUNCTION_SIGNAL; Tegra 3: CONTROLLER[.VARIANT]-SIGNAL; or the controller alone.
TEST(AltFnTable, TegraNamesFollowTheirFamilyStyle) {
    std::regex tegra2("-|[A-Z][A-Z0-9_]*");
    std::regex tegra3("-|[A-Z][A-Z0-9_]*(\\.[A-Z0-9]+)?(-[A-Z0-9_]+)?");
    for (int g = 0; g < ALTFN_ROWS_TEGRA2; ++g)
        for (int c = 0; c < 4; ++c)
            EXPECT_TRUE(std::regex_match(Narrow(AltFnTegra2[g][c]), tegra2))
                << g << " " << Narrow(AltFnTegra2[g][c]);
    for (int g = 0; g < ALTFN_ROWS_TEGRA3; ++g)
        for (int c = 0; c < 4; ++c)
            EXPECT_TRUE(std::regex_match(Narrow(AltFnTegra3[g][c]), tegra3))
                << g << " " << Narrow(AltFnTegra3[g][c]);
}

// ---------------------------------------------------------------------------------------------
// The look-up's rules.

TEST(GetAltFnName, BlockFromModuleType) {
    const int expected[] = {0, 1, 2, 2, 3, 4, 4};
    for (uint32_t m = 0; m < 7; ++m)
        EXPECT_EQ(AltFnBlock(m), expected[m]) << m;
    EXPECT_EQ(AltFnBlock(7), -1);
    EXPECT_EQ(AltFnBlock(0xFFFFFFFF), -1);
}

TEST(GetAltFnName, Pxa270IndexIsFunctionPlusThreeTimesDirection) {
    UseProcessor(PROCESSOR_PXA270, MODULE_PXA270);
    EXPECT_STREQ(GetAltFnName(11, 1, 1), L"CHOUT<0>");
    EXPECT_STREQ(GetAltFnName(11, 0, 2), L"SSPRXD2");
    // The largest index, output function 3, reads column 5.
    EXPECT_STREQ(GetAltFnName(11, 1, 3), L"48_MHz");
    EXPECT_STREQ(GetAltFnName(11, 0, 0), L"GPIO");
    EXPECT_STREQ(GetAltFnName(11, 1, 0), L"GPIO");
    EXPECT_STREQ(GetAltFnName(117, 1, 1), L"SCL");
}

TEST(GetAltFnName, Pxa270ModulePinsWhateverTheFunction) {
    UseProcessor(PROCESSOR_PXA270, MODULE_PXA270);
    const wchar_t* names[] = {L"SYS_EN",   L"PWR_SCL",  L"PWR_SDA", L"PWR_CAP0",
                              L"PWR_CAP1", L"PWR_CAP2", L"PWR_CAP3"};
    for (int dir = 0; dir < 2; ++dir) {
        for (int fn = 0; fn < 4; ++fn) {
            for (uint32_t g = 2; g <= 8; ++g)
                EXPECT_STREQ(GetAltFnName(g, dir, fn), names[g - 2]) << g << " " << dir << fn;
            EXPECT_STREQ(GetAltFnName(119, dir, fn), L"NotConnected");
            EXPECT_STREQ(GetAltFnName(120, dir, fn), L"NotConnected");
        }
    }
    EXPECT_STREQ(GetAltFnName(1, 0, 0), L"GPIO");
    EXPECT_STREQ(GetAltFnName(9, 0, 0), L"GPIO");
}

TEST(GetAltFnName, Pxa320ShiftedPinsAndSecondBank) {
    UseProcessor(PROCESSOR_PXA320, MODULE_PXA320);
    EXPECT_STREQ(GetAltFnName(56, 0, 0), L"CIF_DD_7");
    EXPECT_STREQ(GetAltFnName(56, 0, 3), L"U2D_DATA7");
    EXPECT_STREQ(GetAltFnName(57, 0, 0), L"GPIO");
    EXPECT_STREQ(GetAltFnName(57, 0, 1), L"CIF_DD_8");
    for (uint32_t g = 59; g <= 62; ++g) {
        EXPECT_STREQ(GetAltFnName(g, 0, 7), L"noGPIO") << g;
        EXPECT_EQ(GetAltFnName(g, 0, 6), GetAltFnName(g, 0, 5)) << g;
        EXPECT_EQ(GetAltFnName(g, 0, 6), AltFnPxa320[g][5]) << g;
    }
    EXPECT_STREQ(GetAltFnName(127, 0, 0), L"GPIO");
    EXPECT_STREQ(GetAltFnName(128, 0, 0), L"GPIO 0");
    EXPECT_STREQ(GetAltFnName(130, 0, 0), L"GPIO 2");
    EXPECT_STREQ(GetAltFnName(145, 0, 0), L"GPIO 17");
    EXPECT_STREQ(GetAltFnName(128, 0, 1), L"HZ_CLK");
    // The direction plays no part off the PXA270.
    EXPECT_STREQ(GetAltFnName(11, 1, 1), L"PWM_0");
}

TEST(GetAltFnName, Pxa300AndPxa310ShiftedPins) {
    for (uint32_t id : {PROCESSOR_PXA300, PROCESSOR_PXA310}) {
        UseProcessor(id, id == PROCESSOR_PXA300 ? MODULE_PXA300 : MODULE_PXA310);
        EXPECT_STREQ(GetAltFnName(46, 0, 1), L"GPIO");
        EXPECT_STREQ(GetAltFnName(46, 0, 0), L"CIF_DD<7>");
        EXPECT_STREQ(GetAltFnName(49, 0, 3), L"GPIO");
        EXPECT_STREQ(GetAltFnName(49, 0, 0), L"CIF_MCLK");
        EXPECT_STREQ(GetAltFnName(54, 0, 7), L"ML_DD<0>");
        EXPECT_STREQ(GetAltFnName(47, 0, 0), L"GPIO");
        EXPECT_STREQ(GetAltFnName(134, 0, 0), L"GPIO 6");
        EXPECT_STREQ(GetAltFnName(138, 0, 0), L"GPIO 10");
    }
}

TEST(GetAltFnName, TegraPlainFunctionAndPinMuxFunctions) {
    for (uint32_t m : {uint32_t(MODULE_TEGRA2), uint32_t(MODULE_TEGRA3)}) {
        UseProcessor(m == MODULE_TEGRA2 ? PROCESSOR_TEGRA2 : PROCESSOR_TEGRA3, m);
        for (uint32_t g = 0; g < uint32_t(AltFnBlockRows[AltFnBlock(m)]); ++g)
            EXPECT_STREQ(GetAltFnName(g, 0, -1), L"GPIO") << g;
    }
    UseProcessor(PROCESSOR_TEGRA2, MODULE_TEGRA2);
    EXPECT_STREQ(GetAltFnName(6, 0, 3), L"SPI3_SCK");
    UseProcessor(PROCESSOR_TEGRA3, MODULE_TEGRA3);
    EXPECT_STREQ(GetAltFnName(6, 0, 2), L"SDMMC3-SCLK");
    EXPECT_STREQ(GetAltFnName(6, 1, 2), L"SDMMC3-SCLK");
    EXPECT_STREQ(GetAltFnName(6, 0, 3), L"-");
    EXPECT_STREQ(GetAltFnName(244, 0, 1), L"CEC-IO");
}

TEST(GetAltFnName, Tegra3BelvanNamesEqualTessaraNames) {
    for (uint32_t g = 0; g < ALTFN_ROWS_TEGRA3; ++g) {
        for (int fn = -1; fn < 4; ++fn) {
            UseProcessor(PROCESSOR_TEGRA3, MODULE_TEGRA3, 0);
            const wchar_t* tessara = GetAltFnName(g, 0, fn);
            UseProcessor(PROCESSOR_TEGRA3, MODULE_TEGRA3_BELVAN, 1);
            EXPECT_EQ(GetAltFnName(g, 0, fn), tessara) << g << " " << fn;
        }
    }
}

// Function numbers, directions and GPIO numbers outside what the processor has read "-"
// instead of reaching past the row or into unused cells.
TEST(GetAltFnName, OutOfRangeArgumentsReadDash) {
    UseProcessor(PROCESSOR_PXA270, MODULE_PXA270);
    for (int fn : {4, 5, 7, -1, INT_MAX, INT_MIN})
        for (int dir : {0, 1})
            EXPECT_STREQ(GetAltFnName(11, dir, fn), L"-") << fn;
    EXPECT_STREQ(GetAltFnName(11, 2, 1), L"-");
    EXPECT_STREQ(GetAltFnName(11, -1, 3), L"-");
    EXPECT_STREQ(GetAltFnName(121, 0, 0), L"-");

    UseProcessor(PROCESSOR_PXA320, MODULE_PXA320);
    for (int fn : {8, -1, INT_MAX, INT_MIN})
        EXPECT_STREQ(GetAltFnName(11, 0, fn), L"-") << fn;
    EXPECT_STREQ(GetAltFnName(146, 0, 0), L"-");
    EXPECT_STREQ(GetAltFnName(0xFFFFFFFF, 0, 1), L"-");

    UseProcessor(PROCESSOR_PXA310, MODULE_PXA310);
    EXPECT_STREQ(GetAltFnName(139, 0, 0), L"-");

    for (uint32_t m : {uint32_t(MODULE_TEGRA2), uint32_t(MODULE_TEGRA3)}) {
        UseProcessor(m == MODULE_TEGRA2 ? PROCESSOR_TEGRA2 : PROCESSOR_TEGRA3, m);
        for (int fn : {4, 5, 6, -2, INT_MAX, INT_MIN})
            EXPECT_STREQ(GetAltFnName(6, 0, fn), L"-") << fn;
        EXPECT_STREQ(GetAltFnName(AltFnBlockRows[AltFnBlock(m)], 0, 0), L"-");
    }

    UseProcessor(PROCESSOR_PXA270, 7);
    EXPECT_STREQ(GetAltFnName(11, 1, 1), L"-");
    UseProcessor(0x12345, MODULE_PXA270);
    EXPECT_STREQ(GetAltFnName(11, 1, 1), L"-");
}

// Whatever combination start-up could leave behind, the result is a readable text.
TEST(GetAltFnName, NeverNullForAnyCombination) {
    const uint32_t ids[] = {PROCESSOR_PXA270,
                            PROCESSOR_PXA320,
                            PROCESSOR_PXA300,
                            PROCESSOR_PXA310,
                            PROCESSOR_TEGRA2,
                            PROCESSOR_TEGRA3,
                            0};
    const int fns[] = {-2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, INT_MIN, INT_MAX};
    for (uint32_t id : ids) {
        for (uint32_t m = 0; m <= 7; ++m) {
            UseProcessor(id, m);
            for (uint32_t g = 0; g < 250; ++g)
                for (int dir = -1; dir <= 2; ++dir)
                    for (int fn : fns) {
                        const wchar_t* name = GetAltFnName(g, dir, fn);
                        ASSERT_NE(name, nullptr) << id << " " << m << " " << g << " " << fn;
                        ASSERT_NE(name[0], L'\0') << id << " " << m << " " << g << " " << fn;
                    }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// "GPIO n" texts on several threads.

namespace {

// Callers stay alive until all have finished, so that their buffers exist side by side (a
// buffer freed with its thread could be handed to the next one).
volatile LONG CallersRunning;
HANDLE CallersDone;

void FinishTogether() {
    if (InterlockedDecrement(&CallersRunning) == 0) SetEvent(CallersDone);
    WaitForSingleObject(CallersDone, INFINITE);
}

struct Caller {
    HANDLE start;
    uint32_t firstGpio;
    const wchar_t* firstText;
    int mismatches;
};

DWORD WINAPI CallRepeatedly(void* param) {
    Caller* caller = static_cast<Caller*>(param);
    WaitForSingleObject(caller->start, INFINITE);
    for (int i = 0; i < 20000; ++i) {
        uint32_t gpio = caller->firstGpio + i % 6;
        const wchar_t* text = GetAltFnName(gpio, 0, 0);
        if (i == 0) caller->firstText = text;
        wchar_t expected[16];
        wsprintfW(expected, L"GPIO %d", static_cast<int>(gpio - 128));
        // Give the other callers a chance to run before this caller reads its text.
        if (i % 8 == 0) SwitchToThread();
        if (std::wcscmp(text, expected) != 0) caller->mismatches++;
    }
    FinishTogether();
    return 0;
}

DWORD WINAPI CallOnce(void*) {
    return GetAltFnName(130, 0, 0)[5] == L'2' ? 0 : 1;
}

// Enough to see 16 bytes kept per thread; few enough to end in time on a loaded machine, where
// Wine takes several milliseconds to start and end a thread.
constexpr int ShortLivedThreads = 500;
void* Kept[ShortLivedThreads];
volatile LONG KeptCount;

// Stands in for a leaking caller: keeps 16 bytes of heap per thread.
DWORD WINAPI KeepSixteenBytes(void*) {
    Kept[InterlockedIncrement(&KeptCount) - 1] = std::malloc(16);
    return 0;
}

void RunShortLivedThreads(LPTHREAD_START_ROUTINE routine, int count) {
    for (int i = 0; i < count; ++i) {
        HANDLE thread = CreateThread(nullptr, 0, routine, nullptr, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        WaitForSingleObject(thread, INFINITE);
        DWORD code = 1;
        GetExitCodeThread(thread, &code);
        CloseHandle(thread);
        ASSERT_EQ(code, 0u);
    }
}

struct Memory {
    long long commit;    // private bytes the process has committed
    long long heapBytes; // bytes in use in all of the process's heaps
};

Memory Measure() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    // Windows reports the commit charge in both fields; Wine fills only PagefileUsage.
    Memory m = {static_cast<long long>(counters.PrivateUsage ? counters.PrivateUsage
                                                             : counters.PagefileUsage),
                0};
    HANDLE heaps[64];
    DWORD n = GetProcessHeaps(64, heaps);
    for (DWORD h = 0; h < n && h < 64; ++h) {
        PROCESS_HEAP_ENTRY entry = {};
        HeapLock(heaps[h]);
        while (HeapWalk(heaps[h], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) m.heapBytes += entry.cbData;
        HeapUnlock(heaps[h]);
    }
    return m;
}

} // namespace

// List build, refresh thread and popup labels each keep their own text: three callers at
// once never see a text changed under them.
TEST(GetAltFnNameThreads, ConcurrentCallersKeepTheirOwnText) {
    UseProcessor(PROCESSOR_PXA320, MODULE_PXA320);
    HANDLE start = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CallersDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CallersRunning = 3;
    Caller callers[3] = {
        {start, 128, nullptr, 0}, {start, 134, nullptr, 0}, {start, 140, nullptr, 0}};
    HANDLE threads[3];
    for (int t = 0; t < 3; ++t)
        threads[t] = CreateThread(nullptr, 0, CallRepeatedly, &callers[t], 0, nullptr);
    SetEvent(start);
    WaitForMultipleObjects(3, threads, TRUE, INFINITE);
    for (int t = 0; t < 3; ++t) {
        CloseHandle(threads[t]);
        EXPECT_EQ(callers[t].mismatches, 0) << "caller " << t;
    }
    CloseHandle(start);
    CloseHandle(CallersDone);
    EXPECT_NE(callers[0].firstText, callers[1].firstText);
    EXPECT_NE(callers[1].firstText, callers[2].firstText);
    EXPECT_NE(callers[0].firstText, callers[2].firstText);
}

// A thread's text buffer goes with the thread: many short-lived callers (one RebuildThread per
// request) do not make the process grow.
TEST(GetAltFnNameThreads, ShortLivedThreadsDoNotGrowTheProcess) {
    UseProcessor(PROCESSOR_PXA320, MODULE_PXA320);
    RunShortLivedThreads(CallOnce, 50); // the first calls set up the thread-local storage
    Memory before = Measure();
    RunShortLivedThreads(CallOnce, ShortLivedThreads);
    Memory after = Measure();
    std::printf("%d threads: commit %lld -> %lld bytes, heap in use %lld -> %lld bytes\n",
                ShortLivedThreads, before.commit, after.commit, before.heapBytes, after.heapBytes);
    // Keeping even one 16-byte buffer per ended thread would add 8000 bytes.
    EXPECT_LT(after.heapBytes - before.heapBytes, ShortLivedThreads * 16);
    // Commit moves in whole pages, and Wine's own bookkeeping takes or gives back one or two at
    // any time; a page kept per ended thread would add hundreds.
    EXPECT_LT(after.commit - before.commit, 16 * 4096);

    // The measure does see a leak of that size.
    RunShortLivedThreads(KeepSixteenBytes, ShortLivedThreads);
    Memory leaked = Measure();
    std::printf("with 16 bytes kept per thread: heap in use %lld bytes\n", leaked.heapBytes);
    EXPECT_GE(leaked.heapBytes - after.heapBytes, ShortLivedThreads * 16);
    for (void* p : Kept)
        std::free(p);
}
