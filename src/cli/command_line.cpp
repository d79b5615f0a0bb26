#include "cli/command_line.h"

#include <map>
#include <sstream>

#include "image/plain_text.h"

namespace ccp::cli {

namespace {

constexpr std::size_t kColumn = 30;

const char* const kDescription =
    "ccp - settings files and pagers of the QPX730 capcode programmer on the command line";

const char* const kFooter =
    R"(FILE, A, B and OUT may be -: standard input where a file is read, standard output
where one is written (the log then goes to standard error).

The log lines of the window go to standard output, errors to standard error, progress to
standard error when it is a terminal.

Every read of the pager (verify's too) and every write is a record in the pager register the
window uses: register.sqlite in its data folder ($XDG_DATA_HOME or ~/.local/share, then
capcode-programmer/capcode-programmer), or the one --register, $CCP_REGISTER or
~/.config/capcode-programmer/register.conf names. A record the register cannot keep goes to
journal.csv in the data folder; backups go to its backups folder. Whether a backup was made,
and a record that went to journal.csv and why, are said on standard error. The simulated
Programmer keeps its pager there too, in simulated-pager.eep.

With the guard on (write --guard, or "guard = on" in register.conf), a write stops before
anything is sent when an individual capcode it would write (row 1, and each row that
advances, or those of --unique) is held by another pager; a write that begins with a whole
read (--backup, or "read-before-write = on") may write a pager's own capcodes to it again.

Ctrl-C or SIGTERM during read, write, verify or test stops the command after the current EEPROM
page or decoder record, with the lines at rest: "Interrupted: the pager may be partly written",
and its record. A second Ctrl-C stops at once (the record then goes to journal.csv).

Exit status: 0 done, 1 the pager, a comparison, the guard or the register failed, 2 wrong usage
or a setting the window refused, 3 a file could not be read or written, 130 (Ctrl-C) or 143
(SIGTERM) interrupted.)";

// Runs a command chosen by a flag at once, ahead of the checks of the other words.
struct ImmediateCommand {
  Command command;
};

// The help of ccp: one text with every command and its options, so that it serves as the
// manual too; a command's own help as CLI11 gives it.
class HelpFormatter : public CLI::Formatter {
 public:
  HelpFormatter() {
    column_width(kColumn);
    label("Positionals", "Arguments");
    label("Subcommands", "Commands");
    label("SUBCOMMAND", "COMMAND");
  }

  // The value's name alone: ranges and exclusions are said in the descriptions.
  std::string make_option_opts(const CLI::Option* option) const override {
    if (option->get_positional() || option->get_type_size() == 0) return {};
    const std::string type = option->get_type_name();
    return " " + type.substr(0, type.find(':'));
  }

  std::string make_usage(const CLI::App* app, std::string name) const override {
    if (app->get_parent() != nullptr) return Formatter::make_usage(app, std::move(name));
    return "Usage: " + name + " [OPTIONS] COMMAND [ARGUMENTS]\n  or:  " + name +
           " COMMAND --help\n";
  }

  std::string make_subcommands(const CLI::App* app, CLI::AppFormatMode mode) const override {
    if (mode != CLI::AppFormatMode::All || app->get_subcommands({}).empty()) {
      return Formatter::make_subcommands(app, mode);
    }
    std::ostringstream out;
    out << "\n" << get_label("Subcommands") << ":\n";
    for (const CLI::App* command : app->get_subcommands({})) listCommand(out, *command, "");
    return out.str();
  }

 private:
  // A command with its operands and options; a group's commands each on their own.
  void listCommand(std::ostream& out, const CLI::App& command, const std::string& group) const {
    const std::string name = group + command.get_name();
    if (!command.get_subcommands({}).empty()) {
      for (const CLI::App* each : command.get_subcommands({})) listCommand(out, *each, name + " ");
      return;
    }
    const auto options = command.get_options([&command](const CLI::Option* option) {
      return option->nonpositional() && option != command.get_help_ptr();
    });
    std::string synopsis = name + (options.empty() ? "" : " [OPTIONS]");
    for (const CLI::Option* operand :
         command.get_options([](const CLI::Option* option) { return option->get_positional(); })) {
      synopsis += " " + make_option_usage(operand);
    }
    CLI::detail::format_help(out, synopsis, command.get_description(), column_width_);
    for (const CLI::Option* option : options) {
      CLI::detail::format_help(out,
                               "  " + make_option_name(option, false) + make_option_opts(option),
                               make_option_desc(option), column_width_);
    }
  }
};

const std::map<std::string, PortSelection> kPortNames = {{"lpt1", PortSelection::Lpt1},
                                                         {"lpt2", PortSelection::Lpt2},
                                                         {"simulator", PortSelection::Simulator}};

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

// Why the words were wrong, in the command line's own terms where CLI11's are vague.
std::string wrongUsage(const CLI::App& app, const CLI::ParseError& error) {
  const auto chosen = app.get_subcommands();
  for (const CLI::App* command : chosen) {
    const CLI::Option* port = command->get_option_no_throw("--port");
    if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr && port != nullptr &&
        !port->results().empty() && std::string(error.what()).starts_with("--port: ")) {
      return "--port: takes LPT1, LPT2 or simulator, not '" + port->results().back() + "'";
    }
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

CommandLine::CommandLine() : app_(kDescription, "ccp") {
  app_.formatter(std::make_shared<HelpFormatter>());
  app_.footer(kFooter);
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
                  "the pager register: a postgresql:// URL or a SQLite\nfile (default: "
                  "$CCP_REGISTER, else register.conf's,\nelse register.sqlite in the data folder)")
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
      .add_option("--port", args_.port, "LPT1, LPT2 or simulator")
      // A transform added later runs first: IsMember lets the names only through (a checked
      // transformer would take the numbers too), then they become the selection.
      ->transform(CLI::Transformer(kPortNames, CLI::ignore_case).description(""))
      ->transform(CLI::IsMember(kPortNames, CLI::ignore_case).description(""))
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
