// The platform's kernel services as the simulated module provides them.
#include "platform/ce.h"
#include "platform/kernel_ioctl.h"
#include "sim/flash.h"
#include "gpiolib/gpiolib.h"
#include "platform/regio.h"
#include "sim/sim.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>

namespace {

BOOL ModuleInfo(DWORD* word) {
    *word = 0;
    return KernelIoControl(IOCTL_MODULE_INFO, nullptr, 0, word, 0, nullptr);
}

struct Block {
    BYTE bytes[BOOT_BLOCK_SIZE];
};

Block Pattern(BYTE seed) {
    Block block;
    for (DWORD i = 0; i < BOOT_BLOCK_SIZE; ++i)
        block.bytes[i] = BYTE(seed + i * 7);
    return block;
}

DWORD Read(Block* block, UINT_PTR id = BOOT_BLOCK_GPIO, UINT_PTR size = BOOT_BLOCK_SIZE) {
    BootBlockRequest request = {id, reinterpret_cast<UINT_PTR>(block->bytes), size};
    DWORD count = 0xDEAD;
    BOOL ok = KernelIoControl(IOCTL_READ_BOOT_CONFIG, &request, sizeof request, block->bytes,
                              BOOT_BLOCK_SIZE, &count);
    EXPECT_EQ(ok != FALSE, count != 0);
    return count;
}

DWORD Save(const Block& block, UINT_PTR id = BOOT_BLOCK_GPIO, UINT_PTR size = BOOT_BLOCK_SIZE) {
    BootBlockRequest request = {id, reinterpret_cast<UINT_PTR>(block.bytes), size};
    DWORD count = 0xDEAD;
    BOOL ok = KernelIoControl(IOCTL_SAVE_BOOT_CONFIG, &request, sizeof request, nullptr, 0, &count);
    EXPECT_EQ(ok != FALSE, count != 0);
    return count;
}

DWORD Clear(UINT_PTR id = BOOT_BLOCK_GPIO) {
    BootBlockRequest request = {id, 0, 0};
    DWORD count = 0xDEAD;
    BOOL ok =
        KernelIoControl(IOCTL_CLEAR_BOOT_CONFIG, &request, sizeof request, nullptr, 0, &count);
    EXPECT_EQ(ok != FALSE, count != 0);
    return count;
}

} // namespace

TEST(ModuleInformation, BelvanFamilyOnlyOnTheBelvanModule) {
    for (SimModule module :
         {SIM_MODULE_PXA270, SIM_MODULE_PXA320, SIM_MODULE_PXA300, SIM_MODULE_PXA310,
          SIM_MODULE_TEGRA2, SIM_MODULE_TEGRA3, SIM_MODULE_UNKNOWN_CPU}) {
        UseModule(module);
        DWORD word;
        EXPECT_TRUE(ModuleInfo(&word));
        EXPECT_NE(word & MODULE_FAMILY_MASK, MODULE_FAMILY_BELVAN)
            << SimModuleDescription(module)->name;
    }
    UseModule(SIM_MODULE_TEGRA3_BELVAN);
    DWORD word;
    EXPECT_TRUE(ModuleInfo(&word));
    EXPECT_EQ(word & MODULE_FAMILY_MASK, MODULE_FAMILY_BELVAN);
}

TEST(ModuleInformation, FailsOnNoModule) {
    UseModule(SIM_MODULE_NONE);
    DWORD word;
    EXPECT_FALSE(ModuleInfo(&word));
    EXPECT_EQ(word, 0u);
}

