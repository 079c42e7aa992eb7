#include "modlib/modlib.h"

#include "modlib/embedded_templates.h"
#include "platform/error.h"
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

}  // namespace

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
    out.addText(t.text);
    out.save(projectDir, std::string(rest));
    written.emplace_back(rest);
  }
  if (written.empty()) throw Error("the " + std::string(what) + " has no module " + quoted(folder.substr(folder.find('/') + 1)));
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

void LcdCreateCode(WindowHandle, std::string_view model, std::string_view io,
                   const std::string& projectDir, const TextBuffer& buffer) {
  std::string base = "lcd/" + modelFolder(model);
  std::string specific = base + "/" + interfaceFolder(io);
  writeModuleFiles(hasModuleTemplates(specific) ? specific : base, projectDir, &buffer,
                   "LCD module library");
}

void GuiCreateCode(WindowHandle, std::string_view name, const std::string& projectDir) {
  writeModuleFiles("gui/" + std::string(name), projectDir, nullptr, "GUI module library");
}

void UsbCreateCode(WindowHandle, std::string_view name, const std::string& projectDir,
                   const TextBuffer& buffer) {
  writeModuleFiles("usb/" + std::string(name), projectDir, &buffer, "USB module library");
}

void Mp3CreateCode(WindowHandle, std::string_view name, const std::string& projectDir,
                   const TextBuffer& buffer) {
  writeModuleFiles("mp3/" + std::string(name), projectDir, &buffer, "MP3 module library");
}

}  // namespace tamberlo
