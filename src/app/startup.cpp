// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the editor, the MCU and crystal choices and the title cycle.
#include <cmath>
#include <filesystem>
#include <system_error>

#include "app/constants.h"
#include "app/device_catalogue.h"
#include "app/editor_model.h"
#include "app/field_message.h"
#include "app/typed_text.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/ini_file.h"
#include "platform/text.h"

namespace tamberlo {
namespace {

const char* const kPortBoxes[] = {"ComboBox17", "ComboBox18", "ComboBox19", "ComboBox23",
                                  "ComboBox24", "ComboBox27", "ComboBox28", "ComboBox30",
                                  "ComboBox31", "ComboBox32"};

std::string titleWithBlank(std::string_view name) {
  return std::string(name) + " " + std::string(AppVersion);
}

// Designed captions replaced at start, in window order.
void applyChineseCaptions(EditorModel& m) {
  static const std::pair<const char*, const char*> uart0[] = {
      {"CheckBox5", "接收使能"},   {"CheckBox7", "发送使能"},
      {"CheckBox6", "多处理器通讯模式"}, {"CheckBox21", "同步模式"},
      {"CheckBox4", "下降沿同步"}, {"CheckBox9", "接收中断"},
      {"CheckBox11", "发送中断"},  {"CheckBox8", "数据寄存器空中断"}};
  static const std::pair<const char*, const char*> uart1[] = {
      {"CheckBox14", "接收使能"},  {"CheckBox16", "发送使能"},
      {"CheckBox15", "多处理器通讯模式"}, {"CheckBox22", "同步模式"},
      {"CheckBox20", "下降沿同步"}, {"CheckBox18", "接收中断"},
      {"CheckBox19", "发送中断"},  {"CheckBox17", "数据寄存器空中断"}};
  static const std::pair<const char*, const char*> rest[] = {
      {"CheckBox39", "使能SPI"},         {"CheckBox40", "主机模式"},
      {"CheckBox41", "数据低位先发送"},   {"CheckBox42", "时钟下降沿起始"},
      {"CheckBox43", "时钟结束沿采样"},   {"CheckBox44", "倍速"},
      {"CheckBox45", "使能串行传输中断"}, {"CheckBox47", "使能TWI"},
      {"CheckBox48", "使能TWI应答"},      {"LabeledEdit3", "从机地址"},
      {"CheckBox49", "使能TWI广播识别"},  {"LabeledEdit4", "分频因子"},
      {"Label16", "预分频"},              {"CheckBox50", "使能TWI中断"},
      {"CheckBox30", "使能ADC"},          {"CheckBox31", "连续转换选择"},
      {"CheckBox32", "启动转换"},         {"CheckBox34", "自动触发使能"},
      {"CheckBox35", "结果左对齐"},       {"Label11", "参考电压"},
      {"Label12", "自动触发源"},          {"Label13", "预分频"},
      {"Label21", "通道选择(增益)"},      {"CheckBox36", "高速"},
      {"CheckBox37", "转换完成中断"},     {"CheckBox24", "不使能ACP"},
      {"CheckBox25", "使能定时器1输入捕捉"}, {"CheckBox26", "使能多路复用器"},
      {"CheckBox27", "使能能隙基准源"},   {"Label10", "比较中断模式选择"},
      {"CheckBox28", "使能比较中断"}};
  m.setCaption("Label5", "系统MCU");
  for (auto [name, caption] : uart0) m.setCaption(name, caption);
  m.run("RS485Check0Click");
  for (auto [name, caption] : uart1) m.setCaption(name, caption);
  m.run("RS485Check1Click");
  for (auto [name, caption] : rest) m.setCaption(name, caption);
}

// act.ini index restore: a value outside the box's list falls back to the
// default, so a crystal typed by hand (stored as -1) cannot leave the box
// empty and break every later start.
int restoredIndex(EditorModel& m, const std::optional<IniFile>& ini, const char* key, int fallback,
                  size_t listSize) {
  if (!ini) return fallback;
  int v = fallback;
  try {
    v = ini->readInteger("MCU", key, fallback);
  } catch (const Error& e) {
    m.noteActIniProblem(e, false);
  }
  if (v < 0 || static_cast<size_t>(v) >= listSize) return fallback;
  return v;
}

void ComboBox3Change(EditorModel& m) {
  m.writeActIni("MCU", "mcutype", std::to_string(m.itemIndex("ComboBox3")));
  m.clearPreview();
  std::string name = m.text("ComboBox3");
  m.currentMcu() = name;
  const std::string page0 = EditorModel::pageNames()[0];
  const std::string page1 = EditorModel::pageNames()[1];
  const std::string page3 = EditorModel::pageNames()[3];
  RegisterShadows& r = m.shadows();
  if (!isTwoUartDevice(name)) {
    m.setVisible(page1, false);
    m.setCaption(page0, "UART");
    m.setCaption("UART0Check", "UART");
    r.UCSR0C |= 0x80;
    m.setVisible(page3, true);
    if (name == "ATMega8515") {
      m.setVisible(page3, false);
      m.setChecked("TWICheck", false);
    }
    m.setChecked("UART1Check", false);
  } else {
    m.setVisible(page1, true);
    m.setCaption(page0, "UART0");
    m.setCaption("UART0Check", "UART0");
    r.UCSR0C &= 0x7F;
    m.setVisible(page3, true);
  }
  applyUartHints(m, isTwoUartDevice(name));
  // Refill the port boxes. The displayed port stays; it is selected again
  // when the new list has it, so saved settings keep their ports.
  const auto& ports = portNamesFor(name);
  std::string dropped;
  for (const char* box : kPortBoxes) {
    std::string shown = m.text(box);
    m.setItems(box, ports);
    m.setText(box, shown);
    // A port the new chip lacks (PORTF on an ATmega16) would stay shown but
    // name no pin of it: the box falls back to the first port, and says so.
    if (m.itemIndex(box) < 0 && !shown.empty()) {
      m.setItemIndex(box, 0);
      if (dropped.find(shown) == std::string::npos) dropped += (dropped.empty() ? "" : "、") + shown;
    }
  }
  if (!dropped.empty()) m.setStatus(name + " 没有 " + dropped + "，用到它的端口框已改为 " + ports.front());
}

void RegisterViewCheckClick(EditorModel& m) {
  m.writeActIni("View", "registers", m.checked("RegisterViewCheck") ? "1" : "0");
}

void Label4Click(EditorModel& m) {
  const std::string url = "http://" + std::string(MakerWebAddress);
  // Without a browser the click would do nothing at all; say why.
  if (m.dialogs() && !m.dialogs()->openWebAddress(url)) {
    m.setStatus("无法打开 " + url + "：没有找到可用的浏览器");
  }
}

}  // namespace

void refreshRateLabels(EditorModel& m) {
  const RegisterShadows& r = m.shadows();
  double spi = r.FoscMHz * 1000000.0 * r.SpiSpeedFactor / r.SpiDivider;
  double twi = r.FoscMHz * 1000000.0 / (16.0 + 2.0 * r.TWBR * std::pow(4.0, r.TWPS));
  m.setCaption("Label15", "Clock Rate: " + formatFixed(spi, 2, 0) + "Hz");
  m.setCaption("Label17", "Rate: " + formatFixed(twi, 2, 0) + "Hz");
  double adc = toInteger(m.text("ComboBox12")) * 13 / r.FoscMHz;
  m.setCaption("Label14", "转换时间: " + formatFixed(adc, 2, 0) + "uS");
}

void EditorModel::FormCreate(const std::string& exeDir) {
  if (exeDir.empty()) {
    FormCreate(placeFilesForExecutable(xdgUserFolders()));
  } else {
    FormCreate(placeFiles(exeDir, true, {}));
  }
}

void EditorModel::FormCreate(const FilePlaces& places) {
  exeDir_ = withTrailingSeparator(places.exeDir);
  actIniFolder_ = withTrailingSeparator(places.actIniFolder);
  updateDir_ = withTrailingSeparator(places.updateFolder);
  projectDir_ = withTrailingSeparator(places.projectDir);
  installed_ = places.installed;
  placesProblem_ = places.problem;
  // The user's folders may not exist yet on a fresh account; a failure shows
  // later, naming the file that could not be written.
  std::error_code ignored;
  if (installed_) std::filesystem::create_directories(actIniFolder_, ignored);
  if (!places.projectNamed) std::filesystem::create_directories(projectDir_ + "output", ignored);
}

void EditorModel::ensureProjectDir() const {
  if (folderExists(projectDir_)) return;
  // Made at start when possible; if that failed, this names the real reason
  // (a documents folder we may not write) rather than the missing folder.
  std::error_code why;
  std::filesystem::create_directories(projectDir_, why);
  if (why && !folderExists(projectDir_)) {
    throw Error("cannot create the project folder " + forMessage(projectDir_, 240) + ": " + why.message());
  }
}

void EditorModel::FormShow() {
  EditorModel& m = *this;
  // 1-2: process values and the window itself.
  needDelay_ = false;
  updatePending_ = true;
  setCaption("Form1", "Tamberlo" + std::string(AppVersion));
  setValue("Memo1", 257);
  setValue("Panel1", 425);
  setCaption("Label22", "");
  // 3: pages.
  const auto& pages = pageNames();
  setValue("PageControl1", 0);
  setCaption(pages[0], "UART");
  setCaption("UART0Check", "UART");
  for (int hidden : {1, 4, 5, 6, 7, 8, 9, 11, 14}) setVisible(pages[static_cast<size_t>(hidden)], false);
  // 4: every selection box.
  setItemIndex("ComboBox1", 6);
  setItemIndex("ComboBox2", 10);
  setItemIndex("ComboBox3", 3);
  setItemIndex("ComboBox4", 3);
  setItemIndex("ComboBox5", 0);
  setItemIndex("ComboBox6", 6);
  setItemIndex("ComboBox7", 3);
  setItemIndex("ComboBox8", 0);
  for (int i = 9; i <= 33; ++i) setItemIndex("ComboBox" + std::to_string(i), 0);
  // 5-6: enabled and ticked states of the UART boxes.
  for (const char* n : {"UART0Check", "CheckBox6", "CheckBox15"}) setEnabled(n, true);
  for (const char* n : {"CheckBox4", "CheckBox20"}) setEnabled(n, false);
  for (const char* n : {"CheckBox1", "CheckBox2", "UART0Check", "CheckBox4", "CheckBox5", "CheckBox6",
                        "CheckBox7", "CheckBox8", "UART1Check", "CheckBox15", "CheckBox20"}) {
    setChecked(n, false);
  }
  // 7-9: preview, register shadows and the rate labels.
  clearPreview();
  shadows_ = RegisterShadows{};
  refreshRateLabels(m);
  // 10: Chinese captions, with the RS485 pin controls following their boxes.
  applyChineseCaptions(m);
  // 11: the pin editors.
  setEnabled("GUICheck", false);
  setCaption("Label19", "数据");
  setCaption("Label20", "接口");
  run("ComboBox19Change");
  setCaption("Label25", "数据");
  setCaption("Label26", "接口");
  run("ComboBox24Change");
  setCaption("Label29", "芯片");
  setCaption("Label30", "接口");
  run("ComboBox30Change");
  // 12: the choices remembered in act.ini.
  const std::optional<IniFile> ini = openActIni();
  int mcu = restoredIndex(m, ini, "mcutype", 3, ctl("ComboBox3").items.size());
  int fosc = restoredIndex(m, ini, "Fosc", 10, ctl("ComboBox2").items.size());
  int compile = restoredIndex(m, ini, "compile", 0, ctl("ComboBox33").items.size());
  setItemIndex("ComboBox3", mcu);
  run("ComboBox3Change");
  setItemIndex("ComboBox2", fosc);
  run("ComboBox2Change");
  setItemIndex("ComboBox33", compile);
  run("ComboBox33Change");
  // The register view as the user left it; hidden unless asked for.
  bool registers = false;
  try {
    registers = ini && ini->readInteger("View", "registers", 0) == 1;
  } catch (const Error& e) {
    noteActIniProblem(e, false);
  }
  ctl("RegisterViewCheck").checked = registers;
  // The project folder the user chose ("工程目录..."), while it is there.
  try {
    const std::string folder = ini ? ini->readString("Project", "folder", "") : "";
    if (!folder.empty() && folderExists(folder)) setProjectDir(folder);
  } catch (const Error& e) {
    noteActIniProblem(e, false);
  }
  if (!placesProblem_.empty() && dialogs_) dialogs_->showMessage(placesProblem_);
}

void EditorModel::Timer1Timer() {
  const std::string t = titleWithBlank("Tamberlo");
  const std::string e = titleWithBlank("QUORVANE");
  const std::string url(MakerWebAddress);
  const std::string& now = caption("Form1");
  if (now == t) {
    setCaption("Form1", url);
  } else if (now == url) {
    setCaption("Form1", e);
  } else {
    setCaption("Form1", t);
  }
}

void installStartupHandlers(EditorModel& m) {
  m.addHandler("ComboBox3Change", ComboBox3Change);
  m.addHandler("Label4Click", Label4Click);
  m.addHandler("RegisterViewCheckClick", RegisterViewCheckClick);
}

}  // namespace tamberlo
