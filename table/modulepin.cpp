// Module pin names, found in one walk over the module pin map.
#include "table/modulepin.h"
#include "gpiolib/gpiolib.h"
#include "table/table.h"

namespace {

// The longest text of the pin maps has 13 characters.
constexpr int kTextSize = 32;

wchar_t g_text[ROW_CACHE_ENTRIES][kTextSize];
int g_firstPin[ROW_CACHE_ENTRIES];

// What the walk has found of each GPIO so far.
struct Found {
    bool onEdge, onX2;
    bool multiplexed; // the first pin carries a second GPIO
};

void Append(wchar_t* text, wchar_t mark) {
    int n = lstrlenW(text);
    if (n < kTextSize - 1) {
        text[n] = mark;
        text[n + 1] = 0;
    }
}

// Each GPIO of a pin's entry once; a byte of 255 names none.
template <typename Visit> void ForEachGpio(uint16_t entry, Visit visit) {
    uint32_t low = entry & 0xFF, high = entry >> 8;
    if (low != PIN_GPIO_NONE && low < ROW_CACHE_ENTRIES) visit(low, high != PIN_GPIO_NONE);
    if (high != PIN_GPIO_NONE && high != low && high < ROW_CACHE_ENTRIES) visit(high, true);
}

} // namespace

void FillModulePinNames() {
    Found found[ROW_CACHE_ENTRIES] = {};
    for (int g = 0; g < ROW_CACHE_ENTRIES; ++g) {
        lstrcpyW(g_text[g], L"N/A");
        g_firstPin[g] = -1;
    }
    // Pins in order: the first that carries a GPIO names it, every further one adds a "*".
    uint16_t entry;
    for (int pin = 1; pin <= MXM3_PINS; ++pin) {
        if (!GetGPIOFromPin(uint32_t(pin), CONNECTOR_EDGE, &entry)) continue;
        ForEachGpio(entry, [&](uint32_t g, bool shared) {
            if (found[g].onEdge) return Append(g_text[g], L'*');
            if (EvalbRevID == EVALB_BELVAN)
                wsprintfW(g_text[g], L"MXM3.%3d", pin);
            else
                wsprintfW(g_text[g], pin % 2 ? L"SFront.%3d" : L"SBack.%3d", pin);
            g_firstPin[g] = pin;
            found[g] = {true, false, shared};
        });
    }
    // An X2 pin is no key for the evaluation board: it never becomes the first pin.
    for (int pin = 1; pin <= X2_PINS && !IsTegra(ProcessorId); ++pin) {
        if (!GetGPIOFromPin(uint32_t(pin), CONNECTOR_X2, &entry)) continue;
        ForEachGpio(entry, [&](uint32_t g, bool shared) {
            if (found[g].onEdge || found[g].onX2) return Append(g_text[g], L'*');
            wsprintfW(g_text[g], L"Extension.%2d", pin);
            found[g] = {false, true, shared};
        });
    }
    for (int g = 0; g < ROW_CACHE_ENTRIES; ++g)
        if (found[g].multiplexed) Append(g_text[g], L'#');
    for (uint32_t g = 0; g < ROW_CACHE_ENTRIES; ++g) {
        uint32_t alias = AliasedGpio(ProcessorId, g);
        if (alias == g || alias >= ROW_CACHE_ENTRIES) continue;
        lstrcpyW(g_text[g], g_text[alias]);
        g_firstPin[g] = g_firstPin[alias];
    }
}

const wchar_t* GetModulePinName(uint32_t gpio, int* firstPin) {
    bool known = gpio < ROW_CACHE_ENTRIES;
    if (firstPin) *firstPin = known ? g_firstPin[gpio] : -1;
    return known ? g_text[gpio] : L"N/A";
}
