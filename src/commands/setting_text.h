#pragma once

// A setting's value as text: typed into the window as the pager's characters, shown and
// printed in UTF-8 (image/pager_charset.h reads the pager's bytes).

#include <optional>
#include <string>
#include <string_view>

#include "image/build_config.h"
#include "shell/controls.h"

namespace ccp {

class TForm1;

// Text that may be printed: UTF-8 whose control characters show as \x1b or \u0085 and bytes
// that are no UTF-8 as \x85; a backslash shows as \\, so no two texts look alike.
std::string escaped(std::string_view utf8);

// A value given as text as the pager's bytes, or why it cannot be typed: it is no UTF-8, has a
// control character (no keyboard types one into the window), or a character the pager cannot
// hold.
struct TypedText {
  std::string bytes;
  std::optional<std::string> refusal;
};
TypedText typedText(Model model, std::string_view utf8);

// A control's value as the window shows it, in UTF-8: a text field's text, a list's chosen
// item, a check box's "on" or "off".
std::string shownValue(const TForm1& form, const Control& control);

// A value as show, diff and set print it: escaped(); a text with blanks at either end, or none
// at all, quoted.
std::string printedValue(ControlKind kind, const std::string& value);

}  // namespace ccp
