// File > Open list... on the window with the Qt desktop and a simulated Programmer: a list
// refused with its problems, a list taken in and written row by row in the main window, a list
// changed since offered as a new version.
#include "window/list/list_window.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>
#include <fstream>

#include "app/data_folder.h"
#include "app/default_pager.h"
#include "files/config_file.h"
#include "files/temp_folder.h"
#include "image/pager_identity.h"
#include "sim/simulated_programmer.h"
#include "testkit/virtual_clock.h"
#include "window/list/list_problems_dialog.h"
#include "window/list/list_view.h"
#include "window/main_window.h"
#include "window/qt_platform.h"

namespace ccp {

namespace {

// The program's window on the Qt desktop, the simulated Programmer and the virtual clock, its
// data and settings in a folder of the test's own.
struct ListWindowFixture {
  ListWindowFixture() : programmer(clock, 888) {
    qputenv("XDG_DATA_HOME", folder.file("data").c_str());
    qputenv("XDG_CONFIG_HOME", folder.file("config").c_str());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(folder.file("config")));
    plugInNewPager();
    form = std::make_unique<TForm1>(BuildConfig{}, platform, programmer, clock);
    window = std::make_unique<qt::MainWindow>(*form);
    window->attachPlatform(platform);
    const PagerContents pager = defaultPagerContents(BuildConfig{});
    const auto bytes = configFileBytes(pager.eeprom, pager.decoder);
    templatePath = folder.file("ward.eep");
    test::writeBytes(templatePath, {bytes.begin(), bytes.end()});
  }

  void plugInNewPager() {
    const PagerContents fresh = defaultPagerContents(BuildConfig{});
    programmer.setEeprom(fresh.eeprom);
    programmer.setDecoder(fresh.decoder);
  }
  std::string pagerCapcode() const {
    EepBlock eep{};
    DecoderBlock decoder{};
    std::copy(programmer.eeprom().begin(), programmer.eeprom().end(), eep.begin());
    std::copy(programmer.decoder().begin(), programmer.decoder().end(), decoder.begin());
    return pagerIdentity(BuildConfig{}, eep, decoder).capcodes[0];
  }
  qt::ListWindow* open(const std::string& text) {
    const std::string list = folder.file("ward.csv");
    std::ofstream(list) << text;
    return view()->openList(QString::fromStdString(list), QString::fromStdString(templatePath));
  }
  qt::ListView* view() { return window->findChild<qt::ListView*>(); }

  test::TempFolder folder;
  testkit::VirtualClock clock;
  sim::SimulatedProgrammer programmer;
  qt::QtPlatform platform;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<qt::MainWindow> window;
  std::string templatePath;
};

QString cell(qt::ListWindow* list, int row, int column) {
  return list->rows()->index(row, column).data().toString();
}

void click(QWidget* parent, const char* name) {
  auto* button = parent->findChild<QPushButton*>(QString::fromLatin1(name));
  QVERIFY2(button != nullptr && button->isEnabled(), name);
  button->click();
}

}  // namespace

class ListWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void openListFollowsTheFileMenusOwnItems();
  void aRefusedListShowsEachProblemAtItsLine();
  void eachClickWritesTheNextRowInTheMainWindow();
  void aListChangedSinceIsOfferedAsANewVersion();
};

// Added after the records' items; the menu's own items keep their order.
void ListWindowTest::openListFollowsTheFileMenusOwnItems() {
  ListWindowFixture fx;
  auto* file = fx.window->findChild<QAction*>(QStringLiteral("File1"))->menu<QMenu*>();
  QStringList names;
  for (QAction* action : file->actions()) {
    if (!action->isSeparator() && !action->objectName().isEmpty()) names << action->objectName();
  }
  QCOMPARE(names, (QStringList{"Open1", "Save1", "BackupBeforeWrite1", "OpenBackup1",
                               "OpenJournal1", "OpenList", "Exit1"}));
  QCOMPARE(fx.window->findChild<QAction*>(QStringLiteral("OpenList"))->text(),
           QStringLiteral("Open &list..."));
}

void ListWindowTest::aRefusedListShowsEachProblemAtItsLine() {
  ListWindowFixture fx;
  QVERIFY(fx.open("Name,Capcode\nA,2005100\nB,2004x\nC,2005100\n") == nullptr);
  auto* refusals = fx.window->findChild<qt::ListProblemsDialog*>();
  QVERIFY(refusals != nullptr && refusals->isVisible());
  QTableWidget* table = refusals->table();
  QCOMPARE(table->rowCount(), 2);
  QCOMPARE(table->item(0, 0)->text(), QStringLiteral("3"));
  QCOMPARE(table->item(0, 1)->text(), QStringLiteral("error"));
  QCOMPARE(table->item(0, 3)->text(), QStringLiteral("2004x"));
  QCOMPARE(table->item(0, 4)->text(), QStringLiteral("Number Key and back space key only"));
  QCOMPARE(table->item(1, 0)->text(), QStringLiteral("4"));
  QVERIFY(table->item(1, 4)->text().contains(QStringLiteral("is on line 2 too")));
  QVERIFY(fx.view()->listWindow() == nullptr);
  QVERIFY(!openRegister(defaultRegisterLocation(userDataFolder()))->findList("ward.csv"));
}

