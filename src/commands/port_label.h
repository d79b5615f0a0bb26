#pragma once

#include <string>

namespace ccp {

class TForm1;

// The port a command uses, as the user knows it: "LPT1", with the system port behind it when
// the port can name it ("LPT1 (/dev/parport0)", "LPT2 (0xd010)", "LPT1 (simulated Programmer)").
std::string portLabel(TForm1& form);

}  // namespace ccp
