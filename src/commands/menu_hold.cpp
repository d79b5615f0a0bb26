#include "commands/menu_hold.h"

#include "shell/form.h"

namespace ccp {

namespace {

constexpr const char* kHeldItems[] = {"Open1", "Save1",        "LPT11",
                                      "LPT21", "WriteToPager", "ReadFromPager"};
constexpr const char* kHoldingCommands[] = {"Open1", "Save1", "WriteToPager", "ReadFromPager"};

}  // namespace

MenuHold::MenuHold(TForm1& form) {
  for (const char* name : kHeldItems) {
    MenuItem& item = form.menuItem(name);
    held_.emplace_back(&item, item.enabled());
    item.setEnabled(false);
  }
}

MenuHold::~MenuHold() {
  for (auto& [item, enabled] : held_) item->setEnabled(enabled);
}

void holdMenuDuringCommands(TForm1& form) {
  for (const char* name : kHoldingCommands) {
    Handler& click = form.menuItem(name).onClick;
    click = [&form, command = click] {
      const MenuHold hold(form);
      command();
    };
  }
}

}  // namespace ccp
