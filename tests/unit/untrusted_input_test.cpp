// SPDX-License-Identifier: GPL-3.0-or-later
// What a user, another program or a planted file can put in the editor's
// way: act.ini written by two programs at once, FIFOs, devices and folders
// where settings are read, links where files are written, typed texts that
// generated lines cannot carry, and files that are not settings files.
// Every case that could block does so under alarm(), so a hang fails the
// run instead of stalling it.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <tuple>

#include "assembly/editor.h"
#include "app/editor_model.h"
#include "app/file_places.h"
#include "editor_test_support.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/gbk.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "settings/act_file.h"

namespace tamberlo {
namespace {

using test::messageOf;
using test::readBytes;
using test::StartedEditor;
using test::TempDir;
using test::writeBytes;

// A hang in the code under test ends the test program (SIGALRM) rather than
// the whole suite's patience.
struct HangGuard {
  explicit HangGuard(unsigned seconds) { ::alarm(seconds); }
  ~HangGuard() { ::alarm(0); }
};

class Dialogs : public UserDialogs {
 public:
  std::vector<std::string> messages;
  std::optional<std::string> answer;
  std::optional<std::string> openActFile() override { return answer; }
  std::optional<std::string> saveActFile() override { return answer; }
  std::optional<std::string> chooseCompilerFile() override { return std::nullopt; }
  void showMessage(const std::string& text) override { messages.push_back(text); }
  void openUrl(const std::string&) override {}
};

// Every control's state, to see that a refused input changed nothing.
std::map<std::string, std::string> controlStates(const EditorModel& m) {
  std::map<std::string, std::string> out;
  for (const Control& c : m.controls()) {
    if (c.name == "Panel2" || c.name == "Form1") continue;  // status and title
    out[c.name] = c.text + "|" + std::to_string(c.itemIndex) + "|" + std::to_string(c.value) + "|" +
                  (c.checked ? "1" : "0") + (c.enabled ? "1" : "0") + (c.visible ? "1" : "0");
  }
  return out;
}

struct GenResult {
  int status = -1;
  std::string err;
};

std::string quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// tamberlo-gen under coreutils' timeout: a hang is status 124, not a stall.
GenResult runGen(const TempDir& dir, const std::vector<std::string>& args) {
  std::string cmd = "timeout 30 " + quote(TAMBERLO_GEN_EXE);
  for (const auto& a : args) cmd += " " + quote(a);
  cmd += " >/dev/null 2>" + quote(dir / "stderr.txt");
  int rc = std::system(cmd.c_str());
  GenResult r;
  r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  r.err = readBytes(dir / "stderr.txt");
  return r;
}

// ---- act.ini --------------------------------------------------------------

TEST(ActIniLock, TwoProgramsWritingDifferentKeysLoseNoValue) {
  TempDir dir;
  constexpr int kWrites = 150;
  int go[2];
  ASSERT_EQ(::pipe(go), 0);
  pid_t kids[2];
  for (int p = 0; p < 2; ++p) {
    kids[p] = ::fork();
    ASSERT_GE(kids[p], 0);
    if (kids[p] == 0) {
      ::alarm(60);
      Editor m;
      m.FormCreate(dir.path());
      char c;
      ::close(go[1]);
      if (::read(go[0], &c, 1) < 0) ::_exit(2);  // both start together
      for (int i = 0; i < kWrites; ++i) {
        m.writeActIni("Program" + std::to_string(p), "key" + std::to_string(i), std::to_string(i * 7 + p));
      }
      ::_exit(0);
    }
  }
  ::close(go[0]);
  ::close(go[1]);  // releases both
  for (pid_t kid : kids) {
    int status = 0;
    ASSERT_EQ(::waitpid(kid, &status, 0), kid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  IniFile ini(dir / "act.ini");
  int lost = 0;
  for (int p = 0; p < 2; ++p) {
    for (int i = 0; i < kWrites; ++i) {
      if (ini.readString("Program" + std::to_string(p), "key" + std::to_string(i), "") != std::to_string(i * 7 + p))
        ++lost;
    }
  }
  EXPECT_EQ(lost, 0);
  for (const auto& name : test::listFiles(dir.path())) EXPECT_EQ(name.find("act.ini.tmp"), std::string::npos) << name;
}

TEST(ActIniLock, StraysOfKilledWritersGoOthersStay) {
  StartedEditor e;
  writeBytes(e.dir / "act.ini.tmp4242_17", "[MCU]\r\nmcutype=1\r\n");
  writeBytes(e.dir / "act.ini.tmp99_123456", "");
  writeBytes(e.dir / "act.ini.tmp_1", "not ours");
  writeBytes(e.dir / "act.ini.tmp4242_17.mine", "not ours");
  e->userSelect("ComboBox3", 6);
  EXPECT_FALSE(fileExists(e.dir / "act.ini.tmp4242_17"));
  EXPECT_FALSE(fileExists(e.dir / "act.ini.tmp99_123456"));
  EXPECT_TRUE(fileExists(e.dir / "act.ini.tmp_1"));
  EXPECT_TRUE(fileExists(e.dir / "act.ini.tmp4242_17.mine"));
  EXPECT_EQ(IniFile(e.dir / "act.ini").readInteger("MCU", "mcutype", -1), 6);
}

// ---- only regular files are read ---------------------------------------------

TEST(RegularFilesOnly, FifosDevicesAndFoldersAreRefusedByName) {
  HangGuard guard(60);
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo.act").c_str(), 0644), 0);
  ASSERT_EQ(::symlink("/dev/zero", (dir / "device.act").c_str()), 0);
  ASSERT_TRUE(createFolder(dir / "folder.act"));
  const std::pair<const char*, const char*> cases[] = {
      {"fifo.act", "a FIFO"}, {"device.act", "a device"}, {"folder.act", "a folder"}};
  for (const auto& c : cases) {
    const std::string name = c.first, kind = c.second;
    SCOPED_TRACE(name);
    // The file layer, the loader (the window's "打开") and tamberlo-gen.
    std::string message = messageOf([&] { readFile(dir / name); });
    EXPECT_NE(message.find(dir / name), std::string::npos) << message;
    EXPECT_NE(message.find(kind), std::string::npos) << message;
    StartedEditor e;
    e->userSelect("ComboBox3", 6);
    const auto before = controlStates(*e);
    Dialogs dialogs;
    dialogs.answer = dir / name;
    e->setDialogs(&dialogs);
    message = messageOf([&] { e->userClick("BitBtn5"); });
    EXPECT_NE(message.find(kind), std::string::npos) << message;
    EXPECT_EQ(controlStates(*e), before);
    GenResult r = runGen(dir, {"--exe-dir", e.dir.path(), "-o", e.dir / "out", dir / name});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find(kind), std::string::npos) << r.err;
  }
}

TEST(RegularFilesOnly, AFifoAsActIniOrUserDirsIsToldAndPassedBy) {
  HangGuard guard(60);
  {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "act.ini").c_str(), 0644), 0);
    Dialogs dialogs;
    Editor m;
    m.setDialogs(&dialogs);
    m.FormCreate(dir.path());
    m.FormShow();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find((dir / "act.ini") + ": it is a FIFO"), std::string::npos) << dialogs.messages[0];
    EXPECT_EQ(m.text("ComboBox3"), "ATMega16");
    m.userSelect("ComboBox3", 6);  // the FIFO is left alone for the session
    struct stat st {};
    ASSERT_EQ(::lstat((dir / "act.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    GenResult r = runGen(dir, {"--exe-dir", dir.path(), "-o", dir / "out"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("it is a FIFO"), std::string::npos) << r.err;
  }
  {
    TempDir home;
    const std::string h = home.path().substr(0, home.path().size() - 1);
    ASSERT_TRUE(createFolder(home / ".config"));
    ASSERT_EQ(::mkfifo((home / ".config/user-dirs.dirs").c_str(), 0644), 0);
    UserFolders f = xdgUserFolders([&](const char* name) -> const char* { return std::string(name) == "HOME" ? h.c_str() : nullptr; });
    EXPECT_EQ(f.documents, h + "/Documents/");
    EXPECT_NE(f.problem.find(home / ".config/user-dirs.dirs"), std::string::npos) << f.problem;
    EXPECT_NE(f.problem.find("a FIFO"), std::string::npos) << f.problem;
    // An installed program tells it once at start.
    Dialogs dialogs;
    Editor m;
    m.setDialogs(&dialogs);
    ASSERT_TRUE(createFolder(home / "exe"));
    m.FormCreate(placeFiles(home / "exe", false, f));
    m.FormShow();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], f.problem);
  }
}

