// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/qt_dialogs.h"

#include <QDesktopServices>
#include <QApplication>
#include <QFileDialog>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <QUrl>

#include "platform/messages.h"

namespace tamberlo::gui {
namespace {

const QString kActFilter = QStringLiteral("Act文件(*.act)");

// An open dialog takes a file that does not exist yet (the loader reports
// it). A save dialog adds ".act" to a name typed without an extension, so
// the file shows under the filter next time, and asks before replacing a file.
std::optional<std::string> runFileDialog(QWidget* parent, const QString& title, const QString& filter,
                                         QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, title, QString(), filter);
  dialog.setAcceptMode(mode);
  if (mode == QFileDialog::AcceptSave) {
    dialog.setDefaultSuffix(QStringLiteral("act"));
  } else {
    dialog.setFileMode(QFileDialog::AnyFile);
  }
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
  QString file = QFileDialog::getOpenFileName(parent_, QStringLiteral("选择编译器安装文件夹中的任一文件"));
  if (file.isEmpty()) return std::nullopt;
  return file.toStdString();
}

void QtUserDialogs::showMessage(const std::string& text) {
  QMessageBox::information(parent_, QStringLiteral("提示"), QString::fromStdString(inChinese(text)));
}

void QtUserDialogs::showWarnings(const std::vector<std::string>& lines) {
  QStringList text;
  for (const auto& l : lines) text << QString::fromStdString(inChinese(l));
  QMessageBox::warning(parent_, QStringLiteral("警告"), text.join(QLatin1Char('\n')));
}

void QtUserDialogs::openUrl(const std::string& url) {
  openWebAddress(url);
}

bool QtUserDialogs::openWebAddress(const std::string& url) {
  return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

bool installChineseTranslations(QCoreApplication& app) {
  // Qt's own texts (file dialogs, message box buttons) in Chinese, as the
  // rest of the window is.
  auto* translator = new QTranslator(&app);
  if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  app.installTranslator(translator);
  return true;
}

void useScalableChineseFont() {
  QFont font = QApplication::font();
  QStringList families = font.families();
  if (families.isEmpty()) families << font.family();
  for (const QString& cjk : {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")}) {
    if (!families.contains(cjk)) families << cjk;
  }
  font.setFamilies(families);
  QApplication::setFont(font);
}

}  // namespace tamberlo::gui
