// Input to the window while a pager transfer runs: the transfer keeps the window painted, and
// whatever the user clicks, types, scrolls, drops or presses as a shortcut meanwhile is dropped,
// neither run during the transfer nor after it.
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>
#include <memory>

#include "app/default_pager.h"
#include "form_fixture.h"
#include "sim/simulated_programmer.h"
#include "testkit/virtual_clock.h"
#include "window/main_window.h"
#include "window/qt_platform.h"

namespace ccp {

namespace {

const char* const kHeldActions[] = {"Open1", "Save1",        "LPT11",
                                    "LPT21", "WriteToPager", "ReadFromPager"};

// The desktop of the program, with a user who acts once while the first transfer step is shown.
class ActingPlatform : public qt::QtPlatform {
 public:
  std::function<void()> act;

  void showProgress(const ProgressReport& report) override {
    if (act && !report.ended()) std::exchange(act, nullptr)();
    QtPlatform::showProgress(report);
  }
};

void post(QWidget* widget, QEvent* event) {
  QCoreApplication::postEvent(widget, event);
}

// A click as the window system delivers it: press and release, queued.
void postClick(QWidget* widget, const QPoint& at) {
  const QPointF local(at);
  const QPointF global(widget->mapToGlobal(at));
  post(widget, new QMouseEvent(QEvent::MouseButtonPress, local, global, Qt::LeftButton,
                               Qt::LeftButton, Qt::NoModifier));
  post(widget, new QMouseEvent(QEvent::MouseButtonRelease, local, global, Qt::LeftButton,
                               Qt::NoButton, Qt::NoModifier));
}

void postKey(QWidget* widget, Qt::Key key, const QString& text) {
  post(widget, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
  post(widget, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
}

void postWheel(QWidget* widget) {
  const QPointF centre(widget->rect().center());
  post(widget, new QWheelEvent(centre, widget->mapToGlobal(centre), QPoint(), QPoint(0, -120),
                               Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false));
}

// A drop event does not own its data: the caller keeps it until the event is gone.
void postDrop(QWidget* widget, QMimeData& data) {
  const QPointF centre(widget->rect().center());
  post(widget, new QDropEvent(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier));
}

}  // namespace

class TransferInputTest : public QObject {
  Q_OBJECT

 private slots:
  void inputDuringAWriteIsDroppedAndTheWriteRunsOnce();
  void errorBoxOfACommandTakesItsInput();

 private:
  struct Window;
};

// A started window on the simulated Programmer, shown and active.
struct TransferInputTest::Window {
  Window() : programmer(clock), form(init(), platform, programmer, clock), window(form) {
    platform.attach(&window);
    window.show();
    window.activateWindow();
    ready = QTest::qWaitForWindowActive(&window);
  }
  BuildConfig init() {
    const PagerContents pager = defaultPagerContents(test::kE);
    programmer.setEeprom(pager.eeprom);
    programmer.setDecoder(pager.decoder);
    return test::kE;
  }
  template <typename W = QWidget>
  W* find(const char* name) {
    return window.findChild<W*>(QString::fromLatin1(name));
  }

  testkit::VirtualClock clock;
  sim::SimulatedProgrammer programmer;
  ActingPlatform platform;
  TForm1 form;
  qt::MainWindow window;
  bool ready = false;
};

void TransferInputTest::inputDuringAWriteIsDroppedAndTheWriteRunsOnce() {
  Window w;
  QVERIFY(w.ready);
  TForm1& form = w.form;
  qt::MainWindow& window = w.window;
  ActingPlatform& platform = w.platform;

  ComboBox& autoinc = form.comboBox("autoinc1");
  autoinc.choose(static_cast<int>(std::find(autoinc.items().begin(), autoinc.items().end(), "1") -
                                  autoinc.items().begin()));
  QCOMPARE(autoinc.text(), std::string("1"));
  auto* contrast = window.findChild<QLineEdit*>(QStringLiteral("contrast"));
  contrast->setFocus(Qt::OtherFocusReason);
  QTRY_VERIFY(contrast->hasFocus());
  const int capcode = std::stoi(form.textField("address1").text());
  const std::string contrastText = form.textField("contrast").text();
  const int alerttime = form.comboBox("alerttime").index();

  // The pager register beside the main window drops its input too: Escape would close it.
  window.findChild<QAction*>(QStringLiteral("PagerRegister1"))->trigger();
  auto* beside = window.findChild<QDialog*>(QStringLiteral("PagerRegisterWindow"));
  auto* write = window.findChild<QAction*>(QStringLiteral("WriteToPager"));
  auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
  QStringList enabledDuring;
  QMimeData dropped;
  dropped.setText(QStringLiteral("77"));
  platform.act = [&] {
    for (const char* name : kHeldActions) {
      if (window.findChild<QAction*>(QString::fromLatin1(name))->isEnabled()) enabledDuring << name;
    }
    QMenuBar* bar = window.menuBar();
    const QPoint writeAt = bar->actionGeometry(write).center();
    postClick(bar, writeAt);
    postClick(bar, writeAt);
    QTabBar* tabs = pages->tabBar();
    postClick(tabs, tabs->tabRect(0).center());
    postKey(contrast, Qt::Key_9, QStringLiteral("9"));
    postDrop(contrast, dropped);
    postWheel(window.findChild<QComboBox*>(QStringLiteral("alerttime")));
    postKey(beside, Qt::Key_Escape, QString());
    // A shortcut of the window, delivered at once: Alt+W is WR_To_Pager.
    QTest::keyClick(contrast, Qt::Key_W, Qt::AltModifier);
  };
  write->trigger();
  QTest::qWait(50);  // anything deferred would run now

  QVERIFY(platform.act == nullptr);
  const auto& lines = form.log().lines();
  QCOMPARE(std::count(lines.begin(), lines.end(), "Write to Pager..."), 1);
  QCOMPARE(lines.back(), std::string("Verify OK !"));
  QCOMPARE(form.textField("address1").text(), std::to_string(capcode + 1));
  QCOMPARE(enabledDuring, QStringList());
  QCOMPARE(form.textField("contrast").text(), contrastText);
  QCOMPARE(contrast->text(), QString::fromStdString(contrastText));
  QCOMPARE(form.comboBox("alerttime").index(), alerttime);
  QCOMPARE(pages->currentIndex(), 1);
  QVERIFY(beside->isVisible());
  for (const char* name : kHeldActions) {
    QVERIFY2(window.findChild<QAction*>(QString::fromLatin1(name))->isEnabled(), name);
  }
}

// The conversion error box that ends a write is a window of its own: the user's key closes it,
// and the menu items are enabled again.
void TransferInputTest::errorBoxOfACommandTakesItsInput() {
  Window w;
  QVERIFY(w.ready);
  w.form.textField("contrast").setText("");
  QString shown;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !shown.isEmpty()) return;
    shown = box->text();
    QTest::keyClick(box, Qt::Key_Escape);
  });
  answer.start(20);
  bool forced = false;  // the key did not reach the box
  QTimer::singleShot(5000, [&forced] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      forced = true;
      box->reject();
    }
  });
  w.find<QAction>("WriteToPager")->trigger();
  answer.stop();

  QCOMPARE(shown, QStringLiteral("'' is not a valid integer value"));
  QVERIFY(!forced);
  QVERIFY(QApplication::activeModalWidget() == nullptr);
  for (const char* name : kHeldActions) QVERIFY2(w.find<QAction>(name)->isEnabled(), name);
}

}  // namespace ccp

QTEST_MAIN(ccp::TransferInputTest)
#include "transfer_input_test.moc"
