#include "register/holding_rules.h"

#include <algorithm>
#include <iterator>
#include <tuple>

#include "files/outcome_lines.h"
#include "image/capcode.h"
#include "register/record_columns.h"

namespace ccp {

namespace {

// A write claims its capcodes once its backup read, if any, is done: well within this.
constexpr long long kClaimAfterStart = 60;

bool contains(const std::vector<Hold>& holds, long long id) {
  return std::any_of(holds.begin(), holds.end(), [id](const Hold& h) { return h.id == id; });
}

// One of the pager's `own` holds, the record's, or a claim of the `writing` write.
bool ours(const Hold& h, const std::vector<Hold>& own, std::optional<long long> recordId,
          std::optional<long long> writing) {
  return contains(own, h.id) || (recordId && h.recordId == recordId) ||
         (writing && h.token == writing);
}

// The pager has the capcode in the row, enabled.
bool hasInRow(const PagerRows& pager, int row, int capcode) {
  return row >= 1 && row <= kAddressCount && pager.enabled[row - 1] &&
         pager.capcodes[row - 1] == capcode;
}

template <class A, class B>
bool sameRow(const A& a, const B& b) {
  return a.capcode == b.capcode && a.row == b.row;
}

template <class List, class Item>
bool amongRows(const List& list, const Item& item) {
  return std::any_of(list.begin(), list.end(), [&](const auto& e) { return sameRow(e, item); });
}

// Each list has every row of the other.
template <class A, class B>
bool sameRows(const A& a, const B& b) {
  return std::all_of(a.begin(), a.end(), [&](const auto& x) { return amongRows(b, x); }) &&
         std::all_of(b.begin(), b.end(), [&](const auto& x) { return amongRows(a, x); });
}

template <class Rows>
bool shownWhole(const PagerRows& pager, const Rows& rows) {
  return std::all_of(rows.begin(), rows.end(),
                     [&pager](const auto& r) { return hasInRow(pager, r.row, r.capcode); });
}

const Record* recordOf(const std::map<long long, Record>& records, std::optional<long long> id) {
  const auto found = id ? records.find(*id) : records.end();
  return found != records.end() ? &found->second : nullptr;
}

// What the serial number the pager was seen with says of a hold's pager: only a verified write's
// or a read's tells (a failed write may have stopped before the serial number was written).
SerialSays serialOfHold(const SeenPager& seen, const Hold& h, const Record* record) {
  if (h.state != HolderState::Held || record == nullptr) return SerialSays::Unknown;
  return serialSays(seen.serial, record->serial);
}

// One of the pagers that the pager in the Programmer may be: a record, or a dead write's claims,
// whose every row it shows.
struct Candidate {
  const Record* record = nullptr;  // none: claims
  const std::vector<Hold>* holds = nullptr;
  bool sameSerial = false;
  long long at = 0;
  long long id = 0;
  auto rank() const { return std::tuple(sameSerial, record != nullptr, at, id); }
};

// The older record and the newer one are of one pager's history: the newer found the pager as
// the older left it.
bool ofOneHistory(const Record& a, const Record& b) {
  const bool aFirst = std::tie(a.at, a.id) < std::tie(b.at, b.id);
  const Record& older = aFirst ? a : b;
  const Record& newer = aFirst ? b : a;
  const auto found = pagerFound(newer);
  return found && found->rows == recordRows(older) &&
         serialSays(found->serial, older.serial) != SerialSays::Other;
}

// Marks the holds sure and puts them in place of the same holds in `own`.
void addSure(std::vector<Hold>& own, const std::vector<Hold>& holds) {
  for (Hold h : holds) {
    h.sure = true;
    std::erase_if(own, [&h](const Hold& o) { return o.id == h.id; });
    own.push_back(h);
  }
}

// The pager's own holds that the record no longer shows go, and those that it gives again are
// taken over by its holds; in history, those of records later than it stay. An import not sure
// of its pager lets none go: each stays, with a conflict.
void letGo(HoldPlan& plan, const std::vector<Hold>& own, const Record& record,
           const PagerFacts& pager, bool history) {
  std::set<int> given;
  for (const RowUse& use : recordUses(record)) given.insert(use.capcode);
  const auto found = pagerFound(record);
  for (const Hold& h : own) {
    if (!h.sure) continue;  // perhaps another pager's: it stays
    const Record* behind = recordOf(pager.records, h.recordId);
    if (history) {
      if ((behind ? storedTime(behind->at) : h.at) >= storedTime(record.at)) continue;
      if (behind && !behind->serial.empty() && found && found->serial.empty()) {
        plan.conflicts.push_back({h.capcode, h.recordId, kImportedNotSure});
        continue;
      }
    }
    plan.letGo.push_back({h, given.count(h.capcode) > 0});
  }
}

// A conflict of the capcode between the record's pager and the other record's is open already.
bool alreadyOpen(const ApplyFacts& facts, const Record& record, int capcode,
                 std::optional<long long> other) {
  return std::any_of(facts.open.begin(), facts.open.end(), [&](const OpenConflict& c) {
    if (c.capcode != capcode || !other) return false;
    const auto end = c.recordId == other        ? c.otherRecordId
                     : c.otherRecordId == other ? c.recordId
                                                : std::nullopt;
    const Record* mine = recordOf(facts.records, end);
    return mine != nullptr && recordRows(*mine) == recordRows(record) &&
           serialSays(mine->serial, record.serial) != SerialSays::Other;
  });
}

}  // namespace

bool verifiedWrite(const Record& record) {
  return record.command == kWriteCommand && record.outcome == kVerifiedLine;
}

bool showsPager(const Record& record) {
  return verifiedWrite(record) ||
         (record.command == kReadCommand && record.outcome == kReadCompletedLine);
}

bool mayHaveWritten(const Record& record) {
  // The lines of a write that failed or stopped once the decoder was being written.
  static constexpr std::string_view kSent[] = {kDecoderWriteFailedLine, kDecoderVerifyFailedLine,
                                               kEepromVerifyFailedLine, kEepromNotWrittenLine,
                                               kInterruptedLine};
  return record.command == kWriteCommand &&
         std::find(std::begin(kSent), std::end(kSent), record.outcome) != std::end(kSent);
}

std::optional<SeenPager> pagerFound(const Record& record) {
  if (record.command == kReadCommand) return SeenPager(recordRows(record), record.serial);
  if (!record.pagerBefore) return std::nullopt;
  return SeenPager(*record.pagerBefore, record.serialBefore);
}

SerialSays serialSays(std::string_view one, std::string_view other) {
  if (one.empty() || other.empty()) return SerialSays::Unknown;
  return one == other ? SerialSays::Same : SerialSays::Other;
}

std::string releasedWhileWrittenNote(int capcode) {
  return "Capcode " + capcodeText(capcode) +
         " was released while this pager was written: it may be on two pagers";
}

const char* givenEvent(const Record& record, bool individual) {
  if (mayHaveWritten(record)) return "failed";
  if (record.command == kReadCommand) return "found";
  return individual ? "held" : "carried";
}

KeptWriter keptWriter(const Hold& hold) {
  return {hold.host, hold.pid, hold.started, hold.seen, hold.token};
}

Liveness writerLiveness(const KeptWriter& writer, const WriterSigns& signs) {
  if (!writer.token || writer.pid == 0) return Liveness::Ended;
  if (signs.sessionHolds) return Liveness::Alive;
  if (signs.onThisHost) return signs.processRuns ? Liveness::Alive : Liveness::Ended;
  return signs.silentFor < kWriterSilence ? Liveness::Alive : Liveness::Ended;
}

Liveness writerLiveness(const Hold& claim, const WriterSigns& signs) {
  if (claim.state != HolderState::Claimed) return Liveness::Ended;
  return writerLiveness(keptWriter(claim), signs);
}

std::vector<Hold> pagerHolds(const SeenPager& seen, const PagerFacts& facts,
                             std::optional<long long> writing) {
  const PagerRows& pager = seen.rows;
  std::vector<Hold> own;
  std::set<long long> records, tokens;
  for (const Hold& h : facts.individual) {
    const bool mayBeOnIt = h.state != HolderState::Claimed ||
                           (h.writer == Liveness::Ended && !(writing && h.token == writing));
    if (!mayBeOnIt || !hasInRow(pager, h.row, h.capcode)) continue;
    const SerialSays says = serialOfHold(seen, h, recordOf(facts.records, h.recordId));
    if (says == SerialSays::Other) continue;  // another pager's, its serial number tells
    // A capcode that may be on two pagers tells neither apart; the serial number may.
    if (facts.doubtful.count(h.capcode) && says != SerialSays::Same) continue;
    own.push_back(h);
    if (h.recordId) records.insert(*h.recordId);
    if (!h.recordId && h.token) tokens.insert(*h.token);
  }
  std::vector<Candidate> candidates;
  for (long long id : records) {
    const Record* record = recordOf(facts.records, id);
    const auto holds = facts.ofRecord.find(id);
    if (record == nullptr || holds == facts.ofRecord.end() ||
        !shownWhole(pager, recordUses(*record))) {
      // A pager that had it for certain (a verified write, a read) is this one only when this
      // one shows it whole; one that may have been left part way (a failed write) is known by
      // the capcode in its row.
      std::erase_if(
          own, [id](const Hold& o) { return o.recordId == id && o.state == HolderState::Held; });
      continue;
    }
    const bool same = std::any_of(holds->second.begin(), holds->second.end(), [&](const Hold& h) {
      return serialOfHold(seen, h, record) == SerialSays::Same;
    });
    candidates.push_back({record, &holds->second, same, storedTime(record->at), id});
  }
  for (long long token : tokens) {
    const auto claims = facts.ofClaim.find(token);
    if (claims == facts.ofClaim.end() || !shownWhole(pager, claims->second)) continue;
    candidates.push_back({nullptr, &claims->second, false, claims->second.front().at, 0});
  }
  if (candidates.empty()) return own;
  const Candidate& chosen =
      *std::max_element(candidates.begin(), candidates.end(),
                        [](const Candidate& a, const Candidate& b) { return a.rank() < b.rank(); });
  for (const Candidate& c : candidates) {
    const bool onePager =
        &c == &chosen || (c.record && chosen.record && ofOneHistory(*c.record, *chosen.record));
    if (onePager) addSure(own, *c.holds);
  }
  return own;
}

bool shownExactly(const SeenPager& seen, const std::vector<RowUse>& uses, const PagerFacts& facts) {
  const bool ofRecord = std::any_of(facts.records.begin(), facts.records.end(), [&](const auto& e) {
    const auto holds = facts.ofRecord.find(e.first);
    return holds != facts.ofRecord.end() && showsPager(e.second) &&
           serialSays(seen.serial, e.second.serial) != SerialSays::Other &&
           sameRows(holds->second, uses);
  });
  return ofRecord || std::any_of(facts.ofClaim.begin(), facts.ofClaim.end(),
                                 [&](const auto& e) { return sameRows(e.second, uses); });
}

std::optional<Hold> inTheWay(const std::vector<Hold>& near, const RowUse& use,
                             const std::vector<Hold>& own, std::optional<long long> recordId,
                             std::optional<long long> writing) {
  for (const Hold& h : near) {  // individual holds first
    if (h.capcode != use.capcode || ours(h, own, recordId, writing)) continue;
    if (!use.individual && !h.individual) continue;  // group capcodes are shared
    return h;
  }
  return std::nullopt;
}

int groupHoldCount(const std::vector<Hold>& holds, const RowUse& use, const std::vector<Hold>& own,
                   std::optional<long long> writing) {
  return static_cast<int>(std::count_if(holds.begin(), holds.end(), [&](const Hold& h) {
    return h.capcode == use.capcode && !h.individual && !ours(h, own, std::nullopt, writing);
  }));
}

// Another pager with the same capcode in the same row, the very case of a capcode on two pagers,
// is not taken for the pager of `older`.
bool mayBeSamePager(const Record& older, const Record& later) {
  if (!showsPager(later)) return false;  // a write that failed may have left the pager as it was
  if (serialSays(older.serial, later.serial) == SerialSays::Other) return false;
  const auto had = pagerFound(later);
  return had && had->rows == recordRows(older);
}

bool decidedLater(const Record& record, const std::vector<Record>& later) {
  // A later read only saw what the pager had: the record that made it says which rows are its
  // own, and the read, applied after it, finds them so.
  return std::any_of(later.begin(), later.end(), [&record](const Record& r) {
    return (r.command != kReadCommand || record.command == kReadCommand) &&
           mayBeSamePager(record, r);
  });
}

std::vector<RowUse> notHeld(const std::vector<Hold>& ofRecord, const std::vector<RowUse>& uses) {
  std::vector<RowUse> left;
  std::copy_if(uses.begin(), uses.end(), std::back_inserter(left),
               [&](const RowUse& use) { return !amongRows(ofRecord, use); });
  return left;
}

HoldPlan applyPlan(const Record& record, const ApplyFacts& facts, const ApplyRule& rule) {
  HoldPlan plan;
  const bool maybe = mayHaveWritten(record);
  if (!showsPager(record) && !maybe) return plan;
  const auto found = pagerFound(record);
  std::vector<Hold> own;
  if (found) {
    for (const Hold& h : pagerHolds(*found, facts.pager)) {
      if (h.recordId != record.id) own.push_back(h);
    }
  }
  // A read of a pager whose holds are its own already, in the same rows, changes nothing; else
  // the pager's holds become the read's, so that they are found from its own again.
  if (record.command == kReadCommand && !rule.groupOnly &&
      shownExactly(*found, recordUses(record), facts.pager)) {
    return plan;
  }
  // A write that may have left the pager as it was lets nothing of it go.
  if (!rule.groupOnly && !maybe) letGo(plan, own, record, facts.pager, rule.history);
  for (RowUse use : notHeld(facts.ofRecord, recordUses(record))) {
    // A read only sees what the pager has: whether a row is its own alone is what the record
    // that gave it said, where it is the pager's.
    if (record.command == kReadCommand) {
      const auto given = std::find_if(own.begin(), own.end(),
                                      [&](const Hold& h) { return h.sure && sameRow(h, use); });
      if (given != own.end()) use.individual = given->individual;
    }
    if (rule.groupOnly && use.individual) continue;
    // A later word of the same pager decided it.
    if (rule.history && facts.decided.count(use.capcode)) continue;
    // Both pagers are known to have it: the other keeps its hold, this one gets its own.
    HoldPlan::Give give{use, std::nullopt};
    const auto other = inTheWay(facts.near, use, own, record.id, std::nullopt);
    if (other && !alreadyOpen(facts, record, use.capcode, other->recordId)) {
      give.conflict = {use.capcode, other->recordId, rule.what};
    }
    plan.given.push_back(give);
  }
  return plan;
}

HoldPlan settlePlan(const Record& record, long long token, const SettleFacts& facts) {
  HoldPlan plan;
  const std::vector<RowUse> uses = recordUses(record);
  std::vector<Hold> own;
  if (const auto found = pagerFound(record)) {
    // Found before the claims become held: the write's own claims are not the pager's holds.
    for (const Hold& h : pagerHolds(*found, facts.pager, token)) {
      if (h.recordId != record.id && h.token != token) own.push_back(h);
    }
  }
  letGo(plan, own, record, facts.pager, false);
  for (const Hold& claim : facts.claims) {
    (amongRows(uses, claim) ? plan.held : plan.abandoned).push_back(claim);
  }
  for (const RowUse& use : facts.left) {
    const auto other = inTheWay(facts.near, use, own, record.id, token);
    HoldPlan::Give give{use, std::nullopt};
    if (amongRows(facts.claimed, use)) {
      // Its claim was released by hand while the pager was written: the pager has the capcode
      // all the same, and perhaps another pager since.
      give.conflict = {use.capcode, other ? other->recordId : std::nullopt, kReleasedWhileWritten};
      plan.releasedWhileWritten.push_back(use.capcode);
    } else if (other) {  // a row the write gave without claiming it
      give.conflict = {use.capcode, other->recordId, kWrittenUnguarded};
    }
    plan.given.push_back(give);
  }
  return plan;
}

ReleasePlan releasePlan(const std::vector<Hold>& holds, bool force) {
  ReleasePlan plan;
  const auto live = std::find_if(holds.begin(), holds.end(),
                                 [](const Hold& h) { return h.writer == Liveness::Alive; });
  if (live != holds.end()) plan.liveClaim = *live;
  plan.refused = plan.liveClaim && !force;
  return plan;
}

bool claimOfJournalledWrite(const Hold& claim, const Record& record, const std::string& station) {
  if (!verifiedWrite(record)) return false;
  const long long at = storedTime(record.at);
  return claim.state == HolderState::Claimed && claim.station == station && !claim.underWay &&
         claim.at >= at && claim.at <= at + kClaimAfterStart;
}

}  // namespace ccp
