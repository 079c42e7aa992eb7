// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/pin_owners.h"

#include <array>

#include "app/device_catalogue.h"
#include "app/lcd_models.h"
#include "app/pin_slots.h"

namespace tamberlo {
namespace {

class Owners {
 public:
  explicit Owners(const ProjectConfig& cfg) : mcu_(cfg.mcuName()) {}

  void pin(std::string module, std::string signal, PortPin p, std::string control = {}) {
    out.push_back({std::move(module), std::move(signal), p.port, 1u << p.bit, {}, false, false, std::move(control)});
  }
  // A function pin of the chip (a peripheral's own signal); nothing when the
  // chip has no such function.
  void function(const std::string& module, const std::string& function, const std::string& bus = {},
                std::string signal = {}, bool select = false) {
    if (auto p = functionPin(mcu_, function)) {
      pin(module, signal.empty() ? function : std::move(signal), *p);
      out.back().bus = bus;
      out.back().select = select;
    }
  }
  void port(std::string module, const std::string& portName, unsigned mask, std::string control) {
    if (char p = parsePortName(portName))
      out.push_back({std::move(module), "data bus", p, mask, {}, false, false, std::move(control)});
  }
  template <size_t N>
  void slots(const std::string& module, const std::array<PinSlot, N>& slots,
             const std::array<PinSlotControls, N>& boxes) {
    for (size_t i = 0; i < N; ++i) {
      const PinSlot& s = slots[i];
      if (!s.enabled) continue;
      if (auto p = parsePortPin(s.Text)) pin(module, s.caption, *p, boxes[i].pinBox);
    }
  }

  std::vector<PinOwner> out;