// The choice comes from the environment, read once per process; a bad value is named on stderr.
TEST(ModuleInformation, EnvironmentChoosesTheModule) {
    if (GetEnvironmentVariableW(L"VELMORA_CHILD_QUERY", nullptr, 0)) {
        DWORD word;
        BOOL ok = ModuleInfo(&word);
        printf("\nok=%d word=%08lx id=%x\n", ok, word, IdentifyProcessor());
        fflush(stdout);
        ExitProcess(0);
    }
    struct Case {
        const wchar_t* value;
        const char* expected;
    } cases[] = {
        {L"VELMORA_SIM_MODULE=tegra3-belvan", "ok=1 word=00013000 id=412fc09"},
        {L"VELMORA_SIM_MODULE=pxa310", "ok=1 word=00000310 id=9"},
        {L"VELMORA_SIM_MODULE=", "ok=1 word=00000270 id=11"}, // unset: the PXA270
        {L"VELMORA_SIM_MODULE=none", "ok=0 word=00000000 id=0"},
    };
    std::wstring command =
        L"\"" + ThisProgram() + L"\" --gtest_filter=ModuleInformation.EnvironmentChoosesTheModule";
    for (const Case& c : cases) {
        ChildResult child = RunChild(command, {L"VELMORA_CHILD_QUERY=1", c.value});
        EXPECT_EQ(child.exitCode, 0);
        EXPECT_NE(child.output.find(c.expected), std::string::npos) << child.output;
        EXPECT_EQ(child.output.find("is not usable"), std::string::npos);
    }
    ChildResult bad = RunChild(command, {L"VELMORA_CHILD_QUERY=1", L"VELMORA_SIM_MODULE=pxa999"});
    EXPECT_NE(bad.output.find("ok=0"), std::string::npos) << bad.output;
    EXPECT_NE(
        bad.output.find("VELMORA_SIM_MODULE=pxa999 is not usable: use one of: pxa270, pxa320, "
                        "pxa300, pxa310, tegra2, tegra3, tegra3-belvan, none, unknown-cpu"),
        std::string::npos)
        << bad.output;
}

TEST(KernelService, CallRunsTheFunctionInKernelMode) {
    UseModule(SIM_MODULE_PXA270);
    static UINT_PTR seen;
    KernelCallRequest request = {KERNEL_SERVICE_CALL,
                                 reinterpret_cast<UINT_PTR>(+[](UINT_PTR argument) -> DWORD {
                                     seen = argument;
                                     return ReadMainIdRegister();
                                 }),
                                 0x1234};
    DWORD out = 0, count = 0;
    EXPECT_TRUE(
        KernelIoControl(IOCTL_KERNEL_SERVICE, &request, sizeof request, &out, sizeof out, &count));
    EXPECT_EQ(seen, 0x1234u);
    EXPECT_EQ(out, 0x69054117u);
    EXPECT_EQ(count, sizeof(DWORD));
}

TEST(KernelService, CallFailsWithoutFunctionOrRecord) {
    UseModule(SIM_MODULE_PXA270);
    KernelCallRequest request = {KERNEL_SERVICE_CALL, 0, 0};
    DWORD out = 0;
    EXPECT_FALSE(
        KernelIoControl(IOCTL_KERNEL_SERVICE, &request, sizeof request, &out, sizeof out, nullptr));
    EXPECT_EQ(out, 0u);
    UINT_PTR shortRequest = KERNEL_SERVICE_CALL;
    EXPECT_FALSE(KernelIoControl(IOCTL_KERNEL_SERVICE, &shortRequest, sizeof shortRequest, &out,
                                 sizeof out, nullptr));
    UINT_PTR unknown[3] = {7, 0, 0};
    EXPECT_FALSE(
        KernelIoControl(IOCTL_KERNEL_SERVICE, unknown, sizeof unknown, &out, sizeof out, nullptr));
    EXPECT_FALSE(KernelIoControl(0x01012000, nullptr, 0, &out, sizeof out, nullptr));
}

TEST(KernelService, MainIdRegisterNeedsAPrivilegedMode) {
    UseModule(SIM_MODULE_PXA270);
    static LONG raised;
    PVOID handler = AddVectoredExceptionHandler(1, [](EXCEPTION_POINTERS* e) -> LONG {
        if (e->ExceptionRecord->ExceptionCode != STATUS_PRIVILEGED_INSTRUCTION)
            return EXCEPTION_CONTINUE_SEARCH;
        raised = 1;
        return EXCEPTION_CONTINUE_EXECUTION; // RaiseException returns
    });
    ReadMainIdRegister();
    RemoveVectoredExceptionHandler(handler);
    EXPECT_EQ(raised, 1);
}

