// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the register view shows for a page: every register byte the page's
// generator writes, with its named bits, and the rate those bytes give.
// Computed from the register shadows and the calculators only, so the view
// says exactly what the next code preview will write.
#include <string>
#include <vector>

namespace tamberlo {

class EditorModel;

struct RegisterRow {
  std::string name;  // as the generated code names it: "UCSRB", "UCSR0B", "SPCR"
  int value = 0;     // the byte written
  // Bit names from bit 7 down to bit 0; "-" for a bit the register does not
  // have. Which bits are set comes from `value`.
  std::vector<std::string> bits;
};

struct RegisterView {
  std::string title;               // "UART0 寄存器", empty for a page without registers
  std::vector<RegisterRow> rows;   // in the datasheet's order
  std::vector<std::string> notes;  // rates and errors, one line each
  bool warning = false;            // a note needs the user's attention
};

// The view for page `pageIndex` of the editor (the PageControl1 index); a
// page without registers gives an empty view.
RegisterView registerViewFor(const EditorModel& model, int pageIndex);

// The fuse page ("熔丝位"): the low, high and (ATmega64/128) extended fuse
// bytes the chip needs for the chosen crystal, a bit shown set when it is 1
// (unprogrammed); the notes say what each programmed or changed bit does.
RegisterView fuseViewFor(const EditorModel& model);

}  // namespace tamberlo
