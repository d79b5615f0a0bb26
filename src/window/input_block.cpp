#include "window/input_block.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <vector>

namespace ccp::qt {

namespace {

bool isUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::NativeGesture:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return true;
    default:
      return false;
  }
}

// The window an event's receiver belongs to: a widget's own window, a native window, or for
// anything else (an action, a shortcut) the window of its nearest widget.
bool belongsTo(QObject* receiver, const QWidget* window) {
  if (auto* handle = qobject_cast<QWindow*>(receiver)) return handle == window->windowHandle();
  for (QObject* o = receiver; o != nullptr; o = o->parent()) {
    if (auto* widget = qobject_cast<QWidget*>(o)) return widget->window() == window;
  }
  return false;
}

// The windows beside the main one whose input a command drops as well.
std::vector<QPointer<QWidget>> besideWindows;

class InputDropper : public QObject {
 public:
  explicit InputDropper(QWidget* window) : window_(window) {}

  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (window_ == nullptr || !isUserInput(event->type()) || !isDropped(receiver)) return false;
    // Taken as overridden, so no shortcut of the window fires; the key that follows is dropped.
    if (event->type() == QEvent::ShortcutOverride) event->accept();
    return true;
  }

 private:
  bool isDropped(QObject* receiver) const {
    if (belongsTo(receiver, window_)) return true;
    for (const QPointer<QWidget>& beside : besideWindows) {
      if (beside != nullptr && belongsTo(receiver, beside)) return true;
    }
    return false;
  }

  QPointer<QWidget> window_;
};

InputDropper* dropper = nullptr;
int depth = 0;

}  // namespace

InputBlock::InputBlock(QWidget* window) {
  if (depth++ > 0) return;
  dropper = new InputDropper(window);
  QCoreApplication::instance()->installEventFilter(dropper);
}

InputBlock::~InputBlock() {
  if (depth > 1) {
    --depth;
    return;
  }
  // Input that reached the window system while the command ran is delivered now, and dropped.
  QGuiApplication::sync();
  --depth;
  QCoreApplication::instance()->removeEventFilter(dropper);
  delete dropper;
  dropper = nullptr;
}

bool InputBlock::active() {
  return depth > 0;
}

void InputBlock::alsoFor(QWidget* window) {
  std::erase_if(besideWindows, [](const QPointer<QWidget>& w) { return w == nullptr; });
  besideWindows.emplace_back(window);
}

void keepWindowPainted() {
  QCoreApplication::processEvents(InputBlock::active() ? QEventLoop::AllEvents
                                                       : QEventLoop::ExcludeUserInputEvents);
}

}  // namespace ccp::qt
