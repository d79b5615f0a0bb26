#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/app_services.h"
#include "ports/port_choice.h"

namespace ccp::cli {

enum class Subcommand { Show, Diff, Set, Read, Write, Verify };
enum class PortSelection { Lpt1, Lpt2, Simulator };

inline constexpr int kAddressRows = 6;
using AutoincSteps = std::array<int, kAddressRows>;

struct CliArguments {
  bool help = false;
  bool version = false;
  std::optional<Subcommand> subcommand;
  std::vector<std::string> operands;  // what follows the subcommand: files, NAME=VALUE
  bool json = false;
  bool batch = false;
  bool update = false;
  bool backup = false;
  bool names = false;  // set --names: list the setting names instead
  std::optional<std::string> output;
  std::optional<PortSelection> port;
  AutoincSteps autoinc{};
  ccp::PortChoice ports;
};

struct ParsedArguments {
  CliArguments arguments;
  std::string error;  // not empty: wrong usage, said in these words
};

// The words after the program's name. Options may stand anywhere; "--" ends them.
ParsedArguments parseCliArguments(const std::vector<std::string>& words);

}  // namespace ccp::cli
