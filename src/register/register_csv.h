#pragma once

// The register as a CSV file and back: an export with the journal's columns and the holder's
// state, for a paging terminal's import or a spreadsheet; the import of a journal, so that the
// lines a station kept in "journal.csv" become its records.

#include <chrono>
#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "register/pager_register.h"

namespace ccp {

inline RecordQuery oldestFirst() {
  RecordQuery query;
  query.descending = false;
  return query;
}

// A line of a journal that did not become a record, and why.
struct RefusedLine {
  std::size_t line = 0;   // its number in the file; the header is line 1
  std::string reason;     // "not a record: too few fields: 3 of 15", "refused by the register: ..."
  std::size_t lines = 1;  // the lines it takes: more where a quoted field breaks lines
};

// Every line after the header is accounted for: recordLines + refusedLines() == lines, and
// lines + blankLines are the file's lines after its header.
struct ImportResult {
  std::size_t lines = 0;             // lines after the header, blank lines left out
  std::size_t blankLines = 0;        // empty lines, passed over without a word
  std::size_t recordLines = 0;       // the lines of the records added or there already
  std::size_t added = 0;             // new records
  std::size_t present = 0;           // records that were there already
  std::vector<RefusedLine> refused;  // in the order of the file
  std::vector<Record> records;       // the records the register holds of the other lines
  HoldOutcome holds;                 // what the records added found, as they were applied

  std::size_t refusedLines() const;
};

// Imports the journal read from `in` (named `name` in messages) as records of `station`, in one
// transaction, applied to the holds as PagerRegister::importRecords() does. Its header is read
// first: a text that is not a journal of this program is refused (Invalid) before more of it is
// read, and nothing is added. Then line by line: a line that is not a record, that is dated more
// than a day after `now` (a station's clock may be a little ahead, not days), or that the
// register refuses, is left out and said; the others are added. A quoted field left open by a
// stray quote ends before the next line that begins with a journal's time stamp: that line is
// read as the record it is. A failure to read `in` (std::system_error from its buffer) reaches
// the caller, before anything is added.
ImportResult importJournal(PagerRegister& pagerRegister, std::istream& in, const std::string& name,
                           const std::string& station,
                           WallTime now = std::chrono::system_clock::now());
// The same for the file at `path`. A file that cannot be read, whatever the step, is refused
// (Invalid) with the system's reason, and nothing is added.
ImportResult importJournal(PagerRegister& pagerRegister, const std::string& path,
                           const std::string& station,
                           WallTime now = std::chrono::system_clock::now());

// Writes the records the query's filters let through, in its order (by default oldest first,
// as in a journal), with the journal's columns and "Holder state" ("held", "failed" or empty);
// the query's page is ignored. How many records were written.
std::size_t exportRecords(PagerRegister& pagerRegister, std::ostream& out,
                          RecordQuery query = oldestFirst());
// The same to a new or replaced file. A file that cannot be written: Invalid, with the system's
// reason.
std::size_t exportRecords(PagerRegister& pagerRegister, const std::string& path,
                          RecordQuery query = oldestFirst());

}  // namespace ccp
