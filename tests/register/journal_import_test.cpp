// A journal's lines that are no records of this program's commands, named and left out.
#include <gtest/gtest.h>

#include <sstream>

#include "files/csv_fields.h"
#include "files/journal_columns.h"
#include "register/record_columns.h"
#include "register/register_csv.h"
#include "register/register_fixture.h"

namespace ccp {
namespace {

using namespace std::chrono_literals;
using test::at;
using test::pagerRecord;

using JournalImportTest = test::RegisterTest;

// The journal's fields of a verified write at `second`, each pager's capcode its own.
std::vector<std::string> writeFields(int second) {
  return journalFieldsOf(pagerRecord("station-1", second, std::to_string(2004000 + second)));
}

std::string stampOf(WallTime at) {
  return isoTimeStamp(localTime(at));
}

TEST_P(JournalImportTest, LinesNoCommandOfThisProgramWritesAreRefused) {
  const WallTime now = at(0) + 1h;
  const struct {
    std::vector<std::pair<int, std::string>> columns;  // changed from a verified write's
    std::string refusal;                               // none: taken in
  } cases[] = {
      {{{4, "Write"}}, "command 'Write' is neither read nor write"},
      {{{4, "erase"}}, "command 'erase' is neither read nor write"},
      {{{5, "Verify OK!"}}, "outcome 'Verify OK!' is no line a write ends with"},
      {{{5, "Decoder Read error"}}, "outcome 'Decoder Read error' is no line a write ends with"},
      {{{4, "read"}, {5, "Verify OK !"}}, "outcome 'Verify OK !' is no line a read ends with"},
      {{{4, "read"}, {5, "Read completed"}}, ""},
      {{{5, "Capcode 2004017 was written on 2026-12-07 11:25 at station-2"}}, ""},
      {{{7, "01920003"}}, "capcode 1 '01920003' has more than 7 digits"},
      {{{12, "00000008"}}, "capcode 6 '00000008' has more than 7 digits"},
      {{{7, "0192003"}}, ""},
      {{{0, stampOf(now + 24h + 1s)}},
       "dated " + stampOf(now + 24h + 1s) + ", more than a day after the import"},
      {{{0, stampOf(now + 24h)}}, ""},  // a clock a day ahead
      {{{0, "2026-12-07T11:25:00+00:00 and more"}}, "no time"},
  };
  std::string journal = csvRecord(journalHeader());
  std::vector<RefusedLine> expected;
  std::size_t taken = 0;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    std::vector<std::string> fields = writeFields(static_cast<int>(i));
    for (const auto& [column, text] : cases[i].columns) fields[column] = text;
    journal += csvRecord(fields);
    if (cases[i].refusal.empty()) {
      ++taken;
    } else {
      expected.push_back({i + 2, "not a record: " + cases[i].refusal});
    }
  }
  std::istringstream in(journal);
  const ImportResult result = importJournal(reg(), in, "journal.csv", "station-1", now);
  ASSERT_EQ(result.refused.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(result.refused[i].line, expected[i].line);
    EXPECT_EQ(result.refused[i].reason, expected[i].reason);
  }
  EXPECT_EQ(result.added, taken);
}

// A stray quote costs its own line: the lines after it are taken in, and it is named.
TEST_P(JournalImportTest, AStrayQuoteIsNamedAndTheLinesAfterItGoIn) {
  const auto strayQuote = [](int second) {
    std::string line = csvRecord(writeFields(second));
    return line.insert(line.find(",12345678,") + 1, "\"");
  };
  const std::string journal = csvRecord(journalHeader()) + csvRecord(writeFields(0)) +
                              strayQuote(1) + csvRecord(writeFields(2)) +
                              csvRecord(writeFields(3)) + strayQuote(4);
  std::istringstream in(journal);
  const ImportResult result = importJournal(reg(), in, "journal.csv", "station-1", at(60));
  ASSERT_EQ(result.refused.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(result.refused[i].line, i == 0 ? 3u : 6u);
    EXPECT_EQ(result.refused[i].reason, "not a record: a quoted field runs on: unmatched quote");
  }
  EXPECT_EQ(result.added, 3u);
  ASSERT_EQ(result.records.size(), 3u);
  EXPECT_EQ(result.records[1].capcodes[0], "2004002");
  EXPECT_EQ(result.records[2].serial, "12345678");
}

INSTANTIATE_TEST_SUITE_P(Engines, JournalImportTest,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), test::engineName);

}  // namespace
}  // namespace ccp
