#pragma once

namespace ccp {

class TForm1;

namespace rules {
// Binds every editor rule to the events of its controls.
void bindAll(TForm1& form);

// After an image from a file or a pager has been decoded: the frequency is padded and snapped,
// the folders follow the message types, and the capcodes are padded with their frames shown.
void afterImageLoaded(TForm1& form);
}  // namespace rules

}  // namespace ccp
