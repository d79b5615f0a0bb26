// Ctrl-C and SIGTERM during a pager command of ccp, sent to a process of its own.
#include "cli/stop_signals.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "cli_fixture.h"
#include "files/csv_reader.h"
#include "files/outcome_lines.h"
#include "register/engine_fixture.h"
#include "register/server_relay.h"

namespace ccp {
namespace {

using namespace std::chrono_literals;
using test::TempFolder;

// The exit status of a process that ended, as a shell shows it: 128 + the signal that ended it.
int exitStatus(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The built ccp, run as a user runs it with a home of its own; its standard output goes to the
// file "out" there.
pid_t startCcp(const TempFolder& home, std::vector<std::string> words) {
  std::filesystem::remove(home.file("out"));  // none of an earlier run's lines
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  std::freopen(home.file("out").c_str(), "w", stdout);
  std::freopen("/dev/null", "w", stderr);
  for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
    ::setenv(name, home.path().c_str(), 1);
  }
  ::unsetenv("CCP_REGISTER");
  words.insert(words.begin(), CCP_PROGRAM);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  ::execv(CCP_PROGRAM, argv.data());
  ::_exit(127);
}

std::string outputOf(const TempFolder& home) {
  const auto bytes = test::readBytes(home.file("out"));
  return {bytes.begin(), bytes.end()};
}

// ccp writing on the simulated Programmer in real time, stopped by a signal once "Write to
// Pager..." is out (the decoder write takes seconds from there): the write ends at the next
// record with its own line, and ccp with 128 + the signal's number.
TEST(StopSignals, CtrlCEndsAWriteWith130AndSigtermWith143) {
  TempFolder home;
  const std::string file = home.file("pager.eep");  // a pager of the build's own model
  ASSERT_EQ(exitStatus(startCcp(home, {"read", file, "--port", "simulator", "--fresh"})),
            cli::kDone);
  for (const auto& [number, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
    SCOPED_TRACE(number);
    const pid_t write = startCcp(home, {"write", file, "--port", "simulator"});
    for (int wait = 0; wait < 3000 && !test::contains(outputOf(home), "\nWrite to Pager...\n");
         ++wait) {
      std::this_thread::sleep_for(10ms);
    }
    ::kill(write, number);
    EXPECT_EQ(exitStatus(write), status);
    EXPECT_TRUE(outputOf(home).ends_with("\n" + std::string(kInterruptedLine) + "\n"))
        << outputOf(home);
  }
}

class StopSignalsTest : public test::EngineTest {};

// A write whose register froze after its claim ends verified, and its record waits for the
// register. Then a second SIGTERM (the first came during the write's read-back, when nothing was
// left to stop), or a SIGHUP (the terminal closed), ends ccp at once, as either does: the record
// is in journal.csv.
TEST_P(StopSignalsTest, ASignalWhileTheRegisterIsWaitedForLeavesTheRecordInTheJournal) {
  test::CliFixture whole;  // how long a write takes on the virtual clock
  ASSERT_EQ(whole.run({"write", whole.defaultFile("a.eep")}), cli::kDone);
  const std::uint64_t end = whole.services.clock.nowNs();
  const struct {
    const char* what;
    bool stopAsked;  // a first SIGTERM during the read-back
    int signal;
  } cases[] = {{"a second SIGTERM", true, SIGTERM}, {"SIGHUP", false, SIGHUP}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::ServerRelay relay(std::getenv("CCP_TEST_POSTGRES"));
    test::CliFixture cli;
    const std::string file = cli.fileWithCapcode(1000000);
    testkit::VirtualClock& clock = cli.services.clock;
    clock.at(end - 1'000'000'000, [&] {  // in the EEPROM write
      relay.freeze();
      if (c.stopAsked) clock.at(end - 100'000'000, [] { ::raise(SIGTERM); });  // its read-back
    });
    const std::string url = relay.through(newRegister());
    const pid_t station = ::fork();
    if (station == 0) ::_exit(cli.run({"--register", url, "write", file}));

    const auto until = std::chrono::steady_clock::now() + 60s;
    while (!(relay.frozen() && relay.waitedFor()) && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(20ms);
    }
    ::kill(station, c.signal);
    EXPECT_EQ(exitStatus(station), 128 + c.signal);
    const auto journal = test::readCsv(cli.services.dataPath + "/journal.csv");
    ASSERT_EQ(journal.size(), 2u);  // the header and the record
    EXPECT_EQ(journal[1][5], kVerifiedLine);
    EXPECT_EQ(journal[1][7], "1000000");
  }
}

INSTANTIATE_TEST_SUITE_P(Server, StopSignalsTest, ::testing::Values(Engine::PostgreSQL),
                         test::engineName);

}  // namespace
}  // namespace ccp
