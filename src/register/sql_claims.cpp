// A write's claims of the rows it is about to give, all or none, and their settling as it ends.
#include <algorithm>

#include "image/capcode.h"
#include "image/plain_text.h"
#include "register/hold_book.h"
#include "register/sql_register.h"

namespace ccp {

namespace {

std::set<int> capcodesOf(const std::vector<RowUse>& rows) {
  std::set<int> capcodes;
  for (const RowUse& use : rows) capcodes.insert(use.capcode);
  return capcodes;
}

std::string capcodeList(const std::set<int>& capcodes) {
  std::vector<std::string> texts;
  for (int capcode : capcodes) texts.push_back(capcodeText(capcode));
  return joined(texts, ", ");
}

}  // namespace

ClaimResult SqlRegister::claimWrite(const std::vector<RowUse>& rows, const Writer& writer,
                                    WallTime at, const std::optional<PagerRows>& inProgrammer) {
  const std::set<int> capcodes = capcodesOf(rows);
  try {
    const ClaimResult result = guarded("claiming capcodes " + capcodeList(capcodes), [&] {
      return session_.write([&]() -> ClaimResult {
        HoldBook book(session_);
        book.lockCapcodes(capcodes);
        const std::vector<Hold> own =
            inProgrammer ? book.ownHolds(*inProgrammer, writer.token) : std::vector<Hold>{};
        for (const RowUse& use : rows) {
          // Only this pager may have an individual capcode; a group capcode any pager may carry,
          // but none as its own.
          const auto other = book.inTheWay(use, own, std::nullopt, writer.token);
          if (!other) continue;
          const auto groupHolds = book.groupHolds(use.capcode, own, writer.token);
          const Refusal refusal{use, book.holder(*other), static_cast<int>(groupHolds)};
          return {false, refusal.inTheWay, refusal};
        }
        const EventStamp stamp{writer.station, storedTime(at), {}};
        for (const RowUse& use : rows) {
          Hold claim;
          claim.capcode = use.capcode;
          claim.row = use.row;
          claim.individual = use.individual;
          claim.station = writer.station;
          claim.at = stamp.at;
          claim.host = writer.host;
          claim.pid = writer.pid;
          claim.started = writer.started;
          claim.token = writer.token;
          book.add(claim);
          book.event(use.capcode, "claimed", stamp, std::nullopt);
        }
        holdToken(writer.token);  // before the commit: the claims are never seen ended
        return {true, std::nullopt, std::nullopt};
      });
    });
    if (result.granted) {
      auto& claimed = unsettled_[writer.token];
      claimed.insert(claimed.end(), rows.begin(), rows.end());
    }
    return result;
  } catch (...) {
    if (!unsettled_.count(writer.token)) dropToken(writer.token);
    throw;
  }
}

HoldOutcome SqlRegister::settle(const Writer& writer, WriteEnd end,
                                std::optional<long long> recordId, const Stamp& by) {
  const long long token = writer.token;
  const auto memory = unsettled_.find(token);
  const std::optional<std::vector<RowUse>> claimed =
      memory != unsettled_.end() ? std::optional(memory->second) : std::nullopt;
  // However the settling goes, the write has ended: its claims no longer say it runs.
  struct Ended {
    SqlRegister& reg;
    long long token;
    ~Ended() {
      reg.unsettled_.erase(token);
      reg.dropToken(token);
    }
  } ended{*this, token};
  return guarded("settling the claims of a write", [&] {
    return session_.write([&]() -> HoldOutcome {
      HoldBook book(session_);
      const EventStamp stamp{by.station, storedTime(by.at), by.note};
      std::optional<Record> record;
      if (recordId) {
        record = readRecord(session_, *recordId);
        if (!record) {
          throw RegisterError(RegisterFault::Invalid,
                              "There is no record " + std::to_string(*recordId));
        }
      }
      if (!record && end != WriteEnd::Abandoned) {
        // Its record went elsewhere (the journal): the claims stay, of a writer that ended,
        // until the journal is imported or they are released.
        session_.sql() << "UPDATE holds SET writer_pid = 0 WHERE claim_token = :token "
                          "AND state = 'claimed'",
            soci::use(token, "token");
        return {};
      }
      if (record) book.lockCapcodes(capcodesOf(recordUses(*record)));
      const std::vector<Hold> claims = book.ofToken(token);
      switch (end) {
        case WriteEnd::Abandoned:
          for (const Hold& claim : claims) book.remove(claim, "abandoned", stamp);
          return {};
        case WriteEnd::Failed:
          for (const Hold& claim : claims) {
            session_.sql() << "UPDATE holds SET state = 'failed', at = :at, record_id = :record "
                              "WHERE id = :id",
                soci::use(stamp.at, "at"), soci::use(record->id, "record"),
                soci::use(claim.id, "id");
            book.event(claim.capcode, "failed", stamp, record->id);
          }
          return {};
        case WriteEnd::Verified:
          break;
      }
      // What this write claimed; when this register did not make the claims, what it wrote.
      const std::vector<RowUse> rows = claimed          ? *claimed
                                       : claims.empty() ? std::vector<RowUse>{}
                                                        : recordUses(*record);
      return book.settleVerified(*record, claims, rows, token, by);
    });
  });
}

}  // namespace ccp
