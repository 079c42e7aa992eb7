// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/typed_text.h"

#include <algorithm>
#include <utility>

#include "app/device_catalogue.h"
#include "app/editor_model.h"
#include "app/field_message.h"
#include "app/fuses.h"
#include "platform/error.h"
#include "platform/gbk.h"
#include "platform/text.h"

namespace tamberlo {
namespace {

// Boxes whose caption is a label of the window (or, on the UART pages, a
// text only the window shows).
const std::pair<const char*, const char*> kLabelOf[] = {
    {"ComboBox3", "Label5"},   {"ComboBox2", "Label1"},   {"ComboBox33", "Label2"},
    {"ComboBox13", "Label6"},  {"ComboBox14", "Label16"}, {"ComboBox16", "Label18"},
    {"ComboBox18", "Label19"}, {"ComboBox19", "Label20"}, {"ComboBox21", "Label23"},
    {"ComboBox23", "Label25"}, {"ComboBox24", "Label26"}, {"ComboBox17", "Label24"},
    {"ComboBox29", "Label29"}, {"ComboBox30", "Label30"}, {"ComboBox31", "Label33"},
    {"ComboBox32", "Label34"}};
const std::pair<const char*, const char*> kUartText[] = {
    {"ComboBox1", "波特率"}, {"ComboBox5", "校验"}, {"ComboBox4", "数据位"},
    {"ComboBox6", "波特率"}, {"ComboBox8", "校验"}, {"ComboBox7", "数据位"}};

bool isByteLenBox(std::string_view c) { return c == "ComboBox4" || c == "ComboBox7"; }
bool isParityBox(std::string_view c) { return c == "ComboBox5" || c == "ComboBox8"; }

// "8", "8位", " 8 位" all mean the item "8位"; "9" means 9-bit characters.
std::string mappedByteLen(const EditorModel& m, std::string_view control, std::string_view text,
                          const std::string& caption) {
  std::string t(trimBlanks(text));
  const std::string unit = "位";
  if (t.size() >= unit.size() && t.compare(t.size() - unit.size(), unit.size(), unit) == 0) {
    t = std::string(trimBlanks(std::string_view(t).substr(0, t.size() - unit.size())));
  }
  if (t.size() == 1 && t[0] >= '5' && t[0] <= '9') {
    std::string item = t + unit;
    const auto& items = m.ctl(control).items;
    if (t[0] == '9' || std::find(items.begin(), items.end(), item) != items.end()) return item;
  }
  throw Error(fieldMessage(caption, text, "不是可选的字符长度：请选 5位、6位、7位 或 8位，或输入 9位"));
}

std::string mappedParity(const EditorModel& m, std::string_view control, std::string_view text,
                         const std::string& caption) {
  const std::string t(trimBlanks(text));
  const auto& items = m.ctl(control).items;
  if (std::find(items.begin(), items.end(), t) != items.end()) return t;
  std::string choices;
  for (const auto& item : items) choices += (choices.empty() ? "" : "、") + item;
  throw Error(fieldMessage(caption, text, "不是可选的校验方式：请选 " + choices));
}

bool sameLetters(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto f = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    return f(x) == f(y);
  });
}

const char* const kPortBoxes[] = {"ComboBox17", "ComboBox18", "ComboBox19", "ComboBox23", "ComboBox24",
                                  "ComboBox27", "ComboBox28", "ComboBox30", "ComboBox31", "ComboBox32"};

bool isPortBox(std::string_view c) {
  return std::find(std::begin(kPortBoxes), std::end(kPortBoxes), c) != std::end(kPortBoxes);
}

std::string joined(const std::vector<std::string>& items) {
  std::string out;
  for (const auto& item : items) out += (out.empty() ? "" : "、") + item;
  return out;
}

// The box's own item that the text names, in any letter case.
std::optional<std::string> itemNamed(const EditorModel& m, std::string_view control, std::string_view text) {
  const std::string_view t = trimBlanks(text);
  for (const auto& item : m.ctl(control).items) {
    if (sameLetters(item, t)) return item;
  }
  return std::nullopt;
}

