#pragma once

#include <CLI/CLI.hpp>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "image/layout.h"
#include "ports/port_choice.h"

namespace ccp::cli {

struct Run;

// What --port names: LPT1, LPT2 or simulator, in any case.
enum class PortSelection { Lpt1, Lpt2, Simulator };

using AutoincSteps = std::array<int, kAddressCount>;

// What the words asked for. Each command binds the options it takes to these fields.
struct CliArguments {
  std::vector<std::string> operands;  // what follows the command: files, NAME=VALUE
  bool quiet = false;
  bool verbose = false;
  bool json = false;
  bool all = false;
  bool batch = false;
  std::optional<int> count;
  bool update = false;
  bool backup = false;
  bool dryRun = false;
  bool fresh = false;
  std::optional<std::string> output;
  std::string templateFile;  // a customer's list: what its pagers share
  bool newVersion = false;   // a list taken in again with other content
  bool noPrompt = false;     // a list's rows written one after another, nobody asked
  std::optional<int> row;    // a list's row to write first
  std::optional<PortSelection> port;
  AutoincSteps autoinc{};
  PortChoice ports;
  // The pager register.
  std::string registerLocation;  // --register: empty, as the settings say
  bool guard = false;
  std::vector<int> uniqueRows;  // empty: as the settings say
  bool nextFree = false;
  std::optional<std::string> since;
  std::optional<int> limit;
  std::string station;
  std::string note;
  bool force = false;
};

// A command of ccp, given the run; returns the exit status.
using Command = std::function<int(Run&)>;

// The words of ccp: the options every command takes, the commands with their own options and
// operands, and the help made from them. A command adds itself with add() and binds its
// options to arguments().
class CommandLine {
 public:
  CommandLine();

  CliArguments& arguments() { return args_; }

  // A command named `name`, run by `command` when the words choose it.
  CLI::App& add(const std::string& name, const std::string& description, Command command);
  // A group of commands under one name ("register find"), each added to it with add().
  CLI::App& group(const std::string& name, const std::string& description);
  CLI::App& add(CLI::App& group, const std::string& name, const std::string& description,
                Command command);
  // An operand the command needs, collected in order into arguments().operands.
  CLI::Option* operand(CLI::App& command, const std::string& name, const std::string& description);
  // One or more operands, likewise.
  CLI::Option* operands(CLI::App& command, const std::string& name, const std::string& description);
  // A flag that runs `command` at once, whatever else the words hold, as --help does.
  void immediateFlag(CLI::App& command, const std::string& name, const std::string& description,
                     Command immediate);
  // --port and --fresh, for the commands that reach the Programmer.
  void portOptions(CLI::App& command);

  struct Parsed {
    enum class Outcome { Run, Help, Version, WrongUsage };
    Outcome outcome = Outcome::WrongUsage;
    std::string text;  // the help text, or what is wrong with the words
    Command command;
  };
  Parsed parse(const std::vector<std::string>& words);

 private:
  CLI::App app_;
  CliArguments args_;
  bool version_ = false;
  Command chosen_;
};

}  // namespace ccp::cli
