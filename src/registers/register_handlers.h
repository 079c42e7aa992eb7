// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The handlers of the calculator pages: each box sets its bits in the
// register shadows at once.
namespace tamberlo {

class EditorModel;

void installUartHandlers(EditorModel& model);  // both UART pages and the crystal
void installBusHandlers(EditorModel& model);   // SPI, TWI, ADC pages

// The "UBRR" boxes from the crystal, baud rate and speed factor: the divisor
// the next code preview will compute, shown at once.
void refreshUbrrBoxes(EditorModel& model);

}  // namespace tamberlo
