#pragma once

namespace ccp::cli {

// Ctrl-C (SIGINT) and SIGTERM while a pager command runs. The first asks the command to stop
// at the next point where the pager is consistent; it then ends as it ends a failure, with its
// log line "Interrupted: the pager may be partly written" and its record, the lines at rest and
// the port released, and the program exits with 128 + the signal's number (130, 143). A call
// to the register under way is cut at once, and the record goes to the journal. A second signal
// ends the process at once, from the handler: the Programmer's lines go to rest first, and the
// command's record (from its end on, or until then a line naming its backup) goes to the
// journal unless it was kept already. Any other signal that ends a program (SIGHUP, SIGQUIT,
// SIGPIPE and the like) still ends it, once the lines are at rest and the record is in the
// journal in the same way: only SIGKILL, which no program can answer, leaves it out. Between pager
// commands (a batch waiting for Enter) the signals keep their usual effect, and a signal the
// program was started ignoring (a background job) stays ignored throughout.
class StopOnSignal {
 public:
  // `terminal`: standard error is a terminal, where the first signal is acknowledged.
  explicit StopOnSignal(bool terminal);
  ~StopOnSignal();
  StopOnSignal(const StopOnSignal&) = delete;
  StopOnSignal& operator=(const StopOnSignal&) = delete;

  // 128 + the signal's number once one came, else `otherwise`.
  int exitStatus(int otherwise) const;
};

// A signal came while a StopOnSignal is in place.
bool stopRequested();

}  // namespace ccp::cli
