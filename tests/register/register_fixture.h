#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>

#include "files/temp_folder.h"
#include "register/pager_register.h"
#include "register/sql_session.h"

namespace ccp::test {

using namespace std::chrono_literals;

// 2026-12-07 11:25:00 UTC and the seconds after it.
inline WallTime at(int seconds) {
  return WallTime(std::chrono::sys_days{std::chrono::year{2026} / 12 / 7} + 11h + 25min +
                  std::chrono::seconds(seconds));
}

// The record of a verified write of a pager with capcode 1 as given.
inline Record pagerRecord(const std::string& station, int second, const std::string& capcode1,
                          const std::string& serial = "12345678") {
  Record r;
  r.at = at(second), r.station = station, r.model = "QPX730E", r.edition = "Customer";
  r.port = "LPT1 (0x378)", r.command = "write", r.outcome = "Verify OK !", r.serial = serial;
  r.capcodes = {capcode1, "0000008", "", "", "", ""}, r.frequency = "152.24000";
  r.individualRows = {1};
  return r;
}

// Every test of the register runs on both engines, on a register of its own: a SQLite file in a
// temporary folder, or a schema of its own on the PostgreSQL server that CCP_TEST_POSTGRES
// names (scripts/test starts one).
class RegisterTest : public ::testing::TestWithParam<Engine> {
 protected:
  void SetUp() override {
    if (GetParam() == Engine::SQLite) {
      location_ = folder_.file("data/register.sqlite");
      return;
    }
    const char* server = std::getenv("CCP_TEST_POSTGRES");
    if (server == nullptr || *server == '\0') {
      FAIL() << "The PostgreSQL cases need a server: run scripts/test, which starts one, or set "
                "CCP_TEST_POSTGRES to a database URL (as under pg_virtualenv: "
                "postgresql://$PGUSER@$PGHOST:$PGPORT/$PGDATABASE).";
    }
    static std::atomic<int> counter{0};
    schema_ = "register_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
    const std::string url(server);
    location_ = url + (url.find('?') == std::string::npos ? "?" : "&") +
                "options=-csearch_path%3D" + schema_;
    serverSql("DROP SCHEMA IF EXISTS " + schema_ + " CASCADE");
    serverSql("CREATE SCHEMA " + schema_);
  }

  void TearDown() override {
    reg_.reset();
    if (!schema_.empty()) serverSql("DROP SCHEMA IF EXISTS " + schema_ + " CASCADE");
  }

  PagerRegister& reg() {
    if (!reg_) reg_ = openRegister(location_);
    return *reg_;
  }
  void close() { reg_.reset(); }
  // A connection of its own, to look at the tables or change them behind the register's back.
  std::unique_ptr<SqlSession> rawSession() const {
    return std::make_unique<SqlSession>(registerLocation(location_), RegisterOptions{});
  }

  TempFolder folder_;
  std::string location_;

 private:
  static void serverSql(const std::string& statement) {
    SqlSession server(registerLocation(std::getenv("CCP_TEST_POSTGRES")), RegisterOptions{});
    server.sql() << statement;
  }

  std::string schema_;
  std::unique_ptr<PagerRegister> reg_;
};

inline std::string engineName(const ::testing::TestParamInfo<Engine>& info) {
  return info.param == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

}  // namespace ccp::test

namespace ccp {
inline void PrintTo(Engine engine, std::ostream* out) {
  *out << (engine == Engine::SQLite ? "SQLite" : "PostgreSQL");
}
}  // namespace ccp
