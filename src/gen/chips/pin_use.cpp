// SPDX-License-Identifier: GPL-3.0-or-later
// Pins that exist but are not free on a real board: the ATmega8 takes PB6
// and PB7 for the crystal and keeps PC6 as RESET, and a new ATmega16/32/64/128
// keeps its JTAG pins until the fuses are written.
#include <vector>

#include "app/device_catalogue.h"
#include "gen/chips/chip_generators.h"

namespace tamberlo::chips {
namespace {

// A signal of the project on a pin, or a data bus on a whole port (bit -1).
struct Use {
  std::string module, signal;
  char port;
  int bit;
};

// What the pin editors and the 1-Wire page put on port pins.
std::vector<Use> pinUses(const ProjectConfig& c) {
  std::vector<Use> uses;
  auto slots = [&uses](std::string_view module, const auto& pins) {
    for (const PinSlot& s : pins) {
      Pin pin{};
      if (s.enabled && parsePin(s.Text, pin)) uses.push_back({std::string(module), s.caption, pin.port, pin.bit});
    }
  };
  auto bus = [&uses](std::string_view module, const std::string& portName) {
    if (portName.size() == 5 && portName.compare(0, 4, "PORT") == 0 && portName[4] >= 'A' && portName[4] <= 'G')
      uses.push_back({std::string(module), "the data bus", portName[4], -1});
  };
  if (c.LCD.Lcd_use && isLcdModel(c.LCD.Lcd_type.text)) {
    slots("LCD", c.LCD.pins);
    if (c.LCD.Lcd_io.text != "串行接口" && c.LCD.Lcd_type.text != "LCD3310(PCD8544)") bus("LCD", c.LCD.Data_io.text);
  }
  if (c.USB.Usb_use && c.USB.Usb_chip.text == "CH375") {
    slots("USB CH375", c.USB.pins);
    bus("USB CH375", c.USB.Data_io.text);
  }
  if (c.OtherAPP.MP3_use && c.OtherAPP.MP3_chip.text == "VS1003") slots("MP3 VS1003", c.OtherAPP.pins);
  auto rs485 = [&uses](std::string_view module, const UartCommonConfig& u) {
    const std::string& p = u.Rs485_port.text;
    if (u.Rs485_use && p.size() == 5 && p[4] >= 'A' && p[4] <= 'G' && u.Rs485_portno >= 0 && u.Rs485_portno <= 7)
      uses.push_back({std::string(module), "the RS485 direction", p[4], u.Rs485_portno});
  };
  if (c.UART0.Uart0_use) rs485("UART0", c.UART0);
  if (c.UART1.Uart1_use && isTwoUartDevice(c.mcuName())) rs485("UART1", c.UART1);
  const std::string& ow = c.OtherAPP.Ds18b20_port.text;
  if (c.OtherAPP.OneWire_use && c.OtherAPP.Ds18b20_use && ow.size() == 5 && ow[4] >= 'A' && ow[4] <= 'G' &&
      c.OtherAPP.Ds18b20_portno >= 0 && c.OtherAPP.Ds18b20_portno <= 7)
    uses.push_back({"DS18B20", "DQ", ow[4], c.OtherAPP.Ds18b20_portno});
  return uses;
}

bool covers(const Use& u, char port, int bit) { return u.port == port && (u.bit < 0 || u.bit == bit); }

std::string where(const Use& u) {
  return u.bit < 0 ? u.signal + " on PORT" + std::string(1, u.port)
                   : u.signal + " on P" + std::string(1, u.port) + std::to_string(u.bit);
}

}  // namespace

void warnPinUse(const GenContext& ctx) {
  const std::string& mcu = ctx.cfg.mcuName();
  const auto uses = pinUses(ctx.cfg);
  if (mcu == "ATMega8") {
    struct Taken {
      char port;
      int bit;
      const char* why;
    };
    static const Taken taken[] = {
        {'B', 6, "XTAL1, taken by the crystal the project runs on"},
        {'B', 7, "XTAL2, taken by the crystal the project runs on"},
        {'C', 6, "RESET (RSTDISBL stays unprogrammed so that the chip can still be programmed over SPI)"},
    };
    for (const Use& u : uses) {
      for (const Taken& t : taken) {
        if (!covers(u, t.port, t.bit)) continue;
        ctx.warn(u.module + ": " + where(u) + ": P" + std::string(1, t.port) + std::to_string(t.bit) +
                 " of the ATMega8 is " + t.why + ", so the signal cannot work there; choose another pin");
      }
    }
  }
  const auto device = findDevice(mcu);
  if (!device || device->name == "ATMega8" || device->name == "ATMega8515" || device->name == "ATMega8535") return;
  const bool wide = isTwoUartDevice(mcu);
  const char port = wide ? 'F' : 'C';
  const int first = wide ? 4 : 2;
  std::string list;
  for (const Use& u : uses) {
    bool jtag = false;
    for (int bit = first; bit < first + 4; ++bit) jtag = jtag || covers(u, port, bit);
    if (jtag) list += (list.empty() ? "" : ", ") + u.module + " " + where(u);
  }
  if (list.empty()) return;
  const std::string pins = "P" + std::string(1, port) + std::to_string(first) + "-P" + std::string(1, port) +
                           std::to_string(first + 3);
  ctx.warn("JTAG: " + list + " use " + pins + ", which a new " + mcu +
           " keeps for JTAG; they work once the fuses are written (make fuses, or JTAGEN unprogrammed in "
           "your programmer)");
}

}  // namespace tamberlo::chips
