// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gbk.h"

#include <errno.h>
#include <iconv.h>

#include <mutex>

#include "platform/error.h"
#include "platform/text.h"

namespace tamberlo {
namespace {

// iconv descriptors are reused: opening one costs more than a conversion.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw Error(std::string("cannot convert text from ") + from + " to " + to +
                  ": the C library has no such converter");
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much as it can; on a bad or unmappable sequence returns
  // the number of input bytes consumed so far through `stoppedAt`.
  bool convert(std::string_view in, std::string& out, size_t& stoppedAt) {
    std::lock_guard<std::mutex> lock(mutex_);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    out.clear();
    char buffer[4096];
    while (inLeft > 0) {
      char* outPtr = buffer;
      size_t outLeft = sizeof buffer;
      size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      out.append(buffer, static_cast<size_t>(outPtr - buffer));
      if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
        stoppedAt = in.size() - inLeft;
        return false;
      }
    }
    return true;
  }

 private:
  iconv_t cd_;
  std::mutex mutex_;
};

Converter& toGbk() {
  static Converter c("GBK", "UTF-8");
  return c;
}
Converter& fromGbk() {
  static Converter c("UTF-8", "GBK");
  return c;
}

size_t utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 0;
}

}  // namespace

bool isValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    size_t len = utf8SequenceLength(static_cast<unsigned char>(text[i]));
    if (len == 0 || i + len > text.size()) return false;
    for (size_t k = 1; k < len; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += len;
  }
  return true;
}

std::string utf8ToGbk(std::string_view utf8) {
  // Pure ASCII needs no conversion; most generated lines are ASCII.
  bool ascii = true;
  for (char c : utf8) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) return std::string(utf8);
  std::string out;
  size_t stoppedAt = 0;
  if (!toGbk().convert(utf8, out, stoppedAt)) {
    size_t len = utf8SequenceLength(static_cast<unsigned char>(utf8[stoppedAt]));
    if (len == 0 || stoppedAt + len > utf8.size()) len = 1;
    throw Error("the text " + quoted(utf8) + " cannot be written in GBK: the character " +
                quoted(utf8.substr(stoppedAt, len)) + " has no GBK code");
  }
  return out;
}

std::optional<std::string> gbkToUtf8Exact(std::string_view gbk) {
  bool ascii = true;
  for (char c : gbk) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return std::string(gbk);
  std::string out;
  size_t stoppedAt = 0;
  if (!fromGbk().convert(gbk, out, stoppedAt)) return std::nullopt;
  return out;
}

std::string gbkToUtf8(std::string_view gbk) {
  std::string out;
  std::string piece;
  size_t pos = 0;
  while (pos < gbk.size()) {
    size_t start = pos;
    while (pos < gbk.size() && static_cast<unsigned char>(gbk[pos]) < 0x80) ++pos;
    out.append(gbk.substr(start, pos - start));
    if (pos == gbk.size()) break;
    size_t stoppedAt = 0;
    std::string_view rest = gbk.substr(pos);
    if (fromGbk().convert(rest, piece, stoppedAt)) {
      out += piece;
      break;
    }
    // Keep what converted, replace the bad byte and go on after it.
    std::string good;
    if (stoppedAt > 0) {
      size_t dummy = 0;
      fromGbk().convert(rest.substr(0, stoppedAt), good, dummy);
    }
    out += good;
    out += "\xEF\xBF\xBD";
    pos += stoppedAt + 1;
  }
  return out;
}


}  // namespace tamberlo
