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
};

// Tells the clock a transfer runs for as long as the scope lasts, whichever way it is left.
class TransferScope {
 public:
  explicit TransferScope(Clock& clock) : clock_(clock) { clock_.transferBegins(); }
  ~TransferScope() { clock_.transferEnds(); }
  TransferScope(const TransferScope&) = delete;
  TransferScope& operator=(const TransferScope&) = delete;

 private:
  Clock& clock_;
};

}  // namespace ccp
