// show, diff and set: settings files through a window that never touches the Programmer.
#include <memory>
#include <vector>

#include "cli/headless_window.h"
#include "cli/setting_edit.h"
#include "cli/setting_names.h"
#include "cli/settings_view.h"
#include "cli/subcommands.h"
#include "cli/terminal_text.h"

namespace ccp::cli {

std::unique_ptr<HeadlessWindow> loadedFile(Run& run, const std::string& path) {
  auto window = std::make_unique<HeadlessWindow>(run.services.config, run.terminal);
  const std::size_t start = window->form().log().lines().size();
  if (window->open(path)) return window;
  for (const std::string& line : window->linesSince(start)) run.console.err << line << '\n';
  return nullptr;
}

int showCommand(Run& run) {
  const auto window = loadedFile(run, run.args.operands[0]);
  if (!window) return kFileError;
  const auto settings = shownSettings(window->form());
  if (run.args.json) {
    printSettingsJson(run.console.out, settings);
  } else {
    printSettings(run.console.out, settings);
  }
  return kDone;
}

int diffCommand(Run& run) {
  const std::string& a = run.args.operands[0];
  const std::string& b = run.args.operands[1];
  const auto first = loadedFile(run, a);
  if (!first) return kFileError;
  const auto second = loadedFile(run, b);
  if (!second) return kFileError;
  const std::size_t differing = printDifferences(run.console.out, shownSettings(first->form()),
                                                 shownSettings(second->form()), a, b);
  return differing == 0 ? kDone : kFailed;
}

int setCommand(Run& run) {
  if (run.args.names) {
    for (const SettingPlace& place : settingPlaces()) run.console.out << place.name << '\n';
    return kDone;
  }
  const std::string& file = run.args.operands[0];
  std::vector<Assignment> assignments;
  for (std::size_t i = 1; i < run.args.operands.size(); ++i) {
    const auto assignment = parseAssignment(run.args.operands[i]);
    if (!assignment) {
      run.error("'" + escaped(run.args.operands[i]) + "' is not NAME=VALUE");
      return kWrongUsage;
    }
    assignments.push_back(*assignment);
  }

  HeadlessWindow window(run.services.config, run.terminal);
  window.echoLog(run.console.out, false);
  run.terminal.setBell(true);
  if (!window.open(file)) {
    run.error("could not load " + file);
    return kFileError;
  }
  for (const Assignment& a : assignments) {
    if (const auto why = changeAsUser(window.form(), run.terminal, a)) {
      run.error(escaped(a.name + "=" + a.value) + " refused: " + *why + "; nothing saved");
      return kWrongUsage;
    }
    if (const auto line = correction(window.form(), a)) run.console.err << *line << '\n';
  }
  const std::string output = run.args.output.value_or(file);
  switch (window.save(output)) {
    case HeadlessWindow::Saved::Yes:
      return kDone;
    case HeadlessWindow::Saved::Refused:
      run.error("the settings could not be saved; nothing written");
      return kWrongUsage;
    case HeadlessWindow::Saved::NotWritten:
      break;
  }
  run.error("could not write " + output);
  return kFileError;
}

}  // namespace ccp::cli
