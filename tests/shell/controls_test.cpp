#include "shell/controls.h"

#include <gtest/gtest.h>

namespace ccp {
namespace {

// Runs user actions at once and counts what reaches the window.
class RecordingHost : public ControlHost {
 public:
  void runUserAction(const std::function<void()>& action) override {
    ++actions;
    action();
  }
  void moveFocusTo(Control&) override {}
  void controlChanged(Control&) override { ++changes; }

  int actions = 0;
  int changes = 0;
};

TEST(CheckBoxClick, OnlyAnEnabledVisibleBoxToggles) {
  struct Case {
    const char* name;
    bool enabled;
    bool visible;
    bool toggles;
  } cases[] = {{"enabled", true, true, true},
               {"disabled", false, true, false},
               {"hidden", true, false, false},
               {"disabled and hidden", false, false, false}};
  for (const auto& c : cases) {
    for (const bool checked : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (checked ? ", checked" : ", unchecked"));
      RecordingHost host;
      CheckBox box(host, "handprogram", "Hand program");
      box.setChecked(checked);
      box.setEnabled(c.enabled);
      box.setVisible(c.visible);
      int clicks = 0;
      box.onClick = [&clicks] { ++clicks; };
      const int changes = host.changes;

      box.click();
      EXPECT_EQ(box.checked(), c.toggles ? !checked : checked);
      EXPECT_EQ(clicks, c.toggles ? 1 : 0) << "click rule runs";
      EXPECT_EQ(host.actions, c.toggles ? 1 : 0) << "user actions";
      EXPECT_EQ(host.changes - changes, c.toggles ? 1 : 0) << "changes shown";
    }
  }
}

}  // namespace
}  // namespace ccp
