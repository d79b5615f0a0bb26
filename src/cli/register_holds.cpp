#include "cli/register_holds.h"

#include <algorithm>
#include <charconv>

#include "cli/register_choice.h"
#include "cli/register_run.h"
#include "cli/subcommands.h"
#include "cli/terminal_text.h"
#include "commands/register_chores.h"
#include "image/capcode.h"

namespace ccp::cli {

namespace {

using Table = std::vector<std::vector<std::string>>;

std::string idText(const std::optional<long long>& id) {
  return id ? std::to_string(*id) : "-";
}

Stamp byThisStation(const Run& run, const RegisterChoice& choice) {
  return {choice.use.station, std::chrono::system_clock::now(), run.args.note};
}

std::string closedText(const Conflict& c) {
  if (!c.closedAt) return "open";
  std::string text = shown(*c.closedAt) + " by " + c.closedBy;
  return c.note.empty() ? text : text + ": " + c.note;
}

// A conflict's id, or a capcode: seven digits.
struct ResolveWhat {
  std::optional<long long> id;
  std::optional<int> capcode;
};

ResolveWhat resolveOperand(const std::string& text) {
  if (text.size() == static_cast<std::size_t>(kCapcodeDigits)) {
    if (const auto capcode = capcodeOperand(text)) return {std::nullopt, capcode};
  }
  long long id = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || id <= 0) {
    throw UsageError("resolve takes a conflict's number or a capcode of seven digits, not '" +
                     escaped(text) + "'");
  }
  return {id, std::nullopt};
}

}  // namespace

void printConflicts(std::ostream& out, const std::vector<Conflict>& conflicts, bool closedToo) {
  Table table = {{"ID", "CAPCODE", "TIME", "STATION", "RECORD", "OTHER", "WHAT"}};
  if (closedToo) table[0].push_back("CLOSED");
  for (const Conflict& c : conflicts) {
    table.push_back({std::to_string(c.id), capcodeText(c.capcode), shown(c.at), c.station,
                     idText(c.recordId), idText(c.otherRecordId), c.what});
    if (closedToo) table.back().push_back(closedText(c));
  }
  printTable(out, table);
}

int releaseCommand(Run& run) {
  const auto capcode = capcodeOperand(run.args.operands[0]);
  if (!capcode) {
    throw UsageError("release takes a capcode, not '" + escaped(run.args.operands[0]) + "'");
  }
  return withRegister(run, [&](PagerRegister& reg, const RegisterChoice& choice) {
    const Stamp by = byThisStation(run, choice);
    const ReleaseReport report = releaseByHand(reg, *capcode, by, run.args.force);
    if (report.refused) {
      run.error(*report.refused + " (--force releases it)");
      return kFailed;
    }
    if (report.released.empty()) {
      run.error("capcode " + std::to_string(*capcode) + " is not held: nothing to release");
      return kFailed;
    }
    for (const std::string& line : report.released) {
      run.console.out << escaped(line) << ": released by " << escaped(by.station) << '\n';
    }
    return kDone;
  });
}

int claimsCommand(Run& run) {
  return withRegister(run, [&run](PagerRegister& reg, const RegisterChoice&) {
    Table table = {
        {"CAPCODE", "ROW", "STATE", "STATION", "HOST", "PID", "SINCE", "WRITER", "RECORD"}};
    for (const Holder& h : reg.claims()) {
      const bool claim = h.state == HolderState::Claimed;
      table.push_back({capcodeText(h.capcode), h.row > 0 ? std::to_string(h.row) : "-",
                       holderStateName(h.state), h.station, orDash(h.writerHost),
                       h.writerPid > 0 ? std::to_string(h.writerPid) : "-", shown(h.at),
                       !claim                        ? "-"
                       : h.writer == Liveness::Alive ? "alive"
                                                     : "ended",
                       h.record ? std::to_string(h.record->id) : "-"});
    }
    printTable(run.console.out, table);
    return kDone;
  });
}

int conflictsCommand(Run& run) {
  return withRegister(run, [&run](PagerRegister& reg, const RegisterChoice&) {
    printConflicts(run.console.out, reg.conflicts(run.args.all), run.args.all);
    return kDone;
  });
}

int resolveCommand(Run& run) {
  const ResolveWhat what = resolveOperand(run.args.operands[0]);
  return withRegister(run, [&](PagerRegister& reg, const RegisterChoice& choice) {
    const std::vector<Conflict> closed =
        reg.resolve(what.id, what.capcode, byThisStation(run, choice));
    if (closed.empty()) {
      run.error(what.id ? "no open conflict " + std::to_string(*what.id)
                        : "capcode " + std::to_string(*what.capcode) + " has no open conflict");
      return kFailed;
    }
    for (const Conflict& c : closed) {
      run.console.out << "Conflict " << c.id << " of capcode " << capcodeText(c.capcode)
                      << " closed by " << escaped(choice.use.station) << '\n';
    }
    return kDone;
  });
}

void addHoldOptions(CLI::App& group, CliArguments& args) {
  for (const char* command : {"release", "resolve"}) {
    group.get_subcommand(command)
        ->add_option("--note", args.note, "why, kept in the capcode's history")
        ->type_name("TEXT");
  }
  group.get_subcommand("release")->add_flag(
      "--force", args.force,
      "release a capcode that a write still under way\nclaimed: that pager may get it "
      "too");
  group.get_subcommand("conflicts")
      ->add_flag("--all", args.all, "the closed conflicts too, with when and why");
}

}  // namespace ccp::cli
