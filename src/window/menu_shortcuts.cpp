#include "window/menu_shortcuts.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

namespace ccp::qt {

namespace {

struct MenuShortcut {
  const char* item;
  QKeyCombination keys;
  const char* hint;  // for a command on the menu bar, where no shortcut is shown
};

// Not Ctrl+W for the write: other programs close their windows with it.
const MenuShortcut kShortcuts[] = {
    {"Open1", Qt::CTRL | Qt::Key_O, nullptr},
    {"Save1", Qt::CTRL | Qt::Key_S, nullptr},
    {"Exit1", Qt::CTRL | Qt::Key_Q, nullptr},
    {"ReadFromPager", Qt::CTRL | Qt::Key_R, "Read from pager"},
    {"WriteToPager", Qt::CTRL | Qt::SHIFT | Qt::Key_W, "Write to pager"},
};

}  // namespace

void addMenuShortcuts(QWidget& window) {
  for (const MenuShortcut& s : kShortcuts) {
    auto* action = window.findChild<QAction*>(QString::fromLatin1(s.item));
    if (action == nullptr) continue;
    const QKeySequence keys(s.keys);
    action->setShortcut(keys);
    if (s.hint != nullptr) {
      const QString hint = QStringLiteral("%1 (%2)").arg(QString::fromLatin1(s.hint),
                                                         keys.toString(QKeySequence::NativeText));
      action->setToolTip(hint);
      action->setStatusTip(hint);
    }
  }
}

}  // namespace ccp::qt
