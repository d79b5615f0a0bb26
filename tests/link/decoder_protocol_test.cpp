#include "link/decoder_protocol.h"

#include <gtest/gtest.h>

#include "link/link_fixture.h"

namespace ccp::testing {
namespace {

using Kind = sim::WireEvent::Kind;
constexpr std::uint64_t kMs = 1'000'000;

class DecoderTest : public LinkTest {};

TEST_F(DecoderTest, WrittenBlockReadsBackAndVerifies) {
  const DecoderBytes block = patternDecoder(5);
  ASSERT_TRUE(decoder().DecoderWriteBlock(block));
  EXPECT_TRUE(std::equal(block.begin(), block.end(), programmer.decoder().begin()));
  expectLinesAtRest();

  DecoderBytes back{};
  ASSERT_TRUE(decoder().DecoderReadBlock(back));
  EXPECT_EQ(back, block);
  EXPECT_TRUE(decoder().DecoderVerifyBlock(block));
  expectLinesAtRest();
  expectNoViolations();
}

TEST_F(DecoderTest, VerifyFailsOnADifferenceInTheLastByte) {
  const DecoderBytes block = patternDecoder(1);
  programmer.setDecoder(block);
  DecoderBytes expected = block;
  expected[47] ^= 0x80;
  EXPECT_FALSE(decoder().DecoderVerifyBlock(expected));
  EXPECT_TRUE(decoder().DecoderVerifyBlock(block));
}

TEST_F(DecoderTest, WithoutADecoderEveryBlockOperationFailsAtItsFirstAddressByte) {
  programmer.decoderChip().setPresent(false);
  DecoderBytes block = patternDecoder(2);
  const std::pair<const char*, std::function<bool()>> operations[] = {
      {"write", [&] { return decoder().DecoderWriteBlock(block); }},
      {"read", [&] { return decoder().DecoderReadBlock(block); }},
      {"verify", [&] { return decoder().DecoderVerifyBlock(block); }},
  };
  for (const auto& [name, operation] : operations) {
    SCOPED_TRACE(name);
    programmer.clearRecords();
    EXPECT_FALSE(operation());
    EXPECT_EQ(wire().substr(0, 13), "up P S 4E- P ") << wire();
    expectLinesAtRest();
  }
}

TEST_F(DecoderTest, FailedReadHasCopiedTheRecordsBeforeTheFailingOne) {
  programmer.setDecoder(patternDecoder(7));
  // A record read acknowledges 6 bytes: 4E 07 slot, 4E 0A, 4F. Record 3 starts at byte 19.
  programmer.decoderChip().failAckAtByte(19);
  DecoderBytes destination;
  destination.fill(0xEE);
  EXPECT_FALSE(decoder().DecoderReadBlock(destination));
  const DecoderBytes source = patternDecoder(7);
  EXPECT_TRUE(std::equal(source.begin(), source.begin() + 18, destination.begin()));
  EXPECT_TRUE(std::all_of(destination.begin() + 18, destination.end(),
                          [](std::uint8_t b) { return b == 0xEE; }));
  expectLinesAtRest();
}

TEST_F(DecoderTest, FailedWriteLeavesEarlierRecordsWrittenAndLaterOnesUntouched) {
  // A record write acknowledges 3 + 3 + 8 + 3 = 17 bytes; fail in the data of record 2.
  programmer.decoderChip().failAckAtByte(2 * 17 + 6 + 4);
  const DecoderBytes block = patternDecoder(3);
  EXPECT_FALSE(decoder().DecoderWriteBlock(block));
  EXPECT_TRUE(std::equal(block.begin(), block.begin() + 12, programmer.decoder().begin()));
  EXPECT_TRUE(std::all_of(programmer.decoder().begin() + 12, programmer.decoder().end(),
                          [](std::uint8_t b) { return b == 0; }));
  expectLinesAtRest();
}

TEST_F(DecoderTest, PointerTransactionSendsOnlyTheRegisterWithoutPause) {
  link.lines().LinesOn();
  link.bus().BusUp();
  programmer.clearRecords();
  const std::size_t waitsBefore = clock.busyWaits().size();
  EXPECT_TRUE(decoder().DecoderWriteRegisters(DecoderProtocol::kDataRegister, {}));
  EXPECT_EQ(wire(), "S 4E+ 0A+ P");
  EXPECT_EQ(clock.busyWaits().size(), waitsBefore);
}

TEST_F(DecoderTest, EveryRecordDataByteFollowsItsPredecessorByAtLeast40Ms) {
  ASSERT_TRUE(decoder().DecoderWriteBlock(patternDecoder(4)));
  const sim::WireLog& log = programmer.wireLog();
  int dataBytes = 0;
  // Data bytes are the bytes after "4E 0A" within one transaction.
  for (std::size_t i = 0; i + 2 < log.size(); ++i) {
    if (log[i].kind != Kind::Start || log[i + 1].value != 0x4E || log[i + 2].value != 0x0A)
      continue;
    for (std::size_t j = i + 3; j < log.size() && log[j].kind == Kind::Byte; ++j) {
      EXPECT_GE(log[j].timeNs - log[j - 1].timeNs, 40 * kMs);
      ++dataBytes;
    }
  }
  EXPECT_EQ(dataBytes, 48);
  expectNoViolations();
}

TEST_F(DecoderTest, RecordsGoToSlotsInStepsOfEight) {
  ASSERT_TRUE(decoder().DecoderWriteBlock(patternDecoder(6)));
  std::vector<std::uint8_t> slots;
  const sim::WireLog& log = programmer.wireLog();
  for (std::size_t i = 0; i + 3 < log.size(); ++i)
    if (log[i].kind == Kind::Start && log[i + 1].value == 0x4E && log[i + 2].value == 0x07)
      slots.push_back(log[i + 3].value);
  EXPECT_EQ(slots, (std::vector<std::uint8_t>{0, 8, 16, 24, 32, 40, 48, 56}));
}

TEST_F(DecoderTest, ProgressIsReportedPerRecord) {
  std::vector<int> done;
  DecoderBytes block{};
  decoder().DecoderReadBlock(block, [&](std::string_view step, int d, int total) {
    EXPECT_EQ(step, "Decoder read");
    EXPECT_EQ(total, 8);
    done.push_back(d);
  });
  EXPECT_EQ(done, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

}  // namespace
}  // namespace ccp::testing
