#pragma once

namespace ccp {

// Every wait of the program. Each call lasts at least the time asked, never less.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual void waitUs(unsigned us) = 0;   // short bus steps (busy wait)
  virtual void waitMs(unsigned ms) = 0;   // decoder pauses (busy wait on hardware)
  virtual void sleepMs(unsigned ms) = 0;  // longer pauses: thread sleep

  // One transfer with the pager runs between these calls. The real clock gives the thread a
  // higher priority there, so a busy machine does not stretch the waits; others ignore them.
  virtual void transferBegins() {}
  virtual void transferEnds() {}

  // One pager command, with all its transfers, runs between these calls. A real-time priority
  // that had to be asked of the desktop is asked once for the command and kept to its end.
  virtual void commandBegins() {}
  virtual void commandEnds() {}
};

// Tells the clock a transfer, or a pager command, runs for as long as the scope lasts,
// whichever way it is left.
template <void (Clock::*begins)(), void (Clock::*ends)()>
class ClockScope {
 public:
  explicit ClockScope(Clock& clock) : clock_(clock) { (clock_.*begins)(); }
  ~ClockScope() { (clock_.*ends)(); }
  ClockScope(const ClockScope&) = delete;
  ClockScope& operator=(const ClockScope&) = delete;

 private:
  Clock& clock_;
};

using TransferScope = ClockScope<&Clock::transferBegins, &Clock::transferEnds>;
using CommandScope = ClockScope<&Clock::commandBegins, &Clock::commandEnds>;

}  // namespace ccp