// "7.3728", "7.3728MHz" and "7.3728 mhz" all mean the crystal "7.3728": the
// same text every generator, the register view and the build take.
std::string mappedCrystal(std::string_view text, const std::string& caption) {
  std::string_view t = trimBlanks(text);
  if (t.size() >= 3 && sameLetters(t.substr(t.size() - 3), "MHZ")) t = trimBlanks(t.substr(0, t.size() - 3));
  const std::string number(t);
  if (!crystalTextHz(number)) {
    throw Error(fieldMessage(caption, text, "不是以 MHz 为单位的晶振频率：请输入大于 0 的数字，最多 6 位小数，如 7.3728"));
  }
  if (*crystalTextHz(number) >= kMaxCrystalHz) {
    throw Error(fieldMessage(caption, text, "超出范围：晶振频率必须小于 100 MHz"));
  }
  return number;
}

}  // namespace

std::optional<double> crystalMHz(std::string_view text) {
  const auto hz = crystalTextHz(text);
  if (!hz || *hz >= kMaxCrystalHz) return std::nullopt;
  return static_cast<double>(*hz) / 1e6;
}

std::string fieldCaptionOf(const EditorModel& m, std::string_view control) {
  if (!m.has(control)) return std::string(control);
  const Control& c = m.ctl(control);
  // The page's caption first, where a page holds the control: "LCD 型号".
  std::string page;
  if (m.has(c.page) && m.ctl(c.page).kind == ControlKind::Page) page = m.ctl(c.page).caption + " ";
  for (const auto& [box, text] : kUartText) {
    if (control == box) return page + text;
  }
  for (const auto& [box, label] : kLabelOf) {
    if (control == box) return page + m.caption(label);
  }
  if (!c.caption.empty()) return c.kind == ControlKind::Edit ? page + c.caption : c.caption;
  // A pin editor's text box follows the radio button of its signal.
  const auto& all = m.controls();
  for (size_t i = 1; i < all.size(); ++i) {
    if (all[i].name == control && all[i - 1].kind == ControlKind::RadioButton) return page + all[i - 1].caption;
  }
  return std::string(control);
}

std::string acceptTypedText(const EditorModel& m, std::string_view control, std::string_view text) {
  const std::string caption = fieldCaptionOf(m, control);
  auto refuse = [&](std::string_view problem) { return Error(fieldMessage(caption, text, problem)); };
  if (!isValidUtf8(text)) throw refuse("不是有效的文字（不是 UTF-8）");
  for (char ch : text) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x20 || b == 0x7F) throw refuse("含有控制字符（回车、换行、ESC 等），生成的代码行容纳不了");
  }
  try {
    utf8ToGbk(text);
  } catch (const Error&) {
    throw refuse("含有 GBK 编码表示不了的字符");
  }
  // A backslash at the end of a // comment joins the next line to it (GCC
  // also when blanks follow the backslash).
  std::string_view body = text;
  while (!body.empty() && (body.back() == ' ' || body.back() == '\t')) body.remove_suffix(1);
  if (!body.empty() && body.back() == '\\') throw refuse("以反斜杠结尾，会把生成的注释接到下一行");
  for (size_t i = 0; i + 2 < text.size(); ++i) {
    if (text[i] == '?' && text[i + 1] == '?' && std::string_view("=/'()!<>-").find(text[i + 2]) != std::string_view::npos) {
      throw refuse("含有三字符组 “??" + std::string(1, text[i + 2]) + "”，编译器会把它换成别的字符");
    }
  }
  if (isByteLenBox(control)) return mappedByteLen(m, control, text, caption);
  if (isParityBox(control)) return mappedParity(m, control, text, caption);
  if (control == "ComboBox2") return mappedCrystal(text, caption);
  if (control == "ComboBox3") {
    if (auto item = itemNamed(m, control, text)) return *item;
    throw Error(fieldMessage(caption, text, "不是可选的 MCU：请从列表中选择"));
  }
  if (isPortBox(control)) {
    if (auto item = itemNamed(m, control, text)) return *item;
    throw Error(fieldMessage(caption, text, "不是 " + m.text("ComboBox3") + " 的端口：请选 " + joined(m.ctl(control).items)));
  }
  return std::string(text);
}

}  // namespace tamberlo
