// The application shell: start-up, preferences and the main dialog.
#pragma once
#include <windows.h>
#include <string>

// Maker's addresses named in the unsupported-platform message.
#define VELMORA_WEB_ADDRESS L"http://www.velmora.example"
#define VELMORA_SUPPORT_EMAIL L"support@velmora.example"

// Registry key, as read and as written (one key: key names ignore case).
#define PREFERENCES_READ_KEY L"SOFTWARE\\Velmora\\GPIOConfig"
#define PREFERENCES_WRITE_KEY L"SOFTWARE\\Velmora\\GpioConfig"

// Popup menus of menu resource 103, by position.
enum PopupIndex {
    POPUP_ALTFN,
    POPUP_ALTFN_PXA320,
    POPUP_DIR,
    POPUP_LEVEL,
    POPUP_EDGEDET,
    POPUP_EDGESTAT,
    POPUP_TRISTATE,
    POPUP_COLUMNS,
    POPUP_ALTFN_TEGRA2,
    POPUP_PULLSTATE,
    POPUP_COUNT,               // the ten of the resource
    POPUP_EDGES = POPUP_COUNT, // "Reset", "Reset all", built at start-up
    POPUP_ALL
};

extern HINSTANCE g_instance;
extern HMENU g_popupMenu;
extern HMENU g_popups[POPUP_ALL];

// The whole run; 1 after the dialog has closed, 0 when the start is refused.
int RunTool(HINSTANCE instance);
// Start-up up to the dialog: 1 when the tool may run, 0 refused (its message shown).
int StartTool(HINSTANCE instance);
// Start-up's checks and what they fix (board default, preferences, the module, the processor,
// the list's rows): 1, or 0 with the refusal's text handed to `refuse`.
int IdentifyModule(void (*refuse)(const wchar_t* text));
// The board whose texts the table shows: a Belvan module's own; a Tessara module shows a stored
// Belvan board as "version3.1".
int BoardShownFor(int stored);
// Menu resource 103 and its popups, "Columns" with the "Edges", "Activity" and "Copy table"
// items added, and the "Edges" popup.
void LoadPopupMenus();
// The main window's placement at the last close, stored beside the preferences.
struct WindowPlacementValues {
    bool known; // all five values were stored, each as this tool writes it
    int left, top, width, height;
    bool maximised;
};
extern WindowPlacementValues g_windowPlacement;

void LoadPreferences();
void StorePreferences();
void FillColumnMenuOrder();

// Samples every GPIO's level at the rate (Hz) for the seconds, without a window, then writes
// the recording as a VCD file (see "Export Activity..."). Start-up must have run (StartTool).
// False with the system's reason when the file cannot be written.
bool RecordActivity(DWORD seconds, int hertz, const wchar_t* path, std::wstring* error);

// Every message box of the tool.
int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT buttons);

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
