// A write's claims of the rows it is about to give, all or none, and their settling as it ends.
#include <algorithm>

#include "image/capcode.h"
#include "image/plain_text.h"
#include "register/hold_book.h"
#include "register/sql_register.h"

namespace ccp {

namespace {

// How often a claim looks again when a hold came between its look and its locks.
constexpr int kLooks = 20;

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

// The first row of the write that another pager's hold is in the way of, and that hold; with
// `quick`, only whether there is one, the hold not judged nor its record read.
std::optional<ClaimResult> refusal(HoldBook& book, const std::vector<RowUse>& rows,
                                   const Writer& writer,
                                   const std::optional<PagerRows>& inProgrammer,
                                   bool quick = false) {
  const std::vector<Hold> own =
      inProgrammer ? book.ownHolds(*inProgrammer, writer.token) : std::vector<Hold>{};
  const std::vector<Hold> near = book.around(rows);
  for (const RowUse& use : rows) {
    // Only this pager may have an individual capcode; a group capcode any pager may carry, but
    // none as its own.
    const auto other = book.inTheWay(near, use, own, std::nullopt, writer.token, !quick);
    if (!other) continue;
    if (quick) return ClaimResult{};
    const auto groupHolds = book.groupHolds(near, use, own, writer.token);
    const Refusal refused{use, book.holder(*other), static_cast<int>(groupHolds)};
    return ClaimResult{false, refused};
  }
  return std::nullopt;
}

}  // namespace

ClaimResult SqlRegister::claimWrite(const std::vector<RowUse>& rows, const Writer& writer,
                                    WallTime at, const std::optional<PagerRows>& inProgrammer) {
  const std::set<int> capcodes = capcodesOf(rows);
  try {
    const ClaimResult result = guarded("claiming capcodes " + capcodeList(capcodes), [&] {
      HoldBook book(session_);
      for (int look = 0; look < kLooks; ++look) {
        // A hold in the way now refuses the write as well as it would under the locks; looked
        // at without them, so that stations looking at the same capcodes never wait for it.
        if (auto refused = refusal(book, rows, writer, inProgrammer)) return *refused;
        const bool granted = session_.write([&] {
          book.lockCapcodes(HoldBook::lockModes(rows));
          // A hold that came meanwhile: the locks go at once, and the look says whose it is.
          if (refusal(book, rows, writer, inProgrammer, true)) return false;
          book.addClaims(rows, writer, {writer.station, storedTime(at), {}});
          holdToken(writer.token);  // before the commit: the claims are never seen ended
          return true;
        });
        if (granted) return ClaimResult{true, std::nullopt};
      }
      throw RegisterError(RegisterFault::Busy, "The capcodes kept changing holders: try again");
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
      const EventStamp stamp = storedStamp(by.station, by.at, by.note);
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
      // Claims that become held or failed, or go, keep others out no less than before: only
      // the rows a verified write gives without a claim take the capcodes' locks.
      if (end == WriteEnd::Verified) {
        // What this write claimed; when this register did not make the claims, what it wrote.
        const std::vector<RowUse> rows = claimed                       ? *claimed
                                         : book.ofToken(token).empty() ? std::vector<RowUse>{}
                                                                       : recordUses(*record);
        return book.settleVerified(*record, rows, token, by);
      }
      for (const Hold& claim : book.ofToken(token)) {
        if (end == WriteEnd::Abandoned) {
          book.remove(claim, "abandoned", stamp);
          continue;
        }
        session_.sql() << "UPDATE holds SET state = 'failed', at = :at, record_id = :record "
                          "WHERE id = :id",
            soci::use(stamp.at, "at"), soci::use(record->id, "record"), soci::use(claim.id, "id");
        book.event(claim.capcode, "failed", stamp, record->id);
      }
      return {};
    });
  });
}

}  // namespace ccp
