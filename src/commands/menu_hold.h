#pragma once

#include <utility>
#include <vector>

namespace ccp {

class MenuItem;
class TForm1;

// While a command holds the window (a dialog, a transfer), the items that start a command on the
// pager, the files or the port show as disabled. Each gets back the state it had when the hold
// began, however the command ends: an item that start-up disabled stays disabled.
class MenuHold {
 public:
  explicit MenuHold(TForm1& form);
  ~MenuHold();
  MenuHold(const MenuHold&) = delete;
  MenuHold& operator=(const MenuHold&) = delete;

 private:
  std::vector<std::pair<MenuItem*, bool>> held_;
};

}  // namespace ccp
