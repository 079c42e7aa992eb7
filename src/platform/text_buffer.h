// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ordered list of lines a generator fills. Lines are UTF-8 in memory;
// saving writes each line followed by CR LF, as GBK, replacing the file whole.
#include <initializer_list>
#include <map>
#include <optional>
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

// The files a generation step made, by name relative to the project folder
// ("main.c", "gcc/fuses.c"), in the order made; a name made again keeps its
// place and takes the new content. Steps return these instead of writing,
// and later steps of a run read what earlier ones made from here.
class GeneratedFiles {
 public:
  struct File {
    std::string name;
    std::vector<std::string> lines;  // the text, when made from a TextBuffer
    std::optional<std::string> raw;  // the bytes of a file that is not text
  };

  void add(const std::string& name, const TextBuffer& text);
  void addBytes(const std::string& name, std::string bytes);
  void append(const GeneratedFiles& other);
  // The file made as `name`, or nullptr.
  const File* find(const std::string& name) const;
  const std::vector<File>& files() const { return files_; }
  bool empty() const { return files_.empty(); }

 private:
  File& slot(const std::string& name);
  std::vector<File> files_;
};

// Writes each file as `folder` + its name through writeFileAtomic (so only
// staged while a StagedWrites scope is open), making a missing subfolder
// first. Error names the file that cannot be written, or whose text GBK lacks.
void writeGeneratedFiles(const std::string& folder, const GeneratedFiles& files);

}  // namespace tamberlo
