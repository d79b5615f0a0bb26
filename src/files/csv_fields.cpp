#include "files/csv_fields.h"

#include <utility>

namespace ccp {

namespace {

// A spreadsheet takes a cell that starts with one of these for a formula; a serial number read
// from a pager or a file could be made to start with one.
constexpr std::string_view kFormulaStarts = "=+-@\t";

bool needsQuotes(const std::string& field) {
  if (field.find_first_of(",\"\r\n") != std::string::npos) return true;
  return !field.empty() && (field.front() == ' ' || field.back() == ' ');
}

bool looksLikeFormula(std::string_view field) {
  return !field.empty() && kFormulaStarts.find(field.front()) != std::string_view::npos;
}

// A formula's first character after any number of apostrophes: "=SUM(1)", "'=SUM(1)".
bool formulaAfterApostrophes(std::string_view field) {
  const auto first = field.find_first_not_of('\'');
  return first != std::string_view::npos && looksLikeFormula(field.substr(first));
}

std::string csvField(const std::string& text) {
  // One apostrophe more than the text has, so that csvText() gives back any such text.
  const std::string field = formulaAfterApostrophes(text) ? "'" + text : text;
  if (!needsQuotes(field)) return field;
  std::string quoted = "\"";
  for (char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

}  // namespace

std::string csvRecord(const CsvFields& fields) {
  std::string record;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) record += ',';
    record += csvField(fields[i]);
  }
  return record + '\n';
}

void CsvReader::setRecordStart(std::size_t lookahead, RecordStart begins) {
  lookahead_ = lookahead;
  begins_ = std::move(begins);
}

CsvReader::Traits::int_type CsvReader::take() {
  if (aheadAt_ < ahead_.size()) return Traits::to_int_type(ahead_[aheadAt_++]);
  return in_.sbumpc();
}

CsvReader::Traits::int_type CsvReader::peek() {
  if (aheadAt_ < ahead_.size()) return Traits::to_int_type(ahead_[aheadAt_]);
  return in_.sgetc();
}

// Reads the start of the line after a line break into ahead_, without taking it.
bool CsvReader::nextLineBeginsRecord() {
  ahead_.erase(0, aheadAt_);
  aheadAt_ = 0;
  while (ahead_.size() < lookahead_ && ahead_.find('\n') == std::string::npos) {
    const auto got = in_.sbumpc();
    if (Traits::eq_int_type(got, Traits::eof())) break;
    ahead_ += Traits::to_char_type(got);
  }
  const std::string_view start = std::string_view(ahead_).substr(0, ahead_.find('\n'));
  return begins_(start);
}

std::optional<CsvReader::Line> CsvReader::next(std::size_t limit, TooLong tooLong) {
  const auto nextIs = [this](char c) { return Traits::eq_int_type(peek(), c); };
  if (Traits::eq_int_type(peek(), Traits::eof())) return std::nullopt;
  Line line;
  line.number = line_;
  std::string field;
  std::size_t length = 0;
  bool quoted = false;
  bool ended = false;  // by a line break
  for (auto got = take(); !Traits::eq_int_type(got, Traits::eof()); got = take()) {
    const char c = Traits::to_char_type(got);
    if (c == '\n') ++line_;
    if (!line.tooLong && ++length > limit) {
      line.tooLong = true;
      line.fields.clear();
      field.clear();
      if (tooLong == TooLong::Stop) return line;
    }
    const bool kept = !line.tooLong;
    if (quoted) {
      if (c == '\n' && begins_ && nextLineBeginsRecord()) {
        ended = true;
        break;
      }
      if (c != '"') {
        if (kept) field += c;
      } else if (nextIs('"')) {
        take();
        if (kept) field += '"';
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == separator_) {
      if (kept) line.fields.push_back(std::exchange(field, {}));
    } else if (c == '\n') {
      ended = true;
      break;
    } else if (c != '\r' || !nextIs('\n')) {  // a "\r" before the "\n" that ends the line
      if (kept) field += c;
    }
  }
  line.unmatchedQuote = quoted;
  line.lines = line_ - line.number + (ended ? 0 : 1);
  if (!line.tooLong) line.fields.push_back(std::move(field));
  return line;
}

std::string csvText(std::string_view field) {
  const bool kept = field.starts_with('\'') && formulaAfterApostrophes(field);
  return std::string(kept ? field.substr(1) : field);
}

}  // namespace ccp
