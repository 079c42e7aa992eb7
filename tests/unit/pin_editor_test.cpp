// SPDX-License-Identifier: GPL-3.0-or-later
// The LCD, USB and MP3 pin assignment editors, driven as a user drives them.
#include <gtest/gtest.h>

#include "editor_test_support.h"
#include "platform/fs.h"
#include "settings/act_file.h"

namespace tamberlo::test {
namespace {

const char* const kLcdSelectors[] = {"RadioButton1", "RadioButton2", "RadioButton3", "RadioButton7",
                                     "RadioButton9", "RadioButton4", "RadioButton5", "RadioButton6"};
const char* const kLcdPinBoxes[] = {"Edit1", "Edit2", "Edit3", "Edit7", "Edit9", "Edit4", "Edit5", "Edit6"};

// Slot captions of the LCD editor in slot order, "-" for a slot that is off
// (disabled selector and pin box, caption "NC").
std::string lcdLayout(EditorModel& m) {
  std::string out;
  for (int i = 0; i < 8; ++i) {
    const bool selectorOn = m.enabled(kLcdSelectors[i]);
    EXPECT_EQ(selectorOn, m.enabled(kLcdPinBoxes[i])) << "slot " << i + 1;
    if (!selectorOn) {
      EXPECT_EQ(m.caption(kLcdSelectors[i]), "NC") << "slot " << i + 1;
    }
    out += (i ? " " : "") + (selectorOn ? m.caption(kLcdSelectors[i]) : std::string("-"));
  }
  return out;
}

int itemOf(EditorModel& m, const std::string& box, const std::string& text) {
  const auto& items = m.ctl(box).items;
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == text) return static_cast<int>(i);
  }
  ADD_FAILURE() << text << " is not an item of " << box;
  return -1;
}

void chooseModel(EditorModel& m, const std::string& model) {
  m.userSelect("ComboBox16", itemOf(m, "ComboBox16", model));
}

void choosePin(EditorModel& m, const std::string& list, const std::string& pin) {
  m.userSelect(list, itemOf(m, list, pin));
}

TEST(PinEditors, StartLayoutBeforeAnyRuleRuns) {
  StartedEditor e;
  EXPECT_EQ(lcdLayout(*e), "E WR R/S - - - - -");
  EXPECT_FALSE(e->enabled("GUICheck"));
  EXPECT_FALSE(e->ctl("TabSheetGUI").visible);
  for (const char* list : {"ListBox1", "ListBox2", "ListBox4"}) {
    EXPECT_EQ(e->ctl(list).items,
              (std::vector<std::string>{"PA0", "PA1", "PA2", "PA3", "PA4", "PA5", "PA6", "PA7"}))
        << list;
  }
  for (const auto& c : e->controls()) {
    if (c.kind == ControlKind::RadioButton) {
      EXPECT_FALSE(c.checked) << c.name;
    }
  }
}

