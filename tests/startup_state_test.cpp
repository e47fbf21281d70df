// What start-up fixes for the rest of the tool, per module, and the preferences it restores
// whatever the registry holds.
#include "app/app.h"
#include "gpiolib/gpiolib.h"
#include "table/shared.h"
#include "table/table.h"
#include "tests/list_support.h"

#include <gtest/gtest.h>
#include <cstring>

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
        EXPECT_EQ(GetGPIOCount(), FactsOf(ProcessorId).gpioCount);
    }
}

TEST(StartTool, ColumnMenuOrderPutsTheBoardColumnsBeforeTheEdgeColumns) {
    UseModule(SIM_MODULE_PXA270);
    ASSERT_EQ(StartTool(GetModuleHandleW(nullptr)), 1);
    const int expected[COLUMN_SLOT_COUNT] = {
        SLOT_GPIO,  SLOT_PINNAME,   SLOT_ALTFNNAME,  SLOT_ALTFN,   SLOT_DIRECTION, SLOT_LEVEL,
        SLOT_PIN,   SLOT_EVALLOC,   SLOT_EVALFNNAME, SLOT_EDGEDET, SLOT_EDGESTAT,  SLOT_TRISTATE,
        SLOT_GROUP, SLOT_PULLSTATE, SLOT_EDGES,      SLOT_ACTIVITY};
    for (int i = 0; i < COLUMN_SLOT_COUNT; ++i)
        EXPECT_EQ(ColumnMenuOrder[i], &ColumnSlots[expected[i]]) << i;
}

namespace {

void DeletePreferences() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora");
}

// The stored values and the variables they set (slot -1: EvalbRevID).
struct StoredPreference {
    const wchar_t* name;
    int slot;
};
const StoredPreference kStored[] = {
    {L"EvalbRevID", -1},
    {L"g_ColAltFn", SLOT_ALTFN},
    {L"g_ColDir", SLOT_DIRECTION},
    {L"g_ColLevel", SLOT_LEVEL},
    {L"g_ColEdgeDet", SLOT_EDGEDET},
    {L"g_ColEdgeStat", SLOT_EDGESTAT},
    {L"g_ColPin", SLOT_PIN},
    {L"g_ColEvalLoc", SLOT_EVALLOC},
    {L"g_ColEvalFnName", SLOT_EVALFNNAME},
    {L"g_ColTristate", SLOT_TRISTATE},
    {L"g_ColGroupName", SLOT_GROUP},
    {L"g_ColPullState", SLOT_PULLSTATE},
    {L"g_ColEdges", SLOT_EDGES},
    {L"g_ColActivity", SLOT_ACTIVITY},
};

int& Variable(const StoredPreference& s) {
    return s.slot < 0 ? EvalbRevID : ColumnSlots[s.slot];
}

void Write(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, PREFERENCES_WRITE_KEY, 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// Start-up on the module with whatever the registry holds, a list built from it and the
// preferences stored again: the table has every row and exactly the shown columns, and every
// value is written back as a 4-byte REG_DWORD of the variable.
void StartBuildAndStore(SimModule module) {
    UseModule(module);
    ASSERT_EQ(StartTool(GetModuleHandleW(nullptr)), 1);
    TestList list;
    BuildGpioList(list.list);
    EXPECT_EQ(list.Rows(), ListGpioCount);
    int shown = 0;
    for (const ColumnDef& column : Columns) {
        int index = ColumnSlots[column.slot];
        if (index == COLUMN_HIDDEN) continue;
        ++shown;
        ASSERT_LT(index, list.Columns()) << column.slot;
        EXPECT_EQ(list.Header(index), column.header);
    }
    EXPECT_EQ(list.Columns(), shown);
    EXPECT_GE(EvalbRevID, 0);
    EXPECT_LT(EvalbRevID, int(EVALB_COUNT));
    StorePreferences();
    for (const StoredPreference& s : kStored) {
        DWORD type = 0, value = 0, size = sizeof value;
        EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, PREFERENCES_READ_KEY, s.name, RRF_RT_ANY, &type,
                               &value, &size),
                  ERROR_SUCCESS)
            << s.name;
        EXPECT_EQ(type, DWORD(REG_DWORD)) << s.name;
        EXPECT_EQ(size, 4u) << s.name;
        EXPECT_EQ(int(value), Variable(s)) << s.name;
    }
}

} // namespace

