#pragma once

// The register over a SQL session: the same statements on SQLite and PostgreSQL, the few
// differences left to the session. Its life (open, reconnect, status, the prepared statements)
// is in sql_register.cpp, its records in sql_records.cpp, its holders in sql_holders.cpp.

#include <array>
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
  std::string frequency, backupFile, individualRows;
  std::string holds;
  soci::indicator holdsKnown = soci::i_null;

  void set(const Record& record);
  Record record() const;

  // Every column but the id and the holder's state, with its name, in the tables' order.
  template <class F>
  void forEachColumn(F&& f) {
    f("at", at), f("station", station), f("model", model), f("edition", edition);
    f("port", port), f("command", command), f("outcome", outcome), f("serial", serial);
    for (int row = 0; row < kAddressCount; ++row) {
      f(kCapcodeColumns[row], capcodes[row]);
    }
    f("frequency", frequency), f("backup_file", backupFile);
    f("individual_rows", individualRows);
  }

  static constexpr const char* kCapcodeColumns[kAddressCount] = {
      "capcode1", "capcode2", "capcode3", "capcode4", "capcode5", "capcode6"};
};

class SqlRegister final : public PagerRegister {
 public:
  SqlRegister(const RegisterLocation& location, const RegisterOptions& options);
  ~SqlRegister() override;

  RegisterStatus status() override;
  long long addRecord(const Record& record) override;
  AddedRecords addRecords(const std::vector<Record>& records) override;
  std::vector<Record> records(const RecordQuery& query) override;
  long long countRecords(const RecordQuery& query) override;
  std::optional<Holder> holder(int capcode) override;
  std::vector<HolderEvent> history(int capcode) override;
  ClaimResult claim(int capcode, const Stamp& by, Takeover takeover) override;
  std::vector<int> move(HolderMove move, const std::vector<int>& capcodes, const Stamp& by,
                        std::optional<long long> recordId) override;

 private:
  // The statements every write runs, prepared once for the session, with the values they are
  // bound to. None returns rows: a SQLite statement left with rows unread would hold a read
  // transaction open.
  struct Prepared {
    explicit Prepared(soci::session& sql);
    RecordValues record;
    std::string fingerprint;
    soci::statement insertRecord;
    long long rowRecord = 0;
    int row = 0;
    int rowCapcode = 0;
    soci::statement insertCapcodeRow;
    int capcode = 0;
    std::string station, event, note;
    long long at = 0;
    long long eventRecord = 0;
    soci::indicator eventRecordKnown = soci::i_null;
    soci::statement claim;
    soci::statement addEvent;
  };

  std::pair<long long, bool> insertRecord(const Record& record);
  std::optional<Record> recordWithId(long long id);
  std::optional<Holder> readHolder(int capcode);
  bool takeOver(int capcode, const Holder& current, const Stamp& by);
  void addEvent(int capcode, const std::string& event, const Stamp& by,
                std::optional<long long> recordId);

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
};

// Prepares a statement whose values were exchanged already.
void prepareStatement(soci::statement& statement, const std::string& text, bool once = false);

}  // namespace ccp
