// SPDX-License-Identifier: GPL-3.0-or-later
// Behaviours where the editor keeps the user's data although a literal
// reading of the original design would lose it.
#include "editor_test_support.h"
#include "platform/ini_file.h"
#include "settings/act_file.h"

namespace tamberlo {
namespace {

using test::StartedEditor;

std::vector<std::string> rs485Block(const std::string& uartH) {
  std::vector<std::string> block;
  for (const auto& line : test::readGeneratedLines(uartH)) {
    if (line.find("RS485") != std::string::npos) block.push_back(line);
  }
  return block;
}

// The ten port boxes of the device catalogue and their .act keys.
const std::pair<const char*, const char*> kPortKeys[] = {
    {"UART0", "Rs485_port"},   {"UART1", "Rs485_port"}, {"LCD", "Data_io"},
    {"LCD", "Contr_io"},       {"USB", "Data_io"},      {"USB", "Contr_io"},
    {"Other APP", "Ds18b20_port"}, {"Other APP", "MP3_cont"}};

TEST(MendedFaults, PortsSurviveADeviceChangeSaveAndLoad) {
  StartedEditor original;
  EditorModel& m = *original;
  m.userClick("UART0Check");
  m.userClick("CheckBox5");
  m.userClick("CheckBox7");
  m.userClick("RS485Check0");
  m.userSelect("ComboBox31", 2);  // PORTC
  m.userSetValue("SpinEdit2", 5);
  for (const char* box : {"ComboBox18", "ComboBox19", "ComboBox23", "ComboBox24", "ComboBox17", "ComboBox30"}) {
    m.userSelect(box, 3);
  }
  SaveActFile(m, original.dir / "before.act");
  m.run("BitBtn2Click");
  auto before = rs485Block(original.dir / "test/uart.h");
  ASSERT_FALSE(before.empty());

  // A device change refills every port box; the choices must stay selected.
  m.userSelect("ComboBox3", 4);  // ATMega32
  SaveActFile(m, original.dir / "after.act");
  IniFile a(original.dir / "before.act"), b(original.dir / "after.act");
  for (auto [section, key] : kPortKeys) {
    EXPECT_EQ(b.readString(section, key, "?"), a.readString(section, key, "?")) << section << "." << key;
  }

  StartedEditor reloaded;
  LoadActFile(*reloaded, original.dir / "after.act");
  reloaded->run("BitBtn2Click");
  EXPECT_EQ(rs485Block(reloaded.dir / "test/uart.h"), before);
  EXPECT_EQ(reloaded->text("ComboBox31"), "PORTC");
}

TEST(MendedFaults, TypedCrystalDoesNotBreakTheNextStart) {
  StartedEditor e;
  e->userType("ComboBox2", "7.5");  // stored in act.ini as index -1
  EXPECT_EQ(IniFile(e->actIniPath()).readInteger("MCU", "Fosc", 0), -1);
  ASSERT_NO_THROW(e.start());
  EXPECT_EQ(e->text("ComboBox2"), "7.3728");
  EXPECT_DOUBLE_EQ(e->shadows().FoscMHz, 7.3728);
}

TEST(MendedFaults, TypedBoxTextsSurviveSaveAndLoad) {
  StartedEditor e;
  e->userClick("MP3Check");
  e->userType("ComboBox29", "STA013");  // index -1: the index alone would lose it
  e->userType("ComboBox2", "7.5");
  const std::string file = e.dir / "typed.act";
  SaveActFile(*e, file);
  IniFile saved(file);
  EXPECT_EQ(saved.readInteger("Other APP", "MP3_chip", 0), -1);
  EXPECT_FALSE(saved.read("USB", "Usb_chip_typed"));  // only typed texts get the key

  StartedEditor fresh;
  LoadActFile(*fresh, file);
  EXPECT_EQ(fresh->text("ComboBox29"), "STA013");
  EXPECT_EQ(fresh->caption("RadioButton15"), "RST");  // the STA013 layout
  EXPECT_EQ(fresh->text("ComboBox2"), "7.5");
  EXPECT_DOUBLE_EQ(fresh->shadows().FoscMHz, 7.5);
  fresh->run("BitBtn2Click");
  EXPECT_TRUE(fileExists(fresh.dir / "test/sta013.c"));

  // Back to a listed chip: the kept text is emptied, not left to return.
  fresh->userSelect("ComboBox29", 0);
  SaveActFile(*fresh, file);
  StartedEditor again;
  LoadActFile(*again, file);
  EXPECT_EQ(again->text("ComboBox29"), "VS1003");
  EXPECT_EQ(IniFile(file).readString("Other APP", "MP3_chip_typed", "?"), "");
}

}  // namespace
}  // namespace tamberlo
