// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual board's headless side; see virtual_board.h.
#include "app/virtual_board.h"

#include "app/lcd_models.h"

#include <charconv>
#include <sstream>

#include "app/device_catalogue.h"
#include "app/pin_map.h"

namespace tamberlo::board {
namespace {

// A slot's pin as the simulator names it ("PB3" -> "B3"); empty when unset.
std::string simPin(const PinSlot& slot) {
  const auto p = parsePortPin(slot.Text);
  return p ? std::string{p->port, char('0' + p->bit)} : std::string();
}

bool toInt(std::string_view text, int& out) {
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size();
}

template <typename T>
bool toNumber(std::string_view text, T& out, int base = 10) {
  if (base == 16 && text.substr(0, 2) == "0x") text.remove_prefix(2);
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out, base);
  return ec == std::errc() && end == text.data() + text.size();
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// "FILE:LINE[:COL]: SEVERITY: MESSAGE"; a drive letter's colon is skipped.
bool parseLine(std::string_view line, Diagnostic& d) {
  size_t from = line.size() > 2 && line[1] == ':' ? 2 : 0;
  size_t c1 = line.find(':', from);
  if (c1 == std::string_view::npos || c1 == 0) return false;
  size_t c2 = line.find(':', c1 + 1);
  if (c2 == std::string_view::npos || !toInt(line.substr(c1 + 1, c2 - c1 - 1), d.line)) return false;
  size_t rest = c2 + 1;
  size_t c3 = line.find(':', rest);
  if (c3 != std::string_view::npos && toInt(line.substr(rest, c3 - rest), d.column)) rest = c3 + 1;
  std::string_view tail = trim(line.substr(rest));
  for (std::string_view sev : {"fatal error", "error", "warning", "note"}) {
    if (tail.substr(0, sev.size()) == sev && tail.size() > sev.size() && tail[sev.size()] == ':') {
      d.file = std::string(line.substr(0, c1));
      d.severity = sev == "fatal error" ? "error" : std::string(sev);
      d.message = std::string(trim(tail.substr(sev.size() + 1)));
      return d.line > 0;
    }
  }
  return false;
}

}  // namespace

std::vector<Diagnostic> parseDiagnostics(std::string_view output) {
  std::vector<Diagnostic> out;
  while (!output.empty()) {
    size_t nl = output.find('\n');
    std::string_view line = output.substr(0, nl);
    output = nl == std::string_view::npos ? std::string_view() : output.substr(nl + 1);
    Diagnostic d;
    if (parseLine(line, d)) out.push_back(std::move(d));
  }
  return out;
}

Launch launchFor(std::string_view makefile, const ProjectConfig& cfg) {
  Launch l;
  std::string text(makefile);
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::string_view s = trim(line);
    size_t eq = s.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view key = trim(s.substr(0, eq)), value = trim(s.substr(eq + 1));
    if (key == "MCU" && l.chip.empty()) l.chip = std::string(value);
    if (key == "F_CPU" && !l.hz) toNumber(value, l.hz);
    if (key == "TARGET" && !value.empty()) l.elf = std::string(value) + ".elf";
  }

  // Character modules: "LCDccrr" on simavr's HD44780, the data bus on the
  // upper half of the data port, E, RW, RS (and E2) on the first slots.
  // Graphic modules: the controller's signals in the order of the pin
  // slots the editor captions for that model.
  l.display = displayFor(cfg);
  return l;
}

std::string displayFor(const ProjectConfig& cfg) {
  const auto& lcd = cfg.LCD;
  const std::string& model = lcd.Lcd_type.text;
  auto pin = [&](int slot) { return simPin(lcd.pins[size_t(slot)]); };
  const char port = parsePortName(lcd.Data_io.text);
  const LcdModel* record = lcd.Lcd_use ? findLcdModel(model) : nullptr;
  if (!record) return {};
  if (record->family == LcdFamily::Character) {
    if (!port) return {};
    bool two = record->extraSelects;
    std::string e = pin(0), rw = pin(1), rs = pin(2), e2 = two ? pin(3) : "";
    if (!e.empty() && !rw.empty() && !rs.empty() && (!two || !e2.empty())) {
      return "hd44780:" + std::to_string(record->cols) + "x" + std::to_string(record->rows) + ":D=" + port +
             ",E=" + e + ",RW=" + rw + ",RS=" + rs + (two ? ",E2=" + e2 : "");
    }
    return {};
  }
  const bool serial = lcd.Lcd_io.text == kLcdSerial;
  // The ST7920 on its serial bus has no data port and other signals.
  const bool serialBus = serial && !record->serialBoardSignals.empty();
  const auto& signals = serialBus ? record->serialBoardSignals : record->boardSignals;
  std::string d(record->boardHead);
  if (record->boardDataPort && !serialBus) {
    if (!port) return {};
    d += std::string("D=") + port + ",";
  }
  for (size_t i = 0; i < signals.size(); i++) {
    std::string p = pin(int(i));
    if (p.empty()) return {};  // a signal unwired: no picture rather than a wrong one
    d += std::string(signals[i]) + "=" + p + (i + 1 < signals.size() ? "," : "");
  }
  return d;
}

