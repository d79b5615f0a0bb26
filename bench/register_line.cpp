#include "register_line.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <sstream>
#include <thread>

#include "image/pager_identity.h"
#include "register/pager_register.h"

namespace bench {

namespace {

// The range the stations share, above the records a run puts in first.
constexpr int kFirstCapcode = 1500000;

ccp::Record writeRecord(const std::string& station, ccp::WallTime at, int capcode) {
  ccp::Record r;
  r.at = at, r.station = station, r.model = "QPX730E", r.edition = "Customer";
  r.port = "LPT1 (0x378)", r.command = "write", r.outcome = "Verify OK !", r.serial = "12345678";
  r.capcodes = {ccp::capcodeText(capcode), "0000008", "", "", "", ""};
  r.frequency = "152.24000", r.individualRows = {1};
  return r;
}

long long sinceEpochNs(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

// A station's work, in the child process: "BEGUN ENDED REFUSED", its times in steady-clock
// nanoseconds (one clock for every process of the machine) and the claims refused because
// another station had the capcode, then the nanoseconds of each write, one a line.
std::string station(const std::string& location, int index, int stations, int writes,
                    Clock::duration pace) {
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
    for (; !reg->claim(capcode, by).granted; ++capcode) ++refused;  // "take the next free"
    const long long id = reg->addRecord(writeRecord(name, by.at, capcode));
    reg->move(ccp::HolderMove::Confirm, {capcode}, by, id);
    times.push_back(Clock::now() - start);
  }
  std::ostringstream said;
  said << sinceEpochNs(begun) << ' ' << sinceEpochNs(Clock::now()) << ' ' << refused << '\n';
  for (const auto& t : times) said << t.count() << '\n';
  return said.str();
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
  int go[2];
  if (::pipe(go) != 0) return 1;
  std::vector<std::pair<pid_t, FILE*>> children;
  for (int i = 0; i < stations; ++i) {
    int said[2];
    if (::pipe(said) != 0) return 1;
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(go[1]);
      char none;
      (void)!::read(go[0], &none, 1);  // all stations begin when the parent closes its end
      FILE* out = ::fdopen(said[1], "w");
      try {
        std::fputs(station(location, i, stations, writes, pace).c_str(), out);
      } catch (const std::exception& error) {
        std::fprintf(stderr, "station-%d: %s\n", i + 1, error.what());
        ::_exit(1);
      }
      std::fclose(out);
      ::_exit(0);
    }
    ::close(said[1]);
    children.emplace_back(pid, ::fdopen(said[0], "r"));
  }
  ::close(go[0]);
  ::close(go[1]);

  std::vector<Clock::duration> times;
  long long first = 0, last = 0, refused = 0;
  int failed = 0;
  for (const auto& [pid, said] : children) {
    long long begun = 0, ended = 0, taken = 0, ns = 0;
    if (std::fscanf(said, "%lld %lld %lld", &begun, &ended, &taken) == 3) {
      first = first == 0 ? begun : std::min(first, begun);
      last = std::max(last, ended);
      refused += taken;
    }
    while (std::fscanf(said, "%lld", &ns) == 1) times.push_back(std::chrono::nanoseconds(ns));
    std::fclose(said);
    int status = 0;
    ::waitpid(pid, &status, 0);
    failed += WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
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
