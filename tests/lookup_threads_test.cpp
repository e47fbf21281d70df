// The name look-ups on several threads: each thread's text stays its own, and short-lived
// threads leave no memory behind.
#include "gpiolib/frame.h"
#include "table/evalboard.h"
#include "table/modulepin.h"
#include "table/shared.h"
#include "tests/test_support.h"
#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <windows.h>
#include <psapi.h>

namespace {

struct Texts {
    std::wstring pin;
    int firstPin;
    std::wstring location;
    std::wstring name;
};
std::vector<Texts> g_expected;

void StartModule() {
    UseModule(SIM_MODULE_PXA320);
    InitGPIOLib();
    ASSERT_TRUE(g_gpioLib.initialised);
    ProcessorId = g_gpioLib.processorId;
    EvalbRevID = EVALB_VERSION31; // the board with the most kinds of location text
    g_expected.clear();
    for (uint32_t gpio = 0; gpio < g_gpioLib.gpioCount; ++gpio) {
        Texts t;
        t.pin = GetModulePinName(gpio, &t.firstPin);
        t.location = GetEvalLoc(t.firstPin);
        t.name = GetEvalFnName(t.firstPin);
        g_expected.push_back(t);
    }
}

struct Worker {
    bool descending;
    HANDLE start;
    HANDLE done; // set when every worker has finished: their buffers then exist side by side
    volatile LONG* running;
    int failures;
    const wchar_t* pinBuffer;
    const wchar_t* locationBuffer;
};

// Asks for every GPIO many times; the other worker walks the other way, so the two hold
// different texts at the same moment. Each text is checked again after a yield.
DWORD WINAPI AskRepeatedly(LPVOID parameter) {
    Worker& w = *static_cast<Worker*>(parameter);
    WaitForSingleObject(w.start, INFINITE);
    int count = int(g_expected.size());
    for (int pass = 0; pass < 40; ++pass) {
        for (int i = 0; i < count; ++i) {
            int gpio = w.descending ? count - 1 - i : i;
            const Texts& e = g_expected[gpio];
            int firstPin;
            const wchar_t* pin = GetModulePinName(gpio, &firstPin);
            SwitchToThread();
            const wchar_t* location = GetEvalLoc(firstPin);
            const wchar_t* name = GetEvalFnName(firstPin);
            SwitchToThread();
            w.failures +=
                e.pin != pin || e.firstPin != firstPin || e.location != location || e.name != name;
            w.pinBuffer = pin;
            w.locationBuffer = location;
        }
    }
    if (InterlockedDecrement(w.running) == 0) SetEvent(w.done);
    WaitForSingleObject(w.done, INFINITE);
    return 0;
}

DWORD WINAPI AskOnce(LPVOID parameter) {
    int gpio = int(reinterpret_cast<INT_PTR>(parameter));
    const Texts& e = g_expected[gpio];
    int firstPin;
    bool same = e.pin == GetModulePinName(gpio, &firstPin) && e.location == GetEvalLoc(firstPin) &&
                e.name == GetEvalFnName(firstPin);
    return same ? 0 : 1;
}

// Runs the threads one after the other; the number of them that saw a wrong text.
int RunShortLivedThreads(int threads) {
    int wrong = 0;
    for (int i = 0; i < threads; ++i) {
        INT_PTR gpio = i % g_expected.size();
        HANDLE thread =
            CreateThread(nullptr, 0, AskOnce, reinterpret_cast<LPVOID>(gpio), 0, nullptr);
        if (!thread) return threads;
        WaitForSingleObject(thread, INFINITE);
        DWORD code = 1;
        GetExitCodeThread(thread, &code);
        wrong += code != 0;
        CloseHandle(thread);
    }
    return wrong;
}

// Private committed memory of the process. Wine leaves PrivateUsage at 0 and reports it as
// PagefileUsage; on Windows the two are the same value.
SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return counters.PagefileUsage;
}

} // namespace

