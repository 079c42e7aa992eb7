// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ordered list of lines a generator fills. Lines are UTF-8 in memory;
// saving writes each line followed by CR LF, as GBK, replacing the file whole.
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tamberlo {

class TextBuffer {
 public:
  TextBuffer() = default;
  TextBuffer(std::initializer_list<std::string_view> lines) {
    for (auto l : lines) add(l);
  }

  void add(std::string_view line) { lines_.emplace_back(line); }
  // Appends each line of a multi-line text (split at '\n'; a final '\n'
  // does not add an empty line).
  void addText(std::string_view text);
  // Inserts before the zero-based `index`; an index past the end appends.
  void insert(size_t index, std::string_view line);
  // Replaces the content by a copy of `lines`.
  void assign(const std::vector<std::string>& lines) { lines_ = lines; }
  void assignText(std::string_view text) {
    lines_.clear();
    addText(text);
  }
  void clear() { lines_.clear(); }

  const std::vector<std::string>& lines() const { return lines_; }
  size_t size() const { return lines_.size(); }
  bool empty() const { return lines_.empty(); }
  const std::string& operator[](size_t i) const { return lines_[i]; }

  // The file's bytes: GBK, CR LF after every line. Error on text GBK lacks.
  std::string bytes() const;
  // Saves as `folder` + `name`; Error names the file on failure.
  void save(const std::string& folder, const std::string& name) const;

 private:
  std::vector<std::string> lines_;
};

// Saves raw bytes as `folder` + `name` through the same path as
// TextBuffer::save, for the few files that are not text (a library archive).
void saveBytes(const std::string& folder, const std::string& name, std::string_view bytes);

// While one lives, every TextBuffer saved on this thread is recorded by path,
// so a late step of a generation run reads what the run wrote (the interrupt
// glue reads the handler pragmas) from the run itself, not from the folder,
// and the project list can refuse to name a file no step of the run wrote.
class SaveJournal {
 public:
  SaveJournal();
  ~SaveJournal();
  SaveJournal(const SaveJournal&) = delete;
  SaveJournal& operator=(const SaveJournal&) = delete;

  // The journal of this thread, or nullptr outside one.
  static SaveJournal* current();
  // The lines last saved as `path`, or nullptr.
  const std::vector<std::string>* find(const std::string& path) const;
  void record(const std::string& path, const std::vector<std::string>& lines);
  bool saved(const std::string& path) const { return find(path) != nullptr; }

 private:
  std::map<std::string, std::vector<std::string>> files_;
  SaveJournal* previous_;
};

}  // namespace tamberlo
