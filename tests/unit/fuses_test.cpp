// SPDX-License-Identifier: GPL-3.0-or-later
// Fuses for a real chip and the pins a real board does not leave free.
#include <gtest/gtest.h>

#include "app/device_catalogue.h"
#include "app/fuses.h"
#include "app/virtual_board.h"
#include "editor_test_support.h"
#include "registers/register_view.h"
#include "settings/act_file.h"

namespace tamberlo {
namespace {

// The bytes as the datasheets give them, not as the code builds them.
// Low byte, all seven chips: BODLEVEL BODEN SUT1 SUT0 CKSEL3..0. Kept: BODLEVEL
// = BODEN = 1 (as shipped). Crystal, slowly rising power: CKSEL0 = 1, SUT = 11.
// CKSEL3..1: 101 for 0.4-0.9 MHz (0xFB), 110 for 0.9-3.0 (0xFD), 111 for 3.0-8.0
// and for any crystal with CKOPT programmed (0xFF). A boundary belongs to the
// upper range.
// High byte: bit 7 RSTDISBL (8) / S8515C / S8535C / OCDEN (16..128), bit 6
// WDTON (8, 8515, 8535) / JTAGEN (16..128), all 1; SPIEN 0; CKOPT 1 up to
// 8 MHz, 0 above; EESAVE 1; BOOTSZ1..0 = 00 as shipped; BOOTRST 1. So 0xD9
// up to 8 MHz and 0xC9 above, on every chip (the factory 0x99 of the
// ATmega16..128 differs in JTAGEN alone).
// Extended byte of the ATmega64/128: bits 7..2 unused (1), M103C 1 (factory
// 0), WDTON 1: 0xFF against the factory 0xFD.
TEST(Fuses, BytesFromTheDatasheetsAtTheEdgesOfEachCrystalRange) {
  struct Edge {
    const char* mhz;
    int low, high;
    bool warned;
  };
  const Edge edges[] = {
      {"0.3", 0xFB, 0xD9, true},       // below every crystal range
      {"0.4", 0xFB, 0xD9, true},       // 0.4-0.9: ceramic resonators only
      {"0.8999", 0xFB, 0xD9, true},
      {"0.9", 0xFD, 0xD9, false},      // 0.9-3.0
      {"1.0000", 0xFD, 0xD9, false},
      {"2.9999", 0xFD, 0xD9, false},
      {"3.0", 0xFF, 0xD9, false},      // 3.0-8.0
      {"3.6864", 0xFF, 0xD9, false},
      {"8.0000", 0xFF, 0xD9, false},
      {"8.000001", 0xFF, 0xC9, false}, // CKOPT programmed
      {"11.0592", 0xFF, 0xC9, false},
      {"16.0000", 0xFF, 0xC9, false},  // the rated maximum of all seven
      {"16.000001", 0xFF, 0xC9, true},
      {"20", 0xFF, 0xC9, true},
  };
  for (const auto& chip : mcuNames()) {
    const bool wide = chip == "ATMega64" || chip == "ATMega128";
    for (const Edge& e : edges) {
      SCOPED_TRACE(chip + " at " + e.mhz + " MHz");
      const auto hz = crystalTextHz(e.mhz);
      ASSERT_TRUE(hz);
      const auto f = fusesFor(chip, *hz);
      ASSERT_TRUE(f);
      EXPECT_EQ(f->low, e.low);
      EXPECT_EQ(f->high, e.high);
      EXPECT_EQ(f->hasExtended, wide);
      if (wide) {
        EXPECT_EQ(f->extended, 0xFF);
      }
      EXPECT_EQ(!f->warnings.empty(), e.warned);
    }
  }
  EXPECT_EQ(*crystalTextHz("7.3728"), 7372800);
  for (const char* bad : {"", "abc", "0", "0.0", "1.2345678", ".5", "-1", "1e6"}) {
    EXPECT_FALSE(crystalTextHz(bad)) << bad;
  }
  EXPECT_FALSE(fusesFor("ATMega48", 8000000));
}

TEST(Fuses, EachBitIsExplainedInOneLine) {
  const auto f = fusesFor("ATMega128", 16000000);
  ASSERT_TRUE(f);
  const auto lines = describeFuses("ATMega128", *f);
  ASSERT_EQ(lines.size(), 1u + 8 + 8 + 2);
  EXPECT_EQ(lines[0], "ATMega128: low 0xFF, high 0xC9, extended 0xFF (lock bits untouched)");
  auto has = [&](const std::string& start) {
    for (const auto& l : lines) {
      if (l.rfind(start, 0) == 0) return true;
    }
    return false;
  };
  EXPECT_TRUE(has("hfuse bit 6  JTAGEN   1  JTAG off, so PF4-PF7 are port pins"));
  EXPECT_TRUE(has("hfuse bit 4  CKOPT    0  full-swing"));
  EXPECT_TRUE(has("efuse bit 1  M103C    1  ATmega103 compatibility off"));
  EXPECT_TRUE(has("lfuse bit 3  CKSEL3   1  external crystal oscillator, above 8 MHz"));
  const auto m8 = describeFuses("ATMega8", *fusesFor("ATMega8", 1000000));
  EXPECT_EQ(m8[0], "ATMega8: low 0xFD, high 0xD9 (lock bits untouched)");
}

void apply(EditorModel& m, const std::string& name, const std::string& value) {
  size_t dot = name.rfind('.');
  const ActRow* row = findActRow(name.substr(0, dot), name.substr(dot + 1));
  ASSERT_NE(row, nullptr) << name;
  applyActValue(m, *row, value);
}

TEST(Fuses, PinsTheBoardDoesNotLeaveFreeAreWarnedByName) {
  struct Case {
    const char* what;
    const char* mcu;  // mcutype index
    const char* e;    // the LCD1602's E, WR and R/S
    const char* wr;
    const char* rs;
    std::vector<const char*> warnings;  // a part of each expected warning, in order
  };
  const Case cases[] = {
      {"free pins", "0", "PC0", "PC1", "PC2", {}},
      {"XTAL1 of the ATMega8", "0", "PB6", "PC1", "PC2", {"LCD: E on PB6: PB6 of the ATMega8 is XTAL1"}},
      {"RESET of the ATMega8", "0", "PC0", "PC1", "PC6", {"LCD: R/S on PC6: PC6 of the ATMega8 is RESET"}},
      {"PC7 of the ATMega8", "0", "PC7", "PC1", "PC2",
       {"LCD: ATMega8 has no pin PC7 for E; the project will not build"}},
      {"PE5 of the ATMega8515", "1", "PE5", "PE1", "PE2",
       {"LCD: ATMega8515 has no pin PE5 for E; the project will not build"}},
      {"PG6 of the ATMega128", "6", "PB0", "PG6", "PG2",
       {"LCD: ATMega128 has no pin PG6 for WR; the project will not build"}},
      {"JTAG pins of the ATMega16", "3", "PC2", "PC3", "PB0",
       {"JTAG: LCD E on PC2, LCD WR on PC3 use PC2-PC5, which a new ATMega16 keeps for JTAG; they work once the "
        "fuses are written"}},
      {"JTAG pins of the ATMega64", "5", "PF7", "PB1", "PB0",
       {"ISP: LCD WR on PB1 shares PB1 (SCK)", "JTAG: LCD E on PF7 use PF4-PF7"}},
      {"no JTAG on the ATMega8535", "2", "PC2", "PC3", "PB0", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::StartedEditor e;
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"MCU.mcutype", c.mcu}, {"LCD.Lcd_use", "1"}, {"LCD.Lcd_type", "1"}, {"LCD.Data_io", "3"},
             {"LCD.Text1", c.e}, {"LCD.Text2", c.wr}, {"LCD.Text3", c.rs}}) {
      apply(*e, name, value);
    }
    e->run("BitBtn2Click");
    ASSERT_EQ(e->warnings().size(), c.warnings.size()) << (e->warnings().empty() ? "" : e->warnings()[0]);
    for (size_t i = 0; i < c.warnings.size(); ++i) {
      EXPECT_NE(e->warnings()[i].find(c.warnings[i]), std::string::npos) << e->warnings()[i];
    }
  }
}

