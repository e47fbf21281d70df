// Boot-up Settings in the dialog, clicked with real input: the mode switches, the popups on the
// BootImage, "Save" and "Reset/Clear", and the platform refusing them.
#include "tests/dialog_support.h"
#include "tests/window_support.h"
#include "app/bootcfg.h"
#include "gpiolib/gpiolib.h"
#include "res/resource.h"
#include "sim/flash.h"
#include "table/altfn.h"
#include "table/table.h"

#include <gtest/gtest.h>
#include <cstring>

namespace {

constexpr int kGpdr1 = 0x010 / 4, kGsdr1 = 0x404 / 4;
constexpr int kPositionOutputFn1 = 9; // "AltFn" popup, output half

struct Block {
    uint32_t w[BOOT_CONFIG_WORDS] = {};
};

bool Stored(Block* b) {
    return SimFlashLoad(SimCurrentModule(), reinterpret_cast<BYTE*>(b->w));
}

Block LastSaveRequest() {
    Block b;
    EXPECT_TRUE(SimFlashLastSaveRequest(reinterpret_cast<BYTE*>(b.w)));
    return b;
}

bool Shows(DialogHarness& h, uint32_t g, int slot, const std::wstring& text) {
    bool ok = PumpUntil([&] { return h.Cell(g, slot) == text; });
    if (!ok)
        ADD_FAILURE() << "GPIO " << g << " column " << slot << " reads '" << h.Cell(g, slot).c_str()
                      << "', not '" << text.c_str() << "'";
    return ok;
}

} // namespace

TEST(Bootup, Pxa270ResetClearNoShowsTheDefaultsAndKeepsTheStoredBlock) {
    static Block stored;
    stored.w[0] = 0x00000800; // GPIO 11 an output, nothing else
    stored.w[16] = 0x1234ABCD;
    DialogHarness h(SIM_MODULE_PXA270, [] {
        SimFlashSave(SimCurrentModule(), reinterpret_cast<const BYTE*>(stored.w));
    });
    ASSERT_TRUE(h.SwitchMode(IDC_BOOTUP));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(h.dialog, IDC_SAVE)));
    Shows(h, 11, SLOT_DIRECTION, L"Output");
    Shows(h, 15, SLOT_DIRECTION, L"Input");
    {
        BoxAnswer no(L"WARNING", IDNO);
        h.ClickButton(IDC_RESETCLEAR);
        ASSERT_TRUE(PumpUntil([&] { return no.answered; }));
        EXPECT_EQ(no.text, L"Do you want to Clear the Saved Flash Configuration too?");
    }
    Shows(h, 15, SLOT_DIRECTION, L"Output");
    Shows(h, 15, SLOT_LEVEL, L"1");
    Shows(h, 15, SLOT_ALTFN, L"2");
    Shows(h, 11, SLOT_DIRECTION, L"Input");
    Block now;
    ASSERT_TRUE(Stored(&now));
    EXPECT_EQ(memcmp(now.w, stored.w, sizeof now.w), 0);
    // An erase the platform refuses is said so; the defaults stay in the table.
    SimFlashRefuse(SIM_FLASH_ERASE);
    {
        BoxAnswer yes(L"WARNING", IDYES);
        BoxAnswer error(L"ERROR", IDOK);
        h.ClickButton(IDC_RESETCLEAR);
        ASSERT_TRUE(PumpUntil([&] { return error.answered; }));
        EXPECT_EQ(error.text, L"Could not Clear GPIOs Parameters");
    }
    EXPECT_TRUE(Stored(&now));
    Shows(h, 15, SLOT_DIRECTION, L"Output");
}

TEST(Bootup, Pxa270FunctionChosenInThePopupIsSavedAndShownAfterARestart) {
    uint32_t g = 11;
    {
        DialogHarness h(SIM_MODULE_PXA270);
        ASSERT_TRUE(h.SwitchMode(IDC_BOOTUP));
        MenuSeen seen = h.RightClick(h.CellPoint(g, SLOT_ALTFNNAME), kPositionOutputFn1);
        EXPECT_EQ(seen.menus, 1);
        Shows(h, g, SLOT_ALTFN, L"1");
        h.ClickButton(IDC_SAVE);
        Block saved;
        ASSERT_TRUE(PumpUntil([&] { return Stored(&saved); }));
        EXPECT_EQ((saved.w[8] >> (2 * g)) & 3, 1u) << std::hex << saved.w[8]; // GAFR0_L
        EXPECT_EQ((saved.w[0] >> g) & 1, 1u) << std::hex << saved.w[0];       // GPDR0
    }
    // The real tool reads it back at its next start.
    ToolWindow w("pxa270");
    w.Click(w.ControlPoint(IDC_BOOTUP));
    EXPECT_TRUE(Eventually([&] { return w.Cell(g, L"AltFn Name") == GetAltFnName(g, 1, 1); }))
        << "reads " << w.Cell(g, L"AltFn Name").c_str();
    EXPECT_EQ(w.Cell(g, L"Direction"), L"Output");
    w.Close();
    EXPECT_EQ(w.ExitCode(), 1);
}

