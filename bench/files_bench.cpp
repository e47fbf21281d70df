// Figure 10: settings files of the whole Tegra 3 Belvan table, inside the benchmark's process:
// an export (read every setting, write the file beside its place and rename it), an import
// (read and check the file, plan, write the settings that differ pin by pin and read each pin
// back) and a compare (read the file, mark every cell of a list showing every column).
#include "bench/bench_support.h"
#include "tests/list_support.h"
#include "app/files.h"
#include "files/settingsfile.h"
#include "gpiolib/gpiolib.h"
#include "table/compare.h"
#include "table/table.h"

#include <gtest/gtest.h>

namespace {

std::wstring TempFile(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"velmora-bench-" + std::to_wstring(GetCurrentProcessId()) + name;
}

// The floor of a file of these bytes: written once, or read once, with nothing else.
double WriteBare(const std::wstring& path, const std::string& bytes) {
    double start = NowMs();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return NowMs() - start;
}

double ReadBare(const std::wstring& path, size_t size) {
    double start = NowMs();
    std::string bytes(size, '\0');
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    DWORD got;
    ReadFile(file, bytes.data(), DWORD(size), &got, nullptr);
    CloseHandle(file);
    return NowMs() - start;
}

// Two texts swapped wherever they stand as a whole field.
void Swap(std::string* text, const std::string& a, const std::string& b) {
    const std::string mark = "\x01";
    for (auto [from, to] : {std::pair{a, mark}, std::pair{b, a}, std::pair{mark, b}})
        for (size_t at = 0; (at = text->find(from, at)) != std::string::npos; at += to.size())
            text->replace(at, from.size(), to);
}

// Every plain GPIO's direction and every pad's pull turned round: an import of either file
// changes all of them.
std::string Flipped(const std::string& text) {
    std::string out = text;
    Swap(&out, "\tInput\t", "\tOutput\t");
    Swap(&out, "\tNormal\r", "\tPullUp\r");
    return out;
}

} // namespace

TEST(FilesBench, ExportImportCompare) {
    int runs = BenchSetting("RUNS", 21);
    StartOnModule(SIM_MODULE_TEGRA3_BELVAN);
    Figure exported = {"10a",
                       "export of the whole table",
                       "ms",
                       {},
                       {},
                       "value<=50",
                       "read every setting, write beside the file and rename; floor: the same "
                       "bytes written once"};
    Figure imported = {"10b",
                       "import of the whole table",
                       "ms",
                       {},
                       {},
                       "value<=50",
                       "read and check, then each plain GPIO's direction and each pad's pull "
                       "written and read back; "
                       "floor: the same bytes read once"};
    Figure compared = {"10c",
                       "compare with a file of the whole table",
                       "ms",
                       {},
                       {},
                       "value<=50",
                       "read and check the file, mark every cell of a list with every column"};
    std::wstring path = TempFile(L"export.tsv"), bare = TempFile(L"bare.tsv"),
                 other = TempFile(L"flipped.tsv");
    static Configuration module, file;
    std::wstring problem;
    for (int run = -1; run < runs; ++run) { // run -1 warms up
        double start = NowMs();
        ReadSettings(&module, SettingsMode);
        ASSERT_TRUE(WriteSettingsFile(path.c_str(), module, &problem));
        double took = NowMs() - start;
        double floor = WriteBare(bare, SettingsFileText(module));
        if (run >= 0) exported.runs.push_back(took), exported.floorRuns.push_back(floor);
    }

    std::string text = SettingsFileText(module), flipped = Flipped(text);
    ASSERT_NE(text, flipped);
    WriteBare(other, flipped);
    static ImportPlan plan;
    for (int run = -1; run < runs; ++run) {
        const std::wstring& next = (run & 1) ? other : path;
        double start = NowMs();
        ASSERT_TRUE(ReadSettingsFile(next.c_str(), &file, &problem)) << problem.c_str();
        ASSERT_TRUE(CheckImportable(file, &problem));
        PlanImport(file, &plan);
        std::wstring report;
        ASSERT_TRUE(ApplyImport(file, plan, &report)) << report.c_str();
        double took = NowMs() - start;
        ASSERT_GT(plan.pins, 50);
        double floor = ReadBare(next, text.size());
        if (run >= 0) imported.runs.push_back(took), imported.floorRuns.push_back(floor);
    }

    TestList view;
    BuildGpioList(view.list);
    for (int run = -1; run < runs; ++run) {
        const std::wstring& next = (run & 1) ? other : path;
        double start = NowMs();
        ASSERT_TRUE(ReadSettingsFile(next.c_str(), &file, &problem));
        SetComparison(&file, L"bench");
        double took = NowMs() - start;
        if (run >= 0) compared.runs.push_back(took);
    }
    // The module holds the settings of the first file: the other one differs in every pin
    // the import changed.
    ASSERT_TRUE(ReadSettingsFile(other.c_str(), &file, &problem));
    SetComparison(&file, L"bench");
    int marked = 0;
    for (uint32_t g = 0; g < 245; ++g)
        marked += RowDiffers(g);
    EXPECT_GT(marked, 50) << "the compare marks the directions that differ";
    for (const std::wstring& p : {path, bare, other})
        DeleteFileW(p.c_str());
    Report(exported);
    Report(imported);
    Report(compared);
}
