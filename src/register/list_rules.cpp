#include "register/list_rules.h"

#include <charconv>

namespace ccp {

namespace {

std::string shownAt(WallTime at) {
  return shownTimeStamp(localTime(at), false);
}

template <class Number>
std::optional<Number> numberIn(std::string_view text) {
  Number number{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return {};
  return number;
}

}  // namespace

const char* listRowStateName(ListRowState state) {
  switch (state) {
    case ListRowState::Writing:
      return "writing";
    case ListRowState::Done:
      return "done";
    case ListRowState::Failed:
      return "failed";
    case ListRowState::Open:
      break;
  }
  return "open";
}

ListRowState listRowStateNamed(const std::string& name) {
  if (name == "writing") return ListRowState::Writing;
  if (name == "done") return ListRowState::Done;
  if (name == "failed") return ListRowState::Failed;
  return ListRowState::Open;
}

std::string usesText(const std::vector<RowUse>& uses) {
  std::string text;
  for (const RowUse& use : uses) {
    if (!text.empty()) text += ' ';
    text += std::to_string(use.row) + (use.individual ? 'i' : 'g') + std::to_string(use.capcode);
  }
  return text;
}

std::optional<std::vector<RowUse>> parseUses(std::string_view text) {
  std::vector<RowUse> uses;
  while (!text.empty()) {
    const std::size_t blank = text.find(' ');
    const std::string_view item = text.substr(0, blank);
    text = blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
    const std::size_t kind = item.find_first_of("ig");
    if (kind == std::string_view::npos || (blank != std::string_view::npos && text.empty())) {
      return std::nullopt;
    }
    const auto row = numberIn<int>(item.substr(0, kind));
    const auto capcode = numberIn<int>(item.substr(kind + 1));
    if (!row || !capcode) return std::nullopt;
    uses.push_back({*row, *capcode, item[kind] == 'i'});
  }
  return uses;
}

Liveness rowWriterLiveness(ListRowState state, const KeptWriter& writer, const WriterSigns& signs) {
  if (state != ListRowState::Writing) return Liveness::Ended;
  return writerLiveness(writer, signs);
}

bool mayTake(const ListRowStatus& row) {
  return row.state == ListRowState::Open || row.state == ListRowState::Failed ||
         (row.state == ListRowState::Writing && row.writer == Liveness::Ended);
}

std::optional<int> rowToRetry(const std::vector<ListRowStatus>& rows, const std::set<int>& tried) {
  for (const ListRowStatus& row : rows) {
    if (row.state != ListRowState::Open && mayTake(row) && !tried.count(row.entry.row)) {
      return row.entry.row;
    }
  }
  return std::nullopt;
}

std::vector<int> changedRows(const std::map<int, std::string>& fingerprintsBefore,
                             const std::vector<ListRowEntry>& now) {
  std::set<int> changed, present;
  for (const ListRowEntry& row : now) {
    present.insert(row.row);
    const auto before = fingerprintsBefore.find(row.row);
    if (before == fingerprintsBefore.end() || before->second != row.fingerprint) {
      changed.insert(row.row);
    }
  }
  for (const auto& [row, fingerprint] : fingerprintsBefore) {
    if (!present.count(row)) changed.insert(row);
  }
  return {changed.begin(), changed.end()};
}

std::vector<std::optional<int>> carriedRows(const std::vector<ListRowStatus>& doneBefore,
                                            const std::vector<ListRowEntry>& now) {
  std::map<int, const ListRowEntry*> atPlace;
  std::map<std::string, std::vector<int>> byFingerprint;
  for (const ListRowStatus& done : doneBefore) {
    if (done.state != ListRowState::Done) continue;
    atPlace[done.entry.row] = &done.entry;
    byFingerprint[done.entry.fingerprint].push_back(done.entry.row);
  }
  std::vector<std::optional<int>> carried(now.size());
  std::set<int> used;
  for (std::size_t i = 0; i < now.size(); ++i) {
    const auto same = atPlace.find(now[i].row);
    if (same != atPlace.end() && same->second->fingerprint == now[i].fingerprint) {
      carried[i] = now[i].row;
      used.insert(now[i].row);
    }
  }
  for (std::size_t i = 0; i < now.size(); ++i) {
    if (carried[i]) continue;
    for (int row : byFingerprint[now[i].fingerprint]) {
      if (used.insert(row).second) {
        carried[i] = row;
        break;
      }
    }
  }
  return carried;
}

std::optional<std::string> rowEndRefusal(const RowEndFacts& facts, const Writer& writer,
                                         const RowEnd& end) {
  const ListRowStatus& row = facts.row;
  const std::string name = "Row " + std::to_string(row.entry.row) + " of " + facts.listName;
  if (row.state != ListRowState::Writing || facts.token != writer.token) {
    std::string now;
    if (row.state == ListRowState::Writing) {
      now = row.station + " took it on " + shownAt(row.at);
    } else {
      now = std::string("it is ") + listRowStateName(row.state);
      if (!row.station.empty()) now += " (" + row.station + ", " + shownAt(row.at) + ")";
    }
    return name + " is no longer this write's: " + now;
  }
  if (end.state == ListRowState::Writing) return name + " ends done, failed or open";
  if (end.state != ListRowState::Done) return std::nullopt;
  const std::string onlyVerified = name + " is done only by the record of a verified write";
  if (!end.recordId) return onlyVerified;
  if (!facts.record) return "There is no record " + std::to_string(*end.recordId);
  if (!verifiedWrite(facts.record->record)) {
    return onlyVerified + ": record " + std::to_string(*end.recordId) + " says \"" +
           facts.record->record.outcome + "\"";
  }
  if (facts.record->doneRow) {
    return "Record " + std::to_string(*end.recordId) + " made " +
           rowName(*facts.record->doneRow, facts.record->doneList) +
           " done already: a write does one row";
  }
  return std::nullopt;
}

std::string rowName(int row, const std::string& listName) {
  return "row " + std::to_string(row) + " of " + listName;
}

std::string swapNote(int row, const std::string& listName, const std::string& note) {
  return rowName(row, listName) + " swapped" + (note.empty() ? "" : ": " + note);
}

}  // namespace ccp
