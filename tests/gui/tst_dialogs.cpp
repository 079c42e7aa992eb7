// The Qt dialogs of the editor: titles, filter, and names returned as typed.
#include <QFileDialog>
#include <QLineEdit>
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
    // Qt's own dialog, the same on every desktop.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  }

  void actDialogsUseTheirTitleAndFilterAndTakeNamesAsTyped() {
    struct Case {
      const char* title;
      bool save;
      const char* typed;
      bool existing;
    };
    const Case cases[] = {
        {"打开", false, "not-yet.act", false},  // an open dialog that does not insist
        {"打开", false, "board.act", true},
        {"保存", true, "plain", false},     // no extension is added
        {"保存", true, "board.act", true},  // overwritten without asking
    };
    QTemporaryDir dir;
    QFile existing(dir.filePath(QStringLiteral("board.act")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();
    QWidget owner;
    QtUserDialogs dialogs(&owner);
    for (const Case& c : cases) {
      QString title;
      QStringList filters;
      whenDialogShows([&](QFileDialog* d) {
        title = d->windowTitle();
        filters = d->nameFilters();
        d->setDirectory(dir.path());
        typeName(d, QString::fromUtf8(c.typed));
      });
      auto name = c.save ? dialogs.saveActFile() : dialogs.openActFile();
      QCOMPARE(title, QString::fromUtf8(c.title));
      QCOMPARE(filters, QStringList{QStringLiteral("Act文件(*.act)")});
      QVERIFY2(name.has_value(), c.typed);
      QCOMPARE(QString::fromStdString(*name), dir.filePath(QString::fromUtf8(c.typed)));
    }
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
