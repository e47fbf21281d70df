#include "tests/dialog_support.h"
#include "tests/input_support.h"
#include "app/dialog.h"
#include "gpiolib/gpiolib.h"
#include "res/resource.h"
#include "table/stats.h"
#include "table/table.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <cstdio>

namespace {

// Set when the dialog has answered a right-click (its list's notification or a WM_CONTEXTMENU):
// any popup it opened has been tracked to its end by then. The dialog's window procedure is
// wrapped for this; a message hook would make every message of the thread much slower under
// Wine.
volatile bool g_answered;
HWND g_hookedDialog;
WNDPROC g_dialogProc;

LRESULT CALLBACK Answered(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = CallWindowProcW(g_dialogProc, window, message, wParam, lParam);
    if (message == WM_CONTEXTMENU) g_answered = true;
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_GPIOLIST && header->code == UINT(NM_RCLICK)) g_answered = true;
    }
    return result;
}

HWND OpenMenuWindow(HWND other = nullptr) {
    struct Search {
        HWND other, found;
    } search = {other, nullptr};
    EnumThreadWindows(
        GetWindowThreadProcessId(g_hookedDialog, nullptr),
        [](HWND window, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            wchar_t name[16];
            if (window != s->other && IsWindowVisible(window) && GetClassNameW(window, name, 16) &&
                wcscmp(name, L"#32768") == 0) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void ClickItem(HWND window, int position) {
    auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    RECT item;
    if (position >= 0 && GetMenuItemRect(nullptr, menu, UINT(position), &item))
        ClickAt({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    else
        PressKey(VK_ESCAPE);
}

struct Driver {
    int pick, subPick;
    volatile bool stop;
    MenuSeen seen;
};

// Reads every popup that opens, then clicks item `pick` (or presses Escape); when a submenu
// item is asked for too, clicks it in the submenu that opens.
DWORD WINAPI DriveMenus(void* p) {
    auto* d = static_cast<Driver*>(p);
    while (!d->stop) {
        HWND window = OpenMenuWindow();
        if (!window) {
            Sleep(10);
            continue;
        }
        auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
        if (d->seen.menus++ == 0) {
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                wchar_t label[64] = L"";
                GetMenuStringW(menu, UINT(i), label, 64, MF_BYPOSITION);
                d->seen.labels.push_back(label);
                d->seen.checked.push_back(GetMenuState(menu, UINT(i), MF_BYPOSITION) & MF_CHECKED);
            }
        }
        ClickItem(window, d->pick);
        if (d->pick >= 0 && d->subPick >= 0) {
            HWND sub = nullptr;
            while (!d->stop && IsWindowVisible(window) && !(sub = OpenMenuWindow(window)))
                Sleep(10);
            if (sub) ClickItem(sub, d->subPick);
        }
        while (IsWindow(window) && IsWindowVisible(window) && !d->stop)
            Sleep(10);
    }
    return 0;
}

} // namespace

std::wstring MenuSeen::CheckedLabels() const {
    std::wstring text;
    for (size_t i = 0; i < labels.size(); ++i)
        if (checked[i]) text += labels[i] + L"|";
    return text;
}

DialogHarness::DialogHarness(SimModule module, void (*before)()) : view(nullptr) {
    StartOnModule(module);
    if (before) before();
    resources = LoadLibraryExW((BuildFolder() + L"\\gpioconfig.exe").c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(resources, nullptr);
    g_instance = resources;
    LoadPopupMenus();
    HRSRC found = FindResourceW(resources, MAKEINTRESOURCEW(IDD_MAIN), RT_DIALOG);
    auto* dialogTemplate =
        static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(resources, found)));
    dialog = CreateDialogIndirectParamW(resources, dialogTemplate, nullptr, MainDialogProc, 0);
    list = GetDlgItem(dialog, IDC_GPIOLIST);
    view.list = list;
    g_hookedDialog = dialog;
    g_dialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Answered)));
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
    PumpUntil([&] { return IsWindowVisible(dialog) && view.Rows() > 0; });
}

DialogHarness::~DialogHarness() {
    Close();
    DestroyWindow(dialog);
}

bool DialogHarness::Settled() {
    return PumpUntil([] { return !RebuildPending(); }, 30000);
}

bool DialogHarness::Close() {
    if (!IsWindowVisible(dialog)) return true;
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return PumpUntil([&] { return !IsWindowVisible(dialog); }, 30000);
}

