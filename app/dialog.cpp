// The main dialog.
#include "app/app.h"
#include "app/title.h"
#include "gpiolib/gpiolib.h"
#include "res/resource.h"
#include "table/shared.h"

namespace {

#define HELP_RIGHTCLICK                                                                            \
    L"RightClick on setting to change. Click on Column Headers to change sort order."
#define HELP_MARKS                                                                                 \
    L"\r\n* This signal is assigned to more than one module pin. See the module datasheet for "    \
    L"more information.\r\n# This signal is multiplexed with another one. See the module "         \
    L"datasheet for more information."
#define HELP_CURRENT_PXA270                                                                        \
    HELP_RIGHTCLICK L"\r\nNOTE: this is for testing/debugging only, settings are discarded on "    \
                    L"next boot. Use Boot-up Settings mode to change the boot-up defaults."

const wchar_t kHelpCurrentPxa270[] = HELP_CURRENT_PXA270;
const wchar_t kHelpCurrent[] = HELP_CURRENT_PXA270 HELP_MARKS;

void ShowBoardChoice(HWND dialog) {
    BelvanModule = IsBelvanModule();
    if (BelvanModule) {
        EnableWindow(GetDlgItem(dialog, IDC_EVAL21), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_EVAL31), FALSE);
        CheckRadioButton(dialog, IDC_BELVAN, IDC_BELVAN, IDC_BELVAN);
    } else {
        EnableWindow(GetDlgItem(dialog, IDC_BELVAN), FALSE);
        CheckRadioButton(dialog, IDC_EVAL21, IDC_EVAL31,
                         EvalbRevID == EVALB_VERSION21 ? IDC_EVAL21 : IDC_EVAL31);
    }
}

void OnInitDialog(HWND dialog) {
    wchar_t title[64];
    wsprintfW(title, TOOL_TITLE_FORMAT, TOOL_VERSION_MAJOR, TOOL_VERSION_MINOR);
    SetWindowTextW(dialog, title);
    CheckRadioButton(dialog, IDC_CURRENT, IDC_BOOTUP, IDC_CURRENT);
    if (IsTegra(ProcessorId)) EnableWindow(GetDlgItem(dialog, IDC_BOOTUP), FALSE);
    ShowBoardChoice(dialog);
    SetDlgItemTextW(dialog, IDC_HELPTEXT,
                    ProcessorId == PROCESSOR_PXA270 ? kHelpCurrentPxa270 : kHelpCurrent);
    HANDLE icon = LoadImageW(g_instance, MAKEINTRESOURCEW(IDI_TOOL), IMAGE_ICON, 16, 16, 0);
    if (icon) SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void OnCommand(HWND dialog, WORD id) {
    if (id == IDCANCEL) EndDialog(dialog, 0);
}

} // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); return TRUE;
    case WM_COMMAND: OnCommand(dialog, LOWORD(wParam)); return TRUE;
    default: return FALSE;
    }
}
