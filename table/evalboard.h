// Evaluation-board locations: where a module pin is found on the selected evaluation board.
#pragma once

// "X9.%3d" or "X10.%3d" (boards "version2.1" and "version3.1"), "X22.%3d", "EX.%c.%3d" and
// "EX.%c.%3d X10.%3d " / "EX.%c.%3d X9.%3d " ("version3.1"), "X4.%3d", "X7.%3d", "X10.%3d",
// "X56.%3d" ("Belvan V.1.0"), or "N/A". Module pin -1 means none.
// The text stays as it is at least until the calling thread calls again; no other thread's
// call changes it.
const wchar_t* GetEvalLoc(int modulePin);
// The signal name printed on the board beside the module pin's connector pin, or "N/A".
// Always a constant text.
const wchar_t* GetEvalFnName(int modulePin);
