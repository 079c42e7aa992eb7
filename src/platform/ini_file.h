#pragma once
// INI files read and written like the Windows profile functions: section and
// key names match without regard to ASCII case, a written key replaces its
// value in place or is appended to its section (the section is created at the
// end of the file), and every other line (comments, unknown keys and
// sections, blank lines, garbage) stays as it was, in order. Lines end in
// CR LF; text on disk is GBK, text through this interface is UTF-8.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamberlo {

class IniFile {
 public:
  // Files larger than this are treated as unreadable (loaded empty).
  static constexpr size_t kMaxFileBytes = 16u << 20;

  // Opens `path`; a missing or unreadable file behaves as an empty one.
  explicit IniFile(std::string path);
  // An in-memory file (for tests and for parsing downloaded text).
  static IniFile fromText(std::string_view gbkBytes, std::string path = {});

  const std::string& path() const { return path_; }

  std::optional<std::string> read(std::string_view section, std::string_view key) const;
  std::string readString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;
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
  IniFile() = default;
  void parse(std::string_view data);
  // Index of the section header line, or npos.
  size_t findSection(std::string_view gbkName) const;
  // Index of the key line inside the section starting at `header`, or npos.
  size_t findKey(size_t header, std::string_view gbkKey) const;
  size_t sectionEnd(size_t header) const;

  std::string path_;
  std::string bom_;                 // a UTF-8 byte order mark, kept as found
  std::vector<std::string> lines_;  // raw GBK, without line ends
};

}  // namespace tamberlo
