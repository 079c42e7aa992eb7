// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/act_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app/constants.h"
#include "app/editor_model.h"
#include "app/typed_text.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/ini_file.h"
#include "platform/text.h"

namespace tamberlo {
namespace {

constexpr ActValue T = ActValue::Text, I = ActValue::Index, V = ActValue::Value, B = ActValue::Bool;

int defaultIndex(const ActRow& row) {
  if (row.key == "mcutype") return 3;
  if (row.key == "Fosc") return 10;
  if (row.key == "Uart0_baud" || row.key == "Uart1_baud") return 5;
  if (row.key == "Byte_len") return 3;
  return 0;
}

std::string controlValue(EditorModel& m, const ActRow& row) {
  if (row.control.empty()) return std::string(AppVersion);
  const Control& c = m.ctl(row.control);
  switch (row.kind) {
    case ActValue::Bool: return c.checked ? "1" : "0";
    case ActValue::Index: return std::to_string(c.itemIndex);
    case ActValue::Value: return std::to_string(c.value);
    case ActValue::Text: return c.text;
  }
  return {};
}

}  // namespace

const std::vector<ActRow>& actRows() {
  static const std::vector<ActRow> rows = {
      {"MCU", "Ver", T, "", ""},
      {"MCU", "mcutype", I, "ComboBox3", "ComboBox3Change"},
      {"MCU", "Fosc", I, "ComboBox2", "ComboBox2Change"},
      {"UART0", "Uart0_use", B, "UART0Check", ""},
      {"UART0", "Rs485_use", B, "RS485Check0", "RS485Check0Click"},
      {"UART0", "Rs485_port", I, "ComboBox31", ""},
      {"UART0", "Rs485_portno", V, "SpinEdit2", ""},
      {"UART0", "Uart0_baud", I, "ComboBox1", "ComboBox1Change"},
      {"UART0", "Ubrr0", T, "LabeledEdit1", ""},
      {"UART0", "Parity", I, "ComboBox5", "ComboBox5Change"},
      {"UART0", "Byte_len", I, "ComboBox4", "ComboBox4Change"},
      {"UART0", "U2x", B, "CheckBox1", "CheckBox1Click"},
      {"UART0", "Stop2", B, "CheckBox2", "CheckBox2Click"},
      {"UART0", "Rx_en", B, "CheckBox5", "CheckBox5Click"},
      {"UART0", "Tx_en", B, "CheckBox7", "CheckBox7Click"},
      {"UART0", "Multi", B, "CheckBox6", "CheckBox6Click"},
      {"UART0", "Synchro", B, "CheckBox21", "CheckBox21Click"},
      {"UART0", "Rising", B, "CheckBox4", "CheckBox4Click"},
      {"UART0", "Rx_int", B, "CheckBox9", "CheckBox9Click"},
      {"UART0", "Tx_int", B, "CheckBox11", "CheckBox11Click"},
      {"UART0", "Data_int", B, "CheckBox8", "CheckBox8Click"},
      {"UART1", "Uart1_use", B, "UART1Check", ""},
      {"UART1", "Rs485_use", B, "RS485Check1", "RS485Check1Click"},
      {"UART1", "Rs485_port", I, "ComboBox32", ""},
      {"UART1", "Rs485_portno", V, "SpinEdit3", ""},
      {"UART1", "Uart1_baud", I, "ComboBox6", "ComboBox6Change"},
      {"UART1", "Ubrr1", T, "LabeledEdit2", ""},
      {"UART1", "Parity", I, "ComboBox8", "ComboBox8Change"},
      {"UART1", "Byte_len", I, "ComboBox7", "ComboBox7Change"},
      {"UART1", "U2x", B, "CheckBox13", "CheckBox13Click"},
      {"UART1", "Stop2", B, "CheckBox12", "CheckBox12Click"},
      {"UART1", "Rx_en", B, "CheckBox14", "CheckBox14Click"},
      {"UART1", "Tx_en", B, "CheckBox16", "CheckBox16Click"},
      {"UART1", "Multi", B, "CheckBox15", "CheckBox15Click"},
      {"UART1", "Synchro", B, "CheckBox22", "CheckBox22Click"},
      {"UART1", "Rising", B, "CheckBox20", "CheckBox20Click"},
      {"UART1", "Rx_int", B, "CheckBox18", "CheckBox18Click"},
      {"UART1", "Tx_int", B, "CheckBox19", "CheckBox19Click"},
      {"UART1", "Data_int", B, "CheckBox17", "CheckBox17Click"},
      {"SPI", "Spi_use", B, "SPICheck", ""},
      {"SPI", "Spi_en", B, "CheckBox39", "CheckBox39Click"},
      {"SPI", "Spi_master", B, "CheckBox40", "CheckBox40Click"},
      {"SPI", "Spi_lsb", B, "CheckBox41", "CheckBox41Click"},
      {"SPI", "Spi_phase", B, "CheckBox42", "CheckBox42Click"},
      {"SPI", "Spi_idle", B, "CheckBox43", "CheckBox43Click"},
      {"SPI", "Spi_clock", I, "ComboBox13", "ComboBox13Change"},
      {"SPI", "Spi_double", B, "CheckBox44", "CheckBox44Click"},
      {"SPI", "Spi_int", B, "CheckBox45", "CheckBox45Click"},
      {"SPI", "Spi_ds1302", B, "DS1302Check", ""},
      {"SPI", "Spi_sd", B, "SDCheck", ""},
      {"TWI", "Twi_use", B, "TWICheck", ""},
      {"TWI", "Twi_en", B, "CheckBox47", "CheckBox47Click"},
      {"TWI", "Twi_ans", B, "CheckBox48", "CheckBox48Click"},
      {"TWI", "Twi_sla_addr", T, "LabeledEdit3", "LabeledEdit3Change"},
      {"TWI", "Twi_gc", B, "CheckBox49", "CheckBox49Click"},
      {"TWI", "Twi_bit_rate", T, "LabeledEdit4", "LabeledEdit4Change"},
      {"TWI", "Twi_pre", I, "ComboBox14", "ComboBox14Change"},
      {"TWI", "Twi_int", B, "CheckBox50", "CheckBox50Click"},
      {"TWI", "Twi_at24", B, "At24CxxCheck", ""},
      {"TWI", "Twi_sd2k", B, "SD2000Check", ""},
      {"TWI", "Twi_ds1307", B, "DS1307Check", ""},
      {"TWI", "Twi_zlg7290", B, "Zlg7290Check", ""},
      {"TWI", "Twi_tea5767", B, "TEA5767Check", ""},
      {"LCD", "Lcd_use", B, "LCDCheck", ""},
      {"LCD", "Lcd_type", I, "ComboBox16", "ComboBox16Change"},
      {"LCD", "Lcd_io", I, "ComboBox15", "ComboBox15Change"},
      {"LCD", "Data_io", I, "ComboBox18", ""},
      {"LCD", "Contr_io", I, "ComboBox19", "ComboBox19Change"},
      {"LCD", "Check1", B, "RadioButton1", ""},
      {"LCD", "Check2", B, "RadioButton2", ""},
      {"LCD", "Check3", B, "RadioButton3", ""},
      {"LCD", "Check4", B, "RadioButton7", ""},
      {"LCD", "Check5", B, "RadioButton9", ""},
      {"LCD", "Check6", B, "RadioButton4", ""},
      {"LCD", "Check7", B, "RadioButton5", ""},
      {"LCD", "Check8", B, "RadioButton6", ""},
      {"LCD", "Text1", T, "Edit1", ""},
      {"LCD", "Text2", T, "Edit2", ""},
      {"LCD", "Text3", T, "Edit3", ""},
      {"LCD", "Text4", T, "Edit7", ""},
      {"LCD", "Text5", T, "Edit9", ""},
      {"LCD", "Text6", T, "Edit4", ""},
      {"LCD", "Text7", T, "Edit5", ""},
      {"LCD", "Text8", T, "Edit6", ""},
      {"LCD", "Gui_use", B, "GUICheck", ""},
      {"GUI", "Line_use", B, "LineCheck", ""},
      {"GUI", "Circle_use", B, "CircleCheck", ""},
      {"GUI", "Ellipse_use", B, "EllipseCheck", ""},
      {"GUI", "Fill_use", B, "FillCheck", ""},
      {"GUI", "DOWNP", T, "DOWNPEdit", ""},
      {"GUI", "UPP", T, "UPPEdit", ""},
      {"GUI", "Arc_use", B, "ArcCheck", ""},
      {"GUI", "Pieslice_use", B, "PiesliceCheck", ""},
      {"GUI", "Window_use", B, "WindowCheck", ""},
      {"GUI", "Icon_use", B, "IconCheck", ""},
      {"GUI", "Menu_use", B, "MenuCheck", ""},
      {"GUI", "Show_use", B, "ShowCheck", ""},
      {"GUI", "Font5x7_use", B, "Font5x7Check", ""},
      {"GUI", "Font8x8_use", B, "Font8x8Check", ""},
      {"GUI", "Font24x32_use", B, "Font24x32Check", ""},
      {"GUI", "Chinese_use", B, "ChineseCheck", ""},
      {"GUI", "Test1_use", B, "Test1Check", ""},
      {"GUI", "Test2_use", B, "Test2Check", ""},
      {"GUI", "Test3_use", B, "Test3Check", ""},
      {"GUI", "Test4_use", B, "Test4Check", ""},
      {"USB", "Usb_use", B, "USBCheck", ""},
      {"USB", "Usb_chip", I, "ComboBox21", "ComboBox21Change"},
      {"USB", "Usb_io", I, "ComboBox22", ""},
      {"USB", "Data_io", I, "ComboBox23", ""},
      {"USB", "Contr_io", I, "ComboBox24", "ComboBox24Change"},
      {"USB", "Check1", B, "RadioButton8", ""},
      {"USB", "Check2", B, "RadioButton10", ""},
      {"USB", "Check3", B, "RadioButton11", ""},
      {"USB", "Check4", B, "RadioButton12", ""},
      {"USB", "Check5", B, "RadioButton13", ""},
      {"USB", "Check6", B, "RadioButton14", ""},
      {"USB", "Text1", T, "Edit8", ""},
      {"USB", "Text2", T, "Edit10", ""},
      {"USB", "Text3", T, "Edit11", ""},
      {"USB", "Text4", T, "Edit12", ""},
      {"USB", "Text5", T, "Edit13", ""},
      {"USB", "Text6", T, "Edit14", ""},
      {"Other APP", "OneWire_use", B, "OneWireCheck", ""},
      {"Other APP", "Ds18b20_use", B, "DS18B20Check", ""},
      {"Other APP", "Ds18b20_port", I, "ComboBox17", ""},
      {"Other APP", "Ds18b20_portno", V, "SpinEdit1", ""},
      {"Other APP", "MP3_use", B, "MP3Check", ""},
      {"Other APP", "MP3_chip", I, "ComboBox29", "ComboBox29Change"},
      {"Other APP", "MP3_cont", I, "ComboBox30", "ComboBox30Change"},
      {"Other APP", "Check1", B, "RadioButton15", ""},
      {"Other APP", "Check2", B, "RadioButton16", ""},
      {"Other APP", "Check3", B, "RadioButton25", ""},
      {"Other APP", "Check4", B, "RadioButton26", ""},
      {"Other APP", "Text1", T, "Edit15", ""},
      {"Other APP", "Text2", T, "Edit16", ""},
      {"Other APP", "Text3", T, "Edit25", ""},
      {"Other APP", "Text4", T, "Edit26", ""},
  };
  return rows;
}

const ActRow* findActRow(std::string_view section, std::string_view key) {
  for (const auto& row : actRows()) {
    if (equalsFoldingAscii(row.section, section) && equalsFoldingAscii(row.key, key)) return &row;
  }
  return nullptr;
}

static std::string typedKey(const ActRow& row) { return std::string(row.key) + "_typed"; }

void SaveActFile(EditorModel& m, const std::string& path) {
  IniFile ini(path);
  for (const auto& row : actRows()) {
    ini.writeString(row.section, row.key, controlValue(m, row));
    if (row.kind != ActValue::Index || row.control.empty()) continue;
    // A box's index is -1 for a text typed into it ("STA013" in the MP3
    // chip box, a crystal off the list): the text goes beside the index so
    // that loading the file brings it back. Files without typed texts get
    // no such keys; an old one is emptied rather than left stale.
    const Control& c = m.ctl(row.control);
    if (c.itemIndex == -1 && !c.text.empty())
      ini.writeString(row.section, typedKey(row), c.text);
    else if (ini.read(row.section, typedKey(row)))
      ini.writeString(row.section, typedKey(row), "");
  }
  ini.save();
}

void applyActValue(EditorModel& m, const ActRow& row, const std::string& value, const std::string& typed) {
  if (row.control.empty()) return;
  // A value that is not an integer counts as missing: the row's default.
  auto number = parseInteger(value);
  switch (row.kind) {
    case ActValue::Bool: m.setChecked(row.control, number.value_or(0) != 0); break;
    case ActValue::Index:
      if (number == -1 && !typed.empty())
        m.setText(row.control, acceptTypedText(m, row.control, typed));
      else
        m.setItemIndex(row.control, number.value_or(defaultIndex(row)));
      break;
    case ActValue::Value: m.setValue(row.control, number.value_or(defaultIndex(row))); break;
    case ActValue::Text: m.setText(row.control, acceptTypedText(m, row.control, value)); break;
  }
  if (!row.handler.empty()) m.run(row.handler);
}

namespace {

// The nine sections, in file order.
std::vector<std::string_view> actSections() {
  std::vector<std::string_view> out;
  for (const auto& row : actRows()) {
    if (out.empty() || out.back() != row.section) out.push_back(row.section);
  }
  return out;
}

// A file is taken for a settings file when at least one of its sections
// holds a key of the table; anything else (random bytes, NULs, UTF-16,
// lines ended by CR alone, which read as one line) would load as nothing
// but defaults and silently reset every page. Returns the sections that
// hold none of their keys.
std::vector<std::string_view> missingSections(const IniFile& ini, const std::string& path) {
  if (!fileExists(path)) {
    throw Error("设置文件 " + forMessage(path, 240) + " 不存在（" + std::strerror(ENOENT) + "）；当前设置未改变");
  }
  std::vector<std::string_view> missing;
  for (std::string_view section : actSections()) {
    bool found = false;
    for (const auto& row : actRows()) {
      if (row.section != section) continue;
      try {
        found = ini.read(row.section, row.key).has_value();
      } catch (const Error&) {
        found = true;  // there, but unusable: reported when the row loads
      }
      if (found) break;
    }
    if (!found) missing.push_back(section);
  }
  if (missing.size() == actSections().size()) {
    throw Error(forMessage(path, 240) + " 不是设置文件：其中没有 [MCU]、[UART0] ... [Other APP] 任何一节的设置；当前设置未改变");
  }
  return missing;
}

}  // namespace

void LoadActFile(EditorModel& m, const std::string& path) {
  IniFile ini(path);
  // Checked before anything is applied, so a refused file changes nothing.
  const std::vector<std::string_view> missing = missingSections(ini, path);
  std::string version = ini.readString("MCU", "Ver", AppVersion);
  if (version != AppVersion && m.dialogs()) {
    m.dialogs()->showMessage("您所用的软件版本与您的项目文件版本不同，请自行检查！");
  }
  // A value that a handler rejects (a typed text that is not a number)
  // does not stop the load: the rest still loads, then the failures are
  // reported together.
  std::string failures;
  const auto& rows = actRows();
  for (size_t i = 1; i < rows.size(); ++i) {
    const ActRow& row = rows[i];
    try {
      // A missing key reads as empty text, which every kind takes as its default.
      applyActValue(m, row, ini.readString(row.section, row.key, ""),
                    row.kind == ActValue::Index ? ini.readString(row.section, typedKey(row), "") : "");
    } catch (const Error& e) {
      failures += "\n" + std::string(row.section) + "." + std::string(row.key) + ": " + e.what();
    }
  }
  if (!missing.empty() && m.dialogs()) {
    std::string names;
    for (std::string_view section : missing) names += (names.empty() ? "[" : "、[") + std::string(section) + "]";
    m.dialogs()->showMessage(forMessage(path, 240) + " 缺少 " + names + "，这些设置取默认值。");
  }
  if (!failures.empty()) throw Error(forMessage(path, 240) + ": some settings could not be applied:" + failures);
}

namespace {

void BitBtn6Click(EditorModel& m) {
  if (!m.dialogs()) return;
  auto name = m.dialogs()->saveActFile();
  if (!name || trimBlanks(*name).empty()) return;
  SaveActFile(m, *name);
  m.setStatus("设置已保存到 " + forMessage(*name, 240));
}

void BitBtn5Click(EditorModel& m) {
  if (!m.dialogs()) return;
  auto name = m.dialogs()->openActFile();
  if (!name || trimBlanks(*name).empty()) return;
  LoadActFile(m, *name);
}

}  // namespace

void installSettingsHandlers(EditorModel& m) {
  m.addHandler("BitBtn6Click", BitBtn6Click);
  m.addHandler("BitBtn5Click", BitBtn5Click);
}

}  // namespace tamberlo
