// Pin activity: the ring of level changes, the edge counts and the pictures' bins.
#include "activity/history.h"

#include <algorithm>

namespace {

// Bins of the pictures: 2^14 us (16.4 ms) each, 1024 a GPIO (16.8 s, more than the span).
// A bin holds bit 0 "low seen", bit 1 "high seen" and, above them, the edges in it.
constexpr int kBinShift = 14;
constexpr int64_t kBins = 1024;
constexpr uint16_t kEdgeUnit = 4, kEdgesFull = 0xFFFC;

uint16_t g_bins[ACTIVITY_GPIOS][kBins];
// Per GPIO: bins are written up to this bin; later ones hold g_binHeld's level. -1: none yet.
volatile int64_t g_binUpTo[ACTIVITY_GPIOS];
volatile uint8_t g_binHeld[ACTIVITY_GPIOS];
volatile int64_t g_lastChangeBin[ACTIVITY_GPIOS];

uint8_t g_level[ACTIVITY_GPIOS];     // the newest sample
uint8_t g_lastKnown[ACTIVITY_GPIOS]; // the newest sample that was low or high
volatile uint64_t g_edges[ACTIVITY_GPIOS];
volatile uint64_t g_edgesReset[ACTIVITY_GPIOS]; // g_edges at the last reset

// The ring: changes packed as time << 10 | GPIO << 2 | level. The base is every level just
// before the oldest change kept, from g_baseUs on.
SRWLOCK g_ringLock = SRWLOCK_INIT;
uint64_t g_ring[ACTIVITY_RING_CHANGES];
uint64_t g_written; // changes ever written
uint8_t g_base[ACTIVITY_GPIOS];
uint64_t g_baseUs;
bool g_started;

// The pass being sampled: its time and its changes, put into the ring at its end.
uint64_t g_passUs;
uint64_t g_passChanges[ACTIVITY_GPIOS + 1];
int g_passChangeCount;
volatile uint64_t g_lastPassUs;

struct Clock {
    LARGE_INTEGER frequency, origin;
    FILETIME wallOrigin;
};
const Clock& TheClock() {
    static const Clock clock = [] {
        Clock c;
        QueryPerformanceFrequency(&c.frequency);
        QueryPerformanceCounter(&c.origin);
        GetSystemTimeAsFileTime(&c.wallOrigin);
        return c;
    }();
    return clock;
}

// Every page of a buffer written once, so that the process holds its whole memory from the
// start instead of growing into it as the ring fills.
void Touch(void* buffer, size_t bytes) {
    volatile char* page = static_cast<volatile char*>(buffer);
    for (size_t at = 0; at < bytes; at += 4096)
        page[at] = 0;
}

bool Initialised() {
    static const bool done = [] {
        Touch(g_ring, sizeof g_ring);
        Touch(g_bins, sizeof g_bins);
        std::fill(std::begin(g_level), std::end(g_level), SAMPLED_UNKNOWN);
        std::fill(std::begin(g_lastKnown), std::end(g_lastKnown), SAMPLED_UNKNOWN);
        std::fill(std::begin(g_base), std::end(g_base), SAMPLED_UNKNOWN);
        for (int g = 0; g < ACTIVITY_GPIOS; ++g) {
            g_binUpTo[g] = -kBins - 1;
            g_lastChangeBin[g] = -kBins - 1;
            g_binHeld[g] = SAMPLED_UNKNOWN;
        }
        return true;
    }();
    return done;
}

uint16_t Flag(int level) {
    return level == SAMPLED_LOW ? 1 : level == SAMPLED_HIGH ? 2 : 0;
}

uint64_t Pack(uint64_t timeUs, uint32_t gpio, int level) {
    return timeUs << 10 | uint64_t(gpio & 0xFF) << 2 | uint64_t(level & 3);
}

int64_t BinOf(int64_t timeUs) {
    return timeUs >> kBinShift; // arithmetic: times before the clock's start are negative bins
}

// The bins from the last written one up to b hold the held level; b gains the new one.
void PaintBins(uint32_t g, int64_t b, int level, bool edge) {
    uint16_t held = Flag(g_binHeld[g]);
    for (int64_t x = std::max(g_binUpTo[g] + 1, b - kBins + 1); x <= b; ++x)
        g_bins[g][x & (kBins - 1)] = held;
    uint16_t& bin = g_bins[g][b & (kBins - 1)];
    bin |= Flag(level);
    if (edge && bin < kEdgesFull) bin += kEdgeUnit;
    MemoryBarrier(); // readers see the bins before the bounds that admit them
    g_binHeld[g] = uint8_t(level);
    g_binUpTo[g] = b;
    g_lastChangeBin[g] = b;
}

void Append(uint64_t packed) {
    uint64_t& slot = g_ring[g_written % ACTIVITY_RING_CHANGES];
    if (g_written >= ACTIVITY_RING_CHANGES) {
        // The oldest change leaves the ring: the base takes it over.
        ActivityChange old = UnpackChange(slot);
        if (old.level == ACTIVITY_GAP)
            std::fill(std::begin(g_base), std::end(g_base), SAMPLED_UNKNOWN);
        else
            g_base[old.gpio] = uint8_t(old.level);
        g_baseUs = old.timeUs;
    }
    slot = packed;
    ++g_written;
}

void Commit() {
    if (g_started && g_passChangeCount == 0) {
        g_lastPassUs = g_passUs; // nothing for the ring: no need to hold it
        return;
    }
    AcquireSRWLockExclusive(&g_ringLock);
    if (!g_started) {
        g_started = true;
        g_baseUs = g_passUs;
    }
    for (int i = 0; i < g_passChangeCount; ++i)
        Append(g_passChanges[i]);
    g_lastPassUs = g_passUs;
    ReleaseSRWLockExclusive(&g_ringLock);
    g_passChangeCount = 0;
}

// A bin as a reader sees it.
uint16_t BinAt(uint32_t g, int64_t x) {
    int64_t upTo = g_binUpTo[g];
    if (x > upTo) return Flag(g_binHeld[g]);
    if (x <= upTo - kBins || x < 0) return 0;
    return g_bins[g][x & (kBins - 1)];
}

} // namespace

