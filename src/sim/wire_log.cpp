#include "sim/wire_log.h"

#include <cstdio>
#include <vector>

#include "image/plain_text.h"

namespace ccp::sim {

std::string describe(const WireEvent& event) {
  switch (event.kind) {
    case WireEvent::Kind::PowerUp:
      return "up";
    case WireEvent::Kind::PowerDown:
      return "down";
    case WireEvent::Kind::Start:
      return "S";
    case WireEvent::Kind::Stop:
      return "P";
    case WireEvent::Kind::Byte:
      break;
  }
  char text[8];
  std::snprintf(text, sizeof text, "%02X%c", event.value, event.ack ? '+' : '-');
  return text;
}

std::string describe(const WireLog& log) {
  std::vector<std::string> events;
  for (const WireEvent& event : log) events.push_back(describe(event));
  return joined(events, " ");
}

}  // namespace ccp::sim
