// The window's Register menu on a SQLite register in a temporary data folder: the records read
// a page at a time, found and sorted; the settings saved as ccp reads them; a capcode released.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "app/register_place.h"
#include "window/register/record_table_model.h"
#include "window/register/register_settings_dialog.h"
#include "window/register/register_window.h"
#include "window/register/release_dialog.h"
#include "window/register/resolve_dialog.h"
#include "window/window_fixture.h"

namespace ccp {

class RegisterViewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void theMenuOpensEachWindowAndARegisterThatCannotOpenIsSaid();
  void theTableReadsAPageAtATimeAsItScrolls();
  void typingFindsAndAHeaderClickSorts();
  void settingsRoundTripAndWhatIsNotSaved();
  void releaseShowsTheHolderAndFreesTheCapcode();
  void aWriteUnderWayIsReleasedOnlyWhenAskedAgain();
  void theOpenRegisterFollowsCommandsAndSavedSettings();
  void aConflictResolvedWithANoteLeavesTheOtherOpen();

 private:
  QTemporaryDir home_;
};

void RegisterViewTest::initTestCase() {
  QVERIFY(home_.isValid());
  qputenv("XDG_DATA_HOME", home_.filePath(QStringLiteral("data")).toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", home_.filePath(QStringLiteral("config")).toLocal8Bit());
  qunsetenv("CCP_REGISTER");
}

void RegisterViewTest::init() {
  QDir(home_.path()).removeRecursively();
  QDir().mkpath(QString::fromStdString(userDataFolder()));
}

void RegisterViewTest::theMenuOpensEachWindowAndARegisterThatCannotOpenIsSaid() {
  test::WindowFixture w;
  const struct {
    const char* item;
    const char* caption;
    const char* window;
  } items[] = {{"PagerRegister1", "&Pager register...", "PagerRegisterWindow"},
               {"RegisterSettings1", "Register &settings...", "RegisterSettingsDialog"},
               {"ReleaseCapcode1", "&Release capcode...", "ReleaseCapcodeDialog"}};
  for (const auto& i : items) {
    QAction* action = w.find<QAction>(i.item);
    QCOMPARE(action->text(), QString::fromLatin1(i.caption));
    action->trigger();
    QTRY_VERIFY2(test::findIn(w.window, i.window)->isVisible(), i.window);
  }
  // No pager command made a register yet: none is made, and the window says so.
  auto* problem = test::findIn<QLabel>(w.window, "RegisterProblem");
  QVERIFY2(problem->text().contains(QStringLiteral("no register at")), qPrintable(problem->text()));
  QVERIFY(!QFile::exists(QString::fromStdString(defaultRegisterLocation(userDataFolder()))));

  // A file that is no register: its error in place of the table, chosen again.
  QFile junk(QString::fromStdString(defaultRegisterLocation(userDataFolder())));
  QVERIFY(junk.open(QIODevice::WriteOnly));
  junk.write(QByteArray(4096, 'x'));
  junk.close();
  w.find<QAction>("PagerRegister1")->trigger();
  QVERIFY(!problem->text().isEmpty() && !problem->text().contains(QStringLiteral("no register")));
  QVERIFY(!test::findIn(w.window, "RegisterTable")->isVisible());
}

void RegisterViewTest::theTableReadsAPageAtATimeAsItScrolls() {
  test::registerWith(1000);
  qt::RegisterWindow window(nullptr, 50);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  qt::RecordTableModel* model = window.model();
  QCOMPARE(model->rowCount(), 50);
  QCOMPARE(test::findIn<QLabel>(window, "RegisterCount")->text(), QStringLiteral("1,000 records"));
  QCOMPARE(model->index(0, 5).data().toString(), QStringLiteral("2004999"));  // newest first

  QScrollBar* bar = test::findIn<QTableView>(window, "RegisterTable")->verticalScrollBar();
  // Each scroll to the end reads one page more.
  for (int rows = 100; rows <= 1000; rows += 50) {
    bar->setValue(bar->maximum());
    QCOMPARE(model->rowCount(), rows);
    QCoreApplication::processEvents();  // the scroll bar learns of the new rows
  }
  QVERIFY(!model->canFetchMore({}));
  QCOMPARE(model->index(999, 5).data().toString(), QStringLiteral("2004000"));
}

void RegisterViewTest::typingFindsAndAHeaderClickSorts() {
  test::registerWith(300);
  qt::RegisterWindow window(nullptr, 20);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QTest::keyClicks(test::findIn(window, "RegisterFilter"), QStringLiteral("29"));
  // The pagers 29, 129, 229 and 290-299: serials 1029... and capcodes 2004029...
  qt::RecordTableModel* model = window.model();
  QCOMPARE(model->total(), 13);
  QCOMPARE(model->index(0, 3).data().toString(), QStringLiteral("1299"));

  auto* table = test::findIn<QTableView>(window, "RegisterTable");
  QHeaderView* header = table->horizontalHeader();
  const auto clickColumn = [header](int column) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
  };
  clickColumn(3);  // "Serial No.", from the lowest
  QCOMPARE(model->query().sortBy, RecordColumn::Serial);
  QCOMPARE(model->index(0, 3).data().toString(), QStringLiteral("1029"));
  clickColumn(4);  // the holder state: kept in no order the register sorts by
  QCOMPARE(header->sortIndicatorSection(), 3);
  QCOMPARE(model->index(0, 3).data().toString(), QStringLiteral("1029"));
}

