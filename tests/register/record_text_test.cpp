// A record's texts on both engines, and a journal's lines that do not all go in.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <thread>

#include "files/csv_fields.h"
#include "files/journal_columns.h"
#include "register/record_columns.h"
#include "register/register_csv.h"
#include "register/register_fixture.h"

namespace ccp {
namespace {

using test::at;
using test::pagerRecord;

using RecordTextTest = test::RegisterTest;

std::string everyByte() {
  std::string bytes;
  for (int byte = 0; byte <= 0xFF; ++byte) bytes.push_back(static_cast<char>(byte));
  return bytes;
}

// The texts of the records, with their stations or without.
std::vector<std::string> texts(const std::vector<Record>& records, bool withStation) {
  std::vector<std::string> found;
  for (const Record& r : records) {
    found.insert(found.end(), {r.serial, r.outcome, r.port, r.backupFile});
    if (withStation) found.push_back(r.station);
  }
  return found;
}

TEST_P(RecordTextTest, EveryByteOfAPagerTextComesBackThroughExportAndImport) {
  std::vector<Record> records;
  for (Model model : {Model::QPX730E, Model::QPX730H}) {
    Record record =
        pagerRecord("station-\xe9", static_cast<int>(records.size()), "2004017", everyByte());
    record.model = modelName(model);
    records.push_back(record);
  }
  // Texts that are no UTF-8, and backslashes that read like what keeps such a byte.
  records[0].outcome = std::string("'\0", 2) + "\xff' is not a valid integer value";
  records[0].port = "LPT1 \\x41 \\";
  records[1].port = "'=SUM(1)";  // the apostrophe that keeps a formula a text, as a text
  records[1].backupFile = "backups/\xe9\\xe9\\x5c.eep";
  // Applied as the commands apply them, so that both registers say who holds the capcode.
  for (const Record& record : records) reg().apply(reg().addRecord(record), {"station", at(0), {}});
  EXPECT_EQ(texts(reg().records(oldestFirst()), true), texts(records, true));

  // Kept as the pager's characters, found as a user types them: byte 0xE9 is "é" on the
  // QPX730E, "י" on the QPX730H; 0x80 is "€" on both.
  const struct {
    const char* typed;
    long long found;
  } searches[] = {{"é", 1}, {"י", 1}, {"€", 2}, {"\xe9", 0}};
  for (const auto& search : searches) {
    RecordQuery query;
    query.text = search.typed;
    EXPECT_EQ(reg().countRecords(query), search.found) << search.typed;
  }

  const std::string first = folder_.file("first.csv"), second = folder_.file("second.csv");
  ASSERT_EQ(exportRecords(reg(), first), 2u);
  auto other = openRegister(newRegister());
  const ImportResult imported = importJournal(*other, first, "station-2");
  EXPECT_EQ(imported.added, 2u);
  EXPECT_TRUE(imported.refused.empty());
  EXPECT_EQ(texts(other->records(oldestFirst()), false), texts(records, false));
  ASSERT_EQ(exportRecords(*other, second), 2u);
  EXPECT_EQ(test::readBytes(second), test::readBytes(first));
}

// One line the database refuses and one that is no record leave the others in, each named.
TEST_P(RecordTextTest, RefusedLinesOfAnImportAreNamedAndTheOthersGoIn) {
  reg();
  {
    auto raw = rawSession();
    raw->sql() << (GetParam() == Engine::SQLite
                       ? "CREATE TRIGGER refuse BEFORE INSERT ON records "
                         "WHEN NEW.serial = 'refuse me' "
                         "BEGIN SELECT RAISE(ABORT, 'serial_not_allowed'); END"
                       : "ALTER TABLE records ADD CONSTRAINT serial_not_allowed "
                         "CHECK (serial <> 'refuse me')");
  }
  std::string journal = csvRecord(journalHeader());
  for (int i = 0; i < 3; ++i) {
    Record record = pagerRecord("station-1", i, std::to_string(2004000 + i));
    if (i == 1) record.serial = "refuse me";
    journal += csvRecord(journalFieldsOf(record));
  }
  journal += "2026-12-07T12:00:00+00:00,QPX730E\n";
  std::istringstream in(journal);
  const ImportResult result = importJournal(reg(), in, "journal.csv", "station-1");

  EXPECT_EQ(result.added, 2u);
  ASSERT_EQ(result.refused.size(), 2u);
  EXPECT_EQ(result.refused[0].line, 3u);
  EXPECT_TRUE(result.refused[0].reason.starts_with("refused by the register: ") &&
              result.refused[0].reason.find("serial_not_allowed") != std::string::npos)
      << result.refused[0].reason;
  EXPECT_EQ(result.refused[1].line, 5u);
  EXPECT_EQ(result.refused[1].reason, "not a record: too few fields: 2 of 15");
  EXPECT_EQ(result.records.size(), 2u);
  EXPECT_EQ(reg().countRecords({}), 2);
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordTextTest,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), test::engineName);

// A file that is not a journal is refused on its first line, however much follows: here a
// stream that would go on for 32 MiB.
TEST(JournalImport, AFileThatIsNoJournalIsRefusedOnItsFirstLine) {
  test::TempFolder folder;
  const std::string fifo = folder.file("commas.csv");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto reg = openRegister(folder.file("register.sqlite"));
  const auto oldPipe = std::signal(SIGPIPE, SIG_IGN);
  std::size_t written = 0;
  std::thread writer([&] {
    const int fd = ::open(fifo.c_str(), O_WRONLY);
    std::string chunk = "not,a,journal\n" + std::string(64 * 1024 - 14, ',');
    for (int i = 0; i < 512; ++i) {
      const ssize_t put = ::write(fd, chunk.data(), chunk.size());
      if (put <= 0) break;
      written += static_cast<std::size_t>(put);
      chunk.assign(chunk.size(), ',');
    }
    ::close(fd);
  });
  try {
    importJournal(*reg, fifo, "station-1");
    ADD_FAILURE() << "a file of commas was imported";
  } catch (const RegisterError& error) {
    EXPECT_EQ(std::string(error.what()), "The file " + fifo + " is not a journal of this program");
  }
  writer.join();
  std::signal(SIGPIPE, oldPipe);
  EXPECT_LT(written, 1024u * 1024u);  // what a pipe and one read hold, not the stream
}

}  // namespace
}  // namespace ccp
