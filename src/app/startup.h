#pragma once

namespace ccp {

class TForm1;

// The window's start-up, in order: the port base, the About line, port access and the
// Programmer's presence, the model and edition set-up, the title, and the firmware-version rule.
void startUp(TForm1& form);

}  // namespace ccp
