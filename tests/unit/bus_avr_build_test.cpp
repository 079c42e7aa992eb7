// SPDX-License-Identifier: GPL-3.0-or-later
// The chip drivers must build for every device that has their bus: each
// configuration's generated files are compiled with avr-gcc (through a tiny
// stand-in for the ICC device headers) and linked with a main that calls
// what the generated main.c calls.
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "bus_test_support.h"
#include "gen/banners.h"
#include "gen/bus/bus_generators.h"
#include "modlib/modlib.h"

namespace tamberlo {
namespace {

using test::BusRun;

// The ICC headers the generated sources include, mapped onto avr-libc.
// They belong to this test only, never to a generated project.
void writeCompatHeaders(const std::string& dir) {
  for (const char* h :
       {"iom8v.h", "iom8515v.h", "iom8535v.h", "iom16v.h", "iom32v.h", "iom64v.h", "iom128v.h"}) {
    test::writeBytes(dir + h, "#include <avr/io.h>\n");
  }
  test::writeBytes(dir + "macros.h",
                   "#include <avr/io.h>\n#include <avr/interrupt.h>\n"
                   "#define CLI() cli()\n#define SEI() sei()\n#define NOP() __asm__ __volatile__(\"nop\")\n"
                   "#define BIT(x) (1 << (x))\n");
}

struct Device {
  const char* name;
  const char* mmcu;
  bool twi;
  bool bigRam;  // more than 512 bytes: room for the SD card's 512-byte BUFFER
};
const Device devices[] = {
    {"ATMega8", "atmega8", true, true},        {"ATMega8515", "atmega8515", false, false},
    {"ATMega8535", "atmega8535", true, false}, {"ATMega16", "atmega16", true, true},
    {"ATMega32", "atmega32", true, true},      {"ATMega64", "atmega64", true, true},
    {"ATMega128", "atmega128", true, true},
};

const char* ds1302Main = R"(#include <avr/io.h>
#include "spi.h"
#include "ds1302.h"
int main(void)
{
   SPI_Init();
   DS1302_Init();
   DS1302_EXIST = check_RTC();
   read_date();
   read_date1();
   return sCURDATE[0] + str1[0] + sWEEK[0] + INITDATE[0] + CURDATE[0];
}
)";

const char* sdMain = R"(#include <avr/io.h>
#include "spi.h"
#include "sd.h"
#include "fat.h"
int main(void)
{
   FAT_FILE f;
   SPI_Init();
   if(SD_Init() == 0 && FAT_Init() == FAT_OK && FAT_Open("test.txt", &f) == FAT_OK)
      while(FAT_Read(&f))
         SD_Write_Block(0);
   return SD_Read_Block(0);
}
)";

const char* twiMain = R"(#include <avr/io.h>
#include "twi.h"
#include "at24cxx.h"
#include "sd2000.h"
#include "zlg7290.h"
#include "ds1307.h"
#include "tea5767.h"
unsigned char STA013_Init(unsigned char twbr, const unsigned char *config, unsigned int pairs);
/* zlg7290.h's ZLG7290_Flash macro names this routine without declaring it */
unsigned char ZLG7290_cmd(unsigned char cmd0, unsigned char cmd1);
int main(void)
{
   unsigned char buf[4];
   unsigned int n = 0;
   TWI_Init();
   AT24Cxx_Init();
   SD2000_Init();
   ZLG7290_Init();
   TEA5767_Init();
   TWIWrite(0x55, 0x99);
   buf[0] = TWIRead(0x55);
   TWIWriteBytes(0x60, buf, 4);
   TWIReadBytes(0x60, buf, 4);
   get_time_byte();
   hour1 = bcd_to_byte(g_sd2k_read_time[hour]);
   time[0] = int_to_asc(hour1 / 10);
   RtcUpdateData(RTC_READ);
   RtcBCDToBin();
   RtcBinToBCD();
   RtcSetSQWOutput(1, 0);
   DispHexValue8BIT(0, n++);
   ZLG7290_Flash(0x01);
   TEA5767_Read();
   STA013_Init(TWBR_SELECT, buf, 0);
   return g_aTimeBin[0] + readdata[0] + pll + fre;
}
)";

// Generates one bus's files for a device, compiles every source and links
// them with `mainText`. Warnings other than the ICC pragma fail the build.
void buildProject(const Device& d, bool spi) {
  SCOPED_TRACE(std::string(d.name) + (spi ? " SPI" : " TWI"));
  BusRun r(d.name);
  if (spi) {
    r.cfg.SPI.Spi_master = true;
    r.cfg.SPI.Spi_ds1302 = r.cfg.SPI.Spi_sd = true;
    r.run(MakeSpiCode);
    r.run(MakeSpiAppCode);
  } else {
    auto& t = r.cfg.TWI;
    t.Twi_at24 = t.Twi_sd2k = t.Twi_ds1307 = t.Twi_zlg7290 = t.Twi_tea5767 = true;
    r.run(MakeTwiCode);
    r.run(MakeTwiAppCode);
    TextBuffer banner;
    AddTestBanner(banner, r.cfg);
    GeneratedFiles files;
    TwiCreateCode("sta013", files, banner, 7372800);
    writeGeneratedFiles(r.dir.path(), files);
  }
  ASSERT_TRUE(r.needDelay);
  r.run(MakeDelayCode);
  writeCompatHeaders(r.dir.path());

  const std::string flags = std::string("-mmcu=") + d.mmcu +
                            " -Os -std=gnu99 -Wall -Wextra -Werror -Wno-unknown-pragmas -I."
                            " -ffunction-sections -fdata-sections -Wl,--gc-sections";
  const std::string sources =
      spi ? "spi.c ds1302.c sd.c fat.c" : "twi.c at24cxx.c sd2000.c ds1307.c zlg7290.c tea5767.c sta013.c";
  auto [status, out] = test::runIn(r.dir.path(), "avr-gcc " + flags + " -c delay.c " + sources);
  ASSERT_EQ(status, 0) << out;

  // Link: every routine the program calls must be defined, and no two
  // modules may define the same name.
  struct Program {
    const char* main;
    const char* objects;
  };
  std::vector<Program> programs;
  if (spi) {
    programs.push_back({ds1302Main, "spi.o ds1302.o"});
    if (d.bigRam) programs.push_back({sdMain, "spi.o sd.o fat.o"});
  } else {
    programs.push_back({twiMain, "twi.o at24cxx.o sd2000.o ds1307.o zlg7290.o tea5767.o sta013.o"});
  }
  for (const Program& p : programs) {
    test::writeBytes(r.path("main.c"), p.main);
    auto [linked, log] = test::runIn(r.dir.path(), "avr-gcc " + flags + " -o test.elf main.c delay.o " + p.objects);
    EXPECT_EQ(linked, 0) << p.objects << "\n" << log;
  }
}

TEST(BusFirmware, SpiChipsBuildOnEveryDevice) {
  if (!test::haveProgram("avr-gcc")) GTEST_SKIP() << "avr-gcc not installed (scripts/deps.sh installs it)";
  for (const Device& d : devices) buildProject(d, true);
}

TEST(BusFirmware, TwiChipsBuildOnEveryDeviceWithTwi) {
  if (!test::haveProgram("avr-gcc")) GTEST_SKIP() << "avr-gcc not installed (scripts/deps.sh installs it)";
  for (const Device& d : devices) {
    if (d.twi) buildProject(d, false);
  }
}

}  // namespace
}  // namespace tamberlo
