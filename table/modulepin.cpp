// Module pin names, searched in the module pin map.
#include "table/modulepin.h"
#include "gpiolib/frame.h"
#include "table/shared.h"

#include <windows.h>
#include <atomic>

namespace {

constexpr int kEdgePins = 320; // MXM3; Tessara modules refuse pins above 200
constexpr int kX2Pins = 18;
// The longest text of the pin maps has 13 characters.
constexpr int kTextSize = 32;

// One buffer per thread: the list build and the sort may ask at the same time.
thread_local wchar_t t_text[kTextSize];
// GPIO numbers below this have texts kept once found; 255 names no GPIO in the pin map.
constexpr uint32_t kIndexedGpios = PIN_GPIO_NONE;

bool Carries(uint16_t entry, uint32_t gpio) {
    return (entry & 0xFF) == gpio || (entry >> 8) == gpio;
}

void Append(wchar_t* text, wchar_t mark) {
    int n = lstrlenW(text);
    if (n < kTextSize - 1) {
        text[n] = mark;
        text[n + 1] = 0;
    }
}

// Searches the module pin map for the GPIO: its text into `text`, its first pin (or -1).
void Describe(uint32_t gpio, wchar_t* text, int* firstPin) {
    lstrcpyW(text, L"N/A");
    int first = -1;
    bool found = false;
    bool multiplexed = false;

    // PXA320: GPIO 0 is the same signal as GPIO 87 and is wired where GPIO 87 is.
    if (ProcessorId == PROCESSOR_PXA320 && gpio == 0) gpio = 87;

    // 255 marks an empty byte of an entry: no GPIO of that number exists.
    if (gpio < PIN_GPIO_NONE) {
        uint16_t entry;
        for (int pin = 1; pin <= kEdgePins; ++pin) {
            if (!GetGPIOFromPin(pin, CONNECTOR_EDGE, &entry) || !Carries(entry, gpio)) continue;
            if (found) {
                Append(text, L'*');
                continue;
            }
            if (EvalbRevID == EVALB_BELVAN)
                wsprintfW(text, L"MXM3.%3d", pin);
            else
                wsprintfW(text, pin % 2 ? L"SFront.%3d" : L"SBack.%3d", pin);
            first = pin;
            found = true;
            multiplexed = (entry >> 8) != PIN_GPIO_NONE;
        }

        if (!IsTegra(ProcessorId)) {
            // An X2 pin is no key for the evaluation board: it never becomes the first pin.
            bool onX2 = false;
            for (int pin = 1; pin <= kX2Pins; ++pin) {
                if (!GetGPIOFromPin(pin, CONNECTOR_X2, &entry) || !Carries(entry, gpio)) continue;
                if (found || onX2) {
                    Append(text, L'*');
                    continue;
                }
                wsprintfW(text, L"Extension.%2d", pin);
                onX2 = true;
                multiplexed = (entry >> 8) != PIN_GPIO_NONE;
            }
        }
    }

    if (multiplexed) Append(text, L'#');
    *firstPin = first;
}

// Every GPIO's text, found once for one processor, module and board: the sort asks for two
// texts per comparison, and a search reads the whole pin map.
struct PinNames {
    uint32_t processor, gpioLibProcessor;
    bool mxm3Module, belvanBoard;
    int firstPin[kIndexedGpios];
    wchar_t text[kIndexedGpios][kTextSize];
};
constexpr int kPinNameSets = 16;
std::atomic<PinNames*> g_pinNames[kPinNameSets];
SRWLOCK g_pinNamesLock = SRWLOCK_INIT;

bool Matches(const PinNames* names) {
    return names->processor == ProcessorId && names->gpioLibProcessor == g_gpioLib.processorId &&
           names->mxm3Module == g_gpioLib.mxm3Module &&
           names->belvanBoard == (EvalbRevID == EVALB_BELVAN);
}

// The texts for the present processor, module and board; null when they are not kept (then
// the search runs on every call, as it did before the set was made).
const PinNames* PinNamesNow() {
    // Only a library set up for the processor in use answers without complaint for every pin.
    if (!g_gpioLib.initialised || g_gpioLib.processorId != ProcessorId ||
        !FindProcessorFacts(ProcessorId))
        return nullptr;
    for (std::atomic<PinNames*>& slot : g_pinNames) {
        const PinNames* names = slot.load(std::memory_order_acquire);
        if (!names) break;
        if (Matches(names)) return names;
    }
    AcquireSRWLockExclusive(&g_pinNamesLock);
    PinNames* found = nullptr;
    for (std::atomic<PinNames*>& slot : g_pinNames) {
        PinNames* names = slot.load(std::memory_order_relaxed);
        if (names && Matches(names)) {
            found = names;
            break;
        }
        if (names) continue;
        names = new PinNames{ProcessorId,
                             g_gpioLib.processorId,
                             g_gpioLib.mxm3Module,
                             EvalbRevID == EVALB_BELVAN,
                             {},
                             {}};
        for (uint32_t gpio = 0; gpio < kIndexedGpios; ++gpio)
            Describe(gpio, names->text[gpio], &names->firstPin[gpio]);
        slot.store(names, std::memory_order_release);
        found = names;
        break;
    }
    ReleaseSRWLockExclusive(&g_pinNamesLock);
    return found;
}

} // namespace

const wchar_t* GetModulePinName(uint32_t gpio, int* firstPin) {
    const PinNames* names = gpio < kIndexedGpios ? PinNamesNow() : nullptr;
    int first;
    const wchar_t* text = names ? names->text[gpio] : t_text;
    if (names)
        first = names->firstPin[gpio];
    else
        Describe(gpio, t_text, &first);
    if (firstPin) *firstPin = first;
    return text;
}
