#pragma once

#include <functional>
#include <optional>
#include <string>

#include "commands/pager_backup.h"
#include "files/time_stamp.h"

namespace ccp {

class TForm1;

// The last line of a pager command that stopped because the user asked it to (Ctrl-C on a
// terminal): it stops where the pager is consistent, after an EEPROM page or a decoder record.
inline constexpr const char* kInterruptedLine = "Interrupted: the pager may be partly written";

// What a face may ask of Write to pager beyond the menu command.
struct WriteOptions {
  // Before the write, the whole pager is read and kept as a configuration file in this folder.
  std::optional<std::string> backupFolder;
  WallTime startedAt{};  // names the backup
  // Told as soon as the backup is made, before anything is written.
  std::function<void(const BackupResult&)> backedUp;
};

// What a pager command did beside its log lines.
struct PagerCommandReport {
  // The image holds what was read from the pager, or what was sent to it.
  bool imageIsPagers = false;
  BackupResult backup;
};

// The two pager commands of the main menu.
void ReadFromPagerClick(TForm1& form);
void WriteToPagerClick(TForm1& form);
// The same, telling what they did.
void ReadFromPagerClick(TForm1& form, PagerCommandReport& report);
void WriteToPagerClick(TForm1& form, const WriteOptions& options, PagerCommandReport& report);

// The image Write to pager sends, before its checksum is stored: in the customer edition the
// pager's EEPROM bytes in the EEP read buffer with the pager's firmware identity taken into the
// window, in the factory edition a cleared block with the build's model marker; then the window
// encoded into it.
void prepareWriteImage(TForm1& form);

void bindPagerCommands(TForm1& form);

}  // namespace ccp
