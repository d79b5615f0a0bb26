// The real window on a real X server, driven by real key and mouse events from xdotool: what a
// technician's keyboard and mouse do reaches the rules, a file saved through the real file
// dialog holds the settings typed, and what the user does during a pager write is dropped. The
// window runs on the simulated Programmer. Screenshots of both pages are left in the artifacts
// folder.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/default_pager.h"
#include "files/config_file.h"
#include "image/checksum.h"
#include "image/pager_identity.h"
#include "real_input.h"
#include "sim/simulated_programmer.h"
#include "window/list/list_window.h"
#include "window/list/open_list_dialog.h"
#include "window/main_window.h"
#include "window/qt_platform.h"
#include "window/register/record_table_model.h"
#include "window/register/register_window.h"
#include "window/register/resolve_dialog.h"
#include "window_fixture.h"

namespace ccp {

using test::ActingPlatform;
using test::clickAt;
using test::keepTransferring;
using test::PausingClock;
using test::pressKey;
using test::typeKeys;
using test::xdotool;

class RealWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();
  void typedKeysPassTheRules();
  void saveThroughTheRealDialog();
  void inputDuringAWriteIsDropped();
  void inputAtTheEndOfAWriteIsDroppedAfterIt();
  void bothPagesAtTheSmallestAndALargeSize();
  void theRegisterOpensFromItsMenuAndScrollsPageByPage();
  void aConflictIsResolvedWithANoteTyped();
  void aListIsOpenedAndItsFirstRowWritten();

 private:
  template <typename W = QWidget>
  W* find(const char* name) {
    W* widget = window_->findChild<W*>(QString::fromLatin1(name));
    if (widget == nullptr) qFatal("no widget named %s", name);
    return widget;
  }
  void showPage(int index);
  void clickInto(const char* name);
  void clickOn(QWidget* widget);
  void screenshot(const QString& name, QWidget* widget = nullptr);

  QTemporaryDir settings_;
  std::unique_ptr<PausingClock> clock_;
  std::unique_ptr<sim::SimulatedProgrammer> port_;
  std::unique_ptr<ActingPlatform> platform_;
  std::unique_ptr<TForm1> form_;
  std::unique_ptr<qt::MainWindow> window_;
};

void RealWindowTest::initTestCase() {
  // The file dialogs remember their files: never in the user's own settings.
  QVERIFY(settings_.isValid());
  QStandardPaths::setTestModeEnabled(true);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
}

