// Compare marks: the shown table (the RowCache) against another configuration.
#include "table/compare.h"
#include "table/altfn.h"

#include <cstring>

namespace {

Configuration g_other;
bool g_active;
std::wstring g_name;
uint16_t g_marked[ROW_CACHE_ENTRIES]; // one bit per ColumnSlot

constexpr unsigned SlotBit(int slot) {
    return 1u << slot;
}

GpioSettings CachedSettings(uint32_t g) {
    GpioSettings s = {};
    s.value[FIELD_ALTFN] = CachedAltFn[g];
    s.value[FIELD_DIRECTION] = CachedDir[g];
    s.value[FIELD_LEVEL] = CachedLevel[g];
    s.value[FIELD_EDGEDET] = CachedEdgeDetect[g];
    s.value[FIELD_TRISTATE] = CachedTristate[g];
    s.value[FIELD_PULLSTATE] = CachedPullState[g];
    return s;
}

// The settings whose cells are shown: the RowCache holds only those (the function always).
unsigned ShownFields() {
    unsigned fields = 0;
    for (int f = 0; f < SETTING_FIELD_COUNT; ++f)
        if (ColumnShown(SettingSlot(f))) fields |= FieldBit(f);
    if (ColumnShown(SLOT_ALTFNNAME)) fields |= FieldBit(FIELD_ALTFN);
    return fields;
}

unsigned MarkedSlots(uint32_t g) {
    if (!g_active || g >= uint32_t(SettingGpioCount(ProcessorId))) return 0;
    unsigned fields =
        SettingFieldsOf(ProcessorId, SettingsMode) & g_other.fields[g] & ShownFields();
    GpioSettings own = CachedSettings(g);
    unsigned differing =
        DifferingFields(own, SettingsMode, WithDirection(g_other.gpio[g], g_other.fields[g], own),
                        g_other.source, fields);
    unsigned slots = 0;
    for (int f = 0; f < SETTING_FIELD_COUNT; ++f)
        if (differing & FieldBit(f)) slots |= SlotBit(SettingSlot(f));
    if (differing & FieldBit(FIELD_ALTFN)) slots |= SlotBit(SLOT_ALTFNNAME);
    return slots;
}

} // namespace

void SetComparison(const Configuration* other, const wchar_t* name) {
    g_active = other != nullptr;
    if (other) g_other = *other;
    g_name = name ? name : L"";
    for (uint32_t g = 0; g < ROW_CACHE_ENTRIES; ++g)
        UpdateMarks(g);
}

bool ComparisonActive() {
    return g_active;
}

bool UpdateMarks(uint32_t g) {
    if (g >= ROW_CACHE_ENTRIES) return false;
    uint16_t marks = uint16_t(MarkedSlots(g));
    bool changed = marks != g_marked[g];
    g_marked[g] = marks;
    return changed;
}

bool CellMarked(uint32_t g, int slot) {
    return g < ROW_CACHE_ENTRIES && slot >= 0 && slot < COLUMN_SLOT_COUNT &&
           (g_marked[g] & SlotBit(slot)) != 0;
}

bool RowDiffers(uint32_t g) {
    return g < ROW_CACHE_ENTRIES && g_marked[g] != 0;
}

std::wstring ComparedText(uint32_t g, int slot) {
    if (!CellMarked(g, slot)) return L"";
    const GpioSettings& other = g_other.gpio[g];
    wchar_t text[32];
    const wchar_t* value;
    if (slot == SLOT_ALTFNNAME) {
        // The PXA270's names depend on the direction: the other side's, where it has one.
        bool ownDir = (g_other.fields[g] & FieldBit(FIELD_DIRECTION)) &&
                      other.value[FIELD_DIRECTION] != CachedDir[g];
        value = GetAltFnName(g, ownDir ? other.value[FIELD_DIRECTION] : CachedDir[g],
                             other.value[FIELD_ALTFN]);
    } else {
        int field = FIELD_ALTFN;
        for (int f = 0; f < SETTING_FIELD_COUNT; ++f)
            if (SettingSlot(f) == slot) field = f;
        value = SettingText(field, other.value[field], text);
    }
    return g_name + L": " + value;
}
