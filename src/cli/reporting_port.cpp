#include "cli/reporting_port.h"

#include <cstdio>
#include <utility>

#include "ports/port_registers.h"

namespace ccp::cli {

std::string secondsText(std::uint64_t ns) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", static_cast<double>(ns) / 1e9);
  return text;
}

bool ReportingPort::obtainAccess() {
  const bool granted = port_.obtainAccess();
  if (!granted) {
    tell("port access refused");
    return false;
  }
  tell("port access granted: LPT1 is " + label(kLpt1Base) + ", LPT2 is " + label(kLpt2Base));
  return true;
}

void ReportingPort::tell(std::string text) {
  if (heldBack_) {
    heldBack_->push_back(std::move(text));
  } else {
    report_(text);
  }
}

void ReportingPort::flushHeld() {
  if (!heldBack_) return;
  const std::vector<std::string> texts = std::exchange(heldBack_, std::nullopt).value();
  for (const std::string& text : texts) report_(text);
}

ReportingPort::Held& ReportingPort::held(std::uint16_t base) {
  return held_[base == kLpt2Base ? 1 : 0];
}

std::string ReportingPort::label(std::uint16_t base) const {
  const std::string name = port_.portName(base);
  return name.empty() ? "no port" : name;
}

bool ReportingPort::claim(std::uint16_t base) {
  Held& h = held(base);
  const bool got = port_.claim(base);
  const std::string name = (base == kLpt2Base ? "LPT2 (" : "LPT1 (") + label(base) + ")";
  if (!got) {
    tell("claim of " + name + " refused: another program holds it");
  } else if (h.depth++ == 0) {
    h.sinceNs = time_ != nullptr ? time_->nowNs() : 0;
    tell("claimed " + name);
  }
  return got;
}

void ReportingPort::release(std::uint16_t base) {
  port_.release(base);
  Held& h = held(base);
  if (h.depth == 0 || --h.depth > 0) return;
  std::string text = std::string("released ") + (base == kLpt2Base ? "LPT2" : "LPT1");
  if (time_ != nullptr) text += " after " + secondsText(time_->nowNs() - h.sinceNs);
  tell(text);
}

}  // namespace ccp::cli
