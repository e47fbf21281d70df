// Boot-up Settings: load, edit, save and erase the boot-up GPIO configuration.
#include "app/bootcfg.h"
#include "app/app.h"
#include "gpiolib/pxa_registers.h"
#include "platform/ce.h"
#include "platform/kernel_ioctl.h"
#include "res/resource.h"
#include "table/shared.h"

#include <cstring>

static_assert(BOOT_CONFIG_BYTES == BOOT_BLOCK_SIZE, "the block the platform stores");

uint32_t BootConfigBlock[BOOT_CONFIG_WORDS];
uint32_t BootImage[BOOT_IMAGE_WORDS];

namespace {

// Image word of bank n of a register.
int Word(uint32_t reg, int n) {
    return int(PxaBankOffset(reg, uint32_t(n)) / 4);
}

constexpr int kBlockDir = 0, kBlockLevel = 4, kBlockAltFn = 8, kAltFnWords = 8;

// PXA270 boot defaults, words 0..15: outputs GPIO 15, 30, 31, 49, 78, 79, 80, 95, 98; high
// GPIO 15, 49, 78, 79, 80; function 2 on GPIO 15, 49, 78, 79, 80 and function 1 on GPIO 18.
constexpr uint32_t kPxa270Defaults[16] = {
    0xC0008000, 0x00020000, 0x8001C000, 0x00000004, 0x00008000, 0x00020000, 0x0001C000, 0x00000000,
    0x80000000, 0x00000010, 0x00000000, 0x00000008, 0xA0000000, 0x00000002, 0x00000000, 0x00000000};

// PXA3xx: MFPR-image words that boot on a function other than 0, besides the pads whose GPIO
// function is not 0: those boot as GPIOs, or on kNoGpioFunction when they have none.
struct MfprDefault {
    bool pxa320; // PXA320 row, else PXA300 and PXA310
    uint8_t gpio;
    uint8_t fn;
};

// clang-format off
constexpr MfprDefault kMfprDefaults[] = {
//   pxa320 gpio fn
    {true,    0,  2},
    {true,    2,  1},
    {true,    3,  1},
    {true,    4,  1},
    {false,   0,  1},
    {false,   1,  1},
    {false,   2,  1},
    {false,   9,  7},
    {false,  10,  7},
};
// clang-format on
constexpr uint32_t kNoGpioFunction = 7; // the PXA320's "noGPIO"

// The function a PXA3xx pad boots on.
uint32_t BootFunction(uint32_t gpio) {
    if (int fn = PxaGpioFunction(ProcessorId, gpio)) return fn < 0 ? kNoGpioFunction : uint32_t(fn);
    for (const MfprDefault& d : kMfprDefaults)
        if (d.pxa320 == (ProcessorId == PROCESSOR_PXA320) && d.gpio == gpio) return d.fn;
    return 0;
}

bool BootBlockCall(DWORD code, uint32_t blockId, const void* block, uint32_t size, void* out,
                   DWORD outSize) {
    BootBlockRequest request = {blockId, reinterpret_cast<UINT_PTR>(block), size};
    DWORD count = 0;
    return KernelIoControl(code, &request, sizeof request, out, outSize, &count) && count != 0;
}

// GPIOLib's set and clear words into the register they change: set bits first, then clear
// bits (clear wins), then both emptied, as the hardware would have done.
void Fold(uint32_t target, uint32_t set, uint32_t clear) {
    for (int n = 0; n < 4; ++n)
        BootImage[Word(target, n)] |= BootImage[Word(set, n)];
    for (int n = 0; n < 4; ++n)
        BootImage[Word(target, n)] &= ~BootImage[Word(clear, n)];
    for (int n = 0; n < 4; ++n)
        BootImage[Word(set, n)] = BootImage[Word(clear, n)] = 0;
}

void ProcessorDefaults(uint32_t (&block)[BOOT_CONFIG_WORDS]) {
    memset(block, 0, sizeof block);
    if (ProcessorId == PROCESSOR_PXA270) memcpy(block, kPxa270Defaults, sizeof kPxa270Defaults);
}

// PXA3xx: a second pad has its first pad's bits in the GPIO controller's registers.
uint32_t ControllerBit(uint32_t gpio) {
    return IsPxa3xx(ProcessorId) && gpio >= PXA_SECOND_PADS ? gpio - PXA_SECOND_PADS : gpio;
}

// A block's registers as settings; PXA3xx functions from the MFPR image defaults when asked.
void BlockSettings(const uint32_t (&block)[BOOT_CONFIG_WORDS], bool mfprDefaults,
                   Configuration* out) {
    bool pxa270 = ProcessorId == PROCESSOR_PXA270;
    unsigned fields = FieldBit(FIELD_DIRECTION) | FieldBit(FIELD_LEVEL) |
                      (pxa270 || mfprDefaults ? FieldBit(FIELD_ALTFN) : 0);
    *out = Configuration{};
    out->processor = ProcessorId;
    out->source = SETTINGS_BOOTUP;
    int count = SettingGpioCount(ProcessorId);
    for (int g = 0; g < count && g < ROW_CACHE_ENTRIES; ++g) {
        uint32_t b = ControllerBit(uint32_t(g));
        GpioSettings& s = out->gpio[g];
        s.value[FIELD_DIRECTION] = int(block[kBlockDir + b / 32] >> (b % 32) & 1);
        s.value[FIELD_LEVEL] = int(block[kBlockLevel + b / 32] >> (b % 32) & 1);
        if (pxa270) s.value[FIELD_ALTFN] = int(block[kBlockAltFn + g / 16] >> 2 * (g % 16) & 3);
        out->fields[g] = uint8_t(fields);
    }
    if (mfprDefaults && !pxa270)
        for (int g = 0; g < count && g < ROW_CACHE_ENTRIES; ++g)
            if (uint32_t fn = BootFunction(uint32_t(g))) out->gpio[g].value[FIELD_ALTFN] = int(fn);
}

bool OnBootImage() {
    return GetGPIOLibImage() == BootImage;
}

void ShowButtons(HWND dialog, int show) {
    ShowWindow(GetDlgItem(dialog, IDC_SAVE), show);
    ShowWindow(GetDlgItem(dialog, IDC_RESETCLEAR), show);
}

// A second click while the command's message box is open (the box's loop still delivers
// posted commands) must not start the command again inside itself.
bool g_inBootCommand;

} // namespace