std::vector<std::string> boardDescription(const ProjectConfig& cfg) {
  std::vector<std::string> out = {"mcu " + cfg.mcuName(), "crystal " + cfg.crystalText()};
  // The UARTs and command bytes as main.c's loop has them: a chip with one
  // UART runs it whichever of the two is ticked; the loop reads only on a
  // UART that receives, and answers 0x0F (the banner again) only where it
  // prints.
  const bool two = isTwoUartDevice(cfg.mcuName());
  const bool uart0 = two ? cfg.UART0.Uart0_use : cfg.UART0.Uart0_use || cfg.UART1.Uart1_use;
  const bool uart1 = two && cfg.UART1.Uart1_use;
  if (uart0) out.push_back("uart 0");
  if (uart1) out.push_back("uart 1");
  if ((uart0 && cfg.UART0.Rx_en) || (uart1 && cfg.UART1.Rx_en)) {
    std::string commands = "commands";
    if ((uart0 && cfg.UART0.Tx_en) || (uart1 && cfg.UART1.Tx_en)) commands += " 0F";
    if (cfg.TWI.Twi_use && cfg.TWI.Twi_at24) commands += " 0A 0B";
    if (cfg.SPI.Spi_use && cfg.SPI.Spi_ds1302) commands += " 0E 0D";
    if (cfg.OtherAPP.OneWire_use && cfg.OtherAPP.Ds18b20_use) commands += " 0C";
    out.push_back(commands);
  }
  if (const std::string d = displayFor(cfg); !d.empty()) out.push_back("display " + d);
  const auto& o = cfg.OtherAPP;
  const char port = parsePortName(o.Ds18b20_port.text);
  if (o.OneWire_use && o.Ds18b20_use && port && o.Ds18b20_portno >= 0 && o.Ds18b20_portno <= 7)
    out.push_back(std::string("ds18b20 ") + port + std::to_string(o.Ds18b20_portno));
  if (cfg.TWI.Twi_use) {
    if (cfg.TWI.Twi_at24) out.push_back("at24");
    if (cfg.TWI.Twi_ds1307) out.push_back("ds1307");
    if (cfg.TWI.Twi_sd2k) out.push_back("sd2000");
    if (cfg.TWI.Twi_zlg7290) out.push_back("zlg7290");
    if (cfg.TWI.Twi_tea5767) out.push_back("tea5767");
  }
  if (cfg.SPI.Spi_use && cfg.SPI.Spi_ds1302) out.push_back("ds1302");
  if (cfg.SPI.Spi_use && cfg.SPI.Spi_sd) out.push_back("sd");
  if (o.MP3_use && o.MP3_chip.text == "STA013") out.push_back("sta013");
  if (o.MP3_use && o.MP3_chip.text != "STA013") {
    // XRST, DREQ, XDCS, XCS in the order of the pin slots
    std::string line = "vs1003 ";
    bool wired = true;
    for (size_t i = 0; i < 4; i++) {
      const std::string p = simPin(o.pins[i]);
      wired = wired && !p.empty();
      line += p + (i < 3 ? ":" : "");
    }
    out.push_back(wired ? line : "vs1003");
  }
  const auto& usb = cfg.USB;
  if (usb.Usb_use && usb.Usb_chip.text == "CH375") {
    // DATA:CS:A0:RD:WR:RST:INT from the data port and the slots RST, WR,
    // RD, CS, A0, INT
    const char port = parsePortName(usb.Data_io.text);
    std::string line;
    if (usb.Usb_io.text == "并行接口" && port) {
      line = std::string("ch375 ") + port;
      for (size_t slot : {3u, 4u, 2u, 1u, 0u, 5u}) {
        const std::string p = simPin(usb.pins[slot]);
        if (p.empty()) line.clear();
        if (line.empty()) break;
        line += ":" + p;
      }
    }
    out.push_back(line.empty() ? "ch375" : line);
  }
  return out;
}

