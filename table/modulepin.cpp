// Module pin names, searched in the module pin map.
#include "table/modulepin.h"
#include "gpiolib/gpiolib.h"
#include "table/shared.h"

#include <windows.h>

namespace {

constexpr int kEdgePins = 320; // MXM3; Tessara modules refuse pins above 200
constexpr int kX2Pins = 18;
// The longest text of the pin maps has 13 characters.
constexpr int kTextSize = 32;

// One buffer per thread: the list build and the sort may ask at the same time.
thread_local wchar_t t_text[kTextSize];

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

} // namespace

const wchar_t* GetModulePinName(uint32_t gpio, int* firstPin) {
    wchar_t* text = t_text;
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
    if (firstPin) *firstPin = first;
    return text;
}
