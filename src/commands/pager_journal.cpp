#include "commands/pager_journal.h"

#include <filesystem>

#include "image/capcode.h"
#include "register/record_columns.h"

namespace ccp {

std::string journalPathIn(const std::string& dataFolder) {
  return (std::filesystem::path(dataFolder) / kJournalFileName).string();
}

PagerRows pagerRowsOf(const PagerIdentity& pager) {
  PagerRows rows;
  for (int i = 0; i < kAddressCount; ++i) {
    rows.capcodes[i] = capcodeNumber(pager.capcodes[i]);
    rows.enabled[i] = pager.enabled[i];
  }
  return rows;
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
    for (int row = 1; row <= kAddressCount; ++row) {
      if (line.pager->enabled[row - 1]) record.enabledRows.push_back(row);
    }
  }
  record.backupFile = line.backupFile;
  record.individualRows = line.individualRows;
  if (line.pagerBefore) {
    record.pagerBefore = pagerRowsOf(*line.pagerBefore);
    record.serialBefore = line.pagerBefore->serial;
  }
  return record;
}

std::vector<std::string> journalFields(const JournalLine& line) {
  return journalFieldsOf(journalRecord(line, {}));
}

}  // namespace ccp
