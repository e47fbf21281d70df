// Settings files: writing, and strict reading.
#include "files/settingsfile.h"
#include "files/wholefile.h"
#include "gpiolib/gpiolib.h"

#include <windows.h>
#include <cstring>
#include <vector>

namespace {

const wchar_t kMagic[] = L"Velmora GPIO settings";
constexpr int kFormatVersion = 1;
constexpr int kHeaderLines = 4;

struct ProcessorNameRow {
    uint32_t processor;
    const wchar_t* name;
};
const ProcessorNameRow kProcessorNames[] = {
    {PROCESSOR_PXA270, L"PXA270"}, {PROCESSOR_PXA320, L"PXA320"},  {PROCESSOR_PXA300, L"PXA300"},
    {PROCESSOR_PXA310, L"PXA310"}, {PROCESSOR_TEGRA2, L"Tegra 2"}, {PROCESSOR_TEGRA3, L"Tegra 3"},
};

// False when the bytes are not UTF-8.
bool Wide(const std::string& text, std::wstring* out) {
    out->clear();
    if (text.empty()) return true;
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()),
                                nullptr, 0);
    if (n <= 0) return false;
    out->resize(size_t(n));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), out->data(),
                        n);
    return true;
}

std::vector<std::wstring> Fields(const std::wstring& line) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find(L'\t', start)) != std::wstring::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

// A text as a message quotes it: at most 40 characters.
std::wstring Quoted(const std::wstring& text) {
    return L"\"" + (text.size() > 40 ? text.substr(0, 40) + L"..." : text) + L"\"";
}

std::wstring GpioText(uint32_t g) {
    wchar_t name[8];
    GpioName(g, name);
    return name;
}

std::wstring AcceptedValues(int field) {
    std::wstring list;
    wchar_t text[16];
    for (int v = -1; v <= 7; ++v) {
        int parsed;
        const wchar_t* own = SettingText(field, v, text);
        if (SettingValueOf(field, own, &parsed) && parsed == v)
            list += (list.empty() ? L"" : L", ") + std::wstring(own);
    }
    return list;
}

// A Tegra pad on a special function shows "-" for its direction and level, a plain GPIO never;
// which of the two a line means, its AltFn says.
bool TegraPadConsistent(unsigned fields, const GpioSettings& s, std::wstring* problem) {
    if (!IsTegra(ProcessorId)) return true;
    bool withAltFn = fields & FieldBit(FIELD_ALTFN);
    bool special = withAltFn && s.value[FIELD_ALTFN] != -1;
    for (int field : {FIELD_DIRECTION, FIELD_LEVEL}) {
        if (!(fields & FieldBit(field)) || (s.value[field] == 2) == special) continue;
        *problem = std::wstring(SettingName(field)) +
                   (!withAltFn ? L" \"-\" (a pad on a special function) needs the AltFn field"
                    : special  ? L" must be \"-\" on a pad set to a special function (AltFn not -1)"
                               : L" cannot be \"-\" on a plain GPIO (AltFn -1)");
        return false;
    }
    return true;
}

// PXA3xx: second pads share their first pad's direction, level and edge detection in the GPIO
// controller.
constexpr unsigned kControllerFields =
    FieldBit(FIELD_DIRECTION) | FieldBit(FIELD_LEVEL) | FieldBit(FIELD_EDGEDET);

struct Parser {
    Configuration config = {};
    int line = 0;                    // of the file, for messages
    int content = 0;                 // lines that are not empty
    std::vector<std::wstring> names; // the "#" text of each GPIO of the list
    std::wstring problem;
    std::vector<int> header; // the settings of the columns after "#"
    int firstLineOf[ROW_CACHE_ENTRIES] = {};

    Parser() {
        for (int g = 0; g < ListGpioCount && g < ROW_CACHE_ENTRIES; ++g)
            names.push_back(GpioText(uint32_t(g)));
    }

    // The GPIO whose "#" text this is; -1 when no row of the list reads so.
    int GpioOf(const std::wstring& text) const {
        for (size_t g = 0; g < names.size(); ++g)
            if (names[g] == text) return int(g);
        return -1;
    }

    bool Fail(const std::wstring& text) {
        problem = (line ? L"line " + std::to_wstring(line) + L": " : L"") + text;
        return false;
    }

    bool Magic(const std::wstring& text) {
        std::vector<std::wstring> f = Fields(text);
        std::wstring magic = kMagic, version = std::to_wstring(kFormatVersion);
        if (f.size() == 2 && f[0] == magic && f[1] != version)
            return Fail(L"format version " + Quoted(f[1]) + L", but this tool reads version " +
                        version);
        if (f.size() != 2 || f[0] != magic)
            return Fail(L"not a settings file of this tool (the first line must be \"" + magic +
                        L"\", a tab and " + version + L")");
        return true;
    }