TEST(PinEditors, ModelRuleSetsLayoutOfEveryModel) {
  struct Case {
    const char* model;
    const char* layout;
    const char* title;
    std::vector<std::string> interfaces;
    bool interfaceBox, dataPort, guiBox;
  };
  const std::vector<std::string> character = {"4 线并口", "8 线并口", "串行接口"};
  const std::vector<std::string> parallel = {"8 线并口"};
  const std::vector<Case> cases = {
      {"LCD1601", "E WR R/S - - - - -", "并行接口", character, false, true, false},
      {"LCD1602", "E WR R/S - - - - -", "并行接口", character, false, true, false},
      {"LCD1604", "E WR R/S - - - - -", "并行接口", character, false, true, false},
      {"LCD2002", "E WR R/S - - - - -", "并行接口", character, false, true, false},
      {"LCD2004", "E WR R/S - - - - -", "并行接口", character, false, true, false},
      {"LCD3202", "E WR R/S - - - - -", "并行接口", character, false, true, false},
      {"LCD4004", "E WR R/S E2 - - - -", "并行接口", character, false, true, false},
      {"LCD122x32(SED1520)", "A0 R/W /RST E1 E2 - - -", "并行接口", parallel, false, true, false},
      {"LCD122x32(ST7920)",
       "E R/W RS PSB /RST - - -",
       "并行接口",
       {"8 线并口", "串行接口"},
       true,
       true,
       false},
      {"LCD128x64(KS0108)", "E R/W RS /CS1 /CS2 /RST - -", "并行接口", parallel, false, true, true},
      {"LCD128x64(ST7920)",
       "E R/W RS PSB /RST - - -",
       "并行接口",
       {"8 线并口", "串行接口"},
       true,
       true,
       false},
      {"LCD128x64(T6963)", "CE CD RD WR /RST - - -", "并行接口", parallel, false, true, true},
      {"LCD240x64(KS0108)", "E R/W RS /CS1 /CS2 /RST /CS3 /CS4", "并行接口", parallel, false, true, true},
      {"LCD240x64(T6963)", "CE CD RD WR /RST - - -", "并行接口", parallel, false, true, true},
      {"LCD320x240(SED1335)", "CE A0 /RD /WR /RES - - -", "并行接口", parallel, false, true, true},
      {"LCD3310(PCD8544)", "RES SCE SDIN SCLK D/C - - -", "串行接口", {"串行接口"}, false, false, false},
  };
  StartedEditor e;
  ASSERT_EQ(cases.size(), e->ctl("ComboBox16").items.size());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    // Start each model from the widest layout so every slot that goes off is seen to.
    chooseModel(*e, "LCD240x64(KS0108)");
    chooseModel(*e, c.model);
    EXPECT_EQ(lcdLayout(*e), c.layout);
    EXPECT_EQ(e->caption("GroupBox11"), c.title);
    EXPECT_EQ(e->ctl("ComboBox15").items, c.interfaces);
    EXPECT_EQ(e->itemIndex("ComboBox15"), 0);
    EXPECT_EQ(e->enabled("ComboBox15"), c.interfaceBox);
    EXPECT_EQ(e->enabled("ComboBox18"), c.dataPort);
    EXPECT_EQ(e->enabled("GUICheck"), c.guiBox);
  }
}

TEST(PinEditors, TypedModelNameOfNoModelChangesNothing) {
  StartedEditor e;
  chooseModel(*e, "LCD240x64(KS0108)");
  e->userType("ComboBox16", "LCD9999");
  EXPECT_EQ(lcdLayout(*e), "E R/W RS /CS1 /CS2 /RST /CS3 /CS4");
  EXPECT_TRUE(e->enabled("GUICheck"));
}

TEST(PinEditors, St7920InterfaceSwitchesBetweenParallelAndSerialLayout) {
  StartedEditor e;
  for (const char* model : {"LCD128x64(ST7920)", "LCD122x32(ST7920)"}) {
    SCOPED_TRACE(model);
    chooseModel(*e, model);
    e->userSelect("ComboBox15", 1);
    EXPECT_EQ(lcdLayout(*e), "SCLK SID CS PSB /RST - - -");
    EXPECT_EQ(e->caption("GroupBox11"), "串行接口");
    EXPECT_FALSE(e->enabled("ComboBox18"));
    EXPECT_EQ(e->text("ComboBox15"), "串行接口");

    e->userSelect("ComboBox15", 0);
    EXPECT_EQ(lcdLayout(*e), "E R/W RS PSB /RST - - -");
    EXPECT_EQ(e->caption("GroupBox11"), "并行接口");
    EXPECT_TRUE(e->enabled("ComboBox18"));
    EXPECT_EQ(e->ctl("ComboBox15").items, (std::vector<std::string>{"8 线并口", "串行接口"}));
    EXPECT_EQ(e->itemIndex("ComboBox15"), 0);
  }
}

