// SPDX-License-Identifier: GPL-3.0-or-later
// The chip drivers' logic, run on the host: the driver sources are compiled
// with the host C compiler against stand-ins for the AVR registers and the
// neighbouring modules, then fed data whose right answer is known.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/device_catalogue.h"
#include "bus_test_support.h"
#include "gen/banners.h"
#include "gen/bus/bus_generators.h"
#include "platform/gbk.h"

namespace tamberlo {
namespace {

using test::BusRun;

// ---------------------------------------------------------------- FAT16 --

// A FAT16 volume of which only the first sectors are stored: 512-byte
// sectors, two sectors a cluster, two FATs of one sector, a root folder of
// 32 entries (two sectors). The boot sector claims `clusters` clusters,
// which make the FAT type.
struct Fat16Image {
  std::vector<unsigned char> bytes;
  unsigned boot = 0;  // first sector of the volume
  unsigned fat() const { return boot + 1; }
  unsigned root() const { return boot + 3; }
  unsigned cluster(unsigned n) const { return boot + 5 + (n - 2) * 2; }

  explicit Fat16Image(unsigned bootSector, unsigned long clusters = 5000)
      : bytes((bootSector + 5 + 20 * 2) * 512, 0), boot(bootSector) {
    if (boot) {  // partition table with one FAT16 partition
      bytes[0x1C2] = 0x06;
      put32(0x1C6, boot);
      bytes[510] = 0x55, bytes[511] = 0xAA;
    }
    size_t b = boot * 512;
    bytes[b] = 0xEB, bytes[b + 1] = 0x3C, bytes[b + 2] = 0x90;
    put16(b + 11, 512);
    bytes[b + 13] = 2;  // sectors a cluster
    put16(b + 14, 1);   // reserved sectors
    bytes[b + 16] = 2;  // FATs
    put16(b + 17, 32);  // root entries
    put16(b + 22, 1);   // sectors a FAT
    if (clusters * 2 + 5 < 0x10000) {
      put16(b + 19, clusters * 2 + 5);  // total sectors
    } else {
      put32(b + 32, clusters * 2 + 5);
    }
    bytes[b + 510] = 0x55, bytes[b + 511] = 0xAA;
    setFat(0, 0xFFF8), setFat(1, 0xFFFF);
  }
  void put16(size_t at, unsigned v) { bytes[at] = v & 0xFF, bytes[at + 1] = (v >> 8) & 0xFF; }
  void put32(size_t at, unsigned long v) { put16(at, v & 0xFFFF), put16(at + 2, v >> 16); }
  void setFat(unsigned n, unsigned next) {
    put16(fat() * 512 + n * 2, next);
    put16((fat() + 1) * 512 + n * 2, next);
  }
  void entry(unsigned index, const char* name11, unsigned char attr, unsigned first, unsigned long size) {
    size_t at = root() * 512 + index * 32;
    for (int i = 0; i < 11; ++i) bytes[at + i] = static_cast<unsigned char>(name11[i]);
    bytes[at + 11] = attr;
    put16(at + 26, first);
    put32(at + 28, size);
  }
  // Writes `data` along the cluster chain.
  void fill(const std::vector<unsigned>& chain, const std::string& data) {
    for (size_t i = 0; i < chain.size(); ++i) {
      setFat(chain[i], i + 1 < chain.size() ? chain[i + 1] : 0xFFFF);
      for (size_t k = 0; k < 1024 && i * 1024 + k < data.size(); ++k) {
        bytes[cluster(chain[i]) * 512 + k] = static_cast<unsigned char>(data[i * 1024 + k]);
      }
    }
  }
};

// Reads a file through fat.c with an SD card that serves sectors of an image.
const char* fatHarness = R"(#include <stdio.h>
#include <stdlib.h>
#include "sd.h"
#include "fat.h"
unsigned char BUFFER[512];
static FILE *image;
unsigned char SD_Read_Block(unsigned long address)
{
   if(address % 512 || fseek(image, (long)address, SEEK_SET) || fread(BUFFER, 1, 512, image) != 512)
      return 1;
   return 0;
}
int main(int argc, char **argv)
{
   FAT_FILE f;
   unsigned int n;
   unsigned char init, open;
   FILE *out = fopen(argv[3], "wb");
   (void)argc;
   image = fopen(argv[1], "rb");
   init = FAT_Init();
   open = init == FAT_OK ? FAT_Open(argv[2], &f) : 9;
   if(open == FAT_OK)
      while((n = FAT_Read(&f)) != 0)
         fwrite(BUFFER, 1, n, out);
   fclose(out);
   printf("init=%d open=%d", init, open);
   return 0;
}
)";

TEST(BusHostDrivers, FatReadsRootFilesAlongTheirClusterChains) {
  if (!test::haveProgram("cc")) GTEST_SKIP() << "no host C compiler";
  BusRun r;
  r.cfg.SPI.Spi_sd = true;
  r.run(MakeSpiAppCode);
  test::writeBytes(r.path("iom16v.h"), "");
  test::writeBytes(r.path("macros.h"), "");
  test::writeBytes(r.path("harness.c"), fatHarness);
  auto [built, log] = test::runIn(r.dir.path(), "cc -std=c99 -Wall -Werror -I. -o fat_host harness.c fat.c");
  ASSERT_EQ(built, 0) << log;

  std::string text;
  for (int i = 0; text.size() < 2500; ++i) text += "line " + std::to_string(i) + "\n";
  text.resize(2500);  // five sectors over three clusters, the last one partly used

  struct Case {
    const char* what;
    unsigned boot;
    const char* open;
    const char* result;
    std::string content;
  };
  const Case cases[] = {
      {"partitioned card, chained clusters", 8, "HELLO.TXT", "init=0 open=0", text},
      {"superfloppy, lower-case name", 0, "hello.txt", "init=0 open=0", text},
      {"one-sector file", 8, "SHORT.BIN", "init=0 open=0", "0123456789"},
      {"empty file", 8, "EMPTY", "init=0 open=0", ""},
      {"deleted entry is not found", 8, "GONE.TXT", "init=0 open=3", ""},
      {"folders are not files", 8, "DIR", "init=0 open=3", ""},
      {"missing file", 8, "NONE.TXT", "init=0 open=3", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fat16Image img(c.boot);
    img.entry(0, "CARD       ", 0x08, 0, 0);       // volume label
    img.entry(1, "\xE5ONE    TXT", 0x20, 7, 100);  // deleted
    img.entry(2, "AHELLO  TXT", 0x0F, 0, 0);       // long-name part
    img.entry(3, "DIR        ", 0x10, 8, 0);
    img.entry(4, "HELLO   TXT", 0x20, 2, text.size());
    img.entry(5, "SHORT   BIN", 0x20, 4, 10);
    img.entry(6, "EMPTY      ", 0x20, 0, 0);
    img.fill({2, 5, 3}, text);
    img.fill({4}, "0123456789");
    test::writeBytes(r.path("card.img"), std::string(img.bytes.begin(), img.bytes.end()));
    auto [status, out] = test::runIn(r.dir.path(), std::string("./fat_host card.img ") + c.open + " out.bin");
    EXPECT_EQ(out, c.result);
    EXPECT_EQ(test::readBytes(r.path("out.bin")), c.content);
  }

  // A card that is not FAT16 is refused, not misread: the cluster count
  // makes the type. Names that are not 8.3 are refused, not cut.
  struct Volume {
    const char* what;
    unsigned long clusters;
    bool rootFolder;
    const char* name;
    const char* result;
  };
  for (const Volume& v : {Volume{"FAT32: no fixed root folder", 5000, false, "HELLO.TXT", "init=2 open=9"},
                          Volume{"FAT12: 4084 clusters", 4084, true, "HELLO.TXT", "init=2 open=9"},
                          Volume{"smallest FAT16", 4085, true, "HELLO.TXT", "init=0 open=0"},
                          Volume{"largest FAT16", 65524, true, "HELLO.TXT", "init=0 open=0"},
                          Volume{"FAT32 by count", 65525, true, "HELLO.TXT", "init=2 open=9"},
                          Volume{"long name", 5000, true, "HELLOWORL.TXT", "init=0 open=4"},
                          Volume{"long extension", 5000, true, "HELLO.TXTX", "init=0 open=4"},
                          Volume{"no name", 5000, true, ".TXT", "init=0 open=4"},
                          Volume{"two dots", 5000, true, "HELLO.T.X", "init=0 open=4"}}) {
    SCOPED_TRACE(v.what);
    Fat16Image img(0, v.clusters);
    if (!v.rootFolder) img.put16(17, 0);
    img.entry(0, "HELLO   TXT", 0x20, 2, 5);
    img.entry(1, "HELLOWORTXT", 0x20, 2, 5);  // what a cut name would open
    img.fill({2}, "hello");
    test::writeBytes(r.path("card.img"), std::string(img.bytes.begin(), img.bytes.end()));
    EXPECT_EQ(test::runIn(r.dir.path(), std::string("./fat_host card.img ") + v.name + " out.bin").second,
              v.result);
  }
}

// ---------------------------------------------------------------- DS1302 --

// The AVR registers ds1302.c touches; SPDR and SPSR go through functions so
// that a simulated DS1302 answers each byte the SPI shifts.
const char* avrSpiStandIn = R"(extern unsigned char PORTB, DDRB, SPCR;
unsigned char *spi_data(void);
unsigned char *spi_status(void);
#define SPDR (*spi_data())
#define SPSR (*spi_status())
#define SPIF 7
#define SPI2X 0
#define SPE 6
#define DORD 5
#define MSTR 4
#define SPR0 0
)";

// A DS1302 behind CE (PB4): command byte first, then one register or a
// burst; writes are refused while the write-protect bit is set, as on the chip.
const char* ds1302Harness = R"(#include <stdio.h>
#include <string.h>
#include "iom16v.h"
#include "ds1302.h"
unsigned char PORTB, DDRB, SPCR;
static unsigned char data, status_byte, touched, present = 1;
static unsigned char clock_regs[9] = {0x12, 0x34, 0x08, 0x01, 0x02, 0x03, 0x04, 0x80, 0x5C};
static unsigned char ram[31];
static unsigned char command, started;
static int index_in_burst;

static unsigned char *reg_for(unsigned char cmd, int i)
{
   if((cmd & 0xFE) == 0xBE) return i < 8 ? &clock_regs[i] : 0;
   if((cmd & 0xFE) == 0xFE) return i < 31 ? &ram[i] : 0;
   if(i) return 0;
   if(cmd & 0x40) return ((cmd >> 1) & 0x1F) < 31 ? &ram[(cmd >> 1) & 0x1F] : 0;
   return ((cmd >> 1) & 0x1F) <= 8 ? &clock_regs[(cmd >> 1) & 0x1F] : 0;
}

static void exchange(void)
{
   unsigned char *reg;
   if(!present) { data = 0xFF; return; }          /* MISO floats high */
   if(!started) { command = data; started = 1; index_in_burst = 0; data = 0xFF; return; }
   reg = reg_for(command, index_in_burst++);
   if(command & 0x01)
      data = reg ? *reg : 0xFF;
   else if(reg && (!(clock_regs[7] & 0x80) || reg == &clock_regs[7]))
      *reg = data;
}

unsigned char *spi_data(void) { touched = 1; return &data; }
unsigned char *spi_status(void)
{
   if(!(PORTB & (1 << 4)))
      started = 0;
   else if(touched)
      exchange();
   touched = 0;
   status_byte = 0x80;
   return &status_byte;
}

static void show_regs(void)
{
   printf(" regs=%02X%02X%02X%02X%02X%02X%02X wp=%02X tc=%02X", clock_regs[0], clock_regs[1], clock_regs[2],
          clock_regs[3], clock_regs[4], clock_regs[5], clock_regs[6], clock_regs[7], clock_regs[8]);
}

/* argv[1]: "absent" (no chip), "halted" (CH set: the battery ran out),
   "running" (kept its time across the MCU reset) */
int main(int argc, char **argv)
{
   present = strcmp(argv[1], "absent") != 0;
   ram[30] = 0x3C;                                 /* the user's byte */
   if(!strcmp(argv[1], "halted"))
      clock_regs[0] |= 0x80;
   DS1302_Init();                                  /* start-up, as main.c does */
   printf("exist=%d", check_RTC());
   if(!present) return 0;
   printf(" ram30=%02X", ram[30]);
   show_regs();
   DS1302_Init();                                  /* the set-time command */
   show_regs();
   read_date();
   printf(" now=%s short=%s", (char *)sCURDATE, (char *)str1);
   clock_regs[5] = 7;
   clock_regs[0] = 0x85;                           /* halted at 05 s */
   read_date();
   printf(" now=%s", (char *)sCURDATE);
   clock_regs[2] = 0x80 | 0x20 | 0x11;             /* 12 hour mode: 11 PM */
   read_date1();
   printf(" pm=%s", (char *)str1);
   clock_regs[2] = 0x80 | 0x12;                    /* 12 AM */
   read_date1();
   printf(" am=%s", (char *)str1);
   return 0;
}
)";

