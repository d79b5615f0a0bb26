#pragma once

namespace ccp {

class TForm1;

namespace rules {
void bindSettingRules(TForm1& form);
void firmwareversionChange(TForm1& form);
}  // namespace rules

}  // namespace ccp
