// SPDX-License-Identifier: GPL-3.0-or-later
// Where files go when the program's folder is not its own: the user's
// configuration, documents and cache folders, found as Qt finds them.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "assembly/editor.h"
#include "app/editor_model.h"
#include "app/file_places.h"
#include "platform/fs.h"
#include "platform/ini_file.h"
#include "test_support.h"

namespace tamberlo {
namespace {

EnvReader envOf(const std::map<std::string, std::string>& vars) {
  return [vars](const char* name) -> const char* {
    auto it = vars.find(name);
    return it == vars.end() ? nullptr : it->second.c_str();
  };
}

bool folderIsEmpty(const std::string& folder) {
  return std::filesystem::is_empty(folder);
}

TEST(InstalledMode, UserFoldersFollowTheXdgVariables) {
  test::TempDir home;
  const std::string h = home.path().substr(0, home.path().size() - 1);
  for (const char* f : {"xdg", "rel", ".config"}) std::filesystem::create_directories(home / f);
  test::writeBytes(home / "xdg/user-dirs.dirs",
                   "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                   "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente/\"\n");
  test::writeBytes(home / "rel/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"docs\"\n");
  test::writeBytes(home / ".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=/srv/papers\n");
  struct Case {
    std::map<std::string, std::string> env;
    UserFolders expected;
  } cases[] = {
      // ~/.config has a user-dirs.dirs naming an absolute folder without quotes.
      {{{"HOME", h}}, {h + "/.config/tamberlo/", "/srv/papers/", h + "/.cache/tamberlo/"}},
      {{{"HOME", h}, {"XDG_CONFIG_HOME", h + "/xdg"}, {"XDG_CACHE_HOME", "/var/tmp/c"}},
       {h + "/xdg/tamberlo/", h + "/Dokumente/", "/var/tmp/c/tamberlo/"}},
      // Relative XDG values count as unset; so does a relative documents entry.
      {{{"HOME", h}, {"XDG_CONFIG_HOME", "xdg"}, {"XDG_CACHE_HOME", ".cache2"}},
       {h + "/.config/tamberlo/", "/srv/papers/", h + "/.cache/tamberlo/"}},
      {{{"HOME", h}, {"XDG_CONFIG_HOME", h + "/rel"}},
       {h + "/rel/tamberlo/", h + "/Documents/", h + "/.cache/tamberlo/"}},
      {{{"HOME", h}, {"XDG_CONFIG_HOME", h + "/none"}},
       {h + "/none/tamberlo/", h + "/Documents/", h + "/.cache/tamberlo/"}},
  };
  for (const auto& c : cases) {
    UserFolders f = xdgUserFolders(envOf(c.env));
    SCOPED_TRACE(c.env.size() > 1 ? c.env.rbegin()->second : "HOME only");
    EXPECT_EQ(f.config, c.expected.config);
    EXPECT_EQ(f.documents, c.expected.documents);
    EXPECT_EQ(f.cache, c.expected.cache);
  }
}

TEST(InstalledMode, TheExecutableFolderIsOwnUnlessReadOnlyOrAnInstalledTree) {
  test::TempDir root;
  ASSERT_TRUE(createFolder(root / "bin"));
  EXPECT_TRUE(isOwnFolder(root / "bin"));
  // The bin folder of an installed tree, which root could write.
  std::filesystem::create_directories(root / "share/metainfo");
  test::writeBytes(root / "share/metainfo/com.hollowmere.Tamberlo.metainfo.xml", "<component/>\n");
  EXPECT_FALSE(isOwnFolder(root / "bin"));
  EXPECT_FALSE(isOwnFolder(root / "missing"));
  ASSERT_TRUE(createFolder(root / "ro"));
  ASSERT_EQ(chmod((root / "ro").c_str(), 0555), 0);
  // access(W_OK) lets root write anything but a read-only mount.
  if (geteuid() != 0) {
    EXPECT_FALSE(isOwnFolder(root / "ro"));
  }
  chmod((root / "ro").c_str(), 0755);
}

TEST(InstalledMode, SettingsAndProjectsGoToTheUserFolders) {
  test::TempDir root;
  ASSERT_TRUE(createFolder(root / "exe"));
  ASSERT_TRUE(createFolder(root / "home"));
  // A read-only folder for an ordinary user; root needs the injected answer anyway.
  ASSERT_EQ(chmod((root / "exe").c_str(), 0555), 0);
  const UserFolders user = xdgUserFolders(envOf({{"HOME", root.path() + "home"}}));
  const FilePlaces places = placeFiles(root / "exe", false, user);
  std::vector<std::string> status;

  auto start = [&](EditorModel& m) {
    m.setStatusListener([&](const std::string& s) { status.push_back(s); });
    m.FormCreate(places);
    m.FormShow();
  };
  {
    Editor m;
    start(m);
    EXPECT_TRUE(m.Installed());
    EXPECT_EQ(m.ExeDir(), root / "exe/");
    EXPECT_EQ(m.actIniPath(), root / "home/.config/tamberlo/act.ini");
    EXPECT_EQ(m.ProjectDir(), root / "home/Documents/Tamberlo/test/");
    EXPECT_EQ(m.UpdateDir(), root / "home/.cache/tamberlo/");
    EXPECT_TRUE(folderExists(m.ProjectDir() + "output"));
    m.userSelect("ComboBox3", 4);
    m.userSelect("ComboBox2", 18);
    m.setChecked("UART0Check", true);
    m.run("BitBtn2Click");
    EXPECT_EQ(status.back(), "工程源程序生成完成，请打开编译软件测试！（工程位于 " + root.path() +
                                 "home/Documents/Tamberlo/test/）");
  }
  EXPECT_EQ(IniFile(root / "home/.config/tamberlo/act.ini").readInteger("MCU", "mcutype", -1), 4);
  {
    Editor again;
    start(again);
    EXPECT_EQ(again.text("ComboBox3"), "ATMega32");
    EXPECT_EQ(again.text("ComboBox2"), "16.0000");
  }
  for (const char* name : {"main.c", "uart.c", "uart.h", "test.prj", "test.SRC", "test.pnproj"}) {
    EXPECT_TRUE(fileExists(root / "home/Documents/Tamberlo/test/" + name)) << name;
  }
  EXPECT_TRUE(folderIsEmpty(root / "exe"));
  chmod((root / "exe").c_str(), 0755);
}

}  // namespace
}  // namespace tamberlo
