// The Tegra pad-control lists of the processor manuals, as text, with their parsers.
#pragma once
#include <ostream>
#include <string>
#include <vector>

extern const char* const kTegra3PadIndexRows[];
extern const int kTegra3PadIndexRowCount;
extern const char* const kTegra2GroupRows[];
extern const int kTegra2GroupRowCount;

// A pad field: byte offset of its register in the pad-control window, and shift.
struct ListedField {
    bool present; // false: "none"
    int offset;
    int shift;
};

inline bool operator==(const ListedField& a, const ListedField& b) {
    return a.present == b.present && (!a.present || (a.offset == b.offset && a.shift == b.shift));
}

inline std::ostream& operator<<(std::ostream& os, const ListedField& f) {
    if (!f.present) return os << "none";
    return os << "0x" << std::hex << std::uppercase << f.offset << std::nouppercase << std::dec
              << ":" << f.shift;
}

struct ListedGroup {
    std::string name;
    ListedField mux, pull, tristate;
    std::vector<int> gpios; // every GPIO whose group this is
};

// The pad register word of each Tegra 3 GPIO, in GPIO order. A malformed row fails the running
// test and gives an empty list.
std::vector<int> ParseTegra3PadIndexList();
// The Tegra 2 pin groups in table order. A malformed row fails the running test and gives an
// empty list.
std::vector<ListedGroup> ParseTegra2GroupList();
