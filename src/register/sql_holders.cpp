// Who holds each capcode, the claims of writes and their writers, releases by hand, conflicts,
// and the history of every change.
#include <algorithm>
#include <set>

#include "register/hold_tables.h"
#include "register/sql_register.h"

namespace ccp {

HolderState holderStateNamed(const std::string& name) {
  if (name == "held") return HolderState::Held;
  if (name == "failed") return HolderState::Failed;
  return HolderState::Claimed;
}

const char* holderStateName(HolderState state) {
  switch (state) {
    case HolderState::Held:
      return "held";
    case HolderState::Failed:
      return "failed";
    case HolderState::Claimed:
      break;
  }
  return "claimed";
}

std::vector<Holder> SqlRegister::holders(int capcode) {
  return guarded("reading the holders of capcode " + std::to_string(capcode), [&] {
    HoldTables tables(session_);
    std::vector<Hold> holds = tables.ofCapcodes({capcode});
    tables.judge(holds);
    return tables.holders(holds);
  });
}

std::vector<Holder> SqlRegister::holdersInTheWay(const std::vector<RowUse>& uses) {
  // A statement names a bounded number of capcodes, however long the list of uses.
  constexpr std::size_t kCapcodesAStatement = 2000;
  return guarded("reading the holders of " + std::to_string(uses.size()) + " capcodes", [&] {
    HoldTables tables(session_);
    std::vector<Hold> holds;
    std::set<long long> seen;
    for (std::size_t from = 0; from < uses.size(); from += kCapcodesAStatement) {
      const auto end = uses.begin() + static_cast<std::ptrdiff_t>(
                                          std::min(uses.size(), from + kCapcodesAStatement));
      for (Hold& h : tables.around({uses.begin() + static_cast<std::ptrdiff_t>(from), end})) {
        if (seen.insert(h.id).second) holds.push_back(std::move(h));  // a capcode in two parts
      }
    }
    tables.judge(holds);
    return tables.holders(holds);
  });
}

std::vector<Holder> SqlRegister::claims() {
  return guarded("reading the claims", [&] {
    HoldTables tables(session_);
    std::vector<Hold> holds = tables.where("state IN ('claimed', 'failed')", "at DESC, id DESC");
    tables.judge(holds);
    return tables.holders(holds);
  });
}

ReleaseResult SqlRegister::release(int capcode, const Stamp& by, bool force) {
  return guarded("releasing capcode " + std::to_string(capcode), [&] {
    return session_.write([&] {
      HoldTables tables(session_);
      tables.lockCapcodes({{capcode, true}});
      std::vector<Hold> holds = tables.ofCapcodes({capcode});
      tables.judge(holds);
      const ReleasePlan plan = releasePlan(holds, force);
      ReleaseResult result;
      if (plan.liveClaim) result.liveClaim = tables.holder(*plan.liveClaim);
      if (plan.refused) return result;
      result.released = tables.holders(holds);
      for (const Hold& h : holds) tables.remove(h, "released", by);
      tables.closeConflicts("capcode = " + std::to_string(capcode), by);
      if (result.liveClaim) {
        // The pager being written will have it all the same.
        tables.conflict(capcode, {by.station, by.at, {}}, std::nullopt, std::nullopt,
                        kReleasedWhileBeingWritten + result.liveClaim->station);
      }
      return result;
    });
  });
}

std::vector<Conflict> SqlRegister::conflicts(bool closedToo) {
  return guarded("reading the conflicts", [&] {
    return HoldTables(session_).conflicts(closedToo ? "" : "closed_at IS NULL");
  });
}

std::vector<Conflict> SqlRegister::resolve(std::optional<long long> id, std::optional<int> capcode,
                                           const Stamp& by) {
  if (!id && !capcode) {
    throw RegisterError(RegisterFault::Invalid, "Which conflicts to resolve: an id or a capcode");
  }
  std::string which = "closed_at IS NULL";
  if (id) which += " AND id = " + std::to_string(*id);
  if (capcode) which += " AND capcode = " + std::to_string(*capcode);
  return guarded("resolving conflicts", [&] {
    return session_.write([&] {
      HoldTables tables(session_);
      std::vector<Conflict> closed = tables.conflicts(which);
      if (closed.empty()) return closed;
      std::vector<long long> ids;
      for (Conflict& c : closed) {
        ids.push_back(c.id);
        c.closedAt = WallTime(std::chrono::floor<std::chrono::seconds>(by.at));
        c.closedBy = by.station;
        c.note = by.note;
      }
      tables.closeConflicts("id IN " + sqlList(ids), by);
      return closed;
    });
  });
}

std::vector<HolderEvent> SqlRegister::history(int capcode) {
  return guarded("reading the history of capcode " + std::to_string(capcode),
                 [&] { return HoldTables(session_).history(capcode); });
}

}  // namespace ccp
