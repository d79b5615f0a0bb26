// A write's claims of the rows it is about to give, all or none, and their settling as it ends.
#include <algorithm>

#include "image/capcode.h"
#include "image/plain_text.h"
#include "register/hold_steps.h"
#include "register/record_table.h"
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

}  // namespace

ClaimResult SqlRegister::claimWrite(const std::vector<RowUse>& rows, const Writer& writer,
                                    WallTime at, const std::optional<SeenPager>& inProgrammer) {
  const std::set<int> capcodes = capcodesOf(rows);
  try {
    const ClaimResult result = guarded("claiming capcodes " + capcodeList(capcodes), [&] {
      HoldSteps steps(session_);
      for (int look = 0; look < kLooks; ++look) {
        // A hold in the way now refuses the write as well as it would under the locks; looked
        // at without them, so that stations looking at the same capcodes never wait for it.
        if (auto refused = steps.refusal(rows, writer.token, inProgrammer)) {
          return ClaimResult{false, std::move(refused)};
        }
        const bool granted = session_.write([&] {
          steps.tables().lockCapcodes(HoldTables::lockModes(rows));
          // A hold that came meanwhile: the locks go at once, and the look says whose it is.
          if (steps.refusal(rows, writer.token, inProgrammer, true)) return false;
          steps.tables().addClaims(rows, writer, {writer.station, at, {}});
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
    letTokenGo(writer.token);
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
      reg.letTokenGo(token);  // kept while a row of a list is taken for the write
    }
  } ended{*this, token};
  return guarded("settling the claims of a write", [&] {
    return session_.write([&]() -> HoldOutcome {
      HoldSteps steps(session_);
      HoldTables& tables = steps.tables();
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
        tables.endClaims(token);
        return {};
      }
      // Claims that become held or failed, or go, keep others out no less than before: only
      // the rows a verified write gives without a claim take the capcodes' locks.
      if (end == WriteEnd::Verified) {
        // What this write claimed; when this register did not make the claims, what it wrote.
        const std::vector<RowUse> rows = claimed                          ? *claimed
                                         : tables.claimsOf(token).empty() ? std::vector<RowUse>{}
                                                                          : recordUses(*record);
        return steps.settleVerified(*record, rows, token, by);
      }
      for (const Hold& claim : tables.claimsOf(token)) {
        if (end == WriteEnd::Abandoned) {
          tables.remove(claim, "abandoned", by);
        } else {
          tables.failClaim(claim, record->id, by);
        }
      }
      return {};
    });
  });
}

}  // namespace ccp