bool ReadBootConfig(uint32_t blockId, void* block, uint32_t size) {
    return BootBlockCall(IOCTL_READ_BOOT_CONFIG, blockId, block, size, block, size);
}

bool SaveBootConfig(uint32_t blockId, const void* block, uint32_t size) {
    return BootBlockCall(IOCTL_SAVE_BOOT_CONFIG, blockId, block, size, nullptr, 0);
}

bool ClearBootConfig(uint32_t blockId) {
    BootBlockRequest request = {blockId, 0, 0};
    DWORD count = 0;
    return KernelIoControl(IOCTL_CLEAR_BOOT_CONFIG, &request, sizeof request, nullptr, 0, &count) &&
           count != 0;
}

void LoadBootConfig(bool read) {
    memset(BootConfigBlock, 0, sizeof BootConfigBlock);
    if (!IsPxa(ProcessorId)) return;
    ProcessorDefaults(BootConfigBlock);
    if (ProcessorId != PROCESSOR_PXA270) {
        for (uint32_t g = 0; g < uint32_t(BOOT_IMAGE_MFPR_WORDS); ++g)
            if (uint32_t fn = BootFunction(g)) BootImage[BOOT_IMAGE_GPIO_WORDS + g] = fn;
    }
    if (read) {
        // A refused read must not leave part of a block over the defaults.
        uint32_t stored[BOOT_CONFIG_WORDS] = {};
        if (ReadBootConfig(uint32_t(BOOT_BLOCK_GPIO), stored, BOOT_CONFIG_BYTES))
            memcpy(BootConfigBlock, stored, sizeof stored);
    }
    for (int n = 0; n < 4; ++n) {
        BootImage[Word(GPDR, n)] = BootConfigBlock[kBlockDir + n];
        BootImage[Word(GPLR, n)] = BootConfigBlock[kBlockLevel + n];
    }
    if (ProcessorId == PROCESSOR_PXA270)
        for (int n = 0; n < kAltFnWords; ++n)
            BootImage[GAFR / 4 + n] = BootConfigBlock[kBlockAltFn + n];
}

