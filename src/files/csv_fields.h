#pragma once

// The CSV text of the journal and the register's exports: written so that any spreadsheet reads
// it, and read back as a spreadsheet may have saved it.

#include <cstddef>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ccp {

using CsvFields = std::vector<std::string>;

// The fields joined by commas; a field holding a comma, a quote, a line break or blanks at
// either end is quoted, its quotes doubled; one a spreadsheet would take for a formula ("=",
// "+", "-", "@" or a tab first) is kept as text by a leading apostrophe, and so is one with
// apostrophes before such a character, so that csvText() gives every field back. Ends with a
// line break.
std::string csvRecord(const CsvFields& fields);

// The records of a CSV text, read one at a time from a stream: quoted fields with doubled quotes
// and line breaks inside, lines ended by "\n" or "\r\n", a last line without a line break. Each
// comes with the number of the line it begins on, so that a file of any size is read in the
// memory of one record. A failure of the stream's buffer (an exception from its underflow)
// reaches the caller.
class CsvReader {
 public:
  explicit CsvReader(std::istream& in, char separator = ',')
      : in_(*in.rdbuf()), separator_(separator) {}

  // Whether a line begins a record, told from its first bytes (without its line break).
  using RecordStart = std::function<bool(std::string_view lineStart)>;
  // A quoted field that runs on into a line that begins a record ends before that line, which is
  // read as the next record: one stray quote costs its own line only. `lookahead` bytes of each
  // line a quoted field runs into are looked at. Without this, a quoted field runs on until its
  // closing quote, however many lines that takes.
  void setRecordStart(std::size_t lookahead, RecordStart begins);

  struct Line {
    std::size_t number = 0;  // the first line is 1
    std::size_t lines = 1;   // the lines it takes: more than one where a quoted field breaks lines
    CsvFields fields;
    bool tooLong = false;  // longer than the limit: its fields are left out
    // A quoted field was still open where the record ended: at the end of the stream, or before a
    // line that begins a record. The fields are as far as they were read.
    bool unmatchedQuote = false;
  };
  // What a record longer than the limit does to the reading: read past to its end, or stop in it
  // (nothing more is read).
  enum class TooLong { ReadPast, Stop };

  // The next record, or nothing at the end of the stream.
  std::optional<Line> next(std::size_t limit, TooLong tooLong = TooLong::ReadPast);

 private:
  using Traits = std::streambuf::traits_type;
  Traits::int_type take();
  Traits::int_type peek();
  bool nextLineBeginsRecord();

  std::streambuf& in_;
  char separator_;
  std::size_t line_ = 1;
  std::size_t lookahead_ = 0;
  RecordStart begins_;
  std::string ahead_;  // bytes read to look at a line's start, not taken yet from aheadAt_ on
  std::size_t aheadAt_ = 0;
};

// A field as it was before csvRecord kept it from being taken for a formula: the first of the
// apostrophes before a leading "=", "+", "-", "@" or tab dropped; any other field as it stands.
std::string csvText(std::string_view field);

}  // namespace ccp
