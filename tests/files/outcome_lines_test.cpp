// The lines a pager command ends with, told from every other text.
#include "files/outcome_lines.h"

#include <gtest/gtest.h>

namespace ccp {
namespace {

TEST(CommandOutcome, TheLinesReadAndWriteEndWithAndNoOthers) {
  const struct {
    const char* command;
    std::string outcome;
    bool accepted;
  } cases[] = {
      {"read", "Read completed", true},
      {"read", "Decoder Read error", true},
      {"read", "EEP read error", true},
      {"read", "Pager Read error, please check the connection.", true},
      {"read", "Model not match!!!", true},
      {"read", "Interrupted: the pager may be partly written", true},
      {"read", "Verify OK !", false},  // a write's
      {"write", "Verify OK !", true},
      {"write", "Decoder program error!", true},
      {"write", "Decoder verify fail!", true},
      {"write", "Verify fail !", true},
      {"write", "Pager can't be written", true},
      {"write", "EEP read error", true},  // the read a customer's write begins with
      {"write", "Model not match!!!", true},
      {"write", "Decoder Read error", false},  // a read's
      {"write", "Read completed", false},
      {"write", "Capcodes could not be checked in the register: nothing written", true},
      {"write", "Capcode 2004017 is in row 1 and row 3: an individual capcode goes in one row only",
       true},
      {"write", "Capcode 2004017 is being written since 2026-12-07 11:25 at station-2", true},
      {"write",
       "Capcode 1700000 was left by a write at r1 that ended at 18:20: the pager may hold it",
       true},
      {"write",
       "Capcode 1700000 was left by a write at r1 that ended at 2026-12-06 18:20: the pager may "
       "hold it",
       true},
      {"write", "Capcode 2004017 was written on 2026-12-07 11:25 at station at the door", true},
      {"write", "Capcode 2004017 was read from a pager on 2026-12-07 11:25 at station-2", true},
      {"write", "Capcode 2004017 was in a write that failed on 2026-12-07 11:25 at s", true},
      {"write", "Capcode 2004008 is a group capcode of 1 pager (written on 2026-12-07 11:25 at s)",
       true},
      {"write",
       "Capcode 2004008 is a group capcode of 3 pagers (read from a pager on 2026-12-07 11:25 at "
       "s)",
       true},
      {"read", "Capcode 2004017 was written on 2026-12-07 11:25 at station-2", false},
      {"write", "Capcode 2004017 was written on 2026-12-07 at station-2", false},
      {"write", "Capcode 2004O17 was written on 2026-12-07 11:25 at station-2", false},
      {"write", "Capcode 1700000 was left by a write at r1 that ended at 18:20", false},
      {"write", "Capcode 2004017 is taken: 2004018 used", false},  // the write goes on
      {"write", "'12a' is not a valid integer value", true},
      {"read", "'' is not a valid floating point value", true},
      {"write", std::string("'\xe9\0'", 4) + " is not a valid channel frequency", true},
      {"write", "12a is not a valid integer value", false},
      {"write", "Verify OK!", false},
      {"write", "verify ok !", false},
      {"write", "Verify OK ! ", false},
      {"write", "", false},
      {"Write", "Verify OK !", false},
      {"erase", "Verify OK !", false},
      {"", "Read completed", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(isCommandOutcome(c.command, c.outcome), c.accepted) << c.command << ": " << c.outcome;
  }
}

}  // namespace
}  // namespace ccp
