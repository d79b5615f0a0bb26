// A station whose register's server froze, as a server whose processes were stopped or whose
// machine hung does: TCP is still acknowledged, nothing is answered, and only the register's own
// watch ends a call.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "ports/call_watch.h"
#include "records_fixture.h"
#include "register/engine_fixture.h"
#include "register/server_relay.h"

namespace ccp {
namespace {

using namespace std::chrono_literals;

class FrozenServerTest : public test::EngineTest {};

// Frozen while the pager is written, after its capcode was claimed: the pager is written, and its
// record goes to journal.csv once the server has been silent for 15 s. Frozen before: the guard's
// claim waits as long, and the write stops before anything is sent; its record then goes to
// journal.csv without a second wait. Either way the command ends within the bound.
TEST_P(FrozenServerTest, AWriteWaitsOnceWithinTheBoundAndKeepsItsRecordInTheJournal) {
  const struct {
    const char* when;
    const char* phase;  // freezes at its first report; none: before the command
    const char* lastLine;
    const char* capcode1;  // in the record: what the pager got
    const char* call;
  } cases[] = {
      {"while written", "Decoder write", "Verify OK !", "2004000", "adding a record"},
      {"before", nullptr, "Capcodes could not be checked in the register: nothing written", "",
       "claiming capcodes 2004000, 2004008, 2004016, 2004024, 2004032, 2004040"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.when);
    test::ServerRelay relay(std::getenv("CCP_TEST_POSTGRES"));
    test::RecordsFixture rx;
    rx.records.setRegister({}, {relay.through(newRegister()), "station-1", true, true});
    rx.records.registerConnection().get();  // open, and idle when the server freezes
    if (c.phase == nullptr) {
      relay.freeze();
    } else {
      rx.fx.platform.onProgress = [&](const testkit::FakePlatform::Progress& p) {
        if (p.phase == c.phase) relay.freeze();
      };
    }

    const auto start = std::chrono::steady_clock::now();
    rx.f().menuItem("WriteToPager").trigger();
    const auto took = std::chrono::steady_clock::now() - start;

    EXPECT_LT(took, 15s + 5s);
    EXPECT_EQ(rx.fx.lines().back(), c.lastLine);
    const auto journal = test::readCsv(rx.records.journalPath());
    ASSERT_EQ(journal.size(), 2u);  // the header and the record
    EXPECT_EQ(journal[1][5], c.lastLine);
    EXPECT_EQ(journal[1][7], c.capcode1);
    ASSERT_EQ(rx.notices.size(), 1u);
    EXPECT_TRUE(rx.notices[0].starts_with("record could not be kept in the register, it is in "
                                          "journal.csv: The register's server did not answer "
                                          "within 15 s") &&
                rx.notices[0].ends_with(std::string("(") + c.call + ")"))
        << rx.notices[0];
  }
}

// A stop (the first Ctrl-C) while a write's record waits on a frozen server ends that wait at
// once: the record goes to journal.csv, and the notice says the wait was stopped, not that the
// server was silent for the whole answer timeout.
TEST_P(FrozenServerTest, AStopEndsTheWaitAtOnceAndTheRecordGoesToTheJournal) {
  test::ServerRelay relay(std::getenv("CCP_TEST_POSTGRES"));
  test::RecordsFixture rx;
  rx.records.setRegister({}, {relay.through(newRegister()), "station-1", true, true});
  rx.records.registerConnection().get();
  std::atomic<bool> frozen{false}, ended{false};
  rx.fx.platform.onProgress = [&](const testkit::FakePlatform::Progress& p) {
    if (p.phase == "Decoder write" && !frozen.exchange(true)) relay.freeze();
  };
  // As the signal handler does, again and again until the command ends: a stop cuts the call
  // under way, and there is none until the write's record is added.
  std::thread stopper([&] {
    while (!ended) {
      if (frozen) stopRegisterCallNow();
      std::this_thread::yield();
    }
  });
  rx.f().menuItem("WriteToPager").trigger();
  ended = true;
  stopper.join();
  EXPECT_EQ(rx.fx.lines().back(), "Verify OK !");
  const auto journal = test::readCsv(rx.records.journalPath());
  ASSERT_EQ(journal.size(), 2u);
  EXPECT_EQ(journal[1][5], "Verify OK !");
  ASSERT_EQ(rx.notices.size(), 1u);
  EXPECT_TRUE(
      rx.notices[0].starts_with("record could not be kept in the register, it is in "
                                "journal.csv: The wait for the register's server was "
                                "stopped"))
      << rx.notices[0];
}

INSTANTIATE_TEST_SUITE_P(Server, FrozenServerTest, ::testing::Values(Engine::PostgreSQL),
                         test::engineName);

}  // namespace
}  // namespace ccp
