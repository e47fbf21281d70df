// Module pin names: on which connector pins of the module a GPIO is found.
#pragma once
#include <cstdint>

// Finds every GPIO's text for the processor, the module and the board in use. The list build
// calls it on the list's thread, before it and the sort read the texts.
void FillModulePinNames();

// Texts: "SFront.%3d" (odd SODIMM pin), "SBack.%3d" (even SODIMM pin), "MXM3.%3d" (board
// "Belvan V.1.0" selected), "Extension.%2d" (X2 only) or "N/A"; then one "*" for every further
// pin that carries the GPIO, and "#" when the first pin also carries a second GPIO.
// The text of the last fill. firstPin, when given, receives the first edge-connector pin
// found, or -1.
const wchar_t* GetModulePinName(uint32_t gpio, int* firstPin);
