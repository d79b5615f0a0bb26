#pragma once

namespace ccp {

// How many error boxes a face has shown: a change typed into the window was refused when one
// came up while it was typed.
class ErrorBoxes {
 public:
  virtual ~ErrorBoxes() = default;
  virtual int errorBoxes() const = 0;
};

}  // namespace ccp
