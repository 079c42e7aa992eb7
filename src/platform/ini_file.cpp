#include "platform/ini_file.h"

#include <unordered_set>

#include "platform/error.h"
#include "platform/fs.h"
#include "platform/gbk.h"
#include "platform/text.h"

namespace tamberlo {
namespace {

constexpr size_t npos = std::string::npos;

char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (foldAscii(a[i]) != foldAscii(b[i])) return false;
  }
  return true;
}

std::string_view trim(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && (s[b] == ' ' || s[b] == '\t')) ++b;
  size_t e = s.size();
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return s.substr(b, e - b);
}

// "[name]" (leading blanks allowed); returns the name or nullopt.
std::optional<std::string_view> sectionHeader(std::string_view line) {
  std::string_view t = trim(line);
  if (t.empty() || t.front() != '[') return std::nullopt;
  size_t close = t.find(']');
  if (close == npos) return std::nullopt;
  return trim(t.substr(1, close - 1));
}

// "key=value" outside comments; returns the key or nullopt.
std::optional<std::string_view> keyOf(std::string_view line) {
  std::string_view t = trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
  size_t eq = t.find('=');
  if (eq == npos) return std::nullopt;
  return trim(t.substr(0, eq));
}

std::string_view valueOf(std::string_view line) {
  size_t eq = line.find('=');
  std::string_view v = trim(line.substr(eq + 1));
  // Like the profile functions, one pair of enclosing quotes is dropped.
  if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\''))) {
    v = v.substr(1, v.size() - 2);
  }
  return v;
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
  std::string data;
  try {
    data = readFile(path_, kMaxFileBytes);
  } catch (const Error&) {
    return;  // missing or unreadable: an empty file
  }
  parse(data);
}

IniFile IniFile::fromText(std::string_view gbkBytes, std::string path) {
  IniFile f;
  f.path_ = std::move(path);
  f.parse(gbkBytes);
  return f;
}

void IniFile::parse(std::string_view data) {
  if (data.substr(0, 3) == "\xEF\xBB\xBF") {
    bom_ = "\xEF\xBB\xBF";
    data.remove_prefix(3);
  }
  size_t pos = 0;
  while (pos < data.size()) {
    size_t nl = data.find('\n', pos);
    std::string_view line = data.substr(pos, nl == npos ? npos : nl - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines_.emplace_back(line);
    if (nl == npos) break;
    pos = nl + 1;
  }
}

size_t IniFile::findSection(std::string_view gbkName) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    auto name = sectionHeader(lines_[i]);
    if (name && sameName(*name, gbkName)) return i;
  }
  return npos;
}

size_t IniFile::sectionEnd(size_t header) const {
  size_t i = header + 1;
  while (i < lines_.size() && !sectionHeader(lines_[i])) ++i;
  return i;
}

size_t IniFile::findKey(size_t header, std::string_view gbkKey) const {
  size_t end = sectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    auto key = keyOf(lines_[i]);
    if (key && sameName(*key, gbkKey)) return i;
  }
  return npos;
}

std::optional<std::string> IniFile::read(std::string_view section, std::string_view key) const {
  size_t header = findSection(utf8ToGbk(section));
  if (header == npos) return std::nullopt;
  size_t line = findKey(header, utf8ToGbk(key));
  if (line == npos) return std::nullopt;
  return gbkToUtf8(valueOf(lines_[line]));
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
  auto v = read(section, key);
  return v ? *v : std::string(fallback);
}

int IniFile::readInteger(std::string_view section, std::string_view key, int fallback) const {
  auto v = read(section, key);
  if (!v) return fallback;
  return parseInteger(*v).value_or(fallback);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool fallback) const {
  return readInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
  std::string gSection = utf8ToGbk(section);
  std::string gKey = utf8ToGbk(key);
  std::string gValue = utf8ToGbk(value);
  for (char c : gValue) {
    if (c == '\r' || c == '\n') {
      throw Error(path_ + ": the value of " + std::string(key) + " cannot hold a line break");
    }
  }
  size_t header = findSection(gSection);
  if (header == npos) {
    lines_.push_back("[" + gSection + "]");
    lines_.push_back(gKey + "=" + gValue);
    return;
  }
  size_t line = findKey(header, gKey);
  if (line != npos) {
    // Keep the key as the file spells it; replace only the value.
    std::string_view old = lines_[line];
    size_t eq = old.find('=');
    lines_[line] = std::string(trim(old.substr(0, eq))) + "=" + gValue;
    return;
  }
  // Append after the last non-blank line of the section.
  size_t end = sectionEnd(header);
  size_t at = end;
  while (at > header + 1 && trim(lines_[at - 1]).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), gKey + "=" + gValue);
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int value) {
  writeString(section, key, std::to_string(value));
}

std::vector<std::string> IniFile::sectionNames() const {
  std::vector<std::string> names;
  for (const auto& section : rawSections({})) names.push_back(gbkToUtf8(section.name));
  return names;
}

std::vector<IniFile::RawSection> IniFile::rawSections(std::string_view gbkKey) const {
  std::vector<RawSection> sections;
  std::unordered_set<std::string> seen;  // names folded to lower case
  bool collecting = false;               // inside the first block of a section
  for (const auto& line : lines_) {
    if (auto name = sectionHeader(line)) {
      std::string folded(*name);
      for (char& c : folded) c = foldAscii(c);
      collecting = seen.insert(std::move(folded)).second;
      if (collecting) sections.push_back({*name, std::nullopt});
      continue;
    }
    if (!collecting || sections.back().value) continue;
    auto key = keyOf(line);
    if (key && sameName(*key, gbkKey)) sections.back().value = valueOf(line);
  }
  return sections;
}

std::string IniFile::bytes() const {
  std::string out = bom_;
  for (const auto& line : lines_) {
    out += line;
    out += "\r\n";
  }
  return out;
}

void IniFile::save() const {
  if (path_.empty()) throw Error("an INI file without a name cannot be saved");
  writeFileAtomic(path_, bytes());
}

}  // namespace tamberlo
