// SPDX-License-Identifier: GPL-3.0-or-later
// The SPI, TWI, ADC and comparator generators: whole files against golden
// copies, and the behaviour around them (preview, NeedDelay, library calls).
#include "app/crystal.h"
#include "assembly/editor.h"
#include "gen/bus/bus_generators.h"

#include <sys/stat.h>

#include <algorithm>
#include <sstream>

#include "bus_test_support.h"
#include "gen/banners.h"
#include "modlib/modlib.h"
#include "platform/error.h"

namespace tamberlo {
namespace {

using test::BusRun;

TEST(BusGolden, SpiDriverForEachPinOrderAndMode) {
  struct Case {
    const char* mcu;
    bool master;
    int spcr, spsr;
    const char* golden;  // stem below bus/
  };
  const Case cases[] = {
      {"ATMega16", true, 0x5D, 0x01, "spi_master_mega16"},
      {"ATMega8", false, 0x05, 0x00, "spi_slave_mega8"},
      {"ATMega128", true, 0x50, 0x00, "spi_master_mega128"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.golden);
    BusRun r(c.mcu);
    r.cfg.SPI.Spi_master = c.master;
    r.regs.SPCR = c.spcr;
    r.regs.SPSR = c.spsr;
    r.run(MakeSpiCode);
    test::expectMatchesGolden(r.path("spi.c"), std::string("bus/") + c.golden + ".c");
    test::expectMatchesGolden(r.path("spi.h"), std::string("bus/") + c.golden + ".h");
  }
}

TEST(BusGolden, TwiDriverStartValuesPinlessDeviceAndZlgPragma) {
  BusRun start("ATMega16");
  start.run(MakeTwiCode);
  test::expectMatchesGolden(start.path("twi.c"), "bus/twi_mega16.c");
  test::expectMatchesGolden(start.path("twi.h"), "bus/twi_mega16.h");

  BusRun pinless("ATMega8515");
  pinless.run(MakeTwiCode);
  test::expectMatchesGolden(pinless.path("twi.h"), "bus/twi_mega8515.h");

  BusRun zlg("ATMega128");
  zlg.cfg.TWI.Twi_zlg7290 = true;
  zlg.regs.TWBR = 0x20;
  zlg.regs.TWSR = 0x01;
  zlg.regs.TWAR = 0x02;
  zlg.run(MakeTwiCode);
  test::expectMatchesGolden(zlg.path("twi.h"), "bus/twi_mega128_zlg7290.h");
  test::expectMatchesGolden(zlg.path("twi.c"), "bus/twi_mega128.c");
}

TEST(BusGolden, ChipHeaders) {
  BusRun spi;
  spi.cfg.SPI.Spi_ds1302 = spi.cfg.SPI.Spi_sd = true;
  spi.run(MakeSpiAppCode);
  for (const char* h : {"ds1302.h", "sd.h"}) test::expectMatchesGolden(spi.path(h), std::string("bus/") + h);

  BusRun twi;
  auto& t = twi.cfg.TWI;
  t.Twi_at24 = t.Twi_sd2k = t.Twi_ds1307 = t.Twi_zlg7290 = t.Twi_tea5767 = true;
  twi.regs.TWBR = 0x48;
  twi.run(MakeTwiAppCode);
  for (const char* h : {"at24cxx.h", "sd2000.h", "ds1307.h", "zlg7290.h", "tea5767.h"}) {
    test::expectMatchesGolden(twi.path(h), std::string("bus/") + h);
  }
}

TEST(BusGolden, AnalogSkeletonsOnMega128) {
  BusRun r("ATMega128", "11.0592");
  r.run(MakeAdcCode);
  r.run(MakeAcpCode);
  for (const char* f : {"adc.c", "adc.h", "acp.c", "acp.h"})
    test::expectMatchesGolden(r.path(f), std::string("bus/") + f);
}

TEST(SpiDriver, RegisterBytesAndUnknownDevice) {
  struct Case {
    int spcr;
    const char* text;
  };
  for (Case c : {Case{0x5D, "   SPCR = 0x5D;"}, Case{5, "   SPCR = 0x05;"}, Case{0xFF, "   SPCR = 0xFF;"}}) {
    BusRun r;
    r.cfg.SPI.Spi_master = true;
    r.regs.SPCR = c.spcr;
    r.run(MakeSpiCode);
    auto lines = r.lines("spi.c");
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
      return l.rfind(c.text, 0) == 0;
    })) << c.text;
  }

  // A typed MCU name: no pin lines, no device include, still a whole driver.
  BusRun typed("Mega16");
  typed.run(MakeSpiCode);
  auto h = typed.lines("spi.h");
  EXPECT_EQ(std::count_if(h.begin(), h.end(), [](auto& l) { return l.rfind("#define\tDD_", 0) == 0; }), 0);
  auto c = typed.lines("spi.c");
  EXPECT_EQ(c[10], "#include \"spi.h\"");
  EXPECT_EQ(std::count(h.begin(), h.end(), "#define\tSPI_Init() SPI_SlaveInit()"), 1);
}