uint64_t SampleClockUs() {
    const Clock& clock = TheClock();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    // Split so that the product never overflows, however long the process runs.
    uint64_t ticks = uint64_t(now.QuadPart - clock.origin.QuadPart);
    uint64_t hz = uint64_t(clock.frequency.QuadPart);
    return ticks / hz * 1000000 + ticks % hz * 1000000 / hz;
}

void BeginSamplePass() {
    Initialised();
    g_passUs = SampleClockUs();
    g_passChangeCount = 0;
}

bool SampleLevel(uint32_t gpio, int level) {
    if (level != SAMPLED_LOW && level != SAMPLED_HIGH) level = SAMPLED_UNKNOWN;
    if (gpio >= ACTIVITY_GPIOS || level == g_level[gpio]) return false;
    bool edge = level != SAMPLED_UNKNOWN && g_lastKnown[gpio] != SAMPLED_UNKNOWN &&
                g_lastKnown[gpio] != level;
    if (edge) g_edges[gpio] = g_edges[gpio] + 1;
    if (level != SAMPLED_UNKNOWN) g_lastKnown[gpio] = uint8_t(level);
    g_level[gpio] = uint8_t(level);
    PaintBins(gpio, BinOf(int64_t(g_passUs)), level, edge);
    g_passChanges[g_passChangeCount++] = Pack(g_passUs, gpio, level);
    return true;
}

void EndSamplePass() {
    Commit();
}

void SamplingGap() {
    BeginSamplePass();
    bool any = false;
    for (uint32_t g = 0; g < ACTIVITY_GPIOS; ++g) {
        if (g_level[g] == SAMPLED_UNKNOWN) continue;
        g_level[g] = SAMPLED_UNKNOWN;
        PaintBins(g, BinOf(int64_t(g_passUs)), SAMPLED_UNKNOWN, false);
        any = true;
    }
    if (!any) return;
    g_passChanges[g_passChangeCount++] = Pack(g_passUs, 0, ACTIVITY_GAP);
    Commit();
}

