// SPDX-License-Identifier: GPL-3.0-or-later
// test.prj, test.SRC and test.pnproj. They list what the module generators of
// the same run wrote, so the run writes them last.
#include "project/project_files.h"

#include "app/device_catalogue.h"
#include "modlib/modlib.h"
#include "platform/error.h"
#include "platform/ini_file.h"

namespace tamberlo {

const std::vector<IccOption>& iccOptions() {
  using K = IccOption::Kind;
  // Keys 1 ("Edit1"), 3 ("Edit2") and 11 ("ComboBox2") take their value from
  // the configuration; the entries here only hold their place.
  static const std::vector<IccOption> options = {
      {"Edit1", K::Text, "", 0},           {"Edit19", K::Text, "", 0},
      {"Edit2", K::Text, "", 0},           {"Edit8", K::Text, "", 0},
      {"CheckBox1", K::Integer, "", 0},    {"CheckBox2", K::Integer, "", 1},
      {"Edit3", K::Text, "", 0},           {"Edit4", K::Text, "", 0},
      {"Edit13", K::Text, "", 0},          {"ComboBox1", K::Integer, "", 0},
      {"ComboBox2", K::Integer, "", 0},    {"Edit9", K::Text, "8192", 0},
      {"Edit10", K::Text, "1024", 0},      {"Edit20", K::Text, "512", 0},
      {"RadioGroup3", K::Integer, "", 0},  {"ComboBox9", K::Integer, "", 0},
      {"RadioGroup1", K::Integer, "", 0},  {"Edit15", K::Text, "", 0},
      {"Edit11", K::Text, "16", 0},        {"CheckBox6", K::Integer, "", 1},
      {"Edit12", K::Text, "0x13", 0},      {"CheckBox7", K::Integer, "", 0},
      {"CheckBox8", K::Integer, "", 1},    {"RadioGroup2", K::Integer, "", 0},
      {"Edit5", K::Text, "", 0},           {"Edit6", K::Text, "", 0},
      {"ComboBox3", K::Integer, "", -1},   {"Edit14", K::Text, "", 0},
      {"Edit17", K::Text, "", 0},          {"Edit7", K::Text, "", 0},
      {"CheckBox3", K::Integer, "", 0},    {"Edit16", K::Text, "", 0},
      {"Edit18", K::Text, "0x60", 0},      {"CheckBox4", K::Integer, "", 0},
      {"RadioGroup4", K::Integer, "", 4},  {"ComboBox5", K::Integer, "", -1},
      {"ComboBox6", K::Integer, "", -1},   {"CheckBox10", K::Integer, "", 0},
      {"ComboBox8", K::Integer, "", -1},   {"CheckBox5", K::Integer, "", 1},
      {"RadioGroup5", K::Integer, "", 0},  {"ComboBox4", K::Integer, "", 0},
      {"CheckBox9", K::Integer, "", 0},    {"ChangeState", K::Text, "0", 0},
      {"Edit21", K::Text, "0", 0},         {"AVROptionVersion", K::Text, "7", 0},
      {"Edit23", K::Text, "", 0},          {"CheckBox13", K::Integer, "", 0},
      {"Edit24", K::Text, "6.30", 0},      {"Edit25", K::Text, "", 0},
      {"ComboBox10", K::Integer, "", 0},   {"RadioGroup6", K::Integer, "", 0},
      {"Edit26", K::Text, "5", 0},         {"RadioGroup7", K::Integer, "", 0},
      {"CheckBox15", K::Integer, "", 0},   {"Edit27", K::Text, "", 0},
      {"CheckBox17", K::Integer, "", 0},   {"CheckBox18", K::Integer, "", 0},
      {"RadioGroup8", K::Integer, "", 2},  {"CheckBox11", K::Integer, "", 0},
      {"Edit22", K::Text, "0.0x1FFFF", 0}, {"CheckBox12", K::Integer, "", 0},
      {"CheckBox14", K::Integer, "", 1},   {"SalvoRadioGroup", K::Text, "6", 0},
      {"RadioGroup9", K::Integer, "", 0},  {"SalvoPathEdit", K::Text, "", 0},
      {"CheckBox16", K::Integer, "", 0},
  };
  return options;
}

namespace {

bool isSed1335(const ProjectConfig& c) {
  return c.LCD.Lcd_use && c.LCD.Lcd_type.text == "LCD320x240(SED1335)";
}

// Appends the module files with extension `ext` (".c" or ".h"): the source
// list and the header list follow the same order and conditions.
void addModuleFiles(TextBuffer& b, const ProjectConfig& c, bool needDelay, bool headers) {
  const char* ext = headers ? ".h" : ".c";
  auto file = [&](const std::string& stem) { b.add(stem + ext); };
  if (c.UART0.Uart0_use || c.UART1.Uart1_use) file("uart");
  if (c.SPI.Spi_use) {
    file("spi");
    if (c.SPI.Spi_ds1302) file("ds1302");
    if (c.SPI.Spi_sd) {
      file("sd");
      file("fat");
    }
  }
  if (c.TWI.Twi_use) {
    file("twi");
    if (c.TWI.Twi_at24) file("at24cxx");
    if (c.TWI.Twi_sd2k) file("sd2000");
    if (c.TWI.Twi_ds1307) file("ds1307");
    if (c.TWI.Twi_zlg7290) file("zlg7290");
    if (c.TWI.Twi_tea5767) file("tea5767");
  }
  if (c.Adc_use) file("adc");
  if (c.Acp_use) file("acp");
  if (c.LCD.Lcd_use) {
    if (isLcdModel(c.LCD.Lcd_type.text)) {
      file("lcd");
      if (headers && isSed1335(c)) b.add("letters_lib.h");
    }
    if (c.LCD.Gui_use) {
      const auto& g = c.GUI;
      file("gui");
      if (g.Chinese_use || g.Icon_use) file("Loadbit");
      if (g.Font5x7_use) file("font5_7");
      if (g.Font8x8_use) file("font8_8");
      if (g.Font24x32_use) file("font24_32");
      if (g.Window_use || g.Menu_use || g.Icon_use || g.Font5x7_use) file("GUI_StockC");
      if (g.Window_use) file("windows");
      if (g.Menu_use || g.Icon_use) file("menu");
      if (g.Show_use) file("show");
    }
  }
  if (c.USB.Usb_use && c.USB.Usb_chip.text == "CH375") {
    file("ch375");
    b.add(headers ? "CH375HFB.H" : "CH375HFB.A");  // the chip maker's file-system library
  }
  if (c.OtherAPP.OneWire_use && c.OtherAPP.Ds18b20_use) file("ds18b20");
  if (c.OtherAPP.MP3_use && c.OtherAPP.MP3_chip.text == "VS1003") file("vs1003");
  if (needDelay) file("delay");
}

void addIccOptions(GenContext& ctx) {
  const ProjectConfig& c = ctx.cfg;
  IniFile prj(ctx.projectDir + "test.prj");
  const std::string section = "Compiler Options";
  const auto device = findDevice(c.mcuName());
  for (const IccOption& o : iccOptions()) {
    const std::string key = o.key;
    if (key == "Edit1") {
      prj.writeString(section, key, c.Compiler_path + "include\\");
    } else if (key == "Edit2") {
      prj.writeString(section, key, c.Compiler_path + "lib\\");
    } else if (key == "ComboBox2") {
      // A typed MCU name has no device index; the key keeps what it had.
      if (device) prj.writeInteger(section, key, device->iccDeviceCode);
    } else if (o.kind == IccOption::Integer) {
      prj.writeInteger(section, key, o.number);
    } else {
      prj.writeString(section, key, o.text);
    }
  }
  ctx.files.addBytes("test.prj", prj.bytes());
}

}  // namespace

TextBuffer iccSourceList(const ProjectConfig& cfg, bool needDelay) {
  TextBuffer b{"[Files]", "main.c"};
  addModuleFiles(b, cfg, needDelay, false);
  b.add("[Headers]");
  addModuleFiles(b, cfg, needDelay, true);
  b.add("[Documents]");
  return b;
}

void MakeIccProject(GenContext& ctx) {
  addIccOptions(ctx);
  TextBuffer list = iccSourceList(ctx.cfg, ctx.NeedDelay);
  // The SED1335 demo draws letter bitmaps that the GUI library supplies;
  // the list names the header, so it must be in the folder, whichever
  // compiler the user works with.
  if (isSed1335(ctx.cfg)) GuiCreateCode("letters", ctx.files);
  // A project that names a file the run did not write cannot be built; say
  // so instead of letting the run report success.
  if (ctx.earlier) {
    for (const std::string& name : list.lines()) {
      if (name.empty() || name.front() == '[') continue;
      if (!ctx.earlier->find(name) && !ctx.files.find(name)) {
        throw Error("the project lists " + name + ", but this run did not write it");
      }
    }
  }
  ctx.files.add("test.SRC", list);
}

void MakeGccProject(GenContext& ctx) {
  TextBuffer b{"<Project name=\"test\">", "<File path=\"main.c\"></File>", "</Project>"};
  ctx.files.add("test.pnproj", b);
}

}  // namespace tamberlo
