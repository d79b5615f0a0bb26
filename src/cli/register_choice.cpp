#include "cli/register_choice.h"

#include "cli/subcommands.h"

namespace ccp::cli {

RegisterChoice registerChoice(Run& run) {
  const ParsedRegisterSettings parsed = run.services.registerSettings();
  for (const std::string& problem : parsed.problems) run.error(problem + " (left out)");
  RegisterChoice choice{parsed.settings, {}};
  if (!run.args.uniqueRows.empty()) choice.settings.uniqueRows = run.args.uniqueRows;
  if (run.args.nextFree) choice.settings.whenTaken = WhenTaken::TakeNextFree;
  choice.use = run.services.registerUse(choice.settings, run.args.registerLocation,
                                        run.args.guard ? std::optional(true) : std::nullopt);
  return choice;
}

}  // namespace ccp::cli
