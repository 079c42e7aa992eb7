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
  if (SaveJournal* j = SaveJournal::current()) j->record(path, lines_);
}

namespace {
thread_local SaveJournal* currentJournal = nullptr;
}  // namespace

SaveJournal::SaveJournal() : previous_(currentJournal) { currentJournal = this; }
SaveJournal::~SaveJournal() { currentJournal = previous_; }
SaveJournal* SaveJournal::current() { return currentJournal; }

const std::vector<std::string>* SaveJournal::find(const std::string& path) const {
  auto it = files_.find(path);
  return it == files_.end() ? nullptr : &it->second;
}

void SaveJournal::record(const std::string& path, const std::vector<std::string>& lines) {
  files_[path] = lines;
}

void saveBytes(const std::string& folder, const std::string& name, std::string_view bytes) {
  writeFileAtomic(folder + name, bytes);
  if (SaveJournal* j = SaveJournal::current()) j->record(folder + name, {});
}

}  // namespace tamberlo