TEST(BusHostDrivers, Ds1302FindsSetsAndReadsTheClock) {
  if (!test::haveProgram("cc")) GTEST_SKIP() << "no host C compiler";
  BusRun r;
  r.cfg.SPI.Spi_master = true;
  r.cfg.SPI.Spi_ds1302 = true;
  r.run(MakeSpiCode);
  r.run(MakeSpiAppCode);
  r.run(MakeDelayCode);
  test::writeBytes(r.path("iom16v.h"), avrSpiStandIn);
  test::writeBytes(r.path("macros.h"), "");
  test::writeBytes(r.path("harness.c"), ds1302Harness);
  auto [built, log] =
      test::runIn(r.dir.path(),
            "cc -std=c99 -Wall -Werror -Wno-pointer-sign -I. -o ds1302_host harness.c ds1302.c delay.c");
  ASSERT_EQ(built, 0) << log;

  EXPECT_EQ(test::runIn(r.dir.path(), "./ds1302_host absent").second, "exist=0");
  // A running clock keeps its time and trickle charger at start-up; a halted
  // one is set; the set-time command always sets it.
  const std::string set = " regs=50592306100405 wp=80 tc=00";
  const std::string after =
      " now=2005-10-06 23:59:50 星期四 short=05-10-06 23:59:50 now=2005-10-06 23:59:05 星期日"
      " pm=05-10-06 23:59:05 am=05-10-06 00:59:05";
  EXPECT_EQ(test::runIn(r.dir.path(), "./ds1302_host running").second,
            utf8ToGbk("exist=1 ram30=3C regs=12340801020304 wp=80 tc=5C" + set + after));
  EXPECT_EQ(test::runIn(r.dir.path(), "./ds1302_host halted").second,
            utf8ToGbk("exist=1 ram30=3C" + set + set + after));
}

