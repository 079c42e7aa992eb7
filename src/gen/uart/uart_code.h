// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The UART driver generator: uart.c and uart.h.
#include "gen/generator.h"

namespace tamberlo {

// Writes uart.c and uart.h into the project folder, shows uart.c in the
// preview, shows each generated UART's divisor in its "UBRR" box and
// stores it in the shadows. Error, before anything is written or shown,
// when a baud rate cannot be reached with the crystal or an RS485 port box
// names no port.
void MakeUartCode(GenContext& ctx);

}  // namespace tamberlo
