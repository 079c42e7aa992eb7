// SPDX-License-Identifier: GPL-3.0-or-later
// A user's files are never lost or mixed: oversized files are refused and
// never written over, a run replaces all of its files or none, read-only
// files are refused, values that cannot reach their files are caught when
// read, and messages echo values escaped and cut.
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "editor_test_support.h"
#include "assembly/editor.h"
#include "platform/text_buffer.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "settings/act_file.h"

namespace tamberlo {
namespace {

using test::messageOf;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

class RecordingDialogs : public UserDialogs {
 public:
  std::vector<std::string> messages;
  std::optional<std::string> openActFile() override { return std::nullopt; }
  std::optional<std::string> saveActFile() override { return std::nullopt; }
  std::optional<std::string> chooseCompilerFile() override { return std::nullopt; }
  void showMessage(const std::string& text) override { messages.push_back(text); }
  void openUrl(const std::string&) override {}
};

// Every file below a folder with its bytes (folders as "name/").
std::map<std::string, std::string> snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
    std::string name = e.path().lexically_relative(folder).string();
    files[e.is_directory() ? name + "/" : name] = e.is_directory() ? "" : readBytes(e.path().string());
  }
  return files;
}

TEST(Messages, ValuesAreEscapedAndCut) {
  const struct {
    std::string value;
    std::string shown;
  } cases[] = {
      {"PA0", "PA0"},
      {"a\rb\nc\td", "a\\rb\\nc\\td"},
      {"\x1B[31mred\x7F", "\\x1B[31mred\\x7F"},
      {std::string("nul\0here", 8), "nul\\x00here"},
      {"\xFF\xFEgbk", "\\xFF\\xFEgbk"},
      {"偶校验", "偶校验"},
      {std::string(100000, 'x'), std::string(64, 'x') + "…"},
      {std::string(70, '\r'),
       [] {
         std::string s;
         for (int i = 0; i < 64; ++i) s += "\\r";
         return s + "…";
       }()},
  };
  for (const auto& c : cases) EXPECT_EQ(forMessage(c.value), c.shown);
  EXPECT_EQ(messageForDisplay("file x:\nLCD.Text1: \"\x1B\""), "file x:\nLCD.Text1: \"\\x1B\"");
  std::string typed = "12\x1B" + std::string(100000, '9');
  std::string message = messageOf([&] { toInteger(typed); });
  EXPECT_EQ(message, "\"12\\x1B" + std::string(61, '9') + "…\" is not a valid integer value");
}

TEST(LargeFiles, AreRefusedByNameAndNeverWrittenOver) {
  test::StartedEditor e;
  // One byte over the limit: the load names the file and its size...
  std::string big = "[MCU]\r\nmcutype=6\r\n" + std::string(kMaxFileBytes, ';');
  writeBytes(e.dir / "big.act", big);
  std::string message = messageOf([&] { LoadActFile(*e, e.dir / "big.act"); });
  EXPECT_NE(message.find(e.dir / "big.act"), std::string::npos) << message;
  EXPECT_NE(message.find(std::to_string(big.size()) + " bytes"), std::string::npos) << message;
  // ...and saving onto it is refused, the user's file kept whole.
  EXPECT_THROW(SaveActFile(*e, e.dir / "big.act"), Error);
  EXPECT_EQ(readBytes(e.dir / "big.act").size(), big.size());

  // Just under the limit, a file of blank lines loads.
  std::string blank = "[MCU]\r\nmcutype=6\r\n" + std::string(kMaxFileBytes - 64, '\n');
  writeBytes(e.dir / "blank.act", blank);
  try {
    LoadActFile(*e, e.dir / "blank.act");
  } catch (const Error&) {
    // Only the missing keys' defaults are reported; the MCU was taken.
  }
  EXPECT_EQ(e->itemIndex("ComboBox3"), 6);
  // Rewritten with CR LF it would grow past what can be read back: refused.
  EXPECT_THROW(SaveActFile(*e, e.dir / "blank.act"), Error);
  EXPECT_EQ(readBytes(e.dir / "blank.act"), blank);

  // A settings file the user made read-only is not saved over either.
  writeBytes(e.dir / "kept.act", "[MCU]\r\nmcutype=2\r\n");
  chmod((e.dir / "kept.act").c_str(), 0444);
  message = messageOf([&] { SaveActFile(*e, e.dir / "kept.act"); });
  EXPECT_NE(message.find("kept.act is read-only"), std::string::npos) << message;
  EXPECT_EQ(readBytes(e.dir / "kept.act"), "[MCU]\r\nmcutype=2\r\n");
}

