// The window as a whole: every control has its widget, start-up state, menus, log, errors.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>
#include <QtTest>
#include <stdexcept>

#include "window/qt_platform.h"
#include "window_fixture.h"

namespace ccp {

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void everyControlAndMenuItemHasOneWidgetNamedAfterIt();
  void startUpStateShows();
  void focusGoesDownEachAddressColumnAndThroughTheFoldersKindByKind();
  void menuCommandsRunAndTheModelKeepsTheCheckMarks();
  void logShowsEveryLineAndTheNewest();
  void exitClosesTheWindow();
  void anErrorEscapingARuleIsShownAndTheWindowCarriesOn();
  void progressShowsInTheStatusBarWhileATransferRuns();
  void aFailedLoadNamesTheFileAndTheReasonInTheStatusBar();
  void howTheTransfersRunShowsAtStartUpAndAgainAtAbout();
};

void MainWindowTest::everyControlAndMenuItemHasOneWidgetNamedAfterIt() {
  test::WindowFixture w;
  for (Control* control : w.f().controls()) {
    const QString name = QString::fromStdString(control->name());
    QCOMPARE(w.window.findChildren<QWidget*>(name).size(), 1);
  }
  for (MenuItem* item : w.f().menuItems()) {
    const QString name = QString::fromStdString(item->name());
    QVERIFY2(w.window.findChild<QAction*>(name) != nullptr, qPrintable(name));
  }
}

void MainWindowTest::startUpStateShows() {
  test::WindowFixture w(test::kH);
  QCOMPARE(w.window.windowTitle(), QStringLiteral("QPX730H Capcode Programmer-Customer version"));
  auto* pages = w.find<QTabWidget>("PageControl1");
  QCOMPARE(pages->tabPosition(), QTabWidget::West);
  QCOMPARE(pages->tabText(pages->currentIndex()), QStringLiteral("Setting"));

  // Model set-up on QPX730H: pll and its label hidden, urgent call address shown.
  QVERIFY(w.find("pll")->isHidden());
  QVERIFY(w.find("L_pll")->isHidden());
  QVERIFY(!w.find("urgcalladdr")->isHidden());
  QVERIFY(!w.find("channelfreq")->isEnabled());
  auto* format = w.find<QComboBox>("addr1formatC");
  QCOMPARE(format->itemText(2), QStringLiteral("Hebrew"));
  QCOMPARE(format->currentText(), QStringLiteral("Alpha"));
  QCOMPARE(w.find<QComboBox>("alerttime")->count(), 5);
  QCOMPARE(w.find<QLabel>("L_serial")->text(), QStringLiteral("Serial No."));
}

void MainWindowTest::focusGoesDownEachAddressColumnAndThroughTheFoldersKindByKind() {
  test::WindowFixture w;
  // The names of the form's controls met along the focus chain from `first`.
  auto chain = [&w](const char* first, int count) {
    QStringList names;
    for (QWidget* widget = w.find(first); names.size() < count;
         widget = widget->nextInFocusChain()) {
      const QString name = widget->objectName();
      if (w.f().findControl(name.toStdString()) != nullptr && !names.contains(name)) {
        names << name;
      }
    }
    return names;
  };
  QStringList addresses;
  for (const char* column : {"addr%1en", "address%1"}) {
    for (int n = 1; n <= 6; ++n) addresses << QString::fromLatin1(column).arg(n);
  }
  addresses << QStringLiteral("frame1");
  QCOMPARE(chain("addr1en", 13), addresses);

  QStringList folders;
  for (const char* kind : {"pubboxact", "pubbox"}) {
    for (int k = 0; k < 16; ++k) folders << kind + QString::number(k, 16).toUpper();
  }
  folders << QStringLiteral("pubboxlength0");
  QCOMPARE(chain("pubboxact0", 33), folders);
}

void MainWindowTest::menuCommandsRunAndTheModelKeepsTheCheckMarks() {
  test::WindowFixture w(test::kE, /*access=*/false);
  auto* lpt1 = w.find<QAction>("LPT11");
  auto* lpt2 = w.find<QAction>("LPT21");
  QVERIFY(lpt1->isChecked());
  lpt2->trigger();
  QCOMPARE(w.f().portBase(), 632);
  QVERIFY(lpt2->isChecked());
  QVERIFY(!lpt1->isChecked());
  lpt2->trigger();  // Qt would uncheck it; the model keeps it checked
  QVERIFY(lpt2->isChecked());

  // Refused port access: the pager commands are disabled commands of the menu bar itself.
  for (const char* name : {"WriteToPager", "ReadFromPager"}) {
    auto* command = w.find<QAction>(name);
    QVERIFY(!command->isEnabled());
    QVERIFY(command->menu() == nullptr);
  }
}

