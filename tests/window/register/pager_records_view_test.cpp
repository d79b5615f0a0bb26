// The window's pager records: the File menu items, the remembered backup choice, the status
// bar notices, all in a temporary data folder.
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/data_folder.h"
#include "app/register_place.h"
#include "image/checksum.h"
#include "register/pager_register.h"
#include "window/main_window.h"
#include "window/window_fixture.h"

namespace ccp {

using test::SimulatorWindow;

class PagerRecordsViewTest : public QObject {
  Q_OBJECT

 public slots:
  void showUrl(const QUrl& url) { shown_ << url; }

 private slots:
  void initTestCase();
  void init();
  void fileMenuHoldsTheRecordItemsAndRemembersTheChoice();
  void aBackedUpWriteKeepsThePagerAndJournalsIt();
  void whatCouldNotBeDoneShowsInTheStatusBarOnly();
  void openJournalFolderShowsTheDataFolder();
  void theFormOutlivesTheWindowWithPlainCommands();
  void aSettingThatCannotBeTakenStopsThePagerCommands();
  void ccpRegisterNamesTheRegisterOfTheWindowAndOfCcp();

 private:
  QString dataFolder() const { return QString::fromStdString(userDataFolder()); }
  QString registerFile() const { return dataFolder() + QStringLiteral("/register.sqlite"); }
  QStringList backups() const {
    return QDir(dataFolder() + QStringLiteral("/backups")).entryList(QDir::Files);
  }
  QStringList journal() const {
    QFile file(dataFolder() + QStringLiteral("/journal.csv"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
  }

  QTemporaryDir home_;
  QList<QUrl> shown_;
};

// Nothing of the user's own data or settings folders is touched.
void PagerRecordsViewTest::initTestCase() {
  QVERIFY(home_.isValid());
  qputenv("XDG_DATA_HOME", home_.filePath(QStringLiteral("data")).toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", home_.filePath(QStringLiteral("config")).toLocal8Bit());
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                     home_.filePath(QStringLiteral("config")));
  QVERIFY(dataFolder().startsWith(home_.path()));
  QVERIFY(QSettings().fileName().startsWith(home_.path()));
}

void PagerRecordsViewTest::init() {
  QSettings().clear();
  QDir(dataFolder()).removeRecursively();
  QFile::remove(QString::fromStdString(registerSettingsPath()));
  qunsetenv("CCP_REGISTER");
  shown_.clear();
}

namespace {

void writeSettings(const std::string& text) {
  QDir().mkpath(QFileInfo(QString::fromStdString(registerSettingsPath())).path());
  QFile file(QString::fromStdString(registerSettingsPath()));
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(text.data(), static_cast<qint64>(text.size()));
}

}  // namespace

void PagerRecordsViewTest::fileMenuHoldsTheRecordItemsAndRemembersTheChoice() {
  auto first = std::make_unique<SimulatorWindow>();
  QAction* backups = first->action("BackupBeforeWrite1");
  QVERIFY(backups != nullptr);
  QCOMPARE(backups->text(), QStringLiteral("&Back up pagers before writing"));
  QCOMPARE(first->action("OpenBackup1")->text(), QStringLiteral("Open bac&kup..."));
  QCOMPARE(first->action("OpenJournal1")->text(), QStringLiteral("Open &journal folder"));
  QMenu* file = first->window.menuBar()->actions().first()->menu();
  QVERIFY(file->actions().contains(backups));
  for (const char* name : {"BackupBeforeWrite1", "OpenBackup1", "OpenJournal1"}) {
    QVERIFY2(first->action(name)->isEnabled(), name);
  }
  QVERIFY(backups->isCheckable());
  QVERIFY(!backups->isChecked());  // off at first
  QVERIFY(!first->action("Open1")->isCheckable());

  backups->trigger();
  QVERIFY(backups->isChecked());
  QVERIFY(first->fx.f().menuItem("BackupBeforeWrite1").checked());
  first.reset();
  SimulatorWindow second;  // the next run of the program
  QVERIFY(second.action("BackupBeforeWrite1")->isChecked());
  second.action("BackupBeforeWrite1")->trigger();
  QVERIFY(!SimulatorWindow().action("BackupBeforeWrite1")->isChecked());
}

void PagerRecordsViewTest::aBackedUpWriteKeepsThePagerAndJournalsIt() {
  SimulatorWindow w;
  EepBlock pager = w.fx.pagerEeprom();
  pager[0x21] = 40;  // contrast
  storeChecksum(pager);
  w.fx.programmer.setEeprom(pager);
  w.action("BackupBeforeWrite1")->trigger();
  w.action("WriteToPager")->trigger();
  QCOMPARE(QString::fromStdString(w.fx.lines().back()), QStringLiteral("Verify OK !"));

  const QStringList files = backups();
  QCOMPARE(files.size(), 1);
  QVERIFY2(QRegularExpression(QStringLiteral("^\\d{8}-\\d{6}_SN.*_2004000\\.eep$"))
               .match(files.first())
               .hasMatch(),
           qPrintable(files.first()));
  QCOMPARE(QString::fromStdString(w.fx.platform.notices.back()),
           QStringLiteral("backup: ") + files.first());
  const auto records = openRegister(registerFile().toStdString())->records({});
  QCOMPARE(records.size(), std::size_t{1});
  QVERIFY(QString::fromStdString(records.front().backupFile).endsWith(files.first()));
  QVERIFY(journal().isEmpty());  // the journal is the register's fallback only

  // Open backup... starts in the backup folder and brings the pager's old contrast back.
  const QString path = dataFolder() + QStringLiteral("/backups/") + files.first();
  w.fx.platform.openAnswers.push_back(path.toStdString());
  w.action("OpenBackup1")->trigger();
  QCOMPARE(w.fx.platform.dialogFolders.size(), std::size_t{1});
  QCOMPARE(QString::fromStdString(w.fx.platform.dialogFolders.front()),
           dataFolder() + QStringLiteral("/backups"));
  QCOMPARE(QString::fromStdString(w.fx.lines().back()), QStringLiteral("File loaded"));
  QCOMPARE(QString::fromStdString(w.fx.f().textField("contrast").text()), QStringLiteral("40"));
}

void PagerRecordsViewTest::whatCouldNotBeDoneShowsInTheStatusBarOnly() {
  SimulatorWindow w;
  w.fx.programmer.decoderChip().setPresent(false);
  w.action("BackupBeforeWrite1")->trigger();
  // Folders in the register's and the journal's places.
  QDir().mkpath(registerFile());
  QDir().mkpath(dataFolder() + QStringLiteral("/journal.csv"));
  const std::size_t logged = w.fx.lines().size();
  w.action("WriteToPager")->trigger();
  const QString message = QString::fromStdString(w.fx.platform.notices.back());
  QVERIFY2(message.startsWith(QStringLiteral("no backup: pager could not be read; record could "
                                             "not be kept in the register: The register cannot "
                                             "be written: ") +
                              registerFile()),
           qPrintable(message));
  QVERIFY2(message.endsWith(QStringLiteral("; journal could not be written: ") + dataFolder() +
                            QStringLiteral("/journal.csv: Is a directory")),
           qPrintable(message));
  QCOMPARE(w.fx.linesSince(logged),
           (std::vector<std::string>{"Read data from pager", "Write to Pager...",
                                     "Decoder program error!"}));

  // The next command that has nothing to say clears the message.
  QDir(dataFolder() + QStringLiteral("/journal.csv")).removeRecursively();
  QDir(registerFile()).removeRecursively();
  w.fx.programmer.decoderChip().setPresent(true);
  w.action("ReadFromPager")->trigger();
  QCOMPARE(w.fx.platform.notices.back(), std::string());
}

void PagerRecordsViewTest::openJournalFolderShowsTheDataFolder() {
  QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "showUrl");
  SimulatorWindow w;
  w.action("OpenJournal1")->trigger();
  QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
  QCOMPARE(shown_, QList<QUrl>{QUrl::fromLocalFile(dataFolder())});
  QVERIFY(QDir(dataFolder()).exists());
}

void PagerRecordsViewTest::theFormOutlivesTheWindowWithPlainCommands() {
  test::PagerFixture fx;
  {
    qt::MainWindow window(fx.f());
    QVERIFY(fx.f().menuItem("OpenJournal1").enabled());
  }
  for (const char* name : {"BackupBeforeWrite1", "OpenBackup1", "OpenJournal1"}) {
    QVERIFY2(!fx.f().menuItem(name).enabled(), name);
  }
  fx.f().menuItem("WriteToPager").trigger();
  QCOMPARE(QString::fromStdString(fx.lines().back()), QStringLiteral("Verify OK !"));
  QVERIFY(journal().isEmpty());
}

// A line of register.conf that keeps the guard right and cannot be taken stops Read from pager
// and Write to pager before anything is sent: the status bar says why, the log stays as it was.
void PagerRecordsViewTest::aSettingThatCannotBeTakenStopsThePagerCommands() {
  const std::string said =
      registerSettingsPath() + ": line 1: when-taken: its value follows '='; nothing done";
  writeSettings("when-taken: next-free");
  SimulatorWindow w;
  QCOMPARE(w.fx.platform.notices.back(), said);  // at start-up, and at each command
  const std::size_t logged = w.fx.lines().size();
  const std::size_t sent = w.fx.programmer.wireLog().size();
  for (const char* command : {"WriteToPager", "ReadFromPager"}) {
    w.fx.platform.notices.clear();
    w.action(command)->trigger();
    QCOMPARE(w.fx.platform.notices, std::vector<std::string>{said});
  }
  QCOMPARE(w.fx.lines().size(), logged);
  QCOMPARE(w.fx.programmer.wireLog().size(), sent);
  QVERIFY(!QFile::exists(registerFile()));
}

// $CCP_REGISTER names the register of the window and of ccp alike, before register.conf: the
// window's write is a record in it, and ccp started with it finds that record there.
void PagerRecordsViewTest::ccpRegisterNamesTheRegisterOfTheWindowAndOfCcp() {
  const QString shared = home_.filePath(QStringLiteral("line/shared.sqlite"));
  writeSettings("register = " + home_.filePath(QStringLiteral("own.sqlite")).toStdString());
  qputenv("CCP_REGISTER", shared.toLocal8Bit());
  SimulatorWindow().action("WriteToPager")->trigger();
  QCOMPARE(openRegister(shared.toStdString())->records({}).size(), std::size_t{1});
  QProcess ccp;
  ccp.start(QStringLiteral(CCP_PROGRAM), {QStringLiteral("register"), QStringLiteral("status")});
  QVERIFY(ccp.waitForFinished(30000));
  const QString out = QString::fromLocal8Bit(ccp.readAllStandardOutput());
  QCOMPARE(ccp.exitCode(), 0);
  QVERIFY2(out.startsWith(QStringLiteral("Register:        %1 (SQLite)\n").arg(shared)),
           qPrintable(out));
  QVERIFY2(out.contains(QStringLiteral("\nRecords:         1\n")), qPrintable(out));
  QVERIFY(!QFile::exists(home_.filePath(QStringLiteral("own.sqlite"))));
}

}  // namespace ccp

QTEST_MAIN(ccp::PagerRecordsViewTest)
#include "pager_records_view_test.moc"