void RealWindowTest::init() {
  clock_ = std::make_unique<PausingClock>();
  port_ = std::make_unique<sim::SimulatedProgrammer>(*clock_);
  const PagerContents pager = defaultPagerContents(BuildConfig{});
  port_->setEeprom(pager.eeprom);
  port_->setDecoder(pager.decoder);
  platform_ = std::make_unique<ActingPlatform>();
  form_ = std::make_unique<TForm1>(BuildConfig{}, *platform_, *port_, *clock_);
  window_ = std::make_unique<qt::MainWindow>(*form_);
  window_->attachPlatform(*platform_);
  window_->showCentred();
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void RealWindowTest::cleanup() {
  window_.reset();
  form_.reset();
}

void RealWindowTest::showPage(int index) {
  auto* pages = find<QTabWidget>("PageControl1");
  QTabBar* bar = pages->tabBar();
  clickAt(bar->mapToGlobal(bar->tabRect(index).center()));
  QTRY_COMPARE(pages->currentIndex(), index);
}

// A click into the field, then everything in it selected, as a user replaces a value.
void RealWindowTest::clickInto(const char* name) {
  QWidget* widget = find(name);
  clickOn(widget);
  QTRY_VERIFY(widget->hasFocus());
  pressKey("ctrl+a");
}

void RealWindowTest::clickOn(QWidget* widget) {
  clickAt(widget->mapToGlobal(widget->rect().center()));
}

void RealWindowTest::screenshot(const QString& name, QWidget* widget) {
  const QString folder = qEnvironmentVariable("CCP_ARTIFACTS", QDir::currentPath());
  QDir().mkpath(folder);
  QVERIFY((widget != nullptr ? widget : window_.get())->grab().save(folder + "/" + name + ".png"));
}

void RealWindowTest::typedKeysPassTheRules() {
  showPage(1);  // "Setting"
  clickInto("contrast");
  typeKeys("x7");
  QTRY_COMPARE(form_->textField("contrast").text(), std::string("7"));
  QCOMPARE(form_->log().lines().back(), std::string("Number Key and back space key only"));
  clickInto("channelfreq");
  typeKeys("43392");
  QTRY_COMPARE(form_->textField("channelfreq").text(), std::string("433.92"));
  clickInto("lcdholdtime");  // leaving both fields runs their exit rules
  QTRY_COMPARE(form_->textField("contrast").text(), std::string("8"));
  QCOMPARE(form_->textField("channelfreq").text(), std::string("433.92500"));
  QCOMPARE(find<QLineEdit>("channelfreq")->text(), QStringLiteral("433.92500"));
  screenshot("setting-page");

  showPage(0);  // "Address/Folder"
  clickInto("address1");
  typeKeys("2004003");
  QTRY_COMPARE(form_->textField("frame1").text(), std::string("3"));
  QCOMPARE(find<QLineEdit>("frame1")->text(), QStringLiteral("3"));
  screenshot("address-folder-page");
}

void RealWindowTest::saveThroughTheRealDialog() {
  const QString path = QDir::temp().filePath(
      QStringLiteral("ccp-real-window-%1.eep").arg(QCoreApplication::applicationPid()));
  QFile::remove(path);
  showPage(1);
  clickInto("contrast");
  typeKeys("20");
  // The dialog runs its own event loop: answer it from there, with real keys.
  bool answered = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || answered || !dialog->isActiveWindow()) return;
    answered = true;
    typeKeys(path);
    pressKey("Return");
  });
  poll.start(100);
  pressKey("alt+f");
  pressKey("s");
  QTRY_VERIFY_WITH_TIMEOUT(form_->log().lines().back() == "ok!", 15000);
  QVERIFY(answered);
  QCOMPARE(form_->log().lines().end()[-2], "Save data to " + path.toStdString());

  std::ifstream file(path.toStdString(), std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                        std::istreambuf_iterator<char>());
  QCOMPARE(bytes.size(), std::size_t{560});
  EepBlock eep{};
  std::copy(bytes.begin(), bytes.begin() + 512, eep.begin());
  QVERIFY(checksumOk(eep));
  QCOMPARE(int(eep[0x21]), 20);  // contrast
  QFile::remove(path);
}

// A second click on WR_To_Pager, a tab click and typing while a write runs: all dropped, so one
// write is made and capcode 1 advances once.
void RealWindowTest::inputDuringAWriteIsDropped() {
  form_->comboBox("autoinc1").setIndex(1);
  QCOMPARE(form_->comboBox("autoinc1").text(), std::string("1"));
  const int capcode = std::stoi(form_->textField("address1").text());
  const std::string contrast = form_->textField("contrast").text();
  QMenuBar* bar = window_->menuBar();
  const QPoint write =
      bar->mapToGlobal(bar->actionGeometry(find<QAction>("WriteToPager")).center());
  auto* pages = find<QTabWidget>("PageControl1");
  QCOMPARE(pages->currentIndex(), 1);

  bool acted = false;
  QStringList enabledDuring;
  clock_->atFirstPause = [&] {
    acted = true;
    for (const char* name : {"Open1", "Save1", "LPT11", "LPT21", "WriteToPager", "ReadFromPager"}) {
      if (find<QAction>(name)->isEnabled()) enabledDuring << name;
    }
    clickAt(write);
    keepTransferring(100);
    clickAt(write);
    QTabBar* tabs = pages->tabBar();
    clickAt(tabs->mapToGlobal(tabs->tabRect(0).center()));
    clickOn(find("contrast"));
    typeKeys("9");
    keepTransferring(200);
  };
  clickAt(write);
  QTRY_VERIFY_WITH_TIMEOUT(acted && form_->log().lines().back() == "Verify OK !", 15000);
  // The user moves on; input deferred rather than dropped would run now.
  QWidget* log = find("Memo1");
  const QPoint logCentre = log->mapToGlobal(log->rect().center());
  xdotool({"mousemove", "--sync", QString::number(logCentre.x()), QString::number(logCentre.y())});
  QTest::qWait(300);

  const auto& lines = form_->log().lines();
  QCOMPARE(std::count(lines.begin(), lines.end(), "Write to Pager..."), 1);
  QCOMPARE(lines.back(), std::string("Verify OK !"));
  QCOMPARE(form_->textField("address1").text(), std::to_string(capcode + 1));
  QCOMPARE(form_->textField("contrast").text(), contrast);
  QCOMPARE(pages->currentIndex(), 1);
  QCOMPARE(enabledDuring, QStringList());
  QVERIFY(find<QAction>("WriteToPager")->isEnabled());
}

