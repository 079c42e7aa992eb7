// SPDX-License-Identifier: GPL-3.0-or-later
// The compiler choice and its folder: what the folder dialog's answer
// becomes, what act.ini remembers, and what the next start restores.
#include <gtest/gtest.h>

#include "editor_test_support.h"
#include "platform/ini_file.h"
#include "project/project_files.h"

namespace tamberlo {
namespace {

using test::StartedEditor;

class FakeDialogs : public UserDialogs {
 public:
  std::optional<std::string> answer;
  int asked = 0;
  std::optional<std::string> openActFile() override { return std::nullopt; }
  std::optional<std::string> saveActFile() override { return std::nullopt; }
  std::optional<std::string> chooseCompilerFile() override {
    ++asked;
    return answer;
  }
  void showMessage(const std::string&) override {}
  void openUrl(const std::string&) override {}
};

std::optional<std::string> actValue(StartedEditor& e, const char* section, const char* key) {
  return IniFile(e->actIniPath()).read(section, key);
}

TEST(CompilerChoice, FolderChoiceDropsTheSubfolderPerCompiler) {
  struct Case {
    const char* what;
    int compiler;  // item index of ComboBox33
    std::string file;
    std::string path;     // CompilerPath afterwards
    const char* section;  // where act.ini keeps it
  };
  const Case cases[] = {
      {"ICC, file in bin", 0, "/opt/iccv7avr/bin/iccavr", "/opt/iccv7avr/", "ICC"},
      {"GCC, file in a two-letter folder", 1, "/opt/winavr/bn/avr-gcc", "/opt/winavr/", "GCC"},
      {"ICC, file directly in the folder", 0, "/opt/icc/iccavr", "/opt/", "ICC"},
      {"GCC, file directly in the folder", 1, "/opt/gcc/avr-gcc", "/opt/g", "GCC"},
      {"ICC, folder of exactly four", 0, "/ab/x", "", "ICC"},
      {"ICC, folder shorter than four", 0, "/a/x", "/a/", "ICC"},
      {"GCC, folder shorter than three", 1, "/x", "/", "GCC"},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.what);
    StartedEditor e;
    FakeDialogs dialogs;
    e->setDialogs(&dialogs);
    e->setItemIndex("ComboBox33", tc.compiler);
    e->run("ComboBox33Change");
    dialogs.answer = tc.file;
    e->userClick("Button3");
    EXPECT_EQ(dialogs.asked, 1);
    EXPECT_EQ(e->CompilerPath(), tc.path);
    EXPECT_EQ(actValue(e, tc.section, "filepath"), tc.path);
    const char* other = std::string(tc.section) == "ICC" ? "GCC" : "ICC";
    EXPECT_EQ(actValue(e, other, "filepath"), std::nullopt);
    EXPECT_EQ(e->config().Compiler_path, tc.path);
  }
}

TEST(CompilerChoice, CancelledOrBlankChoiceChangesNothing) {
  for (std::optional<std::string> answer :
       {std::optional<std::string>{}, std::optional<std::string>{"   "}, std::optional<std::string>{""}}) {
    StartedEditor e;
    IniFile ini(e->actIniPath());
    ini.writeString("ICC", "filepath", "/keep/");
    ini.save();
    e->run("ComboBox33Change");
    ASSERT_EQ(e->CompilerPath(), "/keep/");
    const std::string before = test::readBytes(e->actIniPath());
    FakeDialogs dialogs;
    dialogs.answer = answer;
    e->setDialogs(&dialogs);
    e->userClick("Button3");
    EXPECT_EQ(e->CompilerPath(), "/keep/");
    EXPECT_EQ(test::readBytes(e->actIniPath()), before);
  }
}

// A compiler text that is neither name keeps the whole folder in memory
// and writes nothing.
TEST(CompilerChoice, UnknownCompilerTextKeepsWholeFolderUnsaved) {
  StartedEditor e;
  FakeDialogs dialogs;
  e->setDialogs(&dialogs);
  e->setText("ComboBox33", "IAR AVR");
  dialogs.answer = "/opt/iar/bin/iccavr";
  const std::string before = test::readBytes(e->actIniPath());
  e->userClick("Button3");
  EXPECT_EQ(e->CompilerPath(), "/opt/iar/bin/");
  EXPECT_EQ(test::readBytes(e->actIniPath()), before);
}

TEST(CompilerChoice, ChangeHandlerSavesIndexAndLoadsThatCompilersFolder) {
  StartedEditor e;
  IniFile ini(e->actIniPath());
  ini.writeString("ICC", "filepath", "/icc/");
  ini.writeString("GCC", "filepath", "/gcc/");
  ini.save();
  struct Step {
    int index;
    std::string path;
  };
  for (const Step& s : {Step{1, "/gcc/"}, Step{0, "/icc/"}, Step{1, "/gcc/"}}) {
    e->setItemIndex("ComboBox33", s.index);
    e->run("ComboBox33Change");
    EXPECT_EQ(e->CompilerPath(), s.path);
    EXPECT_EQ(actValue(e, "MCU", "compile"), std::to_string(s.index));
  }
  // A text that names neither compiler leaves the folder as it was.
  e->setText("ComboBox33", "IAR AVR");
  e->run("ComboBox33Change");
  EXPECT_EQ(e->CompilerPath(), "/gcc/");
}

TEST(CompilerChoice, StartUpRestoresCompilerAndFolder) {
  StartedEditor e;
  EXPECT_EQ(e->itemIndex("ComboBox33"), 0);
  EXPECT_EQ(e->CompilerPath(), "");

  IniFile ini(e->actIniPath());
  ini.writeInteger("MCU", "compile", 1);
  ini.writeString("ICC", "filepath", "/icc/");
  ini.writeString("GCC", "filepath", "/gcc/");
  ini.save();
  e.start();
  EXPECT_EQ(e->text("ComboBox33"), "GCC AVR");
  EXPECT_EQ(e->CompilerPath(), "/gcc/");
}

// The chosen folder is the base of the include and library paths of the
// next ICC project.
TEST(CompilerChoice, ChosenFolderReachesTheProjectFile) {
  StartedEditor e;
  FakeDialogs dialogs;
  e->setDialogs(&dialogs);
  dialogs.answer = "/opt/iccv7avr/bin/iccavr";
  e->userClick("Button3");
  bool needDelay = false;
  std::vector<std::string> preview;
  GenContext ctx{e->config(), e->shadows(), e->ProjectDir(), needDelay, preview, {}, {}, {}};
  MakeIccProject(ctx);
  writeGeneratedFiles(e->ProjectDir(), ctx.files);
  IniFile prj(e->ProjectDir() + "test.prj");
  EXPECT_EQ(prj.read("Compiler Options", "Edit1"), "/opt/iccv7avr/include\\");
  EXPECT_EQ(prj.read("Compiler Options", "Edit2"), "/opt/iccv7avr/lib\\");
}

}  // namespace
}  // namespace tamberlo
