// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_support.h"

#include <dirent.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/error.h"
#include "platform/gbk.h"

namespace tamberlo::test {

std::string messageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& e) {
    return e.what();
  }
  ADD_FAILURE() << "no Error";
  return {};
}

TempDir::TempDir() {
  std::string templ = (std::filesystem::temp_directory_path() / "tamberlo-test-XXXXXX").string();
  char* made = mkdtemp(templ.data());
  if (!made) throw std::runtime_error("cannot create a temporary folder");
  path_ = std::string(made) + "/";
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) {
      lines.push_back(text.substr(pos));
      break;
    }
    lines.push_back(text.substr(pos, nl - pos));
    pos = nl + 1;
  }
  return lines;
}

std::vector<std::string> readGeneratedLines(const std::string& path) {
  std::string bytes = readBytes(path);
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t nl = bytes.find("\r\n", pos);
    if (nl == std::string::npos) {
      ADD_FAILURE() << path << ": the last line does not end in CR LF";
      lines.push_back(gbkToUtf8(bytes.substr(pos)));
      break;
    }
    std::string line = bytes.substr(pos, nl - pos);
    if (line.find('\n') != std::string::npos) ADD_FAILURE() << path << ": a bare LF inside a line";
    lines.push_back(gbkToUtf8(line));
    pos = nl + 2;
  }
  return lines;
}

std::vector<std::string> listFiles(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    if (e.is_regular_file()) names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string lineDiff(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a == b) return {};
  // A plain LCS diff: generated files are small.
  size_t n = a.size(), m = b.size();
  std::vector<std::vector<int>> lcs(n + 1, std::vector<int>(m + 1, 0));
  for (size_t i = n; i-- > 0;) {
    for (size_t j = m; j-- > 0;) {
      lcs[i][j] = a[i] == b[j] ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
    }
  }
  std::ostringstream out;
  size_t i = 0, j = 0;
  auto show = [](const std::string& s) {
    std::string r;
    for (char c : s) r += c == '\t' ? std::string("\\t") : std::string(1, c);
    return r + (s.empty() || s.back() != ' ' ? "" : "⏎");
  };
  int shown = 0;
  while ((i < n || j < m) && shown < 80) {
    if (i < n && j < m && a[i] == b[j]) {
      ++i, ++j;
    } else if (j < m && (i == n || lcs[i][j + 1] >= lcs[i + 1][j])) {
      out << "+ " << (j + 1) << ": " << show(b[j]) << "\n";
      ++j, ++shown;
    } else {
      out << "- " << (i + 1) << ": " << show(a[i]) << "\n";
      ++i, ++shown;
    }
  }
  return out.str();
}

void expectMatchesGolden(const std::string& generatedPath, const std::string& goldenName) {
  std::string goldenPath = std::string(TAMBERLO_GOLDEN_DIR) + "/" + goldenName;
  std::vector<std::string> actual = readGeneratedLines(generatedPath);
  const char* update = std::getenv("TAMBERLO_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    std::string text;
    for (const auto& l : actual) text += l + "\n";
    writeBytes(goldenPath, text);
    return;
  }
  std::vector<std::string> expected = splitLines(readBytes(goldenPath));
  std::string diff = lineDiff(expected, actual);
  EXPECT_TRUE(diff.empty()) << generatedPath << " differs from golden/" << goldenName
                            << " (- golden, + generated; rerun with TAMBERLO_UPDATE_GOLDEN=1 to accept):\n"
                            << diff;
}

std::pair<int, std::string> runIn(const std::string& dir, const std::string& cmd) {
  std::string full = "cd '" + dir + "' && " + cmd + " 2>&1";
  std::string out;
  FILE* p = popen(full.c_str(), "r");
  if (!p) return {-1, "popen failed"};
  char buf[512];
  while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  return {pclose(p), out};
}

bool haveProgram(const std::string& program) {
  return std::system((program + " --version >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace tamberlo::test
