#pragma once

#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_services.h"
#include "commands/register_settings.h"
#include "image/build_config.h"
#include "ports/clock.h"
#include "ports/port_io.h"
#include "ports/port_survey.h"
#include "ports/realtime_priority.h"

namespace ccp {
class MessageLog;
}

namespace ccp::cli {

// Exit statuses.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;      // the pager or a comparison failed
inline constexpr int kWrongUsage = 2;  // also a setting the window refused
inline constexpr int kFileError = 3;   // a file could not be read or written

// The port a pager command asks for.
struct PortRequest {
  PortKind kind = PortKind::Hardware;
  PortChoice ports;
  bool freshPager = false;  // the simulated Programmer starts with a new pager
};

// The Programmer's port and the clock that times its transfers.
struct Connection {
  PortIo& port;
  Clock& clock;
  const RealtimePriority* priority = nullptr;  // how the real clock ran the last transfer
  // Given the form's log once the form is made: what the machine keeps as the lines come.
  std::function<void(MessageLog&)> watchLog{};
  // The simulated Programmer only: a new pager plugged in, the one before kept, each in a file
  // of its own (a list tried with --fresh). None for a real Programmer.
  std::function<void()> newPager{};
};

// What the command line needs from the machine: its build and, for the pager commands, the
// Programmer and the folder of their records.
class CliServices {
 public:
  CliServices(BuildConfig config, PortKind defaultPort)
      : config(config), defaultPort(defaultPort) {}
  virtual ~CliServices() = default;
  // At most once per run, by a pager command.
  virtual Connection connect(const PortRequest& request) = 0;
  // Where the pager commands keep their journal and backups: the window's data folder.
  virtual std::string dataFolder() = 0;
  // The system's parallel ports.
  virtual PortSurvey surveyPorts(const PortChoice& choice) { return ccp::surveyPorts(choice); }
  // This user's register settings, the window's too, and the lines of them not taken, each
  // with where it is. None here.
  virtual ParsedRegisterSettings registerSettings() { return {}; }
  // The settings resolved on this machine, the location and guard of the command line first.
  // Here: no environment, the station as the settings name it, else kUnnamedStation.
  virtual RegisterUse registerUse(const RegisterSettings& settings, std::string_view location,
                                  std::optional<bool> guard);

  const BuildConfig config;
  const PortKind defaultPort;
};

struct Console {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  bool terminal = false;  // standard error is a terminal: progress and bells go there
};

// ccp with the words after its name; returns the exit status.
int runCli(const std::vector<std::string>& words, Console& console, CliServices& services);

}  // namespace ccp::cli