// ---- links are replaced, never followed for a mode ----------------------------

TEST(LinksAreReplaced, TheNewFileNeverTakesItsModeFromALinkTarget) {
  TempDir dir;
  const mode_t umaskNow = ::umask(022);
  writeBytes(dir / "setuid-program", "#!/bin/sh\n");
  ASSERT_EQ(::chmod((dir / "setuid-program").c_str(), 04755), 0);
  ASSERT_EQ(::symlink("/dev/null", (dir / "main.c").c_str()), 0);
  ASSERT_EQ(::symlink((dir / "setuid-program").c_str(), (dir / "uart.c").c_str()), 0);
  writeBytes(dir / "own.c", "old");
  ASSERT_EQ(::chmod((dir / "own.c").c_str(), 0600), 0);
  writeBytes(dir / "setuid.c", "old");
  ASSERT_EQ(::chmod((dir / "setuid.c").c_str(), 04775), 0);
  const std::pair<const char*, mode_t> cases[] = {
      {"main.c", 0644}, {"uart.c", 0644}, {"own.c", 0600}, {"setuid.c", 0775}};
  for (const auto& [name, mode] : cases) {
    SCOPED_TRACE(name);
    writeFileAtomic(dir / name, "int x;\r\n");
    struct stat st {};
    ASSERT_EQ(::lstat((dir / name).c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, mode);
    EXPECT_EQ(readBytes(dir / name), "int x;\r\n");
  }
  struct stat target {};
  ASSERT_EQ(::stat((dir / "setuid-program").c_str(), &target), 0);
  EXPECT_EQ(target.st_mode & 07777, 04755u);
  EXPECT_EQ(readBytes(dir / "setuid-program"), "#!/bin/sh\n");
  ::umask(umaskNow);
}

// ---- typed texts -----------------------------------------------------------------

TEST(TypedTexts, TextsAGeneratedLineCannotCarryAreRefusedWhereTheyEnter) {
  using namespace std::string_literals;
  const std::string bad[] = {"8\r\n#error injected", "7.3728\x1B[2J", "bell\a", "del\x7F", "nul\0x"s,
                             "tail\\", "tail\\  ", "a?\?/", "bad\xFF", "smile \xF0\x9F\x98\x80"};
  // Control, the caption its message must name.
  const std::pair<const char*, const char*> controls[] = {
      {"ComboBox4", "UART 数据位"}, {"ComboBox2", "晶振(MHz)"}, {"ComboBox3", "系统MCU"},
      {"LabeledEdit3", "TWI 从机地址"}, {"ComboBox29", "Other APP 芯片"}, {"Edit7", "LCD NC"}};
  StartedEditor e;
  const auto before = controlStates(*e);
  const ActRow* textRow = findActRow("TWI", "Twi_sla_addr");
  const ActRow* indexRow = findActRow("UART0", "Byte_len");
  for (const std::string& text : bad) {
    SCOPED_TRACE(forMessage(text));
    for (const auto& [control, caption] : controls) {
      SCOPED_TRACE(control);
      const std::string name = control;
      std::string message = messageOf([&] { e->userType(name, text); });
      EXPECT_EQ(message.rfind(caption + "："s, 0), 0u) << message;
    }
    // --set of a text key, and a typed text kept in a settings file.
    std::string message = messageOf([&] { applyActValue(*e, *textRow, text); });
    EXPECT_NE(message.find("TWI 从机地址"), std::string::npos) << message;
    message = messageOf([&] { applyActValue(*e, *indexRow, "-1", text); });
    EXPECT_NE(message.find("UART 数据位"), std::string::npos) << message;
    EXPECT_EQ(controlStates(*e), before);
  }
}

TEST(TypedTexts, ListBoxTextsAreMappedOntoTheirItemsOrRefused) {
  StartedEditor e;
  e->userClick("UART0Check");
  const std::tuple<const char*, const char*, const char*, int> mapped[] = {
      {"ComboBox4", "8", "8位", 3},       {"ComboBox4", " 5 位 ", "5位", 0}, {"ComboBox4", "9", "9位", -1},
      {"ComboBox4", "9位", "9位", -1},    {"ComboBox5", "奇校验 ", "奇校验", 3}};
  for (const auto& [control, typed, text, index] : mapped) {
    SCOPED_TRACE(typed);
    e->userType(control, typed);
    EXPECT_EQ(e->text(control), text);
    EXPECT_EQ(e->itemIndex(control), index);
  }
  // 9-bit characters: UCSZ2 in UCSRB, and the comment says so.
  EXPECT_EQ(e->shadows().UCSR0B & 0x04, 0x04);
  for (const char* typed : {"10", "8 bits", "", "4位"}) {
    EXPECT_NE(messageOf([&] { e->userType("ComboBox4", typed); }).find("不是可选的字符长度"), std::string::npos);
  }
  EXPECT_NE(messageOf([&] { e->userType("ComboBox5", "even"); }).find("UART 校验：“even” 不是可选的校验方式"),
            std::string::npos);
  EXPECT_EQ(e->text("ComboBox4"), "9位");
  EXPECT_EQ(e->text("ComboBox5"), "奇校验");
}

TEST(TypedTexts, TamberloGenRefusesAnInjectedLineAndWritesNothing) {
  TempDir dir;
  writeBytes(dir / "t.act", "[UART0]\r\nUart0_use=1\r\nByte_len=-1\r\nByte_len_typed=9\\\r\n");
  const std::vector<std::string> refused[] = {
      {"--set", "UART0.Uart0_use=1", "--type", "ComboBox4=8\r\n#error injected"},
      {"--set", "UART0.Uart0_use=1", "--type", "ComboBox2=7.3728\x1B]0;x\a"},
      {"--set", "UART0.Uart0_use=1", "--set", "TWI.Twi_sla_addr=1\\"},
      {dir / "t.act"}};
  for (const auto& args : refused) {
    SCOPED_TRACE(forMessage(args.back()));
    std::vector<std::string> all = {"--exe-dir", dir.path(), "-o", dir / "out"};
    all.insert(all.end(), args.begin(), args.end());
    GenResult r = runGen(dir, all);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.err.find("\n#error"), std::string::npos) << r.err;  // quoted escaped, on one line
    EXPECT_FALSE(fileExists(dir / "out/uart.c"));
  }
  GenResult r = runGen(dir, {"--exe-dir", dir.path(), "-o", dir / "out", "--set", "UART0.Uart0_use=1", "--type", "ComboBox4=8"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(readBytes(dir / "out/uart.c").find(utf8ToGbk("//字符长度：8位\r\n")), std::string::npos);
}

// ---- files that are not settings files ------------------------------------------

std::string utf16le(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

TEST(NotASettingsFile, IsRefusedAndTheCurrentSettingsStay) {
  std::string random;
  unsigned x = 12345;
  for (int i = 0; i < 65536; ++i) random += static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  const std::string good = "[MCU]\r\nVer=V2.1.1\r\nmcutype=6\r\n[UART0]\r\nUart0_use=1\r\n";
  const std::pair<const char*, std::string> files[] = {
      {"random.act", random},
      {"nul.act", std::string(1 << 20, '\0')},
      {"utf16.act", utf16le(good)},
      {"cr-only.act", "[MCU]\rVer=V2.1.1\rmcutype=6\r[UART0]\rUart0_use=1\r"},
      {"empty.act", ""},
      {"foreign.act", "[Mine]\r\nnote=1\r\n[MCU]\r\nunknown=3\r\n"}};
  for (const auto& file : files) {
    const std::string name = file.first, bytes = file.second;
    SCOPED_TRACE(name);
    StartedEditor e;
    e->userSelect("ComboBox3", 2);
    e->userClick("SPICheck");
    writeBytes(e.dir / name, bytes);
    const auto before = controlStates(*e);
    Dialogs dialogs;
    e->setDialogs(&dialogs);
    dialogs.answer = e.dir / name;
    std::string message = messageOf([&] { e->userClick("BitBtn5"); });  // "打开"
    EXPECT_NE(message.find((e.dir / name) + " 不是设置文件"), std::string::npos) << message;
    EXPECT_EQ(controlStates(*e), before);
    EXPECT_TRUE(dialogs.messages.empty());
    GenResult r = runGen(e.dir, {"--exe-dir", e.dir.path(), "-o", e.dir / "out", e.dir / name});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("不是设置文件"), std::string::npos) << r.err;
  }
  StartedEditor e;
  const auto before = controlStates(*e);
  EXPECT_NE(messageOf([&] { LoadActFile(*e, e.dir / "missing.act"); }).find("不存在"), std::string::npos);
  EXPECT_EQ(controlStates(*e), before);
}

TEST(NotASettingsFile, APartFileLoadsAndNamesWhatIsMissingOnce) {
  StartedEditor e;
  Dialogs dialogs;
  e->setDialogs(&dialogs);
  // Cut off after the SPI section, as a truncated copy would be.
  writeBytes(e.dir / "part.act", "[MCU]\r\nVer=V2.1.1\r\nmcutype=6\r\n[SPI]\r\nSpi_use=1\r\n[TWI]\r\n");
  LoadActFile(*e, e.dir / "part.act");
  EXPECT_EQ(e->text("ComboBox3"), "ATMega128");
  EXPECT_TRUE(e->checked("SPICheck"));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0], (e.dir / "part.act") +
                                     " 缺少 [UART0]、[UART1]、[TWI]、[LCD]、[GUI]、[USB]、[Other APP]，这些设置取默认值。");
}

