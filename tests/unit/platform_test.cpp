// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/text_buffer.h"
#include "platform/error.h"
#include "platform/fill.h"
#include "platform/fs.h"
#include "platform/gbk.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "test_support.h"

namespace tamberlo {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

IniFile iniOf(const std::string& text) { return IniFile::fromText(text, "t.ini"); }

TEST(IniFile, ReadsWithDefaultsAndIgnoresCase) {
  IniFile ini = iniOf("[MCU]\r\nmcutype=6\r\nFosc= 12 \r\nbad=x1\r\n[Other APP]\r\nText1=PA0\r\n");
  EXPECT_EQ(ini.readInteger("mcu", "MCUTYPE", 3), 6);
  EXPECT_EQ(ini.readInteger("MCU", "Fosc", 10), 12);
  EXPECT_EQ(ini.readInteger("MCU", "bad", 10), 10);
  EXPECT_EQ(ini.readInteger("MCU", "missing", 10), 10);
  EXPECT_EQ(ini.readInteger("Nope", "mcutype", 3), 3);
  EXPECT_EQ(ini.readString("other app", "text1", ""), "PA0");
  EXPECT_EQ(ini.readString("Other APP", "Text2", "dflt"), "dflt");
}

TEST(IniFile, BoolsAreIntegers) {
  IniFile ini = iniOf("[S]\na=1\nb=2\nc=yes\nd=0\ne=-1\n");
  EXPECT_TRUE(ini.readBool("S", "a", false));
  EXPECT_TRUE(ini.readBool("S", "b", false));
  EXPECT_FALSE(ini.readBool("S", "c", false));
  EXPECT_FALSE(ini.readBool("S", "d", true));
  EXPECT_TRUE(ini.readBool("S", "e", false));
  EXPECT_TRUE(ini.readBool("S", "missing", true));
}

TEST(IniFile, WritesInPlaceAppendsAndKeepsEverythingElse) {
  struct Case {
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
  } cases[] = {
      {"; note\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n", "a", "X", "9",
       "; note\r\n[A]\r\nx=9\r\n\r\n[B]\r\ny=2\r\n"},
      {"[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n", "A", "z", "3", "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n"},
      {"[A]\r\nx=1\r\n", "Other APP", "Text1", "PB3", "[A]\r\nx=1\r\n[Other APP]\r\nText1=PB3\r\n"},
      {"garbage line\r\n[A]\r\nno equals\r\nx=1", "A", "x", "", "garbage line\r\n[A]\r\nno equals\r\nx=\r\n"},
      {"", "MCU", "mcutype", "6", "[MCU]\r\nmcutype=6\r\n"},
      {"\xEF\xBB\xBF[A]\nx=1\n", "A", "x", "2", "\xEF\xBB\xBF[A]\r\nx=2\r\n"},
  };
  for (const auto& c : cases) {
    IniFile ini = iniOf(c.before);
    ini.writeString(c.section, c.key, c.value);
    EXPECT_EQ(ini.bytes(), c.after) << "before: " << c.before;
  }
}

TEST(IniFile, SectionNamesInFileOrderOnce) {
  IniFile ini = iniOf("[MCU]\n[UART0]\n[mcu]\n x \n[Other APP]\n[]\n");
  EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"MCU", "UART0", "Other APP", ""}));
}

TEST(IniFile, RawSectionsAreReadAsReadSeesThem) {
  IniFile ini = iniOf("[a]\nk=1\nk=2\n[B]\nx=0\n[A]\nk=3\n[b]\nK = 4 \n[c]\n");
  auto sections = ini.rawSections("k");
  ASSERT_EQ(sections.size(), 3u);
  for (const auto& s : sections) {
    EXPECT_EQ(s.value.has_value(), ini.read(s.name, "k").has_value()) << s.name;
    if (s.value) {
      EXPECT_EQ(*s.value, *ini.read(s.name, "k")) << s.name;
    }
  }
  EXPECT_EQ(sections[0].value.value_or("-"), "1");
  EXPECT_FALSE(sections[1].value) << "the second [b] block is not B's";
}