void RegisterViewTest::settingsRoundTripAndWhatIsNotSaved() {
  const std::string path = registerSettingsPath();
  RegisterSettings saved;
  saved.location = "postgresql://station@server/pagers", saved.station = "bench-3";
  saved.guard = false, saved.uniqueRows = {1, 3}, saved.readBeforeWrite = true;
  saved.whenTaken = WhenTaken::TakeNextFree, saved.allowUnguarded = true;
  QVERIFY(saveRegisterSettings(path, saved));
  qt::RegisterSettingsDialog shown(nullptr);
  QVERIFY(!test::findIn<QCheckBox>(shown, "RegisterGuard")->isChecked());  // off, though shared
  QVERIFY(test::findIn<QCheckBox>(shown, "RegisterRow3")->isChecked());
  shown.accept();
  QCOMPARE(loadRegisterSettings(path).settings, saved);

  // The station's own register again: the guard shows its default until set by hand.
  QVERIFY(saveRegisterSettings(path, {}));
  qt::RegisterSettingsDialog dialog(nullptr);
  auto* guard = test::findIn<QCheckBox>(dialog, "RegisterGuard");
  QVERIFY(test::findIn<QRadioButton>(dialog, "RegisterOwn")->isChecked() && !guard->isChecked());
  test::findIn<QRadioButton>(dialog, "RegisterShared")->setChecked(true);
  QVERIFY(guard->isChecked());
  auto* problem = test::findIn<QLabel>(dialog, "RegisterSettingsProblem");
  test::findIn<QLineEdit>(dialog, "RegisterUrl")
      ->setText(QStringLiteral("postgresql://st:secret@db/p"));
  dialog.accept();  // a password is never kept
  QVERIFY(problem->text().contains(QStringLiteral("password")));
  QCOMPARE(loadRegisterSettings(path).settings, RegisterSettings{});

  test::findIn<QLineEdit>(dialog, "RegisterUrl")->setText(QStringLiteral("postgresql://st@db/p"));
  QDir(home_.filePath(QStringLiteral("config"))).removeRecursively();
  QFile(home_.filePath(QStringLiteral("config"))).open(QIODevice::WriteOnly);  // no folder here
  dialog.accept();
  QVERIFY2(problem->text().startsWith(QStringLiteral("Register settings could not be saved")),
           qPrintable(problem->text()));
  QFile::remove(home_.filePath(QStringLiteral("config")));
  dialog.accept();
  QCOMPARE(dialog.result(), int(QDialog::Accepted));
  const RegisterSettings now = loadRegisterSettings(path).settings;
  QCOMPARE(now.location, std::string("postgresql://st@db/p"));
  QVERIFY(!now.guard);  // the default: on, for a shared register
}

