#include "commands/pager_backup.h"

#include <optional>

#include "files/backup_file.h"
#include "files/config_file.h"
#include "image/checksum.h"
#include "image/pager_identity.h"
#include "link/eeprom_types.h"
#include "link/programmer_link.h"

namespace ccp {

BackupResult backUpPager(ProgrammerLink& link, const Progress& progress, const BuildConfig& config,
                         const std::string& folder, WallTime at) {
  EepBlock eep{};
  DecoderBlock decoder{};
  // A pager of the other model is kept too: its bytes are sound, and the write refuses it anyway.
  if (!link.decoder().DecoderReadBlock(decoder, progress) ||
      link.eeprom().EepTransfer(kPagerEepromType, "r", eep, progress) != kEepReadDone ||
      !checksumOk(eep)) {
    return {link.stopped() ? BackupStatus::Interrupted : BackupStatus::PagerUnreadable, {}};
  }
  const PagerIdentity pager = pagerIdentity(config, eep, decoder);
  const std::string name =
      backupFileName(fileTimeStamp(localTime(at)), pager.serial, pager.capcodes[0]);
  const std::optional<std::string> path = saveNewFile(folder, name, configFileBytes(eep, decoder));
  if (!path) return {BackupStatus::NotSaved, {}};
  return {BackupStatus::Made, *path};
}

}  // namespace ccp