MenuSeen DialogHarness::Drive(int pick, int subPick, void (*act)(DialogHarness*, POINT),
                              POINT screen) {
    Driver driver = {pick, subPick, false, {}};
    HANDLE thread = CreateThread(nullptr, 0, DriveMenus, &driver, 0, nullptr);
    g_answered = false;
    act(this, screen);
    EXPECT_TRUE(PumpUntil([] { return g_answered; })) << "the dialog did not answer the click";
    // A second, spurious menu would open right after the first.
    PumpUntil([] { return (GetQueueStatus(QS_INPUT) & 0xFFFF) == 0; }, 1000);
    driver.stop = true;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return driver.seen;
}

MenuSeen DialogHarness::Watch(const std::function<void()>& act) {
    Driver driver = {-1, -1, false, {}};
    HANDLE thread = CreateThread(nullptr, 0, DriveMenus, &driver, 0, nullptr);
    act();
    driver.stop = true;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return driver.seen;
}

MenuSeen DialogHarness::RightClick(POINT screen, int pick) {
    return Drive(
        pick, -1, [](DialogHarness*, POINT at) { RightClickAt(at); }, screen);
}

MenuSeen DialogHarness::ShiftF10(int pick, int subPick) {
    return Drive(pick, subPick,
                 [](DialogHarness* h, POINT) {
                     SetFocus(h->list);
                     PressKey(VK_F10, VK_SHIFT);
                 },
                 {});
}

POINT DialogHarness::CellPoint(uint32_t gpio, int slot) {
    int row = view.RowOf(gpio);
    SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
    return CellInView(list, [&] {
        RECT rect = {};
        rect.top = ColumnSlots[slot];
        rect.left = LVIR_LABEL;
        SendMessageW(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        return rect;
    });
}

POINT DialogHarness::HeaderPoint(int slot) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT rect = {};
    SendMessageW(header, HDM_GETITEMRECT, ColumnSlots[slot], reinterpret_cast<LPARAM>(&rect));
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(header, &point);
    return point;
}

void DialogHarness::Click(POINT screen) {
    ClickAt(screen);
}

void DialogHarness::ClickButton(int id) {
    RECT r;
    GetWindowRect(GetDlgItem(dialog, id), &r);
    Click({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

bool DialogHarness::SwitchMode(int id) {
    LONG builds = g_pollStats.builds;
    ClickButton(id);
    return PumpUntil([&] { return g_pollStats.builds > builds; }) && Settled();
}

COLORREF CellPixel(DialogHarness& h, uint32_t gpio, int slot, int x, int y) {
    RECT cell = {}, client;
    int row = h.view.RowOf(gpio);
    SendMessageW(h.list, LVM_ENSUREVISIBLE, row, FALSE);
    cell.top = ColumnSlots[slot];
    cell.left = LVIR_BOUNDS;
    SendMessageW(h.list, LVM_GETSUBITEMRECT, row, LPARAM(&cell));
    GetClientRect(h.list, &client);
    HDC screen = GetDC(h.list), dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(h.list, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT | PRF_ERASEBKGND);
    COLORREF pixel = GetPixel(dc, x < 0 ? cell.right + x : cell.left + x,
                              y < 0 ? cell.bottom + y : cell.top + y);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(h.list, screen);
    return pixel;
}

uint32_t PlainInput(uint32_t from) {
    int plain = IsTegra(ProcessorId) ? -1 : 0;
    for (uint32_t g = from; g < uint32_t(ListGpioCount); ++g)
        if (GetGPIODir(g) == 0 && GetGPIOAltFn(g) == plain) return g;
    return uint32_t(ListGpioCount);
}

BoxAnswer::BoxAnswer(const wchar_t* boxCaption, int boxButton)
    : caption(boxCaption), button(boxButton) {
    thread = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* a = static_cast<BoxAnswer*>(p);
            while (!a->stop) {
                HWND box = FindWindowW(L"#32770", a->caption);
                if (box && IsWindowVisible(box)) {
                    wchar_t text[512] = L"";
                    GetDlgItemTextW(box, 0xFFFF, text, 512);
                    a->text = text;
                    a->answered = true;
                    PostMessageW(box, WM_COMMAND, a->button, 0);
                    return 0;
                }
                Sleep(10);
            }
            return 0;
        },
        this, 0, nullptr);
}

BoxAnswer::~BoxAnswer() {
    stop = true;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}
