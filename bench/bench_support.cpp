#include "bench/bench_support.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

double NowMs() {
    static const double msPerTick = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return 1000.0 / double(frequency.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * msPerTick;
}

double Median(std::vector<double> values) {
    if (values.empty()) return NAN;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return NAN;
    std::sort(values.begin(), values.end());
    size_t rank = size_t(std::ceil(p / 100 * double(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

namespace {

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string Numbers(const std::vector<double>& values) {
    std::string out = "[";
    char number[32];
    for (size_t i = 0; i < values.size(); ++i) {
        snprintf(number, sizeof number, "%s%.6g", i ? ", " : "", values[i]);
        out += number;
    }
    return out + "]";
}

} // namespace

void Report(const Figure& f) {
    printf("RESULT {\"id\": %s, \"name\": %s, \"unit\": %s, \"runs\": %s, \"floor_runs\": %s, "
           "\"goal\": %s, \"note\": %s}\n",
           Quoted(f.id).c_str(), Quoted(f.name).c_str(), Quoted(f.unit).c_str(),
           Numbers(f.runs).c_str(), Numbers(f.floorRuns).c_str(), Quoted(f.goal).c_str(),
           Quoted(f.note).c_str());
    fflush(stdout);
}

int BenchSetting(const char* name, int fallback) {
    char variable[64], value[32];
    snprintf(variable, sizeof variable, "VELMORA_BENCH_%s", name);
    DWORD n = GetEnvironmentVariableA(variable, value, sizeof value);
    return n > 0 && n < sizeof value ? atoi(value) : fallback;
}

void ShowEveryColumnWhenTheToolStarts() {
    static const wchar_t* const kColumns[] = {
        L"g_ColAltFn",     L"g_ColDir",     L"g_ColLevel",      L"g_ColEdgeDet",  L"g_ColEdgeStat",
        L"g_ColPin",       L"g_ColEvalLoc", L"g_ColEvalFnName", L"g_ColTristate", L"g_ColGroupName",
        L"g_ColPullState", L"g_ColEdges",   L"g_ColActivity",
    };
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Velmora\\GpioConfig", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    DWORD shown = 1;
    for (const wchar_t* name : kColumns)
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&shown),
                       sizeof shown);
    RegCloseKey(key);
}
