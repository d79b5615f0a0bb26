// The command line finds the window's data folder without Qt: the folder it computes agrees
// with Qt's AppDataLocation once the window has named itself. (Where Qt 6.4 strays from the XDG
// rules, with a relative XDG_DATA_HOME or no HOME, both programs follow the rules, not Qt.)
// Nothing is written there.
#include "window/application_names.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "app/data_folder.h"

namespace ccp {

class ApplicationNamesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void cleanupTestCase();
  void theCommandLineFindsTheWindowsDataFolder_data();
  void theCommandLineFindsTheWindowsDataFolder();
  void anOrganisationNameFollowsTheSameRule();

 private:
  static std::string qtDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
        .toLocal8Bit()
        .toStdString();
  }
  static void setVariable(const char* name, const QString& value, bool set) {
    set ? qputenv(name, value.toLocal8Bit()) : qunsetenv(name);
  }

  QTemporaryDir home_;
  QByteArray savedHome_;
  QByteArray savedData_;
};

void ApplicationNamesTest::initTestCase() {
  QVERIFY(home_.isValid());
  savedHome_ = qgetenv("HOME");
  savedData_ = qgetenv("XDG_DATA_HOME");
  qt::nameApplication();
  QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("capcode-programmer"));
}

void ApplicationNamesTest::cleanupTestCase() {
  qputenv("HOME", savedHome_);
  qputenv("XDG_DATA_HOME", savedData_);
}

void ApplicationNamesTest::theCommandLineFindsTheWindowsDataFolder_data() {
  QTest::addColumn<QString>("home");
  QTest::addColumn<bool>("dataSet");
  QTest::addColumn<QString>("data");
  const QString home = home_.path();
  const QString data = home_.filePath(QStringLiteral("data"));
  QTest::newRow("XDG_DATA_HOME") << home << true << data;
  QTest::newRow("no XDG_DATA_HOME") << home << false << QString();
  QTest::newRow("empty XDG_DATA_HOME") << home << true << QString();
  QTest::newRow("home with a trailing slash") << home + QStringLiteral("/") << false << QString();
  QTest::newRow("a blank in the path")
      << home + QStringLiteral("/a b") << true << data + QStringLiteral("/c d");
}

void ApplicationNamesTest::theCommandLineFindsTheWindowsDataFolder() {
  QFETCH(QString, home);
  QFETCH(bool, dataSet);
  QFETCH(QString, data);
  qputenv("HOME", home.toLocal8Bit());
  setVariable("XDG_DATA_HOME", data, dataSet);
  QCOMPARE(QString::fromStdString(userDataFolder()), QString::fromStdString(qtDataFolder()));
}

void ApplicationNamesTest::anOrganisationNameFollowsTheSameRule() {
  const QString organisation = QStringLiteral("Pager Works");
  qputenv("HOME", home_.path().toLocal8Bit());
  qunsetenv("XDG_DATA_HOME");
  QCoreApplication::setOrganizationName(organisation);
  const std::string expected =
      appDataFolder({}, home_.path().toStdString(), organisation.toStdString(), kApplicationName);
  const std::string shown = qtDataFolder();
  qt::nameApplication();
  QCOMPARE(QString::fromStdString(expected), QString::fromStdString(shown));
}

}  // namespace ccp

QTEST_GUILESS_MAIN(ccp::ApplicationNamesTest)
#include "application_names_test.moc"