uint64_t EdgeCount(uint32_t gpio) {
    return gpio < ACTIVITY_GPIOS ? g_edges[gpio] - g_edgesReset[gpio] : 0;
}

void ResetEdgeCount(uint32_t gpio) {
    if (gpio < ACTIVITY_GPIOS) g_edgesReset[gpio] = g_edges[gpio];
}

void ResetAllEdgeCounts() {
    for (uint32_t g = 0; g < ACTIVITY_GPIOS; ++g)
        ResetEdgeCount(g);
}

uint64_t LastSampleUs() {
    return g_lastPassUs;
}

uint64_t ActivityEndUs(int width) {
    uint64_t pixel = width > 0 ? ACTIVITY_SPAN_US / uint64_t(width) : 1;
    return g_lastPassUs / pixel * pixel;
}

void ActivityPicture(uint32_t gpio, uint64_t endUs, int width, ActivityColumn* columns) {
    Initialised();
    int64_t start = int64_t(endUs) - int64_t(ACTIVITY_SPAN_US);
    for (int x = 0; x < width; ++x) {
        columns[x] = {0, 0};
        if (gpio >= ACTIVITY_GPIOS) continue;
        int64_t from = start + int64_t(ACTIVITY_SPAN_US) * x / width;
        int64_t to = start + int64_t(ACTIVITY_SPAN_US) * (x + 1) / width;
        for (int64_t b = BinOf(from), last = BinOf(std::max(from, to - 1)); b <= last; ++b) {
            uint16_t bin = BinAt(gpio, b);
            columns[x].levels |= uint8_t(bin & 3);
            columns[x].edges += bin / kEdgeUnit;
        }
    }
}

uint32_t ActivityEdges(uint32_t gpio, uint64_t endUs) {
    Initialised();
    if (gpio >= ACTIVITY_GPIOS) return 0;
    uint32_t edges = 0;
    int64_t last = BinOf(int64_t(endUs) - 1);
    for (int64_t b = BinOf(int64_t(endUs) - int64_t(ACTIVITY_SPAN_US)); b <= last; ++b)
        edges += BinAt(gpio, b) / kEdgeUnit;
    return edges;
}

bool ActivityMoves(uint32_t gpio, uint64_t endUs) {
    Initialised();
    return gpio < ACTIVITY_GPIOS &&
           g_lastChangeBin[gpio] >= BinOf(int64_t(endUs) - int64_t(ACTIVITY_SPAN_US));
}

ActivityChange UnpackChange(uint64_t packed) {
    return {packed >> 10, uint32_t(packed >> 2 & 0xFF), int(packed & 3)};
}

void TakeActivityRecording(ActivityRecording* recording) {
    Initialised();
    recording->changes.reserve(ACTIVITY_RING_CHANGES); // no allocation while the ring is held
    AcquireSRWLockShared(&g_ringLock);
    std::copy(std::begin(g_base), std::end(g_base), recording->start);
    recording->startUs = g_baseUs;
    recording->endUs = g_lastPassUs;
    uint64_t kept = std::min<uint64_t>(g_written, ACTIVITY_RING_CHANGES);
    recording->changes.resize(size_t(kept));
    for (uint64_t i = 0; i < kept; ++i)
        recording->changes[size_t(i)] = g_ring[(g_written - kept + i) % ACTIVITY_RING_CHANGES];
    ReleaseSRWLockShared(&g_ringLock);
    ULARGE_INTEGER wall;
    wall.LowPart = TheClock().wallOrigin.dwLowDateTime;
    wall.HighPart = TheClock().wallOrigin.dwHighDateTime;
    wall.QuadPart += recording->startUs * 10; // FILETIME counts 100 ns
    recording->startWallClock = {wall.LowPart, wall.HighPart};
}
