// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/file_places.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "platform/error.h"
#include "platform/fs.h"

namespace tamberlo {
namespace {

std::string homeFolder(const EnvReader& env) {
  const char* home = env("HOME");
  if (home && *home) return home;
  // No HOME (a service, a stripped environment): the password database.
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
  return "/";
}

// An XDG base folder: the variable when it holds an absolute path, else the fallback.
std::string baseFolder(const EnvReader& env, const char* name, const std::string& fallback) {
  const char* v = env(name);
  if (v && v[0] == '/') return v;
  return fallback;
}

std::string documentsFolder(const std::string& home, const std::string& configHome, std::string& problem) {
  // Lines like XDG_DOCUMENTS_DIR="$HOME/Documents"; the last one counts.
  // Only a regular file is read: a FIFO put there must not stop the start.
  std::string text;
  try {
    text = readFileIfExists(configHome + "/user-dirs.dirs", 1u << 20).value_or("");
  } catch (const Error& e) {
    problem = std::string(e.what()) + "; the documents folder is taken to be " + home + "/Documents";
  }
  std::istringstream in(text);
  std::string result;
  std::string line;
  const std::string key = "XDG_DOCUMENTS_DIR=";
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, key.size(), key) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() > 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
    if (value.size() > 1 && value.back() == '/') value.pop_back();
    result = value;
  }
  // A relative entry would depend on the working folder: ignore it.
  if (!result.empty() && result.front() == '/') return result;
  return home + "/Documents";
}

}  // namespace

UserFolders xdgUserFolders(const EnvReader& env) {
  const std::string home = homeFolder(env);
  const std::string configHome = baseFolder(env, "XDG_CONFIG_HOME", home + "/.config");
  const std::string cacheHome = baseFolder(env, "XDG_CACHE_HOME", home + "/.cache");
  UserFolders f;
  f.config = withTrailingSeparator(configHome + "/" + kAppFolderName);
  f.documents = withTrailingSeparator(documentsFolder(home, configHome, f.problem));
  f.cache = withTrailingSeparator(cacheHome + "/" + kAppFolderName);
  return f;
}

UserFolders xdgUserFolders() {
  return xdgUserFolders([](const char* name) -> const char* { return std::getenv(name); });
}

FilePlaces placeFiles(const std::string& exeDir, bool ownFolder, const UserFolders& user) {
  FilePlaces p;
  p.exeDir = withTrailingSeparator(exeDir);
  p.installed = !ownFolder;
  if (ownFolder) {
    p.actIniFolder = p.exeDir;
    p.projectDir = p.exeDir + "test/";
    p.updateFolder = p.exeDir;
  } else {
    p.actIniFolder = withTrailingSeparator(user.config);
    p.projectDir = withTrailingSeparator(user.documents) + "Tamberlo/test/";
    p.updateFolder = withTrailingSeparator(user.cache);
    p.problem = user.problem;
  }
  return p;
}

bool isOwnFolder(const std::string& exeDir) {
  const std::string dir = withTrailingSeparator(exeDir);
  if (::access(dir.c_str(), W_OK) != 0) return false;
  return !fileExists(dir + "../share/metainfo/" + kAppId + ".metainfo.xml");
}

FilePlaces placeFilesForExecutable(const UserFolders& user) {
  const std::string exe = executableFolder();
  return placeFiles(exe, isOwnFolder(exe), user);
}

}  // namespace tamberlo