TEST(SpiDriver, ModeSwitchesEveryNameButNotThePins) {
  BusRun master, slave;
  master.cfg.SPI.Spi_master = true;
  master.run(MakeSpiCode);
  slave.run(MakeSpiCode);
  auto mh = master.lines("spi.h"), sh = slave.lines("spi.h");
  EXPECT_TRUE(std::equal(mh.begin(), mh.begin() + 11, sh.begin()));  // guard, ports, pins
  std::string mc, sc;
  for (auto& l : master.lines("spi.c")) mc += l + "\n";
  for (auto& l : slave.lines("spi.c")) sc += l + "\n";
  EXPECT_EQ(mc.find("Slave"), std::string::npos);
  EXPECT_EQ(sc.find("Master"), std::string::npos);
  EXPECT_NE(mc.find("(1<<DD_MOSI)|(1<<DD_SS)|(1<<DD_SCK)"), std::string::npos);
  EXPECT_NE(sc.find("(1<<DD_MISO)|(1<<DD_SS)|(1<<DD_SCK)"), std::string::npos);
}

TEST(BusGenerators, PreviewShowsTheMainSourceOnlyForSpiAndTwi) {
  BusRun r;
  r.preview = {"old"};
  r.run(MakeSpiCode);
  EXPECT_EQ(r.preview, r.lines("spi.c"));
  r.run(MakeTwiCode);
  EXPECT_EQ(r.preview, r.lines("twi.c"));
  r.preview = {"old"};
  r.run(MakeAdcCode);
  r.run(MakeAcpCode);
  EXPECT_EQ(r.preview, std::vector<std::string>{"old"});
}

TEST(BusGenerators, NeedDelayIsSetOnlyByCodeThatWaits) {
  struct Case {
    const char* what;
    void (*tick)(ProjectConfig&);
    Generator g;
    bool expected;
  };
  const Case cases[] = {
      {"spi driver", [](ProjectConfig&) {}, MakeSpiCode, false},
      {"spi, no chip", [](ProjectConfig&) {}, MakeSpiAppCode, false},
      {"ds1302", [](ProjectConfig& c) { c.SPI.Spi_ds1302 = true; }, MakeSpiAppCode, true},
      {"sd", [](ProjectConfig& c) { c.SPI.Spi_sd = true; }, MakeSpiAppCode, true},
      {"twi driver", [](ProjectConfig&) {}, MakeTwiCode, true},
      {"twi, no chip", [](ProjectConfig&) {}, MakeTwiAppCode, false},
      {"at24cxx", [](ProjectConfig& c) { c.TWI.Twi_at24 = true; }, MakeTwiAppCode, true},
      {"sd2000", [](ProjectConfig& c) { c.TWI.Twi_sd2k = true; }, MakeTwiAppCode, true},
      {"ds1307", [](ProjectConfig& c) { c.TWI.Twi_ds1307 = true; }, MakeTwiAppCode, true},
      {"zlg7290", [](ProjectConfig& c) { c.TWI.Twi_zlg7290 = true; }, MakeTwiAppCode, true},
      {"tea5767", [](ProjectConfig& c) { c.TWI.Twi_tea5767 = true; }, MakeTwiAppCode, true},
      {"adc", [](ProjectConfig&) {}, MakeAdcCode, false},
      {"acp", [](ProjectConfig&) {}, MakeAcpCode, false},
  };
  for (const Case& c : cases) {
    BusRun r;
    c.tick(r.cfg);
    r.run(c.g);
    EXPECT_EQ(r.needDelay, c.expected) << c.what;
    // A generator never clears the flag.
    BusRun set;
    c.tick(set.cfg);
    set.needDelay = true;
    set.run(c.g);
    EXPECT_TRUE(set.needDelay) << c.what;
  }
}