TEST(Bootup, Pxa300DirectionIsFoldedSavedAndKeptAcrossModesWithoutTouchingTheRegisters) {
    DialogHarness h(SIM_MODULE_PXA300);
    uint32_t g = 40;
    int liveOutput = SimPinIsOutput(g);
    ASSERT_TRUE(h.SwitchMode(IDC_BOOTUP));
    Shows(h, g, SLOT_DIRECTION, L"Input");
    h.RightClick(h.CellPoint(g, SLOT_DIRECTION), 1);
    EXPECT_EQ((BootImage[kGpdr1] >> 8) & 1, 1u);
    EXPECT_EQ(BootImage[kGsdr1], 0u);
    Shows(h, g, SLOT_DIRECTION, L"Output");
    h.ClickButton(IDC_SAVE);
    ASSERT_TRUE(PumpUntil([] { return SimFlashRequestCounts().saves == 1; }));
    EXPECT_EQ((LastSaveRequest().w[1] >> 8) & 1, 1u);

    ASSERT_TRUE(h.SwitchMode(IDC_CURRENT));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(h.dialog, IDC_SAVE)));
    Shows(h, g, SLOT_DIRECTION, liveOutput ? L"Output" : L"Input");
    EXPECT_EQ(SimPinIsOutput(g), liveOutput);
    ASSERT_TRUE(h.SwitchMode(IDC_BOOTUP));
    Shows(h, g, SLOT_DIRECTION, L"Output");
}

TEST(Bootup, Pxa320ShowsItsDefaultFunctionsAndOpensNoFunctionPopup) {
    DialogHarness h(SIM_MODULE_PXA320);
    ASSERT_TRUE(h.SwitchMode(IDC_BOOTUP));
    Shows(h, 56, SLOT_ALTFN, L"7");
    Shows(h, 0, SLOT_ALTFN, L"2");
    EXPECT_EQ(h.RightClick(h.CellPoint(56, SLOT_ALTFNNAME), -1).menus, 0);
    EXPECT_EQ(h.RightClick(h.CellPoint(56, SLOT_LEVEL), -1).menus, 1);
}

TEST(Bootup, SaveRefusedKeepsTheEditsAndTheNextSaveSendsTheSameBlock) {
    DialogHarness h(SIM_MODULE_PXA270);
    ASSERT_TRUE(h.SwitchMode(IDC_BOOTUP));
    h.RightClick(h.CellPoint(15, SLOT_LEVEL), 0);
    Shows(h, 15, SLOT_LEVEL, L"0");
    SimFlashRefuse(SIM_FLASH_SAVE);
    {
        BoxAnswer error(L"ERROR", IDOK);
        h.ClickButton(IDC_SAVE);
        ASSERT_TRUE(PumpUntil([&] { return error.answered; }));
        EXPECT_EQ(error.text, L"Could not Save GPIOs Parameters");
    }
    Block refused = LastSaveRequest(), saved;
    EXPECT_EQ((refused.w[4] >> 15) & 1, 0u); // GPLR0: GPIO 15 low
    SimFlashRefuse(0);
    h.ClickButton(IDC_SAVE);
    ASSERT_TRUE(PumpUntil([&] { return Stored(&saved); }));
    EXPECT_EQ(memcmp(saved.w, refused.w, sizeof saved.w), 0);
    Shows(h, 15, SLOT_LEVEL, L"0");
}

TEST(Bootup, ReadRefusedAtStartGivesTheDefaultsWithoutAWord) {
    DialogHarness h(SIM_MODULE_PXA270, [] {
        uint32_t block[BOOT_CONFIG_WORDS] = {0x00000800};
        SimFlashSave(SimCurrentModule(), reinterpret_cast<const BYTE*>(block));
        SimFlashRefuse(SIM_FLASH_READ);
    });
    EXPECT_EQ(SimFlashRequestCounts().reads, 1);
    EXPECT_EQ(FindWindowW(L"#32770", L"ERROR"), nullptr);
    ASSERT_TRUE(h.SwitchMode(IDC_BOOTUP));
    Shows(h, 15, SLOT_DIRECTION, L"Output");
    Shows(h, 11, SLOT_DIRECTION, L"Input");
}

TEST(Bootup, TegraOffersNoBootupSettingsAndNeverReadsTheBlock) {
    for (SimModule module : {SIM_MODULE_TEGRA2, SIM_MODULE_TEGRA3_BELVAN}) {
        DialogHarness h(module);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(h.dialog, IDC_BOOTUP)));
        EXPECT_EQ(SimFlashRequestCounts().reads, 0);
    }
}
