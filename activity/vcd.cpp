// The VCD writer.
#include "activity/vcd.h"

#include <algorithm>
#include <cstdio>

namespace {

// Identifier codes: printable characters '!' .. '~', as many as needed.
std::string Code(size_t index) {
    std::string code;
    do {
        code += char('!' + index % 94);
        index /= 94;
    } while (index);
    return code;
}

std::string Name(const std::wstring& text) {
    std::string name;
    for (wchar_t c : text)
        name += c > L' ' && c < 127 ? char(c) : '_';
    return name.empty() ? "_" : name;
}

char Value(int level) {
    return level == SAMPLED_LOW ? '0' : level == SAMPLED_HIGH ? '1' : 'x';
}

std::string Date(const FILETIME& wallClock) {
    SYSTEMTIME t;
    char text[64] = "";
    if (FileTimeToSystemTime(&wallClock, &t))
        snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u UTC", t.wYear, t.wMonth, t.wDay,
                 t.wHour, t.wMinute, t.wSecond);
    return text;
}

} // namespace

std::string VcdText(const ActivityRecording& recording, const std::vector<VcdWire>& wires) {
    std::string text = "$date " + Date(recording.startWallClock) +
                       " $end\n$version Velmora GPIO Config $end\n"
                       "$comment levels as sampled; x: not sampled, or not a GPIO $end\n"
                       "$timescale 1 us $end\n$scope module gpio $end\n";
    // The wires of each GPIO (a GPIO may be asked for twice), and what each shows now.
    std::vector<std::vector<size_t>> wiresOf(ACTIVITY_GPIOS);
    for (size_t i = 0; i < wires.size(); ++i) {
        text += "$var wire 1 " + Code(i) + " " + Name(wires[i].name) + " $end\n";
        if (wires[i].gpio < ACTIVITY_GPIOS) wiresOf[wires[i].gpio].push_back(i);
    }
    text += "$upscope $end\n$enddefinitions $end\n";

    // The levels at the start: the base, then the changes made at the very start.
    uint8_t level[ACTIVITY_GPIOS];
    std::copy(std::begin(recording.start), std::end(recording.start), level);
    size_t next = 0;
    auto apply = [&](const ActivityChange& change) {
        if (change.level == ACTIVITY_GAP)
            std::fill(std::begin(level), std::end(level), SAMPLED_UNKNOWN);
        else
            level[change.gpio] = uint8_t(change.level);
    };
    for (; next < recording.changes.size(); ++next) {
        ActivityChange change = UnpackChange(recording.changes[next]);
        if (change.timeUs > recording.startUs) break;
        apply(change);
    }
    text += "#0\n$dumpvars\n";
    std::vector<char> shown(wires.size());
    for (size_t i = 0; i < wires.size(); ++i) {
        shown[i] = wires[i].gpio < ACTIVITY_GPIOS ? Value(level[wires[i].gpio]) : 'x';
        text += shown[i] + Code(i) + "\n";
    }
    text += "$end\n";

    uint64_t stamped = 0;
    char stamp[32];
    auto show = [&](uint64_t timeUs, size_t wire, char value) {
        if (shown[wire] == value) return;
        shown[wire] = value;
        uint64_t at = timeUs - recording.startUs;
        if (at != stamped) {
            snprintf(stamp, sizeof stamp, "#%llu\n", static_cast<unsigned long long>(at));
            text += stamp;
            stamped = at;
        }
        text += value + Code(wire) + "\n";
    };
    uint64_t end = recording.endUs;
    for (; next < recording.changes.size(); ++next) {
        ActivityChange change = UnpackChange(recording.changes[next]);
        end = std::max(end, change.timeUs);
        apply(change);
        if (change.level == ACTIVITY_GAP) {
            for (size_t i = 0; i < wires.size(); ++i)
                show(change.timeUs, i, 'x');
            continue;
        }
        for (size_t wire : wiresOf[change.gpio])
            show(change.timeUs, wire, Value(change.level));
    }
    // The recorded time ends with the newest pass.
    if (end > recording.startUs && end - recording.startUs != stamped) {
        snprintf(stamp, sizeof stamp, "#%llu\n",
                 static_cast<unsigned long long>(end - recording.startUs));
        text += stamp;
    }
    return text;
}
