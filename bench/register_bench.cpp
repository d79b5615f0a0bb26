// Times what the pager register adds to a guarded Write to pager: the claim of its individual
// capcode before anything is written, the record and the claim confirmed after the verify.
// The writes run against the simulated Programmer on the virtual clock, so only the register's
// own time is measured, on a register that holds `records` records already: a SQLite file in a
// temporary folder, or the database --register names (on a PostgreSQL server, in a schema of its
// own that is dropped at the end). With --stations N, N stations claim, record and confirm at
// once instead, each in a process of its own (see register_line.h). With --list ROWS, a list of
// that many rows is taken in and the stations (one unless --stations says) take its rows and mark
// them done, `writes` rows each at most (see register_list.h).
//   ccp_register_bench [writes] [records] [--register URL] [--stations N [--pace MS]]
//                      [--list ROWS]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "app/default_pager.h"
#include "commands/pager_records.h"
#include "image/capcode.h"
#include "register/pager_register.h"
#include "register_line.h"
#include "register_list.h"
#include "shell/form.h"
#include "sim/simulated_programmer.h"
#include "testkit/fake_platform.h"
#include "testkit/server_schema.h"
#include "testkit/station_processes.h"
#include "testkit/virtual_clock.h"

namespace {

using bench::Clock;
using ccp::PagerRegister;

// A register that adds the time of each call to `spent`.
class TimedRegister : public PagerRegister {
 public:
  TimedRegister(std::unique_ptr<PagerRegister> inner, Clock::duration& spent)
      : inner_(std::move(inner)), spent_(spent) {}

  ccp::RegisterStatus status() override {
    return timed([&] { return inner_->status(); });
  }
  long long addRecord(const ccp::Record& r) override {
    return timed([&] { return inner_->addRecord(r); });
  }
  ccp::AddedRecords addRecords(const std::vector<ccp::Record>& r) override {
    return timed([&] { return inner_->addRecords(r); });
  }
  std::vector<ccp::Record> records(const ccp::RecordQuery& q) override {
    return timed([&] { return inner_->records(q); });
  }
  long long countRecords(const ccp::RecordQuery& q) override {
    return timed([&] { return inner_->countRecords(q); });
  }
  std::vector<ccp::HolderEvent> history(int c) override {
    return timed([&] { return inner_->history(c); });
  }
  Imported importRecords(const std::vector<ccp::Record>& r, const ccp::Stamp& by) override {
    return timed([&] { return inner_->importRecords(r, by); });
  }
  std::vector<ccp::Holder> holders(int c) override {
    return timed([&] { return inner_->holders(c); });
  }
  ccp::ClaimResult claimWrite(const std::vector<ccp::RowUse>& rows, const ccp::Writer& w,
                              ccp::WallTime at,
                              const std::optional<ccp::SeenPager>& seen) override {
    return timed([&] { return inner_->claimWrite(rows, w, at, seen); });
  }
  ccp::HoldOutcome settle(const ccp::Writer& w, ccp::WriteEnd end, std::optional<long long> id,
                          const ccp::Stamp& by) override {
    return timed([&] { return inner_->settle(w, end, id, by); });
  }
  ccp::HoldOutcome apply(long long id, const ccp::Stamp& by) override {
    return timed([&] { return inner_->apply(id, by); });
  }
  ccp::ReleaseResult release(int c, const ccp::Stamp& by, bool force) override {
    return timed([&] { return inner_->release(c, by, force); });
  }
  std::vector<ccp::Holder> claims() override {
    return timed([&] { return inner_->claims(); });
  }
  std::vector<ccp::Conflict> conflicts(bool closedToo) override {
    return timed([&] { return inner_->conflicts(closedToo); });
  }
  std::vector<ccp::Conflict> resolve(std::optional<long long> id, std::optional<int> c,
                                     const ccp::Stamp& by) override {
    return timed([&] { return inner_->resolve(id, c, by); });
  }
  ccp::ListTaking takeList(const ccp::ListEntry& list, bool newVersion,
                           const ccp::Stamp& by) override {
    return timed([&] { return inner_->takeList(list, newVersion, by); });
  }
  std::optional<ccp::ListInfo> findList(const std::string& name) override {
    return timed([&] { return inner_->findList(name); });
  }
  std::optional<ccp::ListRowStatus> takeRow(long long listId, const ccp::Writer& w,
                                            std::optional<int> preferred,
                                            const std::set<int>& tried, ccp::WallTime at) override {
    return timed([&] { return inner_->takeRow(listId, w, preferred, tried, at); });
  }
  ccp::ListRowStatus settleRow(long long listId, int row, const ccp::Writer& w,
                               const ccp::RowEnd& end, const ccp::Stamp& by) override {
    return timed([&] { return inner_->settleRow(listId, row, w, end, by); });
  }
  std::vector<ccp::ListRowStatus> listRows(long long listId) override {
    return timed([&] { return inner_->listRows(listId); });
  }
  ccp::ListRowStatus swapRow(long long listId, int row, const ccp::Stamp& by) override {
    return timed([&] { return inner_->swapRow(listId, row, by); });
  }
  std::vector<ccp::ListRowEvent> rowHistory(long long listId, int row) override {
    return timed([&] { return inner_->rowHistory(listId, row); });
  }

