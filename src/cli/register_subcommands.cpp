// register find, list, export, import, init and status: the pager register that the window and
// the pager commands keep, looked up and tended from the command line.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <iterator>
#include <set>

#include "cli/register_choice.h"
#include "cli/register_holds.h"
#include "cli/register_run.h"
#include "cli/subcommands.h"
#include "cli/terminal_text.h"
#include "commands/holder_lines.h"
#include "commands/register_connection.h"
#include "image/capcode.h"
#include "image/plain_text.h"
#include "register/location_reading.h"
#include "register/register_csv.h"

namespace ccp::cli {

namespace {

using Table = std::vector<std::vector<std::string>>;

void printRecords(std::ostream& out, const std::vector<Record>& records) {
  Table table = {{"TIME", "STATION", "COMMAND", "SERIAL", "CAPCODES", "HOLDS", "OUTCOME"}};
  for (const Record& r : records) {
    std::vector<std::string> capcodes;
    std::copy_if(r.capcodes.begin(), r.capcodes.end(), std::back_inserter(capcodes),
                 [](const std::string& capcode) { return !capcode.empty(); });
    table.push_back({shown(r.at), r.station, r.command, orDash(r.serial),
                     orDash(joined(capcodes, " ")), r.holds ? holderStateName(*r.holds) : "-",
                     r.outcome});
  }
  printTable(out, table);
}

RecordQuery filters(const Run& run, RecordQuery query) {
  query.limit = 0;
  query.station = run.args.station;
  if (run.args.since) {
    query.since = parseLocalTime(*run.args.since);
    if (!query.since) {
      throw UsageError("--since takes a date such as 2026-12-07 or 2026-12-07 11:25, not '" +
                       escaped(*run.args.since) + "'");
    }
  }
  return query;
}

// A file that import or export could not read or write.
template <class Work>
int fileWork(Run& run, Work&& work) {
  try {
    return work();
  } catch (const RegisterError& error) {
    if (error.fault() != RegisterFault::Invalid) throw;
    run.error(error.what());
    return kFileError;
  }
}

// The capcodes that records of a serial number gave its pagers, and still hold through them.
std::vector<std::string> heldThrough(PagerRegister& reg, const std::vector<Record>& records) {
  std::vector<std::string> held;
  std::set<int> seen;
  for (const Record& record : records) {
    if (!record.holds) continue;
    for (const std::string& text : record.capcodes) {
      const auto capcode = capcodeNumber(text);
      if (!capcode || !seen.insert(*capcode).second) continue;
      for (const Holder& hold : reg.holders(*capcode)) {
        if (!hold.record || hold.record->id != record.id) continue;
        const std::string state = isCarried(hold) ? "carried" : holderStateName(hold.state);
        held.push_back(text + " (" + state + ")");
        break;
      }
    }
  }
  return held;
}

void printHistory(std::ostream& out, int capcode, const std::vector<HolderEvent>& events) {
  out << "\nHistory of capcode " << capcode << ":\n";
  Table table = {{"TIME", "EVENT", "STATION", "RECORD", "NOTE"}};
  for (const HolderEvent& e : events) {
    table.push_back(
        {shown(e.at), e.event, e.station, e.recordId ? std::to_string(*e.recordId) : "-", e.note});
  }
  printTable(out, table);
}

int findCommand(Run& run) {
  const std::string what = run.args.operands[0];
  RecordQuery query = filters(run, {});  // a wrong option, before anything is opened
  return withRegister(run, [&](PagerRegister& reg, const RegisterChoice&) {
    const auto capcode = capcodeOperand(what);
    std::vector<Record> byCapcode, bySerial;
    if (capcode) {
      query.capcode = capcode;
      byCapcode = reg.records(query);
      query.capcode.reset();
    }
    query.serial = what;
    bySerial = reg.records(query);
    const auto holders = capcode ? reg.holders(*capcode) : std::vector<Holder>();
    const auto events = capcode ? reg.history(*capcode) : std::vector<HolderEvent>();
    std::vector<Conflict> conflicts;
    if (capcode) {
      for (Conflict& c : reg.conflicts(false)) {
        if (c.capcode == *capcode) conflicts.push_back(std::move(c));
      }
    }
    const bool capcodeKnown = !byCapcode.empty() || !holders.empty() || !events.empty();
    if (!capcodeKnown && bySerial.empty()) {
      run.error("the register holds no record of " + escaped(what));
      return kFailed;
    }
    std::ostream& out = run.console.out;
    if (capcodeKnown) {
      const auto now = std::chrono::system_clock::now();
      for (const std::string& line : holderLines(*capcode, holders, now)) {
        out << escaped(line) << '\n';
      }
    }
    if (!bySerial.empty()) {
      const auto held = heldThrough(reg, bySerial);
      const std::string line =
          "Serial " + what + (held.empty() ? " holds no capcode" : " holds " + joined(held, ", "));
      out << escaped(line) << '\n';
    }
    std::vector<Record> records = byCapcode;
    for (const Record& r : bySerial) {
      const bool twice = std::any_of(records.begin(), records.end(),
                                     [&r](const Record& each) { return each.id == r.id; });
      if (!twice) records.push_back(r);
    }
    std::sort(records.begin(), records.end(), [](const Record& a, const Record& b) {
      return a.at != b.at ? a.at > b.at : a.id > b.id;
    });
    if (!records.empty()) printRecords(out << '\n', records);
    if (!conflicts.empty()) {
      out << "\nOpen conflicts of capcode " << *capcode << ":\n";
      printConflicts(out, conflicts, false);
    }
    if (!events.empty()) printHistory(out, *capcode, events);
    return kDone;
  });
}

int listCommand(Run& run) {
  RecordQuery query = filters(run, {});
  if (run.args.limit) query.limit = static_cast<std::size_t>(*run.args.limit);  // the newest
  return withRegister(run, [&run, &query](PagerRegister& reg, const RegisterChoice&) {
    printRecords(run.console.out, reg.records(query));
    return kDone;
  });
}

std::string countOf(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

int exportCommand(Run& run) {
  const std::string file = run.args.operands[0];
  const RecordQuery query = filters(run, oldestFirst());
  return withRegister(run, [&](PagerRegister& reg, const RegisterChoice&) {
    return fileWork(run, [&] {
      if (!isStandardStream(file)) {
        const std::size_t written = exportRecords(reg, file, query);
        run.console.out << countOf(written, "record", "records") << " written to " << file << '\n';
        return kDone;
      }
      const std::size_t written = exportRecords(reg, run.console.out, query);
      if (!run.console.out.flush()) {
        run.error(std::string("the export cannot be written to standard output: ") +
                  std::strerror(errno));
        return kFileError;
      }
      run.console.err << countOf(written, "record", "records") << " written to standard output\n";
      return kDone;
    });
  });
}

// Every line after the header, counted once: "journal.csv: 2 records added, 14 in the register
// already, 1 lines refused", with the blank lines, and the lines of records whose quoted fields
// break lines, said where there are any.
std::string importSummary(const std::string& name, const ImportResult& result) {
  const std::size_t records = result.added + result.present;
  std::string summary = name + ": " + std::to_string(result.added) + " records added, " +
                        std::to_string(result.present) + " in the register already";
  if (result.recordLines != records) {
    summary += " (" + std::to_string(records) + " records on " +
               std::to_string(result.recordLines) + " lines)";
  }
  summary += ", " + std::to_string(result.refusedLines()) + " lines refused";
  if (result.blankLines > 0) summary += ", " + std::to_string(result.blankLines) + " blank";
  return summary;
}

int importCommand(Run& run) {
  const std::string file = run.args.operands[0];
  const bool standard = isStandardStream(file);
  const std::string name = standard ? "standard input" : file;
  return withRegister(run, [&](PagerRegister& reg, const RegisterChoice& choice) {
    return fileWork(run, [&] {
      const auto now = std::chrono::system_clock::now();
      const ImportResult result =
          standard ? importJournal(reg, run.console.in, name, choice.use.station, now)
                   : importJournal(reg, file, choice.use.station, now);
      run.console.out << importSummary(name, result) << '\n';
      for (const RefusedLine& refused : result.refused) {
        run.error(escaped(name + " line " + std::to_string(refused.line) +
                          " refused: " + refused.reason));
      }
      for (const std::string& line : holdOutcomeLines(result.holds, commandLineWords())) {
        run.console.out << line << '\n';
      }
      return result.refused.empty() ? kDone : kFailed;
    });
  });
}

int initCommand(Run& run) {
  const std::string location = run.args.operands[0];
  const LocationReading reading = readLocation(location);
  if (!reading.engine) throw RefusedSetting("init's URL: " + reading.why + "; nothing done");
  RegisterUse use = registerChoice(run).use;  // this station, with the register to make
  warnOfPassword(run, "init's URL", location);
  use.location = location;
  return withConnection(run, use, RegisterCreation::Make, [&](RegisterConnection& connection) {
    const RegisterStatus status = connection.get().status();
    std::ostream& out = run.console.out;
    const std::string version = "schema version " + std::to_string(status.schemaVersion);
    if (status.versionFound == 0) {
      out << "Made the register's tables in " << status.location << " (" << status.engine << ", "
          << version << ")\n";
    } else if (status.versionFound < status.schemaVersion) {
      out << "Brought the register " << status.location << " forward from schema version "
          << status.versionFound << " to " << status.schemaVersion << '\n';
    } else {
      out << "The register " << status.location << " was ready (" << version << ", "
          << status.records << " records): nothing changed\n";
    }
    if (const std::string notice = connection.takeNotice(); !notice.empty()) out << notice << '\n';
    const std::string bare = withoutPassword(location);
    out << "Use it with --register, CCP_REGISTER, or \"register = " << bare
        << "\" in register.conf\n";
    if (reading.password) out << "Keep its password in ~/.pgpass (mode 0600), never in the URL\n";
    return kDone;
  });
}

// "1 being written, 2 left by writes that ended, 0 failed"
std::string claimsText(const RegisterStatus& status) {
  return std::to_string(status.claimsAlive) + " being written, " +
         std::to_string(status.claimsEnded) + " left by writes that ended, " +
         std::to_string(status.failed) + " failed";
}

int statusCommand(Run& run) {
  const RegisterBody report = [&run](PagerRegister& reg, const RegisterChoice& choice) {
    const RegisterStatus status = reg.status();
    const std::string stations = joined(status.stations, ", ");
    std::string last = "-";
    if (status.last) {
      const Record& r = *status.last;
      last = shown(r.at) + " " + r.station + " " + r.command + ": " + r.outcome;
      if (!r.capcodes[0].empty()) last += " (capcode 1 " + r.capcodes[0] + ")";
    }
    printTable(run.console.out, {{"Register:", status.location + " (" + status.engine + ")"},
                                 {"Schema version:", std::to_string(status.schemaVersion)},
                                 {"Records:", std::to_string(status.records)},
                                 {"Stations seen:", orDash(stations)},
                                 {"Last record:", last},
                                 {"Claims:", claimsText(status)},
                                 {"Conflicts:", std::to_string(status.openConflicts) + " open"},
                                 {"This station:", choice.use.station + ", guard " +
                                                       (choice.use.guard ? "on" : "off")}});
    return kDone;
  };
  // A station's own register that no pager command has made is said, and not made by looking.
  return withRegister(run, report, RegisterCreation::DoNotMake);
}

}  // namespace

void addRegisterCommands(CommandLine& line) {
  const struct {
    const char* name;
    const char* description;
    Command command;
    const char* operand;  // and what it is, when the command takes one
    const char* operandText;
  } commands[] = {
      {"find",
       "the history of a capcode or of a pager's serial\nnumber, newest first, every pager that "
       "has it now,\nand its open conflicts",
       findCommand, "CAPCODE|SERIAL", "a capcode, or a serial number"},
      {"list", "the records, newest first", listCommand, nullptr, nullptr},
      {"export",
       "the records to FILE.csv: the journal's columns and\nthe holder's state, oldest first",
       exportCommand, "FILE.csv", "the CSV file to write; -: standard output"},
      {"import",
       "a journal.csv's lines as this station's records;\nrecords there already are not added "
       "again, a line\nthat is no record is named and left out",
       importCommand, "FILE.csv", "a journal.csv of this program; -: standard input"},
      {"release",
       "give a capcode back, whoever has it, and close its\nconflicts; the register keeps who "
       "released it and\nwhen. A write still under way keeps it unless --force",
       releaseCommand, "CAPCODE", "the capcode to release"},
      {"claims",
       "the capcodes claimed by writes, under way or ended,\nand those of writes that failed: "
       "the pagers may have\nthem",
       claimsCommand, nullptr, nullptr},
      {"conflicts",
       "the capcodes that are, or may be, on two pagers,\nnewest first, until resolved",
       conflictsCommand, nullptr, nullptr},
      {"resolve", "close a conflict, or every open conflict of a capcode", resolveCommand,
       "ID|CAPCODE", "a conflict's number, or a capcode"},
      {"init",
       "make the register's tables at URL (or in a SQLite\nfile), or bring them forward, and say "
       "what was done",
       initCommand, "URL", "a postgresql:// URL, or a SQLite file"},
      {"status",
       "the register's engine, schema version, records,\nstations, last record, claims and "
       "conflicts",
       statusCommand, nullptr, nullptr},
  };
  CliArguments& args = line.arguments();
  CLI::App& group = line.group("register", "the pager register: every pager read or written");
  for (const auto& c : commands) {
    CLI::App& command = line.add(group, c.name, c.description, c.command);
    if (c.operand != nullptr) line.operand(command, c.operand, c.operandText);
  }
  for (const char* filtered : {"list", "export"}) {
    CLI::App& command = *group.get_subcommand(filtered);
    command.add_option("--since", args.since, "only records from this date or time on")
        ->type_name("DATE");
    command.add_option("--station", args.station, "only records of this station")
        ->type_name("NAME");
  }
  addHoldOptions(group, args);
  group.get_subcommand("list")
      ->add_option("--limit", args.limit, "only the newest N records")
      ->type_name("N")
      ->check(CLI::PositiveNumber);
}

}  // namespace ccp::cli
