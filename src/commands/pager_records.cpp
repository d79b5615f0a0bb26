#include "commands/pager_records.h"

#include <exception>
#include <filesystem>

#include "commands/file_commands.h"
#include "commands/menu_hold.h"
#include "commands/pager_journal.h"
#include "commands/port_label.h"
#include "files/journal_file.h"
#include "ports/port_registers.h"
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

void addNotice(std::string& notices, const std::string& notice) {
  if (notice.empty()) return;
  if (!notices.empty()) notices += "; ";
  notices += notice;
}

}  // namespace

std::string PagerRecords::backupFolder() const {
  return (fs::path(dataFolder_) / kBackupFolderName).string();
}

std::string PagerRecords::journalPath() const {
  return (fs::path(dataFolder_) / kJournalFileName).string();
}

void PagerRecords::read(TForm1& form) {
  run(form, "read",
      [&form](PagerCommandReport& report, WallTime) { ReadFromPagerClick(form, report); });
}

void PagerRecords::write(TForm1& form) {
  run(form, "write", [this, &form](PagerCommandReport& report, WallTime at) {
    WriteOptions options;
    if (backupBeforeWrite_ && !dataFolder_.empty()) options.backupFolder = backupFolder();
    options.startedAt = at;
    // Until the command writes its own line, a process ended at once still names the backup.
    options.backedUp = [this, &form, at](const BackupResult& backup) {
      const JournalLine line{at, form.config(), portLabel(form), "write", kInterruptedLine,
                             {}, backup.file};
      pending_.emplace(journalPath(), journalHeader(), journalFields(line));
    };
    WriteToPagerClick(form, options, report);
  });
}

// The journal line is written however the command ends, an error box included.
void PagerRecords::run(TForm1& form, const char* command, const Body& body) {
  const WallTime at = now();
  const std::size_t logged = form.log().lines().size();
  PagerCommandReport report;
  try {
    body(report, at);
  } catch (const std::exception& error) {
    finish(form, command, at, error.what(), report);
    throw;
  }
  const auto& lines = form.log().lines();
  finish(form, command, at, lines.size() > logged ? lines.back() : std::string(), report);
}

void PagerRecords::finish(TForm1& form, const char* command, WallTime at, std::string outcome,
                          const PagerCommandReport& report) {
  JournalLine line{at, form.config(), portLabel(form), command, std::move(outcome), {}, {}};
  const Image& image = form.image();
  if (report.imageIsPagers) line.pager = pagerIdentity(form.config(), image.eep, image.decoder);
  line.backupFile = report.backup.file;

  pending_.reset();
  std::string notices = backupNotice(report.backup);
  if (dataFolder_.empty()) {
    addNotice(notices, kNoDataFolder);
  } else if (const int error =
                 appendCsvRecord(journalPath(), journalHeader(), journalFields(line))) {
    addNotice(notices,
              "journal could not be written: " + journalPath() + ": " + appendFailure(error));
  }
  if (onNotice) onNotice(notices);
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
