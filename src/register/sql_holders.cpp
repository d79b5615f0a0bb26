// Who holds each capcode, the claims of writes and their writers, releases by hand, conflicts,
// and the history of every change.
#include "register/hold_book.h"
#include "register/sql_register.h"
#include "register/stored_text.h"

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
    HoldBook book(session_);
    std::vector<Hold> holds = book.ofCapcodes({capcode});
    book.judge(holds);
    return book.holders(holds);
  });
}

std::vector<Holder> SqlRegister::claims() {
  return guarded("reading the claims", [&] {
    HoldBook book(session_);
    std::vector<Hold> holds = book.where("state IN ('claimed', 'failed')", "at DESC, id DESC");
    book.judge(holds);
    return book.holders(holds);
  });
}

ReleaseResult SqlRegister::release(int capcode, const Stamp& by, bool force) {
  return guarded("releasing capcode " + std::to_string(capcode), [&] {
    return session_.write([&] {
      HoldBook book(session_);
      book.lockCapcodes({{capcode, true}});
      std::vector<Hold> holds = book.ofCapcodes({capcode});
      book.judge(holds);
      ReleaseResult result;
      for (const Hold& h : holds) {
        if (h.writer == Liveness::Alive && !result.liveClaim) result.liveClaim = book.holder(h);
      }
      if (result.liveClaim && !force) return result;
      const EventStamp stamp = storedStamp(by.station, by.at, by.note);
      result.released = book.holders(holds);
      for (const Hold& h : holds) book.remove(h, "released", stamp);
      book.closeConflicts("capcode = " + std::to_string(capcode), stamp);
      if (result.liveClaim) {
        // The pager being written will have it all the same.
        book.conflict(capcode, {stamp.station, stamp.at, {}}, std::nullopt, std::nullopt,
                      kReleasedWhileBeingWritten + result.liveClaim->station);
      }
      return result;
    });
  });
}

namespace {

// The conflicts `condition` (SQL on the conflicts table, numbers only; none: all) lets through,
// newest first, within the caller's transaction.
std::vector<Conflict> readConflicts(SqlSession& session, const std::string& condition) {
  Conflict c;
  long long at = 0, record = 0, other = 0, closedAt = 0;
  soci::indicator recordKnown = soci::i_null, otherKnown = soci::i_null, closedKnown = soci::i_null;
  soci::statement statement(session.sql());
  statement.exchange(soci::into(c.id));
  statement.exchange(soci::into(c.capcode));
  statement.exchange(soci::into(at));
  statement.exchange(soci::into(c.station));
  statement.exchange(soci::into(record, recordKnown));
  statement.exchange(soci::into(other, otherKnown));
  statement.exchange(soci::into(c.what));
  statement.exchange(soci::into(closedAt, closedKnown));
  statement.exchange(soci::into(c.closedBy));
  statement.exchange(soci::into(c.note));
  prepareStatement(statement,
                   "SELECT id, capcode, at, station, record_id, other_record_id, what, closed_at, "
                   "closed_by, note FROM conflicts" +
                       (condition.empty() ? "" : " WHERE " + condition) +
                       " ORDER BY at DESC, id DESC",
                   true);
  std::vector<Conflict> found;
  if (statement.execute(true)) {
    do {
      c.at = wallTime(at);
      c.recordId = known(record, recordKnown);
      c.otherRecordId = known(other, otherKnown);
      c.closedAt = closedKnown == soci::i_ok ? std::optional(wallTime(closedAt)) : std::nullopt;
      found.push_back(c);
      Conflict& shown = found.back();
      for (std::string* text : {&shown.station, &shown.what, &shown.closedBy, &shown.note}) {
        *text = textOf(*text);
      }
    } while (statement.fetch());
  }
  return found;
}

}  // namespace

std::vector<Conflict> SqlRegister::conflicts(bool closedToo) {
  return guarded("reading the conflicts",
                 [&] { return readConflicts(session_, closedToo ? "" : "closed_at IS NULL"); });
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
      std::vector<Conflict> closed = readConflicts(session_, which);
      if (closed.empty()) return closed;
      std::vector<long long> ids;
      for (Conflict& c : closed) {
        ids.push_back(c.id);
        c.closedAt = WallTime(std::chrono::floor<std::chrono::seconds>(by.at));
        c.closedBy = by.station;
        c.note = by.note;
      }
      HoldBook(session_).closeConflicts("id IN (" + numberList(ids) + ")",
                                        storedStamp(by.station, by.at, by.note));
      return closed;
    });
  });
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
        event.recordId = known(recordId, recordKnown);
        events.push_back(event);
        events.back().station = textOf(event.station);
        events.back().note = textOf(event.note);
      } while (statement.fetch());
    }
    return events;
  });
}

}  // namespace ccp
