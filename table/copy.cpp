// The table as text on the clipboard, as the user sees it: for bug reports, and to compare two
// modules with a diff tool.
#include "table/table.h"

#include <commctrl.h>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kTextSize = 128;

std::wstring ItemText(HWND list, int row, int column) {
    wchar_t text[kTextSize] = L"";
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = kTextSize;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

// Another program may hold the clipboard open for a moment: asked again for a fifth of a second.
bool OpenClipboardSoon(HWND owner) {
    for (int attempt = 1;; ++attempt) {
        if (OpenClipboard(owner)) return true;
        if (attempt == 10) return false;
        Sleep(20);
    }
}

bool PutOnClipboard(HWND owner, const std::wstring& text) {
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return false;
    memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    if (OpenClipboardSoon(owner)) {
        EmptyClipboard();
        bool put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        CloseClipboard();
        if (put) return true; // the clipboard owns the memory now
    }
    GlobalFree(memory);
    return false;
}

} // namespace

std::wstring GpioTableText(HWND list) {
    // Columns in the order shown (the user may have dragged them), without zero-width ones.
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    int count = int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    std::vector<int> order(size_t(count > 0 ? count : 0));
    if (count > 0) SendMessageW(list, LVM_GETCOLUMNORDERARRAY, count, LPARAM(order.data()));
    std::vector<int> columns;
    std::wstring text;
    for (int column : order) {
        wchar_t name[kTextSize] = L"";
        LVCOLUMNW lvc = {};
        lvc.mask = LVCF_WIDTH | LVCF_TEXT;
        lvc.pszText = name;
        lvc.cchTextMax = kTextSize;
        if (!SendMessageW(list, LVM_GETCOLUMNW, column, LPARAM(&lvc)) || lvc.cx <= 0) continue;
        text += (columns.empty() ? L"" : L"\t") + std::wstring(name);
        columns.push_back(column);
    }
    text += L"\r\n";
    int rows = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        for (size_t i = 0; i < columns.size(); ++i)
            text += (i ? L"\t" : L"") + ItemText(list, row, columns[i]);
        text += L"\r\n";
    }
    return text;
}

bool CopyGpioTable(HWND list, HWND owner) {
    if (PutOnClipboard(owner, GpioTableText(list))) return true;
    // The old contents are still there: the user must not paste them as the current state.
    MessageBeep(MB_ICONWARNING);
    return false;
}
