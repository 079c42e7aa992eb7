// SPDX-License-Identifier: GPL-3.0-or-later
#include <set>

#include "editor_test_support.h"
#include "assembly/editor.h"
#include "platform/error.h"
#include "platform/ini_file.h"
#include "settings/act_file.h"

namespace tamberlo {
namespace {

using test::readBytes;
using test::StartedEditor;
using test::writeBytes;

class RecordingDialogs : public UserDialogs {
 public:
  std::vector<std::string> messages;
  std::optional<std::string> answer;
  std::optional<std::string> openActFile() override { return answer; }
  std::optional<std::string> saveActFile() override { return answer; }
  std::optional<std::string> chooseCompilerFile() override { return answer; }
  void showMessage(const std::string& text) override { messages.push_back(text); }
  void openUrl(const std::string&) override {}
};

// "section.key=value" lines of a saved file, in order.
std::vector<std::string> keysOf(const std::string& path) {
  std::vector<std::string> out;
  std::string section;
  for (const auto& line : test::readGeneratedLines(path)) {
    if (!line.empty() && line[0] == '[') {
      section = line.substr(1, line.size() - 2);
    } else if (line.find('=') != std::string::npos) {
      out.push_back(section + "." + line);
    }
  }
  return out;
}

TEST(ActTable, HasTheRowsInOrder) {
  const auto& rows = actRows();
  ASSERT_EQ(rows.size(), 137u);
  EXPECT_EQ(rows[0].key, "Ver");
  EXPECT_EQ(rows[1].control, "ComboBox3");
  EXPECT_EQ(rows[79].control, "Edit7");  // LCD.Text4 is Edit7
  EXPECT_EQ(rows[136].section, "Other APP");
  EXPECT_EQ(rows[136].control, "Edit26");
  std::set<std::string> seen;
  Editor m;
  for (const auto& r : rows) {
    EXPECT_TRUE(seen.insert(std::string(r.section) + "." + std::string(r.key)).second) << r.key;
    if (!r.control.empty()) {
      EXPECT_TRUE(m.has(r.control)) << r.control;
    }
  }
  EXPECT_EQ(findActRow("other app", "TEXT1")->control, "Edit15");
  EXPECT_EQ(findActRow("UART1", "Parity")->control, "ComboBox8");
  EXPECT_EQ(findActRow("UART2", "Parity"), nullptr);
}

TEST(ActFile, DefaultsSave137KeysInOrder) {
  StartedEditor e;
  SaveActFile(*e, e.dir / "d.act");
  auto keys = keysOf(e.dir / "d.act");
  ASSERT_EQ(keys.size(), 137u);
  EXPECT_EQ(keys[0], "MCU.Ver=V2.1.1");
  EXPECT_EQ(keys[1], "MCU.mcutype=3");
  EXPECT_EQ(keys[7], "UART0.Uart0_baud=6");
  EXPECT_EQ(keys[53], "TWI.Twi_sla_addr=127");
  EXPECT_EQ(keys[89], "GUI.DOWNP=20");
  EXPECT_EQ(keys[122], "Other APP.OneWire_use=0");
  std::vector<std::string> sections = IniFile(e.dir / "d.act").sectionNames();
  EXPECT_EQ(sections, (std::vector<std::string>{"MCU", "UART0", "UART1", "SPI", "TWI", "LCD", "GUI",
                                                "USB", "Other APP"}));
}

TEST(ActFile, LoadThenSaveReproducesTheFile) {
  StartedEditor e;
  e->userSelect("ComboBox3", 6);
  e->userSelect("ComboBox2", 14);
  e->setChecked("UART0Check", true);
  e->setChecked("UART1Check", true);
  e->setItemIndex("ComboBox32", 5);
  e->setValue("SpinEdit3", 6);
  e->setChecked("SPICheck", true);
  e->setChecked("DS1302Check", true);
  e->setText("Edit15", "PB3");
  e->setChecked("RadioButton16", true);
  e->setChecked("LCDCheck", true);
  e->setItemIndex("ComboBox17", 6);
  SaveActFile(*e, e.dir / "a.act");

  StartedEditor f;
  LoadActFile(*f, e.dir / "a.act");
  SaveActFile(*f, f.dir / "b.act");
  EXPECT_EQ(readBytes(e.dir / "a.act"), readBytes(f.dir / "b.act"));
  EXPECT_EQ(f->text("ComboBox3"), "ATMega128");
  EXPECT_EQ(f->text("ComboBox32"), "PORTF");
  EXPECT_EQ(f->text("Edit15"), "PB3");
}

TEST(ActFile, OnlyMcuTypeGivesTableDefaults) {
  StartedEditor e;
  e->setChecked("UART0Check", true);
  e->setText("Edit1", "PA1");
  writeBytes(e.dir / "m.act", "[MCU]\r\nmcutype=6\r\n");
  LoadActFile(*e, e.dir / "m.act");
  EXPECT_EQ(e->text("ComboBox3"), "ATMega128");
  EXPECT_EQ(e->itemIndex("ComboBox2"), 10);
  EXPECT_EQ(e->itemIndex("ComboBox1"), 5);
  EXPECT_EQ(e->itemIndex("ComboBox4"), 3);
  EXPECT_FALSE(e->checked("UART0Check"));
  EXPECT_EQ(e->text("Edit1"), "");
}

TEST(ActFile, BoolsVersionsAndForeignSections) {
  StartedEditor e;
  RecordingDialogs dialogs;
  e->setDialogs(&dialogs);
  writeBytes(e.dir / "b.act",
             "[MCU]\r\nVer=V1.0\r\n[SPI]\r\nSpi_use=2\r\nSpi_ds1302=yes\r\n[Mine]\r\nnote=keep me\r\n");
  LoadActFile(*e, e.dir / "b.act");
  EXPECT_TRUE(e->checked("SPICheck"));
  EXPECT_FALSE(e->checked("DS1302Check"));
  // The version notice, then one note naming the sections the file lacks.
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0], "您所用的软件版本与您的项目文件版本不同，请自行检查！");
  EXPECT_NE(dialogs.messages[1].find(" 缺少 [UART0]、[UART1]、[TWI]"), std::string::npos) << dialogs.messages[1];
  SaveActFile(*e, e.dir / "b.act");
  IniFile saved(e.dir / "b.act");
  EXPECT_EQ(saved.readString("Mine", "note", ""), "keep me");
  EXPECT_EQ(saved.readString("MCU", "Ver", ""), "V2.1.1");
  EXPECT_EQ(saved.readString("SPI", "Spi_use", ""), "1");

