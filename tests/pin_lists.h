// Module and evaluation-board wiring lists, as text, with their parsers.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Pin map lists: "pin:GPIO", "pin:GPIO/GPIO" (two GPIOs on one pin), "pin:-/GPIO" (only the
// second). Index: PXA270, PXA320, PXA300, PXA310, Tegra 2, Tegra 3.
extern const char* const kSodimmLists[6];
extern const char* const kExtensionLists[4];
extern const char* const kMxm3List;

// Board lists: "pin:module pin=name", or "pin:module pin" for connectors without names;
// EX pins carry their row letter ("A1:149").
extern const char* const kV21X9List;
extern const char* const kV21X10List;
extern const char* const kV31X9List;
extern const char* const kV31X10List;
extern const char* const kV31X22List;
extern const char* const kV31ExList;
extern const char* const kBelvanX4List;
extern const char* const kBelvanX7List;
extern const char* const kBelvanX10List;
extern const char* const kBelvanX56List;

// Connector pin -> PinMapEntry (low byte GPIO, high byte second GPIO, 255 none). A malformed
// or repeated token fails the running test.
std::map<int, uint16_t> ParsePinMapList(const char* list);

struct BoardPin {
    char row; // 'A' to 'C' on the EX connector, else 0
    int pin;
    int modulePin;
    bool named;
    std::wstring name;
};
std::vector<BoardPin> ParseBoardList(const char* list);
