// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Messages in the user's language. The code writes its messages in English;
// po/zh_CN.po gives each one in Chinese, compiled to a GNU .mo catalog at
// build time. A catalog entry may hold "%s" parts standing for any text
// (a pin, a file, another message), so that a message put together at run
// time is found too; its parts are looked up again. Messages already in
// Chinese, and any the catalog lacks, stay as they are.
#include <map>
#include <string>
#include <string_view>

namespace tamberlo {

class MessageCatalog {
 public:
  // Reads a .mo file; false (and an empty catalog) when it cannot.
  bool load(const std::string& moPath);
  // Adds one entry: a .mo file's contents go through here too.
  void add(std::string msgid, std::string msgstr);
  bool empty() const { return exact_.empty() && patterns_.empty(); }
  // The message in the catalog's language, or unchanged.
  std::string translate(std::string_view message) const;

 private:
  std::string translate(std::string_view message, int depth) const;
  std::map<std::string, std::string, std::less<>> exact_;
  std::map<std::string, std::string, std::less<>> patterns_;  // msgids with "%s"
};

// The Chinese catalog of this program: installed beside it
// (../share/locale/zh_CN/LC_MESSAGES/tamberlo.mo from the program's folder) or
// in the build tree. Loaded on first use; empty when neither is there.
const MessageCatalog& chineseMessages();

// True when the locale the user asked for is Chinese: the first of LC_ALL,
// LC_MESSAGES and LANG that is set and not empty starts with "zh".
bool chineseLocaleWanted();

// `message` in Chinese (through chineseMessages()).
std::string inChinese(std::string_view message);

}  // namespace tamberlo
