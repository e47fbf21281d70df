// Start-up of the real tool: refusals, the dialog, and the preferences in the registry.
#include "app/title.h"
#include "res/resource.h"
#include "tests/test_support.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <map>

namespace {

// The stored values, the window's placement at the close last.
const wchar_t* const kValueNames[] = {
    L"EvalbRevID",     L"g_ColAltFn",     L"g_ColDir",     L"g_ColLevel",      L"g_ColEdgeDet",
    L"g_ColEdgeStat",  L"g_ColPin",       L"g_ColEvalLoc", L"g_ColEvalFnName", L"g_ColTristate",
    L"g_ColGroupName", L"g_ColPullState", L"g_ColEdges",   L"g_ColActivity",   L"WindowLeft",
    L"WindowTop",      L"WindowWidth",    L"WindowHeight", L"WindowMaximized"};
constexpr DWORD kHidden = 0xFFFFFFFF;

void DeletePreferences() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora");
}

void Store(const wchar_t* keyPath, const wchar_t* name, DWORD value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

void Store(const wchar_t* name, DWORD value) {
    Store(L"SOFTWARE\\Velmora\\GpioConfig", name, value);
}

struct StoredValue {
    DWORD type;
    DWORD size;
    DWORD value;
};

// Every value under the key, in enumeration order; empty when the key is absent.
std::vector<std::pair<std::wstring, StoredValue>> StoredValues() {
    std::vector<std::pair<std::wstring, StoredValue>> values;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora\\GpioConfig", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[64];
        DWORD nameSize = 64, type = 0, data = 0, size = sizeof data;
        if (RegEnumValueW(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(&data),
                          &size) != ERROR_SUCCESS)
            break;
        values.push_back({name, {type, size, data}});
    }
    RegCloseKey(key);
    return values;
}

std::map<std::wstring, DWORD> StoredMap() {
    std::map<std::wstring, DWORD> map;
    for (auto& [name, value] : StoredValues())
        map[name] = value.value;
    return map;
}

bool KeyExists() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora\\GpioConfig", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

enum class CloseBy { CloseBox, Escape };

void Close(HWND dialog, CloseBy how) {
    if (how == CloseBy::CloseBox) {
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        HWND list = GetDlgItem(dialog, IDC_GPIOLIST);
        PostMessageW(list ? list : dialog, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(list ? list : dialog, WM_KEYUP, VK_ESCAPE, 0);
    }
}

// Runs the tool on a module, checks the window, closes it and returns the exit code.
int RunAndClose(const char* module, CloseBy how, HWND* seen = nullptr,
                void (*inspect)(HWND dialog) = nullptr) {
    Tool tool(module);
    EXPECT_TRUE(tool.started);
    HWND dialog = tool.Window(TOOL_TITLE);
    EXPECT_NE(dialog, nullptr) << module;
    if (!dialog) return -1;
    if (seen) *seen = dialog;
    if (inspect) inspect(dialog);
    Close(dialog, how);
    return tool.ExitCode();
}

// The box's text, then OK; the tool's exit code.
int RefusalText(const char* module, std::wstring* text) {
    Tool tool(module);
    EXPECT_TRUE(tool.started);
    HWND box = tool.Window(L"ERROR");
    EXPECT_NE(box, nullptr);
    if (!box) return -1;
    wchar_t buffer[512] = L"";
    GetDlgItemTextW(box, 0xFFFF, buffer, 512);
    *text = buffer;
    EXPECT_EQ(FindWindowExW(box, nullptr, L"Button", L"Cancel"), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return tool.ExitCode();
}

class Startup : public testing::Test {
  protected:
    void SetUp() override { DeletePreferences(); }
    void TearDown() override { DeletePreferences(); }
};

} // namespace

// EvalbRevID, the thirteen stored column values and the window's placement, all REG_DWORD, and
// nothing else. (The registry does not keep the order in which values were written.)
TEST_F(Startup, EveryModuleOpensClosesAndStoresItsValues) {
    const char* modules[] = {"pxa270", "pxa320", "pxa300",       "pxa310",
                             "tegra2", "tegra3", "tegra3-belvan"};
    int n = 0;
    for (const char* module : modules) {
        SCOPED_TRACE(module);
        DeletePreferences();
        EXPECT_EQ(RunAndClose(module, n++ % 2 ? CloseBy::Escape : CloseBy::CloseBox), 1);
        auto values = StoredValues();
        ASSERT_EQ(values.size(), std::size(kValueNames));
        for (const wchar_t* name : kValueNames) {
            auto found = std::find_if(values.begin(), values.end(),
                                      [&](auto& v) { return v.first == name; });
            ASSERT_NE(found, values.end()) << name;
            EXPECT_EQ(found->second.type, DWORD(REG_DWORD));
            EXPECT_EQ(found->second.size, 4u);
        }
    }
}

TEST_F(Startup, EmptyRegistryGivesTheDefaultsOnATessaraModule) {
    EXPECT_EQ(RunAndClose(
                  "pxa270", CloseBy::CloseBox, nullptr,
                  [](HWND dialog) {
                      EXPECT_EQ(IsDlgButtonChecked(dialog, 1046), BST_CHECKED); // version3.1
                      EXPECT_EQ(IsDlgButtonChecked(dialog, 1045), BST_UNCHECKED);
                      EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1049)));
                      EXPECT_EQ(IsDlgButtonChecked(dialog, 1039), BST_CHECKED); // Current Settings
                  }),
              1);
    auto stored = StoredMap();
    EXPECT_EQ(stored[L"EvalbRevID"], 1u);
    EXPECT_EQ(stored[L"g_ColAltFn"], kHidden);
    EXPECT_EQ(stored[L"g_ColEvalFnName"], kHidden);
    for (const wchar_t* shown : {L"g_ColDir", L"g_ColLevel", L"g_ColEdgeDet", L"g_ColEdgeStat",
                                 L"g_ColPin", L"g_ColEvalLoc"})
        EXPECT_NE(stored[shown], kHidden) << shown;
}

