// Help texts under the list, per settings mode; the PXA270 has no "*" and "#" marks to explain.
#include "app/bootcfg.h"
#include "table/shared.h"

namespace {

#define HELP_RIGHTCLICK                                                                            \
    L"RightClick on setting to change. Click on Column Headers to change sort order."
#define HELP_MARKS                                                                                 \
    L"\r\n* This signal is assigned to more than one module pin. See the module datasheet for "    \
    L"more information.\r\n# This signal is multiplexed with another one. See the module "         \
    L"datasheet for more information."
#define HELP_CURRENT_PXA270                                                                        \
    HELP_RIGHTCLICK L"\r\nNOTE: this is for testing/debugging only, settings are discarded on "    \
                    L"next boot. Use Boot-up Settings mode to change the boot-up defaults."
#define HELP_BOOTUP_WARNING                                                                        \
    HELP_RIGHTCLICK L"\r\nWarning!!! Incorrect settings may prevent the system from booting. If "  \
                    L"this happens use 'clear gpio' command in bootloader"

const wchar_t kHelpCurrentPxa270[] = HELP_CURRENT_PXA270;
const wchar_t kHelpCurrent[] = HELP_CURRENT_PXA270 HELP_MARKS;
// The PXA270 text ends without a full stop; the general one has it.
const wchar_t kHelpBootupPxa270[] = HELP_BOOTUP_WARNING;
const wchar_t kHelpBootup[] = HELP_BOOTUP_WARNING L"." HELP_MARKS;

} // namespace

const wchar_t* HelpText(int settingsMode) {
    bool pxa270 = ProcessorId == PROCESSOR_PXA270;
    if (settingsMode == SETTINGS_BOOTUP) return pxa270 ? kHelpBootupPxa270 : kHelpBootup;
    return pxa270 ? kHelpCurrentPxa270 : kHelpCurrent;
}