void MainWindowTest::logShowsEveryLineAndTheNewest() {
  test::WindowFixture w;
  auto* log = w.find<QPlainTextEdit>("Memo1");
  QVERIFY(log->isReadOnly());
  QCOMPARE(log->toPlainText(), QStringLiteral("QPX730E CCP V1.4, support firmware version 1-4\n"
                                              "Port init success."));
  for (int i = 0; i < 10; ++i) w.find<QAction>("About1")->trigger();
  QCOMPARE(log->document()->blockCount(), 12);
  QCOMPARE(log->document()->lastBlock().text(),
           QStringLiteral("QPX730E CCP V1.4, support firmware version 1-4"));
  QScrollBar* bar = log->verticalScrollBar();
  QVERIFY(bar->maximum() > 0);
  QCOMPARE(bar->value(), bar->maximum());
}

void MainWindowTest::exitClosesTheWindow() {
  test::WindowFixture w;
  QVERIFY(w.window.isVisible());
  w.find<QAction>("Exit1")->trigger();
  QTRY_VERIFY(!w.window.isVisible());
}

void MainWindowTest::anErrorEscapingARuleIsShownAndTheWindowCarriesOn() {
  test::WindowFixture w;
  QVERIFY(w.ready);
  w.f().comboBox("pubcallno").onChange = [] { throw std::runtime_error("rule failed"); };
  QString shown;
  QTimer::singleShot(0, [&shown] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  emit w.find<QComboBox>("pubcallno")->activated(1);
  QCOMPARE(shown, QStringLiteral("rule failed"));
  QCOMPARE(w.f().comboBox("pubcallno").index(), 1);
  QCOMPARE(w.find<QComboBox>("pubcallno")->currentIndex(), 1);
}

void MainWindowTest::progressShowsInTheStatusBarWhileATransferRuns() {
  test::WindowFixture w;
  qt::QtPlatform platform;
  platform.showNotice("said at start-up");  // before the window is there: shown once it is
  platform.attach(&w.window);
  QStatusBar* status = w.window.statusBar();
  QCOMPARE(status->currentMessage(), QStringLiteral("said at start-up"));
  auto* bar = status->findChild<QProgressBar*>();
  QVERIFY(bar->isHidden());
  platform.showProgress({"Decoder write", 42, 6});
  QVERIFY(!bar->isHidden());
  QCOMPARE(bar->value(), 42);
  QCOMPARE(bar->maximum(), 100);
  QCOMPARE(status->findChild<QLabel*>()->text(), QStringLiteral("Decoder write, 6 s left"));
  platform.showProgress({});
  QVERIFY(bar->isHidden());
}

void MainWindowTest::aFailedLoadNamesTheFileAndTheReasonInTheStatusBar() {
  test::QtWindowFixture w;
  const QString missing = QStringLiteral("/nonexistent/pager.eep");
  w.window.openFile(missing);
  QCOMPARE(QString::fromStdString(w.f().log().lines().back()), QStringLiteral("Load file error"));
  QCOMPARE(
      w.window.statusBar()->currentMessage(),
      QStringLiteral("could not load ") + missing + QStringLiteral(": No such file or directory"));
}

void MainWindowTest::howTheTransfersRunShowsAtStartUpAndAgainAtAbout() {
  test::WindowFixture w;
  w.window.showTransferPriority(QStringLiteral("real-time through RealtimeKit, SCHED_RR 10"));
  const QString said = QStringLiteral("Transfers: real-time through RealtimeKit, SCHED_RR 10");
  QStatusBar* status = w.window.statusBar();
  QCOMPARE(status->currentMessage(), said);
  status->clearMessage();
  const std::size_t logged = w.f().log().lines().size();
  w.find<QAction>("About1")->trigger();
  QCOMPARE(status->currentMessage(), said);
  // About adds the line of the start-up to the log, as it always did.
  QCOMPARE(w.f().log().lines().size(), logged + 1);
  QCOMPARE(w.f().log().lines().back(), w.f().log().lines().front());
}

}  // namespace ccp

QTEST_MAIN(ccp::MainWindowTest)
#include "main_window_test.moc"
