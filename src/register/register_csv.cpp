#include "register/register_csv.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <span>

#include "files/csv_fields.h"
#include "files/file_io.h"
#include "files/journal_columns.h"
#include "files/journal_file.h"
#include "register/record_columns.h"

namespace ccp {

namespace {

bool isBlank(const CsvFields& fields) {
  return fields.size() == 1 && fields.front().empty();
}

}  // namespace

ImportResult importJournal(PagerRegister& pagerRegister, const std::string& path,
                           const std::string& station) {
  std::ifstream in(path, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!in.is_open() || in.bad()) {
    throw RegisterError(RegisterFault::Invalid, "The journal " + path + " cannot be read");
  }
  const std::vector<CsvFields> lines = parseCsv(text);
  if (lines.empty() || !isJournalHeader(lines.front())) {
    throw RegisterError(RegisterFault::Invalid,
                        "The file " + path + " is not a journal of this program");
  }
  ImportResult result;
  std::vector<Record>& records = result.records;
  for (auto line = lines.begin() + 1; line != lines.end(); ++line) {
    if (isBlank(*line)) continue;
    ++result.lines;
    CsvFields fields;
    std::transform(line->begin(), line->end(), std::back_inserter(fields), csvText);
    if (auto record = recordFromJournal(fields, station)) {
      records.push_back(std::move(*record));
    } else {
      ++result.refused;
    }
  }
  PagerRegister::Imported imported =
      pagerRegister.importRecords(records, {station, std::chrono::system_clock::now(), {}});
  result.added = imported.added;
  result.present = records.size() - result.added;
  result.holds = std::move(imported.holds);
  return result;
}

std::size_t exportRecords(PagerRegister& pagerRegister, const std::string& path,
                          RecordQuery query) {
  std::vector<std::string> header = journalHeader();
  header.push_back("Holder state");
  std::string text = csvRecord(header);
  // One query, so that the file is one consistent set while other stations write.
  query.offset = 0;
  query.limit = 0;
  const std::vector<Record> records = pagerRegister.records(query);
  for (const Record& record : records) {
    std::vector<std::string> fields = journalFieldsOf(record);
    fields.push_back(record.holds ? holderStateName(*record.holds) : "");
    text += csvRecord(fields);
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  if (!replaceFile(path, std::span(bytes, text.size()))) {
    throw RegisterError(RegisterFault::Invalid, "The export " + path + " cannot be written");
  }
  return records.size();
}

}  // namespace ccp
