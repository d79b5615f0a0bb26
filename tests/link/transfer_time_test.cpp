#include "link/transfer_time.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "link/link_fixture.h"

namespace ccp::testing {
namespace {

class TransferTimeTest : public LinkTest {
 protected:
  // Runs a transfer and checks every report against the timing of its step: the time at each
  // report and the length of the whole transfer, on the virtual clock.
  void expectTimed(const std::function<void(const Progress&)>& transfer,
                   std::vector<LinkStep> expectedSteps) {
    const EepChipType chip = *eepChipType("04");
    const std::uint64_t start = clock.nowNs();
    std::vector<LinkStep> seen;
    std::uint64_t stepStartUs = 0;  // since the transfer began
    int lastDone = 0;
    transfer([&](std::string_view name, int done, int total) {
      const LinkStep step = stepNamed(name);
      if (seen.empty() || seen.back() != step || done <= lastDone) {
        if (!seen.empty()) stepStartUs += linkStepTiming(seen.back(), chip).totalUs();
        seen.push_back(step);
      }
      lastDone = done;
      const StepTiming timing = linkStepTiming(step, chip);
      EXPECT_EQ(total, timing.units) << name;
      const std::uint64_t expected = stepStartUs + timing.atUnitUs(done);
      const std::uint64_t actual = (clock.nowNs() - start) / 1000;
      // The last byte of a read goes unacknowledged: its report comes two steps early.
      EXPECT_LE(actual, expected) << name << " " << done;
      EXPECT_LE(expected - actual, 2 * Lines::kStepUs) << name << " " << done;
    });
    EXPECT_EQ(seen, expectedSteps);
    std::uint64_t totalUs = 0;
    for (LinkStep step : expectedSteps) totalUs += linkStepTiming(step, chip).totalUs();
    EXPECT_EQ((clock.nowNs() - start) / 1000, totalUs);
    expectNoViolations();
  }

  static LinkStep stepNamed(std::string_view name) {
    for (LinkStep step : {LinkStep::DecoderWrite, LinkStep::DecoderRead, LinkStep::EepromRead,
                          LinkStep::EepromWrite, LinkStep::EepromVerify}) {
      if (linkStepName(step) == name) return step;
    }
    ADD_FAILURE() << "unknown step " << name;
    return LinkStep::DecoderRead;
  }
};

TEST_F(TransferTimeTest, DecoderTransfersLastAsTimed) {
  expectTimed(
      [&](const Progress& p) { ASSERT_TRUE(decoder().DecoderWriteBlock(patternDecoder(3), p)); },
      {LinkStep::DecoderWrite});
  expectTimed(
      [&](const Progress& p) {
        DecoderBytes block{};
        ASSERT_TRUE(decoder().DecoderReadBlock(block, p));
      },
      {LinkStep::DecoderRead});
  expectTimed(
      [&](const Progress& p) { ASSERT_TRUE(decoder().DecoderVerifyBlock(patternDecoder(3), p)); },
      {LinkStep::DecoderRead});
}

TEST_F(TransferTimeTest, EepromTransfersLastAsTimed) {
  expectTimed(
      [&](const Progress& p) {
        Eep buffer = patternEep(5);
        ASSERT_EQ(eeprom().EepTransfer("04", "w", buffer, p), kEepWriteVerified);
      },
      {LinkStep::EepromWrite, LinkStep::EepromVerify});
  expectTimed(
      [&](const Progress& p) {
        Eep buffer{};
        ASSERT_EQ(eeprom().EepTransfer("04", "r", buffer, p), kEepReadDone);
      },
      {LinkStep::EepromRead});
}

}  // namespace
}  // namespace ccp::testing
