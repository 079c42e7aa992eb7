#include "modlib/modlib.h"

#include "modlib/embedded_templates.h"
#include "platform/error.h"

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
  // modules share (the FAT16 reader of the SD card and the CH375 file layer).
  const std::string_view mark = "@include ";
  std::string out;
  std::string_view text = t->text;
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl == std::string_view::npos ? text.size() : nl + 1);
    text.remove_prefix(line.size());
    if (line.substr(0, mark.size()) == mark) {
      std::string_view name = line.substr(mark.size());
      while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.remove_suffix(1);
      if (name == path) throw Error("the module template \"" + std::string(path) + "\" takes in itself");
      out += moduleTemplateText(name);
    } else {
      out += line;
    }
  }
  return out;
}

bool hasModuleTemplates(std::string_view folder) {
  std::string key = folderKey(folder);
  for (const auto& t : embeddedTemplates()) {
    if (t.path.substr(0, key.size()) == key) return true;
  }
  return false;
}

std::vector<std::string> writeModuleFiles(std::string_view folder, const std::string& projectDir,
                                          const TextBuffer* banner, std::string_view what) {
  std::string key = folderKey(folder);
  std::vector<std::string> written;
  for (const auto& t : embeddedTemplates()) {
    if (t.path.substr(0, key.size()) != key) continue;
    std::string_view rest = t.path.substr(key.size());
    if (rest.find('/') != std::string_view::npos) continue;  // a deeper folder is another module
    TextBuffer out;
    if (banner && endsWith(rest, ".c")) out.assign(banner->lines());
    out.addText(moduleTemplateText(t.path));
    out.save(projectDir, std::string(rest));
    written.emplace_back(rest);
  }
  if (written.empty())
    throw Error("the " + std::string(what) + " has no module \"" +
                std::string(folder.substr(folder.find('/') + 1)) + "\"");
  return written;
}

void SpiCreateCode(WindowHandle, std::string_view name, const std::string& projectDir,
                   const TextBuffer& buffer) {
  writeModuleFiles("spi/" + std::string(name), projectDir, &buffer, "SPI module library");
}

void TwiCreateCode(WindowHandle, std::string_view name, const std::string& projectDir,
                   const TextBuffer& buffer) {
  writeModuleFiles("twi/" + std::string(name), projectDir, &buffer, "TWI module library");
}

void LcdCreateCode(WindowHandle, std::string_view model, std::string_view io, const std::string& projectDir,
                   const TextBuffer& buffer) {
  std::string base = "lcd/" + modelFolder(model);
  std::string specific = base + "/" + interfaceFolder(io);
  writeModuleFiles(hasModuleTemplates(specific) ? specific : base, projectDir, &buffer, "LCD module library");
}

void GuiCreateCode(WindowHandle, std::string_view name, const std::string& projectDir) {
  writeModuleFiles("gui/" + std::string(name), projectDir, nullptr, "GUI module library");
}

void UsbCreateCode(WindowHandle, std::string_view name, const std::string& projectDir,
                   const TextBuffer& buffer) {
  writeModuleFiles("usb/" + std::string(name), projectDir, &buffer, "USB module library");
  // The project lists the chip maker's file-system library CH375HFB.A; its
  // work is done by the file layer in ch375.c, so an empty archive (the
  // eight-byte "ar" signature) keeps the list valid for both linkers.
  if (name == "ch375") saveBytes(projectDir, "CH375HFB.A", "!<arch>\n");
}

void Mp3CreateCode(WindowHandle, std::string_view name, const std::string& projectDir,
                   const TextBuffer& buffer) {
  writeModuleFiles("mp3/" + std::string(name), projectDir, &buffer, "MP3 module library");
}

}  // namespace tamberlo
