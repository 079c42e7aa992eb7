// SPDX-License-Identifier: GPL-3.0-or-later
// A new run into a project folder keeps what the user edited there.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "editor_test_support.h"
#include "gen/generation.h"
#include "gen/project_record.h"
#include "platform/error.h"

namespace tamberlo {
namespace {

using test::StartedEditor;

// Replaces the first `from` in the file; the test fails when it is not there.
void edit(const std::string& path, const std::string& from, const std::string& to) {
  std::string bytes = test::readBytes(path);
  const size_t at = bytes.find(from);
  ASSERT_NE(at, std::string::npos) << from << " not in " << path;
  bytes.replace(at, from.size(), to);
  test::writeBytes(path, bytes);
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// An editor with UART0 ticked at the given baud index, generating into its folder.
struct UartProject {
  StartedEditor e;
  explicit UartProject(int baud = 6) {
    e->userClick("UART0Check");
    e->userSelect("ComboBox1", baud);
  }
  void generate() { e->run("BitBtn2Click"); }
  std::string file(const std::string& name) { return test::readBytes(e->ProjectDir() + name); }
};

// Every regular file below `dir` but the record: relative name -> bytes.
std::map<std::string, std::string> projectFiles(const std::string& dir) {
  std::map<std::string, std::string> out;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
    const std::string rel = std::filesystem::relative(e.path(), dir).string();
    if (e.is_regular_file() && rel.rfind(".tamberlo", 0) != 0) out[rel] = test::readBytes(e.path().string());
  }
  return out;
}

TEST(ProjectRecord, EditsInMainAndUartSurviveANewBaudRate) {
  UartProject p;
  p.generate();
  const std::string uartLine = "/* my note on the UART */\r\n";
  const std::string mainLine = "      i++;  /* \xC4\xE3\xBA\xC3 */\r\n";  // GBK text in the user's edit
  edit(p.e->ProjectDir() + "uart.c", "void Uart_Init", uartLine + "void Uart_Init");
  edit(p.e->ProjectDir() + "main.c", "   {\r\n   }", "   {\r\n" + mainLine + "   }");
  const std::string mainEdited = p.file("main.c");
  p.e->userSelect("ComboBox1", 9);
  p.generate();

  UartProject fresh(9);
  fresh.generate();
  std::string want = fresh.file("uart.c");
  want.insert(want.find("void Uart_Init"), uartLine);
  EXPECT_EQ(p.file("uart.c"), want);  // the user's line and the new divisor
  EXPECT_EQ(p.file("main.c"), mainEdited);
  EXPECT_EQ(test::readBytes(p.e->ProjectDir() + ".tamberlo/record/uart.c"), fresh.file("uart.c"));
  EXPECT_TRUE(contains(p.e.status.back(), "your edits merged into: uart.c"));
  EXPECT_TRUE(contains(p.e.status.back(), "your edited files kept: main.c"));
  EXPECT_TRUE(p.e->warnings().empty());
}

TEST(ProjectRecord, OverlappingEditGivesMarkersTheWarningAndTheUsersCopy) {
  UartProject p;
  p.generate();
  const std::string dir = p.e->ProjectDir();
  std::string line = p.file("uart.c");
  line = line.substr(line.find("    UBRRL"), line.find("\r\n", line.find("    UBRRL")) - line.find("    UBRRL"));
  edit(dir + "uart.c", line, "    UBRRL  =  0x99;  /* mine */");
  edit(dir + "main.c", "   {\r\n   }", "   {\r\n   /* loop */\r\n   }");
  const std::string yours = p.file("uart.c");
  p.e->userSelect("ComboBox1", 9);
  p.generate();

  const std::string merged = p.file("uart.c");
  EXPECT_TRUE(contains(merged, "<<<<<<< your edit\r\n    UBRRL  =  0x99;  /* mine */\r\n=======\r\n    UBRRL"));
  EXPECT_TRUE(contains(merged, ">>>>>>> generated\r\n"));
  EXPECT_EQ(test::readBytes(dir + ".tamberlo/yours/uart.c"), yours);
  ASSERT_EQ(p.e->warnings().size(), 1u);
  EXPECT_TRUE(contains(p.e->warnings()[0], "uart.c: 1 conflict "));
  EXPECT_TRUE(contains(p.e.status.back(), "conflicts to resolve: uart.c (1)"));
}

// Without edits a run writes exactly what a fresh folder gets, whatever came
// before; files a module no longer writes stay, are named once, never built.
TEST(ProjectRecord, UneditedFolderMatchesAFreshOneAndNamesDroppedFilesOnce) {
  UartProject p;
  p.e->userClick("SPICheck");
  p.generate();
  p.e->userClick("SPICheck");
  p.e->userSelect("ComboBox1", 3);
  p.generate();
  UartProject fresh(3);
  fresh.generate();
  auto got = projectFiles(p.e->ProjectDir());
  EXPECT_EQ(got.count("spi.c"), 1u);
  got.erase("spi.c");
  got.erase("spi.h");
  EXPECT_EQ(got, projectFiles(fresh.e->ProjectDir()));
  EXPECT_TRUE(contains(p.e.status.back(), "no longer generated: spi.c, spi.h"));
  EXPECT_FALSE(contains(p.file("Makefile"), "spi.c"));
  p.generate();
  EXPECT_EQ(p.e.status.back(), "工程源程序生成完成，请打开编译软件测试！");
}

// A folder written before the record: an edited source is backed up before it
// is replaced, and an edited Makefile stays the user's as it always did.
TEST(ProjectRecord, FolderWithoutARecordBacksUpEditedFiles) {
  UartProject p;
  p.generate();
  const std::string dir = p.e->ProjectDir();
  std::filesystem::remove_all(dir + ".tamberlo");
  edit(dir + "main.c", "   {\r\n   }", "   {\r\n   /* loop */\r\n   }");
  edit(dir + "Makefile", "PROGRAMMER = usbasp", "PROGRAMMER = stk500v2");
  const std::string mainEdited = p.file("main.c"), makeEdited = p.file("Makefile");
  p.generate();
  UartProject fresh;
  fresh.generate();
  EXPECT_EQ(p.file("main.c"), fresh.file("main.c"));
  EXPECT_EQ(test::readBytes(dir + ".tamberlo/backup/main.c"), mainEdited);
  EXPECT_EQ(p.file("Makefile"), makeEdited);
  EXPECT_TRUE(contains(p.e.status.back(), "backed up to .tamberlo/backup/ before replacing: main.c"));
  // The record now exists: the next edit of the Makefile's flags merges.
  p.e->userSelect("ComboBox2", 3);
  p.generate();
  EXPECT_TRUE(contains(p.file("Makefile"), "PROGRAMMER = stk500v2"));
}

TEST(ProjectRecord, ThreeWayMergeOfBytes) {
  // GBK bytes whose second byte is a backslash, CR LF lines.
  const std::string base = "a\r\n\xD5\x5C b\r\nc\r\nd\r\ne\r\n";
  const struct {
    std::string yours, generated, want;
    int conflicts;
  } cases[] = {
      {base, "a\r\nB\r\nc\r\nd\r\ne\r\n", "a\r\nB\r\nc\r\nd\r\ne\r\n", 0},
      {"a\r\n\xD5\x5C b\r\nc\r\nd\r\nE\r\n", "A\r\n\xD5\x5C b\r\nc\r\nd\r\ne\r\n", "A\r\n\xD5\x5C b\r\nc\r\nd\r\nE\r\n", 0},
      {"x\r\n\xD5\x5C b\r\nc\r\nd\r\ne\r\n", "y\r\n\xD5\x5C b\r\nc\r\nd\r\ne\r\n",
       "<<<<<<< your edit\r\nx\r\n=======\r\ny\r\n>>>>>>> generated\r\n\xD5\x5C b\r\nc\r\nd\r\ne\r\n", 1},
  };
  for (const auto& c : cases) {
    const MergedText m = mergeThreeWay(base, c.yours, c.generated);
    EXPECT_EQ(m.bytes, c.want);
    EXPECT_EQ(m.conflicts, c.conflicts);
  }
  EXPECT_EQ(mergeThreeWay("1\n2\n3\n4\n5\n6\n7\n", "x\n2\n3\n4\n5\n6\ny\n", "X\n2\n3\n4\n5\n6\nY\n").conflicts, 2);
}

// The board refuses a folder whose Makefile may build other settings.
TEST(ProjectRecord, FailedRunOrMissingMakefileMarksTheFolder) {
  UartProject p;
  p.generate();
  const std::string dir = p.e->ProjectDir();
  EXPECT_FALSE(staleAdvice(dir));
  EXPECT_THROW(p.e->userType("ComboBox2", "fast"), Error);  // the box refuses it
  p.e->setText("ComboBox2", "fast");                        // a caller past the box
  p.generate();
  ASSERT_TRUE(staleAdvice(dir));
  EXPECT_TRUE(contains(*staleAdvice(dir), "晶振频率 \"fast\" 不是以 MHz 为单位的数字"));
  p.e->userSelect("ComboBox2", 3);
  p.generate();
  EXPECT_FALSE(staleAdvice(dir));
  // A run that fails leaves every file and says so.
  std::filesystem::create_directory(dir + "spi.c");  // a folder where a file must go
  p.e->userClick("SPICheck");
  const auto before = projectFiles(dir);
  EXPECT_THROW(p.generate(), Error);
  EXPECT_EQ(projectFiles(dir), before);
  ASSERT_TRUE(staleAdvice(dir));
  EXPECT_TRUE(contains(*staleAdvice(dir), "上次生成工程失败"));
}

TEST(ProjectRecord, ProjectFolderIsChosenAndRemembered) {
  StartedEditor e;
  const std::string defaultDir = e->ProjectDir();
  test::TempDir other;
  try {
    chooseProjectFolder(*e, other / "missing");
    ADD_FAILURE() << "a folder that cannot be written was taken";
  } catch (const Error& err) {
    EXPECT_TRUE(contains(err.what(), "请选择其他工程目录")) << err.what();
  }
  EXPECT_EQ(e->ProjectDir(), defaultDir);
  chooseProjectFolder(*e, other.path());
  EXPECT_EQ(e->ProjectDir(), other.path());
  e.start();  // the next start of the program
  EXPECT_EQ(e->ProjectDir(), other.path());
}

std::string quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// tamberlo-gen's exit status and standard output.
std::pair<int, std::string> runGen(const std::vector<std::string>& args) {
  std::string cmd = quote(TAMBERLO_GEN_EXE);
  for (const auto& a : args) cmd += " " + quote(a);
  cmd += " 2>/dev/null";
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int rc = pclose(p);
  return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, out};
}

// Every file below `dir`, the hidden folder included, with its bytes.
std::map<std::string, std::string> everything(const std::string& dir) {
  std::map<std::string, std::string> out;
  if (!std::filesystem::exists(dir)) return out;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
    out[e.path().string()] = e.is_regular_file() ? test::readBytes(e.path().string()) : "/";
  }
  return out;
}

