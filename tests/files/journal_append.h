#pragma once

#include <string>
#include <vector>

#include "files/journal_file.h"

namespace ccp::test {

// Appends one record to the journal at `path` as a command appends its record: the journal
// (and its folder) made with its header when missing. 0 when the record was appended, else why
// not.
inline int appendCsvRecord(const std::string& path, const std::vector<std::string>& header,
                           const std::vector<std::string>& fields) {
  return PendingRecord(path, header, fields).append();
}

}  // namespace ccp::test
