// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>

#include "editor_test_support.h"
#include "gen/banners.h"
#include "gen/generator.h"
#include "platform/error.h"

namespace tamberlo {
namespace {

using test::StartedEditor;

// Spy generators: each records its name; the UART one asks for the delay module.
std::vector<std::string>* g_calls = nullptr;
void record(const char* name) {
  if (g_calls) g_calls->push_back(name);
}

#define SPY(NAME) \
  void NAME(GenContext&) { record(#NAME); }
SPY(SpiSpy)
SPY(SpiAppSpy)
SPY(TwiSpy)
SPY(TwiAppSpy)
SPY(AdcSpy)
SPY(AcpSpy)
SPY(LcdSpy)
SPY(GuiSpy)
SPY(OneWireSpy)
SPY(UsbSpy)
SPY(Mp3Spy)
SPY(MainSpy)
SPY(IccSpy)
SPY(GccSpy)
void UartSpy(GenContext& ctx) {
  record("UartSpy");
  ctx.NeedDelay = true;
}
void DelaySpy(GenContext& ctx) {
  record("DelaySpy");
  EXPECT_TRUE(ctx.NeedDelay);
}

struct Spies {
  std::vector<std::string> calls;
  std::vector<std::unique_ptr<GeneratorOverride>> overrides;
  Spies() {
    g_calls = &calls;
    const std::pair<const char*, Generator> all[] = {
        {"MakeUartCode", UartSpy},       {"MakeSpiCode", SpiSpy},       {"MakeSpiAppCode", SpiAppSpy},
        {"MakeTwiCode", TwiSpy},         {"MakeTwiAppCode", TwiAppSpy}, {"MakeAdcCode", AdcSpy},
        {"MakeAcpCode", AcpSpy},         {"MakeLcdCode", LcdSpy},       {"MakeGuiCode", GuiSpy},
        {"MakeOneWireCode", OneWireSpy}, {"MakeUsbCode", UsbSpy},       {"MakeMp3Code", Mp3Spy},
        {"MakeDelayCode", DelaySpy},     {"MakeMainCode", MainSpy},     {"MakeIccProject", IccSpy},
        {"MakeGccProject", GccSpy}};
    for (auto [name, g] : all) overrides.push_back(std::make_unique<GeneratorOverride>(name, g));
  }
  ~Spies() { g_calls = nullptr; }
};

TEST(GenerationRun, NothingTickedRunsMainAndProjectFilesOnly) {
  StartedEditor e;
  Spies spies;
  e->run("BitBtn1Click");
  spies.calls.clear();
  e.status.clear();
  e->run("BitBtn2Click");
  EXPECT_EQ(spies.calls, (std::vector<std::string>{"MainSpy", "IccSpy", "GccSpy"}));
  EXPECT_EQ(e.status, (std::vector<std::string>{"正在生成工程源代码...", "正在生成MAIN程序文件...",
                                                "正在生成ICC工程文件...", "正在生成GCC工程文件...",
                                                "工程源程序生成完成，请打开编译软件测试！"}));
  EXPECT_FALSE(e->enabled("BitBtn2"));
}

TEST(GenerationRun, EverythingTickedRunsInTheFixedOrder) {
  StartedEditor e;
  e->userSelect("ComboBox16", 9);  // LCD128x64(KS0108): a model the graphics library draws on
  for (const char* box : {"UART0Check", "SPICheck", "TWICheck", "ADCCheck", "ACPCheck", "LCDCheck",
                          "GUICheck", "OneWireCheck", "USBCheck", "MP3Check"}) {
    e->setChecked(box, true);
  }
  Spies spies;
  e.status.clear();
  e->run("BitBtn2Click");
  EXPECT_EQ(spies.calls,
            (std::vector<std::string>{"UartSpy", "SpiSpy", "SpiAppSpy", "TwiSpy", "TwiAppSpy", "AdcSpy",
                                      "AcpSpy", "LcdSpy", "GuiSpy", "OneWireSpy", "UsbSpy", "Mp3Spy",
                                      "DelaySpy", "MainSpy", "IccSpy", "GccSpy"}));
  EXPECT_EQ(e.status,
            (std::vector<std::string>{
                "正在生成工程源代码...", "正在生成UART程序文件...", "正在生成SPI程序文件...",
                "正在生成TWI程序文件...", "正在生成ADC程序文件...", "正在生成ACP程序文件...",
                "正在生成LCD程序文件...", "正在生成GUI程序文件...", "正在生成OneWire程序文件...",
                "正在生成USB程序文件...", "正在生成MP3程序文件...", "正在生成DELAY程序文件...",
                "正在生成MAIN程序文件...", "正在生成ICC工程文件...", "正在生成GCC工程文件...",
                "工程源程序生成完成，请打开编译软件测试！"}));
}

TEST(GenerationRun, ConditionsOfTheSteps) {
  StartedEditor e;
  e->setChecked("GUICheck", true);    // GUI never without LCD
  e->setChecked("LCDCheck", true);
  e->setText("ComboBox16", "LCD9999");  // names no model: the LCD generator is skipped
  e->setChecked("GUICheck", false);
  Spies spies;
  e->run("BitBtn2Click");
  EXPECT_EQ(spies.calls, (std::vector<std::string>{"MainSpy", "IccSpy", "GccSpy"}));
  // the delay module follows NeedDelay of this run only
  e->NeedDelay() = true;
  spies.calls.clear();
  e->run("BitBtn2Click");
  EXPECT_EQ(spies.calls, (std::vector<std::string>{"MainSpy", "IccSpy", "GccSpy"}));
}

TEST(GenerationRun, PreviewDispatchesOnThePageIndex) {
  StartedEditor e;
  Spies spies;
  const std::pair<int, const char*> pages[] = {{0, "UartSpy"}, {1, "UartSpy"}, {2, "SpiSpy"},
                                               {3, "TwiSpy"},  {4, "AdcSpy"},  {5, "AcpSpy"}};
  for (auto [page, spy] : pages) {
    spies.calls.clear();
    e->userSelectPage(page);
    e->setEnabled("BitBtn2", false);
    e->userClick("BitBtn1");
    EXPECT_EQ(spies.calls, std::vector<std::string>{spy}) << page;
    EXPECT_TRUE(e->enabled("BitBtn2"));
    EXPECT_EQ(e->caption("Panel2"), "请点击〈生成工程〉按钮生成工程源代码!");
  }
  spies.calls.clear();
  e->userSelectPage(10);
  e->userClick("BitBtn1");
  EXPECT_TRUE(spies.calls.empty());
}

void ThrowingMain(GenContext& ctx) {
  TextBuffer b{"x"};
  b.save(ctx.projectDir + "no-such-folder/", "main.c");
}

TEST(GenerationRun, AFailedStepStopsTheRunAndKeepsItsMessage) {
  StartedEditor e;
  Spies spies;
  GeneratorOverride failing("MakeMainCode", ThrowingMain);
  e->run("BitBtn1Click");
  spies.calls.clear();
  try {
    e->run("BitBtn2Click");
    FAIL() << "the run must report the file it could not write";
  } catch (const Error& err) {
    EXPECT_NE(std::string(err.what()).find("main.c"), std::string::npos) << err.what();
  }
  // The status names the failed step; no stale "正在生成..." stays.
  EXPECT_EQ(e->caption("Panel2"), "生成MAIN程序文件时出错，工程目录里的文件没有改变");
  EXPECT_TRUE(spies.calls.empty());
  EXPECT_FALSE(e->enabled("BitBtn2"));
}

TEST(Banners, TestBannerGoesOnTopWithTheDeviceInclude) {
  ProjectConfig c;
  TextBuffer b{"first"};
  AddTestBanner(b, c);
  ASSERT_EQ(b.size(), 12u);
  EXPECT_EQ(b[0], "/*--------------------------------------------------*/");
  EXPECT_EQ(b[0].size(), 54u);
  EXPECT_EQ(b[2].size(), 54u);
  EXPECT_EQ(b[2].substr(0, 13), "/*           ");
  EXPECT_EQ(b[2].substr(52), "*/");
  EXPECT_EQ(b[5], "/*     程序由TamberloV2.1.1自动生成          */");
  EXPECT_EQ(b[6], "/*     AVR系统的处理器为：   ATMega16               */");
  EXPECT_EQ(b[7], "/*     AVR系统的晶振频率：   7.3728 Mhz             */");
  EXPECT_EQ(b[9], "");
  EXPECT_EQ(b[10], "#include <iom16v.h>");
  EXPECT_EQ(b[11], "first");
  c.MCU.mcutype.text = "typed";
  TextBuffer t;
  AddTestBanner(t, c);
  EXPECT_EQ(t.size(), 10u);
}

TEST(Banners, SourceBanner) {
  ProjectConfig c;
  c.MCU.mcutype.text = "ATMega128";
  c.MCU.Fosc.text = "11.0592";
  TextBuffer b;
  addSourceBanner(b, c, "Corvelle");
  EXPECT_EQ(b.lines(), (std::vector<std::string>{
                           "//-----------------------------------------------------------",
                           "//程序由CorvelleV2.1.1自动生成     ", "//MCU系统的处理器为：    ATMega128",
                           "//MCU系统的晶振频率：    11.0592 Mhz",
                           "//-----------------------------------------------------------", "",
                           "#include <iom128v.h>"}));
}

TEST(DelayModule, WritesDelayFilesByteForByte) {
  StartedEditor e;
  GenContext ctx{e->config(), e->shadows(), e->ProjectDir(), e->NeedDelay(), e->previewLines(), {}, {}, {}};
  MakeDelayCode(ctx);
  writeGeneratedFiles(e->ProjectDir(), ctx.files);
  test::expectMatchesGolden(e.dir / "test/delay.c", "spine/delay.c");
  test::expectMatchesGolden(e.dir / "test/delay.h", "spine/delay.h");
  auto lines = test::readGeneratedLines(e.dir / "test/delay.c");
  ASSERT_GT(lines.size(), 12u);
  EXPECT_EQ(lines[10], "#include <iom16v.h>");
  EXPECT_EQ(lines[11], "#include \"delay.h\"");
  EXPECT_EQ(test::readGeneratedLines(e.dir / "test/delay.h")[0], "#ifndef\t__DELAY__H");
}


// Warnings do not stop a run: every file is still written, the run still
// completes, and the user sees each warning once, after the run.
struct WarningDialogs : UserDialogs {
  std::vector<std::vector<std::string>> shown;
  std::optional<std::string> openActFile() override { return std::nullopt; }
  std::optional<std::string> saveActFile() override { return std::nullopt; }
  std::optional<std::string> chooseCompilerFile() override { return std::nullopt; }
  void showMessage(const std::string&) override {}
  void showWarnings(const std::vector<std::string>& lines) override { shown.push_back(lines); }
  void openUrl(const std::string&) override {}
};
void WarningSpy(GenContext& ctx) {
  record("WarningSpy");
  ctx.warn("SPI: the SD card needs 512 bytes of RAM");
  ctx.warn("SPI: the SD card needs 512 bytes of RAM");
}

TEST(GenerationRun, WarningsAreShownOnceAfterACompleteRun) {
  StartedEditor e;
  WarningDialogs dialogs;
  e->setDialogs(&dialogs);
  Spies spies;
  GeneratorOverride spi("MakeSpiCode", WarningSpy);
  e->setChecked("SPICheck", true);
  e->run("BitBtn2Click");
  EXPECT_EQ(spies.calls, (std::vector<std::string>{"WarningSpy", "SpiAppSpy", "MainSpy", "IccSpy", "GccSpy"}));
  EXPECT_EQ(e.status.back(), "工程源程序生成完成，请打开编译软件测试！");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0], (std::vector<std::string>{"SPI: the SD card needs 512 bytes of RAM"}));
  // The next run starts clean.
  GeneratorOverride quiet("MakeSpiCode", SpiSpy);
  e->run("BitBtn2Click");
  EXPECT_EQ(dialogs.shown.size(), 1u);
  e->setDialogs(nullptr);
}

}  // namespace
}  // namespace tamberlo
