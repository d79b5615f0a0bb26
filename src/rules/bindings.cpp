#include "rules/bindings.h"

#include "rules/address_rules.h"
#include "rules/folder_rules.h"
#include "rules/msgtype_rules.h"
#include "rules/setting_rules.h"

namespace ccp::rules {

void bindAll(TForm1& form) {
  bindAddressRules(form);
  bindFolderRules(form);
  bindMsgtypeRules(form);
  bindSettingRules(form);
}

void afterImageLoaded(TForm1& form) {
  channelfreqExit(form);
  msgtypeChange(form);
  for (int n = 1; n <= 6; ++n) addressExit(form, n);
}

}  // namespace ccp::rules
