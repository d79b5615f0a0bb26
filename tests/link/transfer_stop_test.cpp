#include "link/transfer_stop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "link/link_fixture.h"

namespace ccp::testing {
namespace {

class TransferStopTest : public LinkTest {};

// A stop asked for once the n-th decoder record or EEPROM page is written ends the write
// there, with the lines at rest and the pager holding exactly what was written so far; asked
// for after the last one, it finds nothing left to stop and the write ends as it would have.
TEST_F(TransferStopTest, AWriteStopsAfterTheRecordOrPageUnderWay) {
  const std::pair<LinkStep, std::size_t> cases[] = {
      {LinkStep::DecoderWrite, 1}, {LinkStep::DecoderWrite, 7}, {LinkStep::DecoderWrite, 8},
      {LinkStep::EepromWrite, 1},  {LinkStep::EepromWrite, 31}, {LinkStep::EepromWrite, 32}};
  const Eep oldEep = patternEep(1), newEep = patternEep(2);
  const DecoderBytes oldBlock = patternDecoder(3), newBlock = patternDecoder(4);
  const std::size_t page = eepChipType(kPagerEepromType)->pageSize;
  for (const auto& [step, after] : cases) {
    SCOPED_TRACE(std::string(linkStepName(step)) + " " + std::to_string(after));
    programmer.setEeprom(oldEep);
    programmer.setDecoder(oldBlock);
    bool requested = false;
    ProgrammerLink stoppable(
        programmer, clock, [] { return kLpt1Base; }, [&] { return requested; });
    const Progress progress = [&](std::string_view name, int done, int) {
      if (name == linkStepName(step) && static_cast<std::size_t>(done) == after) requested = true;
    };
    bool last = false;
    if (step == LinkStep::DecoderWrite) {
      last = after == kDecoderRecords;
      EXPECT_EQ(stoppable.decoder().DecoderWriteBlock(newBlock, progress), last);
      DecoderBytes expected = oldBlock;
      std::copy_n(newBlock.begin(), after * kDecoderRecordSize, expected.begin());
      EXPECT_TRUE(std::equal(expected.begin(), expected.end(), programmer.decoder().begin()));
    } else {
      last = after * page == newEep.size();
      Eep buffer = newEep;
      EXPECT_EQ(stoppable.eeprom().EepTransfer(kPagerEepromType, "w", buffer, progress),
                last ? kEepWriteVerified : kEepInterrupted);
      Eep expected = oldEep;
      std::copy_n(newEep.begin(), after * page, expected.begin());
      EXPECT_TRUE(std::equal(expected.begin(), expected.end(), programmer.eeprom().begin()));
    }
    EXPECT_EQ(stoppable.stopped(), !last);
    expectLinesAtRest();
  }
  expectNoViolations();
}

}  // namespace
}  // namespace ccp::testing
