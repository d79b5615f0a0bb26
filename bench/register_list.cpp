#include "register_list.h"

#include <cstdio>
#include <map>

#include "image/capcode.h"
#include "register/pager_register.h"
#include "register_line.h"
#include "testkit/station_processes.h"

namespace bench {

namespace {

// The list's capcodes, above the records a run puts in first.
constexpr int kFirstCapcode = 1600000;

ccp::ListEntry listOf(int rows) {
  ccp::ListEntry list{"bench.csv", "", "Name,Capcode,Serial", "comma, UTF-8", {}};
  for (int row = 1; row <= rows; ++row) {
    const int capcode = kFirstCapcode + 8 * row;
    const std::string label = "pager " + std::to_string(row);
    list.rows.push_back({row,
                         static_cast<std::size_t>(row + 1),
                         label,
                         {{1, capcode, true}, {2, 8, false}},
                         "SN" + std::to_string(row),
                         label + "," + ccp::capcodeText(capcode),
                         "row " + std::to_string(row)});
  }
  list.fingerprint = "bench " + std::to_string(rows);
  return list;
}

// A station's work, in the child process: says "ROW TAKE-NS END-NS" for each row it did.
void station(const std::string& location, long long list, int index, int writes,
             const ccp::testkit::Say& say) {
  auto reg = ccp::openRegister(location);
  const std::string name = "station-" + std::to_string(index + 1);
  for (int i = 0; i < writes; ++i) {
    const ccp::Writer writer = ccp::newWriter(name);
    const ccp::Stamp by{name, std::chrono::system_clock::now(), {}};
    auto start = Clock::now();
    const auto row = reg->takeRow(list, writer, std::nullopt, {}, by.at);
    const auto take = Clock::now() - start;
    if (!row) return;
    ccp::Record record = ccp::testkit::writeRecord(
        name, by.at, ccp::capcodeText(row->entry.uses[0].capcode), row->entry.serial);
    const ccp::RowEnd end{ccp::ListRowState::Done, reg->addRecord(record), row->entry.serial, {}};
    start = Clock::now();
    reg->settleRow(list, row->entry.row, writer, end, by);
    const auto settle = Clock::now() - start;
    say(std::to_string(row->entry.row) + ' ' + std::to_string(take.count()) + ' ' +
        std::to_string(settle.count()));
  }
}

}  // namespace

int runList(const std::string& location, int stations, int writes, int rows) {
  const ccp::ListEntry entry = listOf(rows);
  const auto start = Clock::now();
  const ccp::ListTaking taken =
      ccp::openRegister(location)->takeList(entry, false, {"station-1", {}, {}});
  std::printf("a list of %d rows taken in: %.2f ms\n", rows, ms(Clock::now() - start));
  if (!taken.list) return 1;
  const auto run = ccp::testkit::runStations(
      stations,
      [&](int index, const ccp::testkit::Say& say) {
        station(location, taken.list->id, index, writes, say);
      },
      std::chrono::hours(1));
  std::vector<Clock::duration> takes, settles;
  std::map<int, int> done;
  int failed = run.inTime ? 0 : 1;
  for (std::size_t i = 0; i < run.stations.size(); ++i) {
    const ccp::testkit::StationOutcome& said = run.stations[i];
    if (!said.error.empty()) std::fprintf(stderr, "station-%zu: %s\n", i + 1, said.error.c_str());
    failed += said.done ? 0 : 1;
    for (const std::string& line : said.lines) {
      int row = 0;
      long long take = 0, settle = 0;
      if (std::sscanf(line.c_str(), "%d %lld %lld", &row, &take, &settle) != 3) continue;
      failed += done[row]++ > 0 ? 1 : 0;
      takes.push_back(std::chrono::nanoseconds(take));
      settles.push_back(std::chrono::nanoseconds(settle));
    }
  }
  if (failed > 0 || takes.empty()) return 1;
  std::printf("%d stations, each its own process and connection, up to %d rows each\n", stations,
              writes);
  std::printf("take a row: %s\n", percentiles(takes).c_str());
  std::printf("mark it done: %s\n", percentiles(settles).c_str());
  std::printf("rows done: %zu, none twice\n", done.size());
  return 0;
}

}  // namespace bench
