#pragma once

// A journal kept as a CSV file: one record a line, only ever appended, so any spreadsheet can
// read it.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "files/csv_fields.h"

namespace ccp {

class FileCalls;

// Why a record was not appended: an errno value, or this.
inline constexpr int kNotARegularFile = -1;

// "not a regular file", or the system's words for an errno value.
std::string appendFailure(int error);

// Appends a record made by csvRecord() to the journal at `path`, a file that exists: an empty
// file gets the header first, a last line without its line break (a spreadsheet saved the file
// so) gets one first, and a record that cannot be written whole (a full disk) is taken back: the
// journal holds whole records only. Anything but a regular file is refused without waiting on it
// (a FIFO), and a process run as root follows no symbolic link there. Async-signal-safe; 0 when
// the record was appended, else why not.
int appendCsvText(const char* path, std::string_view header, std::string_view record,
                  FileCalls& calls) noexcept;

// A record kept ready for a process that has to end at once, before the command that made it
// could keep its own record (a second Ctrl-C in the middle of a write, or while the register is
// waited for): appendPendingRecord() appends the one in place, if any, and is safe in a signal
// handler. A missing journal is made only then (its folder at once), so a command that ends as
// usual and keeps its record elsewhere leaves none. A new record takes the place of the one before
// at once, so a process ended at any moment appends one of them.
class PendingRecord {
 public:
  PendingRecord(std::string path, const std::vector<std::string>& header,
                const std::vector<std::string>& fields);
  ~PendingRecord();
  PendingRecord(const PendingRecord&) = delete;
  PendingRecord& operator=(const PendingRecord&) = delete;

  // Appends the record now and takes it out of place; the signals wait meanwhile, so a process
  // ended then appends it once, never twice nor half. A missing journal (and its folder) is made
  // with its header in one piece, so of two programs that start it at once only one writes the
  // header; the record goes on as appendCsvText() appends it. 0 when it was appended, else why
  // not.
  int append();

 private:
  friend void appendPendingRecord() noexcept;
  void withdraw() noexcept;

  std::string path_;
  std::filesystem::path folder_;
  std::string header_;
  std::string record_;
};

void appendPendingRecord() noexcept;

}  // namespace ccp
