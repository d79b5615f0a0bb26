#include "link/lines.h"

#include <gtest/gtest.h>

#include "link/link_fixture.h"
#include "link/rest_on_exit.h"
#include "testkit/fake_port.h"

namespace ccp::testing {
namespace {

class LinesTest : public LinkTest {};

// Every transfer kind, successful or failing, as one table.
struct Transfer {
  const char* name;
  void (*arrange)(sim::SimulatedProgrammer&);
  bool (*run)(ProgrammerLink&);
};

const Transfer kTransfers[] = {
    {"EEPROM read", [](sim::SimulatedProgrammer&) {},
     [](ProgrammerLink& l) {
       Eep b{};
       return l.eeprom().EepTransfer("04", "r", b) == kEepReadDone;
     }},
    {"EEPROM write", [](sim::SimulatedProgrammer&) {},
     [](ProgrammerLink& l) {
       Eep b = patternEep(1);
       return l.eeprom().EepTransfer("04", "w", b) == kEepWriteVerified;
     }},
    {"EEPROM write refused", [](sim::SimulatedProgrammer& p) { p.setNoPager(true); },
     [](ProgrammerLink& l) {
       Eep b = patternEep(1);
       return l.eeprom().EepTransfer("04", "w", b) == kEepWriteFailed;
     }},
    {"decoder write", [](sim::SimulatedProgrammer&) {},
     [](ProgrammerLink& l) { return l.decoder().DecoderWriteBlock(patternDecoder(1)); }},
    {"decoder read refused", [](sim::SimulatedProgrammer& p) { p.setNoPager(true); },
     [](ProgrammerLink& l) {
       DecoderBytes b{};
       return !l.decoder().DecoderReadBlock(b);
     }},
};

TEST_F(LinesTest, TransfersChangeOnlyTheirOwnBitsAndEndAtRest) {
  const std::pair<std::uint8_t, std::uint8_t> initial[] = {{0x71, 0xF3}, {0x00, 0x00}};
  for (const Transfer& t : kTransfers) {
    for (const auto& [data, control] : initial) {
      SCOPED_TRACE(std::string(t.name) + " from data " + std::to_string(data));
      testkit::VirtualClock c;
      sim::SimulatedProgrammer p(c);
      ProgrammerLink l(p, c, [] { return kLpt1Base; });
      p.setDataRegister(data);
      p.setControlRegister(control);
      t.arrange(p);
      EXPECT_TRUE(t.run(l));
      EXPECT_EQ(p.dataRegister() & 0x71, data & 0x71) << "data bits 0, 4, 5, 6";
      EXPECT_EQ(p.controlRegister() & ~0x04, control & ~0x04) << "control bits but 2";
      EXPECT_EQ(p.dataRegister() & 0x8E, 0x06) << "SCL, SDA set; enable 1, 3 clear";
      EXPECT_NE(p.controlRegister() & 0x04, 0) << "enable 2 set";
      EXPECT_TRUE(p.violations().empty());
    }
  }
}

TEST_F(LinesTest, EveryOperationUsesThePortBaseCurrentAtThatMoment) {
  sim::SimulatedProgrammer onLpt2(clock, kLpt2Base);
  onLpt2.setEeprom(patternEep(8));
  std::uint16_t selected = kLpt2Base;
  ProgrammerLink l(onLpt2, clock, [&] { return selected; });

  Eep buffer{};
  EXPECT_EQ(l.eeprom().EepTransfer("04", "r", buffer), kEepReadDone);
  EXPECT_EQ(buffer, patternEep(8));
  EXPECT_EQ(onLpt2.addressesUsed(), (std::set<std::uint16_t>{632, 633, 634}));
  EXPECT_TRUE(onLpt2.foreignAddresses().empty());

  selected = kLpt1Base;  // the menu moved to LPT1: the Programmer on LPT2 is no longer reached
  onLpt2.clearRecords();
  EXPECT_EQ(l.eeprom().EepTransfer("04", "r", buffer), kEepReadDone);
  EXPECT_EQ(onLpt2.foreignAddresses(), (std::set<std::uint16_t>{888, 889, 890}));
  EXPECT_TRUE(onLpt2.wireLog().empty());
}

TEST_F(LinesTest, PresenceIsStatusBit5) {
  EXPECT_TRUE(link.lines().programmerPresent());
  programmer.setNoPower(true);
  EXPECT_FALSE(link.lines().programmerPresent());
  EXPECT_EQ(programmer.addressesUsed(), (std::set<std::uint16_t>{889}));
}

TEST_F(LinesTest, WithoutPowerNothingAnswers) {
  programmer.setNoPower(true);
  programmer.setEeprom(patternEep(1));
  Eep buffer{};
  EXPECT_EQ(eeprom().EepTransfer("04", "r", buffer), kEepReadDone);
  EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b == 0xFF; }));
  EXPECT_FALSE(decoder().DecoderWriteBlock(patternDecoder(1)));
  EXPECT_TRUE(programmer.wireLog().empty());
}

TEST_F(LinesTest, StepsCountedByTheLinesMatchTheStepsOnThePort) {
  Eep buffer = patternEep(2);
  eeprom().EepTransfer("04", "w", buffer);
  decoder().DecoderWriteBlock(patternDecoder(2));
  EXPECT_EQ(link.lines().stepCount(), programmer.lineSteps());
  EXPECT_GT(link.lines().stepCount(), 30'000u);
}

// A clock that only knows waitUs: each step falls back to a 30 microsecond wait.
class PlainClock : public Clock {
 public:
  void waitUs(unsigned us) override { waitedUs.push_back(us); }
  void waitMs(unsigned) override {}
  void sleepMs(unsigned) override {}
  std::vector<unsigned> waitedUs;
};

TEST_F(LinesTest, WithAPlainClockEachStepWaits30Us) {
  PlainClock plain;
  Lines lines(programmer, plain, [] { return kLpt1Base; });
  lines.SclHigh();
  lines.ReadSda();
  lines.LinesOn();
  lines.LinesOff();
  EXPECT_EQ(plain.waitedUs, (std::vector<unsigned>{30, 30}));
}

// What a second Ctrl-C writes from its handler, while a command holds the port: every line at
// rest, the other bits of the registers as they were; nothing once the command has ended.
TEST(RestOnExit, WritesTheRestLevelsWhileACommandHoldsThePort) {
  testkit::FakePort port;
  port.writesSignalSafe = true;
  port.out(888, 0x89);  // enable lines 1 and 3 on, SCL and SDA low, bit 0 set
  port.out(890, 0x01);  // enable line 2 at its transfer level, bit 0 set
  {
    const RestOnExit armed(port, 888);
    restLinesNow();
  }
  EXPECT_EQ(port.in(888), 0x07);
  EXPECT_EQ(port.in(890), 0x05);
  const std::size_t writes = port.writes.size();
  restLinesNow();
  EXPECT_EQ(port.writes.size(), writes);
}

}  // namespace
}  // namespace ccp::testing
