// Process start-up: may the tool run here, which processor and module, then the dialog.
#include "app/app.h"
#include "gpiolib/gpiolib.h"
#include "platform/ce.h"
#include "platform/kernel_ioctl.h"
#include "res/resource.h"
#include "table/shared.h"

#include <commctrl.h>

HINSTANCE g_instance;
HMENU g_popupMenu;
HMENU g_popups[POPUP_ALL];

namespace {

const wchar_t kUnsupportedPlatform[] =
    L"This program does only run on Velmora Tessara Modules.\r\n\r\n"
    L"Please "
    L"visit " VELMORA_WEB_ADDRESS L" or contact " VELMORA_SUPPORT_EMAIL L" for more information.";

bool ModuleSupported() {
    DWORD info = 0;
    return KernelIoControl(IOCTL_MODULE_INFO, nullptr, 0, &info, 0, nullptr);
}

void RunMainDialog() {
    HRSRC found = FindResourceW(g_instance, MAKEINTRESOURCEW(IDD_MAIN), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(g_instance, found) : nullptr;
    if (!loaded) return;
    auto* dialogTemplate = static_cast<LPCDLGTEMPLATEW>(LockResource(loaded));
    DialogBoxIndirectParamW(g_instance, dialogTemplate, nullptr, MainDialogProc, 0);
}

} // namespace

void LoadPopupMenus() {
    g_popupMenu = LoadMenuW(g_instance, MAKEINTRESOURCEW(IDR_POPUPS));
    for (int i = 0; i < POPUP_COUNT; ++i)
        g_popups[i] = GetSubMenu(g_popupMenu, i);
    HMENU edges = g_popups[POPUP_EDGES] = CreatePopupMenu();
    AppendMenuW(edges, MF_STRING, IDM_EDGES_RESET, L"Reset");
    AppendMenuW(edges, MF_STRING, IDM_EDGES_RESET_ALL, L"Reset all");
    HMENU columns = g_popups[POPUP_COLUMNS];
    if (!columns) return;
    AppendMenuW(columns, MF_STRING, IDM_COL_EDGES, L"Edges");
    AppendMenuW(columns, MF_STRING, IDM_COL_ACTIVITY, L"Activity");
    AppendMenuW(columns, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(columns, MF_STRING, IDM_COPY_TABLE, L"Copy table");
}

int IdentifyModule(void (*refuse)(const wchar_t* text)) {
    BelvanModule = IsBelvanModule();
    EvalbRevID = BelvanModule ? EVALB_BELVAN : EVALB_VERSION31;
    LoadPreferences();
    FillColumnMenuOrder();
    if (!ModuleSupported()) {
        refuse(kUnsupportedPlatform);
        return 0;
    }
    InitGPIOLib();
    ProcessorId = IdentifyProcessor();
    const ProcessorFacts* processor = FindProcessorFacts(ProcessorId);
    if (!processor) {
        refuse(L"CPU Type not supported!");
        return 0;
    }
    ListGpioCount = processor->listRows;
    ModuleType = uint32_t(ProcessorIndex(ProcessorId));
    if (ProcessorId == PROCESSOR_TEGRA3 && BelvanModule) ModuleType = MODULE_TEGRA3_BELVAN;
    return 1;
}

int BoardShownFor(int stored) {
    if (BelvanModule) return EVALB_BELVAN;
    return stored == EVALB_BELVAN ? EVALB_VERSION31 : stored;
}

int StartTool(HINSTANCE instance) {
    if (!IdentifyModule([](const wchar_t* text) { ShowMessage(nullptr, text, L"ERROR", MB_OK); }))
        return 0;
    g_instance = instance;
    InitCommonControls();
    LoadPopupMenus();
    return 1;
}

int RunTool(HINSTANCE instance) {
    if (!StartTool(instance)) return 0;
    RunMainDialog();
    StorePreferences();
    return 1;
}
