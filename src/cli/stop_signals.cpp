#include "cli/stop_signals.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <iterator>
#include <string_view>

#include "files/journal_file.h"
#include "link/rest_on_exit.h"
#include "register/call_watch.h"

namespace ccp::cli {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM};
constexpr int kSignalExitBase = 128;

std::atomic<int> received{0};
std::atomic<bool> onTerminal{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);
struct sigaction previous[std::size(kSignals)];

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

}  // namespace

StopOnSignal::StopOnSignal(bool terminal) {
  received.store(0);
  onTerminal.store(terminal);
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  for (int number : kSignals) sigaddset(&action.sa_mask, number);  // one handler at a time
  action.sa_flags = SA_RESTART;  // the transfer's own calls carry on
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    sigaction(kSignals[i], nullptr, &previous[i]);
    // A background job started with the signal ignored keeps ignoring it.
    if (previous[i].sa_handler != SIG_IGN) sigaction(kSignals[i], &action, nullptr);
  }
}

StopOnSignal::~StopOnSignal() {
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    sigaction(kSignals[i], &previous[i], nullptr);
  }
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
