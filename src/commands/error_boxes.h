#pragma once

#include <string>

namespace ccp {

// How many error boxes a face has shown: a change typed into the window was refused when one
// came up while it was typed.
class ErrorBoxes {
 public:
  virtual ~ErrorBoxes() = default;
  virtual int errorBoxes() const = 0;
  // The last box's message, for a face that shows none and says it in its own words; empty for
  // one that showed it (a terminal prints it as it comes).
  virtual std::string lastErrorBox() const { return {}; }
};

}  // namespace ccp
