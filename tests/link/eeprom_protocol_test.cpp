#include "link/eeprom_protocol.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "link/link_fixture.h"

namespace ccp::testing {
namespace {

using Kind = sim::WireEvent::Kind;

// The first device bytes after each start condition, in order.
std::vector<std::uint8_t> deviceBytes(const sim::WireLog& log) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < log.size(); ++i)
    if (log[i].kind == Kind::Start && log[i + 1].kind == Kind::Byte)
      bytes.push_back(log[i + 1].value);
  return bytes;
}

class EepromTest : public LinkTest {};

TEST_F(EepromTest, ReadFillsTheBufferFromOneSequentialRead) {
  programmer.setEeprom(patternEep(3));
  Eep buffer{};
  EXPECT_EQ(eeprom().EepTransfer("04", "r", buffer), kEepReadDone);
  EXPECT_EQ(buffer, patternEep(3));
  EXPECT_EQ(deviceBytes(programmer.wireLog()), (std::vector<std::uint8_t>{0xA0, 0xA1}));
  expectLinesAtRest();
  expectNoViolations();
}

// An acknowledge after the last byte would ask the chip for address 0's byte, whose zero
// bit 7 would then hold SDA low through the stop.
TEST_F(EepromTest, ReadLeavesTheLastByteUnacknowledgedSoTheStopIsSeen) {
  Eep memory = patternEep(3);
  memory[0] = 0x00;
  memory[511] = 0x5A;
  programmer.setEeprom(memory);
  Eep buffer{};
  EXPECT_EQ(eeprom().EepTransfer("04", "r", buffer), kEepReadDone);
  EXPECT_EQ(buffer, memory);
  EXPECT_TRUE(wire().ends_with(" 5A- P P down")) << wire().substr(wire().size() - 40);
  expectNoViolations();
}

TEST_F(EepromTest, WriteStoresEveryPageAndVerifies) {
  Eep buffer = patternEep(9);
  EXPECT_EQ(eeprom().EepTransfer("04", "w", buffer), kEepWriteVerified);
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), programmer.eeprom().begin()));

  // 32 pages, the upper 16 through the block bit, then the read-back.
  std::vector<std::uint8_t> expected(32, 0xA2);
  std::fill_n(expected.begin(), 16, 0xA0);
  expected.push_back(0xA0);
  expected.push_back(0xA1);
  EXPECT_EQ(deviceBytes(programmer.wireLog()), expected);
  expectLinesAtRest();
  expectNoViolations();
}

TEST_F(EepromTest, ReadBackDifferenceGivesVerifyFailed) {
  struct Case {
    const char* name;
    void (*fault)(sim::Eeprom24C04&);
  };
  const Case cases[] = {
      {"byte not stored", [](sim::Eeprom24C04& c) { c.failStoreAt(300); }},
      {"bit flipped on the way back", [](sim::Eeprom24C04& c) { c.flipOnRead(511, 0x01); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::SimulatedProgrammer pager(clock);
    ProgrammerLink l(pager, clock, [] { return kLpt1Base; });
    c.fault(pager.eepromChip());
    Eep buffer = patternEep(1);
    EXPECT_EQ(l.eeprom().EepTransfer("04", "w", buffer), kEepVerifyFailed);
  }
}

TEST_F(EepromTest, WithoutAChipReadSeesAReleasedLineAndWriteFailsAtTheFirstDataByte) {
  programmer.eepromChip().setPresent(false);
  Eep buffer{};
  EXPECT_EQ(eeprom().EepTransfer("04", "r", buffer), kEepReadDone);
  Eep filled;
  filled.fill(0xFF);
  EXPECT_EQ(buffer, filled);

  programmer.clearRecords();
  EXPECT_EQ(eeprom().EepTransfer("04", "w", buffer), kEepWriteFailed);
  // The master releasing SDA in the unanswered ninth clock reads as a stop on the wire.
  EXPECT_EQ(wire(), "up P S A0- P P P down");
  expectLinesAtRest();
}

TEST_F(EepromTest, RefusedAcknowledgeEndsTheWriteWithEarlierPagesStored) {
  // Bytes of a page: device byte, address, 16 data; page 5 starts at byte 5 * 18 + 1.
  programmer.eepromChip().failAckAtByte(5 * 18 + 3 + 4);
  Eep buffer = patternEep(5);
  EXPECT_EQ(eeprom().EepTransfer("04", "w", buffer), kEepWriteFailed);
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 80, programmer.eeprom().begin()));
  EXPECT_TRUE(std::all_of(programmer.eeprom().begin() + 96, programmer.eeprom().end(),
                          [](std::uint8_t b) { return b == 0; }));
  expectLinesAtRest();
}

TEST_F(EepromTest, ModeRorLowerRReadsAnyOtherModeWrites) {
  const std::pair<const char*, std::uint8_t> cases[] = {
      {"R", kEepReadDone},      {"r", kEepReadDone},       {"w", kEepWriteVerified},
      {"W", kEepWriteVerified}, {"rw", kEepWriteVerified}, {"", kEepWriteVerified},
  };
  for (const auto& [mode, result] : cases) {
    SCOPED_TRACE(mode);
    Eep buffer{};
    EXPECT_EQ(eeprom().EepTransfer("04", mode, buffer), result);
  }
}

TEST_F(EepromTest, TypeTextIsReadAsADecimalNumber) {
  Eep buffer = patternEep(2);
  programmer.setEeprom(buffer);
  ASSERT_EQ(eeprom().EepTransfer("04", "r", buffer), kEepReadDone);
  const std::string withZero = wire();
  programmer.clearRecords();
  ASSERT_EQ(eeprom().EepTransfer("4", "r", buffer), kEepReadDone);
  EXPECT_EQ(wire(), withZero);
}

TEST_F(EepromTest, UnknownTypeOrShortBufferIsRefusedWithoutTouchingThePort) {
  Eep buffer{};
  for (const char* type : {"3", "5003", "128", "", "abc", "4 ", "-4"}) {
    SCOPED_TRACE(type);
    EXPECT_EQ(eeprom().EepTransfer(type, "r", buffer), kEepRefused);
  }
  std::array<std::uint8_t, 511> shortBuffer{};
  EXPECT_EQ(eeprom().EepTransfer("04", "w", shortBuffer), kEepRefused);
  EXPECT_TRUE(programmer.addressesUsed().empty());
  EXPECT_TRUE(clock.sleeps().empty());
}

TEST_F(EepromTest, ProgressIsReportedPerPage) {
  Eep buffer = patternEep(4);
  std::vector<std::pair<std::string, int>> seen;
  eeprom().EepTransfer("04", "w", buffer, [&](std::string_view step, int done, int total) {
    if (step == "EEPROM write") {
      EXPECT_EQ(total, 32);
    }
    seen.emplace_back(std::string(step), done);
  });
  // 32 pages, then the read-back in 32 steps of 16 bytes.
  ASSERT_EQ(seen.size(), 64u);
  EXPECT_EQ(seen.front(), (std::pair<std::string, int>{"EEPROM write", 1}));
  EXPECT_EQ(seen[31], (std::pair<std::string, int>{"EEPROM write", 32}));
  EXPECT_EQ(seen.back(), (std::pair<std::string, int>{"EEPROM verify", 32}));
}

}  // namespace
}  // namespace ccp::testing
