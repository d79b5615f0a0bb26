#include "commands/pager_journal.h"

#include <filesystem>

#include "register/record_columns.h"

namespace ccp {

std::string journalPathIn(const std::string& dataFolder) {
  return (std::filesystem::path(dataFolder) / kJournalFileName).string();
}

Record journalRecord(const JournalLine& line, const std::string& station) {
  Record record;
  record.at = line.at;
  record.station = station;
  record.model = modelName(line.config.model);
  record.edition = line.config.edition == Edition::Factory ? "Factory" : "Customer";
  record.port = line.port;
  record.command = line.command;
  record.outcome = line.outcome;
  if (line.pager) {  // else nothing is known of the pager
    record.serial = line.pager->serial;
    record.capcodes = line.pager->capcodes;
    record.frequency = line.pager->frequency;
  }
  record.backupFile = line.backupFile;
  return record;
}

std::vector<std::string> journalFields(const JournalLine& line) {
  return journalFieldsOf(journalRecord(line, {}));
}

}  // namespace ccp
