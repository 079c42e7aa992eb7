// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Who owns each pin of the chip in a configuration, and the clashes: two
// owners of one pin, a signal on a pin the chip lacks, an ISP programming
// pin shared with a module. The pin editors, the chip view, the generation
// run and the wiring sheet all read this one answer.
#include <string>
#include <vector>

#include "app/pin_map.h"
#include "app/project_config.h"

namespace tamberlo {

struct PinOwner {
  std::string module;   // "LCD", "UART0", "SPI", "crystal"
  std::string signal;   // "E", "TXD0", "data bus", "XTAL1"
  char port = 0;        // 'A'..'G'
  unsigned mask = 0;    // the port's pins it claims, one bit each (a data bus claims several)
  // Owners of one bus ("SPI", "TWI") share its pins; a chip select on the
  // bus (`select`) still needs its pin alone.
  std::string bus;
  bool select = false;
  bool board = false;   // taken by the board itself: the crystal, RESET
  std::string control;  // the window control that chose the pin ("Edit1"), if any

  // "LCD E", "crystal XTAL1"
  std::string name() const { return module + " " + signal; }
  // "E on PC0", "data bus on PORTA"
  std::string where() const;
};

enum class ConflictKind {
  Shared,   // two owners on one pin: a warning
  Missing,  // a signal on a pin the chip lacks (the generators warn of it)
  Isp,      // a module on an ISP programming pin: works, a notice
};

struct PinConflict {
  ConflictKind kind = ConflictKind::Shared;
  PinOwner first, second;     // second: the other owner (Shared) or empty
  std::vector<PortPin> pins;  // the pins they share, or the pins missing / on ISP
  std::string message;        // the whole sentence for the user
};

// Every owner of the configuration, in a fixed order: the board (crystal,
// RESET), the on-chip peripherals, then the external chips.
std::vector<PinOwner> pinOwners(const ProjectConfig& cfg);

// The conflicts of the configuration, each once, in owner order. A chip
// name that matches no listed chip has none (nothing is known about it).
std::vector<PinConflict> pinConflicts(const ProjectConfig& cfg);

// The owners of one pin, in owner order.
std::vector<const PinOwner*> ownersOf(const std::vector<PinOwner>& owners, PortPin pin);

}  // namespace tamberlo
