// Which rows the list shows: a row stays when every word of the find text occurs in the text of
// some shown column of that row (case ignored) and, with "Differing Rows Only" on, when a cell
// of it is marked. The build inserts only these rows; a change of the words or of the compare
// choice adds and removes rows (RefilterGpioList), while the refresh never does.
#include "table/filter.h"
#include "table/cells.h"
#include "table/compare.h"
#include "table/modulepin.h"

#include <cwchar>
#include <string>
#include <vector>

namespace {

// The words, lower-cased; none: every row is shown.
std::vector<std::wstring> g_words;
bool g_differingOnly;

bool IsSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

} // namespace

bool ColumnSeen(const ColumnDef& column) {
    return ColumnShown(column.slot) &&
           !(SettingsMode == SETTINGS_BOOTUP && column.zeroWidthInBootup);
}

void SetFindText(const wchar_t* text) {
    g_words.clear();
    for (const wchar_t* c = text ? text : L""; *c;) {
        while (IsSpace(*c))
            ++c;
        const wchar_t* start = c;
        while (*c && !IsSpace(*c))
            ++c;
        if (c == start) continue;
        std::wstring word(start, c);
        CharLowerBuffW(word.data(), DWORD(word.size()));
        g_words.push_back(word);
    }
}

bool FindActive() {
    return !g_words.empty();
}

void ShowDifferingRowsOnly(bool on) {
    g_differingOnly = on;
}

bool DifferingRowsOnly() {
    return g_differingOnly;
}

bool RowShown(uint32_t gpio) {
    if (g_differingOnly && ComparisonActive() && !RowDiffers(gpio)) return false;
    if (g_words.empty()) return true;
    // The seen cells' texts, lower-cased, one line each: no word (it has no line break) can
    // match across two cells.
    int pin = -1;
    GetModulePinName(gpio, &pin);
    std::wstring text;
    wchar_t buffer[CELL_TEXT_SIZE];
    for (const ColumnDef& column : Columns) {
        if (!ColumnSeen(column)) continue;
        text += GpioCellText(column.slot, gpio, pin, buffer);
        text += L'\n';
    }
    CharLowerBuffW(text.data(), DWORD(text.size()));
    for (const std::wstring& word : g_words)
        if (!wcsstr(text.c_str(), word.c_str())) return false;
    return true;
}