TEST(IniFile, GbkOnDiskUtf8Inside) {
  TempDir dir;
  IniFile ini(dir / "a.ini");
  ini.writeString("UART0", "Parity", "偶校验");
  ini.save();
  EXPECT_EQ(readBytes(dir / "a.ini"), "[UART0]\r\nParity=\xC5\xBC\xD0\xA3\xD1\xE9\r\n");
  EXPECT_EQ(IniFile(dir / "a.ini").readString("UART0", "Parity", ""), "偶校验");
  EXPECT_THROW(ini.writeString("A", "k", "a\nb"), Error);
}

TEST(IniFile, HostileFilesLoadWithoutCrashing) {
  TempDir dir;
  std::string binary;
  for (int i = 0; i < 5000; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
  writeBytes(dir / "bin.ini", binary);
  IniFile bin(dir / "bin.ini");
  (void)bin.sectionNames();
  EXPECT_EQ(bin.readInteger("MCU", "mcutype", 3), 3);

  writeBytes(dir / "long.ini", "[MCU]\nmcutype=" + std::string(200000, '9') + "\n");
  EXPECT_EQ(IniFile(dir / "long.ini").readInteger("MCU", "mcutype", 3), 3);


  EXPECT_EQ(IniFile(dir / "missing.ini").readInteger("MCU", "mcutype", 3), 3);
}

TEST(IniFile, FailedSaveLeavesOldFile) {
  if (geteuid() == 0) {
    // root ignores folder permissions: make the target a folder instead.
    TempDir dir;
    std::string path = dir / "x.ini";
    mkdir(path.c_str(), 0755);
    EXPECT_THROW(IniFile{path}, Error);  // a folder is no file to read
    IniFile ini = IniFile::fromText("", path);
    ini.writeString("A", "b", "c");
    EXPECT_THROW(ini.save(), Error);
    return;
  }
  TempDir dir;
  writeBytes(dir / "old.ini", "[A]\r\nb=1\r\n");
  chmod(dir.path().c_str(), 0555);
  IniFile ini(dir / "old.ini");
  ini.writeString("A", "b", "2");
  EXPECT_THROW(ini.save(), Error);
  chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(readBytes(dir / "old.ini"), "[A]\r\nb=1\r\n");
}

TEST(Files, NewFilesAreNeverCreatedThroughWhatIsThere) {
  TempDir dir;
  writeBytes(dir / "target", "keep");
  writeBytes(dir / "file", "keep");
  ASSERT_EQ(symlink((dir / "target").c_str(), (dir / "link").c_str()), 0);
  ASSERT_EQ(symlink((dir / "absent").c_str(), (dir / "dangling").c_str()), 0);
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0644), 0);
  for (const char* name : {"file", "link", "dangling", "fifo"}) {
    errno = 0;
    EXPECT_EQ(createNewFile(dir / name), -1) << name;
    EXPECT_EQ(errno, EEXIST) << name;
  }
  EXPECT_EQ(readBytes(dir / "target"), "keep");
  EXPECT_FALSE(fileExists(dir / "absent"));
  int fd = createNewFile(dir / "new");
  EXPECT_GE(fd, 0);
  close(fd);
}

TEST(Gbk, RoundTripAndClearErrors) {
  EXPECT_EQ(utf8ToGbk("abc"), "abc");
  EXPECT_EQ(utf8ToGbk("禁止"), "\xBD\xFB\xD6\xB9");
  EXPECT_EQ(gbkToUtf8("\xBD\xFB\xD6\xB9"), "禁止");
  EXPECT_EQ(gbkToUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(gbkToUtf8Exact("\xBD\xFB\xD6\xB9").value_or("-"), "禁止");
  EXPECT_FALSE(gbkToUtf8Exact("a\xFF!"));
  EXPECT_FALSE(gbkToUtf8Exact("\xBD"));
  try {
    utf8ToGbk("ok 😀");
    FAIL() << "an emoji has no GBK code";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("GBK"), std::string::npos);
  }
}

