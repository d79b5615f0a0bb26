#include "commands/pager_records.h"

#include <exception>
#include <filesystem>

#include "commands/file_commands.h"
#include "commands/menu_hold.h"
#include "commands/pager_journal.h"
#include "commands/port_label.h"
#include "files/journal_file.h"
#include "files/outcome_lines.h"
#include "ports/port_registers.h"
#include "register/record_columns.h"
#include "shell/form.h"
#include "shell/platform.h"

namespace ccp {

namespace fs = std::filesystem;

namespace {

constexpr const char* kBackupFolderName = "backups";

std::string backupNotice(const BackupResult& backup) {
  switch (backup.status) {
    case BackupStatus::Made:
      return "backup: " + fs::path(backup.file).filename().string();
    case BackupStatus::PagerUnreadable:
      return "no backup: pager could not be read";
    case BackupStatus::NotSaved:
      return "no backup: backup file could not be written";
    case BackupStatus::Interrupted:
      return "no backup: interrupted before the pager was read";
    case BackupStatus::NotAsked:
      break;
  }
  return {};
}

// A reason said once: the guard and the record may fail alike.
void addNotice(std::string& notices, const std::string& notice) {
  if (notice.empty() || notices.find(notice) != std::string::npos) return;
  if (!notices.empty()) notices += "; ";
  notices += notice;
}

}  // namespace

PagerRecords::PagerRecords(std::string dataFolder)
    : dataFolder_(std::move(dataFolder)),
      use_(stationRegisterUse({}, {dataFolder_})),
      connection_(connectRegister(use_, dataFolder_)) {}

void PagerRecords::setWords(const FaceWords& words) {
  words_ = words;
  connection_.words = words;
}

void PagerRecords::setRegister(const RegisterSettings& settings, const RegisterUse& use) {
  settings_ = settings;
  use_ = use;
  connection_.moveTo(use.location, use.station);
}

std::string PagerRecords::backupFolder() const {
  return (fs::path(dataFolder_) / kBackupFolderName).string();
}

std::string PagerRecords::journalPath() const {
  return journalPathIn(dataFolder_);
}

// Nothing is sent while a setting that keeps the register or the guard right cannot be taken.
bool PagerRecords::refused() {
  if (use_.refused.empty()) return false;
  if (onNotice) onNotice(refusalText(use_));
  return true;
}

void PagerRecords::read(TForm1& form) {
  if (refused()) return;
  run(form, kReadCommand,
      [&form](PagerCommandReport& report, WallTime) { ReadFromPagerClick(form, report); });
}

void PagerRecords::write(TForm1& form) {
  if (refused()) return;
  write(form,
        {use_.station, use_.guard, individualRows(settings_, autoincSteps(form)),
         settings_.whenTaken, settings_.allowUnguarded},
        nullptr);
}

void PagerRecords::write(TForm1& form, const ListRowWrite& row) {
  if (refused()) return;
  write(form, {use_.station, true, row.individualRows, WhenTaken::Stop, false}, &row);
}

void PagerRecords::write(TForm1& form, const GuardRules& rules, const ListRowWrite* row) {
  CapcodeGuard guard(connection_, rules, words_, now);
  const Body body = [this, &form, &guard, row](PagerCommandReport& report, WallTime at) {
    WriteOptions options;
    if (backupBeforeWrite_ && !dataFolder_.empty()) options.backupFolder = backupFolder();
    options.readWholePager = settings_.readBeforeWrite || row != nullptr;
    options.mayWrite = [&form, &guard, row](const std::optional<PagerIdentity>& pager) {
      if (row != nullptr && row->beforeWrite) {
        if (const auto stop = row->beforeWrite(pager)) {
          form.logLine(*stop);
          form.beep();
          return false;
        }
      }
      return guard.admit(form, pager);
    };
    options.startedAt = at;
    // Until the command writes its own line, a process ended at once still names the backup.
    options.backedUp = [this, &form, at](const BackupResult& backup) {
      const JournalLine line{at, form.config(), portLabel(form), kWriteCommand, kInterruptedLine,
                             {}, backup.file};
      keepReady(line);
    };
    WriteToPagerClick(form, options, report);
  };
  guardStopped_ = false;
  releasedWhileWritten_.clear();
  run(form, kWriteCommand, body, &guard);
  guardStopped_ = guard.stopped();
  releasedWhileWritten_ = guard.releasedWhileWritten();
}

// The record is kept however the command ends, an error box included.
void PagerRecords::run(TForm1& form, const char* command, const Body& body, CapcodeGuard* guard) {
  const RegisterConnection::Command waitsOnce(connection_);
  recordLost_ = false;
  lastRecordId_.reset();
  const WallTime at = now();
  const std::size_t logged = form.log().lines().size();
  PagerCommandReport report;
  try {
    body(report, at);
  } catch (const std::exception& error) {
    finish(form, command, at, error.what(), report, guard);
    throw;
  }
  const auto& lines = form.log().lines();
  finish(form, command, at, lines.size() > logged ? lines.back() : std::string(), report, guard);
}

void PagerRecords::finish(TForm1& form, const char* command, WallTime at, std::string outcome,
                          const PagerCommandReport& report, CapcodeGuard* guard) {
  JournalLine line{at, form.config(), portLabel(form), command, std::move(outcome), {}, {}};
  const Image& image = form.image();
  if (report.imageIsPagers) line.pager = pagerIdentity(form.config(), image.eep, image.decoder);
  line.backupFile = report.backup.file;
  // A write's steps are as they were when it began: it advances the capcodes only.
  line.individualRows =
      guard ? guard->individualRows() : individualRows(settings_, autoincSteps(form));
  line.pagerBefore = report.pagerBefore;

  // From here until the record is kept, even while the register is waited for, a process ended
  // at once appends it to the journal.
  keepReady(line);
  std::string notices = backupNotice(report.backup);
  if (guard && use_.guardForNextFree) addNotice(notices, nextFreeGuardNotice(nextFreeCause));
  const auto id = keep(line, notices);
  lastRecordId_ = id;
  if (guard) {
    guard->settle(form, report, id);
    addNotice(notices, guard->notice());
  }
  // What the pager has now, or may have, known without claims: a completed read, a write made
  // unguarded that was verified or failed once it began to send.
  const bool shown =
      guard ? (report.verified || report.writeBegun) && !guard->claimed() : report.imageIsPagers;
  if (shown && id) applyRecord(*id, notices);
  if (onNotice) onNotice(notices);
}

void PagerRecords::keepReady(const JournalLine& line) {
  pending_ = dataFolder_.empty() ? nullptr
                                 : std::make_unique<PendingRecord>(journalPath(), journalHeader(),
                                                                   journalFields(line));
}

// In the register, or else in the journal. The record's id when the register took it.
std::optional<long long> PagerRecords::keep(const JournalLine& line, std::string& notices) {
  std::string why = "no register is named";
  if (connection_.named()) {
    try {
      const Record record = journalRecord(line, use_.station);
      const long long id =
          connection_.use([&record](PagerRegister& reg) { return reg.addRecord(record); });
      pending_.reset();
      addNotice(notices, connection_.takeNotice());
      return id;
    } catch (const RegisterError& error) {
      why = error.what();
    }
    addNotice(notices, connection_.takeNotice());
  }
  if (dataFolder_.empty()) {
    if (connection_.named()) addNotice(notices, "record could not be kept in the register: " + why);
    addNotice(notices, kNoDataFolder);
    recordLost_ = connection_.named();
  } else if (const int error = std::exchange(pending_, {})->append()) {
    addNotice(notices, "record could not be kept in the register: " + why);
    addNotice(notices,
              "journal could not be written: " + journalPath() + ": " + appendFailure(error));
    recordLost_ = true;
  } else {
    addNotice(notices, std::string("record could not be kept in the register, it is in ") +
                           kJournalFileName + ": " + why);
  }
  return std::nullopt;
}

// The pager in the Programmer has the record's rows now: its holds follow, and a capcode that
// another pager has too is said.
void PagerRecords::applyRecord(long long recordId, std::string& notices) {
  const Stamp by{use_.station, now(), {}};
  try {
    const HoldOutcome outcome =
        connection_.use([&](PagerRegister& reg) { return reg.apply(recordId, by); });
    for (const std::string& line : holdOutcomeLines(outcome, words_)) addNotice(notices, line);
  } catch (const RegisterError& error) {
    addNotice(notices, std::string("capcodes not marked in the register: ") + error.what());
  }
}

void bindPagerRecords(TForm1& form, PagerRecords& records) {
  form.menuItem("ReadFromPager").onClick = [&form, &records] { records.read(form); };
  form.menuItem("WriteToPager").onClick = [&form, &records] { records.write(form); };
  MenuItem& backups = form.menuItem("BackupBeforeWrite1");
  backups.onClick = [&form, &records] { BackupBeforeWrite1Click(form, records); };
  backups.setChecked(records.backupBeforeWrite());
  backups.setEnabled(true);
  MenuItem& open = form.menuItem("OpenBackup1");
  open.onClick = [&form, &records] { OpenBackup1Click(form, records); };
  open.setEnabled(true);
}

void unbindPagerRecords(TForm1& form) {
  bindPagerCommands(form);
  for (const char* name : {"BackupBeforeWrite1", "OpenBackup1"}) {
    MenuItem& item = form.menuItem(name);
    item.onClick = nullptr;
    item.setEnabled(false);
  }
}

void BackupBeforeWrite1Click(TForm1& form, PagerRecords& records) {
  records.setBackupBeforeWrite(!records.backupBeforeWrite());
  form.menuItem("BackupBeforeWrite1").setChecked(records.backupBeforeWrite());
}

void OpenBackup1Click(TForm1& form, const PagerRecords& records) {
  if (records.dataFolder().empty()) {
    if (records.onNotice) records.onNotice(kNoDataFolder);
    return;
  }
  const MenuHold hold(form);
  const std::string folder = records.backupFolder();
  std::error_code ec;
  fs::create_directories(folder, ec);  // so the dialog can start there before the first backup
  const auto path = form.platform().askOpenPathIn(folder, kConfigFileFilter);
  if (path) OpenConfigFile(form, *path);
}

}  // namespace ccp
