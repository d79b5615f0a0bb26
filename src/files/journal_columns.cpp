#include "files/journal_columns.h"

namespace ccp {

const std::vector<std::string>& journalHeader() {
  static const std::vector<std::string> header = {"Date and time", "Model",
                                                  "Edition",       "Port",
                                                  "Command",       "Outcome",
                                                  "Serial number", "Capcode 1",
                                                  "Capcode 2",     "Capcode 3",
                                                  "Capcode 4",     "Capcode 5",
                                                  "Capcode 6",     "Channel frequency",
                                                  "Backup file"};
  return header;
}

}  // namespace ccp
