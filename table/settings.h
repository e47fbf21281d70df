// A GPIO's settings: what the tool can change on it, with the values and texts the table shows.
// Files, the comparison and the import all speak of settings in these terms.
#pragma once
#include "table/table.h"

#include <cstdint>

// The settings, in the order of their columns. Values are those of the RowCache.
enum SettingField {
    FIELD_ALTFN,     // alternate function; -1 a plain Tegra GPIO
    FIELD_DIRECTION, // DirText: 0 input, 1 output, 2 a Tegra pad on a special function
    FIELD_LEVEL,     // LevelText: 0, 1, 2 as for the direction
    FIELD_EDGEDET,   // EdgeDetectText (PXA, Current Settings)
    FIELD_TRISTATE,  // TristateText (Tegra)
    FIELD_PULLSTATE, // PullStateText (Tegra)
    SETTING_FIELD_COUNT
};
constexpr unsigned FieldBit(int field) {
    return 1u << field;
}

// The column a setting is shown in; its header names the setting in files.
ColumnSlotIndex SettingSlot(int field);
const wchar_t* SettingName(int field);
// The fields that are settings on a processor in a SettingsMode (0 on a processor without the
// mode): PXA Current Settings: AltFn, Direction, Level, EdgeDet; PXA Boot-up Settings:
// Direction, Level, and AltFn on the PXA270 (the PXA3xx block holds no functions); Tegra
// Current Settings: AltFn, Direction, Level, Tristate, PullState.
unsigned SettingFieldsOf(uint32_t processor, int settingsMode);

// GPIOs that have settings: GPIOLib's GPIO count (the last Tegra 3 row has none).
int SettingGpioCount(uint32_t processor);

struct GpioSettings {
    int value[SETTING_FIELD_COUNT];
};

// The settings of a module or a file, as far as it holds them.
struct Configuration {
    uint32_t processor;
    int source;                           // SettingsMode it describes
    uint8_t fields[ROW_CACHE_ENTRIES];    // FieldBit()s held per GPIO; 0: the GPIO is not in it
    GpioSettings gpio[ROW_CACHE_ENTRIES]; // what it holds
};

// A GPIO's settings read through GPIOLib as the table would show them (fields: which to read).
GpioSettings ReadGpioSettings(uint32_t g, unsigned fields);
// Every setting of every GPIO through GPIOLib, which works on what `settingsMode` names.
void ReadSettings(Configuration* out, int settingsMode);

// Where a level is a setting: on an output, and for every GPIO of a boot-up configuration (its
// block stores a level for each). The level of an input is the signal outside.
bool LevelIsSetting(const GpioSettings& s, int source);
// A side that does not hold a GPIO's direction takes the other side's, for the level rule.
GpioSettings WithDirection(const GpioSettings& s, unsigned held, const GpioSettings& other);
// The fields among `fields` in which two sides differ; a level only where it is a setting on
// both sides.
unsigned DifferingFields(const GpioSettings& a, int aSource, const GpioSettings& b, int bSource,
                         unsigned fields);

// A value as the table shows it. text holds at least 16 characters and may receive it.
const wchar_t* SettingText(int field, int value, wchar_t* text);
// The value a text stands for in a field on the processor in use; false when no value of the
// field reads so (AltFn: the function numbers the processor has; "-" only on Tegra).
bool SettingValueOf(int field, const wchar_t* text, int* value);
