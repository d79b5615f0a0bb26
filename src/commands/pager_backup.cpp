#include "commands/pager_backup.h"

#include "files/backup_file.h"
#include "files/config_file.h"
#include "image/checksum.h"
#include "image/pager_identity.h"
#include "link/eeprom_types.h"
#include "link/programmer_link.h"

namespace ccp {

std::optional<WholePager> readWholePager(ProgrammerLink& link, const Progress& progress) {
  WholePager pager;
  // A pager of the other model is read too: its bytes are sound, and the write refuses it anyway.
  if (!link.decoder().DecoderReadBlock(pager.decoder, progress) ||
      link.eeprom().EepTransfer(kPagerEepromType, "r", pager.eep, progress) != kEepReadDone ||
      !checksumOk(pager.eep)) {
    return std::nullopt;
  }
  return pager;
}

BackupResult keepBackup(const std::optional<WholePager>& pager, bool stopped,
                        const BuildConfig& config, const std::string& folder, WallTime at) {
  if (!pager) return {stopped ? BackupStatus::Interrupted : BackupStatus::PagerUnreadable, {}};
  const PagerIdentity identity = pagerIdentity(config, pager->eep, pager->decoder);
  const std::string name =
      backupFileName(fileTimeStamp(localTime(at)), identity.serial, identity.capcodes[0]);
  const std::optional<std::string> path =
      saveNewFile(folder, name, configFileBytes(pager->eep, pager->decoder));
  if (!path) return {BackupStatus::NotSaved, {}};
  return {BackupStatus::Made, *path};
}

}  // namespace ccp
