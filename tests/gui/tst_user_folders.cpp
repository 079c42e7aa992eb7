// SPDX-License-Identifier: GPL-3.0-or-later
// The headless rule for the user's folders agrees with Qt's standard
// locations, which the window uses, for the same environment.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "app/file_places.h"
#include "gui/user_folders.h"

using namespace tamberlo;

class UserFoldersTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { QCoreApplication::setApplicationName(QString::fromUtf8(kAppFolderName)); }

  void qtAndTheCoreAgree() {
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString h = home.path();
    QVERIFY(QDir(h).mkpath(QStringLiteral("xdg")));
    QVERIFY(QDir(h).mkpath(QStringLiteral(".config")));
    auto write = [&](const QString& name, const QByteArray& text) {
      QFile f(h + u'/' + name);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(text);
    };
    write(QStringLiteral("xdg/user-dirs.dirs"),
          "XDG_MUSIC_DIR=\"$HOME/Music\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente/\"\n");
    write(QStringLiteral(".config/user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"" + h.toUtf8() + "/papers\"\n");
    struct Case {
      const char* configHome;  // nullptr: unset
      const char* cacheHome;
    } cases[] = {{nullptr, nullptr}, {"xdg", "/var/tmp/cache"}, {"relative", "relative"}};
    qputenv("HOME", h.toUtf8());
    for (const auto& c : cases) {
      auto set = [&](const char* name, const char* value) {
        if (!value) {
          qunsetenv(name);
        } else if (value[0] == '/' || QByteArray(value) == "relative") {
          qputenv(name, value);
        } else {
          qputenv(name, (h + u'/' + QString::fromUtf8(value)).toUtf8());
        }
      };
      set("XDG_CONFIG_HOME", c.configHome);
      set("XDG_CACHE_HOME", c.cacheHome);
      const UserFolders qt = gui::qtUserFolders();
      const UserFolders core = xdgUserFolders();
      // Compared as QStrings so a failure prints both paths.
      QCOMPARE(QString::fromStdString(core.config), QString::fromStdString(qt.config));
      QCOMPARE(QString::fromStdString(core.documents), QString::fromStdString(qt.documents));
      QCOMPARE(QString::fromStdString(core.cache), QString::fromStdString(qt.cache));
    }
  }
};

QTEST_GUILESS_MAIN(UserFoldersTest)
#include "tst_user_folders.moc"
