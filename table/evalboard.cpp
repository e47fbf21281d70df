// Evaluation-board locations and signal names of module pins.
#include "table/evalboard.h"
#include "gpiolib/gpiolib.h"
#include "table/evalboard_tables.h"

#include <windows.h>

namespace {

constexpr int kTextSize = 32; // the longest text, "EX.A. 23 X9. 35 ", has 16 characters
constexpr wchar_t kNotAvailable[] = L"N/A";
constexpr int kModulePins = MXM3_PINS + 1; // module pins 0 .. 320; 0 fills unused positions

wchar_t g_location[kModulePins][kTextSize];
const wchar_t* g_name[kModulePins];

bool KnownBoard(int board) {
    return board >= 0 && board < EVALB_COUNT;
}

// The position of the module pin on board "Belvan V.1.0", or -1.
int BelvanPosition(int modulePin) {
    for (int i = 0; i < EVAL_POSITIONS; ++i) {
        uint32_t pin = EvalConnectorTable[EVALB_BELVAN][i] & 0xFFFF;
        if (pin != EVAL_WORD_NONE && int(pin) == modulePin) return i;
    }
    return -1;
}

// Boards "version2.1" and "version3.1": the first position that carries the module pin, on X9
// (set 0) before X10 (set 1). False when neither does.
bool X9X10Position(int board, int modulePin, int* position, int* set) {
    for (int i = 0; i < EVAL_POSITIONS; ++i) {
        for (int s = 0; s < 2; ++s) {
            uint32_t pin = (EvalConnectorTable[board][i] >> (8 * s)) & 0xFF;
            if (pin != EVAL_BYTE_NONE && int(pin) == modulePin) {
                *position = i;
                *set = s;
                return true;
            }
        }
    }
    return false;
}

bool TableCarries(uint32_t entry, int modulePin) {
    uint32_t pin = entry & 0xFF;
    return pin != EVAL_BYTE_NONE && int(pin) == modulePin;
}

// Board "version3.1": X22 and the EX connector. A later match replaces an earlier text.
void FindOnVersion31Extras(int modulePin, wchar_t* text) {
    for (int i = 0; i < EVAL_X22_PINS; ++i)
        if (TableCarries(EvalX22Table[i], modulePin)) wsprintfW(text, L"X22.%3d", i + 1);

    for (int k = 0; k < EVAL_EX_PINS; ++k) {
        if (!TableCarries(EvalExtTable[k], modulePin)) continue;
        wchar_t row = wchar_t(L'A' + k / EVAL_EX_ROW_PINS);
        int pin = k % EVAL_EX_ROW_PINS + 1;
        wsprintfW(text, L"EX.%c.%3d", row, pin);
        for (const EvalCrossRef& ref : EvalCrossRefTable) {
            if (ref.x10ModulePin == modulePin) {
                wsprintfW(text, L"EX.%c.%3d X10.%3d ", row, pin, ref.x10Pin);
                break;
            }
            if (ref.x9ModulePin == modulePin) {
                wsprintfW(text, L"EX.%c.%3d X9.%3d ", row, pin, ref.x9Pin);
                break;
            }
        }
    }
}

// The location text of a module pin on a known board, into `text`.
void FindLocation(int board, int modulePin, wchar_t* text) {
    lstrcpyW(text, kNotAvailable);
    // Module pins count from 1; 0 fills the unused positions of the tables.
    if (modulePin < 1) return;

    if (board == EVALB_BELVAN) {
        int i = BelvanPosition(modulePin);
        if (i < 0) return;
        static const wchar_t* const connectors[] = {L"X4.%3d", L"X7.%3d", L"X10.%3d", L"X56.%3d"};
        wsprintfW(text, connectors[i / EVAL_BELVAN_CONNECTOR_PINS],
                  i % EVAL_BELVAN_CONNECTOR_PINS + 1);
        return;
    }

    int position, set;
    if (X9X10Position(board, modulePin, &position, &set))
        wsprintfW(text, set == 0 ? L"X9.%3d" : L"X10.%3d", position + 1);
    if (board == EVALB_VERSION31) FindOnVersion31Extras(modulePin, text);
}

// The signal name of a module pin on a known board.
const wchar_t* FindFnName(int board, int modulePin) {
    if (modulePin < 1) return kNotAvailable;

    const wchar_t* name = nullptr;
    if (board == EVALB_BELVAN) {
        int i = BelvanPosition(modulePin);
        // X56 has no names printed; the X10 name at the same pin would name another signal.
        if (i >= 0 && i < EVAL_X56_FIRST) {
            int set = i / EVAL_BELVAN_CONNECTOR_PINS;
            name = EvalFnNameTable[board][set][i % EVAL_BELVAN_CONNECTOR_PINS];
        }
    } else {
        int position, set;
        if (X9X10Position(board, modulePin, &position, &set))
            name = EvalFnNameTable[board][set][position];
    }
    return name ? name : kNotAvailable;
}

} // namespace

void FillEvalBoardTexts() {
    int board = EvalbRevID;
    for (int pin = 0; pin < kModulePins; ++pin) {
        if (KnownBoard(board)) {
            FindLocation(board, pin, g_location[pin]);
            g_name[pin] = FindFnName(board, pin);
        } else {
            lstrcpyW(g_location[pin], kNotAvailable);
            g_name[pin] = kNotAvailable;
        }
    }
}

const wchar_t* GetEvalLoc(int modulePin) {
    return modulePin >= 0 && modulePin < kModulePins ? g_location[modulePin] : kNotAvailable;
}

const wchar_t* GetEvalFnName(int modulePin) {
    const wchar_t* name = modulePin >= 0 && modulePin < kModulePins ? g_name[modulePin] : nullptr;
    return name ? name : kNotAvailable;
}
