// verify and write --dry-run: what FILE would write, against what the pager holds.
#include "cli/pager_compare.h"

#include <iomanip>
#include <span>
#include <sstream>

#include "cli/pager_session.h"
#include "cli/settings_view.h"
#include "commands/decode_image.h"
#include "commands/pager_commands.h"
#include "files/outcome_lines.h"
#include "image/checksum.h"
#include "rules/bindings.h"

namespace ccp::cli {

namespace {

constexpr std::size_t kListedBytes = 8;

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

// The differences as settings: the bytes to be written shown in a window of their own. Verify
// puts the file first, a dry run the pager as it is.
void reportDifferences(Run& run, const Image& written, TForm1& pager, const std::string& file,
                       bool dryRun) {
  HeadlessWindow shown(run.services.config, run.terminal);
  TForm1& form = shown.form();
  form.image().eep = written.eep;
  form.image().decoder = written.decoder;
  form.runUserAction([&form] {
    DecodeImage(form);
    rules::afterImageLoaded(form);
  });
  const auto toWrite = shownSettings(form);
  const auto held = shownSettings(pager);
  const std::size_t differing =
      dryRun ? printDifferences(run.console.out, held, toWrite, "pager", "after the write")
             : printDifferences(run.console.out, toWrite, held, file, "pager");
  if (differing > 0) return;
  const Image& read = pager.image();
  run.console.out << "The settings agree; bytes differ. EEPROM:"
                  << hexOffsets(written.eep, read.eepRead)
                  << "; decoder:" << hexOffsets(written.decoder, read.decoderRead) << '\n';
}

}  // namespace

int comparePager(Run& run, bool dryRun) {
  const std::string& file = run.args.operands[0];
  const auto fileWindow = loadedFile(run, file);
  if (!fileWindow) return kFileError;
  PagerSession pager(run);
  if (!pager.available("ReadFromPager")) return kFailed;
  if (!pager.run("ReadFromPager", kReadCompletedLine) || pager.interrupted()) {
    return pager.exitStatus(kFailed);
  }

  const Image& read = pager.form().image();
  if (!prepareWrite(run, fileWindow->form(), read)) {
    run.error(file + " cannot be written to a pager");
    return kFailed;
  }
  const Image& written = fileWindow->form().image();
  if (written.eep == read.eepRead && written.decoder == read.decoderRead) {
    run.console.out << (dryRun ? "The write would change nothing on the pager."
                               : "The pager holds what " + file + " would write.")
                    << '\n';
    return kDone;
  }
  reportDifferences(run, written, pager.form(), file, dryRun);
  return dryRun ? kDone : kFailed;
}

}  // namespace ccp::cli
