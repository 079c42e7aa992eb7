// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt dialogs of the editor: Chinese titles and texts, the filter, the
// extension a saved name gets and the question before replacing a file.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "gui/qt_dialogs.h"

using namespace tamberlo::gui;

namespace {

// Runs `handle` on the file dialog once it is up.
void whenDialogShows(std::function<void(QFileDialog*)> handle, int triesLeft = 500) {
  QTimer::singleShot(10, [handle, triesLeft] {
    if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      handle(d);
    } else if (triesLeft > 0) {
      whenDialogShows(handle, triesLeft - 1);
    }
  });
}

void whenMessageBoxShows(std::function<void(QMessageBox*)> handle, int triesLeft = 500) {
  QTimer::singleShot(10, [handle, triesLeft] {
    if (auto* b = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      handle(b);
    } else if (triesLeft > 0) {
      whenMessageBoxShows(handle, triesLeft - 1);
    }
  });
}

// Types a name into the dialog's file name box and presses Enter.
void typeName(QFileDialog* d, const QString& name) {
  auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  if (!edit) {
    d->selectFile(name);
    QMetaObject::invokeMethod(d, "accept");
    return;
  }
  edit->setText(name);
  QTest::keyClick(edit, Qt::Key_Return);
}

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    // Qt's own dialog, the same on every desktop, in Chinese.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QVERIFY(installChineseTranslations(*qApp));
  }

  void actDialogsUseTheirTitleAndFilterAndAddTheExtension() {
    struct Case {
      const char* title;
      bool save;
      const char* typed;
      bool existing;
      const char* returned;
      bool replace;  // the answer to the replace question
    };
    const Case cases[] = {
        {"打开", false, "not-yet.act", false, "not-yet.act", false},  // the loader reports a missing file
        {"打开", false, "board.act", true, "board.act", false},
        {"保存", true, "plain", false, "plain.act", false},  // shown by the filter next time
        {"保存", true, "board.act", true, "board.act", true},
        {"保存", true, "board", true, nullptr, false},  // not replaced: the user types again
        {"保存", true, "notes.txt", false, "notes.txt", false},
    };
    QTemporaryDir dir;
    QFile existing(dir.filePath(QStringLiteral("board.act")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();
    QWidget owner;
    QtUserDialogs dialogs(&owner);
    for (const Case& c : cases) {
      QString title, lookIn, cancel, question;
      QStringList filters;
      whenDialogShows([&](QFileDialog* d) {
        title = d->windowTitle();
        filters = d->nameFilters();
        if (auto* l = d->findChild<QLabel*>(QStringLiteral("lookInLabel"))) lookIn = l->text();
        if (auto* box = d->findChild<QDialogButtonBox*>()) {
          if (QPushButton* b = box->button(QDialogButtonBox::Cancel)) cancel = b->text();
        }
        d->setDirectory(dir.path());
        if (c.existing && c.save) {
          whenMessageBoxShows([&, d](QMessageBox* box) {
            question = box->text();
            box->button(c.replace ? QMessageBox::Yes : QMessageBox::No)->click();
            if (!c.replace) QTimer::singleShot(0, d, [d] { d->reject(); });
          });
        }
        typeName(d, QString::fromUtf8(c.typed));
      });
      auto name = c.save ? dialogs.saveActFile() : dialogs.openActFile();
      QCOMPARE(title, QString::fromUtf8(c.title));
      QCOMPARE(filters, QStringList{QStringLiteral("Act文件(*.act)")});
      QCOMPARE(lookIn, QStringLiteral("查找范围："));
      QCOMPARE(cancel, QStringLiteral("取消"));
      if (c.existing && c.save)
        QVERIFY2(question.contains(QStringLiteral("board.act")), qPrintable(question));
      if (c.existing && c.save) QVERIFY2(question.contains(QStringLiteral("替换")), qPrintable(question));
      if (!c.returned) {
        QVERIFY(!name.has_value());
        continue;
      }
      QVERIFY2(name.has_value(), c.typed);
      QCOMPARE(QString::fromStdString(*name), dir.filePath(QString::fromUtf8(c.returned)));
    }
  }

  void compilerFolderDialogHasAChineseTitle() {
    QWidget owner;
    QtUserDialogs dialogs(&owner);
    QString title;
    whenDialogShows([&](QFileDialog* d) {
      title = d->windowTitle();
      d->reject();
    });
    QVERIFY(!dialogs.chooseCompilerFile().has_value());
    QCOMPARE(title, QStringLiteral("选择编译器安装文件夹中的任一文件"));
  }

  void cancelledDialogGivesNothing() {
    QWidget owner;
    QtUserDialogs dialogs(&owner);
    whenDialogShows([](QFileDialog* d) { d->reject(); });
    QVERIFY(!dialogs.openActFile().has_value());
    whenDialogShows([](QFileDialog* d) { d->reject(); });
    QVERIFY(!dialogs.chooseCompilerFile().has_value());
  }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
