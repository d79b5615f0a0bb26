#include "register/hold_steps.h"

#include <algorithm>

#include "files/outcome_lines.h"
#include "register/record_columns.h"
#include "register/record_table.h"
#include "register/sql_session.h"
#include "register/stored_text.h"

namespace ccp {

LaterUses::LaterUses(const std::vector<Record>& batch) {
  for (const Record& record : batch) {
    for (const RowUse& use : recordUses(record)) {
      all_[use.capcode].push_back({record.at, &record});
    }
    if (record.pagerBefore)
      byBefore_[pagerRowsText(record.pagerBefore)].push_back({record.at, &record});
  }
  for (auto& [capcode, entries] : all_) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.at < b.at; });
  }
}

std::vector<const Record*> LaterUses::after(const Record& record, int capcode) const {
  std::vector<const Record*> found;
  const auto add = [&](const auto& index, const auto& key) {
    const auto entries = index.find(key);
    if (entries == index.end()) return;
    for (const Entry& e : entries->second) {
      if (e.at > record.at) found.push_back(e.record);
    }
  };
  add(all_, capcode);
  add(byBefore_, pagerRowsText(recordRows(record)));
  return found;
}

PagerFacts HoldSteps::pagerFacts(const std::optional<SeenPager>& pager) {
  PagerFacts facts;
  if (!pager) return facts;
  std::set<int> capcodes;
  for (int row = 1; row <= kAddressCount; ++row) {
    if (pager->rows.enabled[row - 1] && pager->rows.capcodes[row - 1])
      capcodes.insert(*pager->rows.capcodes[row - 1]);
  }
  if (capcodes.empty()) return facts;
  facts.doubtful = tables_.doubtful(capcodes);
  facts.individual = tables_.where("individual = 1 AND capcode IN " + sqlList(capcodes));
  tables_.judge(facts.individual);
  std::set<long long> records, tokens;
  for (const Hold& h : facts.individual) {
    if (h.recordId) records.insert(*h.recordId);
    if (!h.recordId && h.token) tokens.insert(*h.token);
  }
  if (!records.empty()) {
    for (Record& r : readRecords(s_, "r.id IN " + sqlList(records))) {
      facts.records.emplace(r.id, std::move(r));
    }
  }
  for (const Hold& h : tables_.ofRecords(records)) facts.ofRecord[*h.recordId].push_back(h);
  for (const Hold& h : tables_.ofTokens(tokens)) facts.ofClaim[*h.token].push_back(h);
  return facts;
}

std::optional<Refusal> HoldSteps::refusal(const std::vector<RowUse>& rows, long long writing,
                                          const std::optional<SeenPager>& inProgrammer,
                                          bool quick) {
  const std::vector<Hold> own = inProgrammer
                                    ? pagerHolds(*inProgrammer, pagerFacts(inProgrammer), writing)
                                    : std::vector<Hold>{};
  const std::vector<Hold> near = tables_.around(rows);
  for (const RowUse& use : rows) {
    // Only this pager may have an individual capcode; a group capcode any pager may carry, but
    // none as its own.
    const auto other = inTheWay(near, use, own, std::nullopt, writing);
    if (!other) continue;
    if (quick) return Refusal{use, {}, 0};
    std::vector<Hold> judged{*other};
    tables_.judge(judged);
    // `near` has every hold of an individual use's capcode, but only the individual ones of a
    // group use's.
    const int groups =
        groupHoldCount(use.individual ? near : tables_.groupHolds(use.capcode), use, own, writing);
    return Refusal{use, tables_.holder(judged.front()), groups};
  }
  return std::nullopt;
}

std::set<int> HoldSteps::decided(const Record& record, const std::vector<RowUse>& uses,
                                 const LaterUses* later, bool releasesDecide) {
  const long long at = storedTime(record.at);
  // A later write that found the pager as this record left it, whatever it gave.
  const std::string left = pagerRowsText(recordRows(record));
  const std::string verified = kVerifiedLine;
  std::vector<long long> reprogrammed;
  soci::rowset<long long> ids =
      (s_.sql().prepare << "SELECT id FROM records WHERE pager_before = :left AND at > :at "
                           "AND command = 'write' AND outcome = :verified",
       soci::use(left, "left"), soci::use(at, "at"), soci::use(verified, "verified"));
  reprogrammed.assign(ids.begin(), ids.end());
  std::set<int> found;
  for (const RowUse& use : uses) {
    // A release by hand after the record's time said the capcode is free.
    if (releasesDecide && tables_.releasedAfter(use.capcode, at)) {
      found.insert(use.capcode);
      continue;
    }
    std::vector<Record> laterRecords;
    if (later != nullptr) {
      for (const Record* r : later->after(record, use.capcode)) laterRecords.push_back(*r);
    }
    std::set<long long> laterIds(reprogrammed.begin(), reprogrammed.end());
    soci::rowset<long long> held =
        (s_.sql().prepare
             << "SELECT DISTINCT h.record_id FROM holds h JOIN records r ON r.id = "
                "h.record_id WHERE h.capcode = :capcode AND r.at > :at AND r.id <> :id",
         soci::use(use.capcode, "capcode"), soci::use(at, "at"), soci::use(record.id, "id"));
    laterIds.insert(held.begin(), held.end());
    if (!laterIds.empty()) {
      for (Record& r : readRecords(s_, "r.id IN " + sqlList(laterIds)))
        laterRecords.push_back(std::move(r));
    }
    if (decidedLater(record, laterRecords)) found.insert(use.capcode);
  }
  return found;
}

