#include "commands/menu_hold.h"

#include "shell/form.h"

namespace ccp {

namespace {

constexpr const char* kHeldItems[] = {
    "Open1",           "Save1",          "OpenBackup1",       "BackupBeforeWrite1",
    "LPT11",           "LPT21",          "WriteToPager",      "ReadFromPager",
    "TestProgrammer1", "PagerRegister1", "RegisterSettings1", "ReleaseCapcode1"};

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

}  // namespace ccp