TEST_F(Startup, EmptyRegistryGivesTheBelvanBoardOnABelvanModule) {
    EXPECT_EQ(RunAndClose("tegra3-belvan", CloseBy::Escape, nullptr,
                          [](HWND dialog) {
                              EXPECT_EQ(IsDlgButtonChecked(dialog, 1049), BST_CHECKED);
                              EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1045)));
                              EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1046)));
                              EXPECT_FALSE(
                                  IsWindowEnabled(GetDlgItem(dialog, 1040))); // no Boot-up Settings
                          }),
              1);
    EXPECT_EQ(StoredMap()[L"EvalbRevID"], 2u);
}

TEST_F(Startup, StoredValuesOverrideTheDefaults) {
    Store(L"EvalbRevID", 0);
    Store(L"g_ColDir", kHidden);
    Store(L"g_ColAltFn", 1);
    EXPECT_EQ(RunAndClose("pxa320", CloseBy::CloseBox, nullptr,
                          [](HWND dialog) {
                              EXPECT_EQ(IsDlgButtonChecked(dialog, 1045),
                                        BST_CHECKED); // version2.1
                          }),
              1);
    auto stored = StoredMap();
    EXPECT_EQ(stored[L"EvalbRevID"], 0u);
    EXPECT_EQ(stored[L"g_ColDir"], kHidden);
    EXPECT_NE(stored[L"g_ColAltFn"], kHidden);
}

TEST_F(Startup, StoredColumnValueZeroMeansShown) {
    Store(L"g_ColLevel", 0);
    Store(L"g_ColEvalFnName", 0);
    EXPECT_EQ(RunAndClose("pxa300", CloseBy::Escape), 1);
    auto stored = StoredMap();
    EXPECT_NE(stored[L"g_ColLevel"], kHidden);
    EXPECT_NE(stored[L"g_ColEvalFnName"], kHidden);
}

TEST_F(Startup, KeyIsFoundUnderEitherSpelling) {
    // Written under the spelling the tool writes, found by the read under the other one.
    Store(L"SOFTWARE\\Velmora\\GpioConfig", L"EvalbRevID", 0);
    EXPECT_EQ(
        RunAndClose("pxa310", CloseBy::CloseBox, nullptr,
                    [](HWND dialog) { EXPECT_EQ(IsDlgButtonChecked(dialog, 1045), BST_CHECKED); }),
        1);
    DeletePreferences();
    Store(L"SOFTWARE\\Velmora\\GPIOConfig", L"g_ColPin", kHidden);
    EXPECT_EQ(RunAndClose("pxa310", CloseBy::CloseBox), 1);
    EXPECT_EQ(StoredMap()[L"g_ColPin"], kHidden);
}

TEST_F(Startup, StoredBoardIsKeptWhateverTheModuleFamily) {
    Store(L"EvalbRevID", 2);
    EXPECT_EQ(RunAndClose("tegra2", CloseBy::CloseBox, nullptr,
                          [](HWND dialog) {
                              EXPECT_EQ(IsDlgButtonChecked(dialog, 1046),
                                        BST_CHECKED); // version3.1 shown
                          }),
              1);
    EXPECT_EQ(StoredMap()[L"EvalbRevID"], 2u);
    Store(L"EvalbRevID", 0);
    EXPECT_EQ(
        RunAndClose("tegra3-belvan", CloseBy::CloseBox, nullptr,
                    [](HWND dialog) { EXPECT_EQ(IsDlgButtonChecked(dialog, 1049), BST_CHECKED); }),
        1);
    EXPECT_EQ(StoredMap()[L"EvalbRevID"], 0u);
}

// A board number no table knows is not taken over; the module family's default is used.
TEST_F(Startup, StoredBoardOutsideTheTablesIsIgnored) {
    for (DWORD bad : {3u, 7u, 0xFFFFFFFFu, 0x80000000u}) {
        Store(L"EvalbRevID", bad);
        EXPECT_EQ(RunAndClose("pxa270", CloseBy::Escape), 1);
        EXPECT_EQ(StoredMap()[L"EvalbRevID"], 1u) << bad;
    }
    Store(L"EvalbRevID", 5);
    EXPECT_EQ(RunAndClose("tegra3-belvan", CloseBy::Escape), 1);
    EXPECT_EQ(StoredMap()[L"EvalbRevID"], 2u);
}

