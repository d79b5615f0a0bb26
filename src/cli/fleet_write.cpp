// fleet write: a customer's list, one pager a row, at each station of a line.
#include "cli/fleet_write.h"

#include "cli/fleet_check.h"
#include "cli/pager_session.h"
#include "cli/register_choice.h"
#include "cli/register_run.h"
#include "cli/subcommands.h"
#include "cli/terminal_text.h"
#include "commands/list_columns.h"
#include "commands/list_export.h"
#include "commands/list_row.h"
#include "commands/list_run.h"
#include "files/csv_fields.h"
#include "files/outcome_lines.h"
#include "image/plain_text.h"

namespace ccp::cli {

namespace {

// The records of the list's rows that are done: their capcodes are the list's own.
std::set<long long> ownRecords(RegisterConnection& connection, const std::string& name) {
  std::set<long long> own;
  connection.use([&](PagerRegister& reg) {
    if (const auto list = reg.findList(name)) {
      for (const ListRowStatus& row : reg.listRows(list->id)) {
        if (row.state == ListRowState::Done && row.recordId) own.insert(*row.recordId);
      }
    }
    return 0;
  });
  return own;
}

std::string rowList(const std::vector<int>& rows) {
  std::vector<std::string> texts;
  for (int row : rows) texts.push_back(std::to_string(row));
  return joined(texts, ", ");
}

// What the user answered at a row's prompt.
struct Answer {
  enum Kind { Write, Skip, Stop } kind = Write;
  std::optional<std::string> serial;  // a serial number typed, or a scanner's
};

Answer ask(Run& run, const ListRun& list, const ListRowStatus& row) {
  run.console.err << rowText(row, list.list().rows)
                  << ": put the pager in the Programmer, then Enter; s skips, q stops" << std::endl;
  std::string line;
  if (!std::getline(run.console.in, line)) return {Answer::Stop, {}};
  const std::string text(trimmed(line));
  if (text == "q") return {Answer::Stop, {}};
  if (text == "s") return {Answer::Skip, {}};
  if (text.empty()) return {Answer::Write, {}};
  return {Answer::Write, text};
}

class FleetWriter {
 public:
  FleetWriter(Run& run, const CheckedList& checked, std::vector<int> uniqueRows,
              PagerSession& session, ListRun& list)
      : run_(run),
        uniqueRows_(std::move(uniqueRows)),
        checked_(checked),
        session_(session),
        list_(list),
        columns_(listColumns(listRecordFields(list.list().header), session.form())),
        hasSerial_(columns_.of("serial").has_value()) {}

  // Row after row until none is left, the user stops, or a signal does. The exit status.
  int run() {
    std::optional<int> preferred = run_.args.row;
    while (auto row = list_.take(preferred)) {
      preferred.reset();
      std::optional<std::string> scanned;
      if (!run_.args.noPrompt) {
        Answer answer = ask(run_, list_, *row);
        while (answer.serial && !hasSerial_) {
          run_.error("'" + escaped(*answer.serial) +
                     "' is no answer: Enter writes, s skips, q stops (the list has no serial "
                     "numbers)");
          answer = ask(run_, list_, *row);
        }
        if (answer.kind != Answer::Write) {
          list_.putBack(*row, answer.kind == Answer::Skip ? "skipped" : "stopped");
          if (answer.kind == Answer::Stop) break;
          continue;
        }
        if (answer.serial) {
          row = scannedRow(*row, *answer.serial);
          if (!row) continue;
          scanned = answer.serial;
        }
      }
      if (run_.args.fresh) session_.plugInNewPager();
      writeRow(*row, scanned);
      if (session_.interrupted()) break;
    }
    const auto rows = list_.records().registerConnection().use(
        [this](PagerRegister& reg) { return reg.listRows(list_.list().id); });
    run_.console.out << list_.list().name << ": "
                     << standingText(standingOf(rows), list_.list().rows) << '\n';
    return session_.exitStatus(failed_ > 0 ? kFailed : kDone);
  }

