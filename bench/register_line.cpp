#include "register_line.h"

#include <algorithm>
#include <cstdio>
#include <thread>

#include "image/capcode.h"
#include "register/pager_register.h"
#include "testkit/station_processes.h"

namespace bench {

namespace {

// The range the stations share, above the records a run puts in first.
constexpr int kFirstCapcode = 1500000;

long long sinceEpochNs(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

// A station's work, in the child process: says "BEGUN ENDED REFUSED", its times in steady-clock
// nanoseconds (one clock for every process of the machine) and the claims refused because
// another station had the capcode, then the nanoseconds of each write, one a line.
void station(const std::string& location, int index, int stations, int writes, Clock::duration pace,
             const ccp::testkit::Say& say) {
  auto reg = ccp::openRegister(location);
  const std::string name = "station-" + std::to_string(index + 1);
  std::vector<Clock::duration> times;
  int capcode = kFirstCapcode;
  long long refused = 0;
  const auto begun = Clock::now();
  auto next = begun + pace * index / stations;
  for (int i = 0; i < writes; ++i, ++capcode, next += pace) {
    std::this_thread::sleep_until(next);
    const auto start = Clock::now();
    const ccp::Stamp by{name, std::chrono::system_clock::now(), {}};
    const ccp::Writer writer = ccp::newWriter(name);
    ccp::Record record;
    for (;; ++capcode, ++refused) {  // "take the next free"
      record = ccp::testkit::writeRecord(name, by.at, ccp::capcodeText(capcode));
      if (reg->claimWrite(ccp::recordUses(record), writer, by.at, std::nullopt).granted) break;
    }
    reg->settle(writer, ccp::WriteEnd::Verified, reg->addRecord(record), by);
    times.push_back(Clock::now() - start);
  }
  say(std::to_string(sinceEpochNs(begun)) + ' ' + std::to_string(sinceEpochNs(Clock::now())) + ' ' +
      std::to_string(refused));
  for (const auto& t : times) say(std::to_string(t.count()));
}

}  // namespace

double ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

std::string percentiles(std::vector<Clock::duration> times) {
  std::sort(times.begin(), times.end());
  const auto at = [&times](double share) {
    return ms(times[static_cast<std::size_t>(share * static_cast<double>(times.size() - 1))]);
  };
  char text[128];
  std::snprintf(text, sizeof text, "p50 %.2f ms, p99 %.2f ms, max %.2f ms", at(0.50), at(0.99),
                ms(times.back()));
  return text;
}

int runLine(const std::string& location, int stations, int writes, Clock::duration pace) {
  const auto run = ccp::testkit::runStations(
      stations,
      [&](int index, const ccp::testkit::Say& say) {
        station(location, index, stations, writes, pace, say);
      },
      std::chrono::hours(1));
  std::vector<Clock::duration> times;
  long long first = 0, last = 0, refused = 0;
  int failed = run.inTime ? 0 : 1;
  for (std::size_t i = 0; i < run.stations.size(); ++i) {
    const ccp::testkit::StationOutcome& said = run.stations[i];
    if (!said.error.empty()) std::fprintf(stderr, "station-%zu: %s\n", i + 1, said.error.c_str());
    long long begun = 0, ended = 0, taken = 0;
    if (!said.done || said.lines.empty() ||
        std::sscanf(said.lines[0].c_str(), "%lld %lld %lld", &begun, &ended, &taken) != 3) {
      ++failed;
      continue;
    }
    first = first == 0 ? begun : std::min(first, begun);
    last = std::max(last, ended);
    refused += taken;
    for (std::size_t k = 1; k < said.lines.size(); ++k) {
      times.push_back(std::chrono::nanoseconds(std::stoll(said.lines[k])));
    }
  }
  if (failed > 0 || times.empty()) return 1;
  const double seconds = static_cast<double>(last - first) / 1e9;
  std::printf(
      "%d stations, each its own process and connection, %d writes each, one every %.0f ms\n",
      stations, writes, ms(pace));
  std::printf("claim, record and confirm per write: %s\n", percentiles(times).c_str());
  std::printf("claims granted: %zu in %.2f s, %.0f a second; refused, the capcode taken: %lld\n",
              times.size(), seconds, static_cast<double>(times.size()) / seconds, refused);
  return 0;
}

}  // namespace bench
