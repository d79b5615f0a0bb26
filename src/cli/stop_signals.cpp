#include "cli/stop_signals.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <iterator>
#include <span>
#include <string_view>

#include "files/journal_file.h"
#include "link/rest_on_exit.h"
#include "ports/call_watch.h"

namespace ccp::cli {

namespace {

// The first asks the command to stop, the second ends the process.
constexpr int kStops[] = {SIGINT, SIGTERM};
// Each ends the process as it always does, once the lines are at rest and the command's record
// is in the journal: a closed terminal, Ctrl-\, a reader of the output gone, and the rest that end
// a program by default. SIGKILL cannot be answered; faults of the program's own (SIGSEGV) are left
// to the system.
constexpr int kEnds[] = {SIGHUP,  SIGQUIT, SIGPIPE, SIGALRM,   SIGUSR1,
                         SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF};
constexpr int kSignalExitBase = 128;

std::atomic<int> received{0};
std::atomic<bool> onTerminal{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);
struct sigaction previous[std::size(kStops) + std::size(kEnds)];

// The progress line is erased first; write() is safe in a handler, a stream is not.
void say(std::string_view text) {
  if (!onTerminal.load()) return;
  constexpr std::string_view kEraseLine = "\r\033[K";
  (void)!::write(STDERR_FILENO, kEraseLine.data(), kEraseLine.size());
  (void)!::write(STDERR_FILENO, text.data(), text.size());
}

void onSignal(int number) {
  if (received.exchange(number) == 0) {
    const int saved = errno;  // the interrupted code may be about to read it
    stopRegisterCallNow();    // its record then goes to the journal
    say("ccp: stopping after the current page or record; again to stop at once\n");
    errno = saved;
    return;
  }
  restLinesNow();
  appendPendingRecord();
  say("ccp: stopped at once: the pager may be partly written\n");
  ::_exit(kSignalExitBase + number);
}

void onEnd(int number) {
  restLinesNow();
  appendPendingRecord();
  ::raise(number);  // its own action is back (SA_RESETHAND): it ends the process on return
}

}  // namespace

StopOnSignal::StopOnSignal(bool terminal) {
  received.store(0);
  onTerminal.store(terminal);
  struct sigaction stop = {};
  stop.sa_handler = onSignal;
  sigemptyset(&stop.sa_mask);
  for (int number : kStops) sigaddset(&stop.sa_mask, number);  // one handler at a time
  for (int number : kEnds) sigaddset(&stop.sa_mask, number);
  stop.sa_flags = SA_RESTART;  // the transfer's own calls carry on
  struct sigaction end = stop;
  end.sa_handler = onEnd;
  end.sa_flags = SA_RESETHAND;
  std::size_t i = 0;
  const auto install = [&i](std::span<const int> numbers, const struct sigaction& action) {
    for (int number : numbers) {
      sigaction(number, nullptr, &previous[i]);
      // A background job started with the signal ignored (nohup too) keeps ignoring it.
      if (previous[i++].sa_handler != SIG_IGN) sigaction(number, &action, nullptr);
    }
  };
  install(kStops, stop);
  install(kEnds, end);
}

StopOnSignal::~StopOnSignal() {
  std::size_t i = 0;
  for (int number : kStops) sigaction(number, &previous[i++], nullptr);
  for (int number : kEnds) sigaction(number, &previous[i++], nullptr);
  received.store(0);
}

int StopOnSignal::exitStatus(int otherwise) const {
  const int number = received.load();
  return number == 0 ? otherwise : kSignalExitBase + number;
}

bool stopRequested() {
  return received.load() != 0;
}

}  // namespace ccp::cli