 private:
  // A serial number at the prompt: the row with that serial number is written, when the list
  // has one open; else the row taken goes back.
  std::optional<ListRowStatus> scannedRow(const ListRowStatus& row, const std::string& serial) {
    if (row.entry.serial == serial) return row;
    list_.putBack(row, "another pager was scanned", false);
    if (auto found = list_.takeBySerial(serial)) return found;
    run_.error("no row of " + list_.list().name + " open for serial number " + escaped(serial));
    return std::nullopt;
  }

  void writeRow(const ListRowStatus& row, const std::optional<std::string>& scanned) {
    const CsvFields cells = listRecordFields(row.entry.cells);
    const auto apply = [&](TForm1& form, std::string& why) {
      why = refusalOf(setListRow(form, run_.terminal, checked_.loaded, columns_, cells, uniqueRows_));
      return why.empty();
    };
    const RowOutcome outcome = list_.write(
        session_.form(), row, apply, [this] { session_.run("WriteToPager", kVerifiedLine); },
        scanned);
    const std::string said = rowText(row, list_.list().rows) + ": ";
    switch (outcome.result) {
      case RowResult::Done:
        run_.console.out << said << "done" << '\n';
        break;
      case RowResult::NotWritten:
        run_.console.out << said << "not written: " << escaped(outcome.line) << '\n';
        break;
      case RowResult::Failed:
        ++failed_;
        run_.console.out << said << "failed: " << escaped(outcome.line) << '\n';
        break;
      case RowResult::Unsettled:
        ++failed_;
        run_.error(said + escaped(outcome.line));
        break;
    }
  }

  Run& run_;
  std::vector<int> uniqueRows_;
  const CheckedList& checked_;
  PagerSession& session_;
  ListRun& list_;
  ListColumns columns_;
  bool hasSerial_;
  int failed_ = 0;
};

}  // namespace

int fleetWriteCommand(Run& run) {
  const std::string& path = run.args.operands[0];
  if (isStandardStream(path)) {
    throw UsageError("fleet write asks at each row on standard input: the list is a file");
  }
  const RegisterChoice choice = registerChoice(run);
  if (choice.use.location.empty()) {
    run.error("a list is kept in the register: no data folder to keep one in, and none named");
    return kFailed;
  }
  return withConnection(run, choice.use, RegisterCreation::Make, [&](RegisterConnection& reg) {
    // A list the register has already, with this content, was checked against it by the
    // station that took it in: its rows being written now are the line's own, not in its way.
    // Another station may take it in while this one checks it (before its first claim).
    CheckedList checked = checkListFile(run, choice, nullptr, path, {});
    const auto taken = [&] {
      const auto known = reg.use([&](PagerRegister& r) { return r.findList(listName(path)); });
      return known && known->fingerprint == checked.entry.fingerprint;
    };
    if (checked.status == 0 && !taken()) {
      CheckedList asked = checkListFile(run, choice, &reg, path, ownRecords(reg, listName(path)));
      if (asked.status == 0 || !taken()) checked = std::move(asked);
    }
    showProblems(run, path, checked.result, false);
    if (checked.status != 0) return checked.status;
    const Stamp by{choice.use.station, std::chrono::system_clock::now(), {}};
    const ListTaking taking = reg.use(
        [&](PagerRegister& r) { return r.takeList(checked.entry, run.args.newVersion, by); });
    if (!taking.list && !taking.writingRows.empty()) {
      run.error("rows " + rowList(taking.writingRows) + " of " + listName(path) +
                " are being written at other stations: take its new version in once they end");
      return kFailed;
    }
    if (!taking.list) {
      run.error(path + " was taken into the register before with other content (rows " +
                rowList(taking.changedRows) +
                "): nothing written; --new-version takes it in again, its rows done staying done");
      return kFailed;
    }
    if (taking.added) {
      run.console.out << taking.list->name << ": taken into the register, version "
                      << taking.list->version << ", " << taking.list->rows << " rows" << '\n';
    }
    PagerSession session(run);
    if (!session.available("WriteToPager")) return kFailed;
    PagerRecords* records = session.window().records();
    ListRun list(*records, *taking.list, choice.use.station,
                 [] { return std::chrono::system_clock::now(); });
    return FleetWriter(run, checked, choice.settings.uniqueRows, session, list).run();
  });
}

}  // namespace ccp::cli