  dialogs.messages.clear();
  writeBytes(e.dir / "c.act", "[SPI]\r\nSpi_use=1\r\n");
  LoadActFile(*e, e.dir / "c.act");
  // No version notice for a file without "Ver"; only the missing sections.
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].find(" 缺少 [MCU]、[UART0]"), std::string::npos) << dialogs.messages[0];
}

TEST(ActFile, HostileFilesLoadWhatTheyCan) {
  StartedEditor e;
  std::string binary;
  for (int i = 0; i < 20000; ++i) binary += static_cast<char>((i * 131) & 0xFF);
  writeBytes(e.dir / "bin.act", binary);
  EXPECT_THROW(LoadActFile(*e, e.dir / "bin.act"), Error);  // not a settings file

  writeBytes(e.dir / "absurd.act",
             "[MCU]\r\nmcutype=2147483647\r\nFosc=-99999\r\n[UART0]\r\nRs485_portno=99999999\r\n"
             "Uart0_baud=99999999999999\r\n[LCD]\r\nLcd_type=-7\r\n");
  EXPECT_THROW(LoadActFile(*e, e.dir / "absurd.act"), Error);  // the empty crystal is reported
  EXPECT_EQ(e->value("SpinEdit2"), 7);
  EXPECT_EQ(e->itemIndex("ComboBox3"), -1);
  EXPECT_EQ(e->itemIndex("ComboBox1"), 5);  // not an int: the default

  writeBytes(e.dir / "missing-file-check.act", "");
  EXPECT_THROW(LoadActFile(*e, e.dir / "does-not-exist.act"), Error);
}

TEST(ActFile, ButtonsUseTheDialogs) {
  StartedEditor e;
  RecordingDialogs dialogs;
  e->setDialogs(&dialogs);
  dialogs.answer = "   ";
  e->userClick("BitBtn6");
  EXPECT_TRUE(test::listFiles(e.dir.path()) == (std::vector<std::string>{"act.ini", "act.ini.lock"}));
  dialogs.answer = e.dir / "typed-name";
  e->userClick("BitBtn6");
  EXPECT_EQ(IniFile(e.dir / "typed-name").readString("MCU", "Ver", ""), "V2.1.1");
  EXPECT_EQ(e->caption("Panel2"), "设置已保存到 " + (e.dir / "typed-name"));  // saving confirms
  dialogs.answer.reset();
  e->userClick("BitBtn5");
}

}  // namespace
}  // namespace tamberlo
