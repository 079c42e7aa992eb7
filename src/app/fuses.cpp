// SPDX-License-Identifier: GPL-3.0-or-later
// Fuse bytes from the datasheets of the seven chips. All of them share the
// low byte's layout and the crystal oscillator's table:
//   CKOPT unprogrammed: CKSEL3..1 = 101 0.4-0.9 MHz (ceramic resonators
//   only), 110 0.9-3.0 MHz, 111 3.0-8.0 MHz; CKOPT programmed: up to the
//   chip's maximum, any of them (111 here).
// A frequency on a boundary takes the upper range (3.0 MHz -> 111), which
// both ranges allow. CKSEL0 = 1 with SUT1..0 = 11 is the crystal start-up
// of 16K CK + 65 ms, safe on slowly rising power. They differ in the two
// top bits of the high byte and in the extended byte of the ATmega64/128.
#include "app/fuses.h"

#include <cstdio>

#include "app/device_catalogue.h"

namespace tamberlo {
namespace {

struct Layout {
  std::string_view chip;
  std::string_view high7, high6;  // the high byte's two top bits
  bool extended;                  // M103C and WDTON in an extended byte
  std::string_view jtagPins;      // pins JTAG takes while JTAGEN is programmed
};

const Layout kLayouts[] = {
    {"ATMega8", "RSTDISBL", "WDTON", false, ""},
    {"ATMega8515", "S8515C", "WDTON", false, ""},
    {"ATMega8535", "S8535C", "WDTON", false, ""},
    {"ATMega16", "OCDEN", "JTAGEN", false, "PC2-PC5"},
    {"ATMega32", "OCDEN", "JTAGEN", false, "PC2-PC5"},
    {"ATMega64", "OCDEN", "JTAGEN", true, "PF4-PF7"},
    {"ATMega128", "OCDEN", "JTAGEN", true, "PF4-PF7"},
};

std::string mhzText(int64_t hz) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4f", static_cast<double>(hz) / 1e6);
  return buf;
}

std::string highMeaning(std::string_view name, std::string_view chip, std::string_view jtagPins) {
  if (name == "RSTDISBL") return "PC6 stays RESET, so the chip can still be programmed over SPI";
  if (name == "WDTON") return "watchdog under software control, as shipped";
  if (name == "S8515C") return "ATmega8515 mode, not AT90S4414/8515 compatibility, as shipped";
  if (name == "S8535C") return "ATmega8535 mode, not AT90S8535 compatibility, as shipped";
  if (name == "OCDEN") return "on-chip debugging off, as shipped";
  if (name == "JTAGEN") return "JTAG off, so " + std::string(jtagPins) + " are port pins (shipped on)";
  return std::string(chip);
}

}  // namespace

std::string fuseHex(uint8_t value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", value);
  return buf;
}

