// Boot-up Settings: the saved block, the BootImage and the commands, inside the process, with
// a stand-in for the dialog (the controls the commands touch) and the simulated flash.
#include "app/bootcfg.h"
#include "res/resource.h"
#include "sim/flash.h"
#include "table/shared.h"
#include "tests/test_support.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr uint32_t kPxa270Defaults[18] = {
    0xC0008000, 0x00020000, 0x8001C000, 0x00000004, 0x00008000, 0x00020000,
    0x0001C000, 0x00000000, 0x80000000, 0x00000010, 0x00000000, 0x00000008,
    0xA0000000, 0x00000002, 0x00000000, 0x00000000, 0,          0};

// Image words of the registers the block holds, in block order (words 8..15 PXA270 only).
constexpr int kBlockToImage[16] = {0x00C / 4, 0x010 / 4, 0x014 / 4, 0x10C / 4, 0x000 / 4, 0x004 / 4,
                                   0x008 / 4, 0x100 / 4, 0x054 / 4, 0x058 / 4, 0x05C / 4, 0x060 / 4,
                                   0x064 / 4, 0x068 / 4, 0x06C / 4, 0x070 / 4};

struct Block {
    uint32_t w[18];
};

// A fresh process's state on a module: GPIOLib on the live registers, nothing stored.
void Start(SimModule module) {
    UseModule(module);
    SimFlashClear(module);
    SimFlashRefuse(0);
    InitGPIOLib();
    ProcessorId = IdentifyProcessor();
    SettingsMode = SETTINGS_CURRENT;
    memset(BootImage, 0, sizeof BootImage);
    memset(BootConfigBlock, 0, sizeof BootConfigBlock);
}

void EnterBootup() {
    SettingsMode = SETTINGS_BOOTUP;
    SyncGpioLibWithSettingsMode();
    ASSERT_EQ(GetGPIOLibImage(), BootImage);
}

void Store(const Block& b) {
    ASSERT_TRUE(SimFlashSave(SimCurrentModule(), reinterpret_cast<const BYTE*>(b.w)));
}

bool Stored(Block* b) {
    return SimFlashLoad(SimCurrentModule(), reinterpret_cast<BYTE*>(b->w));
}

uint32_t Bit(uint32_t gpio) {
    return 1u << (gpio & 31);
}

// The controls of the main dialog that the Boot-up Settings commands touch.
struct FakeDialog {
    HWND window;
    FakeDialog() {
        window = CreateWindowExW(0, L"STATIC", L"bootcfg test", WS_OVERLAPPED | WS_VISIBLE, 0, 0,
                                 400, 200, nullptr, nullptr, nullptr, nullptr);
        for (int id : {IDC_SAVE, IDC_RESETCLEAR})
            CreateWindowExW(0, L"BUTTON", L"", WS_CHILD, 0, 0, 40, 12, window,
                            reinterpret_cast<HMENU>(INT_PTR(id)), nullptr, nullptr);
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 20, 390, 40, window,
                        reinterpret_cast<HMENU>(INT_PTR(IDC_HELPTEXT)), nullptr, nullptr);
        // The buttons' commands reach the handlers, as in the main dialog.
        static WNDPROC original;
        original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            window, GWLP_WNDPROC,
            reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
                if (m == WM_COMMAND && LOWORD(wp) == IDC_SAVE) OnSave(w);
                if (m == WM_COMMAND && LOWORD(wp) == IDC_RESETCLEAR) OnResetClear(w);
                return CallWindowProcW(original, w, m, wp, lp);
            })));
    }
    ~FakeDialog() { DestroyWindow(window); }
    bool Shown(int id) const {
        return GetWindowLongW(GetDlgItem(window, id), GWL_STYLE) & WS_VISIBLE;
    }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(window, id)); }
    std::wstring Help() const {
        wchar_t text[1024];
        GetDlgItemTextW(window, IDC_HELPTEXT, text, 1024);
        return text;
    }
};

