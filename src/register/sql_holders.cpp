// Who holds each capcode: claims, their outcome, releases, and the history of every change.
#include "register/sql_register.h"

namespace ccp {

namespace {

struct MoveRule {
  const char* event;  // as the history keeps it
  bool needsRecord;
  const char* sql;  // binds :capcode, and :station, :at, :record where it names them
};

// The pager of the record holds the capcode now, whoever held it before, unless a write is
// under way.
constexpr const char* kTakeUnlessClaimed =
    "INSERT INTO holders (capcode, state, station, at, record_id) "
    "VALUES (:capcode, 'held', :station, :at, :record) ON CONFLICT (capcode) DO UPDATE "
    "SET state = 'held', station = excluded.station, at = excluded.at, "
    "record_id = excluded.record_id WHERE holders.state <> 'claimed'";

// Indexed by HolderMove. A move applies to a capcode when its statement changes a row.
constexpr MoveRule kMoveRules[] = {
    {"held", true,
     "UPDATE holders SET state = 'held', at = :at, record_id = :record "
     "WHERE capcode = :capcode AND state = 'claimed' AND station = :station"},
    {"failed", true,
     "UPDATE holders SET state = 'failed', at = :at, record_id = :record "
     "WHERE capcode = :capcode AND state = 'claimed' AND station = :station"},
    {"abandoned", false,
     "DELETE FROM holders WHERE capcode = :capcode AND state = 'claimed' AND station = :station"},
    {"found", true, kTakeUnlessClaimed},
    {"dropped", false, "DELETE FROM holders WHERE capcode = :capcode AND state <> 'claimed'"},
    {"released", false, "DELETE FROM holders WHERE capcode = :capcode"},
    {"written", true, kTakeUnlessClaimed},
};
static_assert(std::size(kMoveRules) == static_cast<std::size_t>(HolderMove::Written) + 1);

}  // namespace

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

std::optional<Holder> SqlRegister::readHolder(int capcode) {
  std::string state, station;
  long long at = 0, recordId = 0;
  soci::indicator recordKnown = soci::i_null;
  session_.sql() << "SELECT state, station, at, record_id FROM holders WHERE capcode = :capcode",
      soci::use(capcode, "capcode"), soci::into(state), soci::into(station), soci::into(at),
      soci::into(recordId, recordKnown);
  if (!session_.sql().got_data()) return std::nullopt;
  Holder holder;
  holder.capcode = capcode;
  holder.state = holderStateNamed(state);
  holder.station = station;
  holder.at = wallTime(at);
  if (recordKnown == soci::i_ok) holder.record = recordWithId(recordId);
  return holder;
}

void SqlRegister::addEvent(int capcode, const std::string& event, const Stamp& by,
                           std::optional<long long> recordId) {
  Prepared& p = *prepared_;
  p.capcode = capcode;
  p.event = event;
  p.station = by.station;
  p.at = storedTime(by.at);
  p.eventRecord = recordId.value_or(0);
  p.eventRecordKnown = recordId ? soci::i_ok : soci::i_null;
  p.note = by.note;
  p.addEvent.execute(true);
}

bool SqlRegister::takeOver(int capcode, const Holder& current, const Stamp& by) {
  std::string station = by.station;
  long long at = storedTime(by.at);
  soci::statement statement =
      (session_.sql().prepare << "UPDATE holders SET state = 'claimed', station = :station, "
                                 "at = :at, record_id = NULL "
                                 "WHERE capcode = :capcode AND state <> 'claimed'",
       soci::use(station, "station"), soci::use(at, "at"), soci::use(capcode, "capcode"));
  statement.execute(true);
  if (statement.get_affected_rows() == 0) return false;
  Stamp stamp = by;
  stamp.note = std::string("from ") + holderStateName(current.state) + " at " + current.station;
  addEvent(capcode, "taken over", stamp,
           current.record ? std::optional(current.record->id) : std::nullopt);
  return true;
}

ClaimResult SqlRegister::claim(int capcode, const Stamp& by, Takeover takeover) {
  return guarded("claiming capcode " + std::to_string(capcode), [&] {
    return session_.write([&]() -> ClaimResult {
      Prepared& p = *prepared_;
      // A holder may go between the refused insert and the look at it: then try again.
      for (int attempt = 0; attempt < 3; ++attempt) {
        p.capcode = capcode;
        p.station = by.station;
        p.at = storedTime(by.at);
        p.claim.execute(true);
        if (p.claim.get_affected_rows() > 0) {
          addEvent(capcode, "claimed", by, std::nullopt);
          return {true, std::nullopt, std::nullopt};
        }
        const auto current = readHolder(capcode);
        if (!current) continue;
        if (takeover == Takeover::HeldOrFailed && current->state != HolderState::Claimed &&
            takeOver(capcode, *current, by)) {
          return {true, std::nullopt, std::nullopt};
        }
        return {false, current, std::nullopt};
      }
      throw RegisterError(RegisterFault::Busy, "Capcode " + std::to_string(capcode) +
                                                   " kept changing holders: try again");
    });
  });
}

std::vector<int> SqlRegister::move(HolderMove move, const std::vector<int>& capcodes,
                                   const Stamp& by, std::optional<long long> recordId) {
  const MoveRule& rule = kMoveRules[static_cast<int>(move)];
  if (rule.needsRecord && !recordId) {
    throw RegisterError(RegisterFault::Invalid,
                        std::string("Capcodes become ") + rule.event + " only with a record");
  }
  return guarded(std::string("marking capcodes ") + rule.event, [&] {
    return session_.write([&] {
      int capcode = 0;
      std::string station = by.station;
      long long at = storedTime(by.at);
      long long record = recordId.value_or(0);
      const std::string text = rule.sql;
      soci::statement statement(session_.sql());
      statement.exchange(soci::use(capcode, "capcode"));
      if (text.find(":station") != std::string::npos) {
        statement.exchange(soci::use(station, "station"));
      }
      if (text.find(":at") != std::string::npos) statement.exchange(soci::use(at, "at"));
      if (text.find(":record") != std::string::npos) {
        statement.exchange(soci::use(record, "record"));
      }
      prepareStatement(statement, text);
      std::vector<int> left;
      for (int each : capcodes) {
        capcode = each;
        statement.execute(true);
        if (statement.get_affected_rows() > 0) {
          addEvent(each, rule.event, by, recordId);
        } else {
          left.push_back(each);
        }
      }
      return left;
    });
  });
}

std::optional<Holder> SqlRegister::holder(int capcode) {
  return guarded("reading the holder of capcode " + std::to_string(capcode),
                 [&] { return readHolder(capcode); });
}

std::vector<HolderEvent> SqlRegister::history(int capcode) {
  return guarded("reading the history of capcode " + std::to_string(capcode), [&] {
    HolderEvent event;
    long long at = 0, recordId = 0;
    soci::indicator recordKnown = soci::i_null;
    soci::statement statement =
        (session_.sql().prepare << "SELECT id, event, station, at, record_id, note "
                                   "FROM holder_history WHERE capcode = :capcode ORDER BY id DESC",
         soci::use(capcode, "capcode"), soci::into(event.id), soci::into(event.event),
         soci::into(event.station), soci::into(at), soci::into(recordId, recordKnown),
         soci::into(event.note));
    std::vector<HolderEvent> events;
    if (statement.execute(true)) {
      do {
        event.capcode = capcode;
        event.at = wallTime(at);
        event.recordId = recordKnown == soci::i_ok ? std::optional(recordId) : std::nullopt;
        events.push_back(event);
      } while (statement.fetch());
    }
    return events;
  });
}

}  // namespace ccp
