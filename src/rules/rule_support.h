#pragma once

#include <functional>
#include <string>

#include "shell/controls.h"
#include "shell/form_controls.h"

namespace ccp {

class TForm1;

namespace rules {

// Control names of address row n (1 to 6) and folder k (0 to 15).
inline std::string rowName(const char* base, int n) {
  return base + std::to_string(n);
}
inline std::string folderName(const char* base, int k) {
  return base + folderDigit(k);
}

// A key rule that passes backspace and the characters `allowed` accepts; any other character
// is dropped with a beep, and with a log line when `message` is not empty.
KeyRule keyFilter(TForm1& form, std::function<bool(char)> allowed, std::string message);

// Appends blanks until the text is `width` characters long; longer texts stay as they are.
void padWithBlanks(TextField& field, std::size_t width);

inline bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace rules
}  // namespace ccp
