#pragma once

namespace ccp {

class TForm1;

namespace rules {

void bindMsgtypeRules(TForm1& form);
// Withdraws every folder when no address in use is public; otherwise offers the heads of the
// two folder chains again.
void msgtypeChange(TForm1& form);

}  // namespace rules
}  // namespace ccp
