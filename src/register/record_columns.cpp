#include "register/record_columns.h"

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <span>

#include "files/journal_columns.h"
#include "files/outcome_lines.h"
#include "image/capcode.h"
#include "image/hex.h"
#include "image/plain_text.h"
#include "register/pager_register.h"

namespace ccp {

namespace {

// The columns every journal has: the time, what was done and what the pager was.
std::vector<std::string> baseFieldsOf(const Record& record) {
  std::vector<std::string> fields = {isoTimeStamp(localTime(record.at)),
                                     record.model,
                                     record.edition,
                                     record.port,
                                     record.command,
                                     record.outcome,
                                     record.serial};
  fields.insert(fields.end(), record.capcodes.begin(), record.capcodes.end());
  fields.push_back(record.frequency);
  fields.push_back(record.backupFile);
  return fields;
}

// A row list of the journal: empty is none named.
bool readRowList(const std::string& text, std::vector<int>& rows) {
  if (text.empty()) return true;
  const auto list = parseRowList(text);
  if (list) rows = *list;
  return list.has_value();
}

}  // namespace

std::vector<std::string> journalFieldsOf(const Record& record) {
  std::vector<std::string> fields = baseFieldsOf(record);
  fields.push_back(rowListText(record.individualRows));
  fields.push_back(rowListText(record.enabledRows));
  fields.push_back(pagerRowsText(record.pagerBefore));
  fields.push_back(record.serialBefore);
  return fields;
}

std::optional<Record> recordFromJournal(const std::vector<std::string>& fields,
                                        const std::string& station, std::string* why) {
  const auto refused = [why](const std::string& reason) -> std::optional<Record> {
    if (why != nullptr) *why = reason;
    return std::nullopt;
  };
  if (fields.size() < kJournalBaseColumns) {
    return refused("too few fields: " + std::to_string(fields.size()) + " of " +
                   std::to_string(kJournalBaseColumns));
  }
  const auto at = parseIsoTimeStamp(fields[0]);
  if (!at) return refused("no time");
  Record record;
  record.at = *at;
  record.station = station;
  record.model = fields[1];
  record.edition = fields[2];
  record.port = fields[3];
  record.command = fields[4];
  record.outcome = fields[5];
  if (record.command != kReadCommand && record.command != kWriteCommand) {
    return refused("command '" + record.command + "' is neither " + kReadCommand + " nor " +
                   kWriteCommand);
  }
  if (!isCommandOutcome(record.command, record.outcome)) {
    return refused("outcome '" + record.outcome + "' is no line a " + record.command +
                   " ends with");
  }
  record.serial = fields[6];
  for (int row = 0; row < kAddressCount; ++row) {
    const std::string& capcode = fields[7 + row];
    const auto number = capcodeNumber(capcode);
    if (capcode.size() > kCapcodeDigits) {
      return refused("capcode " + std::to_string(row + 1) + " '" + capcode + "' has more than " +
                     std::to_string(kCapcodeDigits) + " digits");
    }
    if (!capcode.empty() && (!number || *number > kCapcodeMax)) {
      return refused("capcode " + std::to_string(row + 1) + " '" + capcode +
                     "' is not one a pager can hold");
    }
    record.capcodes[row] = capcode;
  }
  record.frequency = fields[13];
  record.backupFile = fields[14];
  // The rows' use, in a journal that has it.
  if (fields.size() > 15 && !readRowList(fields[15], record.individualRows)) {
    return refused("individual rows '" + fields[15] + "' are not rows 1-6");
  }
  if (fields.size() > 16 && !readRowList(fields[16], record.enabledRows)) {
    return refused("enabled rows '" + fields[16] + "' are not rows 1-6");
  }
  if (fields.size() > 17 && !fields[17].empty()) {
    record.pagerBefore = parsePagerRows(fields[17]);
    if (!record.pagerBefore) return refused("pager before '" + fields[17] + "' is not six rows");
  }
  if (fields.size() > 18) record.serialBefore = fields[18];
  return record;
}

std::string recordFingerprint(const Record& record) {
  // Each field with its length first, so that no two different records read the same.
  std::string content;
  const auto add = [&content](const std::string& field) {
    content += std::to_string(field.size()) + ':' + field;
  };
  add(std::to_string(storedTime(record.at)));
  add(record.station);
  // The columns of a journal of any age: a line and the record of its command are one record.
  const std::vector<std::string> fields = baseFieldsOf(record);
  for (std::size_t i = 1; i < fields.size(); ++i) add(fields[i]);  // the local time left out
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  EVP_Digest(content.data(), content.size(), digest.data(), &length, EVP_sha256(), nullptr);
  return bytesToHex(std::span(digest.data(), length));
}

std::optional<std::vector<int>> parseRowList(std::string_view text) {
  std::vector<int> rows;
  while (!text.empty()) {
    const auto comma = text.find(',');
    const std::string_view item = trimmed(text.substr(0, comma));
    int row = 0;
    const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), row);
    if (item.empty() || error != std::errc() || end != item.data() + item.size() || row < 1 ||
        row > kAddressCount) {
      return std::nullopt;
    }
    rows.push_back(row);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  if (rows.empty()) return std::nullopt;
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

std::string rowListText(const std::vector<int>& rows) {
  std::vector<std::string> texts;
  for (int row : rows) {
    if (row >= 1 && row <= kAddressCount) texts.push_back(std::to_string(row));
  }
  return joined(texts, ",");
}

long long storedTime(WallTime at) {
  return std::chrono::floor<std::chrono::seconds>(at).time_since_epoch().count();
}

WallTime wallTime(long long stored) {
  return WallTime(std::chrono::seconds(stored));
}

}  // namespace ccp
