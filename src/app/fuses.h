// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fuse bytes a project needs on a real chip: the external crystal
// oscillator for the project's crystal instead of the factory 1 MHz RC
// oscillator, JTAG and the ATmega103 mode off, everything else as shipped.
// The same bytes go into the ELF's .fuse section, the Makefile's "make
// fuses", "tamberlo-gen --fuses" and the register view's fuse page.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/crystal.h"

namespace tamberlo {

// One fuse bit as the datasheet names it; "programmed" is the bit at 0.
struct FuseBit {
  std::string_view name;     // "CKOPT"
  int fuseByte = 0;          // 0 low, 1 high, 2 extended
  int bit = 0;               // 0..7
  bool programmed = false;   // in the bytes below
  std::string meaning;       // one line, what the setting does
};

struct FuseSet {
  uint8_t low = 0xFF, high = 0xFF, extended = 0xFF;
  bool hasExtended = false;  // ATmega64/128
  std::vector<FuseBit> bits;  // bit 7 first within each byte
  // Said about the crystal: above the chip's rating, a resonator-only range.
  std::vector<std::string> warnings;
};

// The fuses of `mcuName` for a crystal of `hz`; nullopt for a name that
// matches no listed chip.
std::optional<FuseSet> fusesFor(std::string_view mcuName, int64_t hz);

// "0xFF"
std::string fuseHex(uint8_t value);

// Lines that tell the bytes and each bit, for --fuses and the register view.
std::vector<std::string> describeFuses(std::string_view mcuName, const FuseSet& f);

}  // namespace tamberlo
