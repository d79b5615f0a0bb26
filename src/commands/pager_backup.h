#pragma once

#include <string>

#include "files/time_stamp.h"
#include "image/build_config.h"
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

// Reads the whole pager as Read from pager does, the decoder then the EEPROM, into buffers of
// its own, and keeps what it read as a configuration file in `folder`: the pager's own bytes,
// its checksum as read. Nothing of the window changes and nothing is logged.
BackupResult backUpPager(ProgrammerLink& link, const Progress& progress, const BuildConfig& config,
                         const std::string& folder, WallTime at);

}  // namespace ccp
