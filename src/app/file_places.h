// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where act.ini, the project folder and the update files live. A program in
// a writable folder of its own keeps them beside itself; an installed one
// uses the user's configuration, documents and cache folders.
#include <functional>
#include <string>

namespace tamberlo {

// The application's folder name below the user's configuration and cache
// folders, and the window's application name (so Qt's locations agree).
inline constexpr const char* kAppFolderName = "tamberlo";
// AppStream and desktop-entry id; its metainfo file marks an installed tree.
inline constexpr const char* kAppId = "com.hollowmere.Tamberlo";

// The user's folders, each with a trailing separator.
struct UserFolders {
  std::string config;     // AppConfigLocation: ~/.config/tamberlo/
  std::string documents;  // DocumentsLocation: ~/Documents/
  std::string cache;      // CacheLocation: ~/.cache/tamberlo/
  // Why user-dirs.dirs could not be read (a FIFO, a folder, unreadable), in
  // which case documents is ~/Documents; empty when all went well.
  std::string problem = {};
};

using EnvReader = std::function<const char*(const char*)>;

// The user's folders as Qt's QStandardPaths finds them on Linux: relative
// XDG_CONFIG_HOME / XDG_CACHE_HOME values are ignored, the documents folder
// comes from XDG_DOCUMENTS_DIR in user-dirs.dirs (with "$HOME" expanded),
// else ~/Documents. `env` reads one variable, nullptr when unset.
UserFolders xdgUserFolders(const EnvReader& env);
UserFolders xdgUserFolders();  // from the process environment

struct FilePlaces {
  bool installed = false;
  std::string exeDir;        // the executable's folder
  std::string actIniFolder;  // act.ini lives here
  std::string projectDir;    // every generated file goes here
  std::string updateFolder;  // update.ini goes here
  // The project folder was named by the user (tamberlo-gen -o): its caller
  // makes it, and no "output" folder is made beside the program.
  bool projectNamed = false;
  // UserFolders::problem when the user's folders are used: told at start.
  std::string problem = {};
};

// Own folder: everything beside the executable, the project in "test/".
// Otherwise act.ini in the configuration folder, the project in
// "Tamberlo/test/" under the documents and update.ini in the cache folder.
FilePlaces placeFiles(const std::string& exeDir, bool ownFolder, const UserFolders& user);

// Whether the program may fill its executable's folder: the kernel must let
// this user write it (access(W_OK), which also refuses read-only mounts), and
// it must not be the bin folder of an installed tree (share/metainfo beside
// it holding our metainfo), which root could write but must not litter.
bool isOwnFolder(const std::string& exeDir);

// placeFiles for the running executable with the real check.
FilePlaces placeFilesForExecutable(const UserFolders& user);

}  // namespace tamberlo
