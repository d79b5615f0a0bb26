#pragma once

// The stations of a line as processes of their own, started at the same moment, as the PCs of a
// line are: each has its own connection to the register, and nothing of one process is shared
// with another.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace ccp::test {

// What a station tells the test: one line at a time.
using Say = std::function<void(const std::string&)>;

struct StationOutcome {
  std::vector<std::string> lines;  // as said, in order
  bool done = false;               // the station's work returned
};

// Runs `work(station, say)` for stations 0 to count - 1, each in a child process forked from
// this one (so each starts with the objects the test made before, and uses them alone), all let
// go at once. An exception ends a station with "error: WHAT", a failure of the test. Stations
// still running at the deadline are killed, a failure too.
inline std::vector<StationOutcome> runStations(
    int count, const std::function<void(int, const Say&)>& work,
    std::chrono::seconds deadline = std::chrono::seconds(60)) {
  int go[2];
  EXPECT_EQ(::pipe(go), 0);
  std::vector<std::pair<pid_t, int>> children;
  for (int station = 0; station < count; ++station) {
    int said[2];
    EXPECT_EQ(::pipe(said), 0);  // what a station says stays far below a pipe's buffer
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(go[1]);
      char none;
      (void)!::read(go[0], &none, 1);  // returns when the test closes its end: all go at once
      const Say say = [fd = said[1]](const std::string& line) {
        const std::string text = line + "\n";
        (void)!::write(fd, text.data(), text.size());
      };
      try {
        work(station, say);
        say("done");
        ::_exit(0);
      } catch (const std::exception& error) {
        say(std::string("error: ") + error.what());
        ::_exit(1);
      }
    }
    ::close(said[1]);
    children.emplace_back(pid, said[0]);
  }
  ::close(go[0]);
  ::close(go[1]);

  const auto until = std::chrono::steady_clock::now() + deadline;
  std::vector<StationOutcome> outcomes;
  for (const auto& [pid, fd] : children) {
    while (::waitpid(pid, nullptr, WNOHANG) == 0 && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    StationOutcome outcome;
    FILE* said = ::fdopen(fd, "r");
    for (char line[512]; std::fgets(line, sizeof line, said);) {
      std::string text(line);
      text.pop_back();
      if (text.starts_with("error")) ADD_FAILURE() << text;
      outcome.done = outcome.done || text == "done";
      if (text != "done") outcome.lines.push_back(text);
    }
    std::fclose(said);
    outcomes.push_back(outcome);
  }
  EXPECT_LT(std::chrono::steady_clock::now(), until)
      << "the stations did not end within " << deadline.count() << " s";
  return outcomes;
}

}  // namespace ccp::test
