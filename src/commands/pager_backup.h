#pragma once

#include <optional>
#include <string>

#include "files/time_stamp.h"
#include "image/build_config.h"
#include "image/layout.h"
#include "link/progress.h"

namespace ccp {

class ProgrammerLink;

enum class BackupStatus {
  NotAsked,
  Made,
  PagerUnreadable,  // the decoder or the EEPROM did not answer, or the checksum is wrong
  NotSaved,         // read well, but the file could not be written
  Interrupted,      // the user asked the command to stop before the pager was read whole
};

struct BackupResult {
  BackupStatus status = BackupStatus::NotAsked;
  std::string file;  // full path, when made
};

// The whole pager as it was read: its own bytes, its checksum as read.
struct WholePager {
  EepBlock eep{};
  DecoderBlock decoder{};
};

// Reads the whole pager as Read from pager does, the decoder then the EEPROM, into buffers of
// its own; nothing when a chip did not answer or the checksum is wrong. Nothing of the window
// changes and nothing is logged.
std::optional<WholePager> readWholePager(ProgrammerLink& link, const Progress& progress);

// Keeps what readWholePager() read as a configuration file in `folder`.
BackupResult keepBackup(const std::optional<WholePager>& pager, bool stopped,
                        const BuildConfig& config, const std::string& folder, WallTime at);

}  // namespace ccp