TEST(ProjectRecord, DryRunListsEachFileAndCheckTellsADifference) {
  test::TempDir dir;
  const std::string out = dir / "p/";
  const std::vector<std::string> base = {"--exe-dir", dir.path(), "-o", out, "--set", "UART0.Uart0_use=1"};
  auto gen = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = base;
    args.insert(args.end(), extra.begin(), extra.end());
    return runGen(args);
  };
  const auto [status, listing] = gen({"--dry-run"});
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(contains(listing, "create    main.c\ncreate    test.prj\n"));
  EXPECT_TRUE(contains(listing, "create    gcc/icc_glue.c\ncreate    gcc/fuses.c\ncreate    Makefile\n"));
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(gen({"--check"}).first, 3);

  ASSERT_EQ(gen({}).first, 0);
  EXPECT_EQ(gen({"--check"}), std::make_pair(0, std::string()));
  edit(out + "main.c", "   {\r\n   }", "   {\r\n   /* loop */\r\n   }");
  edit(out + "uart.h", "#endif", "/* mine */\r\n#endif");
  EXPECT_EQ(gen({"--check"}), std::make_pair(0, std::string()));  // edits are the user's, not a difference
  const auto before = everything(dir.path());
  const struct {
    std::string options;
    std::string lines;  // what --dry-run lists, in part
  } cases[] = {
      {"--check", "replace   uart.c\n"},
      {"--dry-run", "replace   uart.c\nkept      uart.h\nkept      main.c\nunchanged test.prj\n"},
  };
  for (const auto& c : cases) {
    const auto [rc, text] = gen({"--set", "UART0.Uart0_baud=9", c.options});
    EXPECT_EQ(rc, c.options == "--check" ? 3 : 0);
    EXPECT_TRUE(c.options == "--check" ? text == c.lines : contains(text, c.lines)) << text;
  }
  const auto [rc, text] = gen({"--set", "UART0.Uart0_use=0", "--set", "SPI.Spi_use=1", "--dry-run"});
  EXPECT_TRUE(contains(text, "create    spi.c\n")) << text;
  EXPECT_TRUE(contains(text, "kept      uart.c (no longer generated)\n")) << text;
  EXPECT_EQ(everything(dir.path()), before);  // nothing written, not even a temporary file
}


