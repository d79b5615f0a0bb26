#include "testkit/station_processes.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <exception>

#include "files/outcome_lines.h"

namespace ccp::testkit {

namespace {

constexpr std::string_view kDone =
    "\x01"
    "done";
constexpr std::string_view kError =
    "\x01"
    "error: ";

// In the child: waits for the start, runs the work, and ends the process.
[[noreturn]] void station(int index, int go, int said,
                          const std::function<void(int, const Say&)>& work) {
  char none;
  (void)!::read(go, &none, 1);  // returns when the parent closes its end: all go at once
  const Say say = [said](const std::string& line) {
    const std::string text = line + "\n";
    (void)!::write(said, text.data(), text.size());
  };
  try {
    work(index, say);
    say(std::string(kDone));
    ::_exit(0);
  } catch (const std::exception& error) {
    say(std::string(kError) + error.what());
    ::_exit(1);
  }
}

StationOutcome outcomeOf(const std::string& text) {
  StationOutcome outcome;
  std::size_t from = 0;
  for (std::size_t end; (end = text.find('\n', from)) != std::string::npos; from = end + 1) {
    const std::string line = text.substr(from, end - from);
    if (line == kDone) {
      outcome.done = true;
    } else if (line.starts_with(kError)) {
      outcome.error = line.substr(kError.size());
    } else {
      outcome.lines.push_back(line);
    }
  }
  return outcome;
}

}  // namespace

StationsRun runStations(int count, const std::function<void(int, const Say&)>& work,
                        std::chrono::seconds deadline) {
  int go[2];
  if (::pipe2(go, O_CLOEXEC) != 0) return {{}, false};
  std::vector<pid_t> children;
  std::vector<pollfd> said;
  for (int index = 0; index < count; ++index) {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) break;
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(go[1]);
      station(index, go[0], pipe[1], work);
    }
    ::close(pipe[1]);
    children.push_back(pid);
    said.push_back({pipe[0], POLLIN, 0});
  }
  ::close(go[0]);
  ::close(go[1]);

  // Read while they run, so a station that says much never waits on a full pipe.
  std::vector<std::string> text(said.size());
  const auto until = std::chrono::steady_clock::now() + deadline;
  auto open = said.size();
  while (open > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    if (::poll(said.data(), said.size(), static_cast<int>(left.count())) < 0) continue;
    for (std::size_t i = 0; i < said.size(); ++i) {
      if (said[i].fd < 0 || said[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t n = ::read(said[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        text[i].append(buffer, static_cast<std::size_t>(n));
      } else {
        ::close(said[i].fd);
        said[i].fd = -1;
        --open;
      }
    }
  }
  StationsRun run;
  run.inTime = open == 0;
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (said[i].fd >= 0) ::close(said[i].fd);
    ::kill(children[i], SIGKILL);
    ::waitpid(children[i], nullptr, 0);
    run.stations.push_back(outcomeOf(text[i]));
  }
  return run;
}

Record writeRecord(const std::string& station, WallTime at, const std::string& capcode1,
                   const std::string& serial) {
  Record r;
  r.at = at, r.station = station, r.model = "QPX730E", r.edition = "Customer";
  r.port = "LPT1 (0x378)", r.command = kWriteCommand, r.outcome = kVerifiedLine, r.serial = serial;
  r.capcodes = {capcode1, "0000008", "", "", "", ""}, r.frequency = "152.24000";
  r.individualRows = {1};
  return r;
}

}  // namespace ccp::testkit
