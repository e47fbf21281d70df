// Module pin names: on which connector pins of the module a GPIO is found.
#pragma once
#include <cstdint>

// Texts: "SFront.%3d" (odd SODIMM pin), "SBack.%3d" (even SODIMM pin), "MXM3.%3d" (board
// "Belvan V.1.0" selected), "Extension.%2d" (X2 only) or "N/A"; then one "*" for every further
// pin that carries the GPIO, and "#" when the first pin also carries a second GPIO.
// The text stays as it is at least until the calling thread calls again; no other thread's
// call changes it.
// firstPin, when given, receives the first edge-connector pin found, or -1.
const wchar_t* GetModulePinName(uint32_t gpio, int* firstPin);
