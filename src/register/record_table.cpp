#include "register/record_table.h"

#include "register/pager_register.h"
#include "register/record_columns.h"
#include "register/sql_session.h"
#include "register/stored_text.h"

namespace ccp {

namespace {

// The columns of a record as selectRecords() reads them, from the table named "r".
std::string recordColumns() {
  std::string columns = "r.id";
  RecordValues values;
  values.forEachColumn(
      [&columns](const char* name, auto&) { columns += std::string(", r.") + name; });
  return columns + ", (SELECT MIN(h.state) FROM holds h WHERE h.record_id = r.id)";
}

}  // namespace

void RecordValues::set(const Record& r) {
  at = storedTime(r.at);
  station = storedText(r.station), model = storedText(r.model), edition = storedText(r.edition);
  port = storedText(r.port), command = storedText(r.command), outcome = storedText(r.outcome);
  serial = storedPagerText(r.model, r.serial);
  for (int row = 0; row < kAddressCount; ++row) capcodes[row] = storedText(r.capcodes[row]);
  frequency = storedText(r.frequency), backupFile = storedText(r.backupFile);
  individualRows = rowListText(r.individualRows);
  enabledRows = rowListText(r.enabledRows);
  pagerBefore = pagerRowsText(r.pagerBefore);
  serialBefore = storedPagerText(r.model, r.serialBefore);
  note = storedText(r.note);
}

Record RecordValues::record() const {
  Record r;
  r.id = id;
  r.at = wallTime(at);
  r.station = textOf(station), r.model = textOf(model), r.edition = textOf(edition);
  r.port = textOf(port), r.command = textOf(command), r.outcome = textOf(outcome);
  r.serial = pagerTextOf(r.model, serial);
  for (int row = 0; row < kAddressCount; ++row) r.capcodes[row] = textOf(capcodes[row]);
  r.frequency = textOf(frequency), r.backupFile = textOf(backupFile);
  r.individualRows = parseRowList(individualRows).value_or(std::vector<int>{});
  r.enabledRows = parseRowList(enabledRows).value_or(std::vector<int>{});
  r.pagerBefore = parsePagerRows(pagerBefore);
  r.serialBefore = pagerTextOf(r.model, serialBefore);
  r.note = textOf(note);
  if (holdsKnown == soci::i_ok) r.holds = holderStateNamed(holds);
  return r;
}

std::vector<Record> selectRecords(soci::statement& statement, const std::string& rest) {
  RecordValues values;
  statement.exchange(soci::into(values.id));
  values.forEachColumn(
      [&statement](const char*, auto& value) { statement.exchange(soci::into(value)); });
  statement.exchange(soci::into(values.holds, values.holdsKnown));
  prepareStatement(statement, "SELECT " + recordColumns() + " FROM records r" + rest);
  std::vector<Record> found;
  if (statement.execute(true)) {
    do found.push_back(values.record());
    while (statement.fetch());
  }
  return found;
}

std::optional<Record> readRecord(SqlSession& session, long long id) {
  std::vector<Record> found = readRecords(session, "r.id = " + std::to_string(id));
  if (found.empty()) return std::nullopt;
  return std::move(found.front());
}

std::vector<Record> readRecords(SqlSession& session, const std::string& condition) {
  soci::statement statement(session.sql());
  return selectRecords(statement, " WHERE " + condition + " ORDER BY r.at, r.id");
}

}  // namespace ccp
