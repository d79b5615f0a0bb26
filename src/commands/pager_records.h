#pragma once

#include <functional>
#include <optional>
#include <string>

#include "commands/pager_commands.h"
#include "files/journal_file.h"
#include "files/time_stamp.h"

namespace ccp {

class TForm1;

// Said when the environment names no data folder.
inline constexpr const char* kNoDataFolder =
    "no data folder: neither HOME nor XDG_DATA_HOME is set; no journal or backups are kept";

// What a face keeps of the pager commands in its data folder: a line in "journal.csv" for every
// read and write, finished or failed, and, when asked for, a backup of each pager in "backups"
// before it is written. Nothing of this reaches the log; what the user should know goes to
// onNotice. Without a data folder (empty) nothing is kept, and each command says so.
class PagerRecords {
 public:
  explicit PagerRecords(std::string dataFolder) : dataFolder_(std::move(dataFolder)) {}

  const std::string& dataFolder() const { return dataFolder_; }
  std::string backupFolder() const;
  std::string journalPath() const;

  bool backupBeforeWrite() const { return backupBeforeWrite_; }
  void setBackupBeforeWrite(bool on) { backupBeforeWrite_ = on; }

  // Read from pager and Write to pager, with their records kept.
  void read(TForm1& form);
  void write(TForm1& form);

  // Told once at the end of each command: "no backup: pager could not be read", "journal could
  // not be written: PATH: REASON" and the like, joined by "; "; empty when all went well.
  std::function<void(const std::string&)> onNotice;
  // The wall clock that stamps backups and journal lines.
  std::function<WallTime()> now = [] { return std::chrono::system_clock::now(); };

 private:
  using Body = std::function<void(PagerCommandReport&, WallTime)>;
  void run(TForm1& form, const char* command, const Body& body);
  void finish(TForm1& form, const char* command, WallTime at, std::string outcome,
              const PagerCommandReport& report);

  std::string dataFolder_;
  bool backupBeforeWrite_ = false;
  std::optional<PendingRecord> pending_;  // while a backup waits for its journal line
};

// Binds Read from pager, Write to pager, "Back up pagers before writing" and "Open backup..."
// to the records, and enables the last two. The records must outlive the binding.
void bindPagerRecords(TForm1& form, PagerRecords& records);
// The plain pager commands again, for a face that goes before its form.
void unbindPagerRecords(TForm1& form);

// The check item: backups on or off.
void BackupBeforeWrite1Click(TForm1& form, PagerRecords& records);
// The open dialog in the backup folder, then the file loads as File > Open loads it.
void OpenBackup1Click(TForm1& form, const PagerRecords& records);

}  // namespace ccp
