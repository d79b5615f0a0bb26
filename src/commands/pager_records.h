#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/capcode_guard.h"
#include "commands/holder_lines.h"
#include "commands/pager_commands.h"
#include "commands/pager_journal.h"
#include "commands/register_connection.h"
#include "commands/register_settings.h"
#include "files/journal_file.h"
#include "files/time_stamp.h"

namespace ccp {

class TForm1;

// Said when the environment names no data folder.
inline constexpr const char* kNoDataFolder =
    "no data folder: neither HOME nor XDG_DATA_HOME names an absolute folder; no journal or "
    "backups are kept";

// What a face keeps of the pager commands: a record in the pager register for every read and
// write, finished or failed, with which pagers have which capcode, and, when asked for, a
// backup of each pager in "backups" in the data folder before it is written. A record the
// register cannot keep goes to "journal.csv" in the data folder instead. Writes are guarded as
// the register settings say (see CapcodeGuard). Nothing of this reaches the log but what the
// guard says of a write's capcodes; what the user should know goes to onNotice. Without a data
// folder (empty) and no register named, nothing is kept, and each command says so.
class PagerRecords {
 public:
  // Until setRegister(), the register is register.sqlite in the data folder, the guard off.
  explicit PagerRecords(std::string dataFolder);

  const std::string& dataFolder() const { return dataFolder_; }
  std::string backupFolder() const;
  std::string journalPath() const;

  // The register settings this face goes by, and what they come to on this machine
  // (registerUse() in app/register_place.h). The register is opened again when its location
  // changes. While the use refuses settings, Read and Write say why and do nothing else.
  void setRegister(const RegisterSettings& settings, const RegisterUse& use);
  const RegisterSettings& registerSettings() const { return settings_; }
  const RegisterUse& registerUse() const { return use_; }
  // The register the records go to, for a face's views of it: get() opens it when it is not.
  RegisterConnection& registerConnection() { return connection_; }

  bool backupBeforeWrite() const { return backupBeforeWrite_; }
  void setBackupBeforeWrite(bool on) { backupBeforeWrite_ = on; }

  // Read from pager and Write to pager, with their records kept.
  void read(TForm1& form);
  void write(TForm1& form);

  // How a row of a customer's list is written: guarded whatever the settings say, a taken
  // capcode never moved on (a carrier's capcodes are assigned), the row's own individual rows,
  // and the whole pager read first, so that `beforeWrite`, told what it held, may stop the
  // write with a line of its own (logged with a beep; nothing sent).
  struct ListRowWrite {
    std::vector<int> individualRows;
    std::function<std::optional<std::string>(const std::optional<PagerIdentity>&)> beforeWrite;
  };
  void write(TForm1& form, const ListRowWrite& row);
  // The record of the last command, when the register kept it.
  std::optional<long long> lastRecordId() const { return lastRecordId_; }
  // The last write stopped at the guard, before anything was written.
  bool guardStopped() const { return guardStopped_; }
  // Capcodes of the last write that were released by hand while it ran: its pager may share
  // them with another. Empty when there were none.
  const std::vector<int>& releasedWhileWritten() const { return releasedWhileWritten_; }
  // The last command's record could be kept neither in the register nor in journal.csv.
  bool recordLost() const { return recordLost_; }

  // How the face names its ways on in the notices (the window's, until a face gives its own).
  void setWords(const FaceWords& words);

  // Told once at the end of each command: "no backup: pager could not be read", "record could
  // not be kept in the register, it is in journal.csv: REASON", how to go on after the guard
  // refused a capcode and the like, joined by "; "; empty when all went well.
  std::function<void(const std::string&)> onNotice;
  // How the face names next-free when it turned the guard on for a write (nextFreeGuardNotice()).
  std::string nextFreeCause = "when-taken = next-free";
  // The wall clock that stamps backups and journal lines.
  std::function<WallTime()> now = [] { return std::chrono::system_clock::now(); };

 private:
  using Body = std::function<void(PagerCommandReport&, WallTime)>;
  bool refused();
  void run(TForm1& form, const char* command, const Body& body, CapcodeGuard* guard = nullptr);
  void write(TForm1& form, const GuardRules& rules, const ListRowWrite* row);
  void finish(TForm1& form, const char* command, WallTime at, std::string outcome,
              const PagerCommandReport& report, CapcodeGuard* guard);
  // The line a process ended at once appends, in place of the one before.
  void keepReady(const JournalLine& line);
  std::optional<long long> keep(const JournalLine& line, std::string& notices);
  void applyRecord(long long recordId, std::string& notices);

  std::string dataFolder_;
  bool backupBeforeWrite_ = false;
  // The journal line a process ended at once appends: the backup's while the write runs, the
  // command's own from its end until its record is kept.
  std::unique_ptr<PendingRecord> pending_;
  RegisterSettings settings_;
  RegisterUse use_;
  RegisterConnection connection_;
  FaceWords words_ = windowWords();
  bool guardStopped_ = false;
  std::vector<int> releasedWhileWritten_;
  bool recordLost_ = false;
  std::optional<long long> lastRecordId_;
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