// Keys that reach the X server once the write has processed its last events come to the window
// only after the command returned: dropped all the same, not typed late.
void RealWindowTest::inputAtTheEndOfAWriteIsDroppedAfterIt() {
  showPage(1);
  clickInto("contrast");
  const std::string contrast = form_->textField("contrast").text();
  platform_->atEnd = [] { typeKeys("9"); };
  pressKey("ctrl+shift+w");
  QTRY_VERIFY_WITH_TIMEOUT(!platform_->atEnd, 15000);
  QTest::qWait(300);
  QCOMPARE(form_->textField("contrast").text(), contrast);
}

// The window cannot be made smaller than the size at which nothing overlaps; a larger window
// gives its height to the log. Both pages are kept as pictures at both sizes.
void RealWindowTest::bothPagesAtTheSmallestAndALargeSize() {
  const struct {
    const char* name;
    QSize size;
  } sizes[] = {{"minimum", QSize(1, 1)}, {"large", QSize(1200, 900)}};
  auto* pages = find<QTabWidget>("PageControl1");
  for (const auto& s : sizes) {
    window_->resize(s.size);
    QTRY_COMPARE(window_->size(), s.size.expandedTo(window_->minimumSize()));
    for (int page = 0; page < pages->count(); ++page) {
      pages->setCurrentIndex(page);
      QTest::qWait(100);  // painted on the X server
      screenshot(QStringLiteral("%1-%2").arg(page == 0 ? "address-folder" : "setting", s.name));
    }
  }
  QVERIFY(window_->minimumSize().width() > 600);
}

// Register > Pager register... by the mouse and its access key: the newest records first, and
// the next page read once the user goes to the end of the table.
void RealWindowTest::theRegisterOpensFromItsMenuAndScrollsPageByPage() {
  test::registerWith(500);
  QMenuBar* bar = window_->menuBar();
  clickAt(bar->mapToGlobal(bar->actionGeometry(find<QAction>("Register1")).center()));
  pressKey("p");
  qt::RegisterWindow* shown = nullptr;
  QTRY_VERIFY((shown = window_->findChild<qt::RegisterWindow*>()) && shown->isActiveWindow());
  QCOMPARE(shown->model()->index(0, 3).data().toString(), QStringLiteral("1499"));
  QCOMPARE(shown->model()->rowCount(), 200);

  auto* table = find<QTableView>("RegisterTable");
  clickOn(table->viewport());
  pressKey("ctrl+End");
  QTRY_COMPARE(shown->model()->rowCount(), 400);
  pressKey("Home");  // the first column, where the time is
  QTRY_COMPARE(table->horizontalScrollBar()->value(), 0);
  screenshot("pager-register", shown);
}

