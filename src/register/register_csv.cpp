#include "register/register_csv.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <span>
#include <sstream>
#include <system_error>

#include "files/csv_fields.h"
#include "files/file_input.h"
#include "files/file_io.h"
#include "files/journal_columns.h"
#include "register/record_columns.h"

namespace ccp {

namespace {

// Longer than any line the journal writes: a longer one is no record, and is read past without
// being kept, so that no line can take the memory.
constexpr std::size_t kLongestLine = 64 * 1024;

// A station's clock may be a little ahead of this one's; a line dated later than this is no
// record of a command that ran.
constexpr auto kClockAhead = std::chrono::hours(24);

bool isBlank(const CsvReader::Line& line) {
  return !line.tooLong && !line.unmatchedQuote && line.lines == 1 && line.fields.size() == 1 &&
         line.fields.front().empty();
}

bool isJournalHeaderLine(const std::optional<CsvReader::Line>& line) {
  return line && !line->tooLong && isJournalHeader(line->fields);
}

// The record of a journal line, or nothing and why it is none.
std::optional<Record> lineRecord(const CsvReader::Line& line, const std::string& station,
                                 WallTime now, std::string& why) {
  if (line.tooLong) {
    why = "longer than " + std::to_string(kLongestLine) + " bytes";
    return std::nullopt;
  }
  if (line.unmatchedQuote) {
    why = "a quoted field runs on: unmatched quote";
    return std::nullopt;
  }
  CsvFields fields;
  std::transform(line.fields.begin(), line.fields.end(), std::back_inserter(fields), csvText);
  auto record = recordFromJournal(fields, station, &why);
  if (record && record->at > now + kClockAhead) {
    why = "dated " + fields[0] + ", more than a day after the import";
    return std::nullopt;
  }
  return record;
}

RegisterError unreadable(const std::string& path, int error) {
  return RegisterError(RegisterFault::Invalid,
                       "The journal " + path + " cannot be read: " + std::strerror(error));
}

RegisterError unwritable(const std::string& path, int error) {
  return RegisterError(RegisterFault::Invalid,
                       "The export " + path + " cannot be written: " + std::strerror(error));
}

}  // namespace

std::size_t ImportResult::refusedLines() const {
  std::size_t count = 0;
  for (const RefusedLine& r : refused) count += r.lines;
  return count;
}

ImportResult importJournal(PagerRegister& pagerRegister, std::istream& in, const std::string& name,
                           const std::string& station, WallTime now) {
  CsvReader reader(in);
  if (!isJournalHeaderLine(reader.next(kLongestLine, CsvReader::TooLong::Stop))) {
    throw RegisterError(RegisterFault::Invalid,
                        "The file " + name + " is not a journal of this program");
  }
  reader.setRecordStart(kJournalLineStart, beginsJournalLine);
  ImportResult result;
  std::vector<Record> records;
  struct Place {
    std::size_t line = 0;   // where it begins
    std::size_t lines = 0;  // how many it takes
  };
  std::vector<Place> placeOf;  // of each record
  while (auto line = reader.next(kLongestLine)) {
    if (isBlank(*line)) {
      ++result.blankLines;
      continue;
    }
    result.lines += line->lines;
    std::string why;
    if (auto record = lineRecord(*line, station, now, why)) {
      records.push_back(std::move(*record));
      placeOf.push_back({line->number, line->lines});
      continue;
    }
    result.refused.push_back({line->number, "not a record: " + why, line->lines});
  }
  PagerRegister::Imported imported = pagerRegister.importRecords(records, {station, now, {}});
  std::vector<bool> refused(records.size(), false);
  for (const AddedRecords::Refused& r : imported.refused) {
    refused[r.index] = true;
    const Place& place = placeOf[r.index];
    result.refused.push_back({place.line, "refused by the register: " + r.reason, place.lines});
  }
  std::stable_sort(result.refused.begin(), result.refused.end(),
                   [](const RefusedLine& a, const RefusedLine& b) { return a.line < b.line; });
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (refused[i]) continue;
    result.records.push_back(std::move(records[i]));
    result.recordLines += placeOf[i].lines;
  }
  result.added = imported.added;
  result.present = result.records.size() - imported.added;
  result.holds = std::move(imported.holds);
  return result;
}

ImportResult importJournal(PagerRegister& pagerRegister, const std::string& path,
                           const std::string& station, WallTime now) {
  FileInput file(path);
  if (file.error() != 0) throw unreadable(path, file.error());
  try {
    return importJournal(pagerRegister, file.stream(), path, station, now);
  } catch (const std::system_error& error) {
    throw unreadable(path, error.code().value());
  }
}

std::size_t exportRecords(PagerRegister& pagerRegister, std::ostream& out, RecordQuery query) {
  std::vector<std::string> header = journalHeader();
  header.push_back("Holder state");
  out << csvRecord(header);
  // One query, so that the file is one consistent set while other stations write.
  query.offset = 0;
  query.limit = 0;
  const std::vector<Record> records = pagerRegister.records(query);
  for (const Record& record : records) {
    std::vector<std::string> fields = journalFieldsOf(record);
    fields.push_back(record.holds ? holderStateName(*record.holds) : "");
    out << csvRecord(fields);
  }
  return records.size();
}

std::size_t exportRecords(PagerRegister& pagerRegister, const std::string& path,
                          RecordQuery query) {
  // Asked before the register is, so that a file that cannot be written costs no query.
  if (const int refusal = replaceRefusal(path); refusal != 0) throw unwritable(path, refusal);
  std::ostringstream text;
  const std::size_t written = exportRecords(pagerRegister, text, std::move(query));
  const std::string bytes = text.str();
  if (!replaceFile(path,
                   std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()))) {
    throw unwritable(path, errno);
  }
  return written;
}

}  // namespace ccp
