// SPDX-License-Identifier: GPL-3.0-or-later
#include "modlib/modlib.h"

#include <optional>

#include "modlib/embedded_templates.h"
#include "platform/error.h"
#include "platform/fill.h"
#include "platform/fs.h"
#include "platform/text.h"

namespace tamberlo {
namespace {

std::string folderKey(std::string_view folder) {
  std::string key(folder);
  if (!key.empty() && key.back() != '/') key += '/';
  return key;
}

bool endsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// "LCD128x64(T6963)" -> "LCD128x64_T6963"; the folder name of a model.
std::string modelFolder(std::string_view model) {
  std::string out;
  for (char c : model) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
      out += c;
    } else if (c == '(') {
      out += '_';
    }
  }
  return out;
}

std::string interfaceFolder(std::string_view io) {
  if (io == "4 线并口") return "4bit";
  if (io == "8 线并口") return "8bit";
  if (io == "串行接口") return "serial";
  return "other";
}

const EmbeddedTemplate* findTemplate(std::string_view path) {
  for (const auto& t : embeddedTemplates())
    if (t.path == path) return &t;
  return nullptr;
}

}  // namespace

std::string moduleTemplateText(std::string_view path) {
  const EmbeddedTemplate* t = findTemplate(path);
  if (!t) throw Error("the module library has no template \"" + std::string(path) + "\"");
  // A line "@include shared/NAME" takes in a piece of code that several
  // modules share (the FAT16 reader of the SD card and the CH375 file layer,
  // the bus waits and recovery of the chip drivers). Words "KEY=VALUE" after
  // the name fill the piece's "$KEY$" marks, so each driver keeps its own
  // prefix on the shared routines.
  const std::string_view mark = "@include ";
  std::string out;
  std::string_view text = t->text;
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl == std::string_view::npos ? text.size() : nl + 1);
    text.remove_prefix(line.size());
    if (line.substr(0, mark.size()) == mark) {
      std::string_view rest = line.substr(mark.size());
      while (!rest.empty() && (rest.back() == '\n' || rest.back() == '\r')) rest.remove_suffix(1);
      const size_t space = rest.find(' ');
      const std::string_view name = rest.substr(0, space);
      if (name == path) throw Error("the module template \"" + std::string(path) + "\" takes in itself");
      ModuleValues marks;
      for (std::string_view words = space == std::string_view::npos ? "" : rest.substr(space + 1);
           !words.empty();) {
        const size_t end = words.find(' ');
        const std::string_view word = words.substr(0, end);
        words = end == std::string_view::npos ? "" : words.substr(end + 1);
        const size_t eq = word.find('=');
        if (eq == std::string_view::npos || eq == 0) {
          throw Error("the module template \"" + std::string(path) + "\" includes \"" + std::string(name) +
                      "\" with \"" + std::string(word) + "\", which is no KEY=VALUE");
        }
        marks[std::string(word.substr(0, eq))] = std::string(word.substr(eq + 1));
      }
      // The piece's other marks are the module's own values, filled later.
      Filler filler("module template " + std::string(path) + " including " + std::string(name), marks);
      out += filler.fill(moduleTemplateText(name), true);
      filler.finish();
    } else {
      out += line;
    }
  }
  return out;
}

std::string_view moduleTemplate(std::string_view path) {
  if (const EmbeddedTemplate* t = findTemplate(path)) return t->text;
  throw Error("the module library has no template \"" + std::string(path) + "\"");
}

bool hasModuleTemplates(std::string_view folder) {
  std::string key = folderKey(folder);
  for (const auto& t : embeddedTemplates()) {
    if (t.path.substr(0, key.size()) == key) return true;
  }
  return false;
}

std::vector<std::string> addModuleFiles(std::string_view folder, GeneratedFiles& files,
                                        const TextBuffer* banner, std::string_view what,
                                        const ModuleValues& values) {
  std::string key = folderKey(folder);
  Filler filler("module template " + key, values);
  std::vector<std::string> written;
  for (const auto& t : embeddedTemplates()) {
    if (t.path.substr(0, key.size()) != key) continue;
    std::string_view rest = t.path.substr(key.size());
    if (rest.find('/') != std::string_view::npos) continue;  // a deeper folder is another module
    TextBuffer out;
    if (banner && endsWith(rest, ".c")) out.assign(banner->lines());
    // Only modules that take values have marks; the others are written as
    // they stand (a '$' in their text is just a character).
    std::string text = moduleTemplateText(t.path);
    out.addText(values.empty() ? text : filler.fill(text));
    files.add(std::string(rest), out);
    written.emplace_back(rest);
  }
  if (written.empty()) throw Error("the " + std::string(what) + " has no module " + quoted(folder.substr(folder.find('/') + 1)));
  // One set of values serves the whole folder: each must be used by one of its files.
  if (!values.empty()) filler.finish();
  return written;
}

void addGccHeaders(GeneratedFiles& files, std::string_view deviceHeader) {
  const std::string_view key = "gcc/";
  moduleTemplate(std::string(key) + std::string(deviceHeader));  // a chip without a header fails first
  for (const auto& t : embeddedTemplates()) {
    if (t.path.substr(0, key.size()) != key) continue;
    std::string_view name = t.path.substr(key.size());
    // iomNNv.h: one per chip, only the chosen one is written.
    bool device = name.substr(0, 3) == "iom" && endsWith(name, "v.h");
    if (device && name != deviceHeader) continue;
    TextBuffer out;
    out.addText(t.text);
    files.add("gcc/" + std::string(name), out);
  }
}