// ------------------------------------------------------------ TWI chips --

// Port C (PINC, DDRC, PORTC in a row, as on the chip) goes through a function
// that plays the two bus lines: open drain, pulled up, and a slave that may
// hold SDA low until SCL has clocked it out of its byte.
const char* avrTwiStandIn = R"(extern unsigned char TWCR, TWBR, TWSR, TWDR;
unsigned char *port_c(void);
#define PORTC (*port_c())
#define PC0 0
#define PC1 1
#define TWINT 7
#define TWEA 6
#define TWSTA 5
#define TWSTO 4
#define TWEN 2
#define TWIE 0
)";

// An AT24C256 (64-byte pages that wrap inside a write, as on the chip) and a
// DS1307 (64 registers) behind the byte routines of twi.c.
const char* twiHarness = R"(#include <stdio.h>
#include <string.h>
#include "iom16v.h"
#include "twi.h"
#include "at24cxx.h"
#include "ds1307.h"
#include "tea5767.h"
#include "sd2000.h"
unsigned char TWCR, TWBR, TWSR, TWDR;
void delay_nms(unsigned int t) { (void)t; }

/* SCL PC0, SDA PC1; the slave lets SDA go after `held` falling SCL edges */
static unsigned char io_c[3];
static int held, scl_was = 1, sda_was = 1, clocks, stops;
unsigned char *port_c(void)
{
   int scl = !((io_c[1] & 1) && !(io_c[2] & 1));
   int sda = !((io_c[1] & 2) && !(io_c[2] & 2)) && held == 0;
   if(scl_was && !scl) { clocks++; if(held > 0) held--; }
   if(scl && scl_was && sda && !sda_was) stops++;
   scl_was = scl, sda_was = sda;
   io_c[0] = (unsigned char)(scl | (sda << 1));
   return &io_c[2];
}

