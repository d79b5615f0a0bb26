// Backups before a write and the programming journal, on the simulated Programmer.
#include "commands/pager_records.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>

#include "files/config_file.h"
#include "files/csv_reader.h"
#include "files/temp_folder.h"
#include "image/capcode.h"
#include "image/checksum.h"
#include "records_fixture.h"

namespace ccp {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Row = std::vector<std::string>;

using test::kNow;
using test::RecordsFixture;
constexpr const char* kStamp = "2026-12-07T11:30:05+00:00";
constexpr const char* kBackupName = "20261207-113005_SN12345678_0123456.eep";

std::vector<Row> readJournal(const std::string& path) {
  return test::readCsv(path);
}

// Every setting of the window, by control name.
std::map<std::string, std::string> settingsOf(TForm1& form) {
  std::map<std::string, std::string> settings;
  for (Control* control : form.controls()) {
    if (auto* text = dynamic_cast<TextField*>(control)) settings[control->name()] = text->text();
    if (auto* list = dynamic_cast<ComboBox*>(control)) {
      settings[control->name()] = std::to_string(list->index());
    }
    if (auto* box = dynamic_cast<CheckBox*>(control)) {
      settings[control->name()] = box->checked() ? "on" : "off";
    }
  }
  return settings;
}

TEST(PagerBackup, KeepsThePagersPreviousSettingsAndOpensThem) {
  RecordsFixture rx;
  rx.preparePager();
  const ConfigFileBytes before = configFileBytes(rx.fx.pagerEeprom(), rx.fx.pagerDecoder());
  rx.f().menuItem("BackupBeforeWrite1").trigger();
  ASSERT_TRUE(rx.f().menuItem("BackupBeforeWrite1").checked());
  const std::size_t logged = rx.fx.lines().size();
  rx.f().menuItem("WriteToPager").trigger();

  EXPECT_EQ(rx.fx.linesSince(logged),
            (Lines{"Read data from pager", "Write to Pager...", "Verify OK !"}));
  EXPECT_EQ(rx.notices, Lines{std::string("backup: ") + kBackupName});
  EXPECT_EQ(test::transferOrder(rx.fx.programmer.wireLog()), "DEEDDE");
  EXPECT_EQ(rx.fx.pagerEeprom()[0x21], 48);  // the window's contrast went to the pager
  const std::string backup = (fs::path(rx.records.backupFolder()) / kBackupName).string();
  const std::vector<std::uint8_t> kept = test::readBytes(backup);
  EXPECT_TRUE(std::equal(kept.begin(), kept.end(), before.begin(), before.end()));

  // File > Open backup... starts in the backup folder and loads the file as Open does.
  test::PagerFixture other;
  PagerRecords otherRecords(rx.records.dataFolder());
  bindPagerRecords(other.f(), otherRecords);
  other.platform.openAnswers.push_back(backup);
  const std::size_t shown = other.lines().size();
  other.f().menuItem("OpenBackup1").trigger();
  EXPECT_EQ(other.platform.dialogFolders, Lines{rx.records.backupFolder()});
  EXPECT_EQ(other.linesSince(shown), (Lines{"Load data from " + backup, "File loaded"}));
  EXPECT_EQ(other.f().textField("address1").text(), "0123456");
  EXPECT_EQ(other.f().textField("serial").text(), "12345678");
  EXPECT_EQ(other.f().textField("contrast").text(), "40");
}

// With backups on, the window ends as it would without them; with them off the wire carries
// exactly the menu command's transfers.
TEST(PagerBackup, TheWriteItselfIsUnchanged) {
  test::PagerFixture plain;
  plain.f().menuItem("WriteToPager").trigger();
  RecordsFixture off;
  off.f().menuItem("WriteToPager").trigger();
  RecordsFixture on;
  on.f().menuItem("BackupBeforeWrite1").trigger();
  on.f().menuItem("WriteToPager").trigger();

  const sim::WireLog& plainWire = plain.programmer.wireLog();
  const sim::WireLog& offWire = off.fx.programmer.wireLog();
  EXPECT_EQ(sim::describe(offWire), sim::describe(plainWire));
  ASSERT_EQ(offWire.size(), plainWire.size());
  for (std::size_t i = 0; i < offWire.size(); ++i) {
    EXPECT_EQ(offWire[i].timeNs, plainWire[i].timeNs) << i;
  }
  EXPECT_EQ(test::transferOrder(offWire), "EDDE");
  EXPECT_EQ(off.backups(), 0u);

  // The backup read comes first; the write that follows is the plain one, byte for byte.
  const sim::WireLog& onWire = on.fx.programmer.wireLog();
  ASSERT_GT(onWire.size(), plainWire.size());
  const sim::WireLog tail(onWire.end() - static_cast<std::ptrdiff_t>(plainWire.size()),
                          onWire.end());
  EXPECT_EQ(sim::describe(tail), sim::describe(plainWire));
  EXPECT_TRUE(on.fx.programmer.violations().empty());
  for (TForm1* form : {&off.f(), &on.f()}) {
    EXPECT_EQ(form->log().lines(), plain.lines());
    EXPECT_EQ(form->image().eep, plain.f().image().eep);
    EXPECT_EQ(form->image().eepRead, plain.f().image().eepRead);
    EXPECT_EQ(form->image().decoder, plain.f().image().decoder);
    EXPECT_EQ(form->image().decoderRead, plain.f().image().decoderRead);
    EXPECT_EQ(settingsOf(*form), settingsOf(plain.f()));
  }
  EXPECT_EQ(on.fx.platform.beeps, plain.platform.beeps);
}

TEST(PagerBackup, AnUnreadablePagerGetsNoneAndTheWriteGoesOn) {
  struct Case {
    const char* what;
    BuildConfig config;
    std::function<void(RecordsFixture&)> fault;
    std::string notice;
    std::string lastLine;
  } cases[] = {
      {"blank pager on the factory line", test::kEFactory,
       [](RecordsFixture& rx) {
         EepBlock blank;
         blank.fill(0xFF);
         rx.fx.programmer.setEeprom(blank);
       },
       "no backup: pager could not be read", "Verify OK !"},
      {"bad checksum", test::kE,
       [](RecordsFixture& rx) {
         EepBlock eep = rx.fx.pagerEeprom();
         eep[0x21] ^= 1;
         rx.fx.programmer.setEeprom(eep);
       },
       "no backup: pager could not be read", "Pager Read error, please check the connection."},
      {"silent decoder", test::kE,
       [](RecordsFixture& rx) { rx.fx.programmer.decoderChip().setPresent(false); },
       "no backup: pager could not be read", "Decoder program error!"},
      {"backup folder is a file", test::kE,
       [](RecordsFixture& rx) {
         fs::create_directories(rx.records.dataFolder());
         test::writeBytes(rx.records.backupFolder(), {'x'});
       },
       "no backup: backup file could not be written", "Verify OK !"},
  };
  for (auto& c : cases) {
    RecordsFixture rx(c.config);
    c.fault(rx);
    rx.records.setBackupBeforeWrite(true);
    rx.f().menuItem("WriteToPager").trigger();
    EXPECT_EQ(rx.notices, Lines{c.notice}) << c.what;
    EXPECT_EQ(rx.fx.lines().back(), c.lastLine) << c.what;
    EXPECT_EQ(rx.backups(), 0u) << c.what;
    // No backup file in the journal.
    EXPECT_EQ(rx.journal().back()[kJournalBaseColumns - 1], "") << c.what;
  }
}

// A process ended at once in the middle of the write (a second Ctrl-C) still names the backup
// it made: what its signal handler appends is in place once the backup is.
TEST(PagerBackup, IsNamedInTheJournalEvenIfTheWriteNeverEnds) {
  RecordsFixture rx;
  rx.preparePager();
  rx.records.setBackupBeforeWrite(true);
  rx.records.registerConnection().get();  // made before: the pending line is not taken in
  std::vector<Row> journal;
  rx.fx.platform.onProgress = [&](const testkit::FakePlatform::Progress& p) {
    if (p.phase != "Decoder write" || !journal.empty()) return;
    EXPECT_FALSE(fs::exists(rx.records.journalPath())) << "made only for a record";
    appendPendingRecord();
    journal = readJournal(rx.records.journalPath());
  };
  rx.f().menuItem("WriteToPager").trigger();
  ASSERT_EQ(journal.size(), 2u);  // the header and the line
  EXPECT_EQ(journal[1][5], kInterruptedLine);
  EXPECT_EQ(journal[1][14], (fs::path(rx.records.backupFolder()) / kBackupName).string());
  EXPECT_EQ(rx.journal().size(), 2u);  // the command's own record goes to the register as usual
}

TEST(PagerJournal, OneLinePerCommandWithWhatWasReadOrWritten) {
  RecordsFixture rx;
  rx.preparePager();
  rx.f().menuItem("ReadFromPager").trigger();
  const std::map<std::string, std::string> read = settingsOf(rx.f());
  rx.f().comboBox("autoinc1").choose(1);
  rx.f().textField("serial").setText("SN 7,\"X\"");
  rx.records.setBackupBeforeWrite(true);
  rx.f().menuItem("WriteToPager").trigger();
  ASSERT_EQ(rx.fx.lines().back(), "Verify OK !");
  EXPECT_EQ(rx.f().textField("address1").text(), "0123457");  // advanced after the line

  const std::vector<Row> journal = rx.journal();
  ASSERT_EQ(journal.size(), 3u);
  EXPECT_EQ(journal[0], (Row{"Date and time", "Model", "Edition", "Port", "Command", "Outcome",
                             "Serial number", "Capcode 1", "Capcode 2", "Capcode 3", "Capcode 4",
                             "Capcode 5", "Capcode 6", "Channel frequency", "Backup file",
                             "Individual rows", "Enabled rows", "Pager before", "Serial before"}));
  // The journal's first columns: what every journal has.
  const auto base = [](const Row& row) {
    return Row(row.begin(), row.begin() + kJournalBaseColumns);
  };
  const Row head = {kStamp, "QPX730E", "Customer", "LPT1 (simulated Programmer)"};
  auto pagerPart = [&read](const std::string& serial, const std::string& first) {
    return Row{serial,
               first,
               read.at("address2"),
               read.at("address3"),
               read.at("address4"),
               read.at("address5"),
               read.at("address6"),
               read.at("channelfreq")};
  };
  Row readRow = head;
  readRow.insert(readRow.end(), {"read", "Read completed"});
  for (const auto& field : pagerPart("12345678", "0123456")) readRow.push_back(field);
  readRow.push_back("");
  EXPECT_EQ(base(journal[1]), readRow);

  Row writeRow = head;
  writeRow.insert(writeRow.end(), {"write", "Verify OK !"});
  for (const auto& field : pagerPart("SN 7,\"X\"", "0123456")) writeRow.push_back(field);
  writeRow.push_back((fs::path(rx.records.backupFolder()) / kBackupName).string());
  EXPECT_EQ(base(journal[2]), writeRow);
}

TEST(PagerJournal, FailedCommandsAreJournalledToo) {
  struct Case {
    const char* what;
    const char* command;
    std::function<void(RecordsFixture&)> setUp;
    std::string outcome;
    bool pagerKnown;
  } cases[] = {
      {"other model", "WriteToPager",
       [](RecordsFixture& rx) {
         EepBlock eep = rx.fx.pagerEeprom();
         eep[0x00] = 0x55;
         storeChecksum(eep);
         rx.fx.programmer.setEeprom(eep);
       },
       "Model not match!!!", false},
      {"EEPROM byte not stored", "WriteToPager",
       [](RecordsFixture& rx) {
         rx.fx.programmer.eepromChip().failStoreAt(0x21);
         rx.f().textField("contrast").setText("50");  // a byte the pager does not hold yet
       },
       "Verify fail !", true},
      {"empty field", "WriteToPager",
       [](RecordsFixture& rx) { rx.f().textField("contrast").edit("", 0); },
       "'' is not a valid integer value", false},
      {"read of a bad checksum", "ReadFromPager",
       [](RecordsFixture& rx) {
         EepBlock eep = rx.fx.pagerEeprom();
         eep[0x21] ^= 1;
         rx.fx.programmer.setEeprom(eep);
       },
       "Pager Read error, please check the connection.", false},
  };
  for (auto& c : cases) {
    RecordsFixture rx;
    c.setUp(rx);
    rx.f().menuItem(c.command).trigger();
    const std::vector<Row> journal = rx.journal();
    ASSERT_EQ(journal.size(), 2u) << c.what;
    const Row& row = journal[1];
    ASSERT_EQ(row.size(), journalHeader().size()) << c.what;
    EXPECT_EQ(row[5], c.outcome) << c.what;
    EXPECT_EQ(row[7], c.pagerKnown ? "2004000" : "") << c.what;
    EXPECT_EQ(rx.notices, Lines{""}) << c.what;
  }
}

TEST(PagerJournal, AnUnwritableJournalStopsNothing) {
  RecordsFixture rx;
  test::writeBytes(rx.records.dataFolder(), {'x'});  // the data folder is a file
  rx.f().comboBox("autoinc1").choose(1);
  rx.records.setBackupBeforeWrite(true);
  const std::size_t logged = rx.fx.lines().size();
  rx.f().menuItem("WriteToPager").trigger();
  EXPECT_EQ(rx.fx.linesSince(logged),
            (Lines{"Read data from pager", "Write to Pager...", "Verify OK !"}));
  EXPECT_EQ(rx.f().textField("address1").text(), "2004001");
  // Why the register could not keep the record, then the journal's path and the system's reason.
  const std::string kept =
      "record could not be kept in the register: The register cannot be "
      "written: " +
      rx.records.dataFolder() + "/register.sqlite (";
  const std::string journal = "; journal could not be written: " + rx.records.journalPath() + ": " +
                              std::generic_category().message(ENOTDIR);
  ASSERT_EQ(rx.notices.size(), 1u);
  EXPECT_TRUE(rx.notices[0].starts_with("no backup: backup file could not be written; " + kept))
      << rx.notices[0];
  EXPECT_TRUE(rx.notices[0].ends_with(journal)) << rx.notices[0];
  rx.f().menuItem("ReadFromPager").trigger();
  EXPECT_EQ(rx.fx.lines().back(), "Read completed");
  EXPECT_TRUE(rx.notices.back().starts_with(kept) && rx.notices.back().ends_with(journal));
  EXPECT_EQ(test::readBytes(rx.records.dataFolder()), std::vector<std::uint8_t>{'x'});
}

}  // namespace
}  // namespace ccp
