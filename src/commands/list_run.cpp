#include "commands/list_run.h"

#include <algorithm>

#include "commands/pager_journal.h"
#include "files/outcome_lines.h"
#include "image/capcode.h"
#include "shell/form.h"

namespace ccp {

namespace {

// The pager has exactly the row's capcodes, each in its row, and no other row on.
bool holdsExactly(const PagerIdentity& pager, const ListRowEntry& entry) {
  const PagerRows rows = pagerRowsOf(pager);
  for (int row = 1; row <= kAddressCount; ++row) {
    const auto use = std::find_if(entry.uses.begin(), entry.uses.end(),
                                  [row](const RowUse& u) { return u.row == row; });
    const bool given = use != entry.uses.end();
    if (rows.enabled[row - 1] != given) return false;
    if (given && rows.capcodes[row - 1] != use->capcode) return false;
  }
  return !entry.uses.empty();
}

std::string minuteOf(WallTime at) {
  const std::string stamp = shownTimeStamp(localTime(at), false);
  return stamp.substr(stamp.find(' ') + 1);  // "10:42"
}

}  // namespace

std::string rowText(const ListRowStatus& row, int rows) {
  std::string text = "row " + std::to_string(row.entry.row) + " of " + std::to_string(rows);
  if (!row.entry.label.empty()) text += ", " + row.entry.label;
  const auto individual = std::find_if(row.entry.uses.begin(), row.entry.uses.end(),
                                       [](const RowUse& u) { return u.individual; });
  if (individual != row.entry.uses.end()) text += ", capcode " + capcodeText(individual->capcode);
  return text;
}

ListStanding standingOf(const std::vector<ListRowStatus>& rows) {
  ListStanding standing;
  for (const ListRowStatus& row : rows) {
    switch (row.state) {
      case ListRowState::Open:
        ++standing.open;
        break;
      case ListRowState::Writing:
        ++standing.writing;
        break;
      case ListRowState::Done:
        ++standing.done;
        break;
      case ListRowState::Failed:
        ++standing.failed;
        break;
    }
  }
  return standing;
}

std::string standingText(const ListStanding& s, int rows) {
  return std::to_string(s.done) + " of " + std::to_string(rows) + " done, " +
         std::to_string(s.failed) + " failed, " + std::to_string(s.writing) + " being written, " +
         std::to_string(s.open) + " open";
}

ListRun::ListRun(PagerRecords& records, ListInfo list, std::string station,
                 std::function<WallTime()> now)
    : records_(records),
      list_(std::move(list)),
      station_(std::move(station)),
      now_(std::move(now)),
      writer_(newWriter(station_)) {}

std::optional<ListRowStatus> ListRun::take(std::optional<int> preferred) {
  return records_.registerConnection().use([&](PagerRegister& reg) {
    return reg.takeRow(list_.id, writer_, preferred, tried_, now_());
  });
}

std::optional<ListRowStatus> ListRun::takeBySerial(const std::string& serial) {
  const auto rows =
      records_.registerConnection().use([&](PagerRegister& reg) { return reg.listRows(list_.id); });
  const auto found = std::find_if(rows.begin(), rows.end(), [&](const ListRowStatus& r) {
    return !serial.empty() && r.entry.serial == serial;
  });
  if (found == rows.end()) return std::nullopt;
  auto taken = take(found->entry.row);
  if (taken && taken->entry.row != found->entry.row) {  // not open: another row came instead
    putBack(*taken, "another pager was scanned", false);
    return std::nullopt;
  }
  return taken;
}

void ListRun::putBack(const ListRowStatus& row, const std::string& why, bool skipped) {
  if (skipped) tried_.insert(row.entry.row);
  RowEnd end;
  end.state = ListRowState::Open;
  end.reason = why;
  settle(row, end);
}

ListRowStatus ListRun::settle(const ListRowStatus& row, const RowEnd& end) {
  return records_.registerConnection().use([&](PagerRegister& reg) {
    return reg.settleRow(list_.id, row.entry.row, writer_, end, {station_, now_(), end.reason});
  });
}

std::optional<std::string> ListRun::refusePager(const ListRowStatus& row,
                                                const std::optional<PagerIdentity>& pager,
                                                const std::optional<std::string>& scanned) {
  if (!pager) return std::nullopt;
  serialRead_ = pager->serial;
  if (scanned && pager->serial != *scanned) {
    return listSerialMismatchLine(pager->serial, *scanned);
  }
  const auto rows =
      records_.registerConnection().use([&](PagerRegister& reg) { return reg.listRows(list_.id); });
  for (const ListRowStatus& done : rows) {
    if (done.state != ListRowState::Done || done.entry.row == row.entry.row) continue;
    if (!holdsExactly(*pager, done.entry)) continue;
    if (!done.entry.serial.empty() && done.entry.serial != pager->serial) continue;
    return listPagerDoneLine(done.entry.row, minuteOf(done.at), done.station);
  }
  return std::nullopt;
}

RowOutcome ListRun::write(TForm1& form, const ListRowStatus& row,
                          const std::function<bool(TForm1&, std::string&)>& apply,
                          const std::function<void()>& runWrite,
                          const std::optional<std::string>& scanned) {
  RowOutcome outcome;
  outcome.row = row;
  std::string why;
  if (!apply(form, why)) {
    tried_.insert(row.entry.row);
    RowEnd end;
    end.state = ListRowState::Failed;
    end.reason = why;
    outcome.line = why;
    outcome.row = settle(row, end);
    return outcome;
  }
  bool notForThisPager = false;
  PagerRecords::ListRowWrite rowWrite;
  for (const RowUse& use : row.entry.uses) {
    if (use.individual) rowWrite.individualRows.push_back(use.row);
  }
  rowWrite.beforeWrite = [&](const std::optional<PagerIdentity>& pager) {
    auto refusal = refusePager(row, pager, scanned);
    notForThisPager = refusal.has_value();
    return refusal;
  };
  serialRead_.clear();
  const std::size_t logged = form.log().lines().size();
  {
    // Write to pager writes the row while the face runs it.
    MenuItem& item = form.menuItem("WriteToPager");
    struct Rebound {
      MenuItem& item;
      std::function<void()> plain;
      ~Rebound() { item.onClick = std::move(plain); }
    } rebound{item, item.onClick};
    item.onClick = [this, &form, &rowWrite] { records_.write(form, rowWrite); };
    runWrite();
  }
  const auto& lines = form.log().lines();
  outcome.line = lines.size() > logged ? lines.back() : std::string();
  const bool verified = std::find(lines.begin() + static_cast<std::ptrdiff_t>(logged), lines.end(),
                                  kVerifiedLine) != lines.end();
  RowEnd end;
  if (notForThisPager) {
    end.state = ListRowState::Open;
    end.reason = outcome.line;
    outcome.result = RowResult::NotWritten;
  } else if (verified && records_.lastRecordId()) {
    // A capcode released by hand while it was written is said by the write, and the register
    // keeps the conflict: the pager has the row all the same.
    end.state = ListRowState::Done;
    end.recordId = records_.lastRecordId();
    end.serialRead = serialRead_;
    outcome.result = RowResult::Done;
  } else {
    end.state = ListRowState::Failed;
    end.reason = outcome.line;
    end.recordId = records_.lastRecordId();
    outcome.result = RowResult::Failed;
  }
  if (end.state != ListRowState::Done) tried_.insert(row.entry.row);
  if (verified && !records_.lastRecordId()) {
    // Verified, but its record went to journal.csv: the row stays taken by this write, which
    // has ended, until the journal is taken in and the row looked at.
    outcome.result = RowResult::Unsettled;
    outcome.line = "verified, but its record is not in the register: the row stays taken";
    return outcome;
  }
  try {
    outcome.row = settle(row, end);
  } catch (const RegisterError& error) {
    outcome.result = RowResult::Unsettled;
    outcome.line = error.what();
  }
  return outcome;
}

}  // namespace ccp