TEST(Fuses, ATypedCrystalAboveTheRatingIsWarnedAndStillGenerated) {
  test::StartedEditor e;
  e->userType("ComboBox2", "20");
  e->run("BitBtn2Click");
  ASSERT_EQ(e->warnings().size(), 1u);
  EXPECT_NE(e->warnings()[0].find("Fuses: the crystal 20.0000 MHz is above the 16 MHz that ATMega16 is rated for"),
            std::string::npos)
      << e->warnings()[0];
  EXPECT_NE(test::readBytes(e.dir / "test/gcc/fuses.c").find(".high = 0xC9,"), std::string::npos);
}

TEST(Fuses, TheRegisterViewsFusePageFollowsChipAndCrystal) {
  test::StartedEditor e;  // ATMega16, 7.3728 MHz
  RegisterView v = fuseViewFor(*e);
  EXPECT_EQ(v.title, "熔丝位");
  ASSERT_EQ(v.rows.size(), 2u);
  EXPECT_EQ(v.rows[0].name, "LOW");
  EXPECT_EQ(v.rows[0].value, 0xFF);
  EXPECT_EQ(v.rows[1].value, 0xD9);
  EXPECT_EQ(v.rows[1].bits, (std::vector<std::string>{"OCDEN", "JTAGEN", "SPIEN", "CKOPT", "EESAVE", "BOOTSZ1",
                                                        "BOOTSZ0", "BOOTRST"}));
  EXPECT_FALSE(v.warning);
  e->setItemIndex("ComboBox3", 6);
  e->run("ComboBox3Change");
  e->userType("ComboBox2", "16.0000");
  v = fuseViewFor(*e);
  ASSERT_EQ(v.rows.size(), 3u);
  EXPECT_EQ(v.rows[1].value, 0xC9);
  EXPECT_EQ(v.rows[2].name, "EXTENDED");
  EXPECT_EQ(v.rows[2].bits[6], "M103C");
  e->userType("ComboBox2", "24");
  EXPECT_TRUE(fuseViewFor(*e).warning);
}

TEST(Fuses, TheBoardTellsWhatTheElfFusesSelect) {
  board::BoardState s;
  EXPECT_TRUE(s.apply("fuses FF D9 - crystal 3.0-8.0 MHz, JTAG off"));
  EXPECT_EQ(s.fuses, "crystal 3.0-8.0 MHz, JTAG off");
  EXPECT_TRUE(s.fuseWarning.empty());
  EXPECT_TRUE(s.apply("fuses none"));
  EXPECT_TRUE(s.apply("warning the ELF has no fuses"));
  EXPECT_EQ(s.fuses, "none");
  EXPECT_EQ(s.fuseWarning, "the ELF has no fuses");
  EXPECT_FALSE(s.apply("fuses FF"));
}

}  // namespace
}  // namespace tamberlo
