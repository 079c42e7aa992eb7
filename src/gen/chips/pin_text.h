// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Header lines and checks shared by the CH375 and VS1003 generators, whose
// pins come from the pin editors as texts such as "PC5".
#include <string>
#include <string_view>

#include "gen/chips/chip_generators.h"

namespace tamberlo::chips {

// "#define  NAME" and blanks up to the zero-based `column`, then `value`.
std::string padDefine(std::string_view name, std::string_view value, size_t column);
// "#define  NAME" up to `bodyColumn`, the body up to `commentColumn`, "//" and the note.
std::string pinMacro(std::string_view name, std::string_view body, size_t bodyColumn, size_t commentColumn,
                     std::string_view note);

// The pin of a signal; an Error naming the module and signal when the pin
// text is empty or not a pin, since no header could be built from it.
Pin requirePin(std::string_view module, std::string_view signal, std::string_view text);
// The letter of a port name "PORTx" as a pin of bit 0; Error otherwise.
Pin requirePort(std::string_view module, std::string_view role, std::string_view portName);

// Warnings for wiring the chosen device does not have.
void warnMissingPin(const GenContext& ctx, std::string_view module, std::string_view signal, Pin pin);
void warnMissingPort(const GenContext& ctx, std::string_view module, std::string_view role, char port);

}  // namespace tamberlo::chips
