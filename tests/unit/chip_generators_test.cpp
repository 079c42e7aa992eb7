// SPDX-License-Identifier: GPL-3.0-or-later
// The DS18B20, CH375 and MP3 generators: whole files against golden copies,
// the files each chip text writes, and the wiring they refuse or warn about.
#include "gen/chips/chip_generators.h"

#include "bus_test_support.h"
#include "platform/error.h"

namespace tamberlo {
namespace {

using test::BusRun;

void setPins(auto& slots, std::initializer_list<const char*> texts) {
  size_t i = 0;
  for (const char* t : texts) slots[i++].Text = t;
}

TEST(ChipGolden, Ds18b20SourceAndHeaders) {
  BusRun r;
  r.cfg.OtherAPP.OneWire_use = r.cfg.OtherAPP.Ds18b20_use = true;
  r.cfg.OtherAPP.Ds18b20_port.text = "PORTC";
  r.cfg.OtherAPP.Ds18b20_portno = 5;
  r.run(MakeOneWireCode);
  EXPECT_TRUE(r.needDelay);
  EXPECT_TRUE(r.warnings.empty());
  test::expectMatchesGolden(r.path("ds18b20.c"), "chips/ds18b20.c");
  test::expectMatchesGolden(r.path("ds18b20.h"), "chips/ds18b20.h");

  BusRun f("ATMega128", "16.0000");
  f.cfg.OtherAPP.OneWire_use = f.cfg.OtherAPP.Ds18b20_use = true;
  f.cfg.OtherAPP.Ds18b20_port.text = "PORTF";
  f.cfg.OtherAPP.Ds18b20_portno = 7;
  f.run(MakeOneWireCode);
  auto h = f.lines("ds18b20.h");
  EXPECT_EQ(std::vector<std::string>(h.begin() + 4, h.begin() + 8),
            (std::vector<std::string>{"#define DS18B20_O PORTF", "#define DS18B20_I PINF",
                                      "#define DS18B20_C DDRF", "#define DS18B20_L PF7"}));
  auto c = f.lines("ds18b20.c");
  EXPECT_NE(std::find(c.begin(), c.end(), "#define DS18B20_CRYSTAL_KHZ   16000"), c.end());
}

TEST(ChipGolden, Ch375HeaderLibraryAndArchive) {
  BusRun r("ATMega128");
  r.cfg.USB.Usb_use = true;
  r.cfg.USB.Data_io.text = "PORTA";
  setPins(r.cfg.USB.pins, {"PC4", "PC3", "PC2", "PC0", "PC1", "PD2"});  // RST WR RD CS A0 INT
  r.run(MakeUsbCode);
  EXPECT_TRUE(r.needDelay);
  EXPECT_TRUE(r.warnings.empty()) << r.warnings.front();
  test::expectMatchesGolden(r.path("ch375.h"), "chips/ch375.h");
  EXPECT_EQ(test::readBytes(r.path("CH375HFB.A")), "!<arch>\n");
  EXPECT_EQ(test::listFiles(r.dir.path()),
            (std::vector<std::string>{"CH375HFB.A", "CH375HFB.H", "ch375.c", "ch375.h"}));
  EXPECT_EQ(r.lines("ch375.c").at(0), "/*--------------------------------------------------*/");
}

TEST(ChipGolden, Vs1003HeaderAndSta013) {
  BusRun r("ATMega128");
  r.cfg.OtherAPP.MP3_use = true;
  setPins(r.cfg.OtherAPP.pins, {"PB0", "PB1", "PB2", "PB3"});
  r.cfg.SPI.Spi_use = r.cfg.SPI.Spi_master = true;
  r.cfg.USB.Usb_use = true;
  r.cfg.LCD.Lcd_use = true;
  r.cfg.LCD.Lcd_type.text = "LCD2004";
  r.run(MakeMp3Code);
  EXPECT_TRUE(r.warnings.empty()) << r.warnings.front();
  test::expectMatchesGolden(r.path("vs1003.h"), "chips/vs1003.h");
  EXPECT_EQ(test::listFiles(r.dir.path()), (std::vector<std::string>{"vs1003.c", "vs1003.h"}));

  BusRun s;
  s.cfg.OtherAPP.MP3_use = true;
  s.cfg.OtherAPP.MP3_chip.text = "STA013";
  s.run(MakeMp3Code);
  EXPECT_TRUE(s.needDelay);
  EXPECT_EQ(test::listFiles(s.dir.path()), std::vector<std::string>{"sta013.c"});
}

// Switches and chip texts that write nothing leave NeedDelay alone.
TEST(ChipGenerators, NothingForUnticksAndUnknownChips) {
  BusRun oneWireOnly;
  oneWireOnly.cfg.OtherAPP.OneWire_use = true;
  oneWireOnly.run(MakeOneWireCode);
  BusRun usb;
  usb.cfg.USB.Usb_chip.text = "CH376";
  usb.run(MakeUsbCode);
  BusRun mp3;
  mp3.cfg.OtherAPP.MP3_chip.text = "VS1053";
  mp3.run(MakeMp3Code);
  for (BusRun* r : {&oneWireOnly, &usb, &mp3}) {
    EXPECT_FALSE(r->needDelay);
    EXPECT_TRUE(test::listFiles(r->dir.path()).empty());
  }
}

// A pin that no header can be built from stops the run naming the signal;
// wiring the chip lacks is written but warned about.
TEST(ChipGenerators, BadPinsFailAndMissingWiringWarns) {
  BusRun empty;
  setPins(empty.cfg.USB.pins, {"PC4", "PC3", "", "PC0", "PC1", "PD2"});
  try {
    empty.run(MakeUsbCode);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "USB CH375: the RD signal has no pin; choose one in the pin list");
  }
  BusRun typed;
  setPins(typed.cfg.OtherAPP.pins, {"PB0", "B\x01", "PB2", "PB3"});
  EXPECT_THROW(typed.run(MakeMp3Code), Error);
  EXPECT_TRUE(test::listFiles(typed.dir.path()).empty());

  BusRun mega8("ATMega8515");
  mega8.cfg.USB.Data_io.text = "PORTE";
  setPins(mega8.cfg.USB.pins, {"PC4", "PC3", "PC2", "PC0", "PC1", "PD2"});
  mega8.run(MakeUsbCode);
  EXPECT_EQ(mega8.warnings,
            (std::vector<std::string>{
                "USB CH375: ATMega8515 has no full port E for the data bus",
                "USB CH375: the file layer needs about 700 bytes of RAM for its sector buffer and "
                "file name; ATMega8515 has 512 bytes, so the project will not link"}));

  BusRun vs("ATMega16");
  setPins(vs.cfg.OtherAPP.pins, {"PB0", "PB1", "PB2", "PB3"});
  vs.run(MakeMp3Code);
  // SPI master, CH375 and a character LCD; the keys on port E are main.c's.
  ASSERT_EQ(vs.warnings.size(), 3u);
  EXPECT_EQ(vs.warnings[1],
            "MP3 VS1003: the playback demo reads its songs through the CH375 file layer; "
            "tick USB with the CH375, or main.c will not build");

  BusRun ow("ATMega8");
  ow.cfg.OtherAPP.OneWire_use = ow.cfg.OtherAPP.Ds18b20_use = true;
  ow.run(MakeOneWireCode);
  EXPECT_EQ(ow.warnings,
            std::vector<std::string>{"DS18B20: ATMega8 has no pin PA0; choose another 1-Wire pin (the project will not build as wired)"});
}

}  // namespace
}  // namespace tamberlo
