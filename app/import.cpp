// Import: a file's settings into the module's pins or the boot-up image, pin by pin, each pin
// read back before the next, so that a setting the module does not take stops the import with a
// true account of what changed.
#include "app/files.h"
#include "app/bootcfg.h"
#include "files/settingsfile.h"
#include "gpiolib/gpiolib.h"

namespace {

constexpr int kNotGpio = 2; // direction and level of a Tegra pad on a special function

unsigned ModeFields() {
    return SettingFieldsOf(ProcessorId, SettingsMode);
}

// The pin's writes. An output gets its level before it drives (a pin turned into an output
// starts at the file's level, not at an old latch); the Tegra function change sets the pad's
// tristate, so a tristate the file holds follows it.
void ApplyPin(uint32_t g, const GpioSettings& t, unsigned has, unsigned changes) {
    int dir = (has & FieldBit(FIELD_DIRECTION)) && t.value[FIELD_DIRECTION] != kNotGpio
                  ? t.value[FIELD_DIRECTION]
                  : GetGPIODir(g);
    bool level = (has & FieldBit(FIELD_LEVEL)) && t.value[FIELD_LEVEL] != kNotGpio;
    if (level && dir == 1 && changes) ApplyLevel(g, uint32_t(t.value[FIELD_LEVEL]));
    if (changes & FieldBit(FIELD_ALTFN)) SetGPIOAltFn(g, t.value[FIELD_ALTFN], uint32_t(dir));
    if ((changes & FieldBit(FIELD_DIRECTION)) && t.value[FIELD_DIRECTION] != kNotGpio)
        ApplyDirection(g, uint32_t(t.value[FIELD_DIRECTION]));
    if (level && (changes & FieldBit(FIELD_LEVEL))) ApplyLevel(g, uint32_t(t.value[FIELD_LEVEL]));
    if (changes & FieldBit(FIELD_EDGEDET)) SetGPIOEdgeDetect(g, uint32_t(t.value[FIELD_EDGEDET]));
    if ((changes & FieldBit(FIELD_TRISTATE)) ||
        ((changes & FieldBit(FIELD_ALTFN)) && (has & FieldBit(FIELD_TRISTATE))))
        SetGPIOTristate(g, uint32_t(t.value[FIELD_TRISTATE]));
    if (changes & FieldBit(FIELD_PULLSTATE))
        SetGPIOPullState(g, uint32_t(t.value[FIELD_PULLSTATE]));
}

std::wstring PinList(const std::wstring& pins, int count) {
    return pins + L" (" + std::to_wstring(count) + (count == 1 ? L" pin)" : L" pins)");
}

} // namespace

std::wstring GpioLabel(uint32_t g) {
    wchar_t name[8];
    GpioName(g, name);
    return std::wstring(L"GPIO ") + name;
}

bool CheckImportable(const Configuration& file, std::wstring* problem) {
    unsigned held = 0;
    for (uint8_t fields : file.fields)
        held |= fields;
    unsigned missing = held & ~ModeFields();
    if (!missing) return true;
    std::wstring names;
    for (int f = 0; f < SETTING_FIELD_COUNT; ++f)
        if (missing & FieldBit(f))
            names += (names.empty() ? L"" : L", ") + std::wstring(SettingName(f));
    *problem = L"the file sets " + names + L", which the " + SettingsModeName(SettingsMode) +
               L" do not hold (remove " +
               (missing & (missing - 1) ? L"those fields" : L"that field") +
               L" to import it there)";
    return false;
}

void PlanImport(const Configuration& file, ImportPlan* plan) {
    *plan = ImportPlan{};
    int count = SettingGpioCount(ProcessorId);
    for (int g = 0; g < count && g < ROW_CACHE_ENTRIES; ++g) {
        unsigned fields = file.fields[g] & ModeFields();
        if (!fields) continue;
        GpioSettings now = ReadGpioSettings(uint32_t(g), fields | FieldBit(FIELD_DIRECTION));
        GpioSettings target = WithDirection(file.gpio[g], file.fields[g], now);
        unsigned changes = DifferingFields(now, SettingsMode, target, file.source, fields);
        plan->changes[g] = changes;
        for (unsigned c = changes; c; c &= c - 1)
            ++plan->settings;
        if (changes) ++plan->pins;
    }
}

bool ApplyImport(const Configuration& file, const ImportPlan& plan, std::wstring* report) {
    std::wstring changed;
    int changedCount = 0;
    for (uint32_t g = 0; g < ROW_CACHE_ENTRIES; ++g) {
        unsigned changes = plan.changes[g];
        if (!changes) continue;
        unsigned has = file.fields[g] & ModeFields();
        const GpioSettings& target = file.gpio[g];
        ApplyPin(g, target, has, changes);
        GpioSettings now = ReadGpioSettings(g, has | FieldBit(FIELD_DIRECTION));
        unsigned refused =
            DifferingFields(now, SettingsMode, WithDirection(target, has, now), file.source, has);
        if (!refused) {
            changed += (changedCount++ ? L", " : L"") + GpioLabel(g);
            continue;
        }
        int field = 0;
        while (!(refused & FieldBit(field)))
            ++field;
        wchar_t text[16];
        *report = L"The module did not take " + std::wstring(SettingName(field)) + L" " +
                  SettingText(field, target.value[field], text) + L" on " + GpioLabel(g) +
                  L"; the import stopped there.";
        if (changes & ~refused) *report += L"\r\nIts other settings were changed.";
        *report += changedCount
                       ? L"\r\nPins changed before it: " + PinList(changed, changedCount) + L"."
                       : std::wstring(L"\r\nNo pin was changed before it.");
        return false;
    }
    return true;
}
