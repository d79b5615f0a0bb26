// write --batch: pager after pager, each on Enter, with a summary at the end.
#include "cli/write_batch.h"

#include <optional>
#include <string>
#include <vector>

#include "cli/subcommands.h"
#include "files/outcome_lines.h"
#include "image/capcode.h"
#include "image/pager_identity.h"
#include "image/plain_text.h"
#include "shell/form.h"

namespace ccp::cli {

namespace {

const std::string kBatchStops = "; the batch stops";

struct Tally {
  int written = 0;
  int failed = 0;
  std::vector<int> capcodes;  // address 1 of each pager written, in their order

  void add(const std::string& capcode) {
    ++written;
    capcodes.push_back(capcodeNumber(capcode).value_or(0));
  }
  // "3 pagers written, 1 failed; capcodes 1000000-1000001, 1000003"
  std::string summary() const {
    std::string text = std::to_string(written) + (written == 1 ? " pager" : " pagers") +
                       " written, " + std::to_string(failed) + " failed";
    if (written > 0) text += "; capcodes " + capcodeRuns(capcodes);
    return text;
  }
};

// Address 1 of the pager just written: the image holds what was sent.
std::string writtenCapcode(TForm1& form) {
  const Image& image = form.image();
  return pagerIdentity(form.config(), image.eep, image.decoder).capcodes[0];
}

bool enterPressed(Run& run) {
  std::string line;
  return static_cast<bool>(std::getline(run.console.in, line));
}

}  // namespace

bool mayShareCapcodes(PagerSession& session) {
  const PagerRecords* records = session.window().records();
  return records != nullptr && !records->releasedWhileWritten().empty();
}

bool recordKeptNowhere(PagerSession& session) {
  const PagerRecords* records = session.window().records();
  return records != nullptr && records->recordLost();
}

std::string capcodeRuns(const std::vector<int>& capcodes) {
  std::vector<std::string> runs;
  for (std::size_t i = 0, end = 0; i < capcodes.size(); i = end) {
    const int first = capcodes[i];
    end = i + 1;
    if (end < capcodes.size() && capcodes[end] == first) {  // the same capcode on each
      while (end < capcodes.size() && capcodes[end] == first) ++end;
      runs.push_back(capcodeText(first) + " (" + std::to_string(end - i) + " pagers)");
      continue;
    }
    while (end < capcodes.size() && capcodes[end] == capcodes[end - 1] + 1) ++end;
    const int last = capcodes[end - 1];
    runs.push_back(capcodeText(first) + (last != first ? "-" + capcodeText(last) : ""));
  }
  return joined(runs, ", ");
}

bool updateFile(Run& run, HeadlessWindow& window, const std::string& file,
                const std::string& then) {
  if (window.save(file) == HeadlessWindow::Saved::Yes) return true;
  reportFileFailure(run, window, "");
  run.error("could not save the advanced settings to " + file + then);
  return false;
}

int writeBatch(Run& run, PagerSession& session, const std::string& file) {
  Tally tally;
  int status = kDone;
  bool recordLost = false;  // a pager written whose record was kept nowhere
  run.console.err << "Pager 1: plug it in and press Enter (end of input ends the batch)"
                  << std::endl;
  for (int pager = 1; enterPressed(run); ++pager) {
    const bool written = session.run("WriteToPager", kVerifiedLine);
    if (session.interrupted()) {
      if (written)
        tally.add(writtenCapcode(session.form()));
      else
        ++tally.failed;
      if (written && run.args.update) updateFile(run, session.window(), file, kBatchStops);
      break;
    }
    const PagerRecords* records = session.window().records();
    if (!written && records != nullptr && records->guardStopped()) {
      // The next pager would get the same capcodes: nothing would ever be written.
      run.error("pager " + std::to_string(pager) + " was not written: the batch stops");
      ++tally.failed;
      status = kFailed;
      break;
    }
    if (written) {
      // A pager whose capcode may be on another pager too is set aside like a failed one.
      if (mayShareCapcodes(session)) {
        ++tally.failed;
        run.error("pager " + std::to_string(pager) + " failed: set it aside");
      } else {
        tally.add(writtenCapcode(session.form()));
      }
      if (recordKeptNowhere(session)) {
        run.error("pager " + std::to_string(pager) +
                  " was written, but its record was kept nowhere");
        recordLost = true;
      }
      if (run.args.update && !updateFile(run, session.window(), file, kBatchStops)) {
        status = kFileError;
        break;
      }
    } else {
      ++tally.failed;
      run.error("pager " + std::to_string(pager) + " failed: set it aside");
    }
    if (run.args.count && tally.written == *run.args.count) break;
    run.console.err << "pager " << pager
                    << " done: remove it and plug in the next, then press Enter" << std::endl;
  }
  run.console.out << "Batch: " << tally.summary() << '\n';
  if (session.interrupted()) return session.exitStatus(status);
  if (status != kDone) return status;
  return tally.failed > 0 || recordLost ? kFailed : kDone;
}

}  // namespace ccp::cli
