// Process-wide state that start-up fixes and the table, the dialog and the name look-ups read.
#pragma once
#include "gpiolib/processors.h"

#include <cstdint>

// ModuleType: a Tessara module is numbered as its processor's row; the Belvan module follows.
enum ModuleTypes : uint32_t {
    MODULE_PXA270 = ProcessorIndex(PROCESSOR_PXA270),
    MODULE_PXA320 = ProcessorIndex(PROCESSOR_PXA320),
    MODULE_PXA300 = ProcessorIndex(PROCESSOR_PXA300),
    MODULE_PXA310 = ProcessorIndex(PROCESSOR_PXA310),
    MODULE_TEGRA2 = ProcessorIndex(PROCESSOR_TEGRA2),
    MODULE_TEGRA3 = ProcessorIndex(PROCESSOR_TEGRA3), // on a Tessara module
    MODULE_TEGRA3_BELVAN = PROCESSOR_COUNT,           // on a Belvan module
};

// EvalbRevID: the selected evaluation board.
enum EvalBoards : int {
    EVALB_VERSION21 = 0,
    EVALB_VERSION31 = 1,
    EVALB_BELVAN = 2,
    EVALB_COUNT = 3,
};

// One ColumnSlot per optional list column, in the order of their stored values. -1 hides the
// column; any other value shows it (a build replaces it by the column's index).
enum ColumnSlotIndex {
    SLOT_GPIO,
    SLOT_PINNAME,
    SLOT_ALTFNNAME,
    SLOT_ALTFN,
    SLOT_DIRECTION,
    SLOT_LEVEL,
    SLOT_EDGEDET,
    SLOT_EDGESTAT,
    SLOT_PIN,
    SLOT_EVALLOC,
    SLOT_EVALFNNAME,
    SLOT_TRISTATE,
    SLOT_GROUP,
    SLOT_PULLSTATE,
    SLOT_EDGES,    // level changes counted by the sampling
    SLOT_ACTIVITY, // the level over the last seconds, drawn
    COLUMN_SLOT_COUNT
};
constexpr int COLUMN_HIDDEN = -1;

extern uint32_t ProcessorId;
extern int ListGpioCount; // list rows: GPIO 0 .. ListGpioCount - 1
extern uint32_t ModuleType;
extern int BelvanModule;
extern int EvalbRevID;
extern int ColumnSlots[COLUMN_SLOT_COUNT];
// The ColumnSlots in the order of the "Columns" popup.
extern int* ColumnMenuOrder[COLUMN_SLOT_COUNT];

// SettingsMode: what GPIOLib works on.
enum SettingsModes : int {
    SETTINGS_CURRENT = 0, // the live registers
    SETTINGS_BOOTUP = 1,  // the BootImage (PXA only)
};
extern int SettingsMode;
// Refresh rate in Hz, written by the dialog's update-rate box and read by the refresh thread.
extern int UpdateRate;
