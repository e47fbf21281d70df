// Evaluation-board locations: where a module pin is found on the selected evaluation board.
#pragma once

// Finds every module pin's location and signal name on the selected board (EvalbRevID). The
// list build calls it on the list's thread, before it and the sort read the texts.
void FillEvalBoardTexts();

// "X9.%3d" or "X10.%3d" (boards "version2.1" and "version3.1"), "X22.%3d", "EX.%c.%3d" and
// "EX.%c.%3d X10.%3d " / "EX.%c.%3d X9.%3d " ("version3.1"), "X4.%3d", "X7.%3d", "X10.%3d",
// "X56.%3d" ("Belvan V.1.0"), or "N/A". Module pin -1 means none. The text of the last fill.
const wchar_t* GetEvalLoc(int modulePin);
// The signal name printed on the board beside the module pin's connector pin, or "N/A".
const wchar_t* GetEvalFnName(int modulePin);
