#pragma once

// The register over a SQL session: the same statements on SQLite and PostgreSQL, the few
// differences left to the session. Its life (open, reconnect, status, the prepared statements)
// is in sql_register.cpp, its records in sql_records.cpp, its holds in sql_claims.cpp,
// sql_holders.cpp and sql_apply.cpp, over the tables that hold_book.h reads and changes.

#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "register/pager_register.h"
#include "register/record_columns.h"
#include "register/sql_session.h"

namespace ccp {

// A record's columns as the database keeps them, to bind a statement's values to.
struct RecordValues {
  long long id = 0;
  long long at = 0;  // seconds since 1970, UTC
  std::string station, model, edition, port, command, outcome, serial;
  std::array<std::string, kAddressCount> capcodes;
  std::string frequency, backupFile, individualRows, enabledRows, pagerBefore, note;
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
  }

  static constexpr const char* kCapcodeColumns[kAddressCount] = {
      "capcode1", "capcode2", "capcode3", "capcode4", "capcode5", "capcode6"};
};

// A number read with its indicator: none when the column is NULL.
inline std::optional<long long> known(long long value, soci::indicator indicator) {
  return indicator == soci::i_ok ? std::optional(value) : std::nullopt;
}

// Numbers as SQL lists them: "1, 2, 3".
template <class Numbers>
std::string numberList(const Numbers& numbers) {
  std::string list;
  for (const auto number : numbers) list += (list.empty() ? "" : ", ") + std::to_string(number);
  return list;
}

// The record with the id, read within the caller's transaction.
std::optional<Record> readRecord(SqlSession& session, long long id);
// Those `condition` (SQL on the records table "r", numbers only) lets through, oldest first.
std::vector<Record> readRecords(SqlSession& session, const std::string& condition);

class SqlRegister final : public PagerRegister {
 public:
  SqlRegister(const RegisterLocation& location, const RegisterOptions& options);
  ~SqlRegister() override;

  RegisterStatus status() override;
  long long addRecord(const Record& record) override;
  AddedRecords addRecords(const std::vector<Record>& records) override;
  std::vector<Record> records(const RecordQuery& query) override;
  long long countRecords(const RecordQuery& query) override;
  std::vector<HolderEvent> history(int capcode) override;
  Imported importRecords(const std::vector<Record>& records, const Stamp& by) override;
  std::vector<Holder> holders(int capcode) override;
  ClaimResult claimWrite(const std::vector<RowUse>& rows, const Writer& writer, WallTime at,
                         const std::optional<PagerRows>& inProgrammer) override;
  HoldOutcome settle(const Writer& writer, WriteEnd end, std::optional<long long> recordId,
                     const Stamp& by) override;
  HoldOutcome apply(long long recordId, const Stamp& by) override;
  ReleaseResult release(int capcode, const Stamp& by, bool force) override;
  std::vector<Holder> claims() override;
  std::vector<Conflict> conflicts(bool closedToo) override;
  std::vector<Conflict> resolve(std::optional<long long> id, std::optional<int> capcode,
                                const Stamp& by) override;

 private:
  // The statements every write runs, prepared once for the session, with the values they are
  // bound to. None returns rows: a SQLite statement left with rows unread would hold a read
  // transaction open.
  struct Prepared {
    explicit Prepared(soci::session& sql);
    RecordValues record;
    std::string fingerprint;
    soci::statement insertRecord;
  };

  std::pair<long long, bool> insertRecord(const Record& record);
  // insertRecord() in a savepoint: nothing, and the refusal said under `index`, when the
  // database refuses the record.
  std::optional<std::pair<long long, bool>> insertRecordAlone(
      const Record& record, std::size_t index, std::vector<AddedRecords::Refused>& refused);
  // The record of a journal line that is there already, whatever its station.
  std::optional<long long> journalledRecord(const Record& record);

  // On PostgreSQL, the session holds a lock named by each unsettled write's token, which tells
  // other stations that the write is under way.
  void holdToken(long long token);
  void dropToken(long long token);

  // Runs `body` as one call to the server; any failure becomes a RegisterError that says what
  // was being done. A call that lost the server's connection before its commit runs once more
  // on a new connection; one that was cut (the server silent, a stop) does not.
  template <class Body>
  auto guarded(const std::string& doing, Body&& body) -> decltype(body()) {
    if (!prepared_) reconnect(doing);  // the last call could not open the connection again
    {
      const SqlSession::Call call(session_);
      try {
        return body();
      } catch (...) {
        if (!session_.mayRunAgain()) session_.fail(doing);
      }
    }
    reconnect(doing);
    const SqlSession::Call call(session_);
    try {
      return body();
    } catch (...) {
      session_.fail(doing);
    }
  }
  void reconnect(const std::string& doing);

  SqlSession session_;
  int versionFound_ = 0;
  std::unique_ptr<Prepared> prepared_;
  std::map<long long, std::vector<RowUse>> unsettled_;  // this object's writes, by token
  std::set<long long> tokenLocks_;                      // held by the session
};

// Prepares a statement whose values were exchanged already.
void prepareStatement(soci::statement& statement, const std::string& text, bool once = false);

}  // namespace ccp
