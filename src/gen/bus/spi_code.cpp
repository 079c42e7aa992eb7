// SPDX-License-Identifier: GPL-3.0-or-later
// spi.c and spi.h: the hardware SPI driver in master or slave form.
#include <array>
#include <string>
#include <utility>

#include "app/device_catalogue.h"
#include "gen/banners.h"
#include "gen/bus/bus_generators.h"
#include "gen/bus/bus_text.h"
#include "platform/text.h"

namespace tamberlo {
namespace {

using bus::Separator;

// The SPI pins' lines of spi.h: the bits come from the chip's pin-out (all
// on port B); the 64 and 128 list them in their own order.
std::vector<std::pair<std::string, int>> spiPinLines(const std::string& mcu) {
  std::vector<std::pair<std::string, int>> lines;
  const bool wide = isTwoUartDevice(mcu);
  for (const char* f : wide ? std::array{"MOSI", "MISO", "SCK", "SS"} : std::array{"SS", "MOSI", "MISO", "SCK"}) {
    if (auto p = functionPin(mcu, f)) lines.emplace_back(std::string("DD_") + f, p->bit);
  }
  return lines;
}

struct Routine {
  const char* title;
  const char* head;
  const char* prototype;
  std::vector<std::string> body;
};

std::array<Routine, 3> masterRoutines(const RegisterShadows& regs) {
  return {{
      {"//SPI Master初始化子程序",
       "void SPI_MasterInit(void)",
       "void SPI_MasterInit(void);",
       {"   DDR_SPI = (1<<DD_MOSI)|(1<<DD_SS)|(1<<DD_SCK);    /* 设置MOSI 和SCK 为输出，其他为输入 */",
        "   SPCR = " + hexByte(regs.SPCR) + ";                            /* 使能SPI 主机模式 */",
        "   SPSR = " + hexByte(regs.SPSR) + ";                            /* 倍速 */"}},
      {"//SPI Master发送子程序",
       "void SPI_MasterTransmit(unsigned char cData)",
       "void SPI_MasterTransmit(unsigned char cData);",
       {"   SPDR = cData;                          /* 启动数据传输 */",
        "   while(!(SPSR & (1<<SPIF)));            /* 等待传输结束 */"}},
      {"//SPI Master接收子程序",
       "unsigned char SPI_MasterReceive(void)",
       "unsigned char SPI_MasterReceive(void);",
       {"   SPDR = 0xFF;", "   while(!(SPSR & (1<<SPIF)));            /* 等待接收结束 */",
        "   return SPDR;                           /* 返回数据 */"}},
  }};
}

std::array<Routine, 3> slaveRoutines(const RegisterShadows& regs) {
  return {{
      {"//SPI Slave初始化子程序",
       "void SPI_SlaveInit(void)",
       "void SPI_SlaveInit(void);",
       {"   DDR_SPI = (1<<DD_MISO)|(1<<DD_SS)|(1<<DD_SCK);            /* 设置MISO 为输出，其他为输入 */",
        "   SPCR = " + hexByte(regs.SPCR) + ";                              /* 使能SPI 从机模式 */",
        "   SPSR = " + hexByte(regs.SPSR) + ";                              /* 倍速 */"}},
      {"//SPI Slave发送子程序",
       "void SPI_SlaveTransmit(unsigned char cData)",
       "void SPI_SlaveTransmit(unsigned char cData);",
       {"   SPDR = cData;", "   while (!(SPSR & 0x80));", "   cData = SPDR;"}},
      {"//SPI Slave接收子程序",
       "unsigned char SPI_SlaveReceive(void)",
       "unsigned char SPI_SlaveReceive(void);",
       {"   SPDR = 0xFF;", "   while(!(SPSR & (1<<SPIF)));            /* 等待接收结束 */",
        "   return SPDR;                                /* 返回数据 */"}},
  }};
}

}  // namespace

void MakeSpiCode(GenContext& ctx) {
  const bool master = ctx.cfg.SPI.Spi_master;
  TextBuffer h;
  TextBuffer c;

  h.add("#ifndef\t__SPI__H");
  h.add("#define\t__SPI__H");
  h.add("");
  h.add("#define\tDDR_SPI    DDRB");
  h.add("#define\tPORT_SPI   PORTB");
  h.add("");
  for (const auto& [name, bit] : spiPinLines(ctx.cfg.mcuName()))
    h.add("#define\t" + bus::padRight(name, 11) + std::to_string(bit));

  AddTestBanner(c, ctx.cfg);
  c.add("#include \"spi.h\"");
  c.add("");
  h.add("");

  const auto routines = master ? masterRoutines(ctx.regs) : slaveRoutines(ctx.regs);
  for (const Routine& r : routines) {
    c.add(Separator);
    c.add(r.title);
    c.add(Separator);
    c.add(r.head);
    c.add("{");
    for (const auto& line : r.body) c.add(line);
    c.add("}");
    c.add("");
  }

  h.add(master ? "#define\tSPI_Init() SPI_MasterInit()" : "#define\tSPI_Init() SPI_SlaveInit()");
  for (const Routine& r : routines) {
    h.add("");
    h.add(Separator);
    h.add(r.title);
    h.add(Separator);
    h.add(r.prototype);
  }
  h.add("");
  h.add(Separator);
  h.add("");
  h.add("#endif");

  ctx.preview = c.lines();
  ctx.files.add("spi.c", c);
  ctx.files.add("spi.h", h);
}

}  // namespace tamberlo
