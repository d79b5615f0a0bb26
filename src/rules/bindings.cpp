#include "rules/bindings.h"

#include "rules/setting_rules.h"

namespace ccp::rules {

void bindAll(TForm1& form) { bindSettingRules(form); }

}  // namespace ccp::rules