/* AT24C32: 32-byte pages that wrap inside a write; after a STOP that ends
   a write it answers its address only when the write cycle is over, here
   after 30 polls */
static unsigned char eeprom[4096], rtc[64];
static int busy_polls, wrote;
static int dev, stage, reading, in_transfer;
static unsigned int ptr;
/* SD2000: command in the address byte, data bit-reversed on the wire */
static unsigned char sd2k_status = 0x80, sd2k_time[7], sd2k_cmd;
static int sd2k_resets;
static unsigned char wire(unsigned char b)
{
   unsigned char r = 0;
   int i;
   for(i = 0; i < 8; i++) r = (unsigned char)(r | (((b >> i) & 1) << (7 - i)));
   return r;
}
static unsigned char *sd2k_reg(void)
{
   if(sd2k_cmd == 1) return stage <= 2 ? &sd2k_status : 0;
   if(sd2k_cmd == 2) return stage <= 8 ? &sd2k_time[stage - 2] : 0;
   return 0;
}

void twi_stop(void)
{
   in_transfer = 0;
   if(dev == 1 && wrote) busy_polls = 30;
   wrote = 0;
}
unsigned char twi_start(void)
{
   unsigned char st = in_transfer ? TW_REP_START : TW_START;
   in_transfer = 1;
   stage = 0;
   return st;
}
unsigned char twi_writebyte(unsigned char c)
{
   if(stage == 0)
   {
      reading = c & 1;
      dev = (c & 0xFE) == CHIPADDR ? 1 : (c & 0xFE) == DS1307_ADDR ? 2 : (c & 0xF0) == 0x60 ? 3 : 0;
      sd2k_cmd = (c >> 1) & 7;
      if(dev == 3 && sd2k_cmd == 0) { sd2k_status = 0; sd2k_resets++; }   /* reset command */
      if(dev == 1 && busy_polls) { busy_polls--; dev = 0; }       /* still writing */
      if(!dev) return reading ? TW_MR_SLA_NACK : TW_MT_SLA_NACK;
      stage = 1;
      return reading ? TW_MR_SLA_ACK : TW_MT_SLA_ACK;
   }
   if(dev == 3)
   {
      stage++;
      if(sd2k_reg()) *sd2k_reg() = wire(c);
      return TW_MT_DATA_ACK;
   }
   if(dev == 1 && stage == 1) ptr = (unsigned int)c << 8;
   else if(dev == 1 && stage == 2) ptr |= c;
   else if(dev == 2 && stage == 1) ptr = c;
   else if(dev == 1) { eeprom[ptr & 0xFFF] = c; ptr = (ptr & ~31u) | ((ptr + 1) & 31u); wrote = 1; }
   else { rtc[ptr] = c; ptr = (ptr + 1) & 63; }
   stage++;
   return TW_MT_DATA_ACK;
}
unsigned char twi_readbyte(unsigned char *c, unsigned char ack)
{
   if(dev == 3) { stage++; *c = sd2k_reg() ? wire(*sd2k_reg()) : 0xFF; }
   else if(dev == 1) { *c = eeprom[ptr & 0xFFF]; ptr = (ptr + 1) & 0xFFF; }
   else { *c = rtc[ptr]; ptr = (ptr + 1) & 63; }
   return ack ? TW_MR_DATA_ACK : TW_MR_DATA_NACK;
}

