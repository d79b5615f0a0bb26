#include "testkit/fault_checks.h"

#include "image/plain_text.h"
#include "link/wiring.h"

namespace ccp::testkit {

std::string linesNotAtRest(const sim::SimulatedProgrammer& programmer) {
  std::vector<std::string> wrong;
  for (const LineWiring& w : kWiring) {
    if (w.atRest == Level::Input) continue;
    const std::uint8_t reg =
        w.reg == PortRegister::Data ? programmer.dataRegister() : programmer.controlRegister();
    const bool set = (reg & w.mask) != 0;
    if (set != (w.atRest == Level::Set)) {
      wrong.push_back("line of mask " + std::to_string(w.mask) + (set ? " set" : " clear"));
    }
  }
  return joined(wrong, ", ");
}

std::vector<SentByte> bytesSentInTransfer(const sim::WireLog& log, unsigned powerUp) {
  using Kind = sim::WireEvent::Kind;
  std::vector<SentByte> sent;
  unsigned ups = 0;
  bool inside = false;
  std::size_t byteInTransaction = 0;
  bool reading = false;
  for (const sim::WireEvent& e : log) {
    if (e.kind == Kind::PowerUp) inside = ++ups == powerUp;
    if (e.kind == Kind::PowerDown) inside = false;
    if (!inside) continue;
    if (e.kind == Kind::Start || e.kind == Kind::Stop) {
      byteInTransaction = 0;
      reading = false;
      continue;
    }
    if (e.kind != Kind::Byte) continue;
    const std::size_t index = byteInTransaction++;
    if (index == 0) {
      reading = (e.value & 1) != 0;
      sent.push_back({SentByte::Role::Device, e.value});
    } else if (!reading) {
      sent.push_back({index == 1 ? SentByte::Role::Pointer : SentByte::Role::Data, e.value});
    }
  }
  return sent;
}

unsigned powerUpCount(const sim::WireLog& log) {
  unsigned ups = 0;
  for (const sim::WireEvent& e : log) ups += e.kind == sim::WireEvent::Kind::PowerUp ? 1 : 0;
  return ups;
}

}  // namespace ccp::testkit
