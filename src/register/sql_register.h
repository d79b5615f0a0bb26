#pragma once

// The register over a SQL session: the same statements on SQLite and PostgreSQL, the few
// differences left to the session. Its life (open, reconnect, status, the prepared statements)
// is in sql_register.cpp, its records in sql_records.cpp, its holds in sql_claims.cpp,
// sql_holders.cpp and sql_apply.cpp, which go by the rules of holding_rules.h through the steps
// of hold_steps.h; customers' lists in sql_lists.cpp, by the rules of list_rules.h.

#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "register/pager_register.h"
#include "register/record_table.h"
#include "register/sql_session.h"

namespace ccp {

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
  std::vector<Holder> holdersInTheWay(const std::vector<RowUse>& uses) override;
  ClaimResult claimWrite(const std::vector<RowUse>& rows, const Writer& writer, WallTime at,
                         const std::optional<SeenPager>& inProgrammer) override;
  HoldOutcome settle(const Writer& writer, WriteEnd end, std::optional<long long> recordId,
                     const Stamp& by) override;
  HoldOutcome apply(long long recordId, const Stamp& by) override;
  ReleaseResult release(int capcode, const Stamp& by, bool force) override;
  std::vector<Holder> claims() override;
  std::vector<Conflict> conflicts(bool closedToo) override;
  std::vector<Conflict> resolve(std::optional<long long> id, std::optional<int> capcode,
                                const Stamp& by) override;
  ListTaking takeList(const ListEntry& list, bool newVersion, const Stamp& by) override;
  std::optional<ListInfo> findList(const std::string& name) override;
  std::optional<ListRowStatus> takeRow(long long listId, const Writer& writer,
                                       std::optional<int> preferred, const std::set<int>& tried,
                                       WallTime at) override;
  ListRowStatus settleRow(long long listId, int row, const Writer& writer, const RowEnd& end,
                          const Stamp& by) override;
  std::vector<ListRowStatus> listRows(long long listId) override;
  ListRowStatus swapRow(long long listId, int row, const Stamp& by) override;
  std::vector<ListRowEvent> rowHistory(long long listId, int row) override;

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
  // Drops the token's lock once its write has neither claims nor rows of lists left unsettled.
  void letTokenGo(long long token);
  // The row is no longer taken by the writer of `token`.
  void forgetRow(long long token, long long listId, int row);

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
  // The rows of lists this object's writes took and did not end yet (list id, row), by token.
  std::map<long long, std::set<std::pair<long long, int>>> takenRows_;
  std::set<long long> tokenLocks_;  // held by the session
};

}  // namespace ccp