 private:
  template <class Call>
  auto timed(Call&& call) -> std::invoke_result_t<Call> {
    const auto start = Clock::now();
    auto result = call();
    spent_ += Clock::now() - start;
    return result;
  }

  std::unique_ptr<PagerRegister> inner_;
  Clock::duration& spent_;
};

// Records of another station's earlier writes, each holding its capcode and carrying the group
// capcode they all share, taken in as a journal is.
void fill(PagerRegister& reg, int count) {
  constexpr int kBatch = 1000;
  const auto start = std::chrono::system_clock::now() - std::chrono::hours(24 * 365);
  for (int first = 0; first < count; first += kBatch) {
    std::vector<ccp::Record> batch;
    for (int i = first; i < std::min(count, first + kBatch); ++i) {
      batch.push_back(ccp::testkit::writeRecord("station-2", start + std::chrono::minutes(i),
                                                ccp::capcodeText(100000 + i), std::to_string(i)));
    }
    reg.importRecords(batch, {"station-2", std::chrono::system_clock::now(), {}});
  }
}

struct Options {
  int writes = 1000;
  int records = 10000;
  std::string location;  // none: a SQLite file in a temporary folder
  int stations = 0;      // none: one station's guarded writes through the window
  int paceMs = 0;        // a station's writes begin this far apart; none: back to back
  int listRows = 0;      // none: no list
};

Options options(int argc, char* argv[]) {
  Options o;
  std::vector<int*> numbers = {&o.writes, &o.records};
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--register" && i + 1 < argc) {
      o.location = argv[++i];
    } else if (word == "--stations" && i + 1 < argc) {
      o.stations = std::atoi(argv[++i]);
    } else if (word == "--list" && i + 1 < argc) {
      o.listRows = std::atoi(argv[++i]);
    } else if (word == "--pace" && i + 1 < argc) {
      o.paceMs = std::atoi(argv[++i]);
    } else if (!numbers.empty()) {
      *numbers.front() = std::atoi(argv[i]);
      numbers.erase(numbers.begin());
    }
  }
  return o;
}

// One station's guarded writes through the window, the time of the register's calls of each.
int guardedWrites(const std::string& location, const std::string& folder, int writes) {
  const ccp::BuildConfig config{};
  ccp::testkit::VirtualClock clock;
  ccp::sim::SimulatedProgrammer programmer(clock, 888);
  const ccp::PagerContents pager = ccp::defaultPagerContents(config);
  programmer.setEeprom(pager.eeprom);
  programmer.setDecoder(pager.decoder);
  ccp::testkit::FakePlatform platform;
  ccp::TForm1 form(config, platform, programmer, clock);
  form.textField("address1").setText("1500000");
  form.comboBox("autoinc1").choose(1);

  Clock::duration spent{};
  ccp::PagerRecords kept(folder);
  kept.setRegister({}, {location, "station-1", false, true});
  kept.registerConnection().opener = [&spent](const ccp::RegisterLocation& where) {
    return std::make_unique<TimedRegister>(ccp::openRegister(where), spent);
  };
  kept.registerConnection().get();  // opened once, as a face does at its first command
  ccp::bindPagerRecords(form, kept);

  std::vector<Clock::duration> times;
  for (int i = 0; i < writes; ++i) {
    spent = {};
    form.menuItem("WriteToPager").trigger();
    if (form.log().lines().back() != ccp::kVerifiedLine) {
      std::fprintf(stderr, "write %d: %s\n", i + 1, form.log().lines().back().c_str());
      return 1;
    }
    times.push_back(spent);
  }
  std::printf("%d guarded writes on the virtual clock\n", writes);
  std::printf("claim, record and confirm per write: %s\n", bench::percentiles(times).c_str());
  return 0;
}

// Fills the register at `location` and times the writes on it.
int run(const Options& o, const std::string& location, const std::filesystem::path& folder) {
  fill(*ccp::openRegister(location), o.records);
  std::printf("register: %s, %d records before\n",
              ccp::openRegister(location)->status().engine.c_str(), o.records);
  if (o.listRows > 0) {
    return bench::runList(location, std::max(1, o.stations), o.writes, o.listRows);
  }
  return o.stations > 0
             ? bench::runLine(location, o.stations, o.writes, std::chrono::milliseconds(o.paceMs))
             : guardedWrites(location, folder.string(), o.writes);
}

}  // namespace

int main(int argc, char* argv[]) {
  const Options o = options(argc, argv);
  // A server's register goes in a schema of its own, dropped at the end: every run starts with
  // only the records it puts in, and leaves the database as it was.
  const bool server = ccp::isSharedRegister(o.location);
  const std::string schema = "register_bench_" + std::to_string(::getpid());
  if (server) {
    const std::string problem =
        ccp::testkit::serverStatement(o.location, "CREATE SCHEMA " + schema);
    if (!problem.empty()) {
      std::fprintf(stderr, "%s\n", problem.c_str());
      return 1;
    }
  }
  const auto folder =
      std::filesystem::temp_directory_path() / ("ccp-register-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string location = server               ? ccp::testkit::urlInSchema(o.location, schema)
                               : o.location.empty() ? (folder / ccp::kRegisterFileName).string()
                                                    : o.location;
  int status = 1;
  try {
    status = run(o, location, folder);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
  }
  if (server) ccp::testkit::serverStatement(o.location, "DROP SCHEMA " + schema + " CASCADE");
  std::filesystem::remove_all(folder);
  return status;
}
