// A pager's rows as text and as uses, the journal's columns of a record, and this process as a
// claim's writer.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files/journal_columns.h"
#include "register/pager_register.h"
#include "register/record_columns.h"
#include "register/writer_process.h"
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

TEST(PagerRows, UsesAreTheEnabledRowsWithACapcode) {
  const PagerRows pager = rows({2004000, 8, 2004016, std::nullopt, 2004032, 12},
                               {true, true, false, true, true, false});
  EXPECT_EQ(rowUses(pager, {1, 3, 5}),
            (std::vector<RowUse>{{1, 2004000, true}, {2, 8, false}, {5, 2004032, true}}));

  Record record = testkit::writeRecord("station-1", {}, "2004000");  // rows 1 and 2
  EXPECT_EQ(recordRows(record).enabled, (std::array<bool, 6>{true, true, true, true, true, true}));
  record.individualRows = {};  // none named: row 1
  EXPECT_EQ(recordUses(record), (std::vector<RowUse>{{1, 2004000, true}, {2, 8, false}}));
  record.individualRows = {2};
  record.enabledRows = {2, 3};
  EXPECT_EQ(recordUses(record), (std::vector<RowUse>{{2, 8, true}}));
}

TEST(JournalColumns, RowsUseGoesThroughTheJournalAndAnOlderLineStillReads) {
  Record record =
      testkit::writeRecord("station-1", WallTime(std::chrono::seconds(1800000000)), "2004000");
  record.individualRows = {1, 3};
  record.enabledRows = {1, 2, 3};
  record.pagerBefore = rows({1, 2, 3, 4, 5, 6}, {true, false, true, true, true, true});
  const std::vector<std::string> fields = journalFieldsOf(record);
  ASSERT_EQ(fields.size(), journalHeader().size());
  EXPECT_EQ(std::vector<std::string>(fields.end() - 3, fields.end()),
            (std::vector<std::string>{"1,3", "1,2,3",
                                      "0000001 -0000002 0000003 0000004 0000005 0000006"}));
  const auto back = recordFromJournal(fields, "station-1");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->individualRows, record.individualRows);
  EXPECT_EQ(back->enabledRows, record.enabledRows);
  EXPECT_EQ(back->pagerBefore, record.pagerBefore);
  EXPECT_EQ(recordFingerprint(*back), recordFingerprint(record));

  const std::vector<std::string> older(fields.begin(), fields.begin() + kJournalBaseColumns);
  const auto old = recordFromJournal(older, "station-1");
  ASSERT_TRUE(old);
  EXPECT_TRUE(old->individualRows.empty());
  EXPECT_TRUE(old->enabledRows.empty());  // all
  EXPECT_FALSE(old->pagerBefore);
  EXPECT_EQ(recordFingerprint(*old), recordFingerprint(record));  // one record

  std::vector<std::string> header = journalHeader();
  EXPECT_TRUE(isJournalHeader(header));
  header.resize(kJournalBaseColumns);
  EXPECT_TRUE(isJournalHeader(header));
  header.pop_back();
  EXPECT_FALSE(isJournalHeader(header));
  for (std::size_t column : {15u, 16u, 17u}) {
    std::vector<std::string> bad = fields;
    bad[column] = "7";
    EXPECT_FALSE(recordFromJournal(bad, "station-1")) << column;
  }
}

TEST(ClaimWriter, IsThisProcessWithATokenOfEachWrite) {
  const Writer first = newWriter("station-1");
  const Writer second = newWriter("station-1");
  EXPECT_EQ(first.station, "station-1");
  EXPECT_EQ(first.host, thisHost());
  EXPECT_EQ(first.pid, ::getpid());
  EXPECT_GT(first.started, 0);
  EXPECT_TRUE(processRuns(first.pid, first.started));
  EXPECT_FALSE(processRuns(first.pid, first.started + 1));  // another process with its id
  EXPECT_NE(first.token, second.token);
  EXPECT_GT(first.token, 0);
  EXPECT_LT(first.token, 1LL << 62);

  const pid_t child = ::fork();
  if (child == 0) {
    ::pause();
    ::_exit(0);
  }
  const auto started = processStart(child);
  ASSERT_TRUE(started);
  ::kill(child, SIGKILL);
  ::usleep(100000);
  EXPECT_FALSE(processRuns(child, *started));  // ended, not yet reaped
  ::waitpid(child, nullptr, 0);
  EXPECT_FALSE(processRuns(child, *started));
}

}  // namespace
}  // namespace ccp