int main(void)
{
   unsigned char buf[100], back[100], show[20];
   unsigned char sd_time[7] = {0x06, 0x12, 0x31, 0x00, 0x63, 0x59, 0x58};  /* 23 h with the PM flag */
   unsigned char abc[3] = {'a', 'b', 'c'};
   int i, same = 1, untouched = 1;
   memset(eeprom, 0xFF, sizeof eeprom);
   held = 5;                                      /* a slave left mid-byte by a reset */
   AT24Cxx_Init();
   printf("freed=%d,%d,%d", held, clocks, stops);
   TWIWrite(0x55, 0x99);
   TWIWrite(0x56, 0x22);                          /* refused until the first write is done */
   printf(" sum=%d", TWIRead(0x55) + TWIRead(0x56));
   for(i = 0; i < 100; i++) buf[i] = (unsigned char)(i + 1);
   TWIWriteBytes(20, buf, 30);                    /* crosses the page boundary at 32 */
   TWIWriteBytes(100, buf, 100);                  /* pages 3 to 6 */
   TWIReadBytes(100, back, 100);
   for(i = 0; i < 100; i++) same &= back[i] == buf[i];
   for(i = 0; i < 30; i++) same &= eeprom[20 + i] == buf[i];
   for(i = 0; i < 20; i++) untouched &= eeprom[i] == 0xFF;
   for(i = 50; i < 100; i++) untouched &= eeprom[i] == 0xFF || i == 0x55 || i == 0x56;
   for(i = 200; i < 256; i++) untouched &= eeprom[i] == 0xFF;
   printf(" pages=%d untouched=%d", same, untouched);

   g_aTimeBin[0] = 50; g_aTimeBin[1] = 59; g_aTimeBin[2] = 23; g_aTimeBin[3] = 4;
   g_aTimeBin[4] = 6; g_aTimeBin[5] = 10; g_aTimeBin[6] = 5;
   RtcBinToBCD();
   held = 2, clocks = stops = 0;                  /* the first DS1307 transfer frees the bus */
   printf(" wr=%d", RtcUpdateData(RTC_WRITE));
   printf(",%d,%d,%d", held, clocks, stops);
   printf(" rtc=%02X%02X%02X%02X%02X%02X%02X", rtc[0], rtc[1], rtc[2], rtc[3], rtc[4], rtc[5], rtc[6]);
   rtc[0] |= 0x80;                                /* oscillator halted */
   memset(g_aTimeBin, 0, 7);
   printf(" rd=%d", RtcUpdateData(RTC_READ));
   printf(" ch=%02X", rtc[0]);
   RtcBCDToBin();
   printf(" bin=%d-%d-%d %d:%d:%d", g_aTimeBin[6], g_aTimeBin[5], g_aTimeBin[4], g_aTimeBin[2], g_aTimeBin[1],
          g_aTimeBin[0]);
   g_aTimeBuf[2] = 0x40 | 0x20 | 0x11; RtcBCDToBin(); printf(",%d", g_aTimeBin[2]);   /* 11 PM */
   g_aTimeBuf[2] = 0x40 | 0x12; RtcBCDToBin(); printf(",%d", g_aTimeBin[2]);          /* 12 AM */
   g_aTimeBuf[2] = 0x40 | 0x20 | 0x12; RtcBCDToBin(); printf(",%d", g_aTimeBin[2]);   /* 12 PM */
   printf(" ram=%d", RtcWriteRAM(53, abc, 3));
   memset(back, 0, 3);
   printf(",%d", RtcReadRAM(53, back, 3));
   printf(",%.3s,%02X", (char *)back, rtc[8 + 55]);
   printf(" outside=%d", RtcWriteRAM(54, abc, 3));
   printf(",%d", RtcReadRAM(56, back, 1));
   RtcSetSQWOutput(1, 3);
   printf(" sqw=%02X", rtc[7]);
   RtcSetSQWOutput(0, 1);
   printf(",%02X", rtc[7]);

   printf(" invert=%02X,%02X bcd=%d,%02X", invert(0x01), invert(0xB4), bcd_to_byte(0x59), byte_to_bcd(47));
   SD2K_SHOW_TIME(sd_time, show);
   printf(" show=%s", (char *)show);

   held = 12, clocks = stops = 0;                 /* nine clocks do not free it: given up */
   SD2000_Init();                                 /* power-on flag set: reset, 24 h, default time */
   printf(" stuck=%d,%d", clocks, stops);
   held = 0;
   printf(" sd2k=%d,%02X,%02X%02X%02X%02X%02X%02X%02X", sd2k_resets, sd2k_status, sd2k_time[0], sd2k_time[1], sd2k_time[2],
          sd2k_time[3], sd2k_time[4], sd2k_time[5], sd2k_time[6]);
   printf(",%s,%s", (char *)date, (char *)time);
   sd2k_time[0] = 0x07; sd2k_time[4] = 0x40 | 0x23;  /* 2007, 23 h with the PM flag */
   get_time_byte();
   printf(" now=%s,%s,%d,%d", (char *)date, (char *)time, hour1, g_sd2k_return);

   fre = 8800; calculate_pll(); printf(" pll=%u", pll);
   fre = 10800; calculate_pll(); printf(",%u", pll);
   fre = 5000; calculate_pll(); printf(",%u,%u", pll, fre);
   held = 9, clocks = stops = 0;
   TEA5767_Init();
   printf(" tea=%d,%d,%d", held, clocks, stops);
   return 0;
}
)";