TEST(TextBuffer, EditsAndSavesGbkWithCrLf) {
  TextBuffer b;
  b.add("b");
  b.add("");
  b.insert(0, "a");
  b.insert(99, "z");
  EXPECT_EQ(b.lines(), (std::vector<std::string>{"a", "b", "", "z"}));
  b.assign({"//程序", "x\ty"});
  TempDir dir;
  b.save(dir.path(), "out.c");
  EXPECT_EQ(readBytes(dir / "out.c"), "//\xB3\xCC\xD0\xF2\r\nx\ty\r\n");
  b.clear();
  b.save(dir.path(), "out.c");
  EXPECT_EQ(readBytes(dir / "out.c"), "");
  EXPECT_THROW(b.save(dir / "missing/", "x.c"), Error);
}

TEST(Text, FixedFormattingRoundsHalvesAwayFromZero) {
  struct {
    double v;
    int w, d;
    const char* out;
  } cases[] = {{47.0, 2, 0, "47"}, {5.0, 2, 0, " 5"}, {3.53, 2, 0, " 4"}, {46.5, 2, 0, "47"},
               {47.5, 2, 0, "48"}, {-0.5, 2, 0, "-1"}, {0.15625, 2, 3, "0.156"},
               {-3.549, 2, 3, "-3.549"}, {1843200.0, 2, 0, "1843200"}, {0.0, 2, 3, "0.000"}};
  for (const auto& c : cases) EXPECT_EQ(formatFixed(c.v, c.w, c.d), c.out) << c.v;
}

TEST(Text, NumbersParseWholeTextsOnly) {
  EXPECT_EQ(parseInteger(" 12 "), 12);
  EXPECT_EQ(parseInteger("-5"), -5);
  EXPECT_FALSE(parseInteger("12a"));
  EXPECT_FALSE(parseInteger(""));
  EXPECT_EQ(parseDecimal("7.3728"), 7.3728);
  EXPECT_FALSE(parseDecimal("7,3728"));
  EXPECT_THROW(toInteger("abc"), Error);
  EXPECT_EQ(hexByte(0x2F), "0x2F");
  EXPECT_EQ(hexByte(5), "0x05");
  EXPECT_EQ(hexByte(0x123), "0x123");
}

// The one filler of every template: marks filled, any other '$' kept as
// text (a Makefile's $(CC) and $@), a mark without a value and a value no
// text used both refused.
TEST(Filler, FillsMarksAndRefusesMissingAndUnusedNames) {
  EXPECT_EQ(fillMarks("t", "$(CC) -o $@ $a$ $$ P$p$$n$ $", {{"a", "x"}, {"p", "B"}, {"n", "3"}}),
            "$(CC) -o $@ x $$ PB3 $");
  try {
    fillMarks("Makefile template", "$a$ $b$", {{"a", "x"}});
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Makefile template: no value for $b$");
  }
  try {
    fillMarks("Makefile template", "$a$", {{"a", "x"}, {"b", "y"}});
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Makefile template: no place for $b$");
  }
  // Over several texts a value must be used by one of them; fixed values
  // need not be used at all.
  Filler blocks("blocks", {{"n", "0"}, {"m", "1"}}, {{"tab", "\t"}});
  EXPECT_EQ(blocks.fill("U$n$"), "U0");
  EXPECT_THROW(blocks.finish(), Error);
  EXPECT_EQ(blocks.fill("$m$$tab$"), "1\t");
  EXPECT_NO_THROW(blocks.finish());
  // A shared piece keeps the module's own marks for the module's filler.
  Filler piece("piece", {{"prefix", "twi"}});
  EXPECT_EQ(piece.fill("$prefix$_wait($crystal_hz$)", true), "twi_wait($crystal_hz$)");
  EXPECT_THROW(piece.fill("$crystal_hz$"), Error);
}

}  // namespace
}  // namespace tamberlo