TEST(KernelService, MapNeedsInitialisationAReservedRangeAndADevice) {
    UseModule(SIM_MODULE_PXA270);
    void* reserved = VirtualAlloc(nullptr, 0x2000, MEM_RESERVE, PAGE_NOACCESS);
    KernelMapRequest map = {KERNEL_SERVICE_MAP, reinterpret_cast<UINT_PTR>(reserved),
                            0x40E00000 >> 8, 0x2000, 0x604};
    DWORD outcome = 0;
    EXPECT_FALSE(
        KernelIoControl(IOCTL_KERNEL_SERVICE, &map, sizeof map, &outcome, sizeof outcome, nullptr));
    EXPECT_EQ(SimKernelInitCount(), 0);

    KernelInitRequest init = {KERNEL_SERVICE_INIT};
    BYTE reply[KERNEL_INIT_REPLY_SIZE];
    DWORD count = 0;
    EXPECT_TRUE(
        KernelIoControl(IOCTL_KERNEL_SERVICE, &init, sizeof init, reply, sizeof reply, &count));
    EXPECT_GT(count, 0u);
    EXPECT_LE(count, KERNEL_INIT_REPLY_SIZE);

    KernelMapRequest noPhysical = map;
    noPhysical.protection = PAGE_READWRITE | PAGE_NOCACHE;
    EXPECT_FALSE(KernelIoControl(IOCTL_KERNEL_SERVICE, &noPhysical, sizeof noPhysical, &outcome,
                                 sizeof outcome, nullptr));
    KernelMapRequest noDevice = map;
    noDevice.physicalShifted = 0x6000D000 >> 8;
    EXPECT_FALSE(KernelIoControl(IOCTL_KERNEL_SERVICE, &noDevice, sizeof noDevice, &outcome,
                                 sizeof outcome, nullptr));
    void* committed = VirtualAlloc(nullptr, 0x2000, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    KernelMapRequest plainMemory = map;
    plainMemory.destination = reinterpret_cast<UINT_PTR>(committed);
    EXPECT_FALSE(KernelIoControl(IOCTL_KERNEL_SERVICE, &plainMemory, sizeof plainMemory, &outcome,
                                 sizeof outcome, nullptr));
    EXPECT_EQ(outcome, 0u);

    EXPECT_TRUE(
        KernelIoControl(IOCTL_KERNEL_SERVICE, &map, sizeof map, &outcome, sizeof outcome, nullptr));
    EXPECT_NE(outcome, 0u);
    // The mapping reaches the device at 0x40E00000 + 0x10C.
    EXPECT_TRUE(SimPhysicalWrite(0x40E0010C, 0x10));
    uint32_t value = 0;
    EXPECT_TRUE(
        SimRegisterRead(reinterpret_cast<uint32_t*>(static_cast<BYTE*>(reserved) + 0x10C), &value));
    EXPECT_EQ(value, 0x10u);
    VirtualFree(reserved, 0, MEM_RELEASE);
    VirtualFree(committed, 0, MEM_RELEASE);
}

TEST(KernelService, VirtualCopyOnlyFromKernelMode) {
    UseModule(SIM_MODULE_PXA270);
    void* reserved = VirtualAlloc(nullptr, 0x2000, MEM_RESERVE, PAGE_NOACCESS);
    EXPECT_FALSE(VirtualCopy(reserved, reinterpret_cast<void*>(0x40E00000 >> 8), 0x2000, 0x604));
    static void* destination;
    destination = reserved;
    KernelCallRequest request = {
        KERNEL_SERVICE_CALL, reinterpret_cast<UINT_PTR>(+[](UINT_PTR) -> DWORD {
            return VirtualCopy(destination, reinterpret_cast<void*>(0x40E00000 >> 8), 0x2000,
                               0x604);
        }),
        0};
    DWORD out = 0;
    EXPECT_TRUE(
        KernelIoControl(IOCTL_KERNEL_SERVICE, &request, sizeof request, &out, sizeof out, nullptr));
    EXPECT_TRUE(out);
    VirtualFree(reserved, 0, MEM_RELEASE);
}

TEST(BootBlock, NothingStoredThenSaveReadAndClear) {
    UseModule(SIM_MODULE_PXA300);
    Block block = Pattern(0);
    EXPECT_EQ(Read(&block), 0u);
    EXPECT_EQ(Save(Pattern(3)), BOOT_BLOCK_SIZE);
    Block back = {};
    EXPECT_EQ(Read(&back), BOOT_BLOCK_SIZE);
    EXPECT_EQ(memcmp(back.bytes, Pattern(3).bytes, BOOT_BLOCK_SIZE), 0);
    EXPECT_EQ(Clear(), BOOT_BLOCK_SIZE);
    EXPECT_EQ(Read(&back), 0u);
    // Clearing what is not there still leaves nothing stored.
    EXPECT_EQ(Clear(), BOOT_BLOCK_SIZE);
}

TEST(BootBlock, EachModuleHasItsOwnBlock) {
    UseModule(SIM_MODULE_PXA270);
    EXPECT_EQ(Save(Pattern(1)), BOOT_BLOCK_SIZE);
    UseModule(SIM_MODULE_PXA320);
    Block block;
    EXPECT_EQ(Read(&block), 0u);
}

TEST(BootBlock, RequestsForOtherBlocksOrSizesFail) {
    UseModule(SIM_MODULE_PXA270);
    Block block = Pattern(5);
    EXPECT_EQ(Save(block, 5), 0u);
    EXPECT_EQ(Save(block, BOOT_BLOCK_GPIO, 64), 0u);
    EXPECT_EQ(Read(&block), 0u); // nothing was stored
    EXPECT_EQ(Save(block), BOOT_BLOCK_SIZE);
    EXPECT_EQ(Read(&block, 7), 0u);
    EXPECT_EQ(Clear(7), 0u);
    EXPECT_EQ(Read(&block), BOOT_BLOCK_SIZE); // still there
    DWORD count = 1;
    EXPECT_FALSE(KernelIoControl(IOCTL_SAVE_BOOT_CONFIG, nullptr, 0, nullptr, 0, &count));
    EXPECT_EQ(count, 0u);
}

TEST(BootBlock, NoModuleNoStore) {
    UseModule(SIM_MODULE_NONE);
    Block block = Pattern(1);
    EXPECT_EQ(Save(block), 0u);
    EXPECT_EQ(Read(&block), 0u);
}

TEST(BootBlock, SurvivesARestart) {
    if (GetEnvironmentVariableW(L"VELMORA_CHILD_SAVE", nullptr, 0)) {
        Block block = Pattern(9);
        ExitProcess(Save(block) == BOOT_BLOCK_SIZE ? 0 : 1);
    }
    UseModule(SIM_MODULE_PXA310);
    ChildResult child =
        RunChild(L"\"" + ThisProgram() + L"\" --gtest_filter=BootBlock.SurvivesARestart",
                 {L"VELMORA_CHILD_SAVE=1", L"VELMORA_SIM_MODULE=pxa310"});
    ASSERT_EQ(child.exitCode, 0) << child.output;
    Block block = {};
    EXPECT_EQ(Read(&block), BOOT_BLOCK_SIZE);
    EXPECT_EQ(memcmp(block.bytes, Pattern(9).bytes, BOOT_BLOCK_SIZE), 0);
}

// A process that dies during a save, or a disk that fails it, leaves the old block; only the
// dead process leaves its temporary file behind.
TEST(BootBlock, ACrashOrAFailureDuringASaveLeavesTheOldBlock) {
    UseModule(SIM_MODULE_PXA320);
    ASSERT_EQ(Save(Pattern(1)), BOOT_BLOCK_SIZE);
    wchar_t path[MAX_PATH];
    SimFlashPath(SIM_MODULE_PXA320, path, MAX_PATH);
    wchar_t temp[MAX_PATH];
    wsprintfW(temp, L"%s.%lu.tmp", path, GetCurrentProcessId());
    for (bool ioError : {false, true}) {
        for (int step = 1; step <= 4; ++step) {
            SCOPED_TRACE(testing::Message() << (ioError ? "I/O error" : "crash") << " at " << step);
            SimFlashInjectCrash(step, ioError);
            EXPECT_EQ(Save(Pattern(BYTE(10 + step))), 0u);
            Block block = {};
            EXPECT_EQ(Read(&block), BOOT_BLOCK_SIZE);
            EXPECT_EQ(memcmp(block.bytes, Pattern(1).bytes, BOOT_BLOCK_SIZE), 0);
            EXPECT_EQ(DeleteFileW(temp) != 0, !ioError) << "the temporary file";
        }
    }
    // The next save after a crash completes.
    EXPECT_EQ(Save(Pattern(2)), BOOT_BLOCK_SIZE);
    Block block = {};
    EXPECT_EQ(Read(&block), BOOT_BLOCK_SIZE);
    EXPECT_EQ(memcmp(block.bytes, Pattern(2).bytes, BOOT_BLOCK_SIZE), 0);
}

TEST(BootBlock, ADamagedStoreReadsAsNothingStored) {
    UseModule(SIM_MODULE_PXA270);
    ASSERT_EQ(Save(Pattern(1)), BOOT_BLOCK_SIZE);
    wchar_t path[MAX_PATH];
    SimFlashPath(SIM_MODULE_PXA270, path, MAX_PATH);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    SetFilePointer(file, 10, nullptr, FILE_BEGIN);
    DWORD written;
    WriteFile(file, "x", 1, &written, nullptr);
    CloseHandle(file);
    Block block = {};
    EXPECT_EQ(Read(&block), 0u);
}
