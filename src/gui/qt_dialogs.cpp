#include "gui/qt_dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace tamberlo::gui {
namespace {

const QString kActFilter = QStringLiteral("Act文件(*.act)");

// The name comes back as typed: no extension is added, an open dialog takes
// a file that does not exist yet, a save dialog overwrites without asking.
std::optional<std::string> runFileDialog(QWidget* parent, const QString& title, const QString& filter,
                                         QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, title, QString(), filter);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst().toStdString();
}

}  // namespace

std::optional<std::string> QtUserDialogs::openActFile() {
  return runFileDialog(parent_, QStringLiteral("打开"), kActFilter, QFileDialog::AcceptOpen);
}

std::optional<std::string> QtUserDialogs::saveActFile() {
  return runFileDialog(parent_, QStringLiteral("保存"), kActFilter, QFileDialog::AcceptSave);
}

std::optional<std::string> QtUserDialogs::chooseCompilerFile() {
  // Any existing file inside the compiler's installation.
  QString file = QFileDialog::getOpenFileName(parent_);
  if (file.isEmpty()) return std::nullopt;
  return file.toStdString();
}

void QtUserDialogs::showMessage(const std::string& text) {
  QMessageBox::information(parent_, QStringLiteral("Tamberlo"), QString::fromStdString(text));
}

void QtUserDialogs::showWarnings(const std::vector<std::string>& lines) {
  QStringList text;
  for (const auto& l : lines) text << QString::fromStdString(l);
  QMessageBox::warning(parent_, QStringLiteral("警告"), text.join(QLatin1Char('\n')));
}

void QtUserDialogs::openUrl(const std::string& url) {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

}  // namespace tamberlo::gui
