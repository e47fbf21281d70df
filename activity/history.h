// Pin activity: every GPIO's sampled level kept as its changes in a fixed ring, the edges
// counted, and a coarse picture of each GPIO's last seconds for the list to draw.
//
// One thread samples (the refresh thread, or a recording without a window); any thread reads.
#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>

constexpr int ACTIVITY_GPIOS = 256;

// A sampled level: low, high, or unknown (a pad on a special function; not sampled).
enum SampledLevel : uint8_t { SAMPLED_LOW = 0, SAMPLED_HIGH = 1, SAMPLED_UNKNOWN = 2 };

// The sample clock: microseconds since the first call in the process, 64 bits wide, so it
// never wraps (half a million years); taken from the performance counter.
uint64_t SampleClockUs();

// The sampler, once per pass: the pass's time, then each GPIO's level, then the end, which
// makes the pass's changes visible to readers at once.
void BeginSamplePass();
// True when the level differs from the GPIO's last sample.
bool SampleLevel(uint32_t gpio, int level);
void EndSamplePass();
// Sampling stops (the window minimised, Boot-up Settings): every level is unknown from now
// until the next pass. By the sampler, or while none runs.
void SamplingGap();

// Level changes seen on a GPIO since the start or its last reset. Changes to and from an
// unknown level are not edges; a level that differs across a gap is one.
uint64_t EdgeCount(uint32_t gpio);
void ResetEdgeCount(uint32_t gpio);
void ResetAllEdgeCounts();

// The picture: the time shown ends at the newest pass and spans the last 12 seconds.
constexpr uint64_t ACTIVITY_SPAN_US = 12000000;
uint64_t LastSampleUs(); // time of the newest pass; 0 before the first
// Where a picture `width` pixels wide ends: the newest pass, down to a whole pixel, so that the
// pictures move a pixel at a time.
uint64_t ActivityEndUs(int width);
// One pixel column of a GPIO's picture over [start, end): which levels were seen (bit 0 low,
// bit 1 high; none: not sampled) and how many edges.
struct ActivityColumn {
    uint8_t levels;
    uint32_t edges;
};
void ActivityPicture(uint32_t gpio, uint64_t endUs, int width, ActivityColumn* columns);
// Edges of a GPIO within the span that ends at endUs.
uint32_t ActivityEdges(uint32_t gpio, uint64_t endUs);
// True when the span that ends at endUs holds more than one flat line: its picture moves.
bool ActivityMoves(uint32_t gpio, uint64_t endUs);

// The recording as changes: the levels at its start, then every change after it in order.
// Taken at once from the ring, whatever the sampler does meanwhile.
struct ActivityRecording {
    uint64_t startUs, endUs;       // the recorded time: oldest change kept .. newest pass
    uint8_t start[ACTIVITY_GPIOS]; // SampledLevel of each GPIO at startUs
    std::vector<uint64_t> changes; // ActivityChange packed words, oldest first
    FILETIME startWallClock;       // startUs as the wall clock's time
};
void TakeActivityRecording(ActivityRecording* recording);
// A packed change: time in microseconds, GPIO and level; a gap sets every level unknown.
struct ActivityChange {
    uint64_t timeUs;
    uint32_t gpio;
    int level; // SampledLevel, or ACTIVITY_GAP
};
constexpr int ACTIVITY_GAP = 3;
ActivityChange UnpackChange(uint64_t packed);
// Changes the ring keeps (4 MiB); the oldest go first.
constexpr uint32_t ACTIVITY_RING_CHANGES = 1u << 19;