std::optional<FuseSet> fusesFor(std::string_view mcuName, int64_t hz) {
  const Layout* layout = nullptr;
  for (const Layout& l : kLayouts) {
    if (l.chip == mcuName) layout = &l;
  }
  const auto device = findDevice(mcuName);
  if (!layout || !device) return std::nullopt;

  FuseSet f;
  f.hasExtended = layout->extended;
  const bool ckopt = hz > 8000000;
  int cksel31 = 7;  // 111
  std::string range = "3.0-8.0 MHz";
  if (ckopt) {
    range = "above 8 MHz, with CKOPT";
  } else if (hz < 900000) {
    cksel31 = 5;
    range = "0.4-0.9 MHz";
  } else if (hz < 3000000) {
    cksel31 = 6;
    range = "0.9-3.0 MHz";
  }
  if (hz < 400000) {
    f.warnings.push_back("the crystal " + mhzText(hz) + " MHz is below the 0.4 MHz of the crystal oscillator's "
                         "lowest range; its fuses are those of that range");
  } else if (hz < 900000) {
    f.warnings.push_back("the crystal oscillator's 0.4-0.9 MHz range (CKSEL3..1 = 101) is for ceramic "
                         "resonators only, not for a quartz crystal of " + mhzText(hz) + " MHz");
  }
  if (hz > static_cast<int64_t>(device->maxMHz) * 1000000) {
    f.warnings.push_back("the crystal " + mhzText(hz) + " MHz is above the " + std::to_string(device->maxMHz) +
                         " MHz that " + std::string(mcuName) + " is rated for; the fuses are those of the " +
                         "highest range, but the chip may not run reliably");
  }

  auto add = [&f](std::string_view name, int byte, int bit, bool programmed, std::string meaning) {
    f.bits.push_back({name, byte, bit, programmed, std::move(meaning)});
    if (!programmed) return;
    uint8_t& b = byte == 0 ? f.low : byte == 1 ? f.high : f.extended;
    b = static_cast<uint8_t>(b & ~(1u << bit));
  };
  const std::string cksel = std::to_string(cksel31 >> 2) + std::to_string((cksel31 >> 1) & 1) +
                            std::to_string(cksel31 & 1);
  add(layout->high7, 1, 7, false, highMeaning(layout->high7, mcuName, layout->jtagPins));
  add(layout->high6, 1, 6, false, highMeaning(layout->high6, mcuName, layout->jtagPins));
  add("SPIEN", 1, 5, true, "serial programming over SPI stays on, as shipped");
  add("CKOPT", 1, 4, ckopt,
      ckopt ? "full-swing oscillator amplifier, which a crystal above 8 MHz needs"
            : "low-power oscillator amplifier, enough up to 8 MHz, as shipped");
  add("EESAVE", 1, 3, false, "the EEPROM is erased with the flash, as shipped");
  add("BOOTSZ1", 1, 2, true, "boot section size as shipped (BOOTSZ1..0 = 00)");
  add("BOOTSZ0", 1, 1, true, "boot section size as shipped (BOOTSZ1..0 = 00)");
  add("BOOTRST", 1, 0, false, "the program starts at address 0, not in the boot section");
  add("BODLEVEL", 0, 7, false, "brown-out level 2.7 V, as shipped");
  add("BODEN", 0, 6, false, "brown-out detector off, as shipped");
  add("SUT1", 0, 5, false, "start-up 16K CK + 65 ms, for a crystal on slowly rising power (SUT1..0 = 11)");
  add("SUT0", 0, 4, false, "start-up 16K CK + 65 ms (SUT1..0 = 11)");
  const std::string osc = "external crystal oscillator, " + range + " (CKSEL3..1 = " + cksel + ")";
  add("CKSEL3", 0, 3, !(cksel31 & 4), osc);
  add("CKSEL2", 0, 2, !(cksel31 & 2), osc);
  add("CKSEL1", 0, 1, !(cksel31 & 1), osc);
  add("CKSEL0", 0, 0, false, "crystal start-up times with SUT1..0 (CKSEL0 = 1)");
  if (layout->extended) {
    add("M103C", 2, 1, false, "ATmega103 compatibility off, so the second USART, the TWI and port G work "
                              "(shipped on)");
    add("WDTON", 2, 0, false, "watchdog under software control, as shipped");
  }
  return f;
}

std::vector<std::string> describeFuses(std::string_view mcuName, const FuseSet& f) {
  std::vector<std::string> lines;
  std::string head = std::string(mcuName) + ": low " + fuseHex(f.low) + ", high " + fuseHex(f.high);
  if (f.hasExtended) head += ", extended " + fuseHex(f.extended);
  lines.push_back(head + " (lock bits untouched)");
  static const char* const byteNames[] = {"lfuse", "hfuse", "efuse"};
  auto pad = [](std::string s, size_t width) {
    s.append(s.size() < width ? width - s.size() : 1, ' ');
    return s;
  };
  for (int byte : {0, 1, 2}) {
    for (const FuseBit& b : f.bits) {
      if (b.fuseByte != byte) continue;
      lines.push_back(std::string(byteNames[byte]) + " bit " + std::to_string(b.bit) + "  " +
                      pad(std::string(b.name), 9) + (b.programmed ? "0" : "1") + "  " + b.meaning);
    }
  }
  return lines;
}

}  // namespace tamberlo
