// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pin-out of each chip from its datasheet: the package, every physical
// pin with its port bit and its alternate functions. This table is the one
// place that says which port pins a chip brings out and where its UART, SPI,
// TWI, ADC, crystal, RESET, JTAG and ISP pins are; the device catalogue and
// the generators ask it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamberlo {

// A port pin: port letter 'A'..'G' and bit 0..7.
struct PortPin {
  char port = 0;
  int bit = 0;
  bool operator==(const PortPin&) const = default;
};

// "PC5"
std::string pinName(PortPin p);
// The pin of "PC5" ('A'..'G', '0'..'7'), or nothing.
std::optional<PortPin> parsePortPin(std::string_view text);
// The letter of a port name "PORTA".."PORTG", or 0.
char parsePortName(std::string_view text);

struct ChipPin {
  int number = 0;                         // physical pin, 1-based
  std::optional<PortPin> port;            // none for VCC, GND, XTAL1 of the mega16 ...
  std::string label;                      // "PB5" or "VCC", "XTAL1", "RESET"
  std::vector<std::string> functions;     // "MOSI", "OC1A" ...; a dedicated pin lists its own name
};

struct ChipPackage {
  std::string_view mcu;      // "ATMega16"
  std::string_view package;  // "PDIP-40"
  bool quad = false;         // pins on four sides (TQFP) rather than two rows (PDIP)
  std::vector<ChipPin> pins;  // by physical number
};

// The package of a listed chip, or nullptr for a name that matches none.
const ChipPackage* chipPackage(std::string_view mcuName);

// The port pins a chip brings out on port `letter`, one bit per pin; 0 for a
// port it lacks or a name that matches no chip.
unsigned portMask(std::string_view mcuName, char letter);
// The port letters the chip has, in order ("BCD" on the ATmega8).
std::string portLetters(std::string_view mcuName);

// The port pin carrying alternate function `function` ("TXD0", "SS",
// "SCL", "ADC3", "XTAL1"), or nothing when the chip has none there.
std::optional<PortPin> functionPin(std::string_view mcuName, std::string_view function);

// The physical pin of a port pin, or nullptr.
const ChipPin* chipPinOf(std::string_view mcuName, PortPin p);

// The ISP programming signals of the chip: on the ATmega64/128 the
// programmer talks over PDI/PDO (PE0/PE1) and SCK, elsewhere over MOSI, MISO
// and SCK; RESET too (a dedicated pin except on the ATmega8).
std::vector<std::string_view> ispFunctions(std::string_view mcuName);

}  // namespace tamberlo
