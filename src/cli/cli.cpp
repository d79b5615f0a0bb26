#include "cli/cli.h"

#include "app/program_version.h"
#include "cli/command_line.h"
#include "cli/subcommands.h"
#include "cli/terminal_platform.h"

namespace ccp::cli {

namespace {

// Every command of ccp, in the order its help lists them; a new group of commands adds its
// line here.
void addCommands(CommandLine& line) {
  addFileCommands(line);
  addPagerCommands(line);
  addPortsCommand(line);
  addRegisterCommands(line);
  addFleetCommands(line);
}

int wrongUsage(Console& console, const std::string& what) {
  console.err << "ccp: " << what << "\nTry 'ccp --help'.\n";
  return kWrongUsage;
}

}  // namespace

RegisterUse CliServices::registerUse(const RegisterSettings& settings, std::string_view location,
                                     std::optional<bool> guard) {
  return stationRegisterUse(settings, {dataFolder()}, location, {}, guard);
}

int runCli(const std::vector<std::string>& words, Console& console, CliServices& services) {
  CommandLine line;
  addCommands(line);
  const CommandLine::Parsed parsed = line.parse(words);
  switch (parsed.outcome) {
    case CommandLine::Parsed::Outcome::Help:
      console.out << parsed.text;
      return kDone;
    case CommandLine::Parsed::Outcome::Version:
      console.out << versionText(services.config, services.defaultPort);
      return kDone;
    case CommandLine::Parsed::Outcome::WrongUsage:
      return wrongUsage(console, parsed.text);
    case CommandLine::Parsed::Outcome::Run:
      break;
  }
  TerminalPlatform terminal(console.err, console.terminal);
  Run run{line.arguments(), console, services, terminal};
  int status = kWrongUsage;
  try {
    status = parsed.command(run);
  } catch (const UsageError& error) {
    terminal.clearProgress();
    return wrongUsage(console, error.what());
  } catch (const RefusedSetting& error) {
    run.error(error.what());
    return kWrongUsage;
  }
  terminal.clearProgress();
  console.out.flush();
  return status;
}

}  // namespace ccp::cli
