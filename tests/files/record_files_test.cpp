// The files the pager records keep: CSV journal lines and backups.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "files/backup_file.h"
#include "files/file_calls.h"
#include "files/journal_append.h"
#include "files/journal_file.h"
#include "files/scripted_file_calls.h"
#include "files/temp_folder.h"

namespace ccp {
namespace {

namespace fs = std::filesystem;
using test::appendCsvRecord;
using Bytes = std::vector<std::uint8_t>;

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(CsvRecord, QuotesOnlyWhatNeedsIt) {
  const struct {
    std::vector<std::string> fields;
    std::string record;
  } cases[] = {
      {{"Verify OK !", "0123456", ""}, "Verify OK !,0123456,\n"},
      {{"a,b", "say \"hi\"", "two\nlines"}, "\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\"\n"},
      {{" lead", "trail ", "in side"}, "\" lead\",\"trail \",in side\n"},
      {{"Pager Read error, please check the connection."},
       "\"Pager Read error, please check the connection.\"\n"},
      // Kept as text, never run as a formula.
      {{"=HYPERLINK(1)", "+1", "---.-----", "@A1", "a=b"},
       "'=HYPERLINK(1),'+1,'---.-----,'@A1,a=b\n"},
      {{"=1,2"}, "\"'=1,2\"\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(csvRecord(c.fields), c.record);
}

TEST(AppendCsvRecord, HeaderOnceThenRecords) {
  test::TempFolder dir;
  const std::string path = dir.file("data/journal.csv");  // the folder is made
  EXPECT_EQ(appendCsvRecord(path, {"A", "B"}, {"1", "2"}), 0);
  EXPECT_EQ(appendCsvRecord(path, {"A", "B"}, {"3", "4,5"}), 0);
  EXPECT_EQ(readText(path), "A,B\n1,2\n3,\"4,5\"\n");

  test::writeBytes(dir.file("empty.csv"), {});
  EXPECT_EQ(appendCsvRecord(dir.file("empty.csv"), {"A"}, {"1"}), 0);
  EXPECT_EQ(readText(dir.file("empty.csv")), "A\n1\n");
}

TEST(AppendCsvRecord, AnUnwritablePathIsReported) {
  test::TempFolder dir;
  fs::create_directory(dir.file("journal.csv"));  // a folder where the file should be
  test::writeBytes(dir.file("file"), {'x'});
  EXPECT_EQ(appendCsvRecord(dir.file("journal.csv"), {"A"}, {"1"}), EISDIR);
  EXPECT_EQ(appendCsvRecord(dir.file("file/journal.csv"), {"A"}, {"1"}), ENOTDIR);
  EXPECT_EQ(test::readBytes(dir.file("file")), Bytes{'x'});
}

// Another program starts the journal between this one's first look and its naming of the file;
// a full disk takes back the record it cut short; a last line that a spreadsheet left without
// its line break gets one.
TEST(AppendCsvRecord, KeepsOneHeaderAndWholeRecordsOnly) {
  test::TempFolder dir;
  const std::string path = dir.file("journal.csv");
  test::ScriptedCalls calls;
  calls.before = [&, other = false](test::Step step) mutable {
    if (step == test::Step::Link && !std::exchange(other, true)) {
      EXPECT_EQ(appendCsvRecord(path, {"A"}, {"1"}), 0);
    }
  };
  {
    const FileCallsOverride override(calls);
    EXPECT_EQ(appendCsvRecord(path, {"A"}, {"2"}), 0);
  }
  EXPECT_EQ(readText(path), "A\n1\n2\n");
  test::writeBytes(path, {'A', '\n', '1'});
  EXPECT_EQ(appendCsvRecord(path, {"A"}, {"2"}), 0);
  test::ScriptedCalls full;
  full.failing = test::Step::Write;
  full.passes = 1;
  full.writeLimit = 1;
  full.error = ENOSPC;
  {
    const FileCallsOverride override(full);
    EXPECT_EQ(appendCsvRecord(path, {"A"}, {"345"}), ENOSPC);
  }
  EXPECT_EQ(appendCsvRecord(path, {"A"}, {"6"}), 0);
  EXPECT_EQ(readText(path), "A\n1\n2\n6\n");
}

// An append that waits on the FIFO is left waiting in a thread of its own, and the test fails.
TEST(AppendCsvRecord, AFifoIsRefusedWithoutWaitingOnIt) {
  test::TempFolder dir;
  const std::string path = dir.file("journal.csv");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  std::promise<int> append;
  std::future<int> appended = append.get_future();
  std::thread([path, append = std::move(append)]() mutable {
    append.set_value(appendCsvRecord(path, {"A"}, {"1"}));
  }).detach();
  ASSERT_EQ(appended.wait_for(std::chrono::seconds(2)), std::future_status::ready)
      << "the append waits on the FIFO";
  EXPECT_EQ(appended.get(), kNotARegularFile);
}

// Whoever may write the data folder cannot make root write elsewhere through a link.
TEST(RecordFiles, RootFollowsNoLinkAtTheJournalOrTheBackupFolder) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root refuses the links";
  test::TempFolder dir;
  test::writeBytes(dir.file("elsewhere"), {'x'});
  fs::create_symlink(dir.file("elsewhere"), dir.file("journal.csv"));
  EXPECT_EQ(appendCsvRecord(dir.file("journal.csv"), {"A"}, {"1"}), ELOOP);
  EXPECT_EQ(test::readBytes(dir.file("elsewhere")), Bytes{'x'});
  fs::create_directory(dir.file("folder"));
  fs::create_directory_symlink(dir.file("folder"), dir.file("backups"));
  EXPECT_FALSE(saveNewFile(dir.file("backups"), "x.eep", Bytes{1}));
  EXPECT_TRUE(fs::is_empty(dir.file("folder")));
}

TEST(BackupFileName, StampSerialAndCapcodeSafeForFileSystems) {
  EXPECT_EQ(backupFileName("20261207-113005", "12345678", "0123456"),
            "20261207-113005_SN12345678_0123456.eep");
  EXPECT_EQ(backupFileName("20261207-113005", "", "2004000"), "20261207-113005_SNnone_2004000.eep");
  EXPECT_EQ(backupFileName("20261207-113005", "a/b\\c: d.\x01\xE9", "0000001"),
            "20261207-113005_SNa_b_c__d____0000001.eep");
}

TEST(SaveNewFile, NeverReplacesAnEarlierBackup) {
  test::TempFolder dir;
  const std::string folder = dir.file("backups");  // made on the first save
  const auto first = saveNewFile(folder, "x_SN1_0000001.eep", Bytes{1});
  const auto second = saveNewFile(folder, "x_SN1_0000001.eep", Bytes{2});
  const auto third = saveNewFile(folder, "x_SN1_0000001.eep", Bytes{3});
  ASSERT_TRUE(first && second && third);
  EXPECT_EQ(*first, (fs::path(folder) / "x_SN1_0000001.eep").string());
  EXPECT_EQ(*second, (fs::path(folder) / "x_SN1_0000001-2.eep").string());
  EXPECT_EQ(*third, (fs::path(folder) / "x_SN1_0000001-3.eep").string());
  EXPECT_EQ(test::readBytes(*first), Bytes{1});
  EXPECT_EQ(test::readBytes(*third), Bytes{3});

  test::writeBytes(dir.file("plain"), {'x'});
  EXPECT_FALSE(saveNewFile(dir.file("plain"), "y.eep", Bytes{1}));  // the folder is a file
}

// Where the file system makes no unnamed files, a backup killed while it was written left its
// temporary file: the next backup of that name takes it away.
TEST(SaveNewFile, RemovesTheTemporaryFileOfAKilledBackup) {
  test::TempFolder dir;
  const std::string stale = dir.file("x.eep.tmp123");
  test::writeBytes(stale, {1});
  test::ScriptedCalls calls;
  calls.unnamedFiles = false;
  const FileCallsOverride override(calls);
  ASSERT_TRUE(saveNewFile(dir.path().string(), "x.eep", Bytes{2}));
  EXPECT_FALSE(fs::exists(stale));
}

// Two pagers backed up in the same second, with the same serial and capcode: the other
// program's backup appears between this one's choice of a name and its taking it.
TEST(SaveNewFile, TwoBackupsMadeAtOnceKeepTheirOwnFiles) {
  test::TempFolder dir;
  const std::string folder = dir.file("backups");
  std::optional<std::string> other;
  bool started = false;
  test::ScriptedCalls calls;
  calls.before = [&](test::Step step) {
    if (step == test::Step::Write && !std::exchange(started, true)) {
      other = saveNewFile(folder, "x.eep", Bytes{2});
    }
  };
  const FileCallsOverride override(calls);
  const auto mine = saveNewFile(folder, "x.eep", Bytes{1});
  ASSERT_TRUE(mine && other);
  EXPECT_NE(*mine, *other);
  EXPECT_EQ(test::readBytes(*mine), Bytes{1});
  EXPECT_EQ(test::readBytes(*other), Bytes{2});
}

}  // namespace
}  // namespace ccp
