// The window's settings files: "Export Settings...", "Import Settings..." and the "Compare"
// menu. Files are chosen with the common file dialogs, starting in the folder of the last one.
#include "app/files.h"
#include "app/bootcfg.h"
#include "app/dialog.h"
#include "files/settingsfile.h"
#include "table/compare.h"
#include "table/filter.h"
#include "table/marks.h"
#include "table/table.h"

#include <commdlg.h>

std::wstring SettingsFolder;

namespace {

enum CompareSource { COMPARE_NOTHING, COMPARE_BOOTUP, COMPARE_DEFAULTS, COMPARE_FILE };
CompareSource g_source;

HWND List(HWND dialog) {
    return GetDlgItem(dialog, IDC_GPIOLIST);
}

} // namespace

const FileKind kSettingsFile = {L"GPIO settings (*.tsv)\0*.tsv\0All files (*.*)\0*.*\0", L"tsv"};

bool ChooseFile(HWND owner, bool save, const wchar_t* title, const FileKind& kind,
                std::wstring* path) {
    wchar_t file[MAX_PATH] = L"";
    if (save) lstrcpynW(file, path->c_str(), MAX_PATH);
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kind.filter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = SettingsFolder.empty() ? nullptr : SettingsFolder.c_str();
    ofn.lpstrTitle = title;
    ofn.lpstrDefExt = kind.extension;
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!(save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) return false;
    *path = file;
    if (ofn.nFileOffset > 0) SettingsFolder = path->substr(0, ofn.nFileOffset);
    return true;
}

namespace {

// A settings file to write, named after the processor and the mode to begin with.
bool ChooseSettingsFile(HWND dialog, bool save, const wchar_t* title, std::wstring* path) {
    wchar_t name[64] = L"";
    if (save)
        wsprintfW(name, L"%s %s.tsv", ProcessorName(ProcessorId), SettingsModeName(SettingsMode));
    *path = name;
    return ChooseFile(dialog, save, title, kSettingsFile, path);
}

// GPIOLib works on what the table shows, and no rebuild is about to change that.
bool Ready(HWND dialog) {
    if (!RebuildPending() && GpioLibMatchesSettingsMode()) return true;
    ShowMessage(dialog, L"The list is being rebuilt; try again in a moment.", L"Attention", MB_OK);
    return false;
}

void Fail(HWND dialog, const std::wstring& what, const std::wstring& path,
          const std::wstring& problem, const wchar_t* outcome) {
    ShowMessage(dialog,
                (what + L"\r\n" + path + L"\r\n\r\n" + problem + L".\r\n" + outcome).c_str(),
                L"ERROR", MB_OK);
}

void OnExport(HWND dialog) {
    std::wstring path, problem;
    if (!ChooseSettingsFile(dialog, true, L"Export Settings", &path) || !Ready(dialog)) return;
    static Configuration settings;
    ReadSettings(&settings, SettingsMode);
    if (!WriteSettingsFile(path.c_str(), settings, &problem))
        Fail(dialog, L"Could not export the settings to", path, problem,
             L"Nothing was written; a file of that name keeps what it held.");
}

void OnImport(HWND dialog) {
    std::wstring path, problem;
    if (!ChooseSettingsFile(dialog, false, L"Import Settings", &path) || !Ready(dialog)) return;
    static Configuration file;
    static ImportPlan plan;
    if (!ReadSettingsFile(path.c_str(), &file, &problem) || !CheckImportable(file, &problem)) {
        Fail(dialog, L"Could not import", path, problem, L"Nothing was changed.");
        return;
    }
    PlanImport(file, &plan);
    std::wstring mode = SettingsModeName(SettingsMode);
    if (plan.settings == 0) {
        ShowMessage(dialog, (L"The " + mode + L" already hold every setting of\r\n" + path).c_str(),
                    L"Attention", MB_OK);
        return;
    }
    std::wstring count =
        std::to_wstring(plan.settings) + (plan.settings == 1 ? L" change" : L" changes");
    if (SettingsMode == SETTINGS_CURRENT &&
        ShowMessage(dialog, (L"Apply " + count + L" to the module's pins now?").c_str(), L"WARNING",
                    MB_YESNO) != IDYES)
        return;
    // The question's loop may have let a rebuild begin.
    if (!Ready(dialog)) return;
    std::wstring report;
    if (!ApplyImport(file, plan, &report))
        ShowMessage(dialog, report.c_str(), L"ERROR", MB_OK);
    else if (SettingsMode == SETTINGS_BOOTUP)
        ShowMessage(
            dialog,
            (count + L" made to the Boot-up Settings.\r\nPress Save to store them.").c_str(),
            L"Attention", MB_OK);
}

// The configuration of a source, and what the tips call it; false when there is none.
bool SourceConfiguration(HWND dialog, CompareSource source, Configuration* other,
                         std::wstring* name) {
    bool stored = false;
    switch (source) {
    case COMPARE_BOOTUP:
        if (!StoredBootSettings(other, &stored)) return false;
        *name =
            stored ? L"Boot-up Configuration" : L"Boot-up Configuration (none stored: defaults)";
        return true;
    case COMPARE_DEFAULTS: *name = L"Power-on Defaults"; return DefaultBootSettings(other);
    case COMPARE_FILE: {
        std::wstring path, problem;
        if (!ChooseSettingsFile(dialog, false, L"Compare with File", &path)) return false;
        if (!ReadSettingsFile(path.c_str(), other, &problem)) {
            Fail(dialog, L"Could not compare with", path, problem,
                 L"The comparison stays as it was.");
            return false;
        }
        *name = path.substr(path.find_last_of(L"\\/") + 1);
        return true;
    }
    default: return false;
    }
}

void Compare(HWND dialog, CompareSource source) {
    static Configuration other;
    std::wstring name;
    if (source == COMPARE_NOTHING) {
        SetComparison(nullptr, nullptr);
    } else {
        if (!SourceConfiguration(dialog, source, &other, &name)) return;
        InstallCompareTip(dialog, List(dialog));
        SetComparison(&other, name.c_str());
    }
    g_source = source;
    SetUpCompareMenu(dialog);
    InvalidateRect(List(dialog), nullptr, FALSE);
    if (DifferingRowsOnly()) RefilterGpioList(List(dialog));
}

} // namespace