TEST(PinEditors, SerialInterfaceOnOtherModelsOnlyDisablesDataPort) {
  // The settings loader can put a character module on "串行接口".
  StartedEditor e;
  chooseModel(*e, "LCD1602");
  e->setItemIndex("ComboBox15", 2);
  e->run("ComboBox15Change");
  EXPECT_EQ(lcdLayout(*e), "E WR R/S - - - - -");
  EXPECT_EQ(e->caption("GroupBox11"), "串行接口");
  EXPECT_FALSE(e->enabled("ComboBox18"));
  // "8 线并口" on a character module puts the model's own list back at item 0.
  e->setItemIndex("ComboBox15", 1);
  e->run("ComboBox15Change");
  EXPECT_EQ(e->text("ComboBox15"), "4 线并口");
  EXPECT_TRUE(e->enabled("ComboBox18"));
  EXPECT_EQ(e->caption("GroupBox11"), "并行接口");
}

TEST(PinEditors, PinListFollowsControlPort) {
  struct Case {
    const char* mcu;
    const char* portBox;
    const char* list;
    const char* port;
    std::vector<std::string> pins;
  };
  const std::vector<Case> cases = {
      {"ATMega16",
       "ComboBox19",
       "ListBox1",
       "PORTC",
       {"PC0", "PC1", "PC2", "PC3", "PC4", "PC5", "PC6", "PC7"}},
      {"ATMega128", "ComboBox19", "ListBox1", "PORTG", {"PG0", "PG1", "PG2", "PG3", "PG4"}},
      {"ATMega128",
       "ComboBox24",
       "ListBox2",
       "PORTF",
       {"PF0", "PF1", "PF2", "PF3", "PF4", "PF5", "PF6", "PF7"}},
      {"ATMega64", "ComboBox30", "ListBox4", "PORTG", {"PG0", "PG1", "PG2", "PG3", "PG4"}},
      {"ATMega8",
       "ComboBox30",
       "ListBox4",
       "PORTD",
       {"PD0", "PD1", "PD2", "PD3", "PD4", "PD5", "PD6", "PD7"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mcu) + " " + c.port);
    StartedEditor e;
    e->userSelect("ComboBox3", itemOf(*e, "ComboBox3", c.mcu));
    e->userSelect(c.portBox, itemOf(*e, c.portBox, c.port));
    EXPECT_EQ(e->ctl(c.list).items, c.pins);
  }
  // A typed port name of no port leaves the list alone.
  StartedEditor e;
  e->userSelect("ComboBox19", 1);
  EXPECT_THROW(e->userType("ComboBox19", "PORTZ"), Error);
  EXPECT_EQ(e->ctl("ListBox1").items.front(), "PB0");
}

TEST(PinEditors, ChosenPinLandsInCheckedSlotOnly) {
  StartedEditor e;
  // No selector checked: nothing changes.
  e->userSelect("ListBox1", 3);
  for (const char* box : kLcdPinBoxes) EXPECT_EQ(e->text(box), "") << box;

  chooseModel(*e, "LCD128x64(KS0108)");
  e->userClick("RadioButton1");
  choosePin(*e, "ListBox1", "PA3");
  e->userClick("RadioButton2");
  EXPECT_FALSE(e->checked("RadioButton1"));
  choosePin(*e, "ListBox1", "PA3");  // the same pin twice is accepted
  choosePin(*e, "ListBox1", "PA5");  // and a slot's pin is simply overwritten
  EXPECT_EQ(e->text("Edit1"), "PA3");
  EXPECT_EQ(e->text("Edit2"), "PA5");

  // Changing the control port keeps the pins already given.
  e->userSelect("ComboBox19", itemOf(*e, "ComboBox19", "PORTB"));
  e->userClick("RadioButton3");
  choosePin(*e, "ListBox1", "PB2");
  e->userSelect("ComboBox19", itemOf(*e, "ComboBox19", "PORTC"));
  EXPECT_EQ(e->text("Edit3"), "PB2");
  EXPECT_EQ(e->config().LCD.pins[2].Text, "PB2");
}

