#pragma once

// The records table: a record's columns as the database keeps them, and records read by a
// condition, within the caller's transaction.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "register/register_types.h"
#include "register/sql_statements.h"

namespace ccp {

class SqlSession;

// A record's columns as the database keeps them, to bind a statement's values to.
struct RecordValues {
  long long id = 0;
  long long at = 0;  // seconds since 1970, UTC
  std::string station, model, edition, port, command, outcome, serial;
  std::array<std::string, kAddressCount> capcodes;
  std::string frequency, backupFile, individualRows, enabledRows, pagerBefore, serialBefore, note;
  std::string holds;
  soci::indicator holdsKnown = soci::i_null;

  void set(const Record& record);
  Record record() const;

  // The columns of the journal that every journal has, with their names, but the station: a
  // journal line is there already when a record of the same time and these columns is.
  template <class F>
  void forEachJournalColumn(F&& f) {
    f("at", at), f("model", model), f("edition", edition);
    f("port", port), f("command", command), f("outcome", outcome), f("serial", serial);
    for (int row = 0; row < kAddressCount; ++row) {
      f(kCapcodeColumns[row], capcodes[row]);
    }
    f("frequency", frequency), f("backup_file", backupFile);
  }
  // Every column but the id and the holder's state, with its name, in the tables' order.
  template <class F>
  void forEachColumn(F&& f) {
    forEachJournalColumn(f);
    f("station", station), f("individual_rows", individualRows);
    f("enabled_rows", enabledRows), f("pager_before", pagerBefore), f("note", note);
    f("serial_before", serialBefore);
  }

  static constexpr const char* kCapcodeColumns[kAddressCount] = {
      "capcode1", "capcode2", "capcode3", "capcode4", "capcode5", "capcode6"};
};

// The records that `rest` (what follows "FROM records r") selects, with the state of the holds
// they give; the statement's values are bound already.
std::vector<Record> selectRecords(soci::statement& statement, const std::string& rest);
// The record with the id.
std::optional<Record> readRecord(SqlSession& session, long long id);
// Those `condition` (SQL on the records table "r", numbers only) lets through, oldest first.
std::vector<Record> readRecords(SqlSession& session, const std::string& condition);

}  // namespace ccp
