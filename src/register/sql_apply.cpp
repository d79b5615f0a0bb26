// Records that show what a pager has, applied to the holds: one as its command ends, or a
// journal's lines taken in, none twice, in time order.
#include <algorithm>

#include "register/hold_book.h"
#include "register/sql_register.h"

namespace ccp {

namespace {

// A write claims its capcodes once its backup read, if any, is done: well within this.
constexpr long long kClaimAfterStart = 60;

}  // namespace

HoldOutcome SqlRegister::apply(long long recordId, const Stamp& by) {
  return guarded("applying record " + std::to_string(recordId), [&] {
    return session_.write([&] {
      const auto record = readRecord(session_, recordId);
      if (!record) {
        throw RegisterError(RegisterFault::Invalid,
                            "There is no record " + std::to_string(recordId));
      }
      HoldBook book(session_);
      book.lockCapcodes(HoldBook::lockModes(recordUses(*record)));
      ApplyRule rule;
      rule.what = record->command == "read" ? kReadFoundAnother : kWrittenUnguarded;
      rule.by = by;
      return book.apply(*record, rule);
    });
  });
}

PagerRegister::Imported SqlRegister::importRecords(const std::vector<Record>& records,
                                                   const Stamp& by) {
  return guarded("importing records", [&] {
    return session_.write([&] {
      Imported imported;
      std::vector<Record> added;
      for (std::size_t i = 0; i < records.size(); ++i) {
        if (journalledRecord(records[i])) continue;
        const auto inserted = insertRecordAlone(records[i], i, imported.refused);
        if (!inserted || !inserted->second) continue;
        added.push_back(records[i]);
        added.back().id = inserted->first;
      }
      imported.added = added.size();
      std::stable_sort(added.begin(), added.end(),
                       [](const Record& a, const Record& b) { return a.at < b.at; });
      HoldBook book(session_);
      std::vector<RowUse> uses;
      for (const Record& record : added) {
        for (const RowUse& use : recordUses(record)) uses.push_back(use);
      }
      book.lockCapcodes(HoldBook::lockModes(uses));
      const EventStamp stamp = storedStamp(by.station, by.at);
      // A claim that this station made for a write whose record went to the journal is that
      // write's: a verified write holds it now. A claim keeps its station as stored (stamp's).
      for (const Record& record : added) {
        if (record.command != "write" || record.outcome != kVerifiedLine ||
            record.station != by.station) {
          continue;
        }
        const long long at = storedTime(record.at);
        for (const RowUse& use : recordUses(record)) {
          std::vector<Hold> claims =
              book.where("capcode = " + std::to_string(use.capcode) +
                         " AND state = 'claimed' AND at >= " + std::to_string(at) +
                         " AND at <= " + std::to_string(at + kClaimAfterStart));
          book.judge(claims);
          for (const Hold& claim : claims) {
            if (claim.station != stamp.station || claim.writer == Liveness::Alive) continue;
            session_.sql() << "UPDATE holds SET state = 'held', address_row = :row, "
                              "at = :at, record_id = :record WHERE id = :id",
                soci::use(use.row, "row"), soci::use(stamp.at, "at"),
                soci::use(record.id, "record"), soci::use(claim.id, "id");
            book.event(use.capcode, use.individual ? "held" : "carried", stamp, record.id);
            imported.holds.heldClaims.push_back(use.capcode);
          }
        }
      }
      const LaterUses later(added);
      ApplyRule rule;
      rule.what = kImportedOnAnother;
      rule.history = true;
      rule.by = by;
      rule.later = &later;
      for (const Record& record : added) {
        HoldOutcome outcome = book.apply(record, rule);
        for (Conflict& c : outcome.conflicts) imported.holds.conflicts.push_back(std::move(c));
      }
      return imported;
    });
  });
}

}  // namespace ccp
