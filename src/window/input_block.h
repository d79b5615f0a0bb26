#pragma once

class QWidget;

namespace ccp::qt {

// While a command runs, the user's input to the main window is dropped, not deferred: the
// command keeps the window painted by processing its events, and nothing clicked, typed,
// scrolled or dropped on the window meanwhile may run, neither then nor after the command.
// Dialogs and error boxes that the command opens are windows of their own and keep their
// input. Blocks nest; the outermost one ends the dropping.
class InputBlock {
 public:
  explicit InputBlock(QWidget* window);
  // Drains the input still on its way, dropping it, before the window takes input again.
  ~InputBlock();
  InputBlock(const InputBlock&) = delete;
  InputBlock& operator=(const InputBlock&) = delete;

  static bool active();
  // Another window of the program, open beside the main one (not opened by a command): its
  // input is dropped too while a command runs, so nothing it does runs inside a transfer.
  static void alsoFor(QWidget* window);
};

// Repaints during a long wait of a command: every pending event is processed while an
// InputBlock drops the input; without one, user input waits for the event loop.
void keepWindowPainted();

}  // namespace ccp::qt
