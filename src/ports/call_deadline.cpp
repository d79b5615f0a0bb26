#include "ports/call_deadline.h"

#include <csignal>

namespace ccp {

namespace {

constexpr int kSignalOffset = 5;

int interruptSignal() {
  return SIGRTMIN + kSignalOffset;
}

void doNothing(int) {}

// Only a caught signal interrupts a system call; without SA_RESTART the call is not resumed.
void installHandler() {
  static const bool installed = [] {
    struct sigaction action = {};
    action.sa_handler = doNothing;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    return sigaction(interruptSignal(), &action, nullptr) == 0;
  }();
  (void)installed;
}

}  // namespace

CallDeadline::CallDeadline(std::chrono::milliseconds limit) : target_(pthread_self()) {
  installHandler();
  // The watchdog blocks every signal, so that one meant for the process (Ctrl-C) is handled on
  // the thread it interrupts, never beside it.
  sigset_t all;
  sigset_t before;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &before);
  watchdog_ = std::thread([this, limit] { watch(limit); });
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

CallDeadline::~CallDeadline() {
  {
    std::lock_guard lock(mutex_);
    armed_ = false;
  }
  disarmed_.notify_one();
  watchdog_.join();
}

// Signals again each limit: a signal that came before the call entered the kernel is lost.
void CallDeadline::watch(std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  while (!disarmed_.wait_for(lock, limit, [this] { return !armed_; }))
    pthread_kill(target_, interruptSignal());
}

}  // namespace ccp
