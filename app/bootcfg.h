// Boot-up Settings: the boot-up GPIO configuration that the platform keeps in flash, the RAM
// image GPIOLib edits in that mode, and the commands of the mode.
#pragma once
#include "gpiolib/gpiolib.h"
#include "table/settings.h"

#include <windows.h>
#include <cstdint>

// BootConfigBlock: 18 little-endian words exchanged with the platform as a whole.
//   0..3   GPDR0..3 (direction, 1 = output)      4..7   GPLR0..3 (level, 1 = high)
//   8..15  GAFR0_L..GAFR3_U (PXA270 only; the PXA3xx leave them uninterpreted)
//   16, 17 not interpreted
// Uninterpreted words keep what the last LoadBootConfig left and go back unchanged on Save.
constexpr int BOOT_CONFIG_WORDS = 18;
constexpr int BOOT_CONFIG_BYTES = 4 * BOOT_CONFIG_WORDS;
extern uint32_t BootConfigBlock[BOOT_CONFIG_WORDS];

// BootImage: the PXA GPIO controller block, every register at its hardware offset, then one MFPR
// word per GPIO. Zero at process start, never freed; kept across mode switches.
extern uint32_t BootImage[BOOT_IMAGE_WORDS];

// Platform codes; true when the platform reports a nonzero byte count.
bool ReadBootConfig(uint32_t blockId, void* block, uint32_t size);
bool SaveBootConfig(uint32_t blockId, const void* block, uint32_t size);
bool ClearBootConfig(uint32_t blockId);

// The processor's defaults into the block and the image, optionally replaced by the stored
// block, then the block's registers into the image. Nothing on a processor without the mode.
void LoadBootConfig(bool read);
// The image's direction, level and (PXA270) alternate-function registers into the block.
void CopyImageToBlock();

// The "Dir" and "Level" popups. On the image the set and clear words GPIOLib wrote are folded
// into the direction or level words (a bit both set and cleared ends cleared). An edit made
// while GPIOLib does not yet work on what the SettingsMode names (a mode switch waiting for its
// rebuild) is dropped, so that boot-up edits never reach the live registers and the reverse.
void ApplyDirection(uint32_t gpio, uint32_t dir);
void ApplyLevel(uint32_t gpio, uint32_t level);
// True when GPIOLib works on the BootImage in Boot-up Settings and on the live registers in
// Current Settings: only then may a popup's choice go to GPIOLib.
bool GpioLibMatchesSettingsMode();

// Commands "Save" and "Reset/Clear" of the dialog.
void OnSave(HWND dialog);
void OnResetClear(HWND dialog);
// Mode radio buttons: true when the mode changed, and the caller then starts a rebuild (whose
// thread calls SyncGpioLibWithSettingsMode between stopping and starting the refresh).
bool OnBootupSettings(HWND dialog);
bool OnCurrentSettings(HWND dialog);
// Points GPIOLib at the BootImage or at the live registers, as the SettingsMode says; nothing
// when it already works there. Only while no refresh pass runs.
void SyncGpioLibWithSettingsMode();

// The boot-up configuration as settings (Boot-up Settings fields; the BootImage and the block
// stay as they are): the one the platform keeps, or the processor's defaults when it keeps none
// (stored then says false); and the processor's defaults as "Reset/Clear" loads them, with the
// PXA3xx pads' functions from the MFPR image defaults. False on a processor without the mode.
bool StoredBootSettings(Configuration* out, bool* stored);
bool DefaultBootSettings(Configuration* out);

// Help text of static 1041 for a SettingsMode, on the processor in use.
const wchar_t* HelpText(int settingsMode);
