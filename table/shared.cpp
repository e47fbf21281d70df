#include "table/shared.h"

uint32_t ProcessorId;
int ListGpioCount;
uint32_t ModuleType;
int BelvanModule;
int EvalbRevID;
// Before the registry is read: AltFn, EvalFnName, Edges and Activity hidden, every other column
// shown.
int ColumnSlots[COLUMN_SLOT_COUNT] = {1, 1, 1, -1, 1, 1, 1, 1, 1, 1, -1, 1, 1, 1, -1, -1};
int* ColumnMenuOrder[COLUMN_SLOT_COUNT];
int SettingsMode = SETTINGS_CURRENT;
int UpdateRate;
