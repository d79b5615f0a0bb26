// A pager's rows as text, the journal's columns of a record, and whether a claim's writer runs.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files/journal_columns.h"
#include "register/pager_register.h"
#include "register/record_columns.h"
#include "ports/process_liveness.h"
#include "testkit/station_processes.h"

namespace ccp {
namespace {

PagerRows rows(std::array<std::optional<int>, kAddressCount> capcodes,
               std::array<bool, kAddressCount> enabled) {
  return {capcodes, enabled};
}

TEST(PagerRows, TextGoesBackToTheSameRowsAndAnythingElseIsRefused) {
  const PagerRows pager = rows({2004000, 8, 2004016, std::nullopt, 2004032, 12},
                               {true, true, false, true, false, true});
  const std::string text = pagerRowsText(pager);
  EXPECT_EQ(text, "2004000 0000008 -2004016 x -2004032 0000012");
  EXPECT_EQ(parsePagerRows(text), pager);
  EXPECT_EQ(pagerRowsText(std::nullopt), "");
  for (const char* bad : {"", "2004000 8 8 8 8", "2004000 8 8 8 8 8 8", "2004000  8 8 8 8 8",
                          "2004000 8 8 8 8 8 ", "abc 8 8 8 8 8", "--8 8 8 8 8 8"}) {
    EXPECT_FALSE(parsePagerRows(bad)) << bad;
  }
}

// The rows' use and the pager a write found go through the journal's last four columns; a line of
// an older program, without them, is the same record, its rows not known.
TEST(JournalColumns, RowsUseGoesThroughTheJournalAndAnOlderLineStillReads) {
  Record record =
      testkit::writeRecord("station-1", WallTime(std::chrono::seconds(1800000000)), "2004000");
  record.individualRows = {1, 3};
  record.enabledRows = {1, 2, 3};
  record.pagerBefore = rows({1, 2, 3, 4, 5, 6}, {true, false, true, true, true, true});
  record.serialBefore = "SN 7,\"X\"";
  const std::vector<std::string> fields = journalFieldsOf(record);
  EXPECT_EQ(std::vector<std::string>(fields.end() - 4, fields.end()),
            (std::vector<std::string>{
                "1,3", "1,2,3", "0000001 -0000002 0000003 0000004 0000005 0000006", "SN 7,\"X\""}));
  const auto back = recordFromJournal(fields, "station-1");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->individualRows, record.individualRows);
  EXPECT_EQ(back->enabledRows, record.enabledRows);
  EXPECT_EQ(back->pagerBefore, record.pagerBefore);
  EXPECT_EQ(back->serialBefore, record.serialBefore);

  const std::vector<std::string> older(fields.begin(), fields.begin() + kJournalBaseColumns);
  std::vector<std::string> header = journalHeader();
  header.resize(kJournalBaseColumns);
  EXPECT_TRUE(isJournalHeader(header));
  const auto old = recordFromJournal(older, "station-1");
  ASSERT_TRUE(old);
  EXPECT_TRUE(old->individualRows.empty() && old->enabledRows.empty() && !old->pagerBefore);
  EXPECT_EQ(recordFingerprint(*old), recordFingerprint(record));
  for (std::size_t column : {15u, 16u, 17u}) {
    std::vector<std::string> bad = fields;
    bad[column] = "7";
    EXPECT_FALSE(recordFromJournal(bad, "station-1")) << column;
  }
}

// A process runs while its id is its own: not once another process has it, nor once it ended,
// even before it is reaped.
TEST(ClaimWriter, RunsWhileItsProcessDoes) {
  const Writer writer = newWriter("station-1");
  EXPECT_TRUE(processRuns(writer.pid, writer.started));
  EXPECT_FALSE(processRuns(writer.pid, writer.started + 1));

  const pid_t child = ::fork();
  if (child == 0) {
    ::pause();
    ::_exit(0);
  }
  const auto started = processStart(child);
  ASSERT_TRUE(started);
  ::kill(child, SIGKILL);
  siginfo_t ended{};
  ::waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOWAIT);  // left unreaped
  EXPECT_FALSE(processRuns(child, *started));
  ::waitpid(child, nullptr, 0);
}

}  // namespace
}  // namespace ccp