// Show: Conflicts by its access key, a conflict clicked, Resolve... clicked and a note typed:
// Return closes it.
void RealWindowTest::aConflictIsResolvedWithANoteTyped() {
  auto store = test::registerWith(0);
  test::conflictOn(*store, 2004033);
  find<QAction>("PagerRegister1")->trigger();
  qt::RegisterWindow* shown = nullptr;
  QTRY_VERIFY((shown = window_->findChild<qt::RegisterWindow*>()) && shown->isActiveWindow());
  pressKey("alt+h");
  QTRY_VERIFY(find("RegisterShow")->hasFocus());
  pressKey("End");  // Conflicts
  QTRY_VERIFY(shown->list() != nullptr);
  // The writes of the tests before may have left conflicts of their own.
  const int open = shown->list()->rowCount();
  const QModelIndexList found =
      shown->list()->match(shown->list()->index(0, 1), Qt::DisplayRole, QStringLiteral("2004033"));
  QCOMPARE(found.size(), 1);
  auto* table = find<QTableView>("RegisterTable");
  clickAt(table->viewport()->mapToGlobal(table->visualRect(found.front()).center()));
  auto* resolve = find<QPushButton>("RegisterResolve");
  QTRY_VERIFY(resolve->isEnabled());
  clickOn(resolve);
  qt::ResolveDialog* dialog = nullptr;
  QTRY_VERIFY((dialog = window_->findChild<qt::ResolveDialog*>()) && dialog->isActiveWindow());
  typeKeys(QStringLiteral("pager returned"));
  QTRY_COMPARE(dialog->note(), QStringLiteral("pager returned"));
  screenshot("resolve-conflict", dialog);
  pressKey("Return");
  QTRY_COMPARE(shown->list()->rowCount(), open - 1);
  const Conflict closed = store->conflicts(true).front();  // the newest
  QCOMPARE(closed.capcode, 2004033);
  QCOMPARE(closed.note, std::string("pager returned"));
  clickOn(find("RegisterShowClosed"));
  QTRY_COMPARE(shown->list()->rowCount(), open);
  QTest::qWait(100);  // laid out anew and painted on the X server
  screenshot("pager-register-conflicts", shown);
}

// File > Open list... by its access key, the list's and the template's paths typed: the list's
// window opens, and a click on "Write next row" writes its first row into the pager. Its other
// rows are off (the register holds the template's group capcodes as earlier tests' pagers'
// own). Chosen again, the dialog offers the same template.
void RealWindowTest::aListIsOpenedAndItsFirstRowWritten() {
  QTemporaryDir folder;
  const QString list = folder.filePath(QStringLiteral("ward.csv"));
  std::ofstream(list.toStdString()) << "Name,Capcode,addr2en,addr3en,addr4en,addr5en,addr6en\n"
                                       "Ward 1,2006100,off,off,off,off,off\n"
                                       "Ward 2,2006101,off,off,off,off,off\n";
  const QString eep = folder.filePath(QStringLiteral("ward.eep"));
  const PagerContents pager = defaultPagerContents(BuildConfig{});
  const auto bytes = configFileBytes(pager.eeprom, pager.decoder);
  std::ofstream(eep.toStdString(), std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));

  pressKey("alt+f");
  pressKey("l");
  qt::OpenListDialog* dialog = nullptr;
  QTRY_VERIFY((dialog = window_->findChild<qt::OpenListDialog*>()) && dialog->isActiveWindow());
  typeKeys(list);
  pressKey("Tab");
  pressKey("ctrl+a");
  typeKeys(eep);
  QTRY_COMPARE(dialog->templatePath(), eep);
  QCOMPARE(dialog->listPath(), list);
  screenshot(QStringLiteral("open-list"), dialog);
  pressKey("Return");
  qt::ListWindow* shown = nullptr;
  QTRY_VERIFY((shown = window_->findChild<qt::ListWindow*>()) && shown->isActiveWindow());
  clickOn(find<QPushButton>("ListWriteNext"));
  QTRY_VERIFY_WITH_TIMEOUT(!shown->outcome().isEmpty(), 15000);
  QCOMPARE(shown->outcome(), QStringLiteral("row 1 of 2, Ward 1, capcode 2006100: done"));
  EepBlock written{};
  DecoderBlock decoder{};
  std::copy(port_->eeprom().begin(), port_->eeprom().end(), written.begin());
  std::copy(port_->decoder().begin(), port_->decoder().end(), decoder.begin());
  QCOMPARE(pagerIdentity(BuildConfig{}, written, decoder).capcodes[0], std::string("2006100"));
  QTest::qWait(100);  // painted on the X server
  screenshot(QStringLiteral("list-window"), shown);
  screenshot(QStringLiteral("list-main-window"));

  window_->activateWindow();
  QTRY_VERIFY(window_->isActiveWindow());
  pressKey("alt+f");
  pressKey("l");
  QTRY_VERIFY((dialog = window_->findChild<qt::OpenListDialog*>()) && dialog->isActiveWindow());
  QCOMPARE(dialog->templatePath(), eep);
  pressKey("Escape");
  QTRY_VERIFY(window_->findChild<qt::OpenListDialog*>() == nullptr);
}

}  // namespace ccp

QTEST_MAIN(ccp::RealWindowTest)
#include "real_window_test.moc"
