#include "cli/help_text.h"

#include <sstream>
#include <string>

namespace ccp::cli {

namespace {

constexpr std::size_t kColumn = 30;

// CLI11's help with the command line's words, and the whole of ccp --help as one list.
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

}  // namespace

const char* const kHelpDescription =
    "ccp - settings files and pagers of the QPX730 capcode programmer on the command line";

const char* const kHelpFooter =
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

A register is a postgresql:// or postgres:// URL (the scheme in any case), a libpq keyword
string such as "host=server dbname=pagers", or a SQLite file's path: absolute, beginning
with ./ or ../, or relative without ':', '=' or '@'. A register named otherwise, or a line of
register.conf for register, guard, unique-rows, when-taken or allow-unguarded that cannot be
taken (a wrong value, ':' for '=', a misspelt key), or a station that is not UTF-8, stops
read, write, verify and the register commands with exit status 2 before anything is sent,
naming the setting (a line by its number and key). Other lines are left out. on and off may
also be yes and no, true and false, in any case. A password belongs in ~/.pgpass: one given
with --register is warned of, as every user of the PC sees it in the process list.

With the guard on (write --guard, or "guard = on" in register.conf), a write claims every
enabled row before anything is sent, and stops when an individual row's capcode (row 1 and
each row that advances, or those of --unique) is had by another pager or write, or a group
row's capcode is another pager's individual one; a write that begins with a whole read
(--backup, or "read-before-write = on") may write a pager's own capcodes to it again.
--next-free (or "when-taken = next-free") turns the guard on for the write, and says so.
Without the guard, a verified write or a read that finds another pager's capcode says so, and
the register keeps it as a conflict (register conflicts, register resolve). A write whose
capcode was released by hand (release --force) while it ran ends with 1.

No call to a shared register's server waits without an end: a connect is given up after 10 s,
and a server that sends nothing for 15 s while a call waits (frozen, or its cable pulled) is
given up then. The command goes on as when the server is away: the guard stops a write before
anything is sent, and a record goes to journal.csv.

Ctrl-C or SIGTERM during read, write, verify or test stops the command after the current EEPROM
page or decoder record, with the lines at rest: "Interrupted: the pager may be partly written",
and its record. While the command waits for the register's server, it ends the wait at once and
the record goes to journal.csv. A second Ctrl-C or SIGTERM stops at once, and the command's
record goes to journal.csv unless it was kept already, as it does before any other signal ends
ccp (SIGHUP, SIGQUIT, SIGPIPE, ...); only SIGKILL ends ccp without it.

Exit status: 0 done, 1 the pager, a comparison, the guard or the register failed (or a read's
record was kept nowhere), 2 wrong usage or a setting the window refused, 3 a file could not be
read or written, 130 (Ctrl-C) or 143 (SIGTERM) interrupted.)";

std::shared_ptr<CLI::Formatter> helpFormatter() {
  return std::make_shared<HelpFormatter>();
}

}  // namespace ccp::cli