    bool Processor(const std::wstring& text) {
        std::vector<std::wstring> f = Fields(text);
        if (f.size() != 2 || f[0] != L"Processor")
            return Fail(L"\"Processor\", a tab and the processor's name expected");
        const ProcessorNameRow* found = nullptr;
        for (const ProcessorNameRow& row : kProcessorNames)
            if (f[1] == row.name) found = &row;
        if (!found) return Fail(L"unknown processor " + Quoted(f[1]));
        if (found->processor != ProcessorId)
            return Fail(L"the file is for a " + f[1] + L"; this module has a " +
                        ProcessorName(ProcessorId));
        config.processor = found->processor;
        return true;
    }

    bool Source(const std::wstring& text) {
        std::vector<std::wstring> f = Fields(text);
        if (f.size() != 2 || f[0] != L"Source")
            return Fail(L"\"Source\", a tab and \"Current Settings\" or \"Boot-up Settings\" "
                        L"expected");
        for (int mode : {SETTINGS_CURRENT, SETTINGS_BOOTUP}) {
            if (f[1] != SettingsModeName(mode)) continue;
            if (!SettingFieldsOf(config.processor, mode))
                return Fail(std::wstring(L"the ") + ProcessorName(config.processor) + L" has no " +
                            f[1]);
            config.source = mode;
            return true;
        }
        return Fail(L"unknown source " + Quoted(f[1]) +
                    L" (\"Current Settings\" or \"Boot-up Settings\")");
    }

    bool Header(const std::wstring& text) {
        std::vector<std::wstring> f = Fields(text);
        if (f[0] != L"#") return Fail(L"the header's first field must be \"#\"");
        unsigned allowed = SettingFieldsOf(config.processor, config.source), seen = 0;
        for (size_t i = 1; i < f.size(); ++i) {
            int field = -1;
            for (int s = 0; s < SETTING_FIELD_COUNT; ++s)
                if (f[i] == SettingName(s)) field = s;
            if (field < 0 || !(allowed & FieldBit(field)))
                return Fail(L"the field " + Quoted(f[i]) + L" is no setting of the " +
                            ProcessorName(config.processor) + L" in " +
                            SettingsModeName(config.source));
            if (seen & FieldBit(field)) return Fail(L"the field " + f[i] + L" comes twice");
            seen |= FieldBit(field);
            header.push_back(field);
        }
        if (header.empty()) return Fail(L"the header names no setting");
        return true;
    }

    bool Row(const std::wstring& text) {
        std::vector<std::wstring> f = Fields(text);
        if (f.size() != header.size() + 1)
            return Fail(std::to_wstring(f.size()) + L" fields, but the header has " +
                        std::to_wstring(header.size() + 1));
        int g = GpioOf(f[0]);
        int count = SettingGpioCount(config.processor);
        if (g < 0)
            return Fail(L"no GPIO " + Quoted(f[0]) + L" on the " + ProcessorName(config.processor));
        if (g >= count)
            return Fail(L"GPIO " + f[0] + L" has no settings (the " +
                        ProcessorName(config.processor) + L" has GPIOs " + GpioText(0) + L" to " +
                        GpioText(uint32_t(count - 1)) + L")");
        if (firstLineOf[g])
            return Fail(L"GPIO " + f[0] + L" comes twice (first on line " +
                        std::to_wstring(firstLineOf[g]) + L")");
        GpioSettings s = {};
        unsigned fields = 0;
        for (size_t i = 0; i < header.size(); ++i) {
            int field = header[i];
            if (!SettingValueOf(field, f[i + 1].c_str(), &s.value[field]))
                return Fail(std::wstring(SettingName(field)) + L" " + Quoted(f[i + 1]) +
                            L" is not one of " + AcceptedValues(field));
            fields |= FieldBit(field);
        }
        std::wstring inconsistent;
        if (!TegraPadConsistent(fields, s, &inconsistent))
            return Fail(L"GPIO " + f[0] + L": " + inconsistent);
        // An alias of another GPIO is an input only.
        if (AliasedGpio(config.processor, uint32_t(g)) != uint32_t(g) &&
            (fields & FieldBit(FIELD_DIRECTION)) && s.value[FIELD_DIRECTION] == 1)
            return Fail(L"GPIO 0 can not be set to output");
        firstLineOf[g] = line;
        config.fields[g] = uint8_t(fields);
        config.gpio[g] = s;
        return SharedPadsAgree(uint32_t(g));
    }

