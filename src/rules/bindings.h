#pragma once

namespace ccp {

class TForm1;

namespace rules {
// Binds every editor rule to the events of its controls.
void bindAll(TForm1& form);
}  // namespace rules

}  // namespace ccp
