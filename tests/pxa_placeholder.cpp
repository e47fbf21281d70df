// Link placeholders for the PXA register model, used only while gpiolib/pxa.cpp is absent
// (tests/tegra.cmake). The Tegra tests never reach them.
#include "gpiolib/models.h"

#include <cstdlib>

namespace {
[[noreturn]] void Unreachable() {
    abort();
}
} // namespace

int PxaGetDir(uint32_t) {
    Unreachable();
}
void PxaSetDir(uint32_t, uint32_t) {
    Unreachable();
}
int PxaGetLevel(uint32_t) {
    Unreachable();
}
void PxaSetLevel(uint32_t, uint32_t) {
    Unreachable();
}
int PxaGetEdgeDetect(uint32_t) {
    Unreachable();
}
void PxaSetEdgeDetect(uint32_t, uint32_t) {
    Unreachable();
}
int PxaGetEdgeStatus(uint32_t) {
    Unreachable();
}
void PxaClearEdgeStatus(uint32_t) {} // called on every processor; nothing to clear on a Tegra
int PxaGetAltFn(uint32_t) {
    Unreachable();
}
void PxaSetAltFn(uint32_t, int, uint32_t) {
    Unreachable();
}
int PxaGetDefaultFn(uint32_t) {
    Unreachable();
}
