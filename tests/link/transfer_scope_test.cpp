#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include "link/link_fixture.h"

namespace ccp::testing {
namespace {

// Counts the port accesses on their way to the simulated Programmer; may fail at one of them.
class CountingPort : public PortIo {
 public:
  explicit CountingPort(PortIo& inner) : inner_(inner) {}
  bool obtainAccess() override { return inner_.obtainAccess(); }
  std::uint8_t in(std::uint16_t address) override {
    count();
    return inner_.in(address);
  }
  void out(std::uint16_t address, std::uint8_t value) override {
    count();
    inner_.out(address, value);
  }
  bool signalSafe() const override { return false; }

  unsigned accesses = 0;
  std::optional<unsigned> failAt;

 private:
  void count() {
    if (failAt && accesses == *failAt) throw std::runtime_error("port gone");
    ++accesses;
  }
  PortIo& inner_;
};

// Notes, at each transfer hook, how many port accesses had happened.
class HookClock : public testkit::VirtualClock {
 public:
  void transferBegins() override { begins.push_back(port->accesses); }
  void transferEnds() override { ends.push_back(port->accesses); }

  const CountingPort* port = nullptr;
  std::vector<unsigned> begins;
  std::vector<unsigned> ends;
};

class TransferScopeTest : public ::testing::Test {
 protected:
  TransferScopeTest() { clock.port = &port; }

  HookClock clock;
  sim::SimulatedProgrammer programmer{clock, kLpt1Base};
  CountingPort port{programmer};
  ProgrammerLink link{port, clock, [] { return kLpt1Base; }};
  Eep eep = patternEep(3);
  DecoderBytes block = patternDecoder(4);
};

// Every port access of a transfer lies between its two hooks, whatever the transfer's result.
TEST_F(TransferScopeTest, EachTransferIsOneScopeAroundAllItsPortAccesses) {
  const std::pair<const char*, std::function<void()>> transfers[] = {
      {"EEPROM write", [&] { link.eeprom().EepTransfer("04", "w", eep); }},
      {"EEPROM read", [&] { link.eeprom().EepTransfer("04", "r", eep); }},
      {"decoder write", [&] { link.decoder().DecoderWriteBlock(block); }},
      {"decoder read", [&] { link.decoder().DecoderReadBlock(block); }},
      {"decoder verify", [&] { link.decoder().DecoderVerifyBlock(block); }},
      {"EEPROM write, no chip",
       [&] {
         programmer.eepromChip().setPresent(false);
         link.eeprom().EepTransfer("04", "w", eep);
       }},
      {"decoder read, refused at record 2",
       [&] {
         programmer.decoderChip().failAckAtByte(13);
         link.decoder().DecoderReadBlock(block);
       }},
  };
  for (const auto& [name, transfer] : transfers) {
    SCOPED_TRACE(name);
    clock.begins.clear();
    clock.ends.clear();
    const unsigned before = port.accesses;
    transfer();
    EXPECT_EQ(clock.begins, std::vector<unsigned>{before});
    EXPECT_EQ(clock.ends, std::vector<unsigned>{port.accesses});
    EXPECT_GT(port.accesses, before);
  }
}

TEST_F(TransferScopeTest, RefusedEepromTransferIsNoTransfer) {
  EXPECT_EQ(link.eeprom().EepTransfer("99", "w", eep), kEepRefused);
  EXPECT_TRUE(clock.begins.empty());
  EXPECT_TRUE(clock.ends.empty());
}

TEST_F(TransferScopeTest, TransferEndsAlsoWhenThePortFailsMidway) {
  const std::pair<const char*, std::function<void()>> transfers[] = {
      {"EEPROM", [&] { link.eeprom().EepTransfer("04", "r", eep); }},
      {"decoder", [&] { link.decoder().DecoderWriteBlock(block); }},
  };
  for (const auto& [name, transfer] : transfers) {
    SCOPED_TRACE(name);
    clock.begins.clear();
    clock.ends.clear();
    port.failAt = port.accesses + 40;
    EXPECT_THROW(transfer(), std::runtime_error);
    port.failAt.reset();
    EXPECT_EQ(clock.begins.size(), 1u);
    EXPECT_EQ(clock.ends.size(), 1u);
  }
}

}  // namespace
}  // namespace ccp::testing
