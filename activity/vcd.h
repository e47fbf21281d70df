// Value Change Dump (IEEE 1364) of the recorded activity, for waveform viewers: one wire per
// GPIO, timestamps in microseconds of the sample clock from the start of the recording.
#pragma once
#include "activity/history.h"

#include <string>
#include <vector>

struct VcdWire {
    uint32_t gpio;
    std::wstring name; // characters a VCD name cannot hold become '_'
};

// The file's text: a header, every wire's level at the start, then each change. An unknown
// level (not sampled, or a pad on a special function) is x.
std::string VcdText(const ActivityRecording& recording, const std::vector<VcdWire>& wires);
