#include "shell/model_setup.h"

#include <string>

#include "shell/form.h"

namespace ccp {

void applyModel(TForm1& form) {
  if (form.config().model == Model::QPX730E) {
    form.textField("hellomsg1").setText("---QPX730E ---");
    form.comboBox("urgcalladdr").setVisible(false);
    form.label("L_urgcalladdr").setVisible(false);
    return;
  }
  form.textField("hellomsg1").setText("---QPX730H ---");
  TextField& freq = form.textField("channelfreq");
  freq.setEnabled(false);
  freq.setText("152.24000");
  form.comboBox("channelspace").setEnabled(false);
  form.comboBox("pll").setVisible(false);
  form.label("L_pll").setVisible(false);
  for (const char* name : {"language", "menulanguage"}) {
    ComboBox& list = form.comboBox(name);
    list.clearItems();
    list.insertItem(0, "English");
    list.insertItem(1, "Hebrew");
  }
  form.comboBox("language").setIndex(0);
  form.comboBox("menulanguage").setIndex(1);
  for (int n = 1; n <= 6; ++n) {
    for (char tone : {'A', 'B', 'C', 'D'}) {
      ComboBox& format =
          form.comboBox("addr" + std::to_string(n) + "format" + std::string(1, tone));
      format.removeItem(3);
      format.removeItem(2);
      format.insertItem(2, "Hebrew");
      format.insertItem(3, "Disable");
    }
  }
}

void applyEdition(TForm1& form) {
  if (form.config().edition == Edition::Customer) {
    form.textField("firmwareversion").setEnabled(false);
    form.textField("subversion").setEnabled(false);
    if (form.config().model == Model::QPX730E) form.comboBox("pll").setEnabled(false);
  }
}

}  // namespace ccp
