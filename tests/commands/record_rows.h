#pragma once

#include <string>
#include <vector>

#include "files/csv_reader.h"
#include "files/temp_folder.h"
#include "register/register_csv.h"

namespace ccp::test {

// The register's records as the journal's lines, oldest first after the journal's header: its
// export without the holder's column.
inline std::vector<CsvRow> recordRows(PagerRegister& pagerRegister) {
  const TempFolder folder;
  const std::string path = folder.file("records.csv");
  exportRecords(pagerRegister, path);
  std::vector<CsvRow> rows = readCsv(path);
  for (CsvRow& row : rows) row.pop_back();
  return rows;
}

}  // namespace ccp::test
