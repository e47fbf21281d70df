// The rows the list shows.
#include "table/filter.h"
#include "table/compare.h"

namespace {
bool g_differingOnly;
} // namespace

bool RowShown(uint32_t g) {
    return !g_differingOnly || !ComparisonActive() || RowDiffers(g);
}

void ShowDifferingRowsOnly(bool on) {
    g_differingOnly = on;
}

bool DifferingRowsOnly() {
    return g_differingOnly;
}
