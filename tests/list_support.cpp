#include "tests/list_support.h"
#include "app/app.h"
#include "table/shared.h"

#include <gtest/gtest.h>

void StartOnModule(SimModule module) {
    UseModule(module);
    BelvanModule = 0;
    ASSERT_EQ(StartTool(GetModuleHandleW(nullptr)), 1);
    for (int& slot : ColumnSlots)
        slot = 1;
    EvalbRevID = BelvanModule ? EVALB_BELVAN : EVALB_VERSION31;
    SettingsMode = SETTINGS_CURRENT;
}

TestList::TestList() {
    InitCommonControls();
    parent = CreateWindowW(L"STATIC", L"table test", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                           nullptr, nullptr, nullptr);
    list = CreateWindowW(WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL, 0,
                         0, 780, 560, parent, nullptr, nullptr, nullptr);
}

TestList::TestList(HWND existing) : list(existing) {}

TestList::~TestList() {
    if (parent) DestroyWindow(parent);
}

int TestList::Rows() const {
    return int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

int TestList::Columns() const {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    return int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

namespace {

LVCOLUMNW Column(HWND list, int column, wchar_t* text) {
    LVCOLUMNW lvc = {};
    lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    lvc.pszText = text;
    lvc.cchTextMax = 64;
    text[0] = 0;
    SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&lvc));
    return lvc;
}

} // namespace

std::wstring TestList::Header(int column) const {
    wchar_t text[64];
    Column(list, column, text);
    return text;
}

int TestList::Width(int column) const {
    wchar_t text[64];
    return Column(list, column, text).cx;
}

int TestList::Format(int column) const {
    wchar_t text[64];
    return Column(list, column, text).fmt & LVCFMT_JUSTIFYMASK;
}

std::wstring TestList::Text(int row, int column) const {
    wchar_t text[128] = L"";
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 128;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

LPARAM TestList::Param(int row) const {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

int TestList::RowOf(uint32_t gpio) const {
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = LPARAM(gpio);
    return int(SendMessageW(list, LVM_FINDITEMW, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
}

std::wstring TestList::Cell(uint32_t gpio, int slot) const {
    return Text(RowOf(gpio), ColumnSlots[slot]);
}

std::vector<std::wstring> TestList::ColumnTexts(int column) const {
    std::vector<std::wstring> texts;
    for (int row = 0; row < Rows(); ++row)
        texts.push_back(Text(row, column));
    return texts;
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

void RunElsewhere(const std::function<void()>& work) {
    struct Job {
        const std::function<void()>* work;
        static DWORD WINAPI Run(void* p) {
            (*static_cast<Job*>(p)->work)();
            return 0;
        }
    } job = {&work};
    HANDLE thread = CreateThread(nullptr, 0, Job::Run, &job, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 60000);
    CloseHandle(thread);
}
