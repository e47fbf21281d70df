// What start-up fixes for the rest of the tool, per module.
#include "app/app.h"
#include "gpiolib/gpiolib.h"
#include "table/shared.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

namespace {

struct Expected {
    SimModule module;
    uint32_t processorId;
    int listGpioCount;
    uint32_t moduleType;
    int belvan;
    int board;
};

const Expected kModules[] = {
    {SIM_MODULE_PXA270, 17, 121, 0, 0, 1},
    {SIM_MODULE_PXA320, 2, 146, 1, 0, 1},
    {SIM_MODULE_PXA300, 8, 135, 2, 0, 1},
    {SIM_MODULE_PXA310, 9, 139, 3, 0, 1},
    {SIM_MODULE_TEGRA2, 0x411FC09, 222, 4, 0, 1},
    {SIM_MODULE_TEGRA3, 0x412FC09, 245, 5, 0, 1},
    {SIM_MODULE_TEGRA3_BELVAN, 0x412FC09, 245, 6, 1, 2},
};

} // namespace

TEST(StartTool, FixesProcessorRowsModuleTypeAndFamily) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora");
    for (const Expected& e : kModules) {
        SCOPED_TRACE(SimModuleDescription(e.module)->name);
        UseModule(e.module);
        BelvanModule = 0;
        ASSERT_EQ(StartTool(GetModuleHandleW(nullptr)), 1);
        EXPECT_EQ(ProcessorId, e.processorId);
        EXPECT_EQ(ListGpioCount, e.listGpioCount);
        EXPECT_EQ(ModuleType, e.moduleType);
        EXPECT_EQ(BelvanModule, e.belvan);
        EXPECT_EQ(EvalbRevID, e.board);
        EXPECT_TRUE(g_gpioLib.initialised);
    }
}

TEST(StartTool, ColumnMenuOrderPutsTheBoardColumnsBeforeTheEdgeColumns) {
    UseModule(SIM_MODULE_PXA270);
    ASSERT_EQ(StartTool(GetModuleHandleW(nullptr)), 1);
    const int expected[COLUMN_SLOT_COUNT] = {
        SLOT_GPIO,     SLOT_PINNAME,  SLOT_ALTFNNAME, SLOT_ALTFN,      SLOT_DIRECTION,
        SLOT_LEVEL,    SLOT_PIN,      SLOT_EVALLOC,   SLOT_EVALFNNAME, SLOT_EDGEDET,
        SLOT_EDGESTAT, SLOT_TRISTATE, SLOT_GROUP,     SLOT_PULLSTATE};
    for (int i = 0; i < COLUMN_SLOT_COUNT; ++i)
        EXPECT_EQ(ColumnMenuOrder[i], &ColumnSlots[expected[i]]) << i;
}