HoldOutcome HoldSteps::apply(const Record& record, const ApplyRule& rule, const Stamp& by,
                             const LaterUses* later) {
  if (!showsPager(record) && !mayHaveWritten(record)) return {};
  ApplyFacts facts;
  facts.pager = pagerFacts(pagerFound(record));
  facts.ofRecord = tables_.ofRecords({record.id});
  const std::vector<RowUse> uses = notHeld(facts.ofRecord, recordUses(record));
  facts.near = tables_.around(uses);
  if (rule.history) facts.decided = decided(record, uses, later, rule.releasesDecide);
  std::set<int> capcodes;
  for (const RowUse& use : uses) capcodes.insert(use.capcode);
  std::set<long long> named;
  for (const Conflict& c : tables_.openConflicts(capcodes)) {
    facts.open.push_back({c.capcode, c.recordId, c.otherRecordId});
    for (const auto& id : {c.recordId, c.otherRecordId}) {
      if (id) named.insert(*id);
    }
  }
  if (!named.empty()) {
    for (Record& r : readRecords(s_, "r.id IN " + sqlList(named))) {
      facts.records.emplace(r.id, std::move(r));
    }
  }
  const HoldPlan plan = applyPlan(record, facts, rule);
  const Stamp stamp =
      rule.history ? Stamp{record.station, record.at, {}} : Stamp{by.station, by.at, {}};
  return {write(plan, record, stamp, {record.station, by.at, {}}), {}, {}};
}

HoldOutcome HoldSteps::settleVerified(const Record& record, const std::vector<RowUse>& claimed,
                                      long long token, const Stamp& by) {
  SettleFacts facts;
  facts.claimed = claimed;
  const std::vector<RowUse> uses = recordUses(record);
  // The rows written without a claim: they become holds only under their capcodes' locks. A
  // claim released before the locks were taken is among them once they are.
  std::map<int, bool> locked;
  for (;;) {
    facts.claims = tables_.claimsOf(token);
    facts.left.clear();
    for (const RowUse& use : uses) {
      const bool claimedStill =
          std::any_of(facts.claims.begin(), facts.claims.end(),
                      [&](const Hold& c) { return c.capcode == use.capcode && c.row == use.row; });
      if (!claimedStill) facts.left.push_back(use);
    }
    if (!facts.left.empty()) facts.left = notHeld(tables_.ofRecords({record.id}), facts.left);
    std::map<int, bool> wanted;
    for (const auto& [capcode, alone] : HoldTables::lockModes(facts.left)) {
      if (!locked.count(capcode) || (alone && !locked[capcode])) wanted[capcode] = alone;
    }
    if (wanted.empty()) break;
    tables_.lockCapcodes(wanted);
    for (const auto& [capcode, alone] : wanted) locked[capcode] = locked[capcode] || alone;
  }
  facts.pager = pagerFacts(pagerFound(record));
  facts.near = tables_.around(facts.left);
  const HoldPlan plan = settlePlan(record, token, facts);
  const Stamp stamp{by.station, by.at, {}};
  HoldOutcome outcome{write(plan, record, stamp, stamp), plan.releasedWhileWritten, {}};
  if (!plan.releasedWhileWritten.empty()) {
    std::string note = record.note;
    for (int capcode : plan.releasedWhileWritten) {
      note += (note.empty() ? "" : ". ") + releasedWhileWrittenNote(capcode);
    }
    note = storedText(note);
    s_.sql() << "UPDATE records SET note = :note WHERE id = :id", soci::use(note, "note"),
        soci::use(record.id, "id");
  }
  return outcome;
}

std::vector<Conflict> HoldSteps::write(const HoldPlan& plan, const Record& record,
                                       const Stamp& stamp, const Stamp& found) {
  for (const HoldPlan::LetGo& going : plan.letGo) {
    if (going.takenOver) {
      const Stamp from{stamp.station, stamp.at,
                       std::string("from ") + holderStateName(going.hold.state) + " at " +
                           textOf(going.hold.station)};
      tables_.remove(going.hold, "taken over", from);
    } else {
      tables_.remove(going.hold, "dropped", stamp);
    }
  }
  for (const Hold& claim : plan.abandoned) tables_.remove(claim, "abandoned", stamp);
  tables_.holdClaims(plan.held, record, stamp);
  std::vector<Conflict> conflicts;
  for (const HoldPlan::NewConflict& c : plan.conflicts) {
    conflicts.push_back(tables_.conflict(c.capcode, found, record.id, c.otherRecordId, c.what));
  }
  for (const HoldPlan::Give& give : plan.given) {
    if (const auto& c = give.conflict) {
      conflicts.push_back(
          tables_.conflict(c->capcode, found, record.id, c->otherRecordId, c->what));
    }
    tables_.give(record, give.use, stamp);
  }
  return conflicts;
}

}  // namespace ccp
