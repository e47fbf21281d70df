// Stored preferences: the evaluation board and which list columns are shown.
#include "app/app.h"
#include "table/shared.h"

namespace {

struct StoredValue {
    const wchar_t* name;
    int* variable;
};

// In the order in which they are read and written.
const StoredValue kStoredValues[] = {
    {L"EvalbRevID", &EvalbRevID},
    {L"g_ColAltFn", &ColumnSlots[SLOT_ALTFN]},
    {L"g_ColDir", &ColumnSlots[SLOT_DIRECTION]},
    {L"g_ColLevel", &ColumnSlots[SLOT_LEVEL]},
    {L"g_ColEdgeDet", &ColumnSlots[SLOT_EDGEDET]},
    {L"g_ColEdgeStat", &ColumnSlots[SLOT_EDGESTAT]},
    {L"g_ColPin", &ColumnSlots[SLOT_PIN]},
    {L"g_ColEvalLoc", &ColumnSlots[SLOT_EVALLOC]},
    {L"g_ColEvalFnName", &ColumnSlots[SLOT_EVALFNNAME]},
    {L"g_ColTristate", &ColumnSlots[SLOT_TRISTATE]},
    {L"g_ColGroupName", &ColumnSlots[SLOT_GROUP]},
    {L"g_ColPullState", &ColumnSlots[SLOT_PULLSTATE]},
    {L"g_ColEdges", &ColumnSlots[SLOT_EDGES]},
    {L"g_ColActivity", &ColumnSlots[SLOT_ACTIVITY]},
};

const ColumnSlotIndex kMenuOrder[COLUMN_SLOT_COUNT] = {
    SLOT_GPIO,  SLOT_PINNAME,   SLOT_ALTFNNAME,  SLOT_ALTFN,    SLOT_DIRECTION, SLOT_LEVEL,
    SLOT_PIN,   SLOT_EVALLOC,   SLOT_EVALFNNAME, SLOT_EDGEDET,  SLOT_EDGESTAT,  SLOT_TRISTATE,
    SLOT_GROUP, SLOT_PULLSTATE, SLOT_EDGES,      SLOT_ACTIVITY,
};

} // namespace

void LoadPreferences() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, PREFERENCES_READ_KEY, 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS)
        return;
    for (const StoredValue& value : kStoredValues) {
        // Only what this tool writes counts: a value of another type (a string, bytes, a
        // 64-bit number left by another version or typed by hand) or of another size is as
        // good as missing, though four of its bytes would read as a number.
        DWORD data = 0, size = sizeof data, type = REG_NONE;
        if (RegQueryValueExW(key, value.name, nullptr, &type, reinterpret_cast<BYTE*>(&data),
                             &size) != ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof data)
            continue;
        // A board number no table knows would index past the board tables: keep the default.
        if (value.variable == &EvalbRevID && data >= EVALB_COUNT) continue;
        *value.variable = int(data);
    }
    RegCloseKey(key);
}

void StorePreferences() {
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, PREFERENCES_WRITE_KEY, 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    for (const StoredValue& value : kStoredValues) {
        DWORD data = DWORD(*value.variable);
        RegSetValueExW(key, value.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                       sizeof data);
    }
    RegCloseKey(key);
}

void FillColumnMenuOrder() {
    for (int i = 0; i < COLUMN_SLOT_COUNT; ++i)
        ColumnMenuOrder[i] = &ColumnSlots[kMenuOrder[i]];
}