TEST(PinEditors, SlotsThatGoOffKeepTheirPinsAndSelector) {
  StartedEditor e;
  chooseModel(*e, "LCD240x64(KS0108)");
  for (int i = 3; i < 8; ++i) {
    e->userClick(kLcdSelectors[i]);
    choosePin(*e, "ListBox1", "PA" + std::to_string(i));
  }
  chooseModel(*e, "LCD1602");
  EXPECT_EQ(lcdLayout(*e), "E WR R/S - - - - -");
  for (int i = 3; i < 8; ++i) EXPECT_EQ(e->text(kLcdPinBoxes[i]), "PA" + std::to_string(i));
  // The last checked selector stays checked though off, and still takes a pin.
  EXPECT_TRUE(e->checked("RadioButton6"));
  choosePin(*e, "ListBox1", "PA0");
  EXPECT_EQ(e->text("Edit6"), "PA0");
  chooseModel(*e, "LCD240x64(KS0108)");
  EXPECT_EQ(lcdLayout(*e), "E R/W RS /CS1 /CS2 /RST /CS3 /CS4");
  EXPECT_EQ(e->text("Edit4"), "PA5");
}

TEST(PinEditors, GuiPageFollowsGuiBox) {
  StartedEditor e;
  e->userClick("GUICheck");  // disabled at start: the click does nothing
  EXPECT_FALSE(e->checked("GUICheck"));
  chooseModel(*e, "LCD128x64(KS0108)");
  e->userClick("GUICheck");
  EXPECT_TRUE(e->ctl("TabSheetGUI").visible);
  // A model without the graphics library unticks the box before greying it
  // and hides the page: a greyed tick could never be taken back, and every
  // run would fail on it.
  chooseModel(*e, "LCD1602");
  EXPECT_FALSE(e->enabled("GUICheck"));
  EXPECT_FALSE(e->checked("GUICheck"));
  EXPECT_FALSE(e->ctl("TabSheetGUI").visible);
  EXPECT_FALSE(e->config().LCD.Gui_use);
  chooseModel(*e, "LCD320x240(SED1335)");
  EXPECT_FALSE(e->checked("GUICheck"));
  e->userClick("GUICheck");
  EXPECT_TRUE(e->ctl("TabSheetGUI").visible);
  // A settings file cannot tick it for a model without the library either.
  chooseModel(*e, "LCD1602");
  e->setChecked("GUICheck", true);
  EXPECT_FALSE(e->checked("GUICheck"));
  EXPECT_FALSE(e->ctl("TabSheetGUI").visible);
}

TEST(PinEditors, UsbChipRule) {
  StartedEditor e;
  e->run("ComboBox21Change");
  EXPECT_EQ(e->ctl("ComboBox22").items, std::vector<std::string>{"并行接口"});
  EXPECT_EQ(e->itemIndex("ComboBox22"), 0);
  EXPECT_FALSE(e->enabled("ComboBox22"));
  EXPECT_TRUE(e->enabled("ComboBox23"));
  EXPECT_EQ(e->caption("GroupBox16"), "并行接口");
  const char* selectors[] = {"RadioButton8",  "RadioButton10", "RadioButton11",
                             "RadioButton12", "RadioButton13", "RadioButton14"};
  const char* captions[] = {"RST", "WR", "RD", "CS", "A0", "INT"};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(e->caption(selectors[i]), captions[i]);
    EXPECT_TRUE(e->enabled(selectors[i]));
  }
  e->userClick("RadioButton13");
  e->userSelect("ComboBox24", itemOf(*e, "ComboBox24", "PORTD"));
  choosePin(*e, "ListBox2", "PD6");
  EXPECT_EQ(e->text("Edit13"), "PD6");
  // Another chip name changes nothing.
  e->userType("ComboBox21", "CH376");
  EXPECT_EQ(e->caption("RadioButton8"), "RST");
  EXPECT_EQ(e->ctl("ComboBox22").items, std::vector<std::string>{"并行接口"});
}

