// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one filler of the marks in stored and fixed texts (module templates,
// the UART blocks, the Makefile). A mark is "$name$", the name made of
// letters, digits and '_'; any other '$' is text, so "$(CC)" and "$@" in a
// Makefile stay as they are.
#include <map>
#include <set>
#include <string>
#include <string_view>

namespace tamberlo {

using FillValues = std::map<std::string, std::string, std::less<>>;

// One set of values for one or more texts (the files of a module folder,
// the blocks of one function): a mark without a value is an Error at once,
// and finish() is an Error for a value that none of the texts used, since
// either means the text and its values have drifted apart.
class Filler {
 public:
  // `what` names the texts in errors ("module template lcd/x/lcd.c").
  // `fixed` are values every text may use or not ("$tab$" in the UART blocks).
  Filler(std::string what, FillValues values, FillValues fixed = {});

  // `text` with its marks filled. With `keepUnknown`, a mark without a value
  // stays as it is, for a later filler (a shared piece inside a module).
  std::string fill(std::string_view text, bool keepUnknown = false);
  // True once fill() has filled any text.
  bool filledAny() const { return filled_; }
  void finish() const;

 private:
  std::string what_;
  FillValues values_;
  FillValues fixed_;
  std::set<std::string, std::less<>> used_;
  bool filled_ = false;
};

// Fills one text whose marks must all have values and whose values must
// all be used.
std::string fillMarks(std::string_view what, std::string_view text, const FillValues& values);

}  // namespace tamberlo
