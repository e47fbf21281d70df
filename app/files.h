// Settings files in the shell: export, import and compare in the window, and the command line.
#pragma once
#include "table/settings.h"

#include <windows.h>
#include <string>

// What an import changes: per GPIO the settings the file holds that differ from the module's
// (a level only where it is a setting on both sides).
struct ImportPlan {
    unsigned changes[ROW_CACHE_ENTRIES];
    int settings; // changed settings in all
    int pins;     // GPIOs with a change
};
// False, and why, when the file holds settings the SettingsMode in force does not have.
bool CheckImportable(const Configuration& file, std::wstring* problem);
// The plan against what GPIOLib reads now, in the SettingsMode in force.
void PlanImport(const Configuration& file, ImportPlan* plan);
// Carries the plan out pin by pin, each pin read back before the next. False when the module did
// not take a setting: the import stops there, and `report` says which setting and which pins
// were changed before.
bool ApplyImport(const Configuration& file, const ImportPlan& plan, std::wstring* report);
// "GPIO 5" / "GPIO A0", as the "#" column names it.
std::wstring GpioLabel(uint32_t g);

// A new dialog compares with nothing and shows every row.
void BeginComparisons();
// The menu bar's file and compare commands; true when the id was one of them.
bool OnFilesCommand(HWND dialog, int id);
// Enables and checks the items of "Compare" as the module and the choice say.
void SetUpCompareMenu(HWND dialog);
// After "Save" or an erase, a comparison with the stored configuration reads it again.
void StoredBootConfigChanged(HWND dialog);

// The folder of the last file chosen in a file dialog (settings or activity), kept in the
// preferences ("" none).
extern std::wstring SettingsFolder;

// A kind of file for the common dialogs: their filter, and the extension a name without one
// gets.
struct FileKind {
    const wchar_t* filter;
    const wchar_t* extension;
};
// A file chosen with the common Open or Save dialog, which starts in SettingsFolder and then
// keeps the chosen file's folder there; false when the user cancelled. For saving, `path` holds
// the name suggested.
bool ChooseFile(HWND owner, bool save, const wchar_t* title, const FileKind& kind,
                std::wstring* path);

// The command line: true when it asks for a command (anything but nothing), then `exitCode`
// holds the run's result: 0 done, 1 refused, 2 not understood.
bool RunCommandLine(HINSTANCE instance, const wchar_t* commandLine, int* exitCode);
