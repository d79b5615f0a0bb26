#include "rules/setting_rules.h"

#include <string>

#include "shell/form.h"

namespace ccp::rules {

void bindSettingRules(TForm1& form) {
  form.textField("firmwareversion").onChange = [&form] { firmwareversionChange(form); };
}

// Versions are compared as texts, character by character: "" and "1" and "12" are all below
// "2".
void firmwareversionChange(TForm1& form) {
  const std::string version = form.textField("firmwareversion").text();
  const int spacing = form.comboBox("channelspace").index();
  form.checkBox("handprogram").setEnabled(version >= "3" || spacing == 0 || spacing == 1);

  const bool identityShown = version >= "2";
  for (const char* name : {"serial", "rangetime", "L_serial", "L_rangetime", "L_rangetimeSec"}) {
    form.findControl(name)->setVisible(identityShown);
  }
  if (!identityShown) return;

  const bool longTimes = version >= "4";
  form.checkBox("outrangespecial").setVisible(longTimes);
  form.checkBox("lowbatteryspecial").setVisible(longTimes);
  const struct {
    const char* name;
    int shortDefault;
  } timeLists[] = {{"alerttime", 2}, {"msgdisptime", 3}};
  for (const auto& entry : timeLists) {
    ComboBox& list = form.comboBox(entry.name);
    if (longTimes) {
      if (list.count() == 4) list.insertItem(4, "64 sec");
    } else {
      list.removeItem(4);
      list.setIndex(entry.shortDefault);
    }
  }
}

}  // namespace ccp::rules
