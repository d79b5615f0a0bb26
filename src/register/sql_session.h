#pragma once

// A connection to the register's database, and the one place where the two engines differ:
// how they are reached, the few words of SQL they say differently, how a write transaction
// begins, and what their errors mean.

#include <soci/soci.h>

#include <chrono>
#include <string>
#include <thread>

#include "ports/call_watch.h"
#include "register/pager_register.h"

struct pg_conn;  // libpq's PGconn

namespace ccp {

// What a SQLite result code means to the register; `systemError` is the errno of the I/O that
// failed (sqlite3_system_errno), or 0: a disk I/O error may be a full or read-only disk.
RegisterFault sqliteFault(int result, int systemError);

class SqlSession {
 public:
  SqlSession(const RegisterLocation& location, const RegisterOptions& options);

  soci::session& sql() { return sql_; }
  Engine engine() const { return location_.engine; }
  const char* engineName() const;
  const std::string& shown() const { return location_.shown; }

  // An id column that numbers its rows.
  const char* idColumn() const;
  // True, in SQL, when the text column holds 1 to 9 digits and nothing else.
  std::string digitsOnly(const std::string& column) const;
  // The database's clock, in seconds since 1970: the server's, or this machine's for a file.
  const char* nowSeconds() const;
  // Counts the tables of the register's schema, those named :name, or all when :name is empty.
  const char* countTablesQuery() const;

  // What a SQLite file gets once its schema is known to be this program's: write-ahead
  // logging, so that readers never wait for a writer, and checkpoints that sync it.
  void useForWriting();
  // Runs `body` in a write transaction: begun so that it takes the write lock at once (two
  // writers on SQLite would otherwise both read, then one fail), committed at the end, rolled
  // back on any exception.
  template <class Body>
  auto write(Body&& body) -> decltype(body());
  // Within a write transaction: keeps any other station from creating or migrating the schema
  // until the transaction ends.
  void lockSchema();
  // Runs `body` again while SQLite says it is busy, until the busy timeout: a few of its locks
  // (switching a file that another program is making to write-ahead logging) fail at once
  // instead of waiting.
  template <class Body>
  auto patiently(Body&& body) -> decltype(body());

  // One call to the server, from its first statement to its error handled: cut when the server
  // stays silent for the answer timeout, or when the process is asked to stop (see
  // call_watch.h). Calls within a call are part of it. Nothing on SQLite, whose waits end at
  // the busy timeout.
  class Call {
   public:
    explicit Call(SqlSession& session);
    ~Call();
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

   private:
    SqlSession& session_;
  };

  // Turns the exception being handled into a RegisterError that says what was being done.
  [[noreturn]] void fail(const std::string& doing);

  // While an exception is handled: the server's connection was lost before a commit was sent,
  // so nothing of the call was done and it may run again on a new connection. A connection that
  // the server dropped while it lay idle (a restart, a link cut) is found so, by the first
  // statement sent on it. A call that was cut is never run again: its server did not answer,
  // or the command is to stop.
  bool mayRunAgain();
  // Opens the connection again; statements prepared on the old one are gone.
  void reconnect();

 private:
  void connect();
  void begin();
  void end(bool commit);
  bool connectionLost();
  // libpq's connection to the server; none on SQLite or before it is opened.
  pg_conn* connection();
  // The server connection's socket; -1 when there is none.
  int socket();
  bool busy(const soci::soci_error& error) const;
  // The errno of SQLite's last failed I/O on this connection; 0 on a server.
  int sqliteSystemError();

  RegisterLocation location_;
  std::chrono::milliseconds busyTimeout_;
  bool committing_ = false;
  CallWatch watch_;
  int calls_ = 0;  // calls under way, one within another
  soci::session sql_;
};

template <class Body>
auto SqlSession::write(Body&& body) -> decltype(body()) {
  begin();
  try {
    if constexpr (std::is_void_v<decltype(body())>) {
      body();
      end(true);
    } else {
      auto result = body();
      end(true);
      return result;
    }
  } catch (...) {
    end(false);
    throw;
  }
}

template <class Body>
auto SqlSession::patiently(Body&& body) -> decltype(body()) {
  const auto until = std::chrono::steady_clock::now() + busyTimeout_;
  for (;;) {
    try {
      return body();
    } catch (const soci::soci_error& error) {
      if (!busy(error) || std::chrono::steady_clock::now() >= until) throw;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace ccp