TEST(BusHostDrivers, TwiChipsAgainstSimulatedEepromAndClock) {
  if (!test::haveProgram("cc")) GTEST_SKIP() << "no host C compiler";
  BusRun r;
  auto& t = r.cfg.TWI;
  t.Twi_at24 = t.Twi_ds1307 = t.Twi_sd2k = t.Twi_tea5767 = true;
  r.run(MakeTwiCode);
  r.run(MakeTwiAppCode);
  r.run(MakeDelayCode);  // delay.h; the harness stands in for delay_nms
  test::writeBytes(r.path("iom16v.h"), avrTwiStandIn);
  test::writeBytes(r.path("macros.h"), "");
  test::writeBytes(r.path("harness.c"), twiHarness);
  auto [built, log] = test::runIn(r.dir.path(),
                            "cc -std=c99 -Wall -Werror -Wno-pointer-sign -I. -o twi_host harness.c at24cxx.c "
                            "ds1307.c sd2000.c tea5767.c");
  ASSERT_EQ(built, 0) << log;
  EXPECT_EQ(test::runIn(r.dir.path(), "./twi_host").second,
            "freed=0,6,1 sum=187 pages=1 untouched=1"
            " wr=1,0,3,1 rtc=50592304061005 rd=1 ch=50 bin=5-10-6 23:59:50,23,0,12"
            " ram=1,1,abc,63 outside=0,0 sqw=13,80"
            " invert=80,2D bcd=59,47 show=2006-12-31 23:59:58"
            " stuck=10,0 sd2k=1,02,06100403203100,2006-10-04,20:31:00 now=2007-10-04,23:31:00,23,0"
            " pll=10770,13211,10709,8750 tea=0,10,1");
}

// --------------------------------------------------------------- ZLG7290 --

// TWCR goes through a function that plays the TWI hardware: each value the
// driver writes with TWINT set is carried out on a simulated ZLG7290, and
// TWINT comes back set. Bit 1 of TWCR (unused on the chip) marks a value as
// carried out, so the next write is told apart even when it is the same.
const char* avrTwiHardware = R"(extern unsigned char TWBR, TWSR, TWDR, SREG, io_c[3];
unsigned char *twcr_reg(void);
#define PORTC (io_c[2])
#define PC0 0
#define PC1 1
#define TWCR (*twcr_reg())
#define TWINT 7
#define TWEA 6
#define TWSTA 5
#define TWSTO 4
#define TWEN 2
#define TWIE 0
)";

const char* zlgHarness = R"(#include <stdio.h>
#include "iom16v.h"
#include "twi.h"
#include "zlg7290.h"
unsigned char ZLG7290_cmd(unsigned char cmd0, unsigned char cmd1);
unsigned char TWBR, TWSR, TWDR, SREG, io_c[3] = {0x03, 0, 0};   /* both lines high */
void delay_nms(unsigned int t) { (void)t; }
void delay_nus(unsigned int t) { (void)t; }

#define DONE 0x02
static unsigned char twcr = DONE;
static unsigned char regs[0x18], digits[8];
static int busy, addressed, reading, first_byte, nacks;
static unsigned char ptr;

static void device_write(unsigned char b)
{
   if(first_byte) { ptr = b; first_byte = 0; return; }
   if(ptr < sizeof regs) regs[ptr] = b;
   if(ptr == 0x08 && (regs[0x07] & 0xF0) == 0x60)    /* download: digit, code */
      digits[regs[0x07] & 0x07] = regs[0x08] & 0x1F;
   ptr++;
}

/* TWSR keeps the prescaler in bits 1..0 under the status */
static void hardware(unsigned char v)
{
   if(v & (1 << TWSTO))
   {
      busy = 0;
      if(!(v & (1 << TWSTA))) { twcr = (unsigned char)((v & ~((1 << TWSTO) | (1 << TWINT))) | DONE); return; }
   }
   if(v & (1 << TWSTA))
   {
      TWSR = (unsigned char)((TWSR & 3) | (busy ? TW_REP_START : TW_START));
      busy = 1;
      addressed = 0;
   }
   else if(!addressed)
   {
      reading = TWDR & 1;
      if((TWDR & 0xFE) == SLA_ZLG7290 && nacks == 0)
      {
         addressed = 1;
         first_byte = !reading;
         TWSR = (unsigned char)((TWSR & 3) | (reading ? TW_MR_SLA_ACK : TW_MT_SLA_ACK));
      }
      else
      {
         if(nacks) nacks--;
         TWSR = (unsigned char)((TWSR & 3) | (reading ? TW_MR_SLA_NACK : TW_MT_SLA_NACK));
      }
   }
   else if(!reading)
   {
      device_write(TWDR);
      TWSR = (unsigned char)((TWSR & 3) | (TW_MT_DATA_ACK));
   }
   else
   {
      TWDR = ptr < sizeof regs ? regs[ptr] : 0xFF;
      ptr++;
      TWSR = (unsigned char)((TWSR & 3) | ((v & (1 << TWEA)) ? TW_MR_DATA_ACK : TW_MR_DATA_NACK));
   }
   twcr = (unsigned char)((v & ~(1 << TWSTO)) | (1 << TWINT) | DONE);
}

unsigned char *twcr_reg(void)
{
   if(!(twcr & DONE) && (twcr & (1 << TWINT)))
      hardware(twcr);
   else if(!(twcr & DONE))
      twcr |= DONE;
   return &twcr;
}

