// A record's texts on both engines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

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

TEST_P(RecordTextTest, EveryByteOfAPagerTextComesBackThroughExportAndImport) {
  setenv("TZ", "UTC", 1);
  tzset();
  std::vector<Record> records;
  for (Model model : {Model::QPX730E, Model::QPX730H}) {
    Record record =
        pagerRecord("station-\xe9", static_cast<int>(records.size()), "2004017", everyByte());
    record.model = modelName(model);
    records.push_back(record);
  }
  // Texts that are no UTF-8, and backslashes that read like what keeps such a byte.
  records[0].outcome = std::string("Verify OK !\0\xff", 13);
  records[0].port = "LPT1 \\x41 \\";
  records[1].port = "'=SUM(1)";  // the apostrophe that keeps a formula a text, as a text
  records[1].backupFile = "backups/\xe9\\xe9\\x5c.eep";
  for (const Record& record : records) reg().addRecord(record);

  const auto sameTexts = [&records](const std::vector<Record>& found, bool withStation) {
    ASSERT_EQ(found.size(), records.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(found[i].serial, records[i].serial) << i;
      EXPECT_EQ(found[i].outcome, records[i].outcome) << i;
      EXPECT_EQ(found[i].port, records[i].port) << i;
      EXPECT_EQ(found[i].backupFile, records[i].backupFile) << i;
      if (withStation) {
        EXPECT_EQ(found[i].station, records[i].station) << i;
      }
    }
  };
  sameTexts(reg().records(oldestFirst()), true);

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
  EXPECT_EQ(imported.refused, 0u);
  sameTexts(other->records(oldestFirst()), false);
  ASSERT_EQ(exportRecords(*other, second), 2u);
  EXPECT_EQ(test::readBytes(second), test::readBytes(first));
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordTextTest,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), test::engineName);

}  // namespace
}  // namespace ccp
