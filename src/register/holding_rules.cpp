#include "register/holding_rules.h"

#include <algorithm>
#include <iterator>
#include <string_view>

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

// The record shows the pager's own holds, in their rows, and nothing else.
bool sameHolds(const std::vector<Hold>& own, const Record& record) {
  const std::vector<RowUse> uses = recordUses(record);
  return std::all_of(uses.begin(), uses.end(),
                     [&](const RowUse& u) { return amongRows(own, u); }) &&
         std::all_of(own.begin(), own.end(), [&](const Hold& h) { return amongRows(uses, h); });
}

// Marks the holds sure and puts them in place of the same holds in `own`.
void addSure(std::vector<Hold>& own, std::vector<Hold> holds) {
  for (Hold& h : holds) {
    h.sure = true;
    std::erase_if(own, [&h](const Hold& o) { return o.id == h.id; });
    own.push_back(h);
  }
}

// The pager's own holds that the record no longer shows go, and those that it gives again are
// taken over by its holds; with `before`, only those of records older than that.
std::vector<HoldPlan::LetGo> letGo(const std::vector<Hold>& own, const Record& record,
                                   const std::map<long long, long long>* heldSince,
                                   std::optional<long long> before) {
  std::set<int> given;
  for (const RowUse& use : recordUses(record)) given.insert(use.capcode);
  std::vector<HoldPlan::LetGo> going;
  for (const Hold& h : own) {
    if (!h.sure) continue;  // perhaps another pager's: it stays
    if (before) {
      const auto since = heldSince->find(h.id);
      if ((since != heldSince->end() ? since->second : h.at) >= *before) continue;  // decided later
    }
    going.push_back({h, given.count(h.capcode) > 0});
  }
  return going;
}

}  // namespace

bool verifiedWrite(const Record& record) {
  return record.command == "write" && record.outcome == kVerifiedLine;
}

bool showsPager(const Record& record) {
  return verifiedWrite(record) ||
         (record.command == "read" && record.outcome == kReadCompletedLine);
}

bool mayHaveWritten(const Record& record) {
  // The lines of a write that failed or stopped once the decoder was being written.
  static constexpr std::string_view kSent[] = {kDecoderWriteFailedLine, kDecoderVerifyFailedLine,
                                               kEepromVerifyFailedLine, kEepromNotWrittenLine,
                                               kInterruptedLine};
  return record.command == "write" &&
         std::find(std::begin(kSent), std::end(kSent), record.outcome) != std::end(kSent);
}

std::string releasedWhileWrittenNote(int capcode) {
  return "Capcode " + capcodeText(capcode) +
         " was released while this pager was written: it may be on two pagers";
}

const char* givenEvent(const Record& record, bool individual) {
  if (mayHaveWritten(record)) return "failed";
  if (record.command == "read") return "found";
  return individual ? "held" : "carried";
}

std::vector<Hold> pagerHolds(const PagerRows& pager, const PagerFacts& facts,
                             std::optional<long long> writing) {
  std::vector<Hold> own;
  std::set<long long> records, tokens;
  for (const Hold& h : facts.individual) {
    // A capcode that may be on two pagers tells neither apart.
    if (facts.doubtful.count(h.capcode)) continue;
    const bool mayBeOnIt = h.state != HolderState::Claimed ||
                           (h.writer == Liveness::Ended && !(writing && h.token == writing));
    if (!mayBeOnIt || !hasInRow(pager, h.row, h.capcode)) continue;
    own.push_back(h);
    if (h.recordId) records.insert(*h.recordId);
    if (!h.recordId && h.token) tokens.insert(*h.token);
  }
  const auto shownWhole = [&pager](const auto& rows) {
    return std::all_of(rows.begin(), rows.end(),
                       [&pager](const auto& r) { return hasInRow(pager, r.row, r.capcode); });
  };
  // The holds of a record, or of a dead write's claims, whose every row the pager shows: all of
  // them are the pager's, surely.
  for (long long id : records) {
    const auto record = facts.records.find(id);
    if (record == facts.records.end() || !shownWhole(recordUses(record->second))) {
      // A pager that had it for certain (a verified write, a read) is this one only when this
      // one shows it whole; one that may have been left part way (a failed write) is known by
      // the capcode in its row.
      std::erase_if(
          own, [id](const Hold& o) { return o.recordId == id && o.state == HolderState::Held; });
      continue;
    }
    const auto holds = facts.ofRecord.find(id);
    if (holds != facts.ofRecord.end()) addSure(own, holds->second);
  }
  for (long long token : tokens) {
    const auto claims = facts.ofClaim.find(token);
    if (claims != facts.ofClaim.end() && shownWhole(claims->second)) addSure(own, claims->second);
  }
  return own;
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

std::optional<PagerRows> pagerFound(const Record& record) {
  return record.command == "read" ? std::optional(recordRows(record)) : record.pagerBefore;
}

// Another pager with the same capcode in the same row, the very case of a capcode on two pagers,
// is not taken for the pager of `older`.
bool mayBeSamePager(const Record& older, const Record& later) {
  if (!showsPager(later)) return false;  // a write that failed may have left the pager as it was
  if (!older.serial.empty() && !later.serial.empty() && older.serial != later.serial) return false;
  const std::optional<PagerRows> had = pagerFound(later);
  return had && *had == recordRows(older);
}

bool decidedLater(const Record& record, const std::vector<Record>& later) {
  // A later read only saw what the pager had: the record that made it says which rows are its
  // own, and the read, applied after it, finds them so.
  return std::any_of(later.begin(), later.end(), [&record](const Record& r) {
    return (r.command != "read" || record.command == "read") && mayBeSamePager(record, r);
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
  // A read of a pager whose holds are its own already, in the same rows, changes nothing; else
  // the pager's holds become the read's, so that they are found from its own again.
  if (record.command == "read" && !rule.groupOnly && !facts.own.empty() &&
      sameHolds(facts.own, record)) {
    return plan;
  }
  // A write that may have left the pager as it was lets nothing of it go.
  if (!rule.groupOnly && !maybe) {
    plan.letGo = letGo(facts.own, record, &facts.heldSince,
                       rule.history ? std::optional(storedTime(record.at)) : std::nullopt);
  }
  for (const RowUse& use : notHeld(facts.ofRecord, recordUses(record))) {
    if (rule.groupOnly && use.individual) continue;
    // A later word of the same pager decided it.
    if (rule.history && facts.decided.count(use.capcode)) continue;
    // Both pagers are known to have it: the other keeps its hold, this one gets its own.
    HoldPlan::Give give{use, std::nullopt};
    if (const auto other = inTheWay(facts.near, use, facts.own, record.id, std::nullopt)) {
      give.conflict = {use.capcode, other->recordId, rule.what};
    }
    plan.given.push_back(give);
  }
  return plan;
}

HoldPlan settlePlan(const Record& record, long long token, const SettleFacts& facts) {
  HoldPlan plan;
  const std::vector<RowUse> uses = recordUses(record);
  plan.letGo = letGo(facts.own, record, nullptr, std::nullopt);
  for (const Hold& claim : facts.claims) {
    (amongRows(uses, claim) ? plan.held : plan.abandoned).push_back(claim);
  }
  for (const RowUse& use : facts.left) {
    const auto other = inTheWay(facts.near, use, facts.own, record.id, token);
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
  return claim.state == HolderState::Claimed && claim.station == station &&
         claim.writer != Liveness::Alive && claim.at >= at && claim.at <= at + kClaimAfterStart;
}

}  // namespace ccp
