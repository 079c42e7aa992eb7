// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ini_file.h"

#include <algorithm>

#include "platform/error.h"
#include "platform/fs.h"
#include "platform/gbk.h"
#include "platform/text.h"

namespace tamberlo {
namespace {

constexpr size_t npos = std::string::npos;

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

uint64_t nameHash(uint32_t scope, std::string_view name) {
  uint64_t h = 14695981039346656037ull ^ (scope * 0x9E3779B97F4A7C15ull);
  for (char c : name) {
    h ^= static_cast<unsigned char>(foldAscii(c));
    h *= 1099511628211ull;
  }
  return h ^ (h >> 29);
}

bool isControl(char c) {
  auto b = static_cast<unsigned char>(c);
  return (b < 0x20 && b != '\t') || b == 0x7F;
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
  parse(readFileIfExists(path_, kMaxFileBytes).value_or(""));
}

IniFile IniFile::fromText(std::string_view gbkBytes, std::string path) {
  if (gbkBytes.size() > kMaxFileBytes) {
    throw Error(forMessage(path.empty() ? "the text" : path, 240) + " is too large to read (" +
                std::to_string(gbkBytes.size()) + " bytes)");
  }
  IniFile f;
  f.path_ = std::move(path);
  f.parse(std::string(gbkBytes));
  return f;
}

std::string_view IniFile::slotName(const Slot& slot) const {
  if (slot.scope == kNone) return *sectionHeader(lineOf(sections_[slot.id].header));
  const Entry& e = slot.id < entries_.size() ? entries_[slot.id] : added_[slot.id - entries_.size()].line;
  return *keyOf(lineOf(e));
}

size_t IniFile::probe(uint32_t scope, std::string_view name, uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& s = slots_[i];
    if (s.id == kNone) return i;
    if (s.hash == hash && s.scope == scope && equalsFoldingAscii(slotName(s), name)) return i;
  }
}

void IniFile::remember(uint32_t scope, std::string_view name, uint32_t id) {
  if ((usedSlots_ + 1) * 2 > slots_.size()) {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(std::max<size_t>(64, old.size() * 2), Slot{});
    const size_t mask = slots_.size() - 1;
    for (const Slot& s : old) {
      if (s.id == kNone) continue;
      size_t i = s.hash & mask;
      while (slots_[i].id != kNone) i = (i + 1) & mask;
      slots_[i] = s;
    }
  }
  const auto hash = static_cast<uint32_t>(nameHash(scope, name));
  size_t i = probe(scope, name, hash);
  if (slots_[i].id != kNone) return;  // the first of a name counts
  slots_[i] = {id, scope, hash};
  ++usedSlots_;
}

std::optional<uint32_t> IniFile::lookup(uint32_t scope, std::string_view name) const {
  if (slots_.empty()) return std::nullopt;
  const Slot& s = slots_[probe(scope, name, static_cast<uint32_t>(nameHash(scope, name)))];
  if (s.id == kNone) return std::nullopt;
  return s.id;
}

void IniFile::parse(std::string data) {
  text_ = std::move(data);
  if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    bom_ = "\xEF\xBB\xBF";
    text_.erase(0, 3);
  }
  sections_.push_back({});  // the lines before the first header
  auto closeSection = [this] { sections_.back().last = static_cast<uint32_t>(entries_.size()); };
  auto addEntry = [this](Entry e) {
    entries_.push_back(e);
    if (e.kind != Kind::BlankLines) sections_.back().solidEnd = static_cast<uint32_t>(entries_.size());
  };
  Entry run;  // consecutive lines that are neither headers nor keys
  bool inRun = false;
  auto flushRun = [&] {
    if (inRun) addEntry(run);
    inRun = false;
  };
  size_t pos = 0;
  while (pos < text_.size()) {
    size_t nl = text_.find('\n', pos);
    size_t next = nl == npos ? text_.size() : nl + 1;
    std::string_view line = std::string_view(text_).substr(pos, (nl == npos ? text_.size() : nl) - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto off = static_cast<uint32_t>(pos);
    const auto len = static_cast<uint32_t>(line.size());
    if (auto name = sectionHeader(line)) {
      flushRun();
      closeSection();
      Section s;
      s.header = {off, len, Kind::Key};
      s.first = s.last = s.solidEnd = static_cast<uint32_t>(entries_.size());
      sections_.push_back(s);
      remember(kNone, *name, static_cast<uint32_t>(sections_.size() - 1));
    } else if (auto key = keyOf(line)) {
      flushRun();
      remember(static_cast<uint32_t>(sections_.size() - 1), *key, static_cast<uint32_t>(entries_.size()));
      addEntry({off, len, Kind::Key});
    } else {
      Kind kind = trim(line).empty() ? Kind::BlankLines : Kind::Lines;
      if (inRun && run.kind == kind) {
        run.len = static_cast<uint32_t>(next - run.off);
      } else {
        flushRun();
        run = {off, static_cast<uint32_t>(next - pos), kind};
        inRun = true;
      }
    }
    pos = next;
  }
  flushRun();
  closeSection();
}

std::optional<size_t> IniFile::findSection(std::string_view gbkName) const {
  auto id = lookup(kNone, gbkName);
  if (!id) return std::nullopt;
  return *id;
}

std::optional<IniFile::KeyRef> IniFile::findKey(size_t section, std::string_view gbkKey) const {
  auto id = lookup(static_cast<uint32_t>(section), gbkKey);
  if (!id) return std::nullopt;
  if (*id < entries_.size()) return KeyRef{*id, false};
  return KeyRef{static_cast<uint32_t>(*id - entries_.size()), true};
}

IniFile::Entry& IniFile::entryOf(const KeyRef& ref) {
  return ref.added ? added_[ref.index].line : entries_[ref.index];
}

IniFile::Entry IniFile::store(std::string_view line) {
  Entry e{static_cast<uint32_t>(text_.size()), static_cast<uint32_t>(line.size()), Kind::Key};
  text_ += line;
  return e;
}

std::optional<std::string> IniFile::read(std::string_view section, std::string_view key) const {
  auto s = findSection(utf8ToGbk(section));
  if (!s) return std::nullopt;
  auto ref = findKey(*s, utf8ToGbk(key));
  if (!ref) return std::nullopt;
  const Entry& e = ref->added ? added_[ref->index].line : entries_[ref->index];
  std::string_view raw = valueOf(lineOf(e));
  auto where = [&] {
    return forMessage(path_, 240) + ": [" + forMessage(section) + "] " + forMessage(key) + ": the value " +
           quoted(gbkToUtf8(raw));
  };
  for (char c : raw) {
    if (isControl(c)) throw Error(where() + " holds a control character");
  }
  auto text = gbkToUtf8Exact(raw);
  if (!text) throw Error(where() + " holds bytes that are not GBK text");
  return text;
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
  auto where = [&] {
    return forMessage(path_, 240) + ": [" + forMessage(section) + "] " + forMessage(key) + ": ";
  };
  std::string gSection, gKey, gValue;
  try {
    gSection = utf8ToGbk(section);
    gKey = utf8ToGbk(key);
    gValue = utf8ToGbk(value);
  } catch (const Error& e) {
    throw Error(where() + e.what());
  }
  // What is written must read back as it was: no line breaks, no control
  // characters (the reader refuses them).
  for (char c : gSection + gKey) {
    if (isControl(c) || c == '\r' || c == '\n')
      throw Error(where() + "a name cannot hold a control character");
  }
  for (char c : gValue) {
    if (c == '\r' || c == '\n') throw Error(where() + "the value cannot hold a line break");
    if (isControl(c)) throw Error(where() + "the value " + quoted(value) + " holds a control character");
  }
  auto s = findSection(gSection);
  if (!s) {
    Section fresh;
    fresh.header = store("[" + gSection + "]");
    fresh.first = fresh.last = fresh.solidEnd = static_cast<uint32_t>(entries_.size());
    sections_.push_back(fresh);
    s = sections_.size() - 1;
    remember(kNone, *sectionHeader(lineOf(fresh.header)), static_cast<uint32_t>(*s));
  }
  if (auto ref = findKey(*s, gKey)) {
    // Keep the key as the file spells it; replace only the value.
    Entry& e = entryOf(*ref);
    std::string_view old = lineOf(e);
    std::string line = std::string(trim(old.substr(0, old.find('=')))) + "=" + gValue;
    entryOf(*ref) = store(line);
    return;
  }
  // Appended after the last non-blank line of the section.
  Section& sec = sections_[*s];
  added_.push_back({store(gKey + "=" + gValue), kNone});
  auto index = static_cast<uint32_t>(added_.size() - 1);
  if (sec.addedLast == kNone) {
    sec.addedFirst = index;
  } else {
    added_[sec.addedLast].next = index;
  }
  sec.addedLast = index;
  if (auto name = keyOf(lineOf(added_.back().line))) {
    remember(static_cast<uint32_t>(*s), *name, static_cast<uint32_t>(entries_.size() + index));
  }
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int value) {
  writeString(section, key, std::to_string(value));
}

std::vector<std::string> IniFile::sectionNames() const {
  std::vector<std::string> names;
  for (size_t i = 1; i < sections_.size(); ++i) {
    auto name = sectionHeader(lineOf(sections_[i].header));
    // Each name once, where it first appears.
    if (findSection(*name) == i) names.push_back(gbkToUtf8(*name));
  }
  return names;
}

std::vector<IniFile::RawSection> IniFile::rawSections(std::string_view gbkKey) const {
  std::vector<RawSection> out;
  for (size_t i = 1; i < sections_.size(); ++i) {
    std::string_view name = *sectionHeader(lineOf(sections_[i].header));
    if (findSection(name) != i) continue;  // each name once, where it first appears
    RawSection r{name, std::nullopt};
    if (auto ref = findKey(i, gbkKey)) {
      const Entry& e = ref->added ? added_[ref->index].line : entries_[ref->index];
      r.value = valueOf(lineOf(e));
    }
    out.push_back(r);
  }
  return out;
}

void IniFile::appendEntry(std::string& out, const Entry& e) const {
  std::string_view text = lineOf(e);
  if (e.kind == Kind::Key) {
    out += text;
    out += "\r\n";
    return;
  }
  // A run of lines: each keeps its text and ends in CR LF.
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    std::string_view line = text.substr(pos, (nl == npos ? text.size() : nl) - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out += line;
    out += "\r\n";
    pos = nl == npos ? text.size() : nl + 1;
  }
}

std::string IniFile::bytes() const {
  std::string out = bom_;
  out.reserve(bom_.size() + text_.size() + text_.size() / 2);
  for (size_t i = 0; i < sections_.size(); ++i) {
    const Section& s = sections_[i];
    if (i > 0) appendEntry(out, s.header);
    for (uint32_t k = s.first; k < s.solidEnd; ++k) appendEntry(out, entries_[k]);
    for (uint32_t a = s.addedFirst; a != kNone; a = added_[a].next) appendEntry(out, added_[a].line);
    for (uint32_t k = s.solidEnd; k < s.last; ++k) appendEntry(out, entries_[k]);
  }
  return out;
}

void IniFile::save() const {
  if (path_.empty()) throw Error("an INI file without a name cannot be saved");
  writeFileAtomic(path_, bytes());
}

}  // namespace tamberlo