 private:
  std::string mcu_;
};

// The ADC input(s) of a multiplexer item: "ADC3  1" -> ADC3, "ADC1-ADC0  10"
// -> ADC1 and ADC0; "1.22V" and "GND" take none.
std::vector<std::string> adcInputs(const std::string& item) {
  std::vector<std::string> inputs;
  size_t at = 0;
  while (item.compare(at, 3, "ADC") == 0 && at + 3 < item.size() && item[at + 3] >= '0' && item[at + 3] <= '7') {
    inputs.push_back(item.substr(at, 4));
    at += 4;
    if (at < item.size() && item[at] == '-') ++at;
  }
  return inputs;
}

std::string pinList(const std::vector<PortPin>& pins) {
  std::string out;
  for (const PortPin& p : pins) out += (out.empty() ? "" : ", ") + pinName(p);
  return out;
}

// What a board owner is, for the sentence that names it.
std::string boardWhy(const PinOwner& o) {
  if (o.module == "crystal")
    return o.signal + ", taken by the crystal the project runs on, so the signal cannot work there; choose another pin";
  return "RESET (RSTDISBL stays unprogrammed so that the chip can still be programmed over SPI), so the signal "
         "cannot work there; choose another pin";
}

bool compatible(const PinOwner& a, const PinOwner& b) {
  return !a.bus.empty() && a.bus == b.bus && !(a.select && b.select);
}

}  // namespace

std::string PinOwner::where() const {
  if (mask != 0 && (mask & (mask - 1)) == 0) {
    int bit = 0;
    while (!((mask >> bit) & 1)) ++bit;
    return signal + " on " + pinName({port, bit});
  }
  return signal + " on PORT" + std::string(1, port);
}

std::vector<PinOwner> pinOwners(const ProjectConfig& c) {
  Owners o(c);
  const std::string& mcu = c.mcuName();
  const bool twoUarts = isTwoUartDevice(mcu);
  // The board: the crystal (the project's fuses select it) and RESET, on
  // the chips where they sit on port pins. JTAG is no owner: the project's
  // fuses turn it off (the generation run still tells about a new chip).
  for (const char* f : {"XTAL1", "XTAL2", "RESET"}) {
    const size_t before = o.out.size();
    o.function(f[0] == 'X' ? "crystal" : "RESET", f, {}, f[0] == 'X' ? f : "pin");
    if (o.out.size() > before) o.out.back().board = true;
  }

  auto uart = [&](const std::string& name, const UartCommonConfig& u, const std::string& n) {
    if (u.Rx_en) o.function(name, "RXD" + n);
    if (u.Tx_en) o.function(name, "TXD" + n);
    if (u.Synchro) o.function(name, "XCK" + n);
    if (u.Rs485_use) {
      if (char p = parsePortName(u.Rs485_port.text); p && u.Rs485_portno >= 0 && u.Rs485_portno <= 7)
        o.pin(name, "RS485 direction", {p, u.Rs485_portno}, name == "UART1" ? "SpinEdit3" : "SpinEdit2");
    }
  };
  if (c.UART0.Uart0_use) uart(twoUarts ? "UART0" : "UART", c.UART0, twoUarts ? "0" : "");
  if (c.UART1.Uart1_use && twoUarts) uart("UART1", c.UART1, "1");

  if (c.SPI.Spi_use) {
    for (const char* f : {"SCK", "MOSI", "MISO"}) o.function("SPI", f, "SPI");
    o.function("SPI", "SS", "SPI", c.SPI.Spi_master ? "SS (master: an output)" : "SS");
    if (c.SPI.Spi_ds1302) o.function("DS1302", "SS", "SPI", "CE", true);
    if (c.SPI.Spi_sd) o.function("SD card", "SS", "SPI", "CS", true);
  }
  if (c.TWI.Twi_use) {
    for (const char* f : {"SCL", "SDA"}) o.function("TWI", f, "TWI");
  }
  if (c.Adc_use) {
    for (const std::string& in : adcInputs(c.Adc_mux.text)) o.function("ADC", in, {}, in + " input");
  }
  if (c.Acp_use) {
    if (!c.Acp_bg) o.function("comparator", "AIN0");
    if (!c.Acp_mux) o.function("comparator", "AIN1");
  }

  if (const LcdModel* model = c.LCD.Lcd_use ? findLcdModel(c.LCD.Lcd_type.text) : nullptr) {
    o.slots("LCD", c.LCD.pins, kLcdSlots);
    if (model->dataPort && c.LCD.Lcd_io.text != kLcdSerial) {
      // The character modules run a 4-bit bus on the port's high half.
      const bool character = model->family == LcdFamily::Character;
      o.port("LCD", c.LCD.Data_io.text, character ? 0xF0u : 0xFFu, "ComboBox18");
    }
  }
  if (c.USB.Usb_use && c.USB.Usb_chip.text == "CH375") {
    o.slots("USB CH375", c.USB.pins, kUsbSlots);
    o.port("USB CH375", c.USB.Data_io.text, 0xFF, "ComboBox23");
  }
  if (c.OtherAPP.MP3_use && c.OtherAPP.MP3_chip.text == "VS1003") {
    o.slots("MP3 VS1003", c.OtherAPP.pins, kMp3Slots);
    for (const char* f : {"SCK", "MOSI", "MISO"}) o.function("MP3 VS1003", f, "SPI");
  }
  if (c.OtherAPP.MP3_use && c.OtherAPP.MP3_chip.text == "STA013") {
    for (const char* f : {"SCL", "SDA"}) o.function("MP3 STA013", f, "TWI");
  }
  if (c.OtherAPP.OneWire_use && c.OtherAPP.Ds18b20_use) {
    const int bit = c.OtherAPP.Ds18b20_portno;
    if (char p = parsePortName(c.OtherAPP.Ds18b20_port.text); p && bit >= 0 && bit <= 7)
      o.pin("DS18B20", "DQ", {p, bit}, "SpinEdit1");
  }
  return o.out;
}

std::vector<const PinOwner*> ownersOf(const std::vector<PinOwner>& owners, PortPin pin) {
  std::vector<const PinOwner*> out;
  for (const PinOwner& o : owners) {
    if (o.port == pin.port && ((o.mask >> pin.bit) & 1)) out.push_back(&o);
  }
  return out;
}

std::vector<PinConflict> pinConflicts(const ProjectConfig& cfg) {
  std::vector<PinConflict> out;
  const std::string& mcu = cfg.mcuName();
  if (!chipPackage(mcu)) return out;
  const std::vector<PinOwner> owners = pinOwners(cfg);
  auto bitsOf = [](char port, unsigned mask) {
    std::vector<PortPin> pins;
    for (int bit = 0; bit < 8; ++bit) {
      if ((mask >> bit) & 1) pins.push_back({port, bit});
    }
    return pins;
  };
  for (const PinOwner& o : owners) {
    const unsigned missing = o.mask & ~portMask(mcu, o.port);
    if (!missing) continue;
    PinConflict k{ConflictKind::Missing, o, {}, bitsOf(o.port, missing), {}};
    k.message = o.module + ": " + o.where() + ": the " + mcu + " has no pin " + pinList(k.pins);
    out.push_back(std::move(k));
  }
  for (size_t i = 0; i < owners.size(); ++i) {
    for (size_t j = i + 1; j < owners.size(); ++j) {
      const PinOwner &a = owners[i], &b = owners[j];
      const unsigned shared = a.port == b.port ? a.mask & b.mask & portMask(mcu, a.port) : 0;
      if (!shared || compatible(a, b)) continue;
      PinConflict k{ConflictKind::Shared, a, b, bitsOf(a.port, shared), {}};
      if (a.board) {
        // One sentence per pin the board keeps, in the words of its datasheet.
        for (const PortPin& p : k.pins) {
          PinConflict one = k;
          one.first = b, one.second = a, one.pins = {p};
          one.message = b.module + ": " + b.where() + ": " + pinName(p) + " of the " + mcu + " is " + boardWhy(a);
          out.push_back(std::move(one));
        }
        continue;
      }
      k.message = "Pins: " + pinList(k.pins) + (k.pins.size() == 1 ? " is" : " are") + " taken twice, by " +
                  a.module + " " + a.where() + " and by " + b.module + " " + b.where() +
                  "; one pin cannot carry both, move one of them to a free pin";
      out.push_back(std::move(k));
    }
  }
  // The ISP programmer drives these pins while it writes the chip: a module
  // there works, but must not load the lines or drive them during programming.
  std::vector<PortPin> isp;
  for (std::string_view f : ispFunctions(mcu)) {
    // The ATmega8's RESET on PC6 is a board owner: its clash is a warning.
    if (f == "RESET") continue;
    if (auto p = functionPin(mcu, f)) isp.push_back(*p);
  }
  for (const PinOwner& o : owners) {
    if (o.board || o.bus == "SPI") continue;
    std::vector<PortPin> on;
    for (const PortPin& p : isp) {
      if (o.port == p.port && ((o.mask >> p.bit) & 1)) on.push_back(p);
    }
    if (on.empty()) continue;
    std::string named;
    for (const PortPin& p : on) {
      const ChipPin* cp = chipPinOf(mcu, p);
      std::string function;
      for (std::string_view f : ispFunctions(mcu)) {
        for (const std::string& have : cp->functions) {
          if (have == f) function = have;
        }
      }
      named += (named.empty() ? "" : ", ") + pinName(p) + " (" + function + ")";
    }
    PinConflict k{ConflictKind::Isp, o, {}, on, {}};
    k.message = "ISP: " + o.module + " " + o.where() + " shares " + named +
                " with the ISP programmer; it works, but keep the module from driving or loading the line while the "
                "chip is programmed";
    out.push_back(std::move(k));
  }
  return out;
}

}  // namespace tamberlo
