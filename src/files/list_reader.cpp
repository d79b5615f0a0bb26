#include <array>
#include <sstream>

#include "files/list_csv.h"
#include "files/list_source.h"
#include "image/pager_charset.h"
#include "image/plain_text.h"

namespace ccp {

namespace {

// In the order a tie is settled.
constexpr std::array kSeparators = {',', ';', '\t'};

// Where the header ends: its line break outside quotes.
struct HeaderBytes {
  std::string bytes;
  std::array<std::size_t, kSeparators.size()> separators{};  // how many of each, outside quotes
};

HeaderBytes headerBytes(std::streambuf& in, std::size_t limit) {
  using Traits = std::streambuf::traits_type;
  HeaderBytes header;
  bool quoted = false;
  for (auto got = in.sbumpc(); !Traits::eq_int_type(got, Traits::eof()); got = in.sbumpc()) {
    if (header.bytes.size() == limit) {
      throw NotAList("the header is longer than " + std::to_string(limit) + " bytes", 1);
    }
    const char c = Traits::to_char_type(got);
    header.bytes += c;
    if (c == '"') {
      quoted = !quoted;  // a doubled quote opens and closes again
    } else if (!quoted && c == '\n') {
      break;
    } else if (!quoted) {
      for (std::size_t i = 0; i < kSeparators.size(); ++i) {
        if (c == kSeparators[i]) ++header.separators[i];
      }
    }
  }
  return header;
}

char mostUsed(const HeaderBytes& header) {
  std::size_t best = 0;
  for (std::size_t i = 1; i < kSeparators.size(); ++i) {
    if (header.separators[i] > header.separators[best]) best = i;
  }
  return kSeparators[best];
}

}  // namespace

std::string encodingName(const ListDialect& dialect) {
  if (dialect.encoding == ListEncoding::Utf8) return "UTF-8";
  return dialect.model == Model::QPX730H ? "Windows-1255" : "Windows-1252";
}

ListReader::ListReader(std::istream& in, Model model, std::size_t limit)
    : source_(std::make_unique<ListSource>(*in.rdbuf())),
      sourceStream_(source_.get()),
      limit_(limit) {
  dialect_.model = model;
  readHeader(headerLines_);
  reader_ = std::make_unique<CsvReader>(sourceStream_, dialect_.separator);
}

ListReader::~ListReader() = default;

void ListReader::readHeader(std::size_t& headerLines) {
  const HeaderBytes header = headerBytes(*source_, limit_);
  if (header.bytes.empty()) throw NotAList("the file is empty", 0);
  dialect_.byteOrderMark = source_->byteOrderMark();
  utf8Sure_ = dialect_.byteOrderMark;
  dialect_.separator = mostUsed(header);
  if (header.bytes.ends_with("\r\n")) dialect_.lineEnd = "\r\n";
  std::istringstream text(header.bytes);
  CsvReader reader(text, dialect_.separator);
  CsvReader::Line line = *reader.next(limit_);
  headerLines = line.lines;
  if (line.unmatchedQuote) {
    throw NotAList("the header's quoted field runs on: unmatched quote", 1);
  }
  if (!decode(line.fields)) throw NotAList("the header mixes encodings", 1);
  for (std::size_t i = 0; i < line.fields.size(); ++i) {
    if (line.fields[i].empty()) {
      throw NotAList("column " + std::to_string(i + 1) + " of the header has no name", 1);
    }
  }
  header_ = std::move(line.fields);
}

std::optional<ListRow> ListReader::next() {
  auto line = reader_->next(limit_);
  if (!line) return std::nullopt;
  ListRow row;
  row.line = line->number + headerLines_;
  row.lines = line->lines;
  if (line->tooLong) {
    row.refused = "longer than " + std::to_string(limit_) + " bytes";
  } else if (line->unmatchedQuote) {
    row.refused = "a quoted field runs on: unmatched quote";
  } else if (!decode(line->fields)) {
    row.refused = "mixed encodings: bytes that are not UTF-8 in a UTF-8 list";
  } else {
    row.fields = std::move(line->fields);
  }
  return row;
}

bool ListReader::decode(CsvFields& fields) {
  const auto toPagerSet = [this, &fields] {
    dialect_.encoding = ListEncoding::PagerSet;
    for (std::string& field : fields) field = utf8Text(dialect_.model, field);
  };
  if (dialect_.encoding == ListEncoding::PagerSet) {
    toPagerSet();
    return true;
  }
  bool beyondAscii = false;
  for (const std::string& field : fields) {
    for (std::size_t at = 0; at < field.size();) {
      const std::size_t from = at;
      if (!nextUtf8Char(field, at)) {
        if (utf8Sure_ || beyondAscii) return false;
        toPagerSet();
        return true;
      }
      beyondAscii = beyondAscii || at - from > 1;
    }
  }
  utf8Sure_ = utf8Sure_ || beyondAscii;
  return true;
}

}  // namespace ccp