// Every library source starts with the banner buffer: exactly one test
// banner (the buffer is emptied between modules), then the template.
TEST(BusGenerators, EachLibrarySourceGetsExactlyOneTestBanner) {
  BusRun r("ATMega32", "8.0000");
  r.cfg.SPI.Spi_ds1302 = r.cfg.SPI.Spi_sd = true;
  auto& t = r.cfg.TWI;
  t.Twi_at24 = t.Twi_sd2k = t.Twi_ds1307 = t.Twi_zlg7290 = t.Twi_tea5767 = true;
  r.run(MakeSpiAppCode);
  r.run(MakeTwiAppCode);

  TextBuffer banner;
  AddTestBanner(banner, r.cfg);
  ASSERT_EQ(banner.size(), 11u);
  EXPECT_EQ(banner[10], "#include <iom32v.h>");
  for (const char* src :
       {"ds1302.c", "sd.c", "fat.c", "at24cxx.c", "sd2000.c", "ds1307.c", "zlg7290.c", "tea5767.c"}) {
    SCOPED_TRACE(src);
    auto lines = r.lines(src);
    ASSERT_GT(lines.size(), banner.size());
    EXPECT_TRUE(std::equal(banner.lines().begin(), banner.lines().end(), lines.begin()));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), banner[1]), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "#include <iom32v.h>"), 1);
  }
  // Headers the library writes carry no banner.
  EXPECT_EQ(r.lines("fat.h")[0], "#ifndef\t__FAT__H");
}

// The drivers time their waits from the project's crystal, written in as a
// whole number of Hz; a text that is no frequency takes the calculators' one.
TEST(BusGenerators, CrystalIsWrittenIntoEveryTimedDriver) {
  struct Case {
    const char* text;
    unsigned long hz;
  };
  for (const Case& c :
       {Case{"7.3728", 7372800}, Case{"16.0000", 16000000}, Case{"1.8432", 1843200}, Case{"20", 20000000},
        Case{"0.0000", 4000000}, Case{"fast", 4000000}, Case{"7.3.7", 4000000}, Case{"", 4000000}}) {
    EXPECT_EQ(crystalHz(c.text, 4.0), c.hz) << c.text;
  }
  BusRun r("ATMega32", "14.7456");
  r.cfg.SPI.Spi_ds1302 = r.cfg.SPI.Spi_sd = true;
  auto& t = r.cfg.TWI;
  t.Twi_at24 = t.Twi_sd2k = t.Twi_ds1307 = t.Twi_zlg7290 = t.Twi_tea5767 = true;
  r.run(MakeSpiAppCode);
  r.run(MakeTwiAppCode);
  for (const char* src :
       {"ds1302.c", "sd.c", "at24cxx.c", "sd2000.c", "ds1307.c", "zlg7290.c", "tea5767.c"}) {
    auto lines = r.lines(src);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) {
                              return l.rfind("#define XTAL_HZ ", 0) == 0 &&
                                     l.find(" 14745600UL ") != std::string::npos;
                            }),
              1)
        << src;
  }
}

TEST(BusGenerators, NoChipTickedWritesNothing) {
  BusRun r;
  r.run(MakeSpiAppCode);
  r.run(MakeTwiAppCode);
  EXPECT_TRUE(test::listFiles(r.dir.path()).empty());
}

TEST(BusGenerators, FilesOfEachRun) {
  struct Case {
    const char* what;
    void (*tick)(ProjectConfig&);
    Generator g;
    std::vector<std::string> files;
  };
  const Case cases[] = {
      {"spi", [](ProjectConfig&) {}, MakeSpiCode, {"spi.c", "spi.h"}},
      {"ds1302", [](ProjectConfig& c) { c.SPI.Spi_ds1302 = true; }, MakeSpiAppCode, {"ds1302.c", "ds1302.h"}},
      {"sd",
       [](ProjectConfig& c) { c.SPI.Spi_sd = true; },
       MakeSpiAppCode,
       {"fat.c", "fat.h", "sd.c", "sd.h"}},
      {"twi", [](ProjectConfig&) {}, MakeTwiCode, {"twi.c", "twi.h"}},
      {"tea5767",
       [](ProjectConfig& c) { c.TWI.Twi_tea5767 = true; },
       MakeTwiAppCode,
       {"tea5767.c", "tea5767.h"}},
      {"adc", [](ProjectConfig&) {}, MakeAdcCode, {"adc.c", "adc.h"}},
      {"acp", [](ProjectConfig&) {}, MakeAcpCode, {"acp.c", "acp.h"}},
  };
  for (const Case& c : cases) {
    BusRun r;
    c.tick(r.cfg);
    r.run(c.g);
    EXPECT_EQ(test::listFiles(r.dir.path()), c.files) << c.what;
  }
}

