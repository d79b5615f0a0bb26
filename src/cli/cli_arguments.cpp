#include "cli/cli_arguments.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

namespace ccp::cli {

namespace {

constexpr int kMaxAutoinc = 8;

struct SubcommandRule {
  Subcommand subcommand;
  std::size_t minOperands;
  std::size_t maxOperands;
  std::set<std::string> options;  // the options it takes besides the global ones
};

const std::map<std::string, SubcommandRule> kSubcommands = {
    {"show", {Subcommand::Show, 1, 1, {"--json"}}},
    {"diff", {Subcommand::Diff, 2, 2, {}}},
    {"set", {Subcommand::Set, 2, SIZE_MAX, {"-o", "--names"}}},
    {"read", {Subcommand::Read, 1, 1, {"--port"}}},
    {"write",
     {Subcommand::Write, 1, 1, {"--port", "--autoinc", "--batch", "--update", "--backup"}}},
    {"verify", {Subcommand::Verify, 1, 1, {"--port"}}},
};

const std::set<std::string> kValueOptions = {"-o", "--port", "--autoinc", "--lpt1", "--lpt2"};
const std::set<std::string> kFlags = {"--json", "--batch",   "--update", "--backup",
                                      "--help", "--version", "--names"};

std::optional<PortSelection> portSelection(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (text == "lpt1") return PortSelection::Lpt1;
  if (text == "lpt2") return PortSelection::Lpt2;
  if (text == "simulator") return PortSelection::Simulator;
  return std::nullopt;
}

std::optional<AutoincSteps> autoincSteps(const std::string& text) {
  AutoincSteps steps{};
  std::istringstream in(text);
  std::string item;
  std::size_t count = 0;
  while (std::getline(in, item, ',')) {
    if (count == steps.size() || item.size() != 1 || item[0] < '0' || item[0] > '0' + kMaxAutoinc) {
      return std::nullopt;
    }
    steps[count++] = item[0] - '0';
  }
  if (count != steps.size() || text.back() == ',') return std::nullopt;
  return steps;
}

class Parser {
 public:
  ParsedArguments run(const std::vector<std::string>& words) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size() && error_.empty(); ++i) {
      const std::string& word = words[i];
      if (optionsEnded || word.size() < 2 || word[0] != '-') {
        operand(word);
      } else if (word == "--") {
        optionsEnded = true;
      } else {
        option(word, words, i);
      }
    }
    if (error_.empty()) check();
    return {std::move(args_), std::move(error_)};
  }

 private:
  void operand(const std::string& word) {
    if (args_.subcommand) {
      args_.operands.push_back(word);
      return;
    }
    auto found = kSubcommands.find(word);
    if (found == kSubcommands.end()) {
      error_ = "unknown command '" + word + "'";
      return;
    }
    subcommandName_ = word;
    args_.subcommand = found->second.subcommand;
  }

  void option(const std::string& word, const std::vector<std::string>& words, std::size_t& i) {
    std::string name = word;
    std::optional<std::string> value;
    if (const auto equals = word.find('='); equals != std::string::npos && word.starts_with("--")) {
      name = word.substr(0, equals);
      value = word.substr(equals + 1);
    }
    if (name == "-h") name = "--help";
    if (name == "--output") name = "-o";
    if (kFlags.contains(name) && !value) return flag(name);
    if (!kValueOptions.contains(name)) {
      error_ = "unknown option '" + word + "'";
      return;
    }
    if (!value) {
      if (i + 1 >= words.size()) {
        error_ = "option " + name + " needs a value";
        return;
      }
      value = words[++i];
    }
    given_.insert(name);
    withValue(name, *value);
  }

  void flag(const std::string& name) {
    given_.insert(name);
    if (name == "--help") args_.help = true;
    if (name == "--version") args_.version = true;
    if (name == "--json") args_.json = true;
    if (name == "--batch") args_.batch = true;
    if (name == "--update") args_.update = true;
    if (name == "--backup") args_.backup = true;
    if (name == "--names") args_.names = true;
  }

  void withValue(const std::string& name, const std::string& value) {
    if (name == "-o") args_.output = value;
    if (name == "--lpt1" || name == "--lpt2") {
      const ParsedDevice parsed = parsePortDevice(value);
      if (!parsed.device) error_ = name + ": " + parsed.error;
      (name == "--lpt1" ? args_.ports.lpt1 : args_.ports.lpt2) = parsed.device;
    }
    if (name == "--port") {
      args_.port = portSelection(value);
      if (!args_.port) error_ = "--port takes LPT1, LPT2 or simulator, not '" + value + "'";
    }
    if (name == "--autoinc") {
      const auto steps = autoincSteps(value);
      if (steps) args_.autoinc = *steps;
      if (!steps) error_ = "--autoinc takes six steps from 0 to 8, such as 1,0,0,0,0,0";
    }
  }

  // The options and operands fit the command.
  void check() {
    if (args_.help || args_.version) return;
    if (!args_.subcommand) {
      error_ = "no command given";
      return;
    }
    const SubcommandRule& rule = kSubcommands.at(subcommandName_);
    for (const std::string& name : given_) {
      const bool global = name == "--lpt1" || name == "--lpt2";
      if (!global && !rule.options.contains(name)) {
        error_ = subcommandName_ + " does not take " + name;
        return;
      }
    }
    const std::size_t count = args_.operands.size();
    if (args_.names) {
      if (count != 0) error_ = "set --names takes no other arguments";
    } else if (count < rule.minOperands || count > rule.maxOperands) {
      error_ = "wrong number of arguments for " + subcommandName_;
    }
  }

  CliArguments args_;
  std::string subcommandName_;
  std::set<std::string> given_;
  std::string error_;
};

}  // namespace

ParsedArguments parseCliArguments(const std::vector<std::string>& words) {
  return Parser().run(words);
}

}  // namespace ccp::cli
