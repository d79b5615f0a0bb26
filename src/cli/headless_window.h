#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/preset_dialogs.h"
#include "cli/terminal_platform.h"
#include "commands/pager_records.h"
#include "ports/refusing_port.h"
#include "ports/steady_clock.h"
#include "shell/form.h"

namespace ccp::cli {

// A started window without widgets on the terminal; its file dialogs are answered with the
// paths of the command line.
class HeadlessWindow {
 public:
  // A window for files only: no port is granted, so no Programmer is ever touched.
  HeadlessWindow(const BuildConfig& config, TerminalPlatform& terminal);
  HeadlessWindow(const BuildConfig& config, TerminalPlatform& terminal, PortIo& port, Clock& clock);
  // A window on a port of its own, such as one that reports what goes through it.
  HeadlessWindow(const BuildConfig& config, TerminalPlatform& terminal,
                 std::unique_ptr<PortIo> port, Clock& clock);

  TForm1& form() { return *form_; }
  // Every line the log gets from now on goes to `out` as it comes; with `startUp`, the lines
  // of the start-up first. Quiet: only the last line of each command, none of the start-up.
  void echoLog(std::ostream& out, bool startUp, bool quiet = false);
  std::vector<std::string> linesSince(std::size_t count) const;

  // File > Open and File > Save answered with `path`; true when the window reports success and
  // showed no error.
  bool open(std::string_view path);
  enum class Saved { Yes, Refused, NotWritten };  // refused: the window showed an error
  Saved save(std::string_view path);
  // A menu command; true when one of its new log lines is `success` and no error was shown.
  bool run(std::string_view menuItem, std::string_view success);
  // What the window would show in its status bar since the last call: why a file could not be
  // loaded or saved.
  std::vector<std::string> takeNotices() { return dialogs_.takeNotices(); }

  // From now on Read from pager and Write to pager keep the window's records: a record each in
  // the register (journal.csv in `dataFolder` when it cannot keep it), writes guarded as the
  // register settings say, and, with `backups`, a backup in `dataFolder` before each write.
  // What the window would show in its status bar goes to `notice`.
  PagerRecords& keepRecords(const std::string& dataFolder, bool backups,
                            const RegisterSettings& settings, const RegisterUse& use,
                            std::function<void(const std::string&)> notice);
  // The records kept since keepRecords(), if any.
  const PagerRecords* records() const { return records_ ? &*records_ : nullptr; }
  PagerRecords* records() { return records_ ? &*records_ : nullptr; }

 private:
  bool succeeded(const std::function<void()>& action, std::string_view success);
  void echo(const std::string& line);

  TerminalPlatform& terminal_;
  std::ostream* echo_ = nullptr;
  bool quiet_ = false;
  std::unique_ptr<PortIo> ownPort_;
  PresetDialogs dialogs_;
  RefusingPort noPort_;
  SteadyClock idleClock_;                // a window for files never waits
  std::optional<PagerRecords> records_;  // outlives the form, whose menu is bound to it
  std::unique_ptr<TForm1> form_;
};

}  // namespace ccp::cli
