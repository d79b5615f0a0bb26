#include "files/journal_columns.h"

#include <algorithm>

#include "files/time_stamp.h"

namespace ccp {

const std::vector<std::string>& journalHeader() {
  static const std::vector<std::string> header = {"Date and time", "Model",
                                                  "Edition",       "Port",
                                                  "Command",       "Outcome",
                                                  "Serial number", "Capcode 1",
                                                  "Capcode 2",     "Capcode 3",
                                                  "Capcode 4",     "Capcode 5",
                                                  "Capcode 6",     "Channel frequency",
                                                  "Backup file",   "Individual rows",
                                                  "Enabled rows",  "Pager before",
                                                  "Serial before"};
  return header;
}

bool isJournalHeader(const std::vector<std::string>& fields) {
  const auto& header = journalHeader();
  return fields.size() >= kJournalBaseColumns &&
         std::equal(header.begin(), header.begin() + kJournalBaseColumns, fields.begin());
}

bool beginsJournalLine(std::string_view lineStart) {
  const auto comma = lineStart.find(',');
  return comma != std::string_view::npos && parseIsoTimeStamp(lineStart.substr(0, comma));
}

}  // namespace ccp