void applyBoardDescription(std::string_view text, Launch& l) {
  l.display.clear(), l.uarts.clear(), l.commands.clear(), l.chips.clear();
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = trim(text.substr(0, nl));
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    size_t sp = line.find(' ');
    std::string_view word = line.substr(0, sp), rest = sp == std::string_view::npos ? "" : trim(line.substr(sp + 1));
    int n = 0;
    if (word == "display") {
      l.display = std::string(rest);
    } else if (word == "uart" && toInt(rest, n) && (n == 0 || n == 1)) {
      l.uarts.push_back(n);
    } else if (word == "commands") {
      for (size_t at = 0; at + 2 <= rest.size(); at += 3) {  // "0F 0A 0B"
        uint8_t byte = 0;
        if (toNumber(rest.substr(at, 2), byte, 16)) l.commands.push_back(byte);
      }
    } else if (word == "ds18b20" || word == "at24" || word == "ds1307" || word == "sd2000" || word == "zlg7290" ||
               word == "tea5767" || word == "ds1302" || word == "sd" || word == "vs1003" || word == "sta013" ||
               word == "ch375") {
      l.chips.push_back(std::string(line));
    }
  }
}

std::vector<std::string> simCandidates(const std::string& exeDir) {
  std::vector<std::string> out = {exeDir + "tamberlo-sim"};
  std::string dir = exeDir;
  while (!dir.empty() && dir.back() == '/') dir.pop_back();
  size_t slash = dir.rfind('/');
  if (slash != std::string::npos && dir.substr(slash + 1) == "bin")
    out.push_back(dir.substr(0, slash + 1) + kSimInstallDir + "/tamberlo-sim");
  return out;
}

std::vector<std::string> simArguments(const Launch& l) {
  std::vector<std::string> a = {"-m", l.chip, "-f", std::to_string(l.hz)};
  if (!l.display.empty()) {
    a.push_back("-d");
    a.push_back(l.display);
  }
  if (!l.boardFile.empty()) {
    a.push_back("-b");
    a.push_back(l.boardFile);
  }
  if (!l.diskImage.empty()) {
    a.push_back("-i");
    a.push_back(l.diskImage);
  }
  a.push_back(l.elf);
  return a;
}

std::string missingToolsAdvice(bool haveAvrGcc, bool haveMake) {
  std::string packages;
  if (!haveAvrGcc) packages = "gcc-avr avr-libc binutils-avr";
  if (!haveMake) packages += std::string(packages.empty() ? "" : " ") + "make";
  if (packages.empty()) return {};
  return "The virtual board needs avr-gcc and make to build the project. On Debian or Ubuntu: "
         "sudo apt-get install " +
         packages;
}

