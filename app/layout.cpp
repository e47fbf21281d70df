// The main window resized: the list takes all extra room; the board buttons stay at the top
// left, the find box at the top right; the help text, the mode buttons, the update rate and
// the Save / Reset/Clear buttons keep their distance from the bottom edge (the rate and the
// buttons from the right edge too), and the help text grows with the width. The window never
// gets smaller than it opens.
#include "app/dialog.h"
#include "table/table.h"

#include <vector>

namespace {

enum Anchor : unsigned { STAY = 0, MOVE_X = 1, MOVE_Y = 2, GROW_X = 4, GROW_Y = 8 };

struct Anchored {
    int id;
    unsigned anchor;
};
const Anchored kAnchors[] = {
    {IDC_GPIOLIST, GROW_X | GROW_Y},
    {IDC_HELPTEXT, MOVE_Y | GROW_X},
    {IDC_CURRENT, MOVE_Y},
    {IDC_BOOTUP, MOVE_Y},
    {IDC_UPDATERATE, MOVE_X | MOVE_Y},
    {IDC_SAVE, MOVE_X | MOVE_Y},
    {IDC_RESETCLEAR, MOVE_X | MOVE_Y},
    {IDC_FIND, MOVE_X},
    {IDC_FINDCOUNT, MOVE_X},
};

struct Placed {
    HWND control;
    unsigned anchor;
    RECT designed; // client coordinates as the window opened
};
HWND g_dialogLaidOut; // the dialog the controls below belong to
std::vector<Placed> g_controls;
SIZE g_designedClient;
SIZE g_smallestWindow;
int g_layoutDpi; // the pixels per inch the layout above is measured in

unsigned AnchorOf(HWND dialog, HWND control) {
    for (const Anchored& a : kAnchors)
        if (GetDlgItem(dialog, a.id) == control) return a.anchor;
    // The rate box's label has no id: it follows the box in the template.
    if (GetWindow(GetDlgItem(dialog, IDC_UPDATERATE), GW_HWNDNEXT) == control)
        return MOVE_X | MOVE_Y;
    return STAY;
}

} // namespace

void RecordLayout(HWND dialog) {
    g_dialogLaidOut = dialog;
    g_controls.clear();
    for (HWND control = GetWindow(dialog, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        g_controls.push_back({control, AnchorOf(dialog, control), rect});
    }
    RECT client, window;
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &window);
    g_designedClient = {client.right, client.bottom};
    g_smallestWindow = {window.right - window.left, window.bottom - window.top};
    g_layoutDpi = WindowDpi(dialog);
}

// The system scales the dialog's font and controls to the new monitor; the layout, the smallest
// size and the column widths follow, and the window takes the rectangle the system suggests.
void OnDpiChanged(HWND dialog, int dpi, const RECT* suggested) {
    if (dialog != g_dialogLaidOut || dpi <= 0 || g_layoutDpi <= 0) return;
    auto scale = [&](LONG value) { return LONG(MulDiv(value, dpi, g_layoutDpi)); };
    for (Placed& p : g_controls)
        p.designed = {scale(p.designed.left), scale(p.designed.top), scale(p.designed.right),
                      scale(p.designed.bottom)};
    g_designedClient = {scale(g_designedClient.cx), scale(g_designedClient.cy)};
    g_smallestWindow = {scale(g_smallestWindow.cx), scale(g_smallestWindow.cy)};
    ScaleColumnWidths(GetDlgItem(dialog, IDC_GPIOLIST), g_layoutDpi, dpi);
    g_layoutDpi = dpi;
    SetWindowPos(dialog, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void LayOut(HWND dialog, int width, int height) {
    if (dialog != g_dialogLaidOut) return; // not yet opened
    int dx = width - g_designedClient.cx, dy = height - g_designedClient.cy;
    HDWP positions = BeginDeferWindowPos(int(g_controls.size()));
    for (const Placed& p : g_controls) {
        if (p.anchor == STAY || !positions) continue;
        RECT r = p.designed;
        int x = r.left + (p.anchor & MOVE_X ? dx : 0), y = r.top + (p.anchor & MOVE_Y ? dy : 0);
        int w = r.right - r.left + (p.anchor & GROW_X ? dx : 0);
        int h = r.bottom - r.top + (p.anchor & GROW_Y ? dy : 0);
        positions = DeferWindowPos(positions, p.control, nullptr, x, y, w, h,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (positions) EndDeferWindowPos(positions);
    // A wrapped text is laid out anew for its width.
    InvalidateRect(GetDlgItem(dialog, IDC_HELPTEXT), nullptr, TRUE);
}

void LimitSize(HWND dialog, MINMAXINFO* limits) {
    if (dialog != g_dialogLaidOut) return;
    limits->ptMinTrackSize.x = g_smallestWindow.cx;
    limits->ptMinTrackSize.y = g_smallestWindow.cy;
}

SIZE SmallestWindow() {
    return g_smallestWindow;
}