static void show(const char *what)
{
   int i;
   printf(" %s=", what);
   for(i = 0; i < 8; i++) putchar("0123456789ABCDEF-------------- _"[digits[i]]);
}

int main(void)
{
   unsigned char r;
   ZLG7290_Init();
   printf("scl=%lu ", XTAL / (16UL + 2UL * TWBR * (1UL << (2 * (TWSR & 3)))));
   printf("scan=%d", regs[0x0D]);
   DispHexValue8BIT(0, 0x1234);
   show("hex");
   DispValue4BIT(4, 987);
   DispHexValue2BIT(0, 0xAF);
   show("mixed");
   nacks = 5;
   r = ZLG7290_cmd(0x60, 0x03);
   printf(" retried=%d,%d,%d", r, strTWI.FAILCNT, digits[0]);
   nacks = 1000;
   r = ZLG7290_cmd(0x61, 0x04);
   printf(" gaveup=%d,%d,%d", r, strTWI.FAILCNT, digits[1]);
   return 0;
}
)";

TEST(BusHostDrivers, Zlg7290StateMachineDrivesTheDisplayAndRetries) {
  if (!test::haveProgram("cc")) GTEST_SKIP() << "no host C compiler";
  BusRun r;
  r.cfg.TWI.Twi_zlg7290 = true;
  r.run(MakeTwiCode);
  r.run(MakeTwiAppCode);
  r.run(MakeDelayCode);
  test::writeBytes(r.path("iom16v.h"), avrTwiHardware);
  test::writeBytes(r.path("macros.h"), "#define SEI()\n#define CLI()\n");
  test::writeBytes(r.path("harness.c"), zlgHarness);
  auto [built, log] = test::runIn(r.dir.path(),
                            "cc -std=c99 -Wall -Werror -Wno-unknown-pragmas -I. -DXTAL=7372800UL -o zlg_host "
                            "harness.c zlg7290.c");
  ASSERT_EQ(built, 0) << log;
  // FAIL_MAX tries: 5 refusals are ridden out, a chip that never answers is given up.
  EXPECT_EQ(test::runIn(r.dir.path(), "timeout 20 ./zlg_host").second,
            "scl=29970 scan=7 hex=00001234 mixed=AF000987 retried=1,5,3 gaveup=2,20,15");
}

// The bus rate follows the project's crystal, written into the driver when
// the project is generated: SCL stays under the chip's 32 kHz on every
// crystal of the list, and above half of it.
TEST(BusHostDrivers, Zlg7290SclFollowsEveryCrystal) {
  if (!test::haveProgram("cc")) GTEST_SKIP() << "no host C compiler";
  for (const std::string& mhz : crystalItems()) {
    SCOPED_TRACE(mhz);
    BusRun r("ATMega16", mhz);
    r.cfg.TWI.Twi_zlg7290 = true;
    r.run(MakeTwiCode);
    r.run(MakeTwiAppCode);
    r.run(MakeDelayCode);
    test::writeBytes(r.path("iom16v.h"), avrTwiHardware);
    test::writeBytes(r.path("macros.h"), "#define SEI()\n#define CLI()\n");
    test::writeBytes(r.path("harness.c"), zlgHarness);
    const std::string hz = std::to_string(std::lround(std::stod(mhz) * 1e6));
    auto [built, log] =
        test::runIn(r.dir.path(), "cc -std=c99 -Wall -Werror -Wno-unknown-pragmas -I. -DXTAL=" + hz +
                                "UL -o zlg_host harness.c zlg7290.c");
    ASSERT_EQ(built, 0) << log;
    const std::string out = test::runIn(r.dir.path(), "timeout 20 ./zlg_host").second;
    ASSERT_EQ(out.rfind("scl=", 0), 0u) << out;
    const long scl = std::stol(out.substr(4));
    EXPECT_LE(scl, 32000);
    EXPECT_GE(scl, 16000);
  }
}

// --------------------------------------------------------------- SD card --

// An SD card in SPI mode behind CS (PB4, low = selected): command frames in,
// R1/R3/R7 answers, single-block reads and writes with their tokens. Three
// kinds: "hc" (version 2, sector addressing), "sc" (version 1, byte
// addressing, no CMD8) and "mmc" (no ACMD41, started with CMD1).
const char* sdHarness = R"(#include <stdio.h>
#include <string.h>
#include "iom16v.h"
#include "sd.h"
#include "fat.h"
unsigned char PORTB, DDRB, SPCR;
static unsigned char data, status_byte, touched;
static const char *kind = "hc";
static unsigned char card[8][512];
static unsigned char cmd[6], out[600], block[514];
static int cmd_len, out_len, out_pos, idle = 1, app, polls, writing, got;
static long written_sector = -1;

static void queue(unsigned char b) { out[out_len++] = b; }

