// Wiring of the evaluation boards, read by GetEvalLoc and GetEvalFnName.
#pragma once
#include "table/shared.h"

#include <cstdint>

constexpr int EVAL_NAME_SETS = 3;
constexpr int EVAL_X9_X10_PINS = 50; // boards "version2.1" and "version3.1"
// Board "Belvan V.1.0": X4, X7 and X10 of 40 pins, then X56 of 10.
constexpr int EVAL_BELVAN_CONNECTOR_PINS = 40;
constexpr int EVAL_X56_FIRST = 120;
constexpr int EVAL_X56_PINS = 10;
// Positions of a board's wiring: its connectors in order, X56 last.
constexpr int EVAL_POSITIONS = EVAL_X56_FIRST + EVAL_X56_PINS;
constexpr int EVAL_X22_PINS = 24;
constexpr int EVAL_EX_ROW_PINS = 32;
constexpr int EVAL_EX_PINS = 3 * EVAL_EX_ROW_PINS; // rows A, B, C
constexpr int EVAL_CROSS_REFS = 6;

// A byte of 255 (boards "version2.1" and "version3.1") or 16 bits of ones ("Belvan V.1.0")
// marks a connector pin without a module pin.
constexpr uint32_t EVAL_BYTE_NONE = 0xFF;
constexpr uint32_t EVAL_WORD_NONE = 0xFFFF;

// Per board, per position: "version2.1" / "version3.1": bits 0..7 the module pin at X9 pin
// position + 1, bits 8..15 the one at X10 pin position + 1. "Belvan V.1.0": bits 0..15 the
// module pin at one connector pin (X4, X7, X10, X56 in turn).
extern const uint32_t (&EvalConnectorTable)[EVALB_COUNT][EVAL_POSITIONS];
// Per board, per set (X9, X10, - or X4, X7, X10), per position: the board's signal name; null
// where the board has none.
extern const wchar_t* const (&EvalFnNameTable)[EVALB_COUNT][EVAL_NAME_SETS][EVAL_POSITIONS];

// Board "version3.1": bits 0..7 the module pin at each X22 pin, and at each EX pin.
extern const uint32_t EvalX22Table[EVAL_X22_PINS];
extern const uint32_t EvalExtTable[EVAL_EX_PINS];

// Board "version3.1": module pins on the EX connector that X10 or X9 carries as well.
struct EvalCrossRef {
    int x10ModulePin, x10Pin;
    int x9ModulePin, x9Pin;
};
extern const EvalCrossRef EvalCrossRefTable[EVAL_CROSS_REFS];