    bool SharedPadsAgree(uint32_t g) {
        if (!IsPxa3xx(config.processor)) return true;
        uint32_t first = g >= PXA_SECOND_PADS ? g - PXA_SECOND_PADS : g,
                 second = first + PXA_SECOND_PADS;
        if (second >= uint32_t(SettingGpioCount(config.processor)) || !config.fields[first] ||
            !config.fields[second])
            return true;
        unsigned both = config.fields[first] & config.fields[second] & kControllerFields;
        if (!DifferingFields(config.gpio[first], config.source, config.gpio[second], config.source,
                             both))
            return true;
        uint32_t other = g == first ? second : first;
        return Fail(L"GPIO " + GpioText(second) +
                    L" shares its direction, level and edge "
                    L"detection with GPIO " +
                    GpioText(first) + L", which line " + std::to_wstring(firstLineOf[other]) +
                    L" sets otherwise");
    }
};

} // namespace

const wchar_t* ProcessorName(uint32_t processor) {
    for (const ProcessorNameRow& row : kProcessorNames)
        if (row.processor == processor) return row.name;
    return nullptr;
}

const wchar_t* SettingsModeName(int settingsMode) {
    return settingsMode == SETTINGS_BOOTUP ? L"Boot-up Settings" : L"Current Settings";
}

std::string SettingsFileText(const Configuration& c) {
    std::wstring text = std::wstring(kMagic) + L"\t" + std::to_wstring(kFormatVersion) +
                        L"\r\nProcessor\t" + ProcessorName(c.processor) + L"\r\nSource\t" +
                        SettingsModeName(c.source) + L"\r\n#";
    unsigned fields = SettingFieldsOf(c.processor, c.source);
    for (int f = 0; f < SETTING_FIELD_COUNT; ++f)
        if (fields & FieldBit(f)) text += std::wstring(L"\t") + SettingName(f);
    text += L"\r\n";
    wchar_t value[16];
    for (uint32_t g = 0; g < ROW_CACHE_ENTRIES; ++g) {
        if (!c.fields[g]) continue;
        text += GpioText(g);
        for (int f = 0; f < SETTING_FIELD_COUNT; ++f)
            if (fields & FieldBit(f))
                text += std::wstring(L"\t") + SettingText(f, c.gpio[g].value[f], value);
        text += L"\r\n";
    }
    return Utf8(text);
}

bool ParseSettingsFile(const std::string& text, Configuration* out, std::wstring* problem) {
    Parser p;
    if (text.empty()) {
        *problem = L"the file is empty";
        return false;
    }
    if (text.size() >= 2 &&
        ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF'))) {
        *problem = L"UTF-16 text; a settings file is UTF-8 (save it as UTF-8)";
        return false;
    }
    size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        *problem = L"not a text file (a NUL byte at offset " + std::to_wstring(nul) + L")";
        return false;
    }
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0; // a UTF-8 byte-order mark
    bool ok = true;
    while (ok && start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string bytes = text.substr(start, end - start);
        start = end + 1;
        ++p.line;
        if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
        std::wstring line;
        if (!Wide(bytes, &line)) {
            ok = p.Fail(L"not UTF-8 text");
            break;
        }
        if (line.empty()) continue;
        switch (++p.content) {
        case 1: ok = p.Magic(line); break;
        case 2: ok = p.Processor(line); break;
        case 3: ok = p.Source(line); break;
        case 4: ok = p.Header(line); break;
        default: ok = p.Row(line); break;
        }
    }
    if (ok && p.content < kHeaderLines) {
        p.line = 0;
        ok = p.Fail(L"the file ends before its header (four lines: the format, \"Processor\", "
                    L"\"Source\", the fields)");
    }
    if (!ok) {
        *problem = p.problem;
        return false;
    }
    *out = p.config;
    return true;
}

bool WriteSettingsFile(const wchar_t* path, const Configuration& c, std::wstring* problem) {
    return WriteWholeFile(path, SettingsFileText(c), problem);
}

bool ReadSettingsFile(const wchar_t* path, Configuration* out, std::wstring* problem) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *problem = SystemText(GetLastError());
        return false;
    }
    LARGE_INTEGER size = {};
    std::string text;
    bool ok = false;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
        *problem = L"not a plain file";
    } else if (size.QuadPart > kMaxSettingsFileBytes) {
        *problem = L"too large for a settings file (" + std::to_wstring(size.QuadPart) +
                   L" bytes; a settings file has at most " +
                   std::to_wstring(kMaxSettingsFileBytes) + L")";
    } else {
        // One byte more than the size said: a file that grew meanwhile is caught too.
        text.resize(size_t(size.QuadPart) + 1);
        DWORD got = 0;
        ok = ReadFile(file, text.data(), DWORD(text.size()), &got, nullptr);
        if (!ok)
            *problem = SystemText(GetLastError());
        else if (got > kMaxSettingsFileBytes)
            ok = false, *problem = L"too large for a settings file";
        text.resize(got);
    }
    CloseHandle(file);
    return ok && ParseSettingsFile(text, out, problem);
}
