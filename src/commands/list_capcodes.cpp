#include "commands/list_capcodes.h"

#include <algorithm>

#include "commands/holder_lines.h"
#include "image/capcode.h"

namespace ccp {

namespace {

constexpr const char* kOneOrOther = ": a capcode is one pager's own or a group's, never both";

}  // namespace

std::string ListCapcodes::columnOf(int row) const {
  const std::string setting = "address" + std::to_string(row);
  const auto column = columns_.of(setting);
  return column ? columns_.columns[*column].heading : setting;
}

void ListCapcodes::add(std::size_t line, const std::vector<RowUse>& uses,
                       std::vector<ListProblem>& problems) {
  const auto individualHere = [&uses](int capcode) {
    return std::any_of(uses.begin(), uses.end(),
                       [capcode](const RowUse& u) { return u.individual && u.capcode == capcode; });
  };
  for (const RowUse& use : uses) {
    // In two rows of one pager: the guard's own line says so.
    if (!use.individual && individualHere(use.capcode)) continue;
    Seen& seen = capcodes_[use.capcode];
    const std::string capcode = capcodeText(use.capcode);
    if (use.individual) {
      if (seen.individualLine != 0) {
        problems.push_back({line, columnOf(use.row), capcode,
                            "capcode " + capcode + " is on line " +
                                std::to_string(seen.individualLine) +
                                " too: an individual capcode goes to one pager only"});
        continue;
      }
      seen.individualLine = line;
      seen.individualRow = use.row;
    } else if (seen.groupLine == 0) {
      seen.groupLine = line;
      seen.groupRow = use.row;
    }
    if (seen.individualLine != 0 && seen.groupLine != 0 && !seen.bothSaid) {
      // Said where it is individual: the group rows are usually the template's, on every line.
      seen.bothSaid = true;
      problems.push_back({seen.individualLine, columnOf(seen.individualRow), capcode,
                          "capcode " + capcode + " is a group capcode on line " +
                              std::to_string(seen.groupLine) + kOneOrOther});
    }
  }
}

void ListCapcodes::addSerial(std::size_t line, const std::string& serial,
                             std::vector<ListProblem>& problems) {
  if (serial.empty()) return;
  const auto [first, isNew] = serials_.emplace(serial, line);
  if (isNew) return;
  const auto column = columns_.of("serial");
  problems.push_back(
      {line, column ? columns_.columns[*column].heading : "serial", serial,
       "serial number " + serial + " is on line " + std::to_string(first->second) + " too"});
}

void ListCapcodes::checkRegister(const HoldersInTheWay& holders, const std::set<long long>& own,
                                 WallTime now, std::vector<ListProblem>& problems) const {
  std::vector<RowUse> uses;
  uses.reserve(capcodes_.size());
  for (const auto& [capcode, seen] : capcodes_) {
    uses.push_back({seen.individualLine != 0 ? seen.individualRow : seen.groupRow, capcode,
                    seen.individualLine != 0});
  }
  // Said in the list's order.
  const auto lineOf = [this](const RowUse& use) {
    const Seen& seen = capcodes_.at(use.capcode);
    return use.individual ? seen.individualLine : seen.groupLine;
  };
  std::sort(uses.begin(), uses.end(), [&](const RowUse& a, const RowUse& b) {
    return std::pair(lineOf(a), a.row) < std::pair(lineOf(b), b.row);
  });
  std::unordered_map<int, std::vector<Holder>> inTheWay;
  for (Holder& h : holders(uses)) {
    if (h.record && own.count(h.record->id) != 0) continue;
    inTheWay[h.capcode].push_back(std::move(h));
  }
  for (const RowUse& use : uses) {
    const auto found = inTheWay.find(use.capcode);
    if (found == inTheWay.end()) continue;
    std::vector<Holder>& holds = found->second;
    // As the guard says it: an individual hold first, else the newest of the group holds.
    std::stable_sort(holds.begin(), holds.end(), [](const Holder& a, const Holder& b) {
      return a.individual != b.individual ? a.individual : a.at > b.at;
    });
    if (!use.individual && !holds.front().individual) continue;
    const int groupHolds = static_cast<int>(
        std::count_if(holds.begin(), holds.end(), [](const Holder& h) { return !h.individual; }));
    problems.push_back({lineOf(use), columnOf(use.row), capcodeText(use.capcode),
                        takenLine({use, holds.front(), groupHolds}, now)});
  }
}

}  // namespace ccp
