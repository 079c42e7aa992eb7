// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user's folders from Qt's standard locations, for the installed mode.
#include "app/file_places.h"

namespace tamberlo::gui {

// AppConfigLocation, DocumentsLocation and CacheLocation; xdgUserFolders()
// when an XDG variable is relative. Call after the application name is set
// (kAppFolderName), which they depend on.
UserFolders qtUserFolders();

}  // namespace tamberlo::gui
