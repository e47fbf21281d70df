// The real tool on the virtual display, driven as a user drives it.
#include "tests/window_support.h"
#include "gpiolib/gpiolib.h"

#include <gtest/gtest.h>

namespace {

void DeletePreferences() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora");
}

class Window : public testing::Test {
  protected:
    void SetUp() override { DeletePreferences(); }
    void TearDown() override {
        LeaveModule();
        DeletePreferences();
    }
};

// The first plain-GPIO input from `from` on.
uint32_t PlainInput(uint32_t from, uint32_t count) {
    for (uint32_t g = from; g < count; ++g)
        if (GetGPIODir(g) == 0 && GetGPIOAltFn(g) == (IsTegra(g_gpioLib.processorId) ? -1 : 0))
            return g;
    return count;
}

} // namespace

TEST_F(Window, RightClickDirectionCellAndChooseOutput) {
    ToolWindow w("pxa270");
    JoinModule(SIM_MODULE_PXA270);
    uint32_t g = PlainInput(9, 121);
    ASSERT_LT(g, 121u);
    ASSERT_EQ(w.Cell(g, L"Direction"), L"Input");
    w.RightClick(w.CellPoint(g, L"Direction"));
    ASSERT_TRUE(w.MenuOpen());
    w.Pick(1);
    EXPECT_TRUE(w.MenuClosed());
    EXPECT_TRUE(Eventually([&] { return GetGPIODir(g) == 1; }));
    EXPECT_TRUE(Eventually([&] { return w.Cell(g, L"Direction") == L"Output"; }))
        << "the cell reads " << w.Cell(g, L"Direction").c_str();
    w.Close();
    EXPECT_EQ(w.ExitCode(), 1);
}
