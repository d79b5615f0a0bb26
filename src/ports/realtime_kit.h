#pragma once

#include <string>

namespace ccp {

// The desktop's RealtimeKit (rtkit-daemon on the system bus): it gives a thread of a process
// without privilege round-robin real-time priority, where polkit allows the user (a local
// session, by default) and the process has limited its RLIMIT_RTTIME as the daemon requires.
class RealtimeKit {
 public:
  struct Answer {
    int priority = 0;      // the SCHED_RR priority the thread got; 0 when it got none
    bool reached = false;  // the daemon answered at all
    std::string refusal;   // why not, in the bus's or the daemon's words
  };

  virtual ~RealtimeKit() = default;
  // Asks for the calling thread at `wanted`, or at the highest the daemon hands out if that is
  // lower. The process's RLIMIT_RTTIME is lowered to the daemon's bound before asking.
  virtual Answer makeThreadRealtime(int wanted) = 0;
};

// A daemon that has not answered a call within this long is given up, and not reached: a
// transfer then runs at normal priority rather than wait for it.
inline constexpr int kRealtimeKitAnswerMs = 1000;

// RealtimeKit on the system bus ($DBUS_SYSTEM_BUS_ADDRESS where set).
RealtimeKit& systemRealtimeKit();

}  // namespace ccp
