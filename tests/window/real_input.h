#pragma once

// Real input through the X server for the real-window test, and a window whose transfers pause
// as the program's own clock does, so that the test can act as the user while one runs.

#include <QCursor>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QtTest>
#include <functional>
#include <utility>

#include "testkit/virtual_clock.h"
#include "window/input_block.h"
#include "window/qt_platform.h"

namespace ccp::test {

// Real input through the X server, as a user's devices send it.
inline void xdotool(const QStringList& arguments) {
  QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), arguments), 0);
}

inline void clickAt(const QPoint& global) {
  // A --sync move waits for the pointer to arrive: not to the place where it already is.
  if (QCursor::pos() == global) {
    xdotool({"click", "1"});
    return;
  }
  xdotool({"mousemove", "--sync", QString::number(global.x()), QString::number(global.y()), "click",
           "1"});
}

inline void typeKeys(const QString& text) {
  xdotool({"type", "--delay", "30", text});
}
inline void pressKey(const QString& key) {
  xdotool({"key", key});
}

// Virtual time, so a write takes milliseconds; but every pause of a transfer repaints the window
// as the program's own clock does, and the first one lets a test act as the user.
class PausingClock : public testkit::VirtualClock {
 public:
  std::function<void()> atFirstPause;

  void waitMs(unsigned ms) override {
    VirtualClock::waitMs(ms);
    pause();
  }
  void sleepMs(unsigned ms) override {
    VirtualClock::sleepMs(ms);
    pause();
  }

 private:
  void pause() {
    if (atFirstPause) std::exchange(atFirstPause, nullptr)();
    qt::keepWindowPainted();
  }
};

// The desktop of the program, where a test can act as the user once a command's progress has
// ended: the last moment the command lets the window process events.
class ActingPlatform : public qt::QtPlatform {
 public:
  std::function<void()> atEnd;

  void showProgress(const ProgressReport& report) override {
    QtPlatform::showProgress(report);
    if (report.ended() && atEnd) std::exchange(atEnd, nullptr)();
  }
};

// The transfer goes on for a while of real time, painting the window, as a real one does.
inline void keepTransferring(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    qt::keepWindowPainted();
    QThread::msleep(5);
  }
}

}  // namespace ccp::test
