#include "cli/pager_session.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

#include "cli/register_choice.h"
#include "cli/reporting_port.h"
#include "cli/stop_signals.h"
#include "image/plain_text.h"
#include "ports/realtime_text.h"

namespace ccp::cli {

namespace {

PortRequest portRequest(const Run& run) {
  const bool simulatorBuild = run.services.defaultPort == PortKind::Simulator;
  const PortSelection choice =
      run.args.port.value_or(simulatorBuild ? PortSelection::Simulator : PortSelection::Lpt1);
  const PortKind kind =
      choice == PortSelection::Simulator ? PortKind::Simulator : PortKind::Hardware;
  if (run.args.fresh && kind != PortKind::Simulator) {
    throw UsageError(
        "--fresh starts the simulated Programmer with a new pager: it goes with "
        "--port simulator");
  }
  return {kind, run.args.ports, run.args.fresh};
}

// A device named with --lpt1 or --lpt2 that this user cannot open, missing ones above all.
void sayUnopenedDevices(const Run& run) {
  const struct {
    const std::optional<NamedDevice>& device;
    const char* name;
    const char* option;
  } chosen[] = {{run.args.ports.lpt1, "LPT1", "--lpt1 "}, {run.args.ports.lpt2, "LPT2", "--lpt2 "}};
  const auto ppdev = [](const std::optional<NamedDevice>& d) {
    return d && d->kind == NamedDevice::Kind::Ppdev;
  };
  if (!ppdev(run.args.ports.lpt1) && !ppdev(run.args.ports.lpt2)) return;
  const PortSurvey survey = run.services.surveyPorts(run.args.ports);
  for (const auto& c : chosen) {
    if (!ppdev(c.device)) continue;
    for (const SurveyedPort& port : survey.ports) {
      if (port.name != c.name || port.openError == 0) continue;
      run.error(c.option + port.device + (port.openError == ENOENT ? " is missing: " : ": ") +
                std::strerror(port.openError));
    }
  }
}

// The start-up lines that tell why the pager commands are off: all but the About line.
std::string startUpTrouble(const TForm1& form) {
  const auto& lines = form.log().lines();
  return lines.empty() ? std::string() : joined(std::span(lines).subspan(1), "; ");
}

// A pager command as the window's menus name it to the user: the menu bar keeps the original
// captions ("WR_To_Pager"), its hints and the manual say what the command does.
std::string commandName(const MenuItem& item) {
  static constexpr std::pair<std::string_view, const char*> kNames[] = {
      {"WriteToPager", "Write to pager"}, {"ReadFromPager", "Read from pager"}};
  for (const auto& [name, said] : kNames)
    if (item.name() == name) return said;
  std::string caption = item.caption();
  std::erase(caption, '&');
  return caption;
}

}  // namespace

PagerSession::PagerSession(Run& run, Records records) : run_(run) {
  // A register setting that cannot be taken stops the command before the port is opened.
  std::optional<RegisterChoice> choice;
  if (records == Records::Keep) choice = registerChoice(run);
  const PortRequest request = portRequest(run);
  if (request.kind == PortKind::Hardware) sayUnopenedDevices(run);
  const Connection connection = run.services.connect(request);
  time_ = dynamic_cast<const TimeSource*>(&connection.clock);
  priority_ = connection.priority;
  newPager_ = connection.newPager;
  ReportingPort* reporting = nullptr;
  if (run.args.verbose) {
    auto port = std::make_unique<ReportingPort>(connection.port, time_,
                                                [&run](const auto& text) { run.detail(text); });
    reporting = port.get();
    window_ = std::make_unique<HeadlessWindow>(run.services.config, run.terminal, std::move(port),
                                               connection.clock);
  } else {
    window_ = std::make_unique<HeadlessWindow>(run.services.config, run.terminal, connection.port,
                                               connection.clock);
  }
  if (connection.watchLog) connection.watchLog(form().log());
  run.terminal.setBell(true);
  window_->echoLog(run.log(), true, run.args.quiet);
  // What the port did at start-up, after the start-up's lines.
  if (reporting != nullptr) reporting->flushHeld();
  // How the transfers will run, tried once as a transfer would try.
  if (run.args.verbose && priority_ != nullptr) {
    run.detail("transfers: " + tryTransferPriority(connection.clock, *priority_));
  }
  if (choice) {
    PagerRecords& kept =
        window_->keepRecords(run.services.dataFolder(), run.args.backup, choice->settings,
                             choice->use, [&run](const std::string& text) {
                               if (!text.empty()) run.error(text);
                             });
    if (run.args.nextFree) kept.nextFreeCause = "--next-free";
  }
  if (run.args.port == PortSelection::Lpt2) form().menuItem("LPT21").trigger();
}

bool PagerSession::plugInNewPager() {
  if (!newPager_) return false;
  newPager_();
  return true;
}

bool PagerSession::available(const char* menuItem) {
  if (form().menuItem(menuItem).enabled()) return true;
  run_.error("the pager commands are disabled: " +
             (run_.args.quiet ? startUpTrouble(form()) : std::string("see the log above")));
  return false;
}

bool PagerSession::run(const char* menuItem, std::string_view success) {
  const std::uint64_t start = time_ != nullptr ? time_->nowNs() : 0;
  const unsigned long raises = priority_ != nullptr ? priority_->raises() : 0;
  const StopOnSignal stop(run_.console.terminal);
  const bool done = window_->run(menuItem, success);
  signalStatus_ = stop.exitStatus(signalStatus_);
  if (time_ != nullptr) {
    std::string text =
        commandName(form().menuItem(menuItem)) + " took " + secondsText(time_->nowNs() - start);
    // Only a command that made transfers tells how they ran.
    if (priority_ != nullptr && priority_->raises() != raises)
      text += commandPriorityText(*priority_);
    run_.detail(text);
  }
  return done;
}

}  // namespace ccp::cli
