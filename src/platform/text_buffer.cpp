// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text_buffer.h"

#include "platform/error.h"
#include "platform/fs.h"
#include "platform/gbk.h"
#include "platform/text.h"

namespace tamberlo {

void TextBuffer::addText(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) {
      lines_.emplace_back(text.substr(pos));
      break;
    }
    std::string_view line = text.substr(pos, nl - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines_.emplace_back(line);
    pos = nl + 1;
  }
}

void TextBuffer::insert(size_t index, std::string_view line) {
  if (index > lines_.size()) index = lines_.size();
  lines_.emplace(lines_.begin() + static_cast<std::ptrdiff_t>(index), line);
}

std::string TextBuffer::bytes() const {
  std::string utf8;
  size_t total = 0;
  for (const auto& l : lines_) total += l.size() + 2;
  utf8.reserve(total);
  for (const auto& l : lines_) {
    utf8 += l;
    utf8 += "\r\n";
  }
  return utf8ToGbk(utf8);
}

void TextBuffer::save(const std::string& folder, const std::string& name) const {
  std::string path = folder + name;
  std::string data;
  try {
    data = bytes();
  } catch (const Error& e) {
    throw Error("cannot write " + forMessage(path, 240) + ": " + e.what());
  }
  writeFileAtomic(path, data);
}

GeneratedFiles::File& GeneratedFiles::slot(const std::string& name) {
  for (File& f : files_) {
    if (f.name == name) return f;
  }
  files_.push_back({name, {}, std::nullopt});
  return files_.back();
}

void GeneratedFiles::add(const std::string& name, const TextBuffer& text) {
  File& f = slot(name);
  f.lines = text.lines();
  f.raw.reset();
}

void GeneratedFiles::addBytes(const std::string& name, std::string bytes) {
  File& f = slot(name);
  f.lines.clear();
  f.raw = std::move(bytes);
}

void GeneratedFiles::append(const GeneratedFiles& other) {
  for (const File& f : other.files_) slot(f.name) = f;
}

const GeneratedFiles::File* GeneratedFiles::find(const std::string& name) const {
  for (const File& f : files_) {
    if (f.name == name) return &f;
  }
  return nullptr;
}

void writeGeneratedFiles(const std::string& folder, const GeneratedFiles& files) {
  for (const GeneratedFiles::File& f : files.files()) {
    const std::string path = folder + f.name;
    // A subfolder of the project ("gcc/") is made when missing.
    const std::string sub = folderOf(path);
    if (sub != folder && !folderExists(sub) && !createFolder(sub)) {
      throw Error("cannot create the folder " + sub);
    }
    if (f.raw) {
      writeFileAtomic(path, *f.raw);
      continue;
    }
    TextBuffer text;
    text.assign(f.lines);
    text.save(folder, f.name);
  }
}

}  // namespace tamberlo