TEST(LookupThreads, EachThreadKeepsItsOwnText) {
    StartModule();
    HANDLE start = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    volatile LONG running = 2;
    Worker workers[2] = {{false, start, done, &running, 0, nullptr, nullptr},
                         {true, start, done, &running, 0, nullptr, nullptr}};
    HANDLE threads[2];
    for (int i = 0; i < 2; ++i)
        threads[i] = CreateThread(nullptr, 0, AskRepeatedly, &workers[i], 0, nullptr);
    SetEvent(start);
    WaitForMultipleObjects(2, threads, TRUE, INFINITE);
    for (HANDLE thread : threads)
        CloseHandle(thread);
    CloseHandle(start);
    CloseHandle(done);

    EXPECT_EQ(workers[0].failures, 0);
    EXPECT_EQ(workers[1].failures, 0);
    EXPECT_NE(workers[0].pinBuffer, workers[1].pinBuffer);
    EXPECT_NE(workers[0].locationBuffer, workers[1].locationBuffer);
    // This thread's own texts are untouched by the workers' calls.
    int firstPin;
    const wchar_t* pin = GetModulePinName(42, &firstPin);
    HANDLE other =
        CreateThread(nullptr, 0, AskOnce, reinterpret_cast<LPVOID>(INT_PTR(2)), 0, nullptr);
    WaitForSingleObject(other, INFINITE);
    CloseHandle(other);
    EXPECT_STREQ(pin, L"SFront. 63*#");
}

// The texts are found once, by whichever thread asks first; threads asking at the same moment
// for a board nobody asked about yet all get the whole, final texts.
TEST(LookupThreads, ThreadsAskingFirstAtOnceGetTheSameTexts) {
    UseModule(SIM_MODULE_TEGRA3_BELVAN);
    InitGPIOLib();
    ProcessorId = g_gpioLib.processorId;
    EvalbRevID = EVALB_BELVAN;
    struct Asker {
        HANDLE start;
        std::vector<std::wstring> texts;
        static DWORD WINAPI Run(void* p) {
            auto* a = static_cast<Asker*>(p);
            WaitForSingleObject(a->start, INFINITE);
            for (uint32_t gpio = 0; gpio < 245; ++gpio) {
                int firstPin;
                std::wstring pin = GetModulePinName(gpio, &firstPin);
                a->texts.push_back(pin + L"|" + GetEvalLoc(firstPin) + L"|" +
                                   GetEvalFnName(firstPin));
            }
            return 0;
        }
    };
    HANDLE start = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Asker askers[4] = {{start, {}}, {start, {}}, {start, {}}, {start, {}}};
    HANDLE threads[4];
    for (int i = 0; i < 4; ++i)
        threads[i] = CreateThread(nullptr, 0, Asker::Run, &askers[i], 0, nullptr);
    SetEvent(start);
    WaitForMultipleObjects(4, threads, TRUE, INFINITE);
    for (HANDLE thread : threads)
        CloseHandle(thread);
    CloseHandle(start);
    EXPECT_EQ(askers[0].texts[6],
              L"MXM3.154|" + std::wstring(GetEvalLoc(154)) + L"|" + GetEvalFnName(154));
    for (const Asker& asker : askers)
        EXPECT_EQ(asker.texts, askers[0].texts);
}

TEST(LookupThreads, ShortLivedThreadsLeaveNoMemoryBehind) {
    StartModule();
    ASSERT_EQ(RunShortLivedThreads(100), 0); // the process's own one-time allocations
    SIZE_T before = PrivateBytes();
    ASSERT_EQ(RunShortLivedThreads(2000), 0);
    SIZE_T after = PrivateBytes();
    EXPECT_LT(after, before + 64 * 1024) << "grew by " << (after - before) << " bytes";

    // The measure does see small allocations: 2000 blocks of 256 bytes.
    std::vector<void*> blocks;
    for (int i = 0; i < 2000; ++i)
        blocks.push_back(HeapAlloc(GetProcessHeap(), 0, 256));
    EXPECT_GE(PrivateBytes(), after + 256 * 1024);
    for (void* block : blocks)
        HeapFree(GetProcessHeap(), 0, block);
}