void RegisterViewTest::releaseShowsTheHolderAndFreesTheCapcode() {
  auto store = test::registerWith(20);
  const long long record = store->records({}).front().id;  // serial 1019, capcode 2004019
  store->apply(record, {"station-2", WallTime(std::chrono::minutes(37'000'019)), ""});
  RegisterSettings settings;
  settings.station = "bench-3";
  QVERIFY(saveRegisterSettings(registerSettingsPath(), settings));

  qt::ReleaseDialog dialog(nullptr);
  auto* holder = test::findIn<QLabel>(dialog, "CapcodeHolder");
  auto* release = test::findIn<QPushButton>(dialog, "ReleaseButton");
  auto* field = test::findIn<QLineEdit>(dialog, "CapcodeToRelease");
  QTest::keyClicks(field, QStringLiteral("9999999"));
  QVERIFY2(holder->text().contains(QStringLiteral("not a capcode")), qPrintable(holder->text()));
  QVERIFY(!release->isEnabled());
  field->clear();
  QTest::keyClicks(field, QStringLiteral("2004019x"));  // x refused
  QVERIFY2(holder->text().contains(QStringLiteral("was written on")) &&
               holder->text().contains(QStringLiteral("at station-2 (serial 1019)")),
           qPrintable(holder->text()));
  test::findIn<QLineEdit>(dialog, "ReleaseNote")->setText(QStringLiteral("pager returned"));
  release->click();
  QVERIFY(store->holders(2004019).empty());
  const HolderEvent last = store->history(2004019).front();
  QCOMPARE(last.event, std::string("released"));
  QCOMPARE(last.station, std::string("bench-3"));
  QCOMPARE(last.note, std::string("pager returned"));
  QVERIFY(holder->text().startsWith(QStringLiteral("Capcode 2004019 released by bench-3")));
  QVERIFY(!release->isEnabled());
}

// A write under way keeps its capcode: the dialog says so before it offers to release it
// anyway, and the register's window lists the claim, then the conflict the release left.
void RegisterViewTest::aWriteUnderWayIsReleasedOnlyWhenAskedAgain() {
  auto store = test::registerWith(1);
  const Writer writer = newWriter("station-2");
  QVERIFY(
      store
          ->claimWrite({{1, 2004017, true}}, writer, std::chrono::system_clock::now(), std::nullopt)
          .granted);
  qt::RegisterWindow window(nullptr);
  auto* show = test::findIn<QComboBox>(window, "RegisterShow");
  const auto showing = [&](int index) {
    show->setCurrentIndex(index);
    emit show->activated(index);
    return window.list();
  };
  QCOMPARE(showing(1)->rowCount(), 1);  // Claims
  QCOMPARE(showing(1)->index(0, 7).data().toString(), QStringLiteral("alive"));
  QVERIFY(!test::findIn(window, "RegisterFilter")->isEnabled());

  qt::ReleaseDialog dialog(nullptr);
  auto* holder = test::findIn<QLabel>(dialog, "CapcodeHolder");
  auto* force = test::findIn<QPushButton>(dialog, "ForceReleaseButton");
  QTest::keyClicks(test::findIn(dialog, "CapcodeToRelease"), QStringLiteral("2004017"));
  QVERIFY2(holder->text().contains(QStringLiteral("is being written since")),
           qPrintable(holder->text()));
  QVERIFY(force->isHidden());
  test::findIn<QPushButton>(dialog, "ReleaseButton")->click();
  QVERIFY2(holder->text().contains(QStringLiteral("nothing released")) &&
               holder->text().contains(QStringLiteral("Release it anyway only if")),
           qPrintable(holder->text()));
  QCOMPARE(store->holders(2004017).size(), std::size_t{1});
  QVERIFY(!force->isHidden());
  force->click();
  QVERIFY(store->holders(2004017).empty());
  QVERIFY(force->isHidden());
  QCOMPARE(showing(2)->rowCount(), 1);  // Conflicts
  QCOMPARE(showing(0), nullptr);        // Records again
  QVERIFY(test::findIn(window, "RegisterFilter")->isEnabled());
}