// Two clicks, two pagers: both rows done, the second pager holding the second row's capcode;
// the row chosen goes first, and the filters keep the rows asked for. A done row is swapped,
// and the list exported.
void ListWindowTest::eachClickWritesTheNextRowInTheMainWindow() {
  ListWindowFixture fx;
  qt::ListWindow* list = fx.open("Name,Capcode\nWard 1,2005100\nWard 2,2005101\nWard 3,2005102\n");
  QVERIFY(list != nullptr && list->isVisible());
  auto* progress = list->findChild<QProgressBar*>(QStringLiteral("ListProgress"));
  QCOMPARE(progress->text(), QStringLiteral("0 of 3 done"));

  click(list, "ListWriteNext");
  QCOMPARE(list->outcome(), QStringLiteral("row 1 of 3, Ward 1, capcode 2005100: done"));
  QCOMPARE(fx.form->log().lines().back(), std::string("Verify OK !"));
  fx.plugInNewPager();
  auto* table = list->findChild<QTableView*>(QStringLiteral("ListTable"));
  table->selectRow(2);  // Ward 3 before Ward 2
  click(list, "ListWriteNext");
  QCOMPARE(list->outcome(), QStringLiteral("row 3 of 3, Ward 3, capcode 2005102: done"));
  QCOMPARE(fx.pagerCapcode(), std::string("2005102"));
  QCOMPARE(progress->text(), QStringLiteral("2 of 3 done"));
  QCOMPARE(cell(list, 0, qt::ListRowModel::State), QStringLiteral("done"));
  QCOMPARE(cell(list, 1, qt::ListRowModel::State), QStringLiteral("open"));
  QCOMPARE(cell(list, 2, qt::ListRowModel::State), QStringLiteral("done"));

  // The same pager again gets no row: it is Ward 3's.
  click(list, "ListWriteNext");
  QVERIFY2(list->outcome().startsWith(QStringLiteral("row 2 of 3, Ward 2, capcode 2005101: not "
                                                     "written: ")),
           qPrintable(list->outcome()));
  QCOMPARE(cell(list, 1, qt::ListRowModel::State), QStringLiteral("open"));

  auto* shown = table->model();
  list->findChild<QComboBox*>(QStringLiteral("ListState"))->setCurrentText(QStringLiteral("done"));
  QCOMPARE(shown->rowCount(), 2);
  list->findChild<QLineEdit*>(QStringLiteral("ListFind"))->setText(QStringLiteral("ward 3"));
  QCOMPARE(shown->rowCount(), 1);
  QCOMPARE(shown->index(0, qt::ListRowModel::Capcodes).data().toString().left(7),
           QStringLiteral("2005102"));

  // The done row shown is given to a replacement pager; the list goes back with its states.
  table->selectRow(0);
  QVERIFY(list->findChild<QPushButton*>(QStringLiteral("ListSwap"))->isEnabled());
  list->swapRow(3, QStringLiteral("dropped"));
  QCOMPARE(cell(list, 2, qt::ListRowModel::State), QStringLiteral("open"));
  const std::string exported = fx.folder.file("back.csv");
  list->exportTo(QString::fromStdString(exported));
  std::ifstream back(exported);
  std::string header, first;
  std::getline(back, header), std::getline(back, first);
  QCOMPARE(header, std::string("Name,Capcode,State,Serial read,Station,Time,Record,Reason"));
  QVERIFY2(first.starts_with("Ward 1,2005100,done,"), first.c_str());
}

// Taken in again with a row changed: the row is named, and as a new version its done row stays
// done.
void ListWindowTest::aListChangedSinceIsOfferedAsANewVersion() {
  ListWindowFixture fx;
  const QPointer<qt::ListWindow> first = fx.open("Name,Capcode\nA,2005200\nB,2005201\n");
  QVERIFY(first != nullptr);
  click(first, "ListWriteNext");
  QCOMPARE(cell(first, 0, qt::ListRowModel::State), QStringLiteral("done"));

  QVERIFY(fx.open("Name,Capcode\nA,2005200\nB,2005209\n") == nullptr);
  auto* offer = fx.window->findChild<QMessageBox*>(QStringLiteral("ListNewVersion"));
  QVERIFY(offer != nullptr);
  QVERIFY2(offer->text().contains(QStringLiteral("(rows 2)")), qPrintable(offer->text()));
  for (QAbstractButton* button : offer->buttons()) {
    if (button->text().contains(QStringLiteral("new version"))) button->click();
  }
  qt::ListWindow* second = fx.view()->listWindow();
  QVERIFY(second != nullptr && first == nullptr);  // one list at a time
  QCOMPARE(second->list().version, 2);
  QCOMPARE(cell(second, 0, qt::ListRowModel::State), QStringLiteral("done"));
  QCOMPARE(cell(second, 1, qt::ListRowModel::Capcodes).left(7), QStringLiteral("2005209"));
}

}  // namespace ccp

QTEST_MAIN(ccp::ListWindowTest)
#include "list_window_test.moc"
