#pragma once

#include <string>

namespace ccp {

class TForm1;

// Folder K's digit in control names: "0" to "9", "A" to "F".
std::string folderDigit(int k);

// Builds every control and menu item of the window at its default.
class FormBuilder {
 public:
  static void build(TForm1& form);
};

}  // namespace ccp