void SpiCreateCode(std::string_view name, GeneratedFiles& files,
                   const TextBuffer& buffer, unsigned long crystalHz) {
  addModuleFiles("spi/" + std::string(name), files, &buffer, "SPI module library",
                   {{"crystal_hz", std::to_string(crystalHz)}});
}

void TwiCreateCode(std::string_view name, GeneratedFiles& files,
                   const TextBuffer& buffer, unsigned long crystalHz) {
  addModuleFiles("twi/" + std::string(name), files, &buffer, "TWI module library",
                   {{"crystal_hz", std::to_string(crystalHz)}});
}

// The character modules share one HD44780 driver; the model gives its size
// and where each row starts in display RAM (rows 3 and 4 of the 40x4 sit on
// the second controller).
std::string characterGeometry(std::string_view model, const CharacterGeometry& g) {
  return "//" + std::string(model) + "：" + std::to_string(g.cols) + "列" + std::to_string(g.rows) +
         "行\n#define LCD_COLS         " + std::to_string(g.cols) + "\n#define LCD_ROWS         " +
         std::to_string(g.rows) + "\n#define lcd_row_addr(y)  " + std::string(g.rowAddr) + "   //各行首地址";
}

void LcdCreateCode(std::string_view model, std::string_view io, GeneratedFiles& files,
                   const TextBuffer& buffer, unsigned long crystalHz, const CharacterGeometry* character) {
  // The bus waits of the parallel controllers are counted in cycles of it.
  const ModuleValues crystal = {{"crystal_hz", std::to_string(crystalHz)}};
  if (character) {
    const std::string geometry = characterGeometry(model, *character);
    std::string text(moduleTemplate("lcd_shared/HD44780/lcd.c"));
    text = fillMarks("module template lcd_shared/HD44780/lcd.c", text, {{"geometry", geometry}});
    TextBuffer out;
    out.assign(buffer.lines());
    out.addText(text);
    files.add("lcd.c", out);
    return;
  }
  // Models that differ only in size share one driver (lcd.h gives the size).
  if (model == "LCD128x64(T6963)" || model == "LCD240x64(T6963)") {
    addModuleFiles("lcd_shared/T6963", files, &buffer, "LCD module library", crystal);
    return;
  }
  if (model == "LCD122x32(ST7920)" || model == "LCD128x64(ST7920)") {
    // One driver for both panels (the size comes from lcd.h) and both
    // buses; only the byte transfer differs.
    const bool serial = io == "串行接口";
    std::string text = fillMarks(
        "module template lcd_shared/ST7920/lcd.c", moduleTemplate("lcd_shared/ST7920/lcd.c"),
        {{"panel", std::string(model.substr(3, 6)) + (serial ? "，串行接口" : "，8位并口")},
         {"bus", std::string(moduleTemplate(serial ? "lcd_shared/ST7920/bus/serial.c"
                                                   : "lcd_shared/ST7920/bus/parallel.c"))},
         {"crystal_hz", std::to_string(crystalHz)}});
    TextBuffer out;
    out.assign(buffer.lines());
    out.addText(text);
    files.add("lcd.c", out);
    return;
  }
  std::string base = "lcd/" + modelFolder(model);
  std::string specific = base + "/" + interfaceFolder(io);
  const std::string folder = hasModuleTemplates(specific) ? specific : base;
  // The run must not go on to report success without the driver source.
  if (!findTemplate(folder + "/lcd.c")) {
    throw Error("LCD: the module library has no driver for " + std::string(model) +
                " yet, so lcd.c cannot be written");
  }
  addModuleFiles(folder, files, &buffer, "LCD module library",
                   model == "LCD240x64(KS0108)" ? crystal : ModuleValues{});
}

void GuiCreateCode(std::string_view name, GeneratedFiles& files) {
  addModuleFiles("gui/" + std::string(name), files, nullptr, "GUI module library");
  // gui.h includes "loadbit.h" while the project lists Loadbit.h: on a
  // case-sensitive file system both names must exist. A second file with the
  // same text (not a link: a Windows share may not keep links); where case
  // does not count it overwrites the first with identical bytes.
  if (name == "loadbit") {
    TextBuffer copy;
    copy.addText(moduleTemplate("gui/loadbit/Loadbit.h"));
    files.add("loadbit.h", copy);
  }
}

void UsbCreateCode(std::string_view name, GeneratedFiles& files,
                   const TextBuffer& buffer) {
  addModuleFiles("usb/" + std::string(name), files, &buffer, "USB module library");
  // The project lists the chip maker's file-system library CH375HFB.A; its
  // work is done by the file layer in ch375.c, so an empty archive (the
  // eight-byte "ar" signature) keeps the list valid for both linkers.
  if (name == "ch375") files.addBytes("CH375HFB.A", "!<arch>\n");
}

void Mp3CreateCode(std::string_view name, GeneratedFiles& files,
                   const TextBuffer& buffer, unsigned long crystalHz) {
  addModuleFiles("mp3/" + std::string(name), files, &buffer, "MP3 module library",
                   {{"crystal_hz", std::to_string(crystalHz)}});
}

}  // namespace tamberlo
