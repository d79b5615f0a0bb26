#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>

#include "link/link_fixture.h"
#include "sim/simulated_programmer.h"

namespace ccp::testing {
namespace {

constexpr std::uint64_t kMs = 1'000'000;

// The customer edition's write: read the EEPROM, write and verify the decoder, write the
// EEPROM with its read-back.
void customerWrite(ProgrammerLink& l, const Eep& eep, const DecoderBytes& dec) {
  Eep readBuffer{};
  ASSERT_EQ(l.eeprom().EepTransfer("04", "r", readBuffer), kEepReadDone);
  ASSERT_TRUE(l.decoder().DecoderWriteBlock(dec));
  ASSERT_TRUE(l.decoder().DecoderVerifyBlock(dec));
  Eep writeBuffer = eep;
  ASSERT_EQ(l.eeprom().EepTransfer("04", "w", writeBuffer), kEepWriteVerified);
}

std::set<std::string> rulesOf(const sim::SimulatedProgrammer& programmer) {
  std::set<std::string> rules;
  for (const auto& v : programmer.violations()) rules.insert(v.rule);
  return rules;
}

class SimulatorTest : public LinkTest {};

TEST_F(SimulatorTest, FullWriteSequenceKeepsEveryPromisedPause) {
  const auto started = std::chrono::steady_clock::now();
  customerWrite(link, patternEep(4), patternDecoder(4));
  expectNoViolations();
  // A little over 8.4 seconds of pager time, in a moment of real time.
  EXPECT_GT(clock.nowNs(), 8'300 * kMs);
  EXPECT_LT(clock.nowNs(), 8'600 * kMs);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

// A virtual clock that cuts one kind of wait short.
class ShortClock : public testkit::VirtualClock {
 public:
  enum class Cut { None, Step, WaitMs, SleepMs };
  Cut cut = Cut::None;
  unsigned which = 0;  // the waitMs/sleepMs length cut by one millisecond

  void waitMs(unsigned ms) override {
    VirtualClock::waitMs(cut == Cut::WaitMs && ms == which ? ms - 1 : ms);
  }
  void sleepMs(unsigned ms) override {
    VirtualClock::sleepMs(cut == Cut::SleepMs && ms == which ? ms - 1 : ms);
  }
  void waitUntilNs(std::uint64_t instantNs) override {
    VirtualClock::waitUntilNs(cut == Cut::Step ? instantNs - 1'000 : instantNs);
  }
};

TEST(SimulatorChecks, ACutWaitIsReportedAsAViolation) {
  struct Case {
    ShortClock::Cut cut;
    unsigned which;
    const char* rule;
  };
  const Case cases[] = {
      {ShortClock::Cut::Step, 0, "line step after line step"},
      {ShortClock::Cut::SleepMs, 500, "enable line 3 before bus activity"},
      {ShortClock::Cut::SleepMs, 200, "enable lines 1/2 before line 3"},
      {ShortClock::Cut::SleepMs, 30, "pause after an EEPROM page"},
      {ShortClock::Cut::SleepMs, 30, "pause after an EEPROM read"},
      {ShortClock::Cut::SleepMs, 10, "pause after the last EEPROM page"},
      {ShortClock::Cut::WaitMs, 40, "pause before a decoder data byte"},
      {ShortClock::Cut::WaitMs, 4, "pause after a decoder register"},
      {ShortClock::Cut::WaitMs, 30, "pause after a decoder record's data"},
      {ShortClock::Cut::WaitMs, 100, "pause after a decoder record store"},
      {ShortClock::Cut::WaitMs, 10, "pause after a decoder record read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    ShortClock clock;
    clock.cut = c.cut;
    clock.which = c.which;
    sim::SimulatedProgrammer programmer(clock);
    ProgrammerLink link(programmer, clock, [] { return kLpt1Base; });
    customerWrite(link, patternEep(1), patternDecoder(1));
    // The 30 ms sleep follows both every page and every read, so one cut breaks both.
    EXPECT_TRUE(rulesOf(programmer).contains(c.rule));
  }
}

// Transfers that keep every pause but take one step out of its order.
TEST(SimulatorChecks, AStepOutOfOrderIsReportedAsAViolation) {
  constexpr std::uint16_t kData = kLpt1Base;
  constexpr std::uint16_t kControl = kLpt1Base + 2;
  struct Case {
    const char* rule;
    void (*run)(ProgrammerLink&, sim::SimulatedProgrammer&, testkit::VirtualClock&);
  };
  const Case cases[] = {
      {"enable line 2 on before enable line 1",
       [](ProgrammerLink&, sim::SimulatedProgrammer& p, testkit::VirtualClock&) {
         p.out(kData, p.dataRegister() | 0x80);
         p.out(kControl, p.controlRegister() & ~0x04);
       }},
      {"enable line 1 off before enable line 2",
       [](ProgrammerLink& l, sim::SimulatedProgrammer& p, testkit::VirtualClock&) {
         l.lines().LinesOn();
         p.out(kControl, p.controlRegister() | 0x04);
         p.out(kData, p.dataRegister() & ~0x80);
       }},
      {"decoder: enable lines 1/2 off before line 3",
       [](ProgrammerLink& l, sim::SimulatedProgrammer&, testkit::VirtualClock&) {
         l.lines().LinesOn();
         l.bus().BusUp();
         DecoderRecord record{};
         ASSERT_TRUE(l.decoder().DecoderReadRecord(record));
         l.bus().BusDown();  // the EEPROM's closing order
         l.lines().LinesOff();
       }},
      {"EEPROM: line 3 off before enable lines 1/2",
       [](ProgrammerLink& l, sim::SimulatedProgrammer&, testkit::VirtualClock& c) {
         Bus& bus = l.bus();
         l.lines().LinesOn();
         c.sleepMs(EepromProtocol::kLinesOnSettleMs);
         bus.BusUp();
         bus.StartA();
         bus.SendByte(EepromProtocol::kDeviceWrite);
         ASSERT_TRUE(bus.GetAck());
         bus.StopA();
         l.lines().LinesOff();  // the decoder's closing order
         bus.BusDown();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    testkit::VirtualClock clock;
    sim::SimulatedProgrammer programmer(clock);
    ProgrammerLink link(programmer, clock, [] { return kLpt1Base; });
    c.run(link, programmer, clock);
    EXPECT_EQ(rulesOf(programmer), std::set<std::string>{c.rule});
  }
}

// After the last byte of a read the master must not acknowledge: a 24C04 that is asked for
// more drives the next byte, and a zero bit in it holds SDA low through the stop.
TEST(SimulatorChecks, AnAcknowledgedLastByteKeepsTheEepromSendingThroughTheStop) {
  Eep memory{};
  memory[511] = 0x5A;  // the byte read; the read then wraps to address 0, which holds 0x00
  for (const bool acknowledge : {false, true}) {
    SCOPED_TRACE(acknowledge ? "acknowledged" : "not acknowledged");
    testkit::VirtualClock c;
    sim::SimulatedProgrammer p(c);
    ProgrammerLink l(p, c, [] { return kLpt1Base; });
    p.setEeprom(memory);
    Bus& bus = l.bus();
    l.lines().LinesOn();
    c.sleepMs(EepromProtocol::kLinesOnSettleMs);
    bus.BusUp();
    p.clearRecords();
    bus.StartA();
    for (std::uint8_t byte : {0xA2, 0xFF}) {
      bus.SendByte(byte);
      bus.GetAck();
    }
    bus.StartA();
    bus.SendByte(0xA1);
    bus.GetAck();
    EXPECT_EQ(bus.ReceiveByte(), 0x5A);
    if (acknowledge) {
      bus.MasterAck();
    } else {
      l.lines().SclHigh();
      l.lines().SclLow();
    }
    bus.StopA();
    if (acknowledge) {
      EXPECT_EQ(sim::describe(p.wireLog()), "S A2+ FF+ S A1+ 5A+");
      EXPECT_EQ(rulesOf(p), std::set<std::string>{"stop condition while a chip sends"});
      EXPECT_FALSE(l.lines().ReadSda()) << "the chip still drives a zero";
    } else {
      EXPECT_EQ(sim::describe(p.wireLog()), "S A2+ FF+ S A1+ 5A- P");
      EXPECT_TRUE(p.violations().empty());
    }
  }
}

TEST_F(SimulatorTest, SamplingSdaTooSoonIsAViolation) {
  link.lines().LinesOn();
  link.bus().BusUp();
  programmer.out(kLpt1Base, programmer.dataRegister() ^ 0x04);
  programmer.in(kLpt1Base + 1);
  ASSERT_EQ(programmer.violations().size(), 1u);
  EXPECT_EQ(programmer.violations()[0].rule, "SDA sampled after a line step");
}

TEST_F(SimulatorTest, EepromPageWrapsInsideItsPageAndIsStoredAtTheStop) {
  Bus& bus = link.bus();
  link.lines().LinesOn();
  clock.sleepMs(200);
  bus.BusUp();
  bus.StartA();
  for (std::uint8_t byte : {0xA2, 0x0E, 0x11, 0x22, 0x33, 0x44}) {
    bus.SendByte(byte);
    EXPECT_TRUE(bus.GetAck());
  }
  EXPECT_EQ(programmer.eeprom()[0x10E], 0) << "nothing stored before the stop";
  bus.StopA();
  EXPECT_EQ(programmer.eeprom()[0x10E], 0x11);
  EXPECT_EQ(programmer.eeprom()[0x10F], 0x22);
  EXPECT_EQ(programmer.eeprom()[0x100], 0x33);
  EXPECT_EQ(programmer.eeprom()[0x101], 0x44);
  EXPECT_EQ(programmer.eeprom()[0x110], 0);

  // Busy storing: the device byte goes unanswered until the internal write is over.
  bus.StartA();
  bus.SendByte(0xA0);
  EXPECT_FALSE(bus.GetAck());
  clock.sleepMs(5);
  bus.StartA();
  bus.SendByte(0xA0);
  EXPECT_TRUE(bus.GetAck());
}

TEST_F(SimulatorTest, EepromSequentialReadRunsOnFromTheCounterAcrossTheBlocks) {
  programmer.setEeprom(patternEep(6));
  Bus& bus = link.bus();
  link.lines().LinesOn();
  bus.BusUp();
  bus.StartA();
  bus.SendByte(0xA0);
  bus.GetAck();
  bus.SendByte(0xFF);
  bus.GetAck();
  bus.StartA();
  bus.SendByte(0xA1);
  EXPECT_TRUE(bus.GetAck());
  EXPECT_EQ(bus.ReceiveByte(), patternEep(6)[0xFF]);
  bus.MasterAck();
  EXPECT_EQ(bus.ReceiveByte(), patternEep(6)[0x100]);
}

TEST_F(SimulatorTest, DecoderStoresARecordOnlyWhenTheModeReturnsFromTwoToZero) {
  link.lines().LinesOn();
  link.bus().BusUp();
  DecoderProtocol& d = decoder();
  const std::uint8_t data[] = {1, 2, 3, 4, 5, 6};
  ASSERT_TRUE(d.DecoderSetRegister(7, 16));
  ASSERT_TRUE(d.DecoderWriteRegisters(10, data));
  ASSERT_TRUE(d.DecoderSetRegister(0, 0));
  EXPECT_EQ(programmer.decoder()[12], 0) << "data outside mode 2 is not kept";

  ASSERT_TRUE(d.DecoderSetRegister(0, 2));
  ASSERT_TRUE(d.DecoderWriteRegisters(10, data));
  EXPECT_EQ(programmer.decoder()[12], 0) << "not before the mode goes back";
  ASSERT_TRUE(d.DecoderSetRegister(0, 0));
  EXPECT_EQ(programmer.decoder()[12], 1);
  EXPECT_EQ(programmer.decoder()[17], 6);
}

}  // namespace
}  // namespace ccp::testing
