#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "files/temp_folder.h"
#include "register/pager_register.h"
#include "testkit/server_schema.h"

namespace ccp::test {

// A test that runs on both engines, on registers of its own: SQLite files in a temporary
// folder, or schemas of their own on the PostgreSQL server that CCP_TEST_POSTGRES names
// (scripts/test starts one).
class EngineTest : public ::testing::TestWithParam<Engine> {
 protected:
  void SetUp() override {
    if (GetParam() == Engine::SQLite) return;
    const char* server = std::getenv("CCP_TEST_POSTGRES");
    if (server == nullptr || *server == '\0') {
      FAIL() << "The PostgreSQL cases need a server: run scripts/test, which starts one, or set "
                "CCP_TEST_POSTGRES to a database URL (as under pg_virtualenv: "
                "postgresql://$PGUSER@$PGHOST:$PGPORT/$PGDATABASE).";
    }
  }

  void TearDown() override {
    for (const std::string& schema : schemas_)
      serverSql("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
  }

  // The location of a new register, empty until it is first opened.
  std::string newRegister() {
    static std::atomic<int> counter{0};
    const std::string name = std::to_string(::getpid()) + "_" + std::to_string(counter++);
    if (GetParam() == Engine::SQLite) return folder_.file("data-" + name + "/register.sqlite");
    const std::string schema = "register_test_" + name;
    serverSql("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
    serverSql("CREATE SCHEMA " + schema);
    schemas_.push_back(schema);
    return testkit::urlInSchema(std::getenv("CCP_TEST_POSTGRES"), schema);
  }

  TempFolder folder_;

 private:
  static void serverSql(const std::string& statement) {
    EXPECT_EQ(testkit::serverStatement(std::getenv("CCP_TEST_POSTGRES"), statement), "");
  }

  std::vector<std::string> schemas_;
};

// Waits until the claims of the capcode say their writers ended, as the server shows it (it
// notices a station's connection gone a moment after its process): up to a minute, so that a
// busy machine does not fail a test.
inline bool writersEnded(PagerRegister& reg, int capcode) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (;;) {
    bool ended = true;
    for (const Holder& h : reg.holders(capcode)) ended = ended && h.writer == Liveness::Ended;
    if (ended || std::chrono::steady_clock::now() > until) return ended;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

inline std::string engineName(const ::testing::TestParamInfo<Engine>& info) {
  return info.param == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

}  // namespace ccp::test

namespace ccp {
inline void PrintTo(Engine engine, std::ostream* out) {
  *out << (engine == Engine::SQLite ? "SQLite" : "PostgreSQL");
}
}  // namespace ccp
