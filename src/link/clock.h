#pragma once

namespace ccp {

// Every wait of the program. Each call lasts at least the time asked, never less.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual void waitUs(unsigned us) = 0;   // short bus steps (busy wait)
  virtual void waitMs(unsigned ms) = 0;   // decoder pauses (busy wait on hardware)
  virtual void sleepMs(unsigned ms) = 0;  // longer pauses: thread sleep
};

}  // namespace ccp
