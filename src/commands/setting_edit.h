#pragma once

#include <optional>
#include <string>

#include "commands/error_boxes.h"

namespace ccp {

class TForm1;

struct Assignment {
  std::string name;
  std::string value;
};

// "NAME=VALUE"; nothing when there is no "=" or no name.
std::optional<Assignment> parseAssignment(const std::string& word);

// Changes one setting as the user would in the window. A text field is given the focus, its
// whole text selected and the value typed key by key, then left: its key rule, change rule,
// exit rule and clamps run. A key that the field fills in by itself (the point of the channel
// frequency) is not typed again. A list gets the item with the value's text chosen, then is
// left. A check box takes "on" or "off" and is clicked when that changes it.
// Returns why the window refused it: a dropped key (a key rule's, or one past the maximum
// length), an error box (as `boxes` counts them), a line the rules logged, or a control the user
// could not change. Nothing: taken. A rule that silently corrects the value (a clamp) is no
// refusal. A text is typed as the pager's characters: one that is no UTF-8, a control character or
// a character the pager cannot hold is refused.
std::optional<std::string> changeAsUser(TForm1& form, const ErrorBoxes& boxes,
                                        const Assignment& assignment);

// After a taken change, what the window made of a value that a rule clamped or padded:
// "contrast: 99 became 63". Nothing when the window shows the value as given.
std::optional<std::string> correction(TForm1& form, const Assignment& assignment);

}  // namespace ccp