struct SeenBox {
    std::wstring caption, text;
    bool saveEnabled, resetEnabled; // the command buttons while the box was up
};

// Answers every message box the constructing thread shows while it lives: a Yes/No box with
// `yesNo`, any other with OK; records what each box said.
struct BoxAnswerer {
    std::vector<SeenBox> seen;
    // onBox runs on the watching thread while each box is up, before the answer.
    BoxAnswerer(const FakeDialog& dialog, int yesNo = IDNO, std::function<void()> onBox = {})
        : owner(dialog.window), answer(yesNo), thread(GetCurrentThreadId()), onBox(onBox),
          watcher([this] { Watch(); }) {}
    ~BoxAnswerer() { Stop(); }
    void Stop() {
        stop = true;
        if (watcher.joinable()) watcher.join();
    }

  private:
    HWND owner;
    int answer;
    DWORD thread;
    std::function<void()> onBox;
    std::atomic<bool> stop{false};
    std::thread watcher;

    // Each box once: a box stays up a moment after its answer, and one may open over another.
    void Watch() {
        struct Search {
            std::set<HWND>* answered;
            HWND box;
        };
        std::set<HWND> answered;
        while (!stop) {
            std::erase_if(answered, [](HWND w) { return !IsWindow(w); });
            Search search = {&answered, nullptr};
            EnumThreadWindows(
                thread,
                [](HWND w, LPARAM p) -> BOOL {
                    auto* s = reinterpret_cast<Search*>(p);
                    wchar_t cls[16];
                    if (IsWindowVisible(w) && GetClassNameW(w, cls, 16) &&
                        !wcscmp(cls, L"#32770") && !s->answered->count(w)) {
                        s->box = w;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            HWND box = search.box;
            if (!box) {
                Sleep(5);
                continue;
            }
            wchar_t caption[128], text[512];
            GetWindowTextW(box, caption, 128);
            GetDlgItemTextW(box, 0xFFFF, text, 512);
            seen.push_back({caption, text, IsWindowEnabled(GetDlgItem(owner, IDC_SAVE)) != 0,
                            IsWindowEnabled(GetDlgItem(owner, IDC_RESETCLEAR)) != 0});
            if (onBox) onBox();
            PostMessageW(box, WM_COMMAND, GetDlgItem(box, IDYES) ? answer : IDOK, 0);
            answered.insert(box);
        }
    }
};

} // namespace

// Defaults of each family, seen through GPIOLib on the image: with nothing stored the read
// keeps them. PXA270: the listed outputs, levels and functions, every other GPIO input 0 Fn 0.
// PXA3xx: all-zero block, the MFPR-image defaults, every other pad on function 0.
TEST(BootConfig, DefaultsOfEachFamily) {
    const std::set<uint32_t> outputs = {15, 30, 31, 49, 78, 79, 80, 95, 98};
    const std::set<uint32_t> high = {15, 49, 78, 79, 80};
    struct Case {
        SimModule module;
        std::vector<std::pair<uint32_t, int>> functions; // GPIO, function; others 0
    } cases[] = {
        {SIM_MODULE_PXA270, {{15, 2}, {49, 2}, {78, 2}, {79, 2}, {80, 2}, {18, 1}}},
        {SIM_MODULE_PXA320,
         {{0, 2}, {2, 1}, {3, 1}, {4, 1}, {56, 7}, {59, 7}, {60, 7}, {61, 7}, {62, 7}}},
        {SIM_MODULE_PXA300,
         {{0, 1}, {1, 1}, {2, 1}, {9, 7}, {10, 7}, {46, 1}, {49, 3}, {50, 2}, {51, 3}, {52, 3}}},
        {SIM_MODULE_PXA310,
         {{0, 1}, {1, 1}, {2, 1}, {9, 7}, {10, 7}, {46, 1}, {49, 3}, {50, 2}, {51, 3}, {52, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(SimModuleDescription(c.module)->name);
        Start(c.module);
        bool pxa270 = c.module == SIM_MODULE_PXA270;
        LoadBootConfig(true);
        EXPECT_EQ(SimFlashRequestCounts().reads, 1);
        for (int w = 0; w < 18; ++w)
            EXPECT_EQ(BootConfigBlock[w], pxa270 ? kPxa270Defaults[w] : 0u) << "word " << w;
        EnterBootup();
        std::map<uint32_t, int> fn(c.functions.begin(), c.functions.end());
        for (uint32_t g = 0; g < GetGPIOCount(); ++g) {
            SCOPED_TRACE(g);
            EXPECT_EQ(GetGPIODir(g), pxa270 && outputs.count(g) ? 1 : 0);
            EXPECT_EQ(GetGPIOLevel(g), pxa270 && high.count(g) ? 1 : 0);
            EXPECT_EQ(GetGPIOAltFn(g), fn.count(g) ? fn[g] : 0);
        }
    }
}

// A stored block replaces the defaults; the load writes its registers and (PXA3xx) the MFPR
// defaults into the image, nothing else. Save stores the edits (PXA270: the output half's Fn1
// item sets function 1 and output); the words the tool does not interpret go back bit for bit.
TEST(BootConfig, LoadWritesTheListedWordsAndSaveKeepsTheOthers) {
    for (SimModule module : {SIM_MODULE_PXA270, SIM_MODULE_PXA300}) {
        SCOPED_TRACE(SimModuleDescription(module)->name);
        Start(module);
        bool pxa270 = module == SIM_MODULE_PXA270;
        Block stored;
        for (int w = 0; w < 18; ++w)
            stored.w[w] = 0x5A000000u + 0x10101u * w;
        Store(stored);
        for (int i = 0; i < BOOT_IMAGE_WORDS; ++i)
            BootImage[i] = 0xA5000000u | i;
        LoadBootConfig(true);
        EXPECT_EQ(memcmp(BootConfigBlock, stored.w, sizeof stored.w), 0);
        std::map<int, uint32_t> written;
        for (int w = 0; w < (pxa270 ? 16 : 8); ++w)
            written[kBlockToImage[w]] = stored.w[w];
        if (!pxa270)
            for (auto [g, f] : {std::pair{0, 1},
                                {1, 1},
                                {2, 1},
                                {9, 7},
                                {10, 7},
                                {46, 1},
                                {49, 3},
                                {50, 2},
                                {51, 3},
                                {52, 3}})
                written[BOOT_IMAGE_GPIO_WORDS + g] = f;
        for (int i = 0; i < BOOT_IMAGE_WORDS; ++i)
            EXPECT_EQ(BootImage[i], written.count(i) ? written[i] : 0xA5000000u | i) << i;

        memset(BootImage, 0, sizeof BootImage); // no pending set and clear words
        LoadBootConfig(true);
        EnterBootup();
        FakeDialog dialog;
        ApplyDirection(40, 1);
        ApplyLevel(40, 1);
        ApplyLevel(7, 0);
        SetGPIOEdgeDetect(41, 3);
        if (pxa270) SetGPIOAltFn(41, 1, 1); // the output half's Fn1 item
        OnSave(dialog.window);
        Block saved;
        ASSERT_TRUE(Stored(&saved));
        for (int w = pxa270 ? 16 : 8; w < 18; ++w)
            EXPECT_EQ(saved.w[w], stored.w[w]) << "word " << w;
        EXPECT_EQ(saved.w[1], stored.w[1] | Bit(40) | (pxa270 ? Bit(41) : 0));
        EXPECT_EQ(saved.w[4], stored.w[4] & ~Bit(7));
        EXPECT_EQ(saved.w[5], stored.w[5] | Bit(40));
        if (pxa270) { // function 1 in GPIO 41's two bits
            EXPECT_EQ(saved.w[10], (stored.w[10] & ~(3u << 18)) | 1u << 18);
        }
    }
}

// The folds: a set or clear word GPIOLib wrote ends in the direction or level word, the set
// and clear words empty; a bit both set and cleared ends cleared, in every bank.
TEST(BootConfig, FoldsTurnSetAndClearWordsIntoTheRegister) {
    struct Words {
        int target[4], set[4], clear[4]; // image words by bank
    };
    const Words dirWords = {{0x00C / 4, 0x010 / 4, 0x014 / 4, 0x10C / 4},
                            {0x400 / 4, 0x404 / 4, 0x408 / 4, 0x40C / 4},
                            {0x420 / 4, 0x424 / 4, 0x428 / 4, 0x42C / 4}};
    const Words levelWords = {{0x000 / 4, 0x004 / 4, 0x008 / 4, 0x100 / 4},
                              {0x018 / 4, 0x01C / 4, 0x020 / 4, 0x118 / 4},
                              {0x024 / 4, 0x028 / 4, 0x02C / 4, 0x124 / 4}};
    struct Case {
        SimModule module;
        bool dir; // else level
        uint32_t gpio;
    } cases[] = {
        {SIM_MODULE_PXA300, true, 40},  {SIM_MODULE_PXA320, true, 130}, // second pad of GPIO 2
        {SIM_MODULE_PXA310, true, 100}, {SIM_MODULE_PXA270, true, 100},
        {SIM_MODULE_PXA300, false, 40}, {SIM_MODULE_PXA270, false, 100},
        {SIM_MODULE_PXA320, false, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << SimModuleDescription(c.module)->name << " GPIO "
                                        << c.gpio << (c.dir ? " dir" : " level"));
        Start(c.module); // an all-zero image
        EnterBootup();
        const Words& w = c.dir ? dirWords : levelWords;
        auto apply = [&](uint32_t value) {
            c.dir ? ApplyDirection(c.gpio, value) : ApplyLevel(c.gpio, value);
        };
        auto get = [&] { return c.dir ? GetGPIODir(c.gpio) : GetGPIOLevel(c.gpio); };
        uint32_t bank = (c.gpio & 127) >> 5, bit = Bit(c.gpio & 127);
        apply(1);
        EXPECT_EQ(BootImage[w.target[bank]], bit);
        EXPECT_EQ(get(), 1);
        apply(0);
        EXPECT_EQ(BootImage[w.target[bank]], 0u);
        EXPECT_EQ(get(), 0);
        // The PXA270 writes its direction word itself: no set and clear words to fold.
        bool setClear = !c.dir || c.module != SIM_MODULE_PXA270;
        // In the other banks: bit 0 set and cleared, bit 1 set, bit 2 cleared, bit 3 as it was.
        for (uint32_t n = 0; n < 4 && setClear; ++n) {
            if (n == bank) continue;
            BootImage[w.target[n]] = 1 | 4 | 8;
            BootImage[w.set[n]] = 1 | 2;
            BootImage[w.clear[n]] = 1 | 4;
        }
        apply(1);
        for (uint32_t n = 0; n < 4; ++n)
            EXPECT_EQ(BootImage[w.target[n]], n == bank ? bit : setClear ? 2u | 8u : 0u) << n;
        for (const Words& all : {dirWords, levelWords})
            for (int n = 0; n < 4; ++n)
                EXPECT_EQ(BootImage[all.set[n]] | BootImage[all.clear[n]], 0u) << n;
    }
}

// Edits on the image leave every live register as it was, also an edit made after the mode
// changed but before the rebuild switched the library (it is dropped); back in Current
// Settings the same calls reach the live registers.
TEST(BootConfig, ImageEditsNeverTouchTheLiveRegisters) {
    for (SimModule module : {SIM_MODULE_PXA270, SIM_MODULE_PXA320}) {
        SCOPED_TRACE(SimModuleDescription(module)->name);
        Start(module);
        LoadBootConfig(true);
        auto live = [] {
            std::vector<uint32_t> words;
            for (int r = 0; r < SimRegionCount(); ++r)
                for (DWORD o = 0; o < SimRegionAt(r)->size; o += 4) {
                    uint32_t v = 0;
                    SimPhysicalRead(SimRegionAt(r)->physical + o, &v);
                    words.push_back(v);
                }
            return words;
        };
        std::vector<uint32_t> before = live();
        SettingsMode = SETTINGS_BOOTUP; // switched, library not yet
        ApplyDirection(20, 1);
        ApplyLevel(20, 1);
        EXPECT_EQ(live(), before);
        SyncGpioLibWithSettingsMode();
        for (uint32_t g : {3u, 20u, 40u, 100u}) {
            ApplyDirection(g, !GetGPIODir(g));
            ApplyLevel(g, !GetGPIOLevel(g));
            SetGPIOEdgeDetect(g, 3);
            ClearGPIOEdgeStatus(g);
        }
        SetGPIOAltFn(20, 1, 1);
        LoadBootConfig(false);
        CopyImageToBlock();
        EXPECT_EQ(live(), before);
        SettingsMode = SETTINGS_CURRENT;
        SyncGpioLibWithSettingsMode();
        int dir = GetGPIODir(20);
        ApplyDirection(20, !dir);
        EXPECT_EQ(GetGPIODir(20), !dir);
        EXPECT_NE(live(), before);
    }
}

// The library follows the SettingsMode both ways; a second call changes nothing (no new
// processor identification, the windows kept).
TEST(BootConfig, SyncSwitchesTheLibraryBothWaysOnce) {
    Start(SIM_MODULE_PXA310);
    LoadBootConfig(false);
    for (int round = 0; round < 2; ++round) {
        SettingsMode = SETTINGS_BOOTUP;
        SyncGpioLibWithSettingsMode();
        EXPECT_EQ(GetGPIOLibImage(), BootImage);
        int calls = SimKernelCallCount();
        SyncGpioLibWithSettingsMode();
        EXPECT_EQ(SimKernelCallCount(), calls);
        EXPECT_EQ(GetGPIOCount(), 139u);
        SettingsMode = SETTINGS_CURRENT;
        SyncGpioLibWithSettingsMode();
        EXPECT_EQ(GetGPIOLibImage(), nullptr);
        EXPECT_EQ(GetGPIODir(FactsOf(PROCESSOR_PXA310).gpioCount - 1), SimPinIsOutput(138));
        calls = SimKernelCallCount();
        SyncGpioLibWithSettingsMode();
        EXPECT_EQ(SimKernelCallCount(), calls);
    }
}

// The mode handlers: only a change does something; buttons and help text follow the mode; the
// mode is never entered where the library cannot work on an image.
TEST(BootConfig, ModeSwitchesShowButtonsAndHelp) {
    const wchar_t* first = L"RightClick on setting to change. Click on Column Headers to change "
                           L"sort order.\r\n";
    const wchar_t* marks = L"\r\n* This signal is assigned to more than one module pin. See the "
                           L"module datasheet for more information.\r\n# This signal is "
                           L"multiplexed with another one. See the module datasheet for more "
                           L"information.";
    const std::wstring warning = std::wstring(first) +
                                 L"Warning!!! Incorrect settings may prevent the system from "
                                 L"booting. If this happens use 'clear gpio' command in bootloader";
    const std::wstring note = std::wstring(first) +
                              L"NOTE: this is for testing/debugging only, settings are discarded "
                              L"on next boot. Use Boot-up Settings mode to change the boot-up "
                              L"defaults.";
    struct Case {
        SimModule module;
        std::wstring bootup, current;
    } cases[] = {
        {SIM_MODULE_PXA270, warning, note},
        {SIM_MODULE_PXA300, warning + L"." + marks, note + marks},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(SimModuleDescription(c.module)->name);
        Start(c.module);
        FakeDialog dialog;
        EXPECT_FALSE(OnCurrentSettings(dialog.window));
        EXPECT_EQ(dialog.Help(), L"");
        EXPECT_TRUE(OnBootupSettings(dialog.window));
        EXPECT_EQ(SettingsMode, SETTINGS_BOOTUP);
        EXPECT_TRUE(dialog.Shown(IDC_SAVE) && dialog.Shown(IDC_RESETCLEAR));
        EXPECT_EQ(dialog.Help(), c.bootup);
        EXPECT_EQ(HelpText(SETTINGS_BOOTUP), c.bootup);
        EXPECT_EQ(GetGPIOLibImage(), nullptr); // the rebuild switches the library
        EXPECT_FALSE(OnBootupSettings(dialog.window));
        EXPECT_TRUE(OnCurrentSettings(dialog.window));
        EXPECT_EQ(SettingsMode, SETTINGS_CURRENT);
        EXPECT_FALSE(dialog.Shown(IDC_SAVE) || dialog.Shown(IDC_RESETCLEAR));
        EXPECT_EQ(dialog.Help(), c.current);
    }
    Start(SIM_MODULE_TEGRA3);
    FakeDialog dialog;
    EXPECT_FALSE(OnBootupSettings(dialog.window));
    EXPECT_EQ(SettingsMode, SETTINGS_CURRENT);
    LoadBootConfig(true);
    EXPECT_EQ(SimFlashRequestCounts().reads, 0);
}

// Save refused: the message, the button disabled while it shows, the edits kept; the next
// Save sends the same block, and stores it once the platform takes it.
TEST(BootConfig, RefusedSaveKeepsTheEditsAndRetriesTheSameBlock) {
    Start(SIM_MODULE_PXA300);
    LoadBootConfig(true);
    EnterBootup();
    FakeDialog dialog;
    ApplyDirection(40, 1);
    SimFlashRefuse(SIM_FLASH_SAVE);
    Block sent[3];
    for (int attempt = 0; attempt < 3; ++attempt) {
        SCOPED_TRACE(attempt);
        if (attempt == 2) SimFlashRefuse(0);
        BoxAnswerer boxes(dialog);
        OnSave(dialog.window);
        boxes.Stop();
        ASSERT_TRUE(SimFlashLastSaveRequest(reinterpret_cast<BYTE*>(sent[attempt].w)));
        EXPECT_EQ(memcmp(sent[attempt].w, sent[0].w, sizeof sent[0].w), 0);
        EXPECT_TRUE(dialog.Enabled(IDC_SAVE));
        if (attempt == 2) {
            EXPECT_TRUE(boxes.seen.empty());
            continue;
        }
        ASSERT_EQ(boxes.seen.size(), 1u);
        EXPECT_EQ(boxes.seen[0].caption, L"ERROR");
        EXPECT_EQ(boxes.seen[0].text, L"Could not Save GPIOs Parameters");
        EXPECT_FALSE(boxes.seen[0].saveEnabled);
        Block none;
        EXPECT_FALSE(Stored(&none));
        EXPECT_EQ(GetGPIODir(40), 1);
    }
    EXPECT_EQ(sent[0].w[1], Bit(40));
    EXPECT_EQ(SimFlashRequestCounts().saves, 3);
    Block saved;
    ASSERT_TRUE(Stored(&saved));
    EXPECT_EQ(memcmp(saved.w, sent[0].w, sizeof saved.w), 0);
}

// Reset/Clear: defaults in the image at once; the question; the erase only on Yes, its refusal
// reported; the stored block changes only by that erase.
TEST(BootConfig, ResetClearAsksAndErasesOnlyOnYes) {
    struct Case {
        int answer;
        bool refuseErase;
        bool storedAfter;
        const wchar_t* error; // second box, or null
    } cases[] = {
        {IDNO, false, true, nullptr},
        {IDYES, true, true, L"Could not Clear GPIOs Parameters"},
        {IDYES, false, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.answer << " " << c.refuseErase);
        Start(SIM_MODULE_PXA270);
        Block planted = {};
        planted.w[0] = 0x00000002; // GPIO 1 output, GPIO 15 input
        planted.w[17] = 0xDEADBEEF;
        Store(planted);
        LoadBootConfig(true);
        EnterBootup();
        ASSERT_EQ(GetGPIODir(15), 0);
        FakeDialog dialog;
        SimFlashRefuse(c.refuseErase ? SIM_FLASH_ERASE : 0);
        BoxAnswerer boxes(dialog, c.answer);
        OnResetClear(dialog.window);
        boxes.Stop();
        ASSERT_EQ(boxes.seen.size(), c.error ? 2u : 1u);
        EXPECT_EQ(boxes.seen[0].caption, L"WARNING");
        EXPECT_EQ(boxes.seen[0].text, L"Do you want to Clear the Saved Flash Configuration too?");
        EXPECT_FALSE(boxes.seen[0].resetEnabled);
        if (c.error) {
            EXPECT_EQ(boxes.seen[1].caption, L"ERROR");
            EXPECT_EQ(boxes.seen[1].text, c.error);
        }
        EXPECT_TRUE(dialog.Enabled(IDC_RESETCLEAR));
        EXPECT_EQ(SimFlashRequestCounts().erases, c.answer == IDYES ? 1 : 0);
        EXPECT_EQ(GetGPIODir(15), 1);
        EXPECT_EQ(GetGPIOLevel(15), 1);
        EXPECT_EQ(GetGPIOAltFn(15), 2);
        EXPECT_EQ(GetGPIODir(1), 0);
        EXPECT_EQ(BootConfigBlock[17], 0u);
        Block after;
        ASSERT_EQ(Stored(&after), c.storedAfter);
        if (c.storedAfter) {
            EXPECT_EQ(memcmp(after.w, planted.w, sizeof after.w), 0);
        }
    }
}

// A refused read at start: the defaults, silently, and none of the stored block.
TEST(BootConfig, RefusedReadGivesTheDefaults) {
    Start(SIM_MODULE_PXA270);
    Block stored = {};
    for (uint32_t& w : stored.w)
        w = 0xFFFFFFFF;
    Store(stored);
    SimFlashRefuse(SIM_FLASH_READ);
    LoadBootConfig(true);
    EXPECT_EQ(SimFlashRequestCounts().reads, 1);
    EXPECT_EQ(memcmp(BootConfigBlock, kPxa270Defaults, sizeof kPxa270Defaults), 0);
    SimFlashRefuse(0);
    LoadBootConfig(true);
    EXPECT_EQ(memcmp(BootConfigBlock, stored.w, sizeof stored.w), 0);
}

// A click that reaches the command while its own message box is open (the box's loop serves
// the dialog's messages) does not start the command again inside itself.
TEST(BootConfig, CommandsDoNotRunAgainInsideTheirOwnMessageBox) {
    Start(SIM_MODULE_PXA270);
    LoadBootConfig(true);
    EnterBootup();
    FakeDialog dialog;
    SimFlashRefuse(SIM_FLASH_SAVE | SIM_FLASH_ERASE);
    for (int command : {IDC_SAVE, IDC_RESETCLEAR}) {
        SCOPED_TRACE(command);
        SimFlashRequests before = SimFlashRequestCounts();
        // The second click, queued before the answer to the first box.
        bool clicked = false;
        BoxAnswerer boxes(dialog, IDYES, [&] {
            if (!clicked) PostMessageW(dialog.window, WM_COMMAND, command, 0);
            clicked = true;
        });
        SendMessageW(dialog.window, WM_COMMAND, command, 0);
        boxes.Stop();
        SimFlashRequests after = SimFlashRequestCounts();
        EXPECT_EQ(after.saves - before.saves, command == IDC_SAVE ? 1 : 0);
        EXPECT_EQ(after.erases - before.erases, command == IDC_SAVE ? 0 : 1);
        EXPECT_EQ(boxes.seen.size(), command == IDC_SAVE ? 1u : 2u);
        EXPECT_TRUE(dialog.Enabled(command));
    }
}