// Values of other types and sizes count as missing, numbers out of range show their column:
// the table fills, and every value is stored again as a 4-byte REG_DWORD.
TEST_F(Startup, ValuesOfWrongTypesAndRangesGiveATableAndDwordsOnClose) {
    struct Bad {
        const wchar_t* name;
        DWORD type, size;
        BYTE fill;
    } bad[] = {
        {L"EvalbRevID", REG_SZ, 4, 0x00},        {L"g_ColAltFn", REG_BINARY, 4, 0x00},
        {L"g_ColDir", REG_QWORD, 8, 0xFF},       {L"g_ColLevel", REG_MULTI_SZ, 4, 0xFF},
        {L"g_ColEdgeDet", REG_DWORD, 3, 0xFF},   {L"g_ColEdgeStat", REG_DWORD, 0, 0x00},
        {L"g_ColPin", REG_DWORD, 4, 0x80},       {L"g_ColEvalLoc", REG_DWORD, 4, 0x7F},
        {L"g_ColEvalFnName", REG_SZ, 8, 0x00},   {L"g_ColTristate", REG_DWORD, 4, 0xFE},
        {L"g_ColGroupName", REG_DWORD, 8, 0x00}, {L"g_ColPullState", REG_BINARY, 0, 0x00},
        {L"g_ColEdges", REG_SZ, 4, 0x00},        {L"g_ColActivity", REG_DWORD, 2, 0x00},
    };
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora\\GpioConfig", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const Bad& b : bad) {
        BYTE bytes[8];
        memset(bytes, b.fill, sizeof bytes);
        RegSetValueExW(key, b.name, 0, b.type, bytes, b.size);
    }
    RegCloseKey(key);
    EXPECT_EQ(RunAndClose("pxa270", CloseBy::CloseBox, nullptr,
                          [](HWND dialog) {
                              HWND list = GetDlgItem(dialog, IDC_GPIOLIST);
                              HWND header = HWND(SendMessageW(list, LVM_GETHEADER, 0, 0));
                              EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 121);
                              // #, AltFn Name, Direction, Level, Pin, EvalLoc, EdgeDet, EdgeStat
                              EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 8);
                              EXPECT_EQ(IsDlgButtonChecked(dialog, 1046), BST_CHECKED);
                          }),
              1);
    auto values = StoredValues();
    ASSERT_EQ(values.size(), std::size(kValueNames));
    for (auto& [name, value] : values) {
        EXPECT_EQ(value.type, DWORD(REG_DWORD)) << name.c_str();
        EXPECT_EQ(value.size, 4u) << name.c_str();
    }
    auto stored = StoredMap();
    EXPECT_EQ(stored[L"EvalbRevID"], 1u);
    for (const wchar_t* hidden :
         {L"g_ColAltFn", L"g_ColEvalFnName", L"g_ColTristate", L"g_ColGroupName", L"g_ColPullState",
          L"g_ColEdges", L"g_ColActivity"})
        EXPECT_EQ(stored[hidden], kHidden) << hidden;
    for (const wchar_t* shown : {L"g_ColDir", L"g_ColLevel", L"g_ColEdgeDet", L"g_ColEdgeStat",
                                 L"g_ColPin", L"g_ColEvalLoc"})
        EXPECT_LT(stored[shown], 8u) << shown;
}

TEST_F(Startup, UnsupportedPlatformIsRefusedWithoutTouchingTheRegistry) {
    std::wstring text;
    EXPECT_EQ(RefusalText("none", &text), 0);
    EXPECT_EQ(text,
              L"This program does only run on Velmora Tessara Modules.\r\n\r\n"
              L"Please visit http://www.velmora.example or contact support@velmora.example for "
              L"more information.");
    EXPECT_FALSE(KeyExists());

    Store(L"EvalbRevID", 0);
    Store(L"g_ColDir", kHidden);
    auto before = StoredValues();
    EXPECT_EQ(RefusalText("none", &text), 0);
    auto after = StoredValues();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].first, before[i].first);
        EXPECT_EQ(after[i].second.value, before[i].second.value);
    }
}

TEST_F(Startup, UnknownProcessorIsRefusedWithoutTouchingTheRegistry) {
    std::wstring text;
    EXPECT_EQ(RefusalText("unknown-cpu", &text), 0);
    EXPECT_EQ(text, L"CPU Type not supported!");
    EXPECT_FALSE(KeyExists());

    Store(L"g_ColLevel", 0);
    EXPECT_EQ(RefusalText("unknown-cpu", &text), 0);
    auto after = StoredValues();
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].second.value, 0u);
}

TEST_F(Startup, UnknownModuleNameIsRefusedLikeNoModule) {
    std::wstring text;
    EXPECT_EQ(RefusalText("pxa271", &text), 0);
    EXPECT_NE(text.find(L"does only run on Velmora Tessara Modules."), std::wstring::npos);
    EXPECT_FALSE(KeyExists());
}