// A value of another type or size, left by another version or written by hand, counts as
// missing, even when four of its bytes would read as a number that changes the default.
TEST(Preferences, ValueOfAnotherTypeOrSizeCountsAsMissing) {
    UseModule(SIM_MODULE_PXA270);
    int initial[COLUMN_SLOT_COUNT];
    memcpy(initial, ColumnSlots, sizeof initial);
    const DWORD types[] = {REG_DWORD, REG_SZ,       REG_EXPAND_SZ,        REG_BINARY,
                           REG_QWORD, REG_MULTI_SZ, REG_DWORD_BIG_ENDIAN, REG_NONE};
    for (DWORD type : types) {
        for (DWORD size = 0; size <= 8; ++size) {
            if (type == REG_DWORD && size == 4) continue;
            DeletePreferences();
            for (const StoredPreference& s : kStored) {
                // Bytes that, read as a number, would flip the default: 0 for the board and the
                // hidden columns (board 2.1, shown), all ones (hidden) for the shown columns.
                int defaultValue = s.slot < 0 ? EVALB_VERSION31 : initial[s.slot];
                BYTE bytes[8];
                memset(bytes, defaultValue == COLUMN_HIDDEN || s.slot < 0 ? 0 : 0xFF, 8);
                Write(s.name, type, bytes, size);
            }
            memcpy(ColumnSlots, initial, sizeof initial);
            EvalbRevID = EVALB_VERSION31;
            LoadPreferences();
            for (const StoredPreference& s : kStored)
                EXPECT_EQ(Variable(s), s.slot < 0 ? int(EVALB_VERSION31) : initial[s.slot])
                    << "type " << type << ", " << size << " bytes: " << s.name;
        }
    }
    DeletePreferences();
}

// REG_DWORDs out of range: a board no table knows keeps the default; a column value other than
// -1, whatever its size or sign, shows the column.
TEST(Preferences, NumbersOutOfRangeGiveSoundValues) {
    UseModule(SIM_MODULE_PXA270);
    struct Case {
        DWORD value;
        int board;  // EvalbRevID after loading
        bool shown; // a column stored with the value
    } cases[] = {{0, 0, true},          {2, 2, true},           {3, 1, true},
                 {14, 1, true},         {0x7FFFFFFF, 1, true},  {0x80000000, 1, true},
                 {0xFFFFFFFE, 1, true}, {0xFFFFFFFF, 1, false}, {0x12345678, 1, true}};
    for (const Case& c : cases) {
        DeletePreferences();
        for (const StoredPreference& s : kStored)
            Write(s.name, REG_DWORD, &c.value, sizeof c.value);
        EvalbRevID = EVALB_VERSION31;
        LoadPreferences();
        EXPECT_EQ(EvalbRevID, c.board) << c.value;
        for (int slot : {SLOT_ALTFN, SLOT_DIRECTION, SLOT_EVALFNNAME, SLOT_PULLSTATE})
            EXPECT_EQ(ColumnSlots[slot] != COLUMN_HIDDEN, c.shown) << c.value << " " << slot;
    }
    DeletePreferences();
}

// Whatever the registry holds, the tool starts, fills its table and stores sound REG_DWORDs.
TEST(Preferences, AnyStoredValuesGiveAWorkingTableAndDwordsOnClose) {
    int initial[COLUMN_SLOT_COUNT];
    memcpy(initial, ColumnSlots, sizeof initial);
    struct Setup {
        DWORD type;
        DWORD size;
        BYTE fill;
        int altFnShown; // the AltFn column after start-up: 0 hidden, 1 shown
        int dirShown;
    } setups[] = {{REG_SZ, 4, 0x00, 0, 1},    {REG_BINARY, 4, 0xFF, 0, 1},
                  {REG_QWORD, 8, 0x00, 0, 1}, {REG_MULTI_SZ, 6, 0x31, 0, 1},
                  {REG_DWORD, 2, 0x00, 0, 1}, {REG_DWORD, 8, 0x00, 0, 1},
                  {REG_DWORD, 4, 0x80, 1, 1}, {REG_DWORD, 4, 0x7F, 1, 1},
                  {REG_DWORD, 4, 0xFF, 0, 0}, {REG_DWORD, 4, 0x00, 1, 1}};
    for (SimModule module : {SIM_MODULE_PXA270, SIM_MODULE_TEGRA2, SIM_MODULE_TEGRA3_BELVAN}) {
        for (const Setup& setup : setups) {
            SCOPED_TRACE(testing::Message()
                         << SimModuleDescription(module)->name << ", type " << setup.type << ", "
                         << setup.size << " bytes of " << int(setup.fill));
            DeletePreferences();
            BYTE bytes[8];
            memset(bytes, setup.fill, sizeof bytes);
            for (const StoredPreference& s : kStored)
                Write(s.name, setup.type, bytes, setup.size);
            memcpy(ColumnSlots, initial, sizeof initial); // as a new process has them
            StartBuildAndStore(module);
            EXPECT_EQ(ColumnSlots[SLOT_ALTFN] != COLUMN_HIDDEN, bool(setup.altFnShown));
            EXPECT_EQ(ColumnSlots[SLOT_DIRECTION] != COLUMN_HIDDEN, bool(setup.dirShown));
            EXPECT_NE(ColumnSlots[SLOT_GPIO], COLUMN_HIDDEN);
            bool zeroBoard = setup.type == REG_DWORD && setup.size == 4 && setup.fill == 0;
            EXPECT_EQ(EvalbRevID, zeroBoard                            ? EVALB_VERSION21
                                  : module == SIM_MODULE_TEGRA3_BELVAN ? EVALB_BELVAN
                                                                       : EVALB_VERSION31);
        }
    }
    DeletePreferences();
}
