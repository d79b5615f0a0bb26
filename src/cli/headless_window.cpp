#include "cli/headless_window.h"

#include <algorithm>

#include "cli/register_run.h"
#include "files/outcome_lines.h"

namespace ccp::cli {

HeadlessWindow::HeadlessWindow(const BuildConfig& config, TerminalPlatform& terminal)
    : terminal_(terminal), dialogs_(terminal) {
  // Its start-up beeps for the refused port, which nobody asked for.
  const bool bell = terminal.bell();
  terminal.setBell(false);
  form_ = std::make_unique<TForm1>(config, dialogs_, noPort_, idleClock_);
  terminal.setBell(bell);
}

HeadlessWindow::HeadlessWindow(const BuildConfig& config, TerminalPlatform& terminal, PortIo& port,
                               Clock& clock)
    : terminal_(terminal), dialogs_(terminal) {
  form_ = std::make_unique<TForm1>(config, dialogs_, port, clock);
}

HeadlessWindow::HeadlessWindow(const BuildConfig& config, TerminalPlatform& terminal,
                               std::unique_ptr<PortIo> port, Clock& clock)
    : terminal_(terminal), ownPort_(std::move(port)), dialogs_(terminal) {
  form_ = std::make_unique<TForm1>(config, dialogs_, *ownPort_, clock);
}

void HeadlessWindow::echoLog(std::ostream& out, bool startUp, bool quiet) {
  echo_ = &out;
  quiet_ = quiet;
  if (startUp && !quiet) {
    for (const std::string& line : form_->log().lines()) out << line << '\n';
  }
  form_->log().onAppend = [this](const std::string& line) {
    if (!quiet_) echo(line);
  };
}

void HeadlessWindow::echo(const std::string& line) {
  terminal_.clearProgress();
  *echo_ << line << '\n' << std::flush;
}

std::vector<std::string> HeadlessWindow::linesSince(std::size_t count) const {
  const auto& lines = form_->log().lines();
  return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(count, lines.size())), lines.end()};
}

bool HeadlessWindow::succeeded(const std::function<void()>& action, std::string_view success) {
  const std::size_t lines = form_->log().lines().size();
  const int errors = terminal_.errorBoxes();
  action();
  const auto added = linesSince(lines);
  if (quiet_ && echo_ != nullptr && !added.empty()) echo(added.back());
  return terminal_.errorBoxes() == errors &&
         std::find(added.begin(), added.end(), success) != added.end();
}

bool HeadlessWindow::run(std::string_view menuItem, std::string_view success) {
  return succeeded([&] { form_->menuItem(menuItem).trigger(); }, success);
}

PagerRecords& HeadlessWindow::keepRecords(const std::string& dataFolder, bool backups,
                                          const RegisterSettings& settings, const RegisterUse& use,
                                          std::function<void(const std::string&)> notice) {
  records_.emplace(dataFolder);
  records_->setBackupBeforeWrite(backups);
  records_->setRegister(settings, use);
  records_->setWords(commandLineWords());
  records_->onNotice = std::move(notice);
  bindPagerRecords(*form_, *records_);
  return *records_;
}

bool HeadlessWindow::open(std::string_view path) {
  return succeeded([&] { openFileAsUser(*form_, dialogs_, path); }, kFileLoadedLine);
}

HeadlessWindow::Saved HeadlessWindow::save(std::string_view path) {
  const std::size_t lines = form_->log().lines().size();
  if (succeeded([&] { saveFileAsUser(*form_, dialogs_, path); }, kSavedLine)) return Saved::Yes;
  const auto added = linesSince(lines);
  const bool notWritten = std::find(added.begin(), added.end(), kWriteErrorLine) != added.end();
  return notWritten ? Saved::NotWritten : Saved::Refused;
}

}  // namespace ccp::cli
