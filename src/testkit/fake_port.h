#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "link/port_io.h"

namespace ccp::testkit {

// A port with fixed answers: access granted or refused, and the register values read back.
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

  int accessRequests = 0;
  std::vector<std::uint16_t> reads;
  std::vector<std::pair<std::uint16_t, std::uint8_t>> writes;

 private:
  bool access_;
  std::map<std::uint16_t, std::uint8_t> registers_;
};

}  // namespace ccp::testkit
