// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the project's static data leaves room for the stack, and whether
// its code fits the flash. The figures are what each driver links with
// (measured with avr-gcc -Os); main.c's texts are counted from the file
// itself, since string literals live in RAM.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/device_catalogue.h"
#include "gen/main/main_parts.h"

namespace tamberlo::mainc {
namespace {

// What the calls, locals and interrupt frames of the demo need at least.
constexpr int kStackReserve = 64;

// The bytes of each distinct string literal of the file, with its closing
// 0, as GBK stores them (two bytes per Chinese character). The compiler
// keeps one copy of equal literals. #include lines hold no data.
int literalBytes(const std::vector<std::string>& lines) {
  std::set<std::string> literals;
  for (const std::string& line : lines) {
    size_t start = line.find_first_not_of(" \t");
    if (start != std::string::npos && line.compare(start, 8, "#include") == 0) continue;
    bool inside = false;
    std::string text;
    for (size_t i = 0; i < line.size(); ++i) {
      char ch = line[i];
      if (!inside) {
        if (ch == '/' && i + 1 < line.size() && line[i + 1] == '/') break;
        if (ch == '\'') {
          i += line.compare(i, 2, "'\\") == 0 ? 3 : 2;  // a character constant
        } else if (ch == '"') {
          inside = true;
          text.clear();
        }
      } else if (ch == '\\' && i + 1 < line.size()) {
        text += line.substr(i, 2);
        ++i;
      } else if (ch == '"') {
        inside = false;
        literals.insert(text);
      } else {
        text += ch;
      }
    }
  }
  int bytes = 0;
  for (const std::string& t : literals) {
    int n = 1;
    for (size_t i = 0; i < t.size(); ++i) {
      auto c = static_cast<unsigned char>(t[i]);
      if (c == '\\') {
        ++i;  // an escape is one byte
        ++n;
      } else if (c < 0x80) {
        ++n;
      } else if ((c & 0xC0) != 0x80) {
        n += 2;  // a UTF-8 lead byte: one GBK double-byte character
      }
    }
    bytes += n;
  }
  return bytes;
}

}  // namespace

void warnRamUse(const GenContext& ctx, const std::vector<std::string>& mainLines) {
  auto device = findDevice(ctx.cfg.mcuName());
  if (!device) return;
  const ProjectConfig& c = ctx.cfg;
  // The SD card's own warning already says that its buffer alone fills
  // the RAM.
  if (c.SPI.Spi_use && c.SPI.Spi_sd && device->ramBytes <= 512) return;
  const Facts f = factsOf(c);
  // So does the CH375's about its file layer below 1 KB.
  if (f.ch375 && device->ramBytes < 1024) return;
  const bool twoUart = f.twoUart;
  int rxBuffers = 0;
  if (f.uartUsed) {
    if (c.UART0.Rx_en && c.UART0.Rx_int) ++rxBuffers;
    if (twoUart && c.UART1.Rx_en && c.UART1.Rx_int) ++rxBuffers;
  }
  // On its serial bus the ST7920 cannot be read, so lcd.c keeps a copy of
  // the picture wherever the chip has twice its size of RAM.
  int st7920Copy = 0;
  if (f.lcd && f.family == LcdFamily::St7920 && c.LCD.Lcd_io.text == "串行接口") {
    const int bytes = f.model == "LCD128x64(ST7920)" ? 1024 : 512;
    if (device->ramBytes >= 2 * bytes) st7920Copy = bytes;
  }
  struct Module {
    bool on;
    const char* name;
    int bytes;
  };
  const Module modules[] = {
      {f.uartUsed, "UART", 5 + rxBuffers},  // long2str's buffer and the receive bytes
      {f.ds1302, "DS1302", 100},
      {c.SPI.Spi_use && c.SPI.Spi_sd, "SD card", 528},
      {f.sd2000, "SD2000", 59},
      {f.ds1307, "DS1307", 14},
      {c.TWI.Twi_use && c.TWI.Twi_zlg7290, "ZLG7290", 15},
      {c.TWI.Twi_use && c.TWI.Twi_tea5767, "TEA5767", 14},
      {f.gui && c.GUI.Fill_use, "GUI flood fill", 162},  // its node stacks and the colours
      {f.ch375, "CH375 file layer", 606},                 // sector buffer, mCmdParam, the open file
      {f.lcd && f.family == LcdFamily::Pcd8544, "PCD8544 bitmaps", 192},  // bmp.h, in main.c
      {st7920Copy > 0, "ST7920 picture copy", st7920Copy},
  };
  int drivers = 0;
  std::string list;
  for (const Module& m : modules) {
    if (!m.on || m.bytes == 0) continue;
    drivers += m.bytes;
    list += std::string(list.empty() ? "" : ", ") + m.name + " " + std::to_string(m.bytes);
  }
  const int texts = literalBytes(mainLines);
  if (texts + drivers + kStackReserve <= device->ramBytes) return;
  ctx.warn("RAM: main.c's texts (" + std::to_string(texts) + " bytes) and the drivers' data (" +
           (list.empty() ? std::string("none") : list) + ") leave less than " +
           std::to_string(kStackReserve) + " of the " + std::to_string(device->ramBytes) +
           " bytes of RAM of the " + c.mcuName() +
           " for the stack, so the project will not link or will overrun its stack; leave out modules or " +
           "serial messages");
}

void warnFlashUse(const GenContext& ctx, const std::vector<std::string>& mainLines) {
  auto device = findDevice(ctx.cfg.mcuName());
  if (!device) return;
  const ProjectConfig& c = ctx.cfg;
  const Facts f = factsOf(c);
  if (f.gui) return;
  const bool spi = c.SPI.Spi_use, twi = c.TWI.Twi_use;
  // Code and constant data of each driver object on the ATmega16; the chips
  // with 8 KB call with shorter instructions, so these are upper figures.
  // The LCD's figure holds what its picture demo adds to main.c beyond its
  // lines (calls with many arguments).
  int lcd = 0;
  switch (f.family) {
    case LcdFamily::None: break;
    case LcdFamily::Character: lcd = 520; break;
    case LcdFamily::Sed1520: lcd = 1210; break;
    case LcdFamily::St7920: lcd = 1110; break;
    case LcdFamily::Ks0108: lcd = 2390 + 200; break;
    case LcdFamily::T6963: lcd = 580; break;
    case LcdFamily::Sed1335: lcd = 1680 + 400; break;
    case LcdFamily::Pcd8544: lcd = 1850 + 200; break;
  }
  const int parts[][2] = {
      {c.UART0.Uart0_use, 260},
      {f.twoUart && c.UART1.Uart1_use, 260},
      {spi, 32},
      {f.ds1302, 854},
      {spi && c.SPI.Spi_sd, 924 + 1328},  // sd.c and the FAT16 reader
      {twi, 128},
      {twi && c.TWI.Twi_at24, 688},
      {f.sd2000, 1025},
      {f.ds1307, 782},
      {twi && c.TWI.Twi_zlg7290, 1614},
      {twi && c.TWI.Twi_tea5767, 490},
      {f.lcd, lcd},
      {f.ch375, 1938},
      {f.ds18b20, 404},
      {f.vs1003, 370},
      {c.OtherAPP.MP3_use && c.OtherAPP.MP3_chip.text == "STA013" && device->hasTwi, 548},
      {ctx.NeedDelay, 154},
  };
  int code = 0;
  for (const auto& p : parts) code += p[0] ? p[1] : 0;
  // main.c: its texts, and about eight bytes a line beyond the empty
  // program's twenty; the vector table, start-up code, interrupt glue and
  // the compiler's helpers about 250.
  int lines = 0;
  for (const std::string& l : mainLines) lines += l.find_first_not_of(" \t") != std::string::npos;
  const int need = code + literalBytes(mainLines) + 8 * std::max(0, lines - 20) + 250;
  if (need <= device->flashBytes) return;
  ctx.warn("Flash: the drivers and main.c need about " + std::to_string(need) + " of the " +
           std::to_string(device->flashBytes) + " bytes of flash of the " + c.mcuName() +
           ", so the project may not fit, and then it will not link; leave out modules or choose a larger chip");
}

}  // namespace tamberlo::mainc
