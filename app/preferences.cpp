// Stored preferences: the evaluation board and which list columns are shown.
#include "app/app.h"
#include "app/files.h"
#include "table/shared.h"

#include <iterator>

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

// The window's placement, after the values above: left, top, width, height (the normal
// rectangle, in pixels) and 1 when the window was maximised, else 0.
const wchar_t* const kPlacementNames[] = {L"WindowLeft", L"WindowTop", L"WindowWidth",
                                          L"WindowHeight", L"WindowMaximized"};

// Only what this tool writes counts: a value of another type (a string, bytes, a 64-bit number
// left by another version or typed by hand) or of another size is as good as missing, though
// four of its bytes would read as a number.
bool ReadDword(HKEY key, const wchar_t* name, DWORD* data) {
    DWORD size = sizeof *data, type = REG_NONE;
    return RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
               ERROR_SUCCESS &&
           type == REG_DWORD && size == sizeof *data;
}

void WriteDword(HKEY key, const wchar_t* name, DWORD data) {
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

void LoadPlacement(HKEY key) {
    DWORD values[std::size(kPlacementNames)];
    for (size_t i = 0; i < std::size(kPlacementNames); ++i)
        if (!ReadDword(key, kPlacementNames[i], &values[i])) return;
    if (values[4] > 1) return;
    g_windowPlacement = {true,           int(values[0]), int(values[1]),
                         int(values[2]), int(values[3]), values[4] == 1};
}

void StorePlacement(HKEY key) {
    const WindowPlacementValues& p = g_windowPlacement;
    if (!p.known) return;
    const DWORD values[] = {DWORD(p.left), DWORD(p.top), DWORD(p.width), DWORD(p.height),
                            p.maximised ? 1u : 0u};
    for (size_t i = 0; i < std::size(kPlacementNames); ++i)
        WriteDword(key, kPlacementNames[i], values[i]);
}

// The folder of the last settings file: a string, kept only once a file was chosen. Only a
// whole string of this tool counts, as for the numbers.
const wchar_t kSettingsFolderValue[] = L"SettingsFolder";

void LoadSettingsFolder(HKEY key) {
    wchar_t folder[MAX_PATH] = L"";
    DWORD size = sizeof folder, type = REG_NONE;
    if (RegQueryValueExW(key, kSettingsFolderValue, nullptr, &type, reinterpret_cast<BYTE*>(folder),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ || size < sizeof(wchar_t) || size % sizeof(wchar_t) ||
        folder[size / sizeof(wchar_t) - 1] != 0)
        return;
    SettingsFolder = folder;
}

void StoreSettingsFolder(HKEY key) {
    if (SettingsFolder.empty() || SettingsFolder.size() >= MAX_PATH) return;
    RegSetValueExW(key, kSettingsFolderValue, 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(SettingsFolder.c_str()),
                   DWORD((SettingsFolder.size() + 1) * sizeof(wchar_t)));
}

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
        DWORD data = 0;
        if (!ReadDword(key, value.name, &data)) continue;
        // A board number no table knows would index past the board tables: keep the default.
        if (value.variable == &EvalbRevID && data >= EVALB_COUNT) continue;
        *value.variable = int(data);
    }
    LoadPlacement(key);
    LoadSettingsFolder(key);
    RegCloseKey(key);
}

void StorePreferences() {
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, PREFERENCES_WRITE_KEY, 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    for (const StoredValue& value : kStoredValues)
        WriteDword(key, value.name, DWORD(*value.variable));
    StorePlacement(key);
    StoreSettingsFolder(key);
    RegCloseKey(key);
}

void FillColumnMenuOrder() {
    for (int i = 0; i < COLUMN_SLOT_COUNT; ++i)
        ColumnMenuOrder[i] = &ColumnSlots[kMenuOrder[i]];
}
