// Customers' lists on both engines: taken in once, each row taken by one write at a time and
// ended done, failed or open again, by stations working one list together.
#include <gtest/gtest.h>
#include <signal.h>

#include <map>
#include <sstream>
#include <stdexcept>

#include "image/capcode.h"
#include "register/hold_fixture.h"
#include "register/server_relay.h"
#include "register/station_processes.h"

namespace ccp {
namespace {

using test::at;
using test::pagerWith;

// A row that gives the pager `capcode` as its individual capcode; its fingerprint tells what it
// writes.
ListRowEntry listRow(int row, int capcode) {
  const std::string label = "pager-" + std::to_string(capcode);
  return {row,
          static_cast<std::size_t>(row + 1),
          label,
          {{1, capcode, true}, {2, 8, false}},
          "",
          label + "," + capcodeText(capcode),
          "f" + std::to_string(capcode)};
}

ListEntry listOf(const std::string& name, const std::vector<int>& capcodes) {
  ListEntry list{name, "", "Name,Capcode", "comma, UTF-8", {}};
  for (int capcode : capcodes) {
    list.rows.push_back(listRow(static_cast<int>(list.rows.size()) + 1, capcode));
    list.fingerprint += list.rows.back().fingerprint + ";";
  }
  return list;
}

std::string stateText(const ListRowStatus& row) {
  std::string text = listRowStateName(row.state);
  if (row.state == ListRowState::Writing && row.writer == Liveness::Ended) text += " (ended)";
  return text;
}

class ListTest : public test::HoldTest {
 protected:
  long long take(const std::vector<int>& capcodes, const std::string& name = "fleet.csv") {
    const ListTaking taking =
        reg().takeList(listOf(name, capcodes), false, {"station-1", at(0), {}});
    EXPECT_TRUE(taking.added);
    return taking.list->id;
  }
  std::optional<int> next(long long list, const Writer& writer, std::optional<int> preferred = {},
                          const std::set<int>& tried = {}) {
    const auto row = reg().takeRow(list, writer, preferred, tried, at(1));
    return row ? std::optional(row->entry.row) : std::nullopt;
  }
  // The record of a verified write of the pager, added.
  long long verified(int capcode, const std::string& serial = "SN1") {
    return reg().addRecord(
        test::pagerCommand("write", "station-1", capcode % 1000, pagerWith({capcode}), serial));
  }
  ListRowStatus done(long long list, int row, const Writer& writer, long long record) {
    return reg().settleRow(list, row, writer, {ListRowState::Done, record, "SN1", {}},
                           {"station-1", at(2), {}});
  }
  std::vector<std::string> states(long long list) {
    std::vector<std::string> found;
    for (const ListRowStatus& row : reg().listRows(list)) found.push_back(stateText(row));
    return found;
  }
  // Takes the row as a writer whose process ended since (as leaveClaims() does): its session ends
  // before this returns, as the server shows it.
  void leaveRow(long long list, int row) {
    Writer ended = newWriter("station-9");
    ended.started += 1;
    ASSERT_TRUE(openRegister(location_)->takeRow(list, ended, row, {}, at(1)));
    ASSERT_TRUE(rowEnded(list, row));
  }
  // Waits until the server shows the row's writer ended: up to a minute.
  bool rowEnded(long long list, int row) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (reg().listRows(list).at(row - 1).writer != Liveness::Ended) {
      if (std::chrono::steady_clock::now() > until) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
  }
};

TEST_P(ListTest, AListIsTakenInOnceFoundAgainAndANewVersionKeepsItsDoneRows) {
  const ListEntry first = listOf("fleet.csv", {1100000, 1100008, 1100016});
  const ListTaking taken = reg().takeList(first, false, {"station-1", at(0), {}});
  ASSERT_TRUE(taken.added && taken.list);
  EXPECT_EQ(taken.list->version, 1);
  EXPECT_EQ(taken.list->rows, 3);
  const ListTaking again = reg().takeList(first, false, {"station-2", at(5), {}});
  EXPECT_FALSE(again.added);
  EXPECT_EQ(again.list->id, taken.list->id);
  EXPECT_EQ(reg().listRows(taken.list->id).at(1).entry, first.rows[1]);

  const Writer writer = newWriter("station-1");
  ASSERT_EQ(next(taken.list->id, writer, 2), 2);
  done(taken.list->id, 2, writer, verified(1100008));

  // A pager added above the others, one changed and one gone: refused, each place named.
  const ListEntry second = listOf("fleet.csv", {1200000, 1100000, 1100008});
  const ListTaking refused = reg().takeList(second, false, {"station-1", at(9), {}});
  EXPECT_FALSE(refused.list);
  EXPECT_EQ(refused.changedRows, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(reg().findList("fleet.csv")->version, 1);

  // As a new version, the pager written keeps its write in its new place: never written twice.
  const ListTaking renewed = reg().takeList(second, true, {"station-1", at(9), {}});
  ASSERT_TRUE(renewed.added && renewed.list);
  EXPECT_EQ(renewed.list->version, 2);
  EXPECT_EQ(reg().findList("fleet.csv")->id, renewed.list->id);
  EXPECT_EQ(states(renewed.list->id), (std::vector<std::string>{"open", "open", "done"}));
  EXPECT_EQ(reg().listRows(renewed.list->id)[2].recordId,
            reg().listRows(taken.list->id)[1].recordId);
}

TEST_P(ListTest, ARowIsTakenPreferredThenOpenThenFailedOrLeftNotTried) {
  const long long list = take({1100000, 1100008, 1100016, 1100024, 1100032});
  leaveRow(list, 1);
  const Writer writer = newWriter("station-1");
  EXPECT_EQ(next(list, writer, 4), 4);
  EXPECT_EQ(next(list, writer), 2);  // the first open row: row 1 is being written
  reg().settleRow(list, 2, writer, {ListRowState::Failed, {}, {}, "Capcode 1100008 was taken"},
                  {"station-1", at(2), {}});
  EXPECT_EQ(next(list, writer, 4), 3);  // row 4 runs: not taken again
  EXPECT_EQ(next(list, writer), 5);
  EXPECT_EQ(next(list, writer, {}, {1}), 2);  // no row open: the first not tried
  EXPECT_EQ(next(list, writer), 1);           // left by a writer that ended
  EXPECT_EQ(next(list, writer), std::nullopt);
  EXPECT_EQ(states(list), std::vector<std::string>(5, "writing"));
  const auto history = reg().rowHistory(list, 1);
  ASSERT_EQ(history.size(), 2u);
  EXPECT_EQ(history[0].note, "left by station-9, whose write ended");
}

TEST_P(ListTest, ARowIsDoneOnceByAVerifiedWriteFailuresAreCountedAndItMayOpenAgain) {
  const long long list = take({1100000, 1100008});
  const Writer writer = newWriter("station-1");
  const Stamp by{"station-1", at(2), {}};
  ASSERT_EQ(next(list, writer), 1);
  const long long goodWrite = verified(1100000);
  Record failed = test::pagerCommand("write", "station-1", 3, pagerWith({1100000}));
  failed.outcome = "write error!";
  const long long failedId = reg().addRecord(failed);
  for (const RowEnd& refused :
       {RowEnd{ListRowState::Done, {}, {}, {}}, RowEnd{ListRowState::Done, failedId, {}, {}}}) {
    EXPECT_THROW(reg().settleRow(list, 1, writer, refused, by), RegisterError);
  }
  EXPECT_EQ(states(list), (std::vector<std::string>{"writing", "open"}));

  reg().settleRow(list, 1, writer, {ListRowState::Failed, failedId, {}, "write error!"}, by);
  ASSERT_EQ(next(list, writer), 2);
  reg().settleRow(list, 2, writer, {ListRowState::Open, {}, {}, {}}, by);
  ASSERT_EQ(next(list, writer, 1), 1);
  const ListRowStatus twice =
      reg().settleRow(list, 1, writer, {ListRowState::Failed, {}, {}, "no pager"}, by);
  EXPECT_EQ(twice.attempts, 2);
  EXPECT_EQ(twice.reason, "no pager");
  ASSERT_EQ(next(list, writer, 1), 1);
  EXPECT_EQ(done(list, 1, writer, goodWrite).recordId, goodWrite);
  EXPECT_EQ(reg().listRows(list)[0].attempts, 2);
  EXPECT_EQ(reg().listRows(list)[1].attempts, 0);  // opened again: nothing was sent

  // Never done twice, and one write does one row.
  EXPECT_THROW(done(list, 1, writer, goodWrite), RegisterError);
  ASSERT_EQ(next(list, writer), 2);
  try {
    done(list, 2, writer, goodWrite);
    ADD_FAILURE() << "a record made two rows done";
  } catch (const RegisterError& error) {
    EXPECT_EQ(error.fault(), RegisterFault::Invalid);
    EXPECT_NE(std::string(error.what()).find("made row 1 of fleet.csv done already"),
              std::string::npos)
        << error.what();
  }
  EXPECT_EQ(states(list), (std::vector<std::string>{"done", "writing"}));
}

TEST_P(ListTest, ASwappedRowReleasesItsPagersCapcodesOpensAgainAndItsHistoryKeepsBoth) {
  const long long list = take({1100000});
  const Writer writer = newWriter("station-1");
  ASSERT_EQ(next(list, writer), 1);
  const long long broken = write("station-1", 1, pagerWith({1100000, 8}), {}, "SN-A");
  done(list, 1, writer, broken);
  EXPECT_THROW(reg().swapRow(list, 2, {"station-2", at(3), {}}), RegisterError);

  const ListRowStatus swapped = reg().swapRow(list, 1, {"station-2", at(3), "cracked case"});
  EXPECT_EQ(swapped.state, ListRowState::Open);
  EXPECT_FALSE(swapped.recordId);
  EXPECT_TRUE(reg().holders(1100000).empty());
  EXPECT_TRUE(reg().holders(8).empty());
  EXPECT_EQ(reg().history(1100000).front().note, "row 1 of fleet.csv swapped: cracked case");
  EXPECT_THROW(reg().swapRow(list, 1, {"station-2", at(3), {}}), RegisterError);  // not done

  ASSERT_EQ(next(list, writer), 1);
  const long long replacement = write("station-1", 4, pagerWith({1100000, 8}), {}, "SN-B");
  done(list, 1, writer, replacement);
  std::vector<std::pair<std::string, std::optional<long long>>> history;
  for (const ListRowEvent& e : reg().rowHistory(list, 1)) history.emplace_back(e.event, e.recordId);
  EXPECT_EQ(history, (std::vector<std::pair<std::string, std::optional<long long>>>{
                         {"done", replacement},
                         {"taken", std::nullopt},
                         {"swapped", broken},
                         {"done", broken},
                         {"taken", std::nullopt}}));
}

// Four stations, each a process of its own, take rows of one list until none is left.
TEST_P(ListTest, StationsWorkingOneListTakeEveryRowOnce) {
  constexpr int kRows = 40;
  std::vector<int> capcodes;
  for (int i = 0; i < kRows; ++i) capcodes.push_back(1100000 + 8 * i);
  const long long list = take(capcodes);
  const auto stations = test::runStations(4, [&](int index, const test::Say& say) {
    auto reg = openRegister(location_);
    const std::string station = "station-" + std::to_string(index);
    const Stamp by{station, at(index), {}};
    for (;;) {
      const Writer writer = newWriter(station);
      const auto row = reg->takeRow(list, writer, std::nullopt, {}, by.at);
      if (!row) return;
      say(std::to_string(row->entry.row));
      Record record = test::pagerCommand("write", station, row->entry.row,
                                         pagerWith({row->entry.uses[0].capcode}));
      reg->settleRow(list, row->entry.row, writer,
                     {ListRowState::Done, reg->addRecord(record), "SN1", {}}, by);
    }
  });
  std::map<int, int> taken;
  for (const auto& station : stations) {
    EXPECT_TRUE(station.done);
    for (const std::string& line : station.lines) ++taken[std::stoi(line)];
  }
  EXPECT_EQ(taken.size(), static_cast<std::size_t>(kRows));
  for (const auto& [row, times] : taken) EXPECT_EQ(times, 1) << "row " << row;
  EXPECT_EQ(states(list), std::vector<std::string>(kRows, "done"));
}

// A station killed while it writes a row leaves the row to the next take, and its writer, were
// it to come back, no longer has it.
TEST_P(ListTest, ARowOfAKilledStationIsTakenByTheNextAndNoLongerItsWriters) {
  const long long list = take({1100000, 1100008});
  const auto killed = test::runStations(1, [&](int, const test::Say& say) {
    const Writer writer = newWriter("station-0");
    auto reg = openRegister(location_);
    if (!reg->takeRow(list, writer, std::nullopt, {}, at(1))) throw std::runtime_error("no row");
    say(std::to_string(writer.token) + " " + std::to_string(writer.pid) + " " +
        std::to_string(writer.started));
    ::raise(SIGKILL);
  });
  ASSERT_EQ(killed.at(0).lines.size(), 1u);
  Writer gone{"station-0", thisHost()};
  std::istringstream(killed[0].lines[0]) >> gone.token >> gone.pid >> gone.started;
  ASSERT_TRUE(rowEnded(list, 1));
  EXPECT_EQ(states(list), (std::vector<std::string>{"writing (ended)", "open"}));

  const Writer writer = newWriter("station-1");
  EXPECT_EQ(next(list, writer), 2);
  EXPECT_EQ(next(list, writer), 1);
  EXPECT_THROW(reg().settleRow(list, 1, gone, {ListRowState::Failed, {}, {}, "late"},
                               {"station-0", at(5), {}}),
               RegisterError);
  EXPECT_EQ(reg().listRows(list)[0].station, "station-1");
  EXPECT_EQ(reg().listRows(list)[0].writer, Liveness::Alive);
}

INSTANTIATE_TEST_SUITE_P(Engines, ListTest, ::testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         test::engineName);

// A station whose connection to the server dropped takes its rows back when it reconnects: the
// server shows the write runs again, with nothing else to tell it (the writer's process is not
// this one).
using ListServerTest = ListTest;

TEST_P(ListServerTest, ARowIsTakenBackWhenTheConnectionIsOpenedAgain) {
  const long long list = take({1100000, 1100008});
  test::ServerRelay relay(std::getenv("CCP_TEST_POSTGRES"));
  auto station = openRegister(relay.through(location_));
  Writer writer = newWriter("station-1");
  writer.started += 1;
  ASSERT_TRUE(station->takeRow(list, writer, std::nullopt, {}, at(1)));
  relay.restart();
  ASSERT_TRUE(rowEnded(list, 1));
  EXPECT_EQ(station->listRows(list).size(), 2u);  // a call on a new connection
  EXPECT_EQ(reg().listRows(list)[0].writer, Liveness::Alive);
  EXPECT_EQ(next(list, newWriter("station-2")), 2);
}

// The writer's claims settled, its row is still being written: the server shows it runs.
TEST_P(ListServerTest, ARowsWriterRunsWhileItsRowIsTakenThoughItsClaimsAreSettled) {
  const long long list = take({1100000});
  auto station = openRegister(location_);
  Writer writer = newWriter("station-1");
  writer.started += 1;  // nothing but its session tells it runs
  ASSERT_TRUE(station->takeRow(list, writer, std::nullopt, {}, at(1)));
  ASSERT_TRUE(station->claimWrite({{1, 1100000, true}}, writer, at(1), std::nullopt).granted);
  station->settle(writer, WriteEnd::Abandoned, std::nullopt, {"station-1", at(2), {}});
  EXPECT_EQ(reg().listRows(list)[0].writer, Liveness::Alive);
  // Its lock goes with the row.
  station->settleRow(list, 1, writer, {ListRowState::Open, {}, {}, {}}, {"station-1", at(2), {}});
  long long locks = -1;
  rawSession()->sql() << "SELECT count(*) FROM pg_locks WHERE locktype = 'advisory' AND "
                         "objsubid = 1 AND ((classid::bigint << 32) | objid::bigint) = " +
                             std::to_string(writer.token),
      soci::into(locks);
  EXPECT_EQ(locks, 0);
}

INSTANTIATE_TEST_SUITE_P(Server, ListServerTest, ::testing::Values(Engine::PostgreSQL),
                         test::engineName);

}  // namespace
}  // namespace ccp
