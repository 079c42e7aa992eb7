// The Tamberlo window program: no command line, one window.
#include <QApplication>

#include "app/editor_model.h"
#include "settings/act_file.h"
#include "gui/main_window.h"
#include "gui/qt_dialogs.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tamberlo::gui::installChineseTranslations(app);
  tamberlo::EditorModel model;
  model.FormCreate();
  tamberlo::gui::TForm1 window(model);
  window.FormShow();
  window.show();
  return app.exec();
}
