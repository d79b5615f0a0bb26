#pragma once

#include <functional>
#include <optional>
#include <string>

#include "commands/pager_backup.h"
#include "files/outcome_lines.h"
#include "files/time_stamp.h"
#include "image/pager_identity.h"

namespace ccp {

class TForm1;

// A verified write advances the capcodes of rows 1 to kAdvancingRows by their auto-increment
// steps; the rows after them stay as they are.
inline constexpr int kAdvancingRows = 4;

// What a face may ask of Write to pager beyond the menu command.
struct WriteOptions {
  // Before the write, the whole pager is read and kept as a configuration file in this folder.
  std::optional<std::string> backupFolder;
  // Before the write, the whole pager is read, so that what it holds is known (a backup reads
  // it anyway).
  bool readWholePager = false;
  WallTime startedAt{};  // names the backup
  // Told as soon as the backup is made, before anything is written.
  std::function<void(const BackupResult&)> backedUp;
  // Asked before anything is written, and before anything at all is sent unless the write
  // begins with a whole read; then with what the pager held, when it could be read. False
  // stops the write there; it logs its own lines.
  std::function<bool(const std::optional<PagerIdentity>& pager)> mayWrite;
};

// What a pager command did beside its log lines.
struct PagerCommandReport {
  // The image holds what was read from the pager, or what was sent to it.
  bool imageIsPagers = false;
  BackupResult backup;
  // A write's whole read first: what the pager held before.
  std::optional<PagerIdentity> pagerBefore;
  bool writeBegun = false;  // the decoder was being written: the pager may hold the new capcodes
  bool verified = false;    // "Verify OK !"
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