TEST(LargeFiles, AnActIniThatCannotBeKeptIsLeftAloneForTheSession) {
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"too large", "[MCU]\r\ncompile=1\r\n" + std::string(kMaxFileBytes, ' ')},
      // LF-only just under the limit: any rewrite with CR LF would pass it.
      {"would grow", "[MCU]\ncompile=1\n" + std::string(kMaxFileBytes - 32, '\n')},
      {"read-only", "[MCU]\r\ncompile=1\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    writeBytes(dir / "act.ini", c.bytes);
    if (std::string(c.what) == "read-only") chmod((dir / "act.ini").c_str(), 0444);
    RecordingDialogs dialogs;
    Editor m;
    m.setDialogs(&dialogs);
    m.FormCreate(dir.path());
    m.FormShow();
    m.userSelect("ComboBox3", 6);
    m.userSelect("ComboBox2", 3);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("act.ini"), std::string::npos) << dialogs.messages[0];
    EXPECT_EQ(m.itemIndex("ComboBox3"), 6);
    EXPECT_TRUE(readBytes(dir / "act.ini") == c.bytes);
  }
}

TEST(StagedWrites, AllFilesOfAScopeOrNone) {
  TempDir dir;
  createFolder(dir / "gcc");
  writeBytes(dir / "main.c", "old main");
  writeBytes(dir / "gcc/compat.h", "old compat");
  const auto before = snapshot(dir.path());
  auto writeRun = [&](bool blocked) {
    StagedWrites staged;
    writeFileAtomic(dir / "main.c", "new main");
    writeFileAtomic(dir / "gcc/compat.h", "new compat");
    createFolder(dir / "lib");
    TextBuffer{"new"}.save(dir / "lib/", "x.c");
    // A later step reads what an earlier one wrote.
    EXPECT_EQ(readFile(dir / "main.c"), "new main");
    EXPECT_TRUE(fileExists(dir / "lib/x.c"));
    if (blocked) writeFileAtomic(dir / "gcc", "a folder is in the way");
    staged.commit();
  };
  EXPECT_THROW(writeRun(true), Error);
  EXPECT_EQ(snapshot(dir.path()), before);  // no new file, no temporary, no new folder

  chmod((dir / "gcc/compat.h").c_str(), 0444);
  std::string message = messageOf([&] { writeRun(false); });
  EXPECT_NE(message.find("compat.h is read-only"), std::string::npos) << message;
  EXPECT_EQ(snapshot(dir.path()), before);

  chmod((dir / "gcc/compat.h").c_str(), 0644);
  writeRun(false);
  auto after = snapshot(dir.path());
  EXPECT_EQ(after.size(), before.size() + 2);
  EXPECT_EQ(after["main.c"], "new main");
  EXPECT_EQ(after["gcc/compat.h"], "new compat");
  EXPECT_EQ(after["lib/x.c"], "new\r\n");
}

