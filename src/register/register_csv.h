#pragma once

// The register as a CSV file and back: an export with the journal's columns and the holder's
// state, for a paging terminal's import or a spreadsheet; the import of a journal, so that the
// lines a station kept in "journal.csv" become its records.

#include <cstddef>
#include <string>
#include <vector>

#include "register/pager_register.h"

namespace ccp {

inline RecordQuery oldestFirst() {
  RecordQuery query;
  query.descending = false;
  return query;
}

struct ImportResult {
  std::size_t lines = 0;        // lines after the header
  std::size_t added = 0;        // new records
  std::size_t present = 0;      // records that were there already
  std::size_t refused = 0;      // lines that are no record: a field missing, no time, a bad capcode
  std::vector<Record> records;  // what the other lines are, in their order
  HoldOutcome holds;            // what the records added found, as they were applied
};

// Imports the journal at `path` as records of `station`, in one transaction, applied to the
// holds as PagerRegister::importRecords() does. A file that cannot be read, or whose header is
// not the journal's, is refused (Invalid) and nothing is added.
ImportResult importJournal(PagerRegister& pagerRegister, const std::string& path,
                           const std::string& station);

// Writes the records the query's filters let through, in its order (by default oldest first,
// as in a journal), with the journal's columns and "Holder state" ("held", "failed" or empty)
// to a new or replaced file; the query's page is ignored. How many records were written. A file
// that cannot be written: Invalid.
std::size_t exportRecords(PagerRegister& pagerRegister, const std::string& path,
                          RecordQuery query = oldestFirst());

}  // namespace ccp
