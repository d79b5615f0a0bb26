#pragma once

#include <memory>
#include <string>

#include "register/engine_fixture.h"
#include "register/sql_session.h"
#include "testkit/station_processes.h"

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
  return testkit::writeRecord(station, at(second), capcode1, serial);
}

// The register's own tests: one register, opened when first asked for.
class RegisterTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    if (!HasFatalFailure()) location_ = newRegister();
  }
  void TearDown() override {
    reg_.reset();
    EngineTest::TearDown();
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

  std::string location_;

 private:
  std::unique_ptr<PagerRegister> reg_;
};

}  // namespace ccp::test
