// Stand-ins for the Tegra register model while this branch's library lacks gpiolib/tegra.cpp,
// so that the PXA tests link. They live in a library of their own that the linker reads after
// gpiolib: once the library has the Tegra model, its definitions are taken and these are not.
// A PXA test never reaches them; if one does, it stops loudly.
#include "gpiolib/models.h"

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Absent(const char* name) {
    fprintf(stderr, "%s: the Tegra register model is not in this build\n", name);
    abort();
}

} // namespace

int TegraGetDir(uint32_t) {
    Absent("TegraGetDir");
}
void TegraSetDir(uint32_t, uint32_t) {
    Absent("TegraSetDir");
}
int TegraGetLevel(uint32_t) {
    Absent("TegraGetLevel");
}
void TegraSetLevel(uint32_t, uint32_t) {
    Absent("TegraSetLevel");
}
int Tegra2GetEdgeDetect(uint32_t) {
    Absent("Tegra2GetEdgeDetect");
}
void Tegra2SetEdgeDetect(uint32_t, uint32_t) {
    Absent("Tegra2SetEdgeDetect");
}
int TegraGetAltFn(uint32_t) {
    Absent("TegraGetAltFn");
}
void TegraSetAltFn(uint32_t, int, uint32_t) {
    Absent("TegraSetAltFn");
}
