// read, write and verify: the pager commands of a window on the Programmer, its start-up log
// and theirs on standard output.
#include <iomanip>
#include <memory>
#include <sstream>
#include <string>

#include "cli/headless_window.h"
#include "cli/preset_dialogs.h"
#include "cli/setting_edit.h"
#include "cli/settings_view.h"
#include "cli/stop_signals.h"
#include "cli/subcommands.h"
#include "commands/decode_image.h"
#include "commands/pager_commands.h"
#include "files/config_file.h"
#include "files/file_io.h"
#include "image/checksum.h"
#include "rules/bindings.h"

namespace ccp::cli {

namespace {

// The lines with which the pager commands report success.
const char* const kReadDone = "Read completed";
const char* const kWriteDone = "Verify OK !";
constexpr std::size_t kListedBytes = 8;

// A window on the chosen port, its start-up log shown, the port selected from the menu; its
// pager commands keep the window's journal (verify's read too) and, for write --backup, backups.
std::unique_ptr<HeadlessWindow> pagerWindow(Run& run) {
  const PortSelection fallback = run.services.defaultPort == PortKind::Simulator
                                     ? PortSelection::Simulator
                                     : PortSelection::Lpt1;
  const PortSelection choice = run.args.port.value_or(fallback);
  const PortKind kind =
      choice == PortSelection::Simulator ? PortKind::Simulator : PortKind::Hardware;
  const Connection connection = run.services.connect(kind, run.args.ports);
  auto window = std::make_unique<HeadlessWindow>(run.services.config, run.terminal, connection.port,
                                                 connection.clock);
  run.terminal.setBell(true);
  window->echoLog(run.console.out, true);
  window->keepRecords(run.services.dataFolder(), run.args.backup, [&run](const std::string& text) {
    if (!text.empty()) run.error(text);
  });
  if (choice == PortSelection::Lpt2) window->form().menuItem("LPT21").trigger();
  return window;
}

// Start-up leaves the pager commands disabled when the port or the Programmer failed.
bool available(Run& run, HeadlessWindow& window, const char* menuItem) {
  if (window.form().menuItem(menuItem).enabled()) return true;
  run.error("the pager commands are disabled: see the log above");
  return false;
}

bool setAutoinc(Run& run, HeadlessWindow& window) {
  for (int n = 1; n <= kAddressRows; ++n) {
    const Assignment step{"autoinc" + std::to_string(n), std::to_string(run.args.autoinc[n - 1])};
    if (window.form().comboBox(step.name).text() == step.value) continue;
    if (const auto why = changeAsUser(window.form(), run.terminal, step)) {
      run.error("--autoinc refused: " + *why);
      return false;
    }
  }
  return true;
}

// After a verified write: the advanced settings back into the file. False stops the batch.
bool update(Run& run, HeadlessWindow& window, const std::string& file) {
  if (window.save(file) == HeadlessWindow::Saved::Yes) return true;
  run.error("could not save the advanced settings to " + file + "; the batch stops");
  return false;
}

std::string hexOffsets(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  std::ostringstream text;
  std::size_t listed = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) continue;
    if (listed++ == kListedBytes) {
      text << " ...";
      break;
    }
    text << " 0x" << std::hex << std::setw(3) << std::setfill('0') << i;
  }
  return text.str();
}

// What the file's window would send to this pager: prepared as Write to pager prepares it,
// from the pager's bytes as they were read.
bool prepareWrite(Run& run, TForm1& file, const Image& pager) {
  Image& image = file.image();
  image.eepRead = pager.eepRead;
  const int errors = run.terminal.errorBoxes();
  file.runUserAction([&file] { prepareWriteImage(file); });
  storeChecksum(image.eep);
  return run.terminal.errorBoxes() == errors;
}

// The differences as settings: the bytes to be written shown in a window of their own.
void reportDifferences(Run& run, const Image& written, HeadlessWindow& pager,
                       const std::string& file) {
  HeadlessWindow shown(run.services.config, run.terminal);
  TForm1& form = shown.form();
  form.image().eep = written.eep;
  form.image().decoder = written.decoder;
  form.runUserAction([&form] {
    DecodeImage(form);
    rules::afterImageLoaded(form);
  });
  const Image& read = pager.form().image();
  if (printDifferences(run.console.out, shownSettings(form), shownSettings(pager.form()), file,
                       "pager") > 0) {
    return;
  }
  run.console.out << "The settings agree; bytes differ. EEPROM:"
                  << hexOffsets(written.eep, read.eepRead)
                  << "; decoder:" << hexOffsets(written.decoder, read.decoderRead) << '\n';
}

}  // namespace

int readCommand(Run& run) {
  const std::string& out = run.args.operands[0];
  const auto window = pagerWindow(run);
  if (!available(run, *window, "ReadFromPager")) return kFailed;
  const StopOnSignal stop(run.console.terminal);
  if (!window->run("ReadFromPager", kReadDone)) return stop.exitStatus(kFailed);
  // The bytes as they came from the pager, its own upper EEPROM half included.
  const Image& image = window->form().image();
  if (!replaceFile(PresetDialogs::dialogPath(out),
                   configFileBytes(image.eepRead, image.decoderRead))) {
    run.error("could not write " + out);
    return kFileError;
  }
  return stop.exitStatus(kDone);
}

int writeCommand(Run& run) {
  const std::string& file = run.args.operands[0];
  const auto window = pagerWindow(run);
  if (!window->open(file)) {
    run.error("could not load " + file);
    return kFileError;
  }
  if (!setAutoinc(run, *window)) return kWrongUsage;
  if (!available(run, *window, "WriteToPager")) return kFailed;
  for (int pager = 1;; ++pager) {
    if (run.args.batch) {
      run.console.err << "Pager " << pager
                      << ": plug it in and press Enter (end of input ends the batch)" << std::endl;
      std::string line;
      if (!std::getline(run.console.in, line)) return kDone;
    }
    const StopOnSignal stop(run.console.terminal);
    if (!window->run("WriteToPager", kWriteDone)) {
      if (stop.stopped()) return stop.exitStatus(kFailed);
      if (run.args.batch) run.error("the batch stops at pager " + std::to_string(pager));
      return kFailed;
    }
    if (run.args.update && !update(run, *window, file)) return kFileError;
    if (!run.args.batch || stop.stopped()) return stop.exitStatus(kDone);
  }
}

int verifyCommand(Run& run) {
  const std::string& file = run.args.operands[0];
  const auto fileWindow = loadedFile(run, file);
  if (!fileWindow) return kFileError;
  const auto pager = pagerWindow(run);
  if (!available(run, *pager, "ReadFromPager")) return kFailed;
  {
    const StopOnSignal stop(run.console.terminal);
    if (!pager->run("ReadFromPager", kReadDone) || stop.stopped()) return stop.exitStatus(kFailed);
  }

  const Image& read = pager->form().image();
  if (!prepareWrite(run, fileWindow->form(), read)) {
    run.error(file + " cannot be written to a pager");
    return kFailed;
  }
  const Image& written = fileWindow->form().image();
  if (written.eep == read.eepRead && written.decoder == read.decoderRead) {
    run.console.out << "The pager holds what " << file << " would write.\n";
    return kDone;
  }
  reportDifferences(run, written, *pager, file);
  return kFailed;
}

}  // namespace ccp::cli