// ---- where files go -------------------------------------------------------------

TEST(FilePlaces, AProjectFolderGivenMakesNothingBesideTheProgram) {
  TempDir dir;
  ASSERT_TRUE(createFolder(dir / "exe"));
  GenResult r = runGen(dir, {"--exe-dir", dir / "exe", "-o", dir / "out"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(folderExists(dir / "exe/test"));
  EXPECT_TRUE(fileExists(dir / "out/main.c"));
}

TEST(FilePlaces, AProjectFolderThatCannotBeMadeIsReportedWithTheRealReason) {
  TempDir dir;
  writeBytes(dir / "Documents", "a file where the documents folder should be");
  ASSERT_TRUE(createFolder(dir / "exe"));
  UserFolders user{dir / "config/", dir / "Documents/", dir / "cache/", ""};
  Editor m;
  m.FormCreate(placeFiles(dir / "exe", false, user));
  m.FormShow();
  std::string message = messageOf([&] { m.run("BitBtn1Click"); });
  EXPECT_NE(message.find("cannot create the project folder " + (dir / "Documents/Tamberlo/test/")),
            std::string::npos)
      << message;
  EXPECT_NE(message.find("Not a directory"), std::string::npos) << message;
  EXPECT_EQ(message.find("No such file"), std::string::npos) << message;
}

}  // namespace
}  // namespace tamberlo
