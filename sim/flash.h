// The platform's flash store for the boot configuration block, one file per module.
#pragma once
#include "sim/sim.h"

bool SimFlashLoad(SimModule module, BYTE* block);       // false: nothing stored or unreadable
bool SimFlashSave(SimModule module, const BYTE* block); // old or new block, never a mix
bool SimFlashClear(SimModule module);                   // true also when nothing was stored
// Full path of the module's store file (of its VELMORA_SIM_INSTANCE, if set); empty when there
// is none, with a line on stderr when VELMORA_SIM_STORE_DIR leaves no room for the file name.
void SimFlashPath(SimModule module, wchar_t* path, DWORD size);
// Tests: make the next save stop after this step, as if the process died there
// (1 temporary created, 2 half written, 3 fully written, 4 closed, before the rename), or,
// with ioError, as if the disk failed what comes after the step.
void SimFlashInjectCrash(int step, bool ioError = false);
