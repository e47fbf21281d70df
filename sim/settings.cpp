// The environment controls of the simulated module (VELMORA_SIM_MODULE, VELMORA_SIM_STIMULUS,
// VELMORA_SIM_STORE_DIR, VELMORA_SIM_INSTANCE), read one way: spaces around a value do not
// count, and a value that is empty or only spaces is the same as no value.
#include "sim/sim_internal.h"

#include <cstdio>

namespace {

bool IsSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

} // namespace

DWORD SimSetting(const wchar_t* name, wchar_t* value, DWORD size) {
    // Read through a buffer larger than any accepted value, so that spaces around a long value
    // are still trimmed and a value too long for the caller is told apart.
    wchar_t raw[1024];
    DWORD n = GetEnvironmentVariableW(name, raw, 1024);
    if (n >= 1024) return size;
    DWORD first = 0, end = n;
    while (first < end && IsSpace(raw[first]))
        ++first;
    while (end > first && IsSpace(raw[end - 1]))
        --end;
    DWORD length = end - first;
    if (length == 0 || length >= size) {
        if (size) value[0] = 0;
        return length == 0 ? 0 : size;
    }
    for (DWORD i = 0; i < length; ++i)
        value[i] = raw[first + i];
    value[length] = 0;
    return length;
}

void SimSettingProblem(const char* name, const wchar_t* value, const char* rule) {
    if (!value) {
        fprintf(stderr, "%s is too long to be used: %s\n", name, rule);
        return;
    }
    char shown[64];
    int n = 0;
    for (; value[n] && n < 63; ++n)
        shown[n] = value[n] >= 0x20 && value[n] < 0x7F ? char(value[n]) : '?';
    shown[n] = 0;
    fprintf(stderr, "%s=%s is not usable: %s\n", name, shown, rule);
}