// A whole generation run on a project written before: a file that cannot be
// replaced stops the run before any file changes.
TEST(StagedWrites, AFailedGenerationRunLeavesTheOldProject) {
  test::StartedEditor e;
  e->setProjectDir(e.dir / "proj");
  createFolder(e.dir / "proj");
  e->userClick("UART0Check");
  e->run("BitBtn2Click");
  const auto first = snapshot(e.dir / "proj/");
  ASSERT_TRUE(first.count("main.c") && first.count("test.prj") && first.count("uart.c"));
  e->userClick("SPICheck");  // the next run would change main.c and add files

  chmod((e.dir / "proj/main.c").c_str(), 0444);
  std::string message = messageOf([&] { e->run("BitBtn2Click"); });
  EXPECT_NE(message.find("main.c is read-only"), std::string::npos) << message;
  auto failed = snapshot(e.dir / "proj/");
  EXPECT_EQ(failed.erase(".tamberlo/stale"), 1u);  // the only change: the mark the board refuses
  EXPECT_EQ(failed, first);
  chmod((e.dir / "proj/main.c").c_str(), 0644);

  // The project file is written last: a folder in its place fails the run
  // after every source was generated, and still nothing changes.
  deleteFile(e.dir / "proj/test.prj");
  createFolder(e.dir / "proj/test.prj");
  auto blocked = snapshot(e.dir / "proj/");
  EXPECT_THROW(e->run("BitBtn2Click"), Error);
  failed = snapshot(e.dir / "proj/");
  EXPECT_EQ(failed.erase(".tamberlo/stale") + blocked.erase(".tamberlo/stale"), 2u);
  EXPECT_EQ(failed, blocked);

  ::rmdir((e.dir / "proj/test.prj").c_str());
  e->run("BitBtn2Click");
  auto done = snapshot(e.dir / "proj/");
  EXPECT_TRUE(done.count("spi.c"));
  EXPECT_NE(done["main.c"], first.at("main.c"));
}

TEST(ReadValues, ActIniValuesThatCannotReachTheProjectAreRefused) {
  using namespace std::string_literals;
  for (const std::string& value : {"C:\\icc\0x\\"s, "C:\\icc\rx\\"s, "C:\\icc\xFF\\"s}) {
    SCOPED_TRACE(forMessage(value));
    TempDir dir;
    std::string ini = "[MCU]\r\ncompile=0\r\n[ICC]\r\nfilepath=" + value + "\r\n";
    writeBytes(dir / "act.ini", ini);
    RecordingDialogs dialogs;
    Editor m;
    m.setDialogs(&dialogs);
    m.FormCreate(dir.path());
    m.FormShow();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("act.ini: [ICC] filepath: the value"), std::string::npos)
        << dialogs.messages[0];
    EXPECT_EQ(m.CompilerPath(), "");
    m.run("BitBtn2Click");
    EXPECT_EQ(IniFile(dir / "test/test.prj").readString("Compiler Options", "Edit1", ""), "include\\");
    EXPECT_NE(readBytes(dir / "act.ini").find(value), std::string::npos);  // the line stays as it was
  }
}

TEST(ReadValues, ActTextsLoadOrNameTheKeyTheyCouldNotTake) {
  test::StartedEditor e;
  writeBytes(e.dir / "a.act", "[LCD]\r\nText1=ok \xC5\xBC\r\nText2=bad\xFF\xFF\r\nText3=esc\x1B\r\n");
  std::string message = messageOf([&] { LoadActFile(*e, e.dir / "a.act"); });
  EXPECT_NE(message.find("LCD.Text2: "), std::string::npos) << message;
  EXPECT_NE(message.find("LCD.Text3: "), std::string::npos) << message;
  EXPECT_EQ(message.find('\x1B'), std::string::npos);
  EXPECT_EQ(e->text("Edit1"), "ok 偶");
  // Whatever was taken saves back; the refused values stay in the file as they were.
  SaveActFile(*e, e.dir / "a.act");
  IniFile saved(e.dir / "a.act");
  EXPECT_EQ(saved.readString("LCD", "Text1", ""), "ok 偶");
  EXPECT_NE(readBytes(e.dir / "a.act").find("Text2=\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tamberlo
