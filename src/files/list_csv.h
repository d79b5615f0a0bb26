#pragma once

// A customer's list of pagers as a spreadsheet saves it as CSV: a header row of column names,
// then one pager a row. Read as it streams, in whichever of the dialects spreadsheets write, and
// written back in the dialect it came in. Which columns a list must have is for its user.

#include <cstddef>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

#include "files/csv_fields.h"
#include "image/build_config.h"

namespace ccp {

// A spreadsheet's text is UTF-8 or its system's single-byte set; the single-byte set a list can
// be in is the pager model's own (Windows-1252 on the QPX730E, Windows-1255 on the QPX730H).
enum class ListEncoding { Utf8, PagerSet };

struct ListDialect {
  char separator = ',';  // ",", ";" or a tab
  ListEncoding encoding = ListEncoding::Utf8;
  Model model = Model::QPX730E;  // whose single-byte set PagerSet is
  bool byteOrderMark = false;    // a UTF-8 file that begins with one
  std::string lineEnd = "\n";    // or "\r\n"
  bool operator==(const ListDialect&) const = default;
};

// "UTF-8", "Windows-1252" or "Windows-1255".
std::string encodingName(const ListDialect& dialect);

// Longer than any pager's row: a longer record is read past, never kept.
inline constexpr std::size_t kListRecordLimit = 64 * 1024;

// A file that is no list: empty, binary (a NUL byte), or a header that cannot be one.
class NotAList : public std::runtime_error {
 public:
  NotAList(const std::string& why, std::size_t line) : std::runtime_error(why), line_(line) {}
  std::size_t line() const { return line_; }  // where it was found; 0 for the whole file

 private:
  std::size_t line_;
};

struct ListRow {
  std::size_t line = 0;   // the line it begins on; the header is line 1
  std::size_t lines = 1;  // the lines it takes: more where a quoted field breaks lines
  CsvFields fields;       // in UTF-8, each as its cell holds it, blanks at either end kept
  std::string refused;    // why the row could not be read (then no fields), or empty
};

class ListSource;

// Reads a list a row at a time, in the memory of one record however long the file. The
// separator is the one of ",", ";" and tab that the header has most of outside quotes (","
// when it has none); the line end is the header's. Without a byte-order mark the list is UTF-8
// until the first bytes that are not: if no character beyond ASCII came before them, the whole
// list is in the single-byte set from there (what came before reads the same in both); if one
// did, that row is refused as mixed encodings. A failure of the stream's buffer reaches the
// caller.
class ListReader {
 public:
  // Reads the header. NotAList for an empty file, a NUL byte in the header, a header longer than
  // `limit`, one whose quote is never closed or with a column without a name.
  ListReader(std::istream& in, Model model, std::size_t limit = kListRecordLimit);
  ~ListReader();
  ListReader(const ListReader&) = delete;
  ListReader& operator=(const ListReader&) = delete;

  const CsvFields& header() const { return header_; }
  // As found so far: the encoding is final once the last row is read.
  const ListDialect& dialect() const { return dialect_; }

  // The next row, or nothing at the end of the file. A NUL byte ends the reading with NotAList
  // naming its line: a binary file is no list, whatever rows came before it.
  std::optional<ListRow> next();

 private:
  void readHeader(std::size_t& headerLines);
  // The row's fields in UTF-8, the encoding decided by them if it is not yet; false when they
  // mix encodings.
  bool decode(CsvFields& fields);

  std::unique_ptr<ListSource> source_;
  std::istream sourceStream_;
  std::unique_ptr<CsvReader> reader_;
  std::size_t limit_;
  std::size_t headerLines_ = 1;
  ListDialect dialect_;
  bool utf8Sure_ = false;  // a byte-order mark, or a character beyond ASCII, was read
  CsvFields header_;
};

// Writes records in a list's dialect: its separator and line end, its encoding (a UTF-8 field
// into the single-byte set's bytes), its byte-order mark before the first record. A field is
// quoted only where the dialect needs it: it holds the separator, a quote or a line break, or
// has blanks at either end. A field that a spreadsheet would take for a formula is written as
// it stands: a list's cells come back as the customer's spreadsheet wrote them.
class ListWriter {
 public:
  ListWriter(std::ostream& out, ListDialect dialect);

  // False, with nothing written, when a field is not UTF-8 or has a character the list's
  // single-byte set cannot hold; `why`, when given, says which.
  bool write(const CsvFields& fields, std::string* why = nullptr);

 private:
  std::ostream& out_;
  ListDialect dialect_;
  bool started_ = false;
};

}  // namespace ccp
