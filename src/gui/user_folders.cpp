// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/user_folders.h"

#include <QStandardPaths>
#include <cstdlib>

#include "platform/fs.h"

namespace tamberlo::gui {
namespace {

bool isRelative(const char* variable) {
  const char* v = std::getenv(variable);
  return v && *v && *v != '/';
}

std::string location(QStandardPaths::StandardLocation which) {
  return withTrailingSeparator(QStandardPaths::writableLocation(which).toStdString());
}

}  // namespace

UserFolders qtUserFolders() {
  // The XDG spec says to ignore relative values; Qt 6.4 uses them, which
  // would put files (and look for user-dirs.dirs) under whatever the working
  // folder is. The headless rule ignores them as the spec says.
  if (isRelative("XDG_CONFIG_HOME") || isRelative("XDG_CACHE_HOME")) return xdgUserFolders();
  // Qt opens user-dirs.dirs whatever it is, and a FIFO there would block it
  // for ever: when our own careful reading refuses the file, keep to ours.
  UserFolders own = xdgUserFolders();
  if (!own.problem.empty()) return own;
  return {location(QStandardPaths::AppConfigLocation), location(QStandardPaths::DocumentsLocation),
          location(QStandardPaths::CacheLocation)};
}

}  // namespace tamberlo::gui
