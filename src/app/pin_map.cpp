// SPDX-License-Identifier: GPL-3.0-or-later
// Pin-outs from the datasheets (PDIP-28, PDIP-40, TQFP-64). Each entry is a
// physical pin, in order from pin 1: its label, then its alternate
// functions. A label "Pxn" is a port pin.
#include "app/pin_map.h"

#include <algorithm>
#include <initializer_list>
#include <sstream>

namespace tamberlo {
namespace {

ChipPackage build(std::string_view mcu, std::string_view package, bool quad,
                  std::initializer_list<const char*> rows) {
  ChipPackage p{mcu, package, quad, {}};
  int number = 0;
  for (const char* row : rows) {
    std::istringstream in(row);
    ChipPin pin;
    pin.number = ++number;
    in >> pin.label;
    pin.port = parsePortPin(pin.label);
    if (!pin.port) pin.functions.push_back(pin.label);
    for (std::string f; in >> f;) pin.functions.push_back(f);
    p.pins.push_back(std::move(pin));
  }
  return p;
}

// ATmega8535 and ATmega16/32 share the PDIP-40 pin-out; the 16 and 32 add
// JTAG on PC2..PC5.
ChipPackage mega16Family(std::string_view mcu, bool jtag) {
  return build(mcu, "PDIP-40", false,
               {"PB0 XCK T0", "PB1 T1", "PB2 INT2 AIN0", "PB3 OC0 AIN1", "PB4 SS", "PB5 MOSI", "PB6 MISO",
                "PB7 SCK", "RESET", "VCC", "GND", "XTAL2", "XTAL1", "PD0 RXD", "PD1 TXD", "PD2 INT0", "PD3 INT1",
                "PD4 OC1B", "PD5 OC1A", "PD6 ICP1", "PD7 OC2", "PC0 SCL", "PC1 SDA", jtag ? "PC2 TCK" : "PC2",
                jtag ? "PC3 TMS" : "PC3", jtag ? "PC4 TDO" : "PC4", jtag ? "PC5 TDI" : "PC5", "PC6 TOSC1",
                "PC7 TOSC2", "AVCC", "GND", "AREF", "PA7 ADC7", "PA6 ADC6", "PA5 ADC5", "PA4 ADC4", "PA3 ADC3",
                "PA2 ADC2", "PA1 ADC1", "PA0 ADC0"});
}

ChipPackage mega128Family(std::string_view mcu) {
  return build(mcu, "TQFP-64", true,
               {"PEN",         "PE0 RXD0 PDI", "PE1 TXD0 PDO", "PE2 XCK0 AIN0", "PE3 OC3A AIN1", "PE4 OC3B INT4",
                "PE5 OC3C INT5", "PE6 T3 INT6", "PE7 ICP3 INT7", "PB0 SS", "PB1 SCK", "PB2 MOSI", "PB3 MISO",
                "PB4 OC0", "PB5 OC1A", "PB6 OC1B", "PB7 OC2 OC1C", "PG3 TOSC2", "PG4 TOSC1", "RESET", "VCC", "GND",
                "XTAL2", "XTAL1", "PD0 SCL INT0", "PD1 SDA INT1", "PD2 RXD1 INT2", "PD3 TXD1 INT3", "PD4 ICP1",
                "PD5 XCK1", "PD6 T1", "PD7 T2", "PG0 WR", "PG1 RD", "PC0 A8", "PC1 A9", "PC2 A10", "PC3 A11",
                "PC4 A12", "PC5 A13", "PC6 A14", "PC7 A15", "PG2 ALE", "PA7 AD7", "PA6 AD6", "PA5 AD5", "PA4 AD4",
                "PA3 AD3", "PA2 AD2", "PA1 AD1", "PA0 AD0", "VCC", "GND", "PF7 ADC7 TDI", "PF6 ADC6 TDO",
                "PF5 ADC5 TMS", "PF4 ADC4 TCK", "PF3 ADC3", "PF2 ADC2", "PF1 ADC1", "PF0 ADC0", "AREF", "GND",
                "AVCC"});
}

const std::vector<ChipPackage>& packages() {
  static const std::vector<ChipPackage> all = {
      build("ATMega8", "PDIP-28", false,
            {"PC6 RESET", "PD0 RXD", "PD1 TXD", "PD2 INT0", "PD3 INT1", "PD4 XCK T0", "VCC", "GND",
             "PB6 XTAL1 TOSC1", "PB7 XTAL2 TOSC2", "PD5 T1", "PD6 AIN0", "PD7 AIN1", "PB0 ICP1", "PB1 OC1A",
             "PB2 SS OC1B", "PB3 MOSI OC2", "PB4 MISO", "PB5 SCK", "AVCC", "AREF", "GND", "PC0 ADC0", "PC1 ADC1",
             "PC2 ADC2", "PC3 ADC3", "PC4 ADC4 SDA", "PC5 ADC5 SCL"}),
      build("ATMega8515", "PDIP-40", false,
            {"PB0 OC0 T0", "PB1 T1", "PB2 AIN0", "PB3 AIN1", "PB4 SS", "PB5 MOSI", "PB6 MISO", "PB7 SCK", "RESET",
             "PD0 RXD", "PD1 TXD", "PD2 INT0", "PD3 INT1", "PD4 XCK", "PD5 OC1A", "PD6 WR", "PD7 RD", "XTAL2",
             "XTAL1", "GND", "PC0 A8", "PC1 A9", "PC2 A10", "PC3 A11", "PC4 A12", "PC5 A13", "PC6 A14", "PC7 A15",
             "PE2 OC1B", "PE1 ALE", "PE0 ICP INT2", "PA7 AD7", "PA6 AD6", "PA5 AD5", "PA4 AD4", "PA3 AD3",
             "PA2 AD2", "PA1 AD1", "PA0 AD0", "VCC"}),
      mega16Family("ATMega8535", false),
      mega16Family("ATMega16", true),
      mega16Family("ATMega32", true),
      mega128Family("ATMega64"),
      mega128Family("ATMega128"),
  };
  return all;
}

}  // namespace

std::string pinName(PortPin p) { return std::string("P") + p.port + std::to_string(p.bit); }

char parsePortName(std::string_view text) {
  return text.size() == 5 && text.substr(0, 4) == "PORT" && text[4] >= 'A' && text[4] <= 'G' ? text[4] : 0;
}

std::optional<PortPin> parsePortPin(std::string_view text) {
  if (text.size() != 3 || text[0] != 'P' || text[1] < 'A' || text[1] > 'G' || text[2] < '0' || text[2] > '7')
    return std::nullopt;
  return PortPin{text[1], text[2] - '0'};
}

const ChipPackage* chipPackage(std::string_view mcuName) {
  for (const ChipPackage& p : packages()) {
    if (p.mcu == mcuName) return &p;
  }
  return nullptr;
}

unsigned portMask(std::string_view mcuName, char letter) {
  const ChipPackage* p = chipPackage(mcuName);
  unsigned mask = 0;
  if (!p) return 0;
  for (const ChipPin& pin : p->pins) {
    if (pin.port && pin.port->port == letter) mask |= 1u << pin.port->bit;
  }
  return mask;
}

std::string portLetters(std::string_view mcuName) {
  std::string out;
  for (char l = 'A'; l <= 'G'; ++l) {
    if (portMask(mcuName, l)) out += l;
  }
  return out;
}

std::optional<PortPin> functionPin(std::string_view mcuName, std::string_view function) {
  const ChipPackage* p = chipPackage(mcuName);
  if (!p) return std::nullopt;
  for (const ChipPin& pin : p->pins) {
    if (pin.port && std::find(pin.functions.begin(), pin.functions.end(), function) != pin.functions.end())
      return pin.port;
  }
  return std::nullopt;
}

const ChipPin* chipPinOf(std::string_view mcuName, PortPin port) {
  const ChipPackage* p = chipPackage(mcuName);
  if (!p) return nullptr;
  for (const ChipPin& pin : p->pins) {
    if (pin.port && *pin.port == port) return &pin;
  }
  return nullptr;
}

std::vector<std::string_view> ispFunctions(std::string_view mcuName) {
  if (functionPin(mcuName, "PDI")) return {"PDI", "PDO", "SCK", "RESET"};
  return {"MOSI", "MISO", "SCK", "RESET"};
}

}  // namespace tamberlo
