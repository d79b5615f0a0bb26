#include "cli/register_choice.h"

#include "cli/subcommands.h"
#include "register/location_reading.h"

namespace ccp::cli {

void warnOfPassword(const Run& run, const std::string& option, std::string_view location) {
  if (!readLocation(location).password) return;
  run.error(option +
            " holds a password: other users of this PC can see it in the process list; keep it "
            "in ~/.pgpass (mode 0600) instead");
}

RegisterChoice registerChoice(Run& run) {
  const ParsedRegisterSettings parsed = run.services.registerSettings();
  for (const std::string& problem : parsed.problems) run.error(problem + " (left out)");
  RegisterChoice choice{parsed.settings, {}};
  if (!run.args.uniqueRows.empty()) choice.settings.uniqueRows = run.args.uniqueRows;
  if (run.args.nextFree) choice.settings.whenTaken = WhenTaken::TakeNextFree;
  choice.use = withStoppingLines(
      run.services.registerUse(choice.settings, run.args.registerLocation,
                               run.args.guard ? std::optional(true) : std::nullopt),
      parsed);
  if (!choice.use.refused.empty()) throw RefusedSetting(refusalText(choice.use));
  warnOfPassword(run, "--register", run.args.registerLocation);
  return choice;
}

}  // namespace ccp::cli
