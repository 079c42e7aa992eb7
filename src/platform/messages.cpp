// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/messages.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace tamberlo {
namespace {

constexpr std::string_view kHole = "%s";
constexpr int kMaxDepth = 4;  // messages inside messages, a few levels deep

uint32_t word(const std::string& bytes, size_t at, bool swapped) {
  uint32_t v = 0;
  std::memcpy(&v, bytes.data() + at, 4);
  if (swapped) v = (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24);
  return v;
}

// The literal pieces of a pattern around its holes.
std::vector<std::string_view> piecesOf(std::string_view pattern) {
  std::vector<std::string_view> pieces;
  size_t from = 0;
  for (size_t hole; (hole = pattern.find(kHole, from)) != std::string_view::npos; from = hole + kHole.size())
    pieces.push_back(pattern.substr(from, hole - from));
  pieces.push_back(pattern.substr(from));
  return pieces;
}

// The texts standing in the holes when `message` has the pattern's form.
bool matchPattern(std::string_view pattern, std::string_view message, std::vector<std::string_view>& parts) {
  const auto pieces = piecesOf(pattern);
  parts.clear();
  if (message.substr(0, pieces.front().size()) != pieces.front()) return false;
  size_t at = pieces.front().size();
  for (size_t i = 1; i < pieces.size(); ++i) {
    const bool last = i + 1 == pieces.size();
    size_t found;
    if (last) {
      if (message.size() < at + pieces[i].size()) return false;
      found = message.size() - pieces[i].size();
      if (message.substr(found) != pieces[i]) return false;
    } else {
      found = pieces[i].empty() ? std::string_view::npos : message.find(pieces[i], at);
      if (found == std::string_view::npos) return false;
    }
    parts.push_back(message.substr(at, found - at));
    at = found + pieces[i].size();
  }
  return at == message.size();
}

std::string programFolder() {
  std::error_code ignored;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ignored);
  return ignored ? std::string() : exe.parent_path().string();
}

}  // namespace

bool MessageCatalog::load(const std::string& moPath) {
  exact_.clear();
  patterns_.clear();
  std::ifstream in(moPath, std::ios::binary);
  if (!in) return false;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() < 28) return false;
  const uint32_t magic = word(bytes, 0, false);
  const bool swapped = magic == 0xde120495u;
  if (magic != 0x950412deu && !swapped) return false;
  const uint32_t count = word(bytes, 8, swapped);
  const uint32_t originals = word(bytes, 12, swapped);
  const uint32_t translations = word(bytes, 16, swapped);
  auto entry = [&](uint32_t table, uint32_t i, std::string& out) {
    const uint64_t at = uint64_t(table) + 8u * i;
    if (at + 8 > bytes.size()) return false;
    const uint32_t length = word(bytes, size_t(at), swapped), offset = word(bytes, size_t(at) + 4, swapped);
    if (uint64_t(offset) + length > bytes.size()) return false;
    out.assign(bytes, offset, length);
    return true;
  };
  for (uint32_t i = 0; i < count; ++i) {
    std::string id, str;
    if (!entry(originals, i, id) || !entry(translations, i, str)) {
      exact_.clear();
      patterns_.clear();
      return false;
    }
    if (!id.empty() && !str.empty()) add(std::move(id), std::move(str));
  }
  return true;
}

void MessageCatalog::add(std::string msgid, std::string msgstr) {
  auto& table = msgid.find(kHole) == std::string::npos ? exact_ : patterns_;
  table[std::move(msgid)] = std::move(msgstr);
}

std::string MessageCatalog::translate(std::string_view message) const {
  if (exact_.count(message) || message.find('\n') == std::string_view::npos) return translate(message, 0);
  // A list of messages, one a line: each line on its own.
  std::string out;
  size_t from = 0;
  for (size_t end; (end = message.find('\n', from)) != std::string_view::npos; from = end + 1)
    out += translate(message.substr(from, end - from), 0) + "\n";
  return out + translate(message.substr(from), 0);
}

std::string MessageCatalog::translate(std::string_view message, int depth) const {
  if (auto it = exact_.find(message); it != exact_.end()) return it->second;
  if (depth >= kMaxDepth || message.empty()) return std::string(message);
  // The most specific pattern wins: the one with the most literal text.
  const std::pair<const std::string, std::string>* best = nullptr;
  size_t bestLiteral = 0;
  std::vector<std::string_view> parts, bestParts;
  for (const auto& entry : patterns_) {
    if (!matchPattern(entry.first, message, parts)) continue;
    const size_t literal = entry.first.size() - kHole.size() * parts.size();
    if (!best || literal > bestLiteral) {
      best = &entry;
      bestLiteral = literal;
      bestParts = parts;
    }
  }
  if (!best) return std::string(message);
  // The translation's holes in order, or by number ("%2$s") where Chinese
  // puts the parts in another order.
  const std::string& str = best->second;
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < str.size(); ++i) {
    if (str[i] == '%' && i + 1 < str.size()) {
      size_t index = next, skip = 0;
      if (str[i + 1] == 's') {
        ++next;
        skip = 1;
      } else if (str[i + 1] >= '1' && str[i + 1] <= '9' && i + 3 < str.size() && str[i + 2] == '$' &&
                 str[i + 3] == 's') {
        index = size_t(str[i + 1] - '1');
        skip = 3;
      }
      if (skip && index < bestParts.size()) {
        out += translate(bestParts[index], depth + 1);
        i += skip;
        continue;
      }
    }
    out += str[i];
  }
  return out;
}

const MessageCatalog& chineseMessages() {
  static const MessageCatalog catalog = [] {
    MessageCatalog c;
    const std::string tail = "zh_CN/LC_MESSAGES/tamberlo.mo";
    const std::string exe = programFolder();
    if (!exe.empty() && c.load(exe + "/../share/locale/" + tail)) return c;
#ifdef TAMBERLO_BUILD_LOCALE_DIR
    c.load(std::string(TAMBERLO_BUILD_LOCALE_DIR) + "/" + tail);
#endif
    return c;
  }();
  return catalog;
}

bool chineseLocaleWanted() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return std::strncmp(value, "zh", 2) == 0;
  }
  return false;
}

std::string inChinese(std::string_view message) { return chineseMessages().translate(message); }

}  // namespace tamberlo