// The register's window, left open, shows each record as its command ends; settings saved
// apply to the next command.
void RegisterViewTest::theOpenRegisterFollowsCommandsAndSavedSettings() {
  test::SimulatorWindow w;
  w.action("PagerRegister1")->trigger();
  auto* shown = test::findIn<qt::RegisterWindow>(w.window, "PagerRegisterWindow");
  QTRY_VERIFY(shown->isVisible());
  const auto shownRecords = [shown] {
    return shown->model() != nullptr ? shown->model()->total() : -1;
  };
  QCOMPARE(shownRecords(), -1);  // no register yet
  w.action("WriteToPager")->trigger();
  QCOMPARE(shownRecords(), 1);
  w.action("ReadFromPager")->trigger();
  QCOMPARE(shownRecords(), 2);

  w.action("RegisterSettings1")->trigger();
  auto* settings = test::findIn<qt::RegisterSettingsDialog>(w.window, "RegisterSettingsDialog");
  test::findIn<QLineEdit>(*settings, "RegisterStation")->setText(QStringLiteral("bench-3"));
  settings->accept();
  w.action("ReadFromPager")->trigger();
  QCOMPARE(shownRecords(), 3);
  QCOMPARE(shown->model()->index(0, 1).data().toString(), QStringLiteral("bench-3"));
}

// Resolve... closes the open conflicts chosen, all of one capcode, with this station and the
// note, which it asks for first; the closed ones are shown on request.
void RegisterViewTest::aConflictResolvedWithANoteLeavesTheOtherOpen() {
  auto store = test::registerWith(0);
  test::conflictOn(*store, 2004017);
  test::conflictOn(*store, 2004025);
  RegisterSettings settings;
  settings.station = "bench-3";
  QVERIFY(saveRegisterSettings(registerSettingsPath(), settings));
  qt::RegisterWindow window(nullptr);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  auto* show = test::findIn<QComboBox>(window, "RegisterShow");
  show->setCurrentIndex(2);
  emit show->activated(2);
  auto* table = test::findIn<QTableView>(window, "RegisterTable");
  auto* resolve = test::findIn<QPushButton>(window, "RegisterResolve");
  QVERIFY(resolve->isVisible() && !resolve->isEnabled());
  table->selectAll();  // two capcodes: no one note for both
  QVERIFY(!resolve->isEnabled());
  const int row = window.list()->index(0, 1).data().toString() == "2004017" ? 0 : 1;
  table->selectRow(row);
  resolve->click();

  auto* dialog = test::findIn<qt::ResolveDialog>(window, "ResolveConflictDialog");
  QVERIFY(dialog != nullptr && dialog->isVisible());
  dialog->accept();  // no note: nothing closed
  QVERIFY(dialog->isVisible());
  QTest::keyClicks(test::findIn(*dialog, "ResolveNote"), QStringLiteral("pager 1019 returned"));
  dialog->accept();
  const std::vector<Conflict> all = store->conflicts(true);
  QCOMPARE(all.size(), std::size_t{2});
  for (const Conflict& c : all) {
    QCOMPARE(c.closedAt.has_value(), c.capcode == 2004017);
  }
  const Conflict& closed = all[0].capcode == 2004017 ? all[0] : all[1];
  QCOMPARE(closed.closedBy, std::string("bench-3"));
  QCOMPARE(closed.note, std::string("pager 1019 returned"));
  QCOMPARE(window.list()->rowCount(), 1);
  QVERIFY2(test::findIn<QLabel>(window, "RegisterNote")
               ->text()
               .endsWith(QStringLiteral("of capcode 2004017 closed by bench-3.")),
           qPrintable(test::findIn<QLabel>(window, "RegisterNote")->text()));

  test::findIn<QCheckBox>(window, "RegisterShowClosed")->setChecked(true);
  QCOMPARE(test::findIn<QLabel>(window, "RegisterCount")->text(),
           QStringLiteral("2 conflicts, 1 open"));
  QStringList closedColumn;
  for (int r = 0; r < window.list()->rowCount(); ++r) {
    closedColumn << window.list()->index(r, 7).data().toString();
  }
  QVERIFY2(closedColumn.contains(QStringLiteral("open")) &&
               closedColumn.filter(QStringLiteral("by bench-3: pager 1019 returned")).size() == 1,
           qPrintable(closedColumn.join(" | ")));
}

}  // namespace ccp

QTEST_MAIN(ccp::RegisterViewTest)
#include "register_view_test.moc"
