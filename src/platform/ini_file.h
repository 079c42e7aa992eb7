// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// INI files read and written like the Windows profile functions: section and
// key names match without regard to ASCII case, a written key replaces its
// value in place or is appended to its section (the section is created at the
// end of the file), and every other line (comments, unknown keys and
// sections, blank lines, garbage) stays as it was, in order. Lines end in
// CR LF; text on disk is GBK, text through this interface is UTF-8.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fs.h"

namespace tamberlo {

class IniFile {
 public:
  // Larger files are refused (Error naming the file and its size), never
  // read in part and then written over.
  static constexpr size_t kMaxFileBytes = tamberlo::kMaxFileBytes;

  // Opens `path`; a missing file behaves as an empty one. A file that exists
  // but cannot be read fully is an Error.
  explicit IniFile(std::string path);
  // An in-memory file (for tests and for parsing downloaded text).
  static IniFile fromText(std::string_view gbkBytes, std::string path = {});

  const std::string& path() const { return path_; }

  // The value, or nullopt when the key is missing. A value that is not GBK
  // text or holds a control character is an Error naming the file, the
  // section and the key: it could neither be shown nor written back.
  std::optional<std::string> read(std::string_view section, std::string_view key) const;
  std::string readString(std::string_view section, std::string_view key, std::string_view fallback) const;
  // The whole (trimmed) value must be a decimal integer, else `fallback`.
  int readInteger(std::string_view section, std::string_view key, int fallback) const;
  // Any integer but 0 is true; a value that is not an integer gives `fallback`.
  bool readBool(std::string_view section, std::string_view key, bool fallback) const;

  // Change the file in memory; save() writes it.
  void writeString(std::string_view section, std::string_view key, std::string_view value);
  void writeInteger(std::string_view section, std::string_view key, int value);

  // Section names in file order, each once.
  std::vector<std::string> sectionNames() const;

  // One pass over the whole file, for large files: every section once, in
  // file order, as raw GBK bytes, with the raw value of `gbkKey` in it as
  // read() finds it (the first block of a repeated section). The views point
  // into this object.
  struct RawSection {
    std::string_view name;
    std::optional<std::string_view> value;
  };
  std::vector<RawSection> rawSections(std::string_view gbkKey) const;

  // The file's bytes as they would be saved.
  std::string bytes() const;
  // Atomically replaces the file on disk; Error (naming the file) on failure,
  // and the old file stays as it was.
  void save() const;

 private:
  // The file is kept as its bytes plus an index, so reading and rewriting
  // take time and memory in proportion to the file: a line that is neither
  // a section header nor a key is never copied, and runs of such lines are
  // one entry. Changed and added lines are appended to text_.
  enum class Kind : uint8_t { Key, Lines, BlankLines };
  struct Entry {
    uint32_t off = 0;  // into text_
    uint32_t len = 0;  // a Key: the line without its end; runs: with line ends
    Kind kind = Kind::Lines;
  };
  struct Section {
    Entry header;        // len 0 for the lines before the first header
    uint32_t first = 0;  // its entries are entries_[first, last)
    uint32_t last = 0;
    uint32_t solidEnd = 0;        // after its last entry that is not blank lines
    uint32_t addedFirst = kNone;  // keys appended by writeString, chained in added_
    uint32_t addedLast = kNone;
  };
  static constexpr uint32_t kNone = UINT32_MAX;
  struct Added {
    Entry line;
    uint32_t next = kNone;
  };
  // A key is entries_[index], or added_[index].
  struct KeyRef {
    uint32_t index;
    bool added;
  };
  // The name index: an open-addressing hash table of the first section
  // header of each name (scope kNone) and the first key of each name per
  // section (scope: the section's number). Names are read from the lines
  // themselves, so a slot costs eight bytes whatever the names hold.
  struct Slot {
    uint32_t id = kNone;  // a section number, or a key: entries_ then added_
    uint32_t scope = kNone;
    uint32_t hash = 0;
  };

  IniFile() = default;
  void parse(std::string data);
  std::string_view slotName(const Slot& slot) const;
  size_t probe(uint32_t scope, std::string_view name, uint32_t hash) const;
  void remember(uint32_t scope, std::string_view name, uint32_t id);
  std::optional<uint32_t> lookup(uint32_t scope, std::string_view name) const;
  std::optional<size_t> findSection(std::string_view gbkName) const;
  std::optional<KeyRef> findKey(size_t section, std::string_view gbkKey) const;
  std::string_view lineOf(const Entry& e) const { return std::string_view(text_).substr(e.off, e.len); }
  Entry& entryOf(const KeyRef& ref);
  Entry store(std::string_view line);
  void appendEntry(std::string& out, const Entry& e) const;

  std::string path_;
  std::string bom_;  // a UTF-8 byte order mark, kept as found
  std::string text_;
  std::vector<Entry> entries_;
  std::vector<Section> sections_;
  std::vector<Added> added_;
  std::vector<Slot> slots_;
  size_t usedSlots_ = 0;
};

}  // namespace tamberlo
