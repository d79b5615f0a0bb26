#pragma once

#include <functional>

namespace ccp {

// Whether the user asked the command under way to stop (Ctrl-C on a terminal). The transfers
// ask at every point where the pager is consistent: before one powers the lines, and after each
// EEPROM page, decoder record or run of read bytes but the last, after which nothing is left
// to stop (a write's read-back then runs to its end). Once the answer was yes, the transfer
// under way ends there with the lines at rest, and every later one ends before it starts.
class TransferStop {
 public:
  TransferStop() = default;
  explicit TransferStop(std::function<bool()> requested) : requested_(std::move(requested)) {}

  bool here() {
    if (!stopped_ && requested_ && requested_()) stopped_ = true;
    return stopped_;
  }
  bool stopped() const { return stopped_; }

 private:
  std::function<bool()> requested_;
  bool stopped_ = false;
};

}  // namespace ccp
