// The chip drivers' logic, run on the host: the driver sources are compiled
// with the host C compiler against stand-ins for the AVR registers and the
// neighbouring modules, then fed data whose right answer is known.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bus_test_support.h"
#include "gen/bus/bus_generators.h"

namespace tamberlo {
namespace {

using test::BusRun;

bool haveHostCc() { return std::system("cc --version >/dev/null 2>&1") == 0; }

std::pair<int, std::string> runIn(const std::string& dir, const std::string& cmd) {
  std::string full = "cd '" + dir + "' && " + cmd + " 2>&1";
  std::string out;
  FILE* p = popen(full.c_str(), "r");
  if (!p) return {-1, "popen failed"};
  char buf[512];
  while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  return {pclose(p), out};
}

// ---------------------------------------------------------------- FAT16 --

// A small FAT16 volume: 512-byte sectors, two sectors a cluster, two FATs
// of one sector, a root folder of 32 entries (two sectors).
struct Fat16Image {
  std::vector<unsigned char> bytes;
  unsigned boot = 0;  // first sector of the volume
  unsigned fat() const { return boot + 1; }
  unsigned root() const { return boot + 3; }
  unsigned cluster(unsigned n) const { return boot + 5 + (n - 2) * 2; }

  explicit Fat16Image(unsigned bootSector) : bytes((bootSector + 5 + 20 * 2) * 512, 0), boot(bootSector) {
    if (boot) {  // partition table with one FAT16 partition
      bytes[0x1C2] = 0x06;
      put32(0x1C6, boot);
      bytes[510] = 0x55, bytes[511] = 0xAA;
    }
    size_t b = boot * 512;
    bytes[b] = 0xEB, bytes[b + 1] = 0x3C, bytes[b + 2] = 0x90;
    put16(b + 11, 512);
    bytes[b + 13] = 2;      // sectors a cluster
    put16(b + 14, 1);       // reserved sectors
    bytes[b + 16] = 2;      // FATs
    put16(b + 17, 32);      // root entries
    put16(b + 22, 1);       // sectors a FAT
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
  if (!haveHostCc()) GTEST_SKIP() << "no host C compiler";
  BusRun r;
  r.cfg.SPI.Spi_sd = true;
  r.run(MakeSpiAppCode);
  test::writeBytes(r.path("iom16v.h"), "");
  test::writeBytes(r.path("macros.h"), "");
  test::writeBytes(r.path("harness.c"), fatHarness);
  auto [built, log] = runIn(r.dir.path(), "cc -std=c99 -Wall -Werror -I. -o fat_host harness.c fat.c");
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
    img.entry(0, "CARD       ", 0x08, 0, 0);           // volume label
    img.entry(1, "\xE5ONE    TXT", 0x20, 7, 100);      // deleted
    img.entry(2, "AHELLO  TXT", 0x0F, 0, 0);           // long-name part
    img.entry(3, "DIR        ", 0x10, 8, 0);
    img.entry(4, "HELLO   TXT", 0x20, 2, text.size());
    img.entry(5, "SHORT   BIN", 0x20, 4, 10);
    img.entry(6, "EMPTY      ", 0x20, 0, 0);
    img.fill({2, 5, 3}, text);
    img.fill({4}, "0123456789");
    test::writeBytes(r.path("card.img"), std::string(img.bytes.begin(), img.bytes.end()));
    auto [status, out] = runIn(r.dir.path(), std::string("./fat_host card.img ") + c.open + " out.bin");
    EXPECT_EQ(out, c.result);
    EXPECT_EQ(test::readBytes(r.path("out.bin")), c.content);
  }

  // A card that is not FAT16 is refused, not misread.
  Fat16Image fat32(0);
  fat32.put16(17, 0);  // no fixed root folder
  test::writeBytes(r.path("card.img"), std::string(fat32.bytes.begin(), fat32.bytes.end()));
  EXPECT_EQ(runIn(r.dir.path(), "./fat_host card.img HELLO.TXT out.bin").second, "init=2 open=9");
}

}  // namespace
}  // namespace tamberlo