TEST(BusGenerators, DeviceChoiceReachesOnlyWhatItShould) {
  // The DS1302 pin macros name the pins spi.h gives the device's SPI port
  // (the golden ds1302.h holds the ATMega16's).
  for (const char* mcu : {"ATMega16", "ATMega8", "ATMega8515", "ATMega64", "ATMega128"}) {
    BusRun r(mcu);
    r.cfg.SPI.Spi_ds1302 = true;
    r.run(MakeSpiCode);
    r.run(MakeSpiAppCode);
    auto value = [](const std::vector<std::string>& lines, const std::string& name) {
      for (const auto& l : lines) {
        if (l.rfind("#define", 0) == 0 && l.find(name) != std::string::npos) {
          std::istringstream in(l.substr(7 + l.substr(7).find(name) + name.size()));
          int v = -1;
          in >> v;
          return v;
        }
      }
      return -1;
    };
    auto spi = r.lines("spi.h"), rtc = r.lines("ds1302.h");
    for (auto [pin, port] : {std::pair{"DS1302_CE", "DD_SS"},
                             {"DS1302_MOSI", "DD_MOSI"},
                             {"DS1302_MISO", "DD_MISO"},
                             {"DS1302_SCK", "DD_SCK"}}) {
      EXPECT_EQ(value(rtc, pin), value(spi, port)) << mcu << " " << pin;
      EXPECT_NE(value(rtc, pin), -1) << mcu << " " << pin;
    }
  }
  // sd2000.h prints TWBR with two digits at least.
  BusRun one;
  one.cfg.TWI.Twi_sd2k = true;
  one.regs.TWBR = 1;
  one.run(MakeTwiAppCode);
  auto h = one.lines("sd2000.h");
  EXPECT_EQ(std::count(h.begin(), h.end(), "#define TWBR_SELECT       0x01"), 1);
  // The ADC page's options never reach adc.c.
  BusRun plain("ATMega16"), busy("ATMega16");
  busy.cfg.Adc_en = busy.cfg.Adc_free = busy.cfg.Adc_int = true;
  busy.cfg.Adc_mux.text = "ADC3  1";
  busy.cfg.Acp_int = busy.cfg.Acp_bg = true;
  for (BusRun* r : {&plain, &busy}) {
    r->run(MakeAdcCode);
    r->run(MakeAcpCode);
  }
  for (const char* f : {"adc.c", "adc.h", "acp.c", "acp.h"}) EXPECT_EQ(plain.lines(f), busy.lines(f)) << f;
}

TEST(BusGenerators, RegisteredUnderTheirNames) {
  wireGenerators();
  for (const char* name :
       {"MakeSpiCode", "MakeSpiAppCode", "MakeTwiCode", "MakeTwiAppCode", "MakeAdcCode", "MakeAcpCode"}) {
    EXPECT_NE(findGenerator(name), nullptr) << name;
  }
}

TEST(BusGenerators, UnwritableFolderIsAnErrorNamingTheFile) {
  BusRun r;
  r.cfg.TWI.Twi_at24 = true;
  std::string missing = r.dir.path() + "no/such/folder/";
  GenContext ctx{r.cfg, r.regs, missing, r.needDelay, r.preview, {}, {}, {}};
  for (Generator g : {MakeSpiCode, MakeTwiCode, MakeTwiAppCode, MakeAdcCode}) {
    try {
      g(ctx);
      writeGeneratedFiles(missing, ctx.files);
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find("no/such/folder/"), std::string::npos) << e.what();
    }
  }
  // The preview was filled before the failing write.
  EXPECT_FALSE(r.preview.empty());
}

}  // namespace
}  // namespace tamberlo