// ---- the commit: killed or concurrent runs ----------------------------------

size_t g_killAt = 0;
void killAtStep(size_t step) {
  if (step == g_killAt) ::_exit(9);
}

bool hasStray(const std::string& dir) {
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (name.find(".tmp") != std::string::npos || name.find(".old") != std::string::npos) return true;
  }
  return false;
}

// A run over an older project killed before each rename of its commit (and
// before the journal goes) leaves, once the next start tidies the folder,
// the old project untouched or the new one complete.
TEST(ProjectCommit, KilledAtEveryStepLeavesTheOldOrTheNewProject) {
  StartedEditor e;
  test::TempDir root;
  auto oldSettings = [&] {
    e->setChecked("SPICheck", false);
    e->userSelect("ComboBox3", 6);  // ATMega128
    e->userSelect("ComboBox2", 9);
    e->setChecked("UART0Check", true);
  };
  auto newSettings = [&] {
    e->userSelect("ComboBox2", 3);
    e->setChecked("SPICheck", true);
  };
  oldSettings();
  newSettings();
  std::filesystem::create_directory(root / "new");
  chooseProjectFolder(*e, root / "new");
  e->run("BitBtn2Click");
  const auto newFiles = projectFiles(root / "new");
  int killedOld = 0, killedNew = 0;
  for (g_killAt = 0;; ++g_killAt) {
    SCOPED_TRACE(g_killAt);
    const std::string dir = root / ("p" + std::to_string(g_killAt));
    std::filesystem::create_directory(dir);
    chooseProjectFolder(*e, dir);
    oldSettings();
    e->run("BitBtn2Click");
    const auto oldFiles = projectFiles(dir);
    ASSERT_NE(oldFiles, newFiles);
    newSettings();
    const pid_t child = ::fork();
    if (child == 0) {
      setCommitStepHook(killAtStep);
      try {
        e->run("BitBtn2Click");
      } catch (...) {
        ::_exit(1);
      }
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    tidyProjectFolder(dir);  // the next start
    EXPECT_FALSE(hasStray(dir));
    const auto after = projectFiles(dir);
    EXPECT_TRUE(after == oldFiles || after == newFiles);
    if (WEXITSTATUS(status) == 0) {
      EXPECT_EQ(after, newFiles);
      break;
    }
    ASSERT_EQ(WEXITSTATUS(status), 9);
    (after == oldFiles ? killedOld : killedNew)++;
  }
  EXPECT_GT(killedOld, 0);
  EXPECT_GT(killedNew, 10);  // every changed file's rename was a place to stop
}

// A second writer waits for the first, and gives up with a message.
TEST(ProjectCommit, ConcurrentRunsNeverInterleave) {
  test::TempDir dir;
  const std::vector<std::string> a = {"--set", "UART0.Uart0_use=1"};
  const std::vector<std::string> b = {"--set", "UART0.Uart0_use=1", "--set", "UART0.Uart0_baud=9",
                                      "--set", "SPI.Spi_use=1", "--set", "MCU.mcutype=4"};
  // Each writer has its own act.ini: the chip a --set picks is remembered there.
  std::filesystem::create_directory(dir / "ea");
  std::filesystem::create_directory(dir / "eb");
  auto command = [&](const std::string& out, const std::vector<std::string>& set) {
    const std::string exe = dir / (&set == &a ? "ea" : "eb");
    std::string cmd = quote(TAMBERLO_GEN_EXE) + " --exe-dir " + quote(exe) + " -o " + quote(out);
    for (const auto& s : set) cmd += " " + quote(s);
    return cmd + " 2>/dev/null";
  };
  ASSERT_EQ(std::system(command(dir / "a", a).c_str()), 0);
  ASSERT_EQ(std::system(command(dir / "b", b).c_str()), 0);
  const auto freshA = projectFiles(dir / "a"), freshB = projectFiles(dir / "b");
  ASSERT_NE(freshA.at("uart.c"), freshB.at("uart.c"));
  auto holds = [](const std::map<std::string, std::string>& folder, const std::map<std::string, std::string>& fresh) {
    for (const auto& [name, bytes] : fresh) {
      auto it = folder.find(name);
      if (it == folder.end() || it->second != bytes) return false;
    }
    return true;
  };
  const std::string p = dir / "p";
  for (int round = 0; round < 6; ++round) {
    const std::string both = "(" + command(p, a) + " & " + command(p, b) + " & wait)";
    ASSERT_EQ(std::system(both.c_str()), 0);
    const auto got = projectFiles(p);
    EXPECT_TRUE(holds(got, freshA) || holds(got, freshB)) << "round " << round;
  }

  ProjectLock first(p);
  try {
    ProjectLock second(p, 200);
    ADD_FAILURE() << "two runs held one folder";
  } catch (const Error& err) {
    EXPECT_TRUE(contains(err.what(), "正在被另一个 Tamberlo 写入")) << err.what();
  }
}

// A commit that fails half-way (a rename refused) puts back every old file
// and leaves no empty stand-in for a file that was new.
void failAtStep(size_t step) {
  if (step == g_killAt) throw Error("the rename was refused");
}

TEST(ProjectCommit, FailedCommitPutsBackTheOldFilesOnly) {
  UartProject p;
  p.generate();
  const std::string dir = p.e->ProjectDir();
  const auto before = projectFiles(dir);
  p.e->userClick("SPICheck");
  p.e->userSelect("ComboBox1", 9);
  g_killAt = 12;
  setCommitStepHook(failAtStep);
  EXPECT_THROW(p.generate(), Error);
  setCommitStepHook(nullptr);
  EXPECT_EQ(projectFiles(dir), before);
  EXPECT_FALSE(hasStray(dir));
  EXPECT_FALSE(std::filesystem::exists(commitJournal(dir)));
}

}  // namespace
}  // namespace tamberlo
