#include "commands/pager_journal.h"

#include <filesystem>

namespace ccp {

std::string journalPathIn(const std::string& dataFolder) {
  return (std::filesystem::path(dataFolder) / kJournalFileName).string();
}

std::vector<std::string> journalFields(const JournalLine& line) {
  std::vector<std::string> fields = {
      isoTimeStamp(localTime(line.at)),
      modelName(line.config.model),
      line.config.edition == Edition::Factory ? "Factory" : "Customer",
      line.port,
      line.command,
      line.outcome,
  };
  if (line.pager) {
    fields.push_back(line.pager->serial);
    fields.insert(fields.end(), line.pager->capcodes.begin(), line.pager->capcodes.end());
    fields.push_back(line.pager->frequency);
  } else {
    fields.resize(fields.size() + 2 + kAddressCount);  // nothing known of the pager
  }
  fields.push_back(line.backupFile);
  return fields;
}

}  // namespace ccp
