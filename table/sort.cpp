// Sorting: the list control compares rows by GPIO number, with keys from the RowCache and the
// name look-ups (as the last build filled them), never from the cell texts.
//
// Texts compare in plain code-unit order (ordinal): fast, the same on every platform and
// locale, and every fixed text of the table sorts the same as under a case-folded or locale
// collation.
#include "table/table.h"
#include "gpiolib/gpiolib.h"
#include "table/altfn.h"
#include "table/evalboard.h"
#include "table/modulepin.h"
#include "activity/history.h"

#include <cstring>
#include <cwchar>

namespace {

constexpr int kKeySize = 32;

// The list column the user last sorted by; -1 while the rows are in GPIO order.
int g_sortColumn = -1;

int Numeric(uint32_t a, uint32_t b) {
    return a == b ? 0 : a < b ? -1 : 1;
}

const wchar_t* AltFnKey(uint32_t g) {
    return GetAltFnName(g, CachedDir[g], CachedAltFn[g]);
}

// Edges within the time the Activity pictures show. The pictures stand still while the list's
// thread sorts, so each key is taken once per position of the pictures: a sort sees every row's
// key unchanged, however busy the pins are meanwhile.
uint32_t g_activityKey[ROW_CACHE_ENTRIES];
uint64_t g_activityKeyEnd[ROW_CACHE_ENTRIES];

uint32_t ActivityKey(uint32_t g) {
    uint64_t end = ShownActivityEndUs();
    if (!end) end = LastSampleUs();
    if (g_activityKeyEnd[g] != end + 1) {
        g_activityKey[g] = ActivityEdges(g, end);
        g_activityKeyEnd[g] = end + 1;
    }
    return g_activityKey[g];
}

template <typename T> int Order(T a, T b) {
    return a == b ? 0 : a < b ? -1 : 1;
}

int ModulePin(uint32_t g) {
    int pin = -1;
    GetModulePinName(g, &pin);
    return pin;
}

} // namespace

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM column) {
    uint32_t g1 = uint32_t(first), g2 = uint32_t(second);
    if (g1 >= ROW_CACHE_ENTRIES || g2 >= ROW_CACHE_ENTRIES) return Numeric(g1, g2);
    // The "GPIO %d" names share one buffer: the second row's name is copied first, then the
    // first row's is produced and compared with the copy.
    wchar_t key[kKeySize];
    switch (ColumnSlotAt(int(column))) {
    case SLOT_GPIO:
    case SLOT_ALTFN: return Numeric(g1, g2);
    case SLOT_ALTFNNAME: lstrcpynW(key, AltFnKey(g2), kKeySize); return wcscmp(AltFnKey(g1), key);
    case SLOT_DIRECTION:
        return wcscmp(TextOf(DirText, CachedDir[g1]), TextOf(DirText, CachedDir[g2]));
    case SLOT_PIN: return wcscmp(GetModulePinName(g1, nullptr), GetModulePinName(g2, nullptr));
    case SLOT_EVALLOC: return wcscmp(GetEvalLoc(ModulePin(g1)), GetEvalLoc(ModulePin(g2)));
    case SLOT_EVALFNNAME: return wcscmp(GetEvalFnName(ModulePin(g1)), GetEvalFnName(ModulePin(g2)));
    case SLOT_GROUP: {
        char group1[8] = {}, group2[8] = {};
        GetGPIOPinGroup(g1, group1);
        GetGPIOPinGroup(g2, group2);
        return strcmp(group1, group2);
    }
    case SLOT_PINNAME: return strcmp(PadName(g1), PadName(g2));
    case SLOT_PULLSTATE:
        return wcscmp(TextOf(PullStateText, CachedPullState[g1]),
                      TextOf(PullStateText, CachedPullState[g2]));
    case SLOT_EDGES: return Order(CachedEdges[g1], CachedEdges[g2]);
    case SLOT_ACTIVITY: return Order(ActivityKey(g1), ActivityKey(g2));
    default: return 0; // "Level", "EdgeDet", "EdgeStat", "Tristate": every pair is equal
    }
}

void SortGpioList(HWND list, int column) {
    g_sortColumn = column;
    SendMessageW(list, LVM_SORTITEMS, WPARAM(column), reinterpret_cast<LPARAM>(CompareRows));
}

int SortColumn() {
    return g_sortColumn;
}

void ForgetSortOrder() {
    g_sortColumn = -1;
}
