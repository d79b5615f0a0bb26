#pragma once

class QWidget;

namespace ccp::qt {

// Gives the window's menu commands their keyboard shortcuts. Menus show them beside the
// captions; the commands on the menu bar itself name theirs in their hints.
void addMenuShortcuts(QWidget& window);

}  // namespace ccp::qt