TEST(PinEditors, Mp3ChipRule) {
  StartedEditor e;
  const char* selectors[] = {"RadioButton15", "RadioButton16", "RadioButton25", "RadioButton26"};
  auto captions = [&] {
    std::string out;
    for (const char* s : selectors) out += (out.empty() ? "" : " ") + (e->enabled(s) ? e->caption(s) : "-");
    return out;
  };
  e->userClick("RadioButton26");
  choosePin(*e, "ListBox4", "PA7");
  e->userType("ComboBox29", "STA013");
  EXPECT_EQ(captions(), "RST REQ - -");
  EXPECT_EQ(e->caption("RadioButton26"), "NC");
  EXPECT_FALSE(e->checked("RadioButton26"));
  EXPECT_EQ(e->text("Edit26"), "");
  EXPECT_FALSE(e->enabled("Edit25"));
  EXPECT_EQ(e->caption("Label32"), "           控制接口使用内部硬件TWI");
  EXPECT_EQ(e->caption("Label31"), "说明：数据接口使用内部硬件SPI");
  // A pin chosen now lands nowhere: no selector is checked.
  choosePin(*e, "ListBox4", "PA1");
  for (const char* box : {"Edit15", "Edit16", "Edit25", "Edit26"}) EXPECT_EQ(e->text(box), "") << box;

  e->userType("ComboBox29", "MP3X");  // unknown chip: no change
  EXPECT_EQ(captions(), "RST REQ - -");
  e->userSelect("ComboBox29", 0);
  EXPECT_EQ(captions(), "XRST DREQ XDCS XCS");
  EXPECT_EQ(e->caption("Label32"), " ");
}

TEST(PinEditors, SettingsFileRestoresEditors) {
  StartedEditor e;
  chooseModel(*e, "LCD122x32(ST7920)");
  e->userSelect("ComboBox15", 1);
  e->userSelect("ComboBox19", itemOf(*e, "ComboBox19", "PORTD"));
  const char* pins[] = {"PD0", "PD1", "PD2", "PD3", "PD4"};
  for (int i = 0; i < 5; ++i) {
    e->userClick(kLcdSelectors[i]);
    choosePin(*e, "ListBox1", pins[i]);
  }
  e->userClick("RadioButton12");
  e->userSelect("ComboBox24", itemOf(*e, "ComboBox24", "PORTB"));
  choosePin(*e, "ListBox2", "PB4");
  e->userType("ComboBox29", "STA013");
  e->userClick("RadioButton15");
  choosePin(*e, "ListBox4", "PA2");
  const std::string file = e.dir / "lcd.act";
  SaveActFile(*e, file);

  StartedEditor fresh;
  LoadActFile(*fresh, file);
  EXPECT_EQ(lcdLayout(*fresh), "SCLK SID CS PSB /RST - - -");
  EXPECT_EQ(fresh->text("ComboBox16"), "LCD122x32(ST7920)");
  EXPECT_EQ(fresh->text("ComboBox15"), "串行接口");
  EXPECT_EQ(fresh->caption("GroupBox11"), "串行接口");
  EXPECT_FALSE(fresh->enabled("ComboBox18"));
  EXPECT_EQ(fresh->ctl("ListBox1").items.front(), "PD0");
  for (int i = 0; i < 5; ++i) EXPECT_EQ(fresh->text(kLcdPinBoxes[i]), pins[i]);
  EXPECT_TRUE(fresh->checked("RadioButton9"));
  EXPECT_FALSE(fresh->checked("RadioButton1"));
  EXPECT_EQ(fresh->text("Edit12"), "PB4");
  EXPECT_TRUE(fresh->checked("RadioButton12"));
  EXPECT_EQ(fresh->ctl("ListBox2").items.front(), "PB0");
  EXPECT_EQ(fresh->text("Edit15"), "PA2");
  EXPECT_TRUE(fresh->checked("RadioButton15"));
}

TEST(PinEditors, SettingsFileRestoresGuiPage) {
  StartedEditor e;
  chooseModel(*e, "LCD240x64(T6963)");
  e->userClick("GUICheck");
  const std::string file = e.dir / "gui.act";
  SaveActFile(*e, file);
  StartedEditor fresh;
  LoadActFile(*fresh, file);
  EXPECT_TRUE(fresh->checked("GUICheck"));
  EXPECT_TRUE(fresh->enabled("GUICheck"));
  EXPECT_TRUE(fresh->ctl("TabSheetGUI").visible);
  EXPECT_EQ(lcdLayout(*fresh), "CE CD RD WR /RST - - -");
}

}  // namespace
}  // namespace tamberlo::test
