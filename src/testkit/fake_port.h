#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "ports/port_io.h"

namespace ccp::testkit {

// A port with fixed answers: access granted or refused, claims granted or refused, and the
// register values read back.
class FakePort : public PortIo {
 public:
  explicit FakePort(bool access = true, std::uint8_t status = 0x20) : access_(access) {
    registers_[889] = status;
    registers_[633] = status;
  }
  bool obtainAccess() override {
    ++accessRequests;
    return access_;
  }
  std::uint8_t in(std::uint16_t address) override {
    reads.push_back(address);
    return registers_[address];
  }
  void out(std::uint16_t address, std::uint8_t value) override {
    writes.emplace_back(address, value);
    registers_[address] = value;
  }
  bool claim(std::uint16_t base) override {
    claims.push_back(base);
    if (refuseClaims) return false;
    ++held;
    return true;
  }
  void release(std::uint16_t base) override {
    releases.push_back(base);
    --held;
  }
  bool signalSafe() const override { return writesSignalSafe; }

  int accessRequests = 0;
  std::vector<std::uint16_t> reads;
  std::vector<std::pair<std::uint16_t, std::uint8_t>> writes;
  bool refuseClaims = false;          // as when another program holds the port
  std::vector<std::uint16_t> claims;  // the base of every claim asked, granted or not
  std::vector<std::uint16_t> releases;
  int held = 0;                   // claims granted and not yet released
  bool writesSignalSafe = false;  // as a system port's are

 private:
  bool access_;
  std::map<std::uint16_t, std::uint8_t> registers_;
};

}  // namespace ccp::testkit
