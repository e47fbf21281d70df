// The saved boot configuration under bad conditions: damaged or odd store files, a process
// killed while it saves, and the flash controls of gpiosim.
#include "app/bootcfg.h"
#include "sim/flash.h"
#include "table/shared.h"
#include "tests/test_support.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <cstring>
#include <random>
#include <string>

namespace {

constexpr uint32_t kPxa270Defaults[18] = {
    0xC0008000, 0x00020000, 0x8001C000, 0x00000004, 0x00008000, 0x00020000,
    0x0001C000, 0x00000000, 0x80000000, 0x00000010, 0x00000000, 0x00000008,
    0xA0000000, 0x00000002, 0x00000000, 0x00000000, 0,          0};

struct Block {
    uint32_t w[18];
};

Block Filled(uint32_t value) {
    Block b;
    for (uint32_t& w : b.w)
        w = value;
    return b;
}

void Start(SimModule module) {
    UseModule(module);
    SimFlashClear(module);
    SimFlashRefuse(0);
    InitGPIOLib();
    ProcessorId = IdentifyProcessor();
    SettingsMode = SETTINGS_CURRENT;
}

std::wstring StorePath() {
    wchar_t path[MAX_PATH];
    SimFlashPath(SimCurrentModule(), path, MAX_PATH);
    return path;
}

void WriteStore(const std::string& bytes) {
    HANDLE file =
        CreateFileW(StorePath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

std::string ReadStore() {
    std::string bytes(200, '\0');
    HANDLE file = CreateFileW(StorePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    DWORD got = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr);
        CloseHandle(file);
    }
    bytes.resize(got);
    return bytes;
}

// The start's load finds nothing usable: the PXA270 defaults. Then Save stores a block that the
// next read returns.
void ExpectDefaultsThenAGoodSave() {
    LoadBootConfig(true);
    EXPECT_EQ(memcmp(BootConfigBlock, kPxa270Defaults, sizeof kPxa270Defaults), 0);
    BootConfigBlock[17] = 0x600DB10C;
    ASSERT_TRUE(SaveBootConfig(6, BootConfigBlock, BOOT_CONFIG_BYTES));
    Block back = {};
    ASSERT_TRUE(ReadBootConfig(6, back.w, BOOT_CONFIG_BYTES));
    EXPECT_EQ(memcmp(back.w, BootConfigBlock, sizeof back.w), 0);
}

} // namespace

// Store files of every length from 0 to 200 bytes, each as a good file cut short or padded
// and as random bytes; a good file with one bit flipped in the block or in the checksum.
TEST(FlashStore, DamagedFilesReadAsNothingStored) {
    Start(SIM_MODULE_PXA270);
    ASSERT_TRUE(SaveBootConfig(6, Filled(0x12345678).w, BOOT_CONFIG_BYTES));
    const std::string good = ReadStore();
    ASSERT_EQ(good.size(), 80u);
    unsigned seed = GetTickCount();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    for (size_t length = 0; length <= 200; ++length) {
        for (bool fromGood : {true, false}) {
            SCOPED_TRACE(testing::Message()
                         << length << (fromGood ? " bytes of a good file" : " random bytes"));
            std::string bytes(length, '\0');
            for (size_t i = 0; i < length; ++i)
                bytes[i] = fromGood && i < good.size() ? good[i] : char(random());
            if (fromGood && length == good.size()) continue; // the good file itself
            WriteStore(bytes);
            ExpectDefaultsThenAGoodSave();
        }
    }
    for (size_t bit : {4 * 8 + 3, 75 * 8, 79 * 8 + 7}) { // block word 0, checksum
        SCOPED_TRACE(testing::Message() << "bit " << bit << " flipped");
        std::string bytes = good;
        bytes[bit / 8] ^= char(1 << (bit % 8));
        WriteStore(bytes);
        ExpectDefaultsThenAGoodSave();
    }
}

// A store that cannot be opened (held open by another with no sharing) or that is a folder:
// nothing stored; once the file is free, or the folder empty, Save writes a good block. A folder
// with something in it is not removed: Save reports failure.
TEST(FlashStore, UnopenableStoreReadsAsNothingStored) {
    Start(SIM_MODULE_PXA270);
    ASSERT_TRUE(SaveBootConfig(6, Filled(1).w, BOOT_CONFIG_BYTES));
    HANDLE held = CreateFileW(StorePath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    LoadBootConfig(true);
    EXPECT_EQ(memcmp(BootConfigBlock, kPxa270Defaults, sizeof kPxa270Defaults), 0);
    CloseHandle(held);
    ASSERT_TRUE(SaveBootConfig(6, BootConfigBlock, BOOT_CONFIG_BYTES));
    Block back = {};
    ASSERT_TRUE(ReadBootConfig(6, back.w, BOOT_CONFIG_BYTES));
    EXPECT_EQ(memcmp(back.w, kPxa270Defaults, sizeof back.w), 0);

    ASSERT_TRUE(SimFlashClear(SIM_MODULE_PXA270));
    ASSERT_TRUE(CreateDirectoryW(StorePath().c_str(), nullptr));
    {
        SCOPED_TRACE("empty folder");
        ExpectDefaultsThenAGoodSave();
    }
    ASSERT_TRUE(SimFlashClear(SIM_MODULE_PXA270));
    ASSERT_TRUE(CreateDirectoryW(StorePath().c_str(), nullptr));
    std::wstring inside = StorePath() + L"\\keep.txt";
    HANDLE file = CreateFileW(inside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);
    LoadBootConfig(true);
    EXPECT_EQ(memcmp(BootConfigBlock, kPxa270Defaults, sizeof kPxa270Defaults), 0);
    EXPECT_FALSE(SaveBootConfig(6, BootConfigBlock, BOOT_CONFIG_BYTES));
    EXPECT_NE(GetFileAttributesW(inside.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(inside.c_str());
    RemoveDirectoryW(StorePath().c_str());
}

// Another process reading the stored block just then (gpiosim, a second tool starting) holds
// a save up for a moment; it does not make it fail.
TEST(FlashStore, SaveWaitsForAReaderOfTheStoredBlock) {
    Start(SIM_MODULE_PXA270);
    ASSERT_TRUE(SaveBootConfig(6, Filled(1).w, BOOT_CONFIG_BYTES));
    // Opened as a reader opens it; let go of 200 ms later.
    HANDLE reader =
        CreateFileW(StorePath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    HANDLE closer = CreateThread(
        nullptr, 0, [](void* file) -> DWORD { return Sleep(200), CloseHandle(file); }, reader, 0,
        nullptr);
    EXPECT_TRUE(SaveBootConfig(6, Filled(2).w, BOOT_CONFIG_BYTES));
    WaitForSingleObject(closer, INFINITE);
    CloseHandle(closer);
    Block back = {};
    ASSERT_TRUE(ReadBootConfig(6, back.w, BOOT_CONFIG_BYTES));
    EXPECT_EQ(back.w[0], 2u);
}

// A process killed at random moments while it saves in a loop leaves a whole block, the old or
// a new one, never a mix; the next start's read gets it.
TEST(FlashStore, KilledWhileSavingLeavesAWholeBlock) {
    if (GetEnvironmentVariableW(L"VELMORA_CHILD_SAVE_LOOP", nullptr, 0)) {
        // Every word of block i is (pid << 16) + i: a torn file would mix two values.
        for (uint32_t i = 1;; ++i)
            SaveBootConfig(6, Filled((GetCurrentProcessId() & 0xFFFF) << 16 | (i & 0xFFFF)).w,
                           BOOT_CONFIG_BYTES);
    }
    Start(SIM_MODULE_PXA270);
    ASSERT_TRUE(SaveBootConfig(6, Filled(0).w, BOOT_CONFIG_BYTES));
    unsigned seed = GetTickCount();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    std::wstring line =
        L"\"" + ThisProgram() + L"\" --gtest_filter=FlashStore.KilledWhileSavingLeavesAWholeBlock";
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE(round);
        SetEnvironmentVariableW(L"VELMORA_CHILD_SAVE_LOOP", L"1");
        SetEnvironmentVariableW(L"VELMORA_SIM_MODULE", L"pxa270");
        PROCESS_INFORMATION child;
        bool started = StartQuietly(line, &child);
        SetEnvironmentVariableW(L"VELMORA_CHILD_SAVE_LOOP", nullptr);
        SetEnvironmentVariableW(L"VELMORA_SIM_MODULE", nullptr);
        ASSERT_TRUE(started);
        // Once the child's first block is stored, it is in its loop: kill it a little later.
        Block seen = {};
        bool childSaved = false;
        while (!childSaved && WaitForSingleObject(child.hProcess, 2) == WAIT_TIMEOUT)
            childSaved = SimFlashLoad(SIM_MODULE_PXA270, reinterpret_cast<BYTE*>(seen.w)) &&
                         seen.w[0] >> 16 == (child.dwProcessId & 0xFFFF);
        EXPECT_TRUE(childSaved) << "the child ended before it saved";
        Sleep(random() % 25);
        TerminateProcess(child.hProcess, 9);
        WaitForSingleObject(child.hProcess, INFINITE);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);

        Block stored = {};
        ASSERT_TRUE(SimFlashLoad(SIM_MODULE_PXA270, reinterpret_cast<BYTE*>(stored.w)));
        for (uint32_t w : stored.w)
            EXPECT_EQ(w, stored.w[0]);
        EXPECT_EQ(stored.w[0] >> 16, child.dwProcessId & 0xFFFF);
        LoadBootConfig(true);
        EXPECT_EQ(memcmp(BootConfigBlock, stored.w, sizeof stored.w), 0);
        // The module's lock, which the child may have died holding, is free again.
        BYTE requested[BOOT_CONFIG_BYTES];
        EXPECT_TRUE(SimFlashLastSaveRequest(requested));
    }
}

// gpiosim makes the platform refuse requests of a module that some process holds (here this
// one) and shows the stored block, the refusals and the request counts.
TEST(GpiosimFlash, RefusalsAndCountsReachTheHoldingProcess) {
    Start(SIM_MODULE_PXA270);
    ChildResult refuse = Gpiosim("pxa270", L"flash refuse save erase");
    ASSERT_EQ(refuse.exitCode, 0) << refuse.output;
    EXPECT_TRUE(Contains(refuse.output, "flash refuses: save erase")) << refuse.output;
    Block block = Filled(0xC0DE);
    EXPECT_FALSE(SaveBootConfig(6, block.w, BOOT_CONFIG_BYTES));
    EXPECT_FALSE(ClearBootConfig(6));
    EXPECT_FALSE(ReadBootConfig(6, block.w, BOOT_CONFIG_BYTES)); // nothing stored
    ChildResult show = Gpiosim("pxa270", L"flash");
    EXPECT_EQ(show.exitCode, 0) << show.output;
    for (const char* line :
         {"stored block: none", "refused: save erase", "requests: 1 read, 1 save, 1 erase"})
        EXPECT_TRUE(Contains(show.output, line)) << line << " in:\n" << show.output;

    EXPECT_EQ(Gpiosim("pxa270", L"flash refuse none").exitCode, 0);
    EXPECT_TRUE(SaveBootConfig(6, kPxa270Defaults, BOOT_CONFIG_BYTES));
    show = Gpiosim("pxa270", L"flash");
    for (const char* line : {"stored block: C0008000 00020000 8001C000", "refused: nothing",
                             "requests: 1 read, 2 save, 1 erase"})
        EXPECT_TRUE(Contains(show.output, line)) << line << " in:\n" << show.output;
    EXPECT_TRUE(Gpiosim("pxa270", L"flash refuse read").exitCode == 0 &&
                !ReadBootConfig(6, block.w, BOOT_CONFIG_BYTES));

    struct Bad {
        const wchar_t* arguments;
        int exitCode;
    } bad[] = {
        {L"flash refuse", 2},     {L"flash refuse bogus", 2}, {L"flash refuse none read", 2},
        {L"flash everything", 2}, {L"flash refuse READ", 2},  {L"flash refuse save -1", 2},
    };
    for (const Bad& b : bad) {
        ChildResult r = Gpiosim("pxa270", b.arguments);
        EXPECT_EQ(r.exitCode, b.exitCode) << b.arguments << "\n" << r.output;
        EXPECT_TRUE(Contains(r.output, "gpiosim: ")) << r.output;
    }
    EXPECT_EQ(SimFlashRefused(), SIM_FLASH_READ); // unchanged by the refused commands

    // A module no process holds keeps nothing: refusing is refused, showing says so.
    ChildResult unheld = Gpiosim("pxa310", L"flash refuse read");
    EXPECT_EQ(unheld.exitCode, 1) << unheld.output;
    EXPECT_TRUE(Contains(unheld.output, "no tool holds the pxa310 module")) << unheld.output;
    unheld = Gpiosim("pxa310", L"flash");
    EXPECT_EQ(unheld.exitCode, 0) << unheld.output;
    EXPECT_TRUE(Contains(unheld.output, "nothing refused, no requests counted")) << unheld.output;
}
