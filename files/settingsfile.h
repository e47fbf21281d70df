// Settings files: a module's GPIO settings as UTF-8 text, tab-separated, one GPIO per line in
// GPIO order under a header of named fields, so that diff shows exactly the pins that differ and
// a spreadsheet opens it. For example:
//
//   Velmora GPIO settings<TAB>1
//   Processor<TAB>PXA270
//   Source<TAB>Current Settings
//   #<TAB>AltFn<TAB>Direction<TAB>Level<TAB>EdgeDet
//   0<TAB>0<TAB>Input<TAB>1<TAB>Both
//
// Values are the table's texts. A file may hold any of the GPIOs and any of the settings of its
// processor and source; reading is strict and all or nothing.
#pragma once
#include "table/settings.h"

#include <string>

// The text of a configuration: every GPIO it holds, with the settings of its processor and
// source; lines end with CR LF.
std::string SettingsFileText(const Configuration& c);
// Reads a file's text for the processor in use: true and the configuration, or false and what
// is wrong ("line 7: ..."), `out` then untouched.
bool ParseSettingsFile(const std::string& text, Configuration* out, std::wstring* problem);

// The file on disk. Writing goes to a new file beside it that is renamed over it once whole, so
// that a full disk or a refused folder never leaves half a file (nor the new file). Reading
// refuses anything but a plain file of at most kMaxSettingsFileBytes before reading it.
constexpr unsigned kMaxSettingsFileBytes = 256 * 1024;
bool WriteSettingsFile(const wchar_t* path, const Configuration& c, std::wstring* problem);
bool ReadSettingsFile(const wchar_t* path, Configuration* out, std::wstring* problem);

// The name of a processor in files and messages ("PXA270", "Tegra 3"); null when unknown.
const wchar_t* ProcessorName(uint32_t processor);
// "Current Settings" or "Boot-up Settings".
const wchar_t* SettingsModeName(int settingsMode);
