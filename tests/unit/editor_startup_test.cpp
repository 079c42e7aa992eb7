// SPDX-License-Identifier: GPL-3.0-or-later
#include "assembly/editor.h"
#include "app/constants.h"
#include "app/device_catalogue.h"
#include "editor_test_support.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/ini_file.h"

namespace tamberlo {
namespace {

using test::StartedEditor;

bool pageVisible(EditorModel& m, int index) {
  return m.ctl(EditorModel::pageNames()[static_cast<size_t>(index)]).visible;
}

TEST(EditorStartup, FirstStartInAnEmptyFolder) {
  StartedEditor e;
  EXPECT_TRUE(folderExists(e.dir / "test"));
  EXPECT_TRUE(folderExists(e.dir / "test/output"));
  EXPECT_EQ(e->ProjectDir(), e.dir / "test/");
  EXPECT_EQ(test::readBytes(e.dir / "act.ini"), "[MCU]\r\nmcutype=3\r\nFosc=10\r\ncompile=0\r\n");
  EXPECT_EQ(e->text("ComboBox3"), "ATMega16");
  EXPECT_EQ(e->text("ComboBox2"), "7.3728");
  EXPECT_EQ(e->text("ComboBox33"), "ICC AVR");
  EXPECT_EQ(e->caption(EditorModel::pageNames()[0]), "UART");
  EXPECT_EQ(e->caption("UART0Check"), "UART");
  for (int hidden : {1, 4, 5, 6, 7, 8, 9, 11, 14}) EXPECT_FALSE(pageVisible(*e, hidden)) << hidden;
  for (int shown : {0, 2, 3, 10, 12, 13}) EXPECT_TRUE(pageVisible(*e, shown)) << shown;
  EXPECT_EQ(e->caption("Form1"), "TamberloV2.1.1");
  EXPECT_EQ(e->caption("Panel2"), "欢迎您使用本软件！");
  EXPECT_FALSE(e->enabled("BitBtn2"));
  EXPECT_TRUE(e->CompilerPath().empty());
}

TEST(EditorStartup, StartValuesOfBoxesShadowsAndLabels) {
  StartedEditor e;
  struct {
    const char* box;
    int index;
    const char* text;
  } boxes[] = {{"ComboBox1", 6, "9600"},  {"ComboBox4", 3, "8位"},   {"ComboBox5", 0, "禁止"},
               {"ComboBox6", 6, "9600"},  {"ComboBox7", 3, "8位"},   {"ComboBox9", 0, "Output toggle"},
               {"ComboBox12", 0, "2"},    {"ComboBox15", 0, "4 线并口"}, {"ComboBox16", 0, "LCD1601"},
               {"ComboBox17", 0, "PORTA"}, {"ComboBox20", 0, "ADC0  1"}, {"ComboBox21", 0, "CH375"},
               {"ComboBox22", 0, "并行接口"}, {"ComboBox25", 0, "RTL8019"}, {"ComboBox29", 0, "VS1003"},
               {"ComboBox32", 0, "PORTA"}};
  for (const auto& b : boxes) {
    EXPECT_EQ(e->itemIndex(b.box), b.index) << b.box;
    EXPECT_EQ(e->text(b.box), b.text) << b.box;
  }
  const RegisterShadows& r = e->shadows();
  EXPECT_EQ(r.UCSR0C, 0x86);
  EXPECT_EQ(r.UCSR1C, 0x06);
  EXPECT_EQ(r.TWAR, 0xFE);
  EXPECT_DOUBLE_EQ(r.FoscMHz, 7.3728);
  EXPECT_EQ(e->caption("Label15"), "Clock Rate: 1843200Hz");
  EXPECT_EQ(e->caption("Label17"), "Rate: 409600Hz");
  EXPECT_EQ(e->caption("Label14"), "转换时间:  4uS");
  EXPECT_EQ(e->caption("CheckBox5"), "接收使能");
  EXPECT_EQ(e->caption("CheckBox15"), "多处理器通讯模式");
  EXPECT_EQ(e->caption("CheckBox24"), "不使能ACP");
  EXPECT_TRUE(e->checked("CheckBox24"));
  EXPECT_FALSE(e->enabled("CheckBox4"));
  EXPECT_FALSE(e->enabled("CheckBox20"));
  EXPECT_TRUE(e->enabled("CheckBox6"));
  EXPECT_FALSE(e->enabled("ComboBox31"));  // RS485 pin controls follow their unticked box
  EXPECT_FALSE(e->enabled("GUICheck"));
  EXPECT_EQ(e->caption("Label19"), "数据");
  EXPECT_EQ(e->caption("Label30"), "接口");
  EXPECT_EQ(e->ctl("ListBox1").items.size(), 8u);
  EXPECT_EQ(e->ctl("ListBox1").items[0], "PA0");
}

TEST(EditorStartup, RestartRestoresMcuAndCrystal) {
  StartedEditor e;
  e->userSelect("ComboBox3", 6);
  e->userSelect("ComboBox2", 18);
  e.start();
  EXPECT_EQ(e->text("ComboBox3"), "ATMega128");
  EXPECT_EQ(e->text("ComboBox2"), "16.0000");
  EXPECT_DOUBLE_EQ(e->shadows().FoscMHz, 16.0);
  EXPECT_TRUE(pageVisible(*e, 1));
}

TEST(EditorStartup, ActIniValuesOutsideTheirListsFallBackToDefaults) {
  struct {
    const char* ini;
    const char* mcu;
    const char* crystal;
  } cases[] = {
      {"[MCU]\r\nmcutype=-1\r\nFosc=-1\r\ncompile=-1\r\n", "ATMega16", "7.3728"},
      {"[MCU]\r\nmcutype=99\r\nFosc=19\r\ncompile=7\r\n", "ATMega16", "7.3728"},
      {"[MCU]\r\nmcutype=abc\r\nFosc=12\r\n", "ATMega16", "9.2160"},
      {"[MCU]\r\nmcutype=0\r\nFosc=0\r\ncompile=1\r\n", "ATMega8", "1.0000"},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    test::writeBytes(dir / "act.ini", c.ini);
    Editor m;
    m.FormCreate(dir.path());
    ASSERT_NO_THROW(m.FormShow()) << c.ini;
    EXPECT_EQ(m.text("ComboBox3"), c.mcu) << c.ini;
    EXPECT_EQ(m.text("ComboBox2"), c.crystal) << c.ini;
    EXPECT_FALSE(m.text("ComboBox33").empty()) << c.ini;
  }
}

TEST(EditorStartup, TitleCycles) {
  StartedEditor e;
  const std::string t = "Tamberlo V2.1.1", url(MakerWebAddress), q = "QUORVANE V2.1.1";
  for (const std::string& expected : {t, url, q, t, url, q, t}) {
    e->Timer1Timer();
    EXPECT_EQ(e->caption("Form1"), expected);
  }
  EXPECT_LE(url.size(), 14u);  // fits a 16-column LCD row with its "!"
}

TEST(EditorStartup, CrystalTextThatIsNotANumber) {
  StartedEditor e;
  e->userSelect("ComboBox2", 18);
  std::string label = e->caption("Label15");
  // Refused texts never reach the box: it, act.ini and the rates keep the
  // last crystal, so the register view and the generators never see them.
  for (const char* bad : {"fast", "0", "0.0", "-8", "1e7", "7.37289999", "100", "250MHz", "MHz", "7.3728 kHz"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(e->userType("ComboBox2", bad), Error);
    EXPECT_EQ(e->text("ComboBox2"), "16.0000");
    EXPECT_EQ(IniFile(e->actIniPath()).readInteger("MCU", "Fosc", 0), 18);
    EXPECT_DOUBLE_EQ(e->shadows().FoscMHz, 16.0);
    EXPECT_EQ(e->caption("Label15"), label);
  }
  try {
    e->userType("ComboBox2", "abc");
  } catch (const Error& err) {
    EXPECT_EQ(std::string(err.what()),
              "晶振(MHz)：“abc” 不是以 MHz 为单位的晶振频率：请输入大于 0 的数字，最多 6 位小数，如 7.3728");
  }
  e->userType("ComboBox2", "20");
  EXPECT_DOUBLE_EQ(e->shadows().FoscMHz, 20.0);
  EXPECT_EQ(e->caption("Label15"), "Clock Rate: 5000000Hz");
  // The unit may follow the number; the box keeps the number alone.
  for (const char* withUnit : {"7.3728MHz", " 7.3728 mhz"}) {
    e->userType("ComboBox2", withUnit);
    EXPECT_EQ(e->text("ComboBox2"), "7.3728");
    EXPECT_EQ(e->itemIndex("ComboBox2"), 10);
    EXPECT_DOUBLE_EQ(e->shadows().FoscMHz, 7.3728);
  }
}

TEST(DeviceCatalogue, Facts) {
  auto d = findDevice("ATMega16");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->include, "#include <iom16v.h>");
  EXPECT_EQ(d->iccDeviceCode, 17);
  EXPECT_FALSE(findDevice("atmega16"));
  EXPECT_EQ(deviceInclude("ATmega16"), "");
  EXPECT_TRUE(isTwoUartDevice("ATMega64"));
  EXPECT_FALSE(isTwoUartDevice("ATMega32"));
  EXPECT_EQ(portNamesFor("ATMega8").size(), 4u);
  EXPECT_EQ(portNamesFor("ATMega128").back(), "PORTG");
  EXPECT_EQ(functionPin("ATMega8", "SCK"), (PortPin{'B', 5}));
  EXPECT_EQ(functionPin("ATMega128", "SS"), (PortPin{'B', 0}));
  EXPECT_EQ(functionPin("ATMega8535", "SCL"), (PortPin{'C', 0}));
  EXPECT_FALSE(functionPin("ATMega8515", "SCL"));
}

TEST(DeviceCatalogue, TwiPageFollowsTheDevice) {
  StartedEditor e;
  e->setChecked("TWICheck", true);
  e->userSelect("ComboBox3", 1);  // ATMega8515
  EXPECT_FALSE(pageVisible(*e, 3));
  EXPECT_FALSE(e->checked("TWICheck"));
  e->userSelect("ComboBox3", 3);  // ATMega16
  EXPECT_TRUE(pageVisible(*e, 3));
  EXPECT_FALSE(e->checked("TWICheck"));
}

TEST(DeviceCatalogue, UartPagesFollowTheDevice) {
  StartedEditor e;
  e->userSelect("ComboBox3", 6);
  EXPECT_TRUE(pageVisible(*e, 1));
  EXPECT_EQ(e->caption(EditorModel::pageNames()[0]), "UART0");
  EXPECT_EQ(e->caption("UART0Check"), "UART0");
  e->setChecked("UART1Check", true);
  e->setChecked("TWICheck", true);
  e->userSelect("ComboBox3", 5);
  EXPECT_TRUE(e->checked("UART1Check"));
  EXPECT_TRUE(e->checked("TWICheck"));
  e->userSelect("ComboBox3", 4);
  EXPECT_FALSE(pageVisible(*e, 1));
  EXPECT_FALSE(e->checked("UART1Check"));
  EXPECT_EQ(e->caption(EditorModel::pageNames()[0]), "UART");
  EXPECT_EQ(e->caption("UART0Check"), "UART");
}

TEST(DeviceCatalogue, RegisterSelectBitFollowsTheDevice) {
  StartedEditor e;
  e->shadows().UCSR0C = 0x86 | 0x08;
  e->userSelect("ComboBox3", 6);
  EXPECT_EQ(e->shadows().UCSR0C, 0x0E);
  e->userSelect("ComboBox3", 3);
  EXPECT_EQ(e->shadows().UCSR0C, 0x8E);
  EXPECT_EQ(e->shadows().UCSR1C, 0x06);
}

TEST(DeviceCatalogue, ChangeWritesActIniAndClearsThePreview) {
  StartedEditor e;
  e->previewLines() = {"old"};
  e->syncPreview();
  e->userSelect("ComboBox3", 0);
  EXPECT_EQ(IniFile(e->actIniPath()).readInteger("MCU", "mcutype", -5), 0);
  EXPECT_EQ(e->text("Memo1"), "");
  // Only the listed chips: a typed name of none changes nothing.
  EXPECT_THROW(e->userType("ComboBox3", "ATMega999"), Error);
  EXPECT_EQ(IniFile(e->actIniPath()).readInteger("MCU", "mcutype", -5), 0);
  EXPECT_EQ(e->currentMcu(), e->text("ComboBox3"));
  e->userType("ComboBox3", " atmega128 ");
  EXPECT_EQ(e->text("ComboBox3"), "ATMega128");
  EXPECT_EQ(e->currentMcu(), "ATMega128");
  EXPECT_TRUE(pageVisible(*e, 1));
}

TEST(DeviceCatalogue, PortBoxesKeepTheirSelectionAcrossRefills) {
  StartedEditor e;
  e->setItemIndex("ComboBox31", 2);  // PORTC
  e->setItemIndex("ComboBox17", 3);  // PORTD
  e->userSelect("ComboBox3", 6);
  EXPECT_EQ(e->ctl("ComboBox31").items.size(), 7u);
  EXPECT_EQ(e->itemIndex("ComboBox31"), 2);
  EXPECT_EQ(e->itemIndex("ComboBox17"), 3);
  e->setItemIndex("ComboBox18", 4);  // PORTE
  e->userSelect("ComboBox3", 3);
  EXPECT_EQ(e->ctl("ComboBox18").items.size(), 4u);
  // A port the chip lacks falls back to its first port, and the status says so.
  EXPECT_EQ(e->text("ComboBox18"), "PORTA");
  EXPECT_EQ(e->itemIndex("ComboBox18"), 0);
  EXPECT_NE(e->caption("Panel2").find("PORTE"), std::string::npos);
  // Typed port names: the chip's ports only, in any letter case.
  EXPECT_THROW(e->userType("ComboBox18", "PORTF"), Error);
  EXPECT_THROW(e->userType("ComboBox18", "PB"), Error);
  e->userType("ComboBox18", "portc");
  EXPECT_EQ(e->text("ComboBox18"), "PORTC");
  EXPECT_EQ(e->itemIndex("ComboBox31"), 2);
}

TEST(EditorModel, ControlOperations) {
  Editor m;
  EXPECT_THROW(m.ctl("NoSuchControl"), Error);
  m.setChecked("RadioButton1", true);
  m.setChecked("RadioButton2", true);
  EXPECT_FALSE(m.checked("RadioButton1"));
  EXPECT_FALSE(m.checked("RadioButton8"));  // other editor's group
  m.setValue("SpinEdit1", 12);
  EXPECT_EQ(m.value("SpinEdit1"), 7);
  m.setValue("SpinEdit1", -3);
  EXPECT_EQ(m.value("SpinEdit1"), 0);
  m.setItemIndex("ComboBox16", 40);
  EXPECT_EQ(m.itemIndex("ComboBox16"), -1);
  EXPECT_EQ(m.text("ComboBox16"), "");
  m.setText("ComboBox16", "LCD1602");
  EXPECT_EQ(m.itemIndex("ComboBox16"), 1);
  int runs = 0;
  m.addHandler("Probe", [&runs](EditorModel&) { ++runs; });
  m.run("Probe");
  EXPECT_THROW(m.run("Missing"), Error);  // a name nothing registered
  EXPECT_EQ(runs, 1);
  m.addHandler("Loop", [](EditorModel& e) { e.run("Loop"); });
  EXPECT_THROW(m.run("Loop"), Error);
}

}  // namespace
}  // namespace tamberlo
