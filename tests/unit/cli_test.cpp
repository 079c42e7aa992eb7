// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/wait.h>

#include <cstdio>

#include "platform/ini_file.h"
#include "test_support.h"

namespace tamberlo {
namespace {

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

std::string quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

Result runGen(const test::TempDir& dir, const std::vector<std::string>& args) {
  std::string cmd = quote(TAMBERLO_GEN_EXE);
  for (const auto& a : args) cmd += " " + quote(a);
  cmd += " 2>" + quote(dir / "stderr.txt");
  Result r;
  FILE* p = popen(cmd.c_str(), "r");
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int rc = pclose(p);
  r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  r.err = test::readBytes(dir / "stderr.txt");
  return r;
}

TEST(TamberloGen, HelpVersionAndBadArguments) {
  test::TempDir dir;
  Result help = runGen(dir, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--preview PAGE"), std::string::npos);
  EXPECT_EQ(runGen(dir, {"--version"}).out, "tamberlo-gen V2.1.1\n");
  const std::vector<std::vector<std::string>> bad = {
      {"--bogus"},
      {"--set", "UART0.NoSuchKey=1"},
      {"--set", "no-equals"},
      {"--type", "NoSuchBox=1"},
      {"--type", "no-equals" + std::string(50000, '7')},
      {"--type"},
      {"--preview", "x"},
      {"--out"},
      {dir / "missing.act"},
      {"a.act", "b.act"},
      // Typed values come back escaped and cut, on one line.
      {"--set", "TWI.Twi_bit_rate=1\r\x1B[2J" + std::string(50000, '7')},
  };
  for (const auto& args : bad) {
    std::vector<std::string> all = {"--exe-dir", dir.path()};
    all.insert(all.end(), args.begin(), args.end());
    Result r = runGen(dir, all);
    EXPECT_EQ(r.status, 1) << args[0];
    EXPECT_EQ(r.err.rfind("tamberlo-gen: error: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.find_first_of("\r\x1B"), std::string::npos) << r.err;
    EXPECT_LT(r.err.size(), 400u) << r.err;
  }
  Result typed = runGen(dir, {"--exe-dir", dir.path(), "--set", "TWI.Twi_bit_rate=1\r\x1B" + std::string(99, '7')});
  EXPECT_NE(typed.err.find("“1\\r\\x1B777"), std::string::npos) << typed.err;
  EXPECT_NE(typed.err.find("7…”"), std::string::npos) << typed.err;
}

TEST(TamberloGen, RunsPrintsStatusAndSavesSettings) {
  test::TempDir dir;
  Result r = runGen(dir, {"--exe-dir", dir.path(), "-o", dir / "proj", "--set", "MCU.mcutype=6",
                          "--set", "Other APP.Text1=PB3", "--set", "uart1.rs485_PORTNO=12",
                          "--save-act", dir / "saved.act"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "正在生成工程源代码...");
  EXPECT_NE(r.err.find("工程源程序生成完成，请打开编译软件测试！\n"), std::string::npos);
  IniFile saved(dir / "saved.act");
  EXPECT_EQ(saved.readString("MCU", "mcutype", ""), "6");
  EXPECT_EQ(saved.readString("Other APP", "Text1", ""), "PB3");
  EXPECT_EQ(saved.readString("UART1", "Rs485_portno", ""), "7");
  EXPECT_EQ(IniFile(dir / "act.ini").readString("MCU", "mcutype", ""), "6");

  // the saved settings load back
  Result again = runGen(dir, {"--exe-dir", dir.path(), "-o", dir / "proj", dir / "saved.act",
                              "--save-act", dir / "again.act"});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(test::readBytes(dir / "saved.act"), test::readBytes(dir / "again.act"));
}

TEST(TamberloGen, AFailureLeavesEarlierFilesAndSaysWhy) {
  test::TempDir dir;
  test::writeBytes(dir / "notafolder", "x");
  Result r = runGen(dir, {"--exe-dir", dir.path(), "-o", dir / "notafolder/sub"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("notafolder/sub"), std::string::npos) << r.err;
  EXPECT_TRUE(test::readBytes(dir / "act.ini").size() > 0);
}

}  // namespace
}  // namespace tamberlo
