#include "cli/command_line.h"

#include <map>
#include <optional>

#include "cli/help_text.h"
#include "image/plain_text.h"

namespace ccp::cli {

namespace {

// Runs a command chosen by a flag at once, ahead of the checks of the other words.
struct ImmediateCommand {
  Command command;
};

const std::map<std::string, PortSelection> kPortNames = {{"lpt1", PortSelection::Lpt1},
                                                         {"lpt2", PortSelection::Lpt2},
                                                         {"simulator", PortSelection::Simulator}};

// --port takes the names of the ports only, in any case.
std::optional<PortSelection> portNamed(const std::string& name) {
  const auto found = kPortNames.find(lowered(name));
  if (found == kPortNames.end()) return std::nullopt;
  return found->second;
}

void deviceOption(CLI::App& app, const std::string& name, std::optional<NamedDevice>& device,
                  const std::string& description) {
  app.add_option_function<std::string>(
         name,
         [name, &device](const std::string& text) {
           const ParsedDevice parsed = parsePortDevice(text);
           if (!parsed.device) throw CLI::ValidationError(name, parsed.error);
           device = parsed.device;
         },
         description)
      ->type_name("DEVICE");
}

// Why the words were wrong: CLI11's own message, but where the parse itself tells more (a group
// of commands without its command, words that no command takes).
std::string wrongUsage(const CLI::App& app, const CLI::ParseError& error) {
  const auto chosen = app.get_subcommands();
  for (const CLI::App* command : chosen) {
    if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr &&
        command->get_require_subcommand_min() > 0 && command->get_subcommands().empty()) {
      std::vector<std::string> names;
      for (const CLI::App* each : command->get_subcommands({})) names.push_back(each->get_name());
      return command->get_name() + " takes a command: " + joined(names, ", ");
    }
  }
  if (dynamic_cast<const CLI::ExtrasError*>(&error) == nullptr || app.remaining().empty()) {
    return error.what();
  }
  const std::string extra = app.remaining().front();
  if (chosen.empty()) {
    return (extra.starts_with("-") ? "unknown option '" : "unknown command '") + extra + "'";
  }
  const std::string& command = chosen.front()->get_name();
  if (extra.starts_with("-")) return command + " does not take " + extra;
  return "too many arguments for " + command + ": '" + extra + "'";
}

}  // namespace

CommandLine::CommandLine() : app_(kHelpDescription, "ccp") {
  app_.formatter(helpFormatter());
  app_.footer(kHelpFooter);
  app_.require_subcommand(0, 1);
  // The options of ccp itself may also stand after the command.
  app_.fallthrough();
  app_.set_help_flag("-h,--help", "this text; after a command, that command's own");
  app_.add_flag("--version", version_,
                "the About line, then the model, edition and port of this build");
  deviceOption(app_, "--lpt1", args_.ports.lpt1,
               "the device behind LPT1: /dev/parportN or an I/O base (0xd010)");
  deviceOption(app_, "--lpt2", args_.ports.lpt2, "the device behind LPT2");
  app_.add_option("--register", args_.registerLocation,
                  "the pager register: a postgresql:// URL, a libpq\nkeyword string or a "
                  "SQLite file's path (default:\n$CCP_REGISTER, else register.conf's, else\n"
                  "register.sqlite in the data folder)")
      ->type_name("URL");
  auto* quiet =
      app_.add_flag("-q,--quiet", args_.quiet, "only errors and the last line of each command");
  app_.add_flag("-v,--verbose", args_.verbose,
                "every log line, and the port, timing and claim details")
      ->excludes(quiet);
}

CLI::App& CommandLine::add(const std::string& name, const std::string& description,
                           Command command) {
  return add(app_, name, description, std::move(command));
}

CLI::App& CommandLine::group(const std::string& name, const std::string& description) {
  CLI::App* added = app_.add_subcommand(name, description);
  added->require_subcommand(1);
  added->fallthrough();
  added->footer("");
  return *added;
}

CLI::App& CommandLine::add(CLI::App& group, const std::string& name, const std::string& description,
                           Command command) {
  CLI::App* added = group.add_subcommand(name, description);
  added->callback([this, command = std::move(command)] { chosen_ = command; });
  added->footer("");  // the notes of ccp --help are for every command
  return *added;
}

CLI::Option* CommandLine::operand(CLI::App& command, const std::string& name,
                                  const std::string& description) {
  auto* option = command.add_option_function<std::string>(
      name, [this](const std::string& word) { args_.operands.push_back(word); }, description);
  return option->required();
}

CLI::Option* CommandLine::operands(CLI::App& command, const std::string& name,
                                   const std::string& description) {
  auto* option = command.add_option_function<std::vector<std::string>>(
      name,
      [this](const std::vector<std::string>& words) {
        args_.operands.insert(args_.operands.end(), words.begin(), words.end());
      },
      description);
  return option->required();
}

void CommandLine::immediateFlag(CLI::App& command, const std::string& name,
                                const std::string& description, Command immediate) {
  command
      .add_flag_callback(
          name, [immediate = std::move(immediate)] { throw ImmediateCommand{immediate}; },
          description)
      ->trigger_on_parse();
}

void CommandLine::portOptions(CLI::App& command) {
  command
      .add_option_function<std::string>(
          "--port",
          [this](const std::string& name) {
            args_.port = portNamed(name);
            if (!args_.port) {
              throw CLI::ValidationError("--port",
                                         "takes LPT1, LPT2 or simulator, not '" + name + "'");
            }
          },
          "LPT1, LPT2 or simulator")
      ->type_name("PORT");
  command.add_flag("--fresh", args_.fresh,
                   "the simulated Programmer starts with a new pager, not the one it kept");
}

CommandLine::Parsed CommandLine::parse(const std::vector<std::string>& words) {
  std::vector<std::string> reversed(words.rbegin(), words.rend());  // as CLI11 takes them
  try {
    app_.parse(reversed);
  } catch (const ImmediateCommand& immediate) {
    return {Parsed::Outcome::Run, {}, immediate.command};
  } catch (const CLI::CallForHelp&) {
    return {Parsed::Outcome::Help, app_.help("", CLI::AppFormatMode::All), {}};
  } catch (const CLI::ParseError& error) {
    return {Parsed::Outcome::WrongUsage, wrongUsage(app_, error), {}};
  }
  if (version_) return {Parsed::Outcome::Version, {}, {}};
  if (!chosen_) return {Parsed::Outcome::WrongUsage, "no command given", {}};
  return {Parsed::Outcome::Run, {}, chosen_};
}

}  // namespace ccp::cli