static void command(void)
{
   unsigned char index = cmd[0] & 0x3F;
   unsigned long arg = ((unsigned long)cmd[1] << 24) | ((unsigned long)cmd[2] << 16) | ((unsigned long)cmd[3] << 8) | cmd[4];
   int hc = !strcmp(kind, "hc"), mmc = !strcmp(kind, "mmc"), was_app = app;
   unsigned long sector = hc ? arg : arg / 512;
   int i;
   app = 0;
   queue(0xFF);                                    /* NCR */
   if(index == 0) { idle = 1; queue(0x01); return; }
   if(index == 8)
   {
      if(!hc) { queue(0x05); return; }             /* illegal: version 1 card */
      queue(0x01); queue(0x00); queue(0x00); queue(0x01); queue(0xAA);
      return;
   }
   if(index == 55) { if(mmc) { queue(0x05); return; } app = 1; queue(idle); return; }
   if(index == 41 && was_app)
   {
      if(hc && !(arg & 0x40000000UL)) { queue(0x01); return; }   /* SDHC needs HCS */
      if(++polls > 3) idle = 0;
      queue(idle);
      return;
   }
   if(index == 1 && mmc) { if(++polls > 3) idle = 0; queue(idle); return; }
   if(idle) { queue(0x05); return; }
   if(index == 58) { queue(0x00); queue(hc ? 0xC0 : 0x80); queue(0xFF); queue(0x80); queue(0x00); return; }
   if(index == 16) { queue(arg == 512 ? 0x00 : 0x40); return; }
   if((index == 17 || index == 24) && (sector >= 8 || (!hc && arg % 512))) { queue(0x20); return; }
   if(index == 17)
   {
      queue(0x00); queue(0xFF); queue(0xFF); queue(0xFE);
      for(i = 0; i < 512; i++) queue(card[sector][i]);
      queue(0x12); queue(0x34);
      return;
   }
   if(index == 24) { queue(0x00); writing = 1; got = -1; written_sector = (long)sector; return; }
   queue(0x04);
}

static unsigned char exchange(unsigned char in)
{
   unsigned char reply = out_pos < out_len ? out[out_pos++] : 0xFF;
   if(out_pos == out_len) out_pos = out_len = 0;
   if(!strcmp(kind, "absent")) return 0xFF;
   if(writing)
   {
      if(got < 0) { if(in == 0xFE) got = 0; return reply; }
      block[got++] = in;
      if(got == 514)
      {
         memcpy(card[written_sector], block, 512);
         writing = 0;
         queue(0xE5); queue(0x00); queue(0x00); queue(0x00);
      }
      return reply;
   }
   if(cmd_len || (in & 0xC0) == 0x40)
   {
      cmd[cmd_len++] = in;
      if(cmd_len == 6) { cmd_len = 0; command(); }
   }
   return reply;
}

unsigned char *spi_data(void) { touched = 1; return &data; }
unsigned char *spi_status(void)
{
   if(touched && !(PORTB & (1 << 4)) && (SPCR & (1 << SPE)))
      data = exchange(data);
   touched = 0;
   status_byte = 0x80;
   return &status_byte;
}

int main(int argc, char **argv)
{
   int s, i, stored = 1;
   unsigned char init;
   kind = argc > 1 ? argv[1] : "hc";
   for(s = 0; s < 8; s++)
      for(i = 0; i < 512; i++)
         card[s][i] = (unsigned char)(s * 7 + i);
   init = SD_Init();
   printf("init=%d", init);
   if(init) return 0;
   printf(" fast=%d", !(SPCR & 0x03));
   printf(" read=%d", SD_Read_Block(3UL * 512));
   printf(",%d,%d", BUFFER[0], BUFFER[511]);
   memset(BUFFER, 0x5A, sizeof BUFFER);
   printf(" write=%d", SD_Write_Block(5UL * 512));
   for(i = 0; i < 512; i++) stored &= card[5][i] == 0x5A;
   printf(",%d,%d", stored, card[4][0]);
   printf(" outside=%d", SD_Read_Block(9UL * 512));
   return 0;
}
)";

TEST(BusHostDrivers, SdCardStartsReadsAndWritesEveryKindOfCard) {
  if (!test::haveProgram("cc")) GTEST_SKIP() << "no host C compiler";
  BusRun r;
  r.cfg.SPI.Spi_master = true;
  r.cfg.SPI.Spi_sd = true;
  r.run(MakeSpiCode);
  r.run(MakeSpiAppCode);
  r.run(MakeDelayCode);
  test::writeBytes(r.path("iom16v.h"), std::string(avrSpiStandIn) + "#define SPR1 1\n");
  test::writeBytes(r.path("macros.h"), "");
  test::writeBytes(r.path("harness.c"), sdHarness);
  auto [built, log] = test::runIn(r.dir.path(), "cc -std=c99 -Wall -Werror -I. -o sd_host harness.c sd.c delay.c");
  ASSERT_EQ(built, 0) << log;
  // Sector 3 starts with 21 and ends with (21 + 511) mod 256; sector 4 stays.
  const std::string good = " fast=1 read=0,21,20 write=0,1,28 outside=4";
  struct Case {
    const char* kind;
    std::string expected;
  };
  for (const Case& c : {Case{"hc", "init=0" + good}, Case{"sc", "init=0" + good},
                        Case{"mmc", "init=0" + good}, Case{"absent", "init=1"}}) {
    EXPECT_EQ(test::runIn(r.dir.path(), std::string("timeout 60 ./sd_host ") + c.kind).second, c.expected)
        << c.kind;
  }
}

}  // namespace
}  // namespace tamberlo