bool BoardState::apply(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  size_t sp = line.find(' ');
  std::string_view word = line.substr(0, sp);
  std::string_view rest = sp == std::string_view::npos ? std::string_view() : line.substr(sp + 1);
  std::vector<std::string_view> f;
  for (std::string_view r = rest; !r.empty();) {
    size_t s = r.find(' ');
    f.push_back(r.substr(0, s));
    r = s == std::string_view::npos ? std::string_view() : r.substr(s + 1);
  }
  auto field = [&](size_t i, std::string_view key, auto& out, int base) {
    return i < f.size() && f[i].substr(0, key.size()) == key && toNumber(f[i].substr(key.size()), out, base);
  };
  if (word == "board" && f.size() == 3) {
    chip = f[0], core = f[1];
    return toNumber(f[2], hz);
  }
  if (word == "uart" && f.size() == 2) {
    int n = 0;
    if (!toInt(f[0], n)) return false;
    uarts[n] = std::string(f[1]);
    return true;
  }
  if (word == "lcd" && f.size() == 2) {
    if (!toInt(f[0], lcdCols) || !toInt(f[1], lcdRows) || lcdRows < 0 || lcdRows > 4) return false;
    lcd.assign(size_t(lcdRows), std::string(size_t(lcdCols), ' '));
    return true;
  }
  if (word == "state" && !f.empty()) {
    run = std::string(f[0]);
    pc = 0;
    field(1, "pc=", pc, 16);
    return true;
  }
  if (word == "time" && f.size() == 1) return toNumber(f[0], cycles);
  if (word == "port" && f.size() == 4 && f[0].size() == 1) {
    Port p;
    if (!field(1, "ddr=", p.ddr, 16) || !field(2, "out=", p.out, 16) || !field(3, "pin=", p.pin, 16))
      return false;
    ports[f[0][0]] = p;
    return true;
  }
  if (word == "row" && sp != std::string_view::npos) {
    size_t s2 = rest.find(' ');
    int n = 0;
    if (s2 == std::string_view::npos || !toInt(rest.substr(0, s2), n) || n < 0 || size_t(n) >= lcd.size())
      return false;
    lcd[size_t(n)] = std::string(rest.substr(s2 + 1));
    return true;
  }
  if (word == "gfx" && f.size() == 2) {
    int w = 0, h = 0;
    if (!toInt(f[0], w) || !toInt(f[1], h) || w < 1 || w > 320 || h < 1 || h > 240) return false;
    gfxWidth = w, gfxHeight = h;
    dots.assign(size_t(w * h), 0);
    return true;
  }
  if (word == "pix" && f.size() == 2) {
    int y = 0;
    const size_t bytes = size_t(gfxWidth + 7) / 8;
    if (!toInt(f[0], y) || y < 0 || y >= gfxHeight || f[1].size() != bytes * 2) return false;
    std::vector<uint8_t> row(bytes);
    for (size_t i = 0; i < bytes; i++)
      if (!toNumber(f[1].substr(i * 2, 2), row[i], 16)) return false;
    for (int x = 0; x < gfxWidth; x++)
      dots[size_t(y * gfxWidth + x)] = (row[size_t(x / 8)] >> (7 - x % 8)) & 1;
    return true;
  }
  if (word == "error") {
    error = std::string(rest);
    return true;
  }
  if (word == "fuses" && f.size() == 1 && f[0] == "none") {
    fuses = "none";
    return true;
  }
  if (word == "fuses" && f.size() >= 4) {
    // Bytes, then the summary: the bytes are the simulator's to check.
    size_t at = rest.find(' ', rest.find(' ', rest.find(' ') + 1) + 1);
    fuses = std::string(rest.substr(at + 1));
    return true;
  }
  auto hexBytes = [](std::string_view hex, std::vector<uint8_t>& out) {
    if (hex.size() % 2) return false;
    std::vector<uint8_t> bytes(hex.size() / 2);
    for (size_t i = 0; i < bytes.size(); i++)
      if (!toNumber(hex.substr(i * 2, 2), bytes[i], 16)) return false;
    out = std::move(bytes);
    return true;
  };
  if (word == "chip" && !f.empty()) {
    chips.push_back(std::string(rest));
    return true;
  }
  if (word == "ds18b20" && f.size() == 1) return toNumber(f[0], ds18b20Raw);
  if (word == "radio" && f.size() == 1) return toNumber(f[0], radioKhz);
  if (word == "vs1003" && f.size() == 1) return toNumber(f[0], streamBytes);
  if ((word == "ds1302" && f.size() == 2) || ((word == "disk" || word == "stream") && !rest.empty())) {
    (word == "ds1302" ? ds1302 : word == "disk" ? disk : stream) = std::string(rest);
    return true;
  }
  if (word == "eeprom" && f.size() == 1) return hexBytes(f[0], eeprom);
  if (word == "zlg7290" && f.size() == 1 && f[0].size() == 16) return hexBytes(f[0], digits);
  if (word == "rtc" && f.size() == 2) {
    rtc = std::string(rest);
    return true;
  }
  if (word == "warning" && !rest.empty()) {
    fuseWarning = std::string(rest);
    return true;
  }
  return false;
}

bool BoardState::hasChip(std::string_view name) const {
  for (const std::string& c : chips)
    if (std::string_view(c).substr(0, c.find(' ')) == name) return true;
  return false;
}

char sevenSegment(uint8_t segments) {
  // a..g from bit 7 down, as the ZLG7290 decodes its digits
  static const struct {
    uint8_t bits;
    char c;
  } table[] = {{0xFC, '0'}, {0x60, '1'}, {0xDA, '2'}, {0xF2, '3'}, {0x66, '4'}, {0xB6, '5'},
               {0xBE, '6'}, {0xE0, '7'}, {0xFE, '8'}, {0xF6, '9'}, {0xEE, 'A'}, {0x3E, 'B'},
               {0x9C, 'C'}, {0x7A, 'D'}, {0x9E, 'E'}, {0x8E, 'F'}, {0x02, '-'}, {0x00, ' '}};
  for (const auto& t : table)
    if (t.bits == (segments & 0xFE)) return t.c;
  return '?';
}

int BoardState::litDots() const {
  int n = 0;
  for (uint8_t d : dots) n += d;
  return n;
}

}  // namespace tamberlo::board
