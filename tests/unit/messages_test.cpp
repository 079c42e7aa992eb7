// SPDX-License-Identifier: GPL-3.0-or-later
// Messages in Chinese: the catalog's patterns, the compiled po/zh_CN.po and
// tamberlo-gen's choice by locale.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/messages.h"
#include "test_support.h"

using namespace tamberlo;

TEST(Messages, PatternsFillTheirPartsInAnyOrder) {
  MessageCatalog c;
  c.add("running", "运行中");
  c.add("Running: %s", "运行：%s");
  c.add("%s: %s has no pin %s for %s", "%1$s：%2$s 没有给 %4$s 用的引脚 %3$s");
  c.add("%s: %s", "%s：%s");
  c.add("LCD: no pin is assigned to %s", "LCD：没有给 %s 分配引脚");
  c.add("GCC build: %s", "GCC 构建：%s");
  const struct {
    const char* english;
    const char* chinese;
  } cases[] = {
      {"running", "运行中"},
      {"Running: running", "运行：运行中"},  // a part that is a message itself
      {"Running: paused", "运行：paused"},   // one the catalog lacks stays
      {"LCD: ATMega8 has no pin PE2 for /RST", "LCD：ATMega8 没有给 /RST 用的引脚 PE2"},
      // The pattern with the most literal text wins over "%s: %s".
      {"LCD: no pin is assigned to E", "LCD：没有给 E 分配引脚"},
      {"GCC build: LCD: no pin is assigned to E", "GCC 构建：LCD：没有给 E 分配引脚"},
      {"UART: 9600", "UART：9600"},
      {"not in the catalog", "not in the catalog"},
      {"", ""},
      // A list of messages, one a line, each on its own.
      {"running\nLCD: no pin is assigned to RS\nplain", "运行中\nLCD：没有给 RS 分配引脚\nplain"},
      {"已经是中文", "已经是中文"},
  };
  for (const auto& t : cases) EXPECT_EQ(c.translate(t.english), t.chinese) << t.english;
}

TEST(Messages, BrokenCatalogFilesLoadNothing) {
  test::TempDir dir;
  MessageCatalog c;
  EXPECT_FALSE(c.load(dir / "missing.mo"));
  const std::string magic("\xde\x12\x04\x95", 4);
  for (const std::string& bytes :
       {std::string(), std::string("not a catalog at all, long enough"), magic + std::string(24, '\0'),
        // One entry whose offsets point far past the end of the file.
        magic + std::string(4, '\0') + std::string("\x01\0\0\0\x1c\0\0\0\x24\0\0\0", 12) + std::string(8, '\0') +
            std::string("\xff\xff\0\0\xff\xff\xff\x7f\xff\xff\0\0\xff\xff\xff\x7f", 16)}) {
    test::writeBytes(dir / "bad.mo", bytes);
    c.load(dir / "bad.mo");
    EXPECT_TRUE(c.empty());
    EXPECT_EQ(c.translate("running"), "running");
  }
}

// The catalog the build compiled: the messages the issue reports are in it.
TEST(Messages, BuiltCatalogSpeaksChinese) {
  ASSERT_FALSE(chineseMessages().empty());
  EXPECT_EQ(inChinese("LCD: no pin is assigned to /RST"), "LCD：没有给 /RST 分配引脚");
  EXPECT_EQ(inChinese("GCC build: the crystal \"abc\" is not a frequency in MHz, so no Makefile was written"),
            "GCC 构建：晶振“abc”不是以 MHz 为单位的频率，没有写出 Makefile");
  EXPECT_EQ(inChinese("Building with make..."), "正在用 make 编译...");
  EXPECT_EQ(inChinese("Running: running"), "运行：运行中");
  EXPECT_EQ(inChinese("The build failed: 27 message(s) with a place; double click one to see it."),
            "编译失败：27 条带位置的消息；双击一条查看。");
  EXPECT_EQ(inChinese("The virtual board needs avr-gcc and make to build the project. On Debian or Ubuntu: "
                      "sudo apt-get install make"),
            "虚拟板需要 avr-gcc 和 make 来编译工程。在 Debian 或 Ubuntu 上：sudo apt-get install make");
}

// tamberlo-gen: Chinese under a Chinese locale, English otherwise.
TEST(Messages, TamberloGenFollowsTheLocale) {
  auto run = [](const std::string& env) {
    const std::string cmd = "env -u LC_ALL -u LC_MESSAGES " + env + " '" TAMBERLO_GEN_EXE "' --bogus 2>&1";
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
  };
  EXPECT_EQ(run("LANG=zh_CN.UTF-8"), "tamberlo-gen: error: 未知选项 --bogus（见 --help）\n");
  EXPECT_EQ(run("LANG=C.UTF-8 LC_MESSAGES=zh_TW.UTF-8"), "tamberlo-gen: error: 未知选项 --bogus（见 --help）\n");
  EXPECT_EQ(run("LANG=zh_CN.UTF-8 LC_ALL=C"), "tamberlo-gen: error: unknown option --bogus (see --help)\n");
  EXPECT_EQ(run("LANG=C.UTF-8"), "tamberlo-gen: error: unknown option --bogus (see --help)\n");
}
