#pragma once

#include <QTabWidget>
#include <QTest>
#include <QWidget>

#include "app/data_folder.h"
#include "form_fixture.h"
#include "pager_fixture.h"
#include "register/pager_register.h"
#include "window/main_window.h"
#include "window/qt_platform.h"

namespace ccp::test {

template <typename W = QWidget>
W* findIn(QWidget& window, const char* name) {
  return window.findChild<W*>(QString::fromLatin1(name));
}

// Brings the page holding `widget` to the front and gives it the focus.
inline void focusOn(QWidget& window, QWidget* widget) {
  auto* pages = findIn<QTabWidget>(window, "PageControl1");
  for (int i = 0; i < pages->count(); ++i) {
    if (pages->widget(i)->isAncestorOf(widget)) pages->setCurrentIndex(i);
  }
  widget->setFocus(Qt::OtherFocusReason);
}

// The real window on a started form with a fake desktop, shown and active so that focus
// behaves as for a user.
struct WindowFixture {
  explicit WindowFixture(BuildConfig config = kE, bool access = true)
      : fx(config, access), window(fx.f()) {
    window.show();
    window.activateWindow();
    ready = QTest::qWaitForWindowActive(&window);
  }

  TForm1& f() { return fx.f(); }

  template <typename W = QWidget>
  W* find(const char* name) {
    return findIn<W>(window, name);
  }
  void focus(QWidget* widget) { focusOn(window, widget); }

  FormFixture fx;
  qt::MainWindow window;
  bool ready = false;
};

// A window on the simulated Programmer and the virtual clock.
struct SimulatorWindow {
  SimulatorWindow() : window(fx.f()) {}
  QAction* action(const char* name) {
    return window.findChild<QAction*>(QString::fromLatin1(name));
  }
  PagerFixture fx;
  qt::MainWindow window;
};

// The window with the Qt desktop services: real error boxes, dialogs and status bar.
struct QtWindowFixture {
  explicit QtWindowFixture(BuildConfig config = kE)
      : port(true, 0x20), form(config, platform, port, clock), window(form) {
    window.attachPlatform(platform);
    window.show();
    window.activateWindow();
    ready = QTest::qWaitForWindowActive(&window);
  }

  TForm1& f() { return form; }

  template <typename W = QWidget>
  W* find(const char* name) {
    return findIn<W>(window, name);
  }
  void focus(QWidget* widget) { focusOn(window, widget); }

  testkit::FakePort port;
  NoWaitClock clock;
  qt::QtPlatform platform;
  TForm1 form;
  qt::MainWindow window;
  bool ready = false;
};

// The register in the data folder with `pagers` writes a minute apart, oldest first: pager i
// got capcode 2004000 + i and serial 1000 + i. They are dated in the 2040s, after any command a
// test runs today, so they stay the newest records.
inline std::unique_ptr<PagerRegister> registerWith(int pagers) {
  auto store = openRegister(defaultRegisterLocation(userDataFolder()));
  std::vector<Record> records(static_cast<std::size_t>(pagers));
  for (int i = 0; i < pagers; ++i) {
    Record& r = records[static_cast<std::size_t>(i)];
    r.at = WallTime(std::chrono::minutes(37'000'000 + i));
    r.station = "station-2", r.command = "write", r.outcome = "Verify OK !";
    r.serial = std::to_string(1000 + i), r.capcodes[0] = std::to_string(2004000 + i);
  }
  store->addRecords(records);
  return store;
}

// An open conflict of `capcode`: a write under way at station-2 claimed it and was released
// by force.
inline void conflictOn(PagerRegister& store, int capcode) {
  const auto now = std::chrono::system_clock::now();
  store.claimWrite({{1, capcode, true}}, newWriter("station-2"), now, std::nullopt);
  store.release(capcode, {"station-2", now, ""}, true);
}

}  // namespace ccp::test
