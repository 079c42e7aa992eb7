// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the headless tests: scratch folders, file access and a
// line diff that makes golden-file failures readable.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tamberlo::test {

// A fresh folder below the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }  // with a trailing '/'
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
// GBK CR LF bytes of a file as UTF-8 lines (fails the test on a bare LF).
std::vector<std::string> readGeneratedLines(const std::string& path);
// The files of a folder, sorted.
std::vector<std::string> listFiles(const std::string& folder);

// The message of the Error that `action` throws (a test failure when none).
std::string messageOf(const std::function<void()>& action);

// Empty when equal; otherwise a unified-style diff of the two line lists.
std::string lineDiff(const std::vector<std::string>& expected, const std::vector<std::string>& actual);
// Splits UTF-8 text at '\n' (no empty last line for a final '\n').
std::vector<std::string> splitLines(const std::string& text);

// Compares a generated file with the golden file tests/golden/<name>
// (UTF-8, LF). Set TAMBERLO_UPDATE_GOLDEN=1 to rewrite the golden file.
void expectMatchesGolden(const std::string& generatedPath, const std::string& goldenName);

// Runs a shell command in `dir`; returns its exit status and its output
// (standard output and error together).
std::pair<int, std::string> runIn(const std::string& dir, const std::string& cmd);
// True when `program --version` runs (a compiler the test needs).
bool haveProgram(const std::string& program);

}  // namespace tamberlo::test
