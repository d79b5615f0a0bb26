#include "rules/msgtype_rules.h"

#include "rules/rule_support.h"
#include "shell/form.h"

namespace ccp::rules {

void msgtypeChange(TForm1& form) {
  int notPublic = 0;
  for (int n = 1; n <= 6; ++n) {
    ComboBox& type = form.comboBox(rowName("msgtype", n));
    // A list with no selection counts as public; a row not in use never does.
    const bool isPublic = type.enabled() && type.index() != 0;
    if (!isPublic) ++notPublic;
  }
  if (notPublic == 6) {
    for (int k = 0; k < 16; ++k) {
      CheckBox& active = form.checkBox(folderName("pubboxact", k));
      active.setChecked(false);
      active.setEnabled(false);
      form.textField(folderName("pubbox", k)).setEnabled(false);
      form.textField(folderName("pubboxlength", k)).setEnabled(false);
    }
    return;
  }
  form.checkBox("pubboxact0").setEnabled(true);
  form.checkBox("pubboxact8").setEnabled(true);
}

void bindMsgtypeRules(TForm1& form) {
  for (int n = 1; n <= 6; ++n) {
    form.comboBox(rowName("msgtype", n)).onChange = [&form] { msgtypeChange(form); };
  }
}

}  // namespace ccp::rules
