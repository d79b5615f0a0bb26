// read, write, verify and test: the pager commands of a window on the Programmer, its start-up
// log and theirs on standard output.
#include <cerrno>
#include <cstring>
#include <sstream>
#include <string>

#include "cli/pager_compare.h"
#include "cli/pager_session.h"
#include "cli/setting_edit.h"
#include "cli/stream_file.h"
#include "cli/subcommands.h"
#include "cli/write_batch.h"
#include "commands/port_label.h"
#include "files/config_file.h"
#include "files/file_io.h"
#include "files/outcome_lines.h"
#include "register/record_columns.h"

namespace ccp::cli {

namespace {

constexpr int kMaxAutoinc = 8;

std::optional<AutoincSteps> autoincSteps(const std::string& text) {
  AutoincSteps steps{};
  std::istringstream in(text);
  std::string item;
  std::size_t count = 0;
  while (std::getline(in, item, ',')) {
    if (count == steps.size() || item.size() != 1 || item[0] < '0' || item[0] > '0' + kMaxAutoinc) {
      return std::nullopt;
    }
    steps[count++] = item[0] - '0';
  }
  if (count != steps.size() || text.back() == ',') return std::nullopt;
  return steps;
}

bool setAutoinc(Run& run, HeadlessWindow& window) {
  for (int n = 1; n <= kAddressCount; ++n) {
    const Assignment step{"autoinc" + std::to_string(n), std::to_string(run.args.autoinc[n - 1])};
    if (window.form().comboBox(step.name).text() == step.value) continue;
    if (const auto why = changeAsUser(window.form(), run.terminal, step)) {
      run.error("--autoinc refused: " + *why);
      return false;
    }
  }
  return true;
}

// A file the command will write, checked before the pager is touched; false, and said, when
// it could not be written.
bool writable(Run& run, const std::string& file, const char* untouched) {
  const int refusal = replaceRefusal(dialogPath(file));
  if (refusal == 0) return true;
  run.error("cannot write " + file + ": " + std::strerror(refusal) + "; " + untouched);
  return false;
}

int readCommand(Run& run) {
  const std::string& out = run.args.operands[0];
  run.logToError = isStandardStream(out);
  if (!run.logToError && !writable(run, out, "the pager was not read")) return kFileError;
  PagerSession session(run);
  if (!session.available("ReadFromPager")) return kFailed;
  if (!session.run("ReadFromPager", kReadCompletedLine)) return session.exitStatus(kFailed);
  // The pager's bytes are saved all the same; the record kept nowhere was said.
  const int done = recordKeptNowhere(session) ? kFailed : kDone;
  // The bytes as they came from the pager, its own upper EEPROM half included.
  const Image& image = session.form().image();
  const ConfigFileBytes bytes = configFileBytes(image.eepRead, image.decoderRead);
  if (run.logToError) {
    run.console.out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    run.console.out.flush();
    if (run.console.out.good()) return session.exitStatus(done);
    run.error("could not write standard output");
    return kFileError;
  }
  if (!replaceFile(dialogPath(out), bytes)) {
    run.error("could not write " + out + ": " + std::strerror(errno));
    return kFileError;
  }
  return session.exitStatus(done);
}

int writeCommand(Run& run) {
  if (run.args.dryRun) return comparePager(run, true);
  const std::string& file = run.args.operands[0];
  const bool batch = run.args.batch || run.args.count;
  if (isStandardStream(file) && (batch || run.args.update)) {
    throw UsageError(
        "write - reads FILE from standard input: it takes neither --batch, --count "
        "nor --update");
  }
  if (run.args.update && !writable(run, file, "no pager written")) return kFileError;
  const StreamFile input(file, StreamFile::Direction::In);
  if (input.standard() && !input.takeFrom(run.console.in)) {
    run.error("could not read standard input");
    return kFileError;
  }
  PagerSession session(run);
  if (!session.window().open(input.path())) {
    reportFileFailure(run, session.window(), "could not load " + file);
    return kFileError;
  }
  if (!setAutoinc(run, session.window())) return kWrongUsage;
  if (!session.available("WriteToPager")) return kFailed;
  if (batch) return writeBatch(run, session, file);
  if (!session.run("WriteToPager", kVerifiedLine)) return session.exitStatus(kFailed);
  if (run.args.update && !updateFile(run, session.window(), file)) return kFileError;
  // The pager is written all the same; the record kept nowhere was said.
  return session.exitStatus(mayShareCapcodes(session) || recordKeptNowhere(session) ? kFailed
                                                                                    : kDone);
}

int verifyCommand(Run& run) {
  return comparePager(run, false);
}

int testCommand(Run& run) {
  PagerSession session(run, PagerSession::Records::None);
  if (!session.available("TestProgrammer1")) return kFailed;
  const std::string passed = portLabel(session.form()) + ": Programmer test passed";
  return session.exitStatus(session.run("TestProgrammer1", passed) ? kDone : kFailed);
}

}  // namespace

void addPagerCommands(CommandLine& line) {
  CliArguments& args = line.arguments();
  CLI::App& read = line.add("read", "read the pager and save what it holds, byte for byte,\nto OUT",
                            readCommand);
  line.operand(read, "OUT", "the configuration file to write");
  line.portOptions(read);

  CLI::App& write = line.add("write", "write FILE to the pager as the window does", writeCommand);
  line.operand(write, "FILE", "a configuration file");
  line.portOptions(write);
  write
      .add_option_function<std::string>(
          "--autoinc",
          [&args](const std::string& text) {
            const auto steps = autoincSteps(text);
            if (!steps) {
              throw CLI::ValidationError("--autoinc",
                                         "takes six steps from 0 to 8, such as 1,0,0,0,0,0");
            }
            args.autoinc = *steps;
          },
          "the Auto inc steps S1,S2,S3,S4,S5,S6 (0 to 8; rows 1 to\n4 advance)")
      ->type_name("STEPS");
  auto* batch = write.add_flag("--batch", args.batch,
                               "one pager after another, each on Enter, until the end\nof input; "
                               "then a summary line");
  auto* count = write.add_option("--count", args.count, "a batch that ends after N pagers written")
                    ->type_name("N")
                    ->check(CLI::Range(1, 1000000));
  auto* update = write.add_flag("--update", args.update,
                                "save the advanced settings to FILE after each verified\nwrite");
  auto* backup = write.add_flag("--backup", args.backup,
                                "first keep what each pager holds in the backups\nfolder, as the "
                                "window's File > Back up pagers\nbefore writing does");
  write.add_flag("--guard", args.guard,
                 "stop before anything is sent when another pager holds\nan individual capcode "
                 "this write would give");
  write
      .add_option_function<std::string>(
          "--unique",
          [&args](const std::string& text) {
            const auto rows = parseRowList(text);
            if (!rows) throw CLI::ValidationError("--unique", "takes rows 1 to 6, such as 1,3");
            args.uniqueRows = *rows;
          },
          "the individual rows, such as 1,3 (default: row 1 and\nevery row that advances)")
      ->type_name("ROWS");
  write.add_flag("--next-free", args.nextFree,
                 "a taken capcode moves its row on to the next free\none; the guard is on "
                 "for the write");
  write
      .add_flag("--dry-run", args.dryRun,
                "write nothing: read the pager and show the settings\nthe write would change")
      ->excludes(batch)
      ->excludes(count)
      ->excludes(update)
      ->excludes(backup);

  CLI::App& verify =
      line.add("verify", "compare the pager with what FILE would write to it", verifyCommand);
  line.operand(verify, "FILE", "a configuration file");
  line.portOptions(verify);

  CLI::App& test = line.add("test",
                            "the window's Programmer test: the Programmer, its data\nline, the "
                            "EEPROM and the decoder; 0 when it passed",
                            testCommand);
  line.portOptions(test);
}

}  // namespace ccp::cli
