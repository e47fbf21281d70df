// A GPIO's settings, read through GPIOLib, compared and written as the table's texts.
#include "table/settings.h"
#include "gpiolib/gpiolib.h"

#include <cwchar>

namespace {

struct SettingDef {
    ColumnSlotIndex slot;
    const wchar_t* const* texts; // indexed by value; null: the value is a number
    int textCount;
};

template <size_t N> constexpr SettingDef Texts(ColumnSlotIndex slot, const wchar_t* const (&t)[N]) {
    return {slot, t, int(N)};
}

const SettingDef kSettings[SETTING_FIELD_COUNT] = {
    {SLOT_ALTFN, nullptr, 0},           Texts(SLOT_DIRECTION, DirText),
    Texts(SLOT_LEVEL, LevelText),       Texts(SLOT_EDGEDET, EdgeDetectText),
    Texts(SLOT_TRISTATE, TristateText), Texts(SLOT_PULLSTATE, PullStateText),
};

constexpr int kNotGpio = 2; // DirText and LevelText: "-"

// The alternate functions the function popups offer.
void AltFnRange(int* first, int* last) {
    *first = IsTegra(ProcessorId) ? -1 : 0;
    *last = IsTegra(ProcessorId) ? 3 : ProcessorId == PROCESSOR_PXA270 ? 3 : 7;
}

} // namespace

ColumnSlotIndex SettingSlot(int field) {
    return kSettings[field].slot;
}

const wchar_t* SettingName(int field) {
    for (const ColumnDef& column : Columns)
        if (column.slot == SettingSlot(field)) return column.header;
    return L"";
}

unsigned SettingFieldsOf(uint32_t processor, int settingsMode) {
    unsigned common = FieldBit(FIELD_DIRECTION) | FieldBit(FIELD_LEVEL);
    if (IsTegra(processor))
        return settingsMode == SETTINGS_CURRENT
                   ? common | FieldBit(FIELD_ALTFN) | FieldBit(FIELD_TRISTATE) |
                         FieldBit(FIELD_PULLSTATE)
                   : 0;
    if (!IsPxa(processor)) return 0;
    if (settingsMode == SETTINGS_CURRENT)
        return common | FieldBit(FIELD_ALTFN) | FieldBit(FIELD_EDGEDET);
    return common | (processor == PROCESSOR_PXA270 ? FieldBit(FIELD_ALTFN) : 0);
}

int SettingGpioCount(uint32_t processor) {
    const ProcessorFacts* facts = FindProcessorFacts(processor);
    return facts ? int(facts->gpioCount) : 0;
}

GpioSettings ReadGpioSettings(uint32_t g, unsigned fields) {
    GpioSettings s = {};
    int a = GetGPIOAltFn(g);
    s.value[FIELD_ALTFN] = a;
    // A Tegra pad on a special function has no GPIO direction or level to show.
    bool notGpio = IsTegra(ProcessorId) && a != -1;
    if (fields & FieldBit(FIELD_DIRECTION))
        s.value[FIELD_DIRECTION] = notGpio ? kNotGpio : GetGPIODir(g);
    if (fields & FieldBit(FIELD_LEVEL)) s.value[FIELD_LEVEL] = notGpio ? kNotGpio : GetGPIOLevel(g);
    if (fields & FieldBit(FIELD_EDGEDET)) s.value[FIELD_EDGEDET] = GetGPIOEdgeDetect(g);
    if (fields & FieldBit(FIELD_TRISTATE)) s.value[FIELD_TRISTATE] = GetGPIOTristate(g);
    if (fields & FieldBit(FIELD_PULLSTATE)) s.value[FIELD_PULLSTATE] = GetGPIOPullState(g);
    return s;
}

void ReadSettings(Configuration* out, int settingsMode) {
    out->processor = ProcessorId;
    out->source = settingsMode;
    unsigned fields = SettingFieldsOf(ProcessorId, settingsMode);
    int count = SettingGpioCount(ProcessorId);
    for (int g = 0; g < ROW_CACHE_ENTRIES; ++g) {
        out->fields[g] = g < count ? uint8_t(fields) : 0;
        out->gpio[g] = g < count ? ReadGpioSettings(uint32_t(g), fields) : GpioSettings{};
    }
}

bool LevelIsSetting(const GpioSettings& s, int source) {
    return source == SETTINGS_BOOTUP || s.value[FIELD_DIRECTION] == 1;
}

GpioSettings WithDirection(const GpioSettings& s, unsigned held, const GpioSettings& other) {
    GpioSettings result = s;
    if (!(held & FieldBit(FIELD_DIRECTION)))
        result.value[FIELD_DIRECTION] = other.value[FIELD_DIRECTION];
    return result;
}

unsigned DifferingFields(const GpioSettings& a, int aSource, const GpioSettings& b, int bSource,
                         unsigned fields) {
    if (!LevelIsSetting(a, aSource) || !LevelIsSetting(b, bSource))
        fields &= ~FieldBit(FIELD_LEVEL);
    unsigned differing = 0;
    for (int f = 0; f < SETTING_FIELD_COUNT; ++f)
        if ((fields & FieldBit(f)) && a.value[f] != b.value[f]) differing |= FieldBit(f);
    return differing;
}

const wchar_t* SettingText(int field, int value, wchar_t* text) {
    const SettingDef& def = kSettings[field];
    if (!def.texts) {
        wsprintfW(text, L"%d", value);
        return text;
    }
    return value >= 0 && value < def.textCount ? def.texts[value] : NoValueText;
}

bool SettingValueOf(int field, const wchar_t* text, int* value) {
    const SettingDef& def = kSettings[field];
    int first = 0, last = def.textCount - 1;
    if (!def.texts) AltFnRange(&first, &last);
    // "-" (not a GPIO) exists on Tegra only. Pull 3 ("RSVD") is no popup choice, but a module
    // may hold it, so its export must read back.
    if ((field == FIELD_DIRECTION || field == FIELD_LEVEL) && !IsTegra(ProcessorId)) --last;
    wchar_t own[16];
    for (int v = first; v <= last; ++v) {
        if (wcscmp(SettingText(field, v, own), text) != 0) continue;
        *value = v;
        return true;
    }
    return false;
}
