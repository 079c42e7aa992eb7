// SPDX-License-Identifier: GPL-3.0-or-later
// The Tamberlo window program: no command line, one window.
#include <QApplication>
#include <QIcon>

#include "assembly/editor.h"
#include "app/constants.h"
#include "app/editor_model.h"
#include "app/file_places.h"
#include "gui/main_window.h"
#include "gui/qt_dialogs.h"
#include "gui/user_folders.h"
#include "settings/act_file.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The name picks the configuration and cache folders of an installed program.
  QApplication::setApplicationName(QString::fromUtf8(tamberlo::kAppFolderName));
  QApplication::setApplicationVersion(QString::fromUtf8(tamberlo::AppVersion.data(),
                                                        static_cast<qsizetype>(tamberlo::AppVersion.size())));
  QApplication::setDesktopFileName(QString::fromUtf8(tamberlo::kAppId));
  QIcon icon;
  for (int size : {32, 64, 256}) icon.addFile(QStringLiteral(":/icons/com.hollowmere.Tamberlo-%1.png").arg(size));
  QApplication::setWindowIcon(icon);
  tamberlo::gui::installChineseTranslations(app);
  tamberlo::gui::useScalableChineseFont();
  tamberlo::Editor model;
  model.FormCreate(tamberlo::placeFilesForExecutable(tamberlo::gui::qtUserFolders()));
  tamberlo::gui::TForm1 window(model);
  window.FormShow();
  window.show();
  return app.exec();
}
