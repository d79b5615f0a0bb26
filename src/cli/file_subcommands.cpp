// show, diff and set: settings files through a window that never touches the Programmer.
#include <memory>
#include <vector>

#include "cli/headless_window.h"
#include "cli/setting_edit.h"
#include "cli/setting_names.h"
#include "cli/settings_view.h"
#include "cli/stream_file.h"
#include "cli/subcommands.h"
#include "cli/terminal_text.h"

namespace ccp::cli {

namespace {

// A file operand read from standard input when it is "-"; false when that failed.
bool takeInput(Run& run, const StreamFile& file) {
  if (!file.standard() || file.takeFrom(run.console.in)) return true;
  run.error("could not read standard input");
  return false;
}

int showCommand(Run& run) {
  const auto window = loadedFile(run, run.args.operands[0]);
  if (!window) return kFileError;
  auto settings = shownSettings(window->form());
  if (run.args.json) {
    printSettingsJson(run.console.out, settings);
    return kDone;
  }
  if (!run.args.all) std::erase_if(settings, [](const ShownSetting& s) { return s.hidden; });
  printSettings(run.console.out, settings);
  return kDone;
}

int diffCommand(Run& run) {
  const std::string& a = run.args.operands[0];
  const std::string& b = run.args.operands[1];
  if (isStandardStream(a) && isStandardStream(b)) {
    throw UsageError("diff reads standard input for one of A and B only");
  }
  const auto first = loadedFile(run, a);
  if (!first) return kFileError;
  const auto second = loadedFile(run, b);
  if (!second) return kFileError;
  const std::size_t differing = printDifferences(run.console.out, shownSettings(first->form()),
                                                 shownSettings(second->form()), a, b);
  return differing == 0 ? kDone : kFailed;
}

int setCommand(Run& run) {
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

  const std::string outputOperand = run.args.output.value_or(file);
  const StreamFile input(file, StreamFile::Direction::In);
  const StreamFile output(outputOperand, StreamFile::Direction::Out);
  run.logToError = output.standard();
  if (!takeInput(run, input)) return kFileError;
  HeadlessWindow window(run.services.config, run.terminal);
  window.echoLog(run.log(), false, run.args.quiet);
  run.terminal.setBell(true);
  if (!window.open(input.path())) {
    reportFileFailure(run, window, "could not load " + file);
    return kFileError;
  }
  for (const Assignment& a : assignments) {
    if (const auto why = changeAsUser(window.form(), run.terminal, a)) {
      run.error(escaped(a.name + "=" + a.value) + " refused: " + *why + "; nothing saved");
      return kWrongUsage;
    }
    if (const auto line = correction(window.form(), a)) run.console.err << *line << '\n';
  }
  switch (window.save(output.path())) {
    case HeadlessWindow::Saved::Yes:
      if (output.standard() && !output.giveTo(run.console.out)) break;
      return kDone;
    case HeadlessWindow::Saved::Refused:
      run.error("the settings could not be saved; nothing written");
      return kWrongUsage;
    case HeadlessWindow::Saved::NotWritten:
      break;
  }
  reportFileFailure(run, window, "could not write " + outputOperand);
  return kFileError;
}

// The names set takes, one a line: every setting but the read-only fields.
int settingNamesCommand(Run& run) {
  HeadlessWindow window(run.services.config, run.terminal);
  for (const SettingPlace& place : settingPlaces()) {
    const Control* control = window.form().findControl(place.name);
    const bool readOnly = control->kind() == ControlKind::TextField &&
                          static_cast<const TextField*>(control)->readOnly();
    if (!readOnly) run.console.out << place.name << '\n';
  }
  return kDone;
}

}  // namespace

void reportFileFailure(Run& run, HeadlessWindow& window, const std::string& fallback) {
  const auto notices = window.takeNotices();
  for (const std::string& notice : notices) run.error(notice);
  if (notices.empty() && !fallback.empty()) run.error(fallback);
}

std::unique_ptr<HeadlessWindow> loadedFile(Run& run, const std::string& operand) {
  const StreamFile file(operand, StreamFile::Direction::In);
  if (!takeInput(run, file)) return nullptr;
  auto window = std::make_unique<HeadlessWindow>(run.services.config, run.terminal);
  const std::size_t start = window->form().log().lines().size();
  if (window->open(file.path())) return window;
  for (const std::string& line : window->linesSince(start)) run.console.err << line << '\n';
  reportFileFailure(run, *window, "");
  return nullptr;
}

void addFileCommands(CommandLine& line) {
  CliArguments& args = line.arguments();
  CLI::App& show =
      line.add("show", "every setting of FILE, page by page as the window labels it", showCommand);
  line.operand(show, "FILE", "a configuration file");
  show.add_flag("--json", args.json, "by the controls' names; every setting, hidden ones too");
  show.add_flag("--all", args.all,
                "also the settings the window hides in this build or\nfirmware version, marked "
                "\"hidden\"");

  CLI::App& diff =
      line.add("diff", "the settings that differ between A and B, side by side", diffCommand);
  line.operand(diff, "A", "a configuration file");
  line.operand(diff, "B", "another");

  CLI::App& set = line.add("set",
                           "change settings as a user would in the window, then\n"
                           "save as File > Save does (to FILE, or to OUT); NAME is\n"
                           "a control's name (see --names); a list takes the text\n"
                           "of an item, a check box on or off",
                           setCommand);
  line.operand(set, "FILE", "a configuration file");
  line.operands(set, "NAME=VALUE", "a setting and its new value");
  set.add_option("-o,--output", args.output, "save to OUT instead of FILE")->type_name("OUT");
  line.immediateFlag(set, "--names", "the names of the settings set takes, one a line",
                     settingNamesCommand);
}

}  // namespace ccp::cli
