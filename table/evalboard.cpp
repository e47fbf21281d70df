// Evaluation-board locations and signal names of module pins.
#include "table/evalboard.h"
#include "table/evalboard_tables.h"

#include <windows.h>
#include <atomic>

namespace {

constexpr int kTextSize = 32; // the longest text, "EX.A. 23 X9. 35 ", has 16 characters

// One buffer per thread: the list build and the sort may ask at the same time.
thread_local wchar_t t_location[kTextSize];

constexpr wchar_t kNotAvailable[] = L"N/A";
// Module pins below this have their texts kept once found: the MXM3 connector has 320.
constexpr int kIndexedPins = 321;

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

// Every module pin's location and name on one board, found once: the sort asks for two texts
// per comparison, and each search reads the board's whole wiring.
struct BoardTexts {
    wchar_t location[kIndexedPins][kTextSize];
    const wchar_t* name[kIndexedPins];
};
std::atomic<BoardTexts*> g_boardTexts[EVALB_COUNT];
SRWLOCK g_boardTextsLock = SRWLOCK_INIT;

// The texts of a known board, and of module pins 0 .. kIndexedPins - 1 only.
const BoardTexts* TextsOf(int board, int modulePin) {
    if (!KnownBoard(board) || modulePin < 0 || modulePin >= kIndexedPins) return nullptr;
    if (const BoardTexts* texts = g_boardTexts[board].load(std::memory_order_acquire)) return texts;
    AcquireSRWLockExclusive(&g_boardTextsLock);
    BoardTexts* texts = g_boardTexts[board].load(std::memory_order_relaxed);
    if (!texts) {
        texts = new BoardTexts;
        for (int pin = 0; pin < kIndexedPins; ++pin) {
            FindLocation(board, pin, texts->location[pin]);
            texts->name[pin] = FindFnName(board, pin);
        }
        g_boardTexts[board].store(texts, std::memory_order_release);
    }
    ReleaseSRWLockExclusive(&g_boardTextsLock);
    return texts;
}

} // namespace

const wchar_t* GetEvalLoc(int modulePin) {
    int board = EvalbRevID;
    if (const BoardTexts* texts = TextsOf(board, modulePin)) return texts->location[modulePin];
    wchar_t* text = t_location;
    if (KnownBoard(board))
        FindLocation(board, modulePin, text);
    else
        lstrcpyW(text, kNotAvailable);
    return text;
}

const wchar_t* GetEvalFnName(int modulePin) {
    int board = EvalbRevID;
    if (const BoardTexts* texts = TextsOf(board, modulePin)) return texts->name[modulePin];
    return KnownBoard(board) ? FindFnName(board, modulePin) : kNotAvailable;
}