bool OnFilesCommand(HWND dialog, int id) {
    switch (id) {
    case IDM_EXPORT_SETTINGS: OnExport(dialog); return true;
    case IDM_IMPORT_SETTINGS: OnImport(dialog); return true;
    case IDM_COMPARE_NOTHING: Compare(dialog, COMPARE_NOTHING); return true;
    case IDM_COMPARE_BOOTUP: Compare(dialog, COMPARE_BOOTUP); return true;
    case IDM_COMPARE_DEFAULTS: Compare(dialog, COMPARE_DEFAULTS); return true;
    case IDM_COMPARE_FILE: Compare(dialog, COMPARE_FILE); return true;
    case IDM_COMPARE_DIFFERING:
        ShowDifferingRowsOnly(!DifferingRowsOnly());
        SetUpCompareMenu(dialog);
        RefilterGpioList(List(dialog));
        return true;
    default: return false;
    }
}

void SetUpCompareMenu(HWND dialog) {
    HMENU bar = GetMenu(dialog);
    if (!bar) return;
    // The processor's defaults and a stored configuration are known for the PXA processors only.
    UINT pxa = IsPxa(ProcessorId) ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(bar, IDM_COMPARE_BOOTUP, MF_BYCOMMAND | pxa);
    EnableMenuItem(bar, IDM_COMPARE_DEFAULTS, MF_BYCOMMAND | pxa);
    CheckMenuRadioItem(bar, IDM_COMPARE_NOTHING, IDM_COMPARE_FILE, IDM_COMPARE_NOTHING + g_source,
                       MF_BYCOMMAND);
    CheckMenuItem(bar, IDM_COMPARE_DIFFERING,
                  MF_BYCOMMAND | (DifferingRowsOnly() ? MF_CHECKED : MF_UNCHECKED));
}

void StoredBootConfigChanged(HWND dialog) {
    if (g_source == COMPARE_BOOTUP) Compare(dialog, COMPARE_BOOTUP);
}

void BeginComparisons() {
    g_source = COMPARE_NOTHING;
    SetComparison(nullptr, nullptr);
    ShowDifferingRowsOnly(false);
}
