// The list's columns, the RowCache and the cell texts.
#include "table/table.h"
#include "gpiolib/gpiolib.h"

#include <commctrl.h>

// clang-format off
const ColumnDef Columns[COLUMN_SLOT_COUNT] = {
//   slot             header         format         width  0 in Boot-up  allowed on
    {SLOT_GPIO,       L"#",          LVCFMT_RIGHT,  25,    false,        ON_ALL},
    {SLOT_PINNAME,    L"Pin Name",   LVCFMT_LEFT,   90,    false,        ON_TEGRA},
    {SLOT_ALTFNNAME,  L"AltFn Name", LVCFMT_LEFT,   100,   false,        ON_ALL},
    {SLOT_ALTFN,      L"AltFn",      LVCFMT_LEFT,   12,    false,        ON_ALL},
    {SLOT_DIRECTION,  L"Direction",  LVCFMT_LEFT,   50,    false,        ON_ALL},
    {SLOT_LEVEL,      L"Level",      LVCFMT_LEFT,   25,    false,        ON_ALL},
    {SLOT_PIN,        L"Pin",        LVCFMT_LEFT,   80,    false,        ON_ALL},
    {SLOT_EVALLOC,    L"EvalLoc",    LVCFMT_LEFT,   100,   false,        ON_ALL},
    {SLOT_EVALFNNAME, L"EvalFnName", LVCFMT_LEFT,   90,    true,         ON_ALL},
    {SLOT_EDGEDET,    L"EdgeDet",    LVCFMT_LEFT,   45,    true,         ON_PXA},
    {SLOT_EDGESTAT,   L"EdgeStat",   LVCFMT_LEFT,   45,    true,         ON_PXA},
    {SLOT_TRISTATE,   L"Tristate",   LVCFMT_LEFT,   25,    false,        ON_TEGRA},
    {SLOT_GROUP,      L"Group",      LVCFMT_LEFT,   45,    false,        ON_TEGRA2},
    {SLOT_PULLSTATE,  L"PullState",  LVCFMT_LEFT,   50,    false,        ON_TEGRA},
    // The live pins' activity is not part of the boot-up configuration.
    {SLOT_EDGES,      L"Edges",      LVCFMT_RIGHT,  45,    true,         ON_ALL},
    {SLOT_ACTIVITY,   L"Activity",   LVCFMT_LEFT,   124,   true,         ON_ALL},
};
// clang-format on

int ColumnCount;

int CachedAltFn[ROW_CACHE_ENTRIES];
int CachedDir[ROW_CACHE_ENTRIES];
int CachedLevel[ROW_CACHE_ENTRIES];
int CachedEdgeDetect[ROW_CACHE_ENTRIES];
int CachedEdgeStatus[ROW_CACHE_ENTRIES];
int CachedTristate[ROW_CACHE_ENTRIES];
int CachedPullState[ROW_CACHE_ENTRIES];
uint64_t CachedEdges[ROW_CACHE_ENTRIES];

const wchar_t* const DirText[3] = {L"Input", L"Output", L"-"};
const wchar_t* const LevelText[3] = {L"0", L"1", L"-"};
const wchar_t* const EdgeDetectText[4] = {L"-", L"Rising", L"Falling", L"Both"};
const wchar_t* const EdgeStatusText[2] = {L"", L"*"};
const wchar_t* const TristateText[2] = {L"0", L"1"};
const wchar_t* const PullStateText[4] = {L"Normal", L"PullDown", L"PullUp", L"RSVD"};
const wchar_t NoValueText[] = L"-";

int ColumnSlotAt(int column) {
    // A hidden column's -1 never matches, and no two shown columns share an index.
    for (int slot = 0; slot < COLUMN_SLOT_COUNT; ++slot)
        if (ColumnSlots[slot] != COLUMN_HIDDEN && ColumnSlots[slot] == column) return slot;
    return -1;
}

const char* PadName(uint32_t gpio) {
    if (ProcessorId == PROCESSOR_TEGRA2 && gpio < TEGRA2_PAD_NAMES) return Tegra2PadNames[gpio];
    if (ProcessorId == PROCESSOR_TEGRA3 && gpio < TEGRA3_PAD_NAMES) return Tegra3PadNames[gpio];
    return "";
}

void GpioName(uint32_t gpio, wchar_t* text) {
    if (!IsTegra(ProcessorId)) {
        wsprintfW(text, L"%d", int(gpio));
        return;
    }
    int port = int(gpio / 8), bit = int(gpio % 8);
    if (port < 26)
        wsprintfW(text, L"%c%d", L'A' + port, bit);
    else
        wsprintfW(text, L"%c%c%d", L'A' + port - 26, L'A' + port - 26, bit);
}