void CopyImageToBlock() {
    for (int n = 0; n < 4; ++n) {
        BootConfigBlock[kBlockDir + n] = BootImage[Word(GPDR, n)];
        BootConfigBlock[kBlockLevel + n] = BootImage[Word(GPLR, n)];
    }
    if (ProcessorId == PROCESSOR_PXA270)
        for (int n = 0; n < kAltFnWords; ++n)
            BootConfigBlock[kBlockAltFn + n] = BootImage[GAFR / 4 + n];
}

bool StoredBootSettings(Configuration* out, bool* stored) {
    if (!IsPxa(ProcessorId)) return false;
    uint32_t block[BOOT_CONFIG_WORDS];
    ProcessorDefaults(block);
    uint32_t read[BOOT_CONFIG_WORDS] = {};
    *stored = ReadBootConfig(uint32_t(BOOT_BLOCK_GPIO), read, BOOT_CONFIG_BYTES);
    if (*stored) memcpy(block, read, sizeof read);
    BlockSettings(block, false, out);
    return true;
}

bool DefaultBootSettings(Configuration* out) {
    if (!IsPxa(ProcessorId)) return false;
    uint32_t block[BOOT_CONFIG_WORDS];
    ProcessorDefaults(block);
    BlockSettings(block, true, out);
    return true;
}

bool GpioLibMatchesSettingsMode() {
    return SettingsMode == SETTINGS_BOOTUP ? OnBootImage() : !GetGPIOLibImage();
}

void ApplyDirection(uint32_t gpio, uint32_t dir) {
    if (!GpioLibMatchesSettingsMode()) return;
    SetGPIODir(gpio, dir);
    if (GetGPIOLibImage()) Fold(GPDR, GSDR, GCDR);
}

void ApplyLevel(uint32_t gpio, uint32_t level) {
    if (!GpioLibMatchesSettingsMode()) return;
    SetGPIOLevel(gpio, level);
    if (GetGPIOLibImage()) Fold(GPLR, GPSR, GPCR);
}

void OnSave(HWND dialog) {
    if (g_inBootCommand) return;
    g_inBootCommand = true;
    HWND button = GetDlgItem(dialog, IDC_SAVE);
    EnableWindow(button, FALSE);
    CopyImageToBlock();
    if (!SaveBootConfig(uint32_t(BOOT_BLOCK_GPIO), BootConfigBlock, BOOT_CONFIG_BYTES))
        ShowMessage(dialog, L"Could not Save GPIOs Parameters", L"ERROR", MB_OK);
    EnableWindow(button, TRUE);
    g_inBootCommand = false;
}

void OnResetClear(HWND dialog) {
    if (g_inBootCommand) return;
    g_inBootCommand = true;
    LoadBootConfig(false);
    HWND button = GetDlgItem(dialog, IDC_RESETCLEAR);
    EnableWindow(button, FALSE);
    if (ShowMessage(dialog, L"Do you want to Clear the Saved Flash Configuration too?", L"WARNING",
                    MB_YESNO) == IDYES &&
        !ClearBootConfig(uint32_t(BOOT_BLOCK_GPIO)))
        ShowMessage(dialog, L"Could not Clear GPIOs Parameters", L"ERROR", MB_OK);
    EnableWindow(button, TRUE);
    g_inBootCommand = false;
}

bool OnBootupSettings(HWND dialog) {
    // The mode exists on the PXA processors only; GPIOLib cannot work on an image elsewhere.
    if (SettingsMode == SETTINGS_BOOTUP || !IsPxa(ProcessorId)) return false;
    SettingsMode = SETTINGS_BOOTUP;
    ShowButtons(dialog, SW_SHOW);
    SetDlgItemTextW(dialog, IDC_HELPTEXT, HelpText(SETTINGS_BOOTUP));
    return true;
}

bool OnCurrentSettings(HWND dialog) {
    if (SettingsMode == SETTINGS_CURRENT) return false;
    SettingsMode = SETTINGS_CURRENT;
    ShowButtons(dialog, SW_HIDE);
    SetDlgItemTextW(dialog, IDC_HELPTEXT, HelpText(SETTINGS_CURRENT));
    return true;
}

void SyncGpioLibWithSettingsMode() {
    if (SettingsMode == SETTINGS_BOOTUP) {
        if (OnBootImage()) return;
        DeInitGPIOLib();
        InitGPIOLibOnImage(BootImage);
    } else {
        // On the registers already, InitGPIOLib keeps the windows it has.
        if (GetGPIOLibImage()) DeInitGPIOLib();
        InitGPIOLib();
    }
}
