#pragma once

// Pagers, writes and their records for the tests of holds: which rows a pager has, written by
// which station, and claims left by writers that ended.

#include "image/capcode.h"
#include "register/register_fixture.h"
#include "ports/process_liveness.h"

namespace ccp::test {

inline RowUse individual(int row, int capcode) {
  return {row, capcode, true};
}
inline RowUse group(int row, int capcode) {
  return {row, capcode, false};
}

// A pager with the capcodes in rows 1, 2, ... enabled; a row of 0 and the rows after them
// disabled, without a capcode.
inline PagerRows pagerWith(std::vector<int> capcodes) {
  PagerRows rows;
  for (std::size_t i = 0; i < capcodes.size(); ++i) {
    if (capcodes[i] == 0) continue;
    rows.capcodes[i] = capcodes[i];
    rows.enabled[i] = true;
  }
  return rows;
}

// The record of a command on a pager with these rows: "write" verified, or "read" completed;
// row 1 individual, the others group rows.
inline Record pagerCommand(const std::string& command, const std::string& station, int second,
                           const PagerRows& rows, const std::string& serial = "SN1") {
  Record r = testkit::writeRecord(station, at(second), "", serial);
  r.command = command;
  r.outcome = command == "read" ? "Read completed" : "Verify OK !";
  r.enabledRows.clear();
  for (int row = 1; row <= kAddressCount; ++row) {
    r.capcodes[row - 1] = rows.capcodes[row - 1] ? capcodeText(*rows.capcodes[row - 1]) : "";
    if (rows.enabled[row - 1]) r.enabledRows.push_back(row);
  }
  r.individualRows = {1};
  return r;
}

// "held row 1 by SN-A", "group claimed row 2 by station-2 (ended)": a hold with the serial of
// its record, or a claim with its station and whether its writer still runs.
inline std::string holdText(const Holder& h) {
  const std::string by = h.record ? h.record->serial : h.station;
  const std::string writer = h.state != HolderState::Claimed ? ""
                             : h.writer == Liveness::Alive   ? " (running)"
                                                             : " (ended)";
  return std::string(h.individual ? "" : "group ") + holderStateName(h.state) + " row " +
         std::to_string(h.row) + " by " + by + writer;
}

inline std::vector<std::string> holdsOf(PagerRegister& reg, int capcode) {
  std::vector<std::string> found;
  for (const Holder& h : reg.holders(capcode)) found.push_back(holdText(h));
  return found;
}

// The register's tests of holds, with pagers written and read through it.
class HoldTest : public RegisterTest {
 protected:
  // The claim of a write under way at `station`, granted.
  Writer claim(const std::string& station, int second, const std::vector<RowUse>& rows,
               const std::optional<SeenPager>& before = {}) {
    const Writer writer = newWriter(station);
    EXPECT_TRUE(reg().claimWrite(rows, writer, at(second), before).granted)
        << station << " at " << second;
    return writer;
  }
  // A guarded write of the pager as `station`, verified or failed once it sent: claimed,
  // recorded, settled.
  long long write(const std::string& station, int second, const PagerRows& rows,
                  const std::optional<SeenPager>& before = {}, const std::string& serial = "SN1",
                  WriteEnd end = WriteEnd::Verified) {
    Record record = pagerCommand("write", station, second, rows, serial);
    if (before) {
      record.pagerBefore = before->rows;
      record.serialBefore = before->serial;
    }
    const Writer writer = claim(station, second, recordUses(record), before);
    const long long id = reg().addRecord(record);
    reg().settle(writer, end, id, {station, at(second), {}});
    return id;
  }
  // A completed read of the pager, applied.
  HoldOutcome read(const std::string& station, int second, const PagerRows& rows,
                   const std::string& serial = "SN1") {
    const long long id = reg().addRecord(pagerCommand("read", station, second, rows, serial));
    return reg().apply(id, {station, at(second), {}});
  }
  // Claims as a write of a process that has ended since: its claims stay, nobody runs them. Its
  // session, and the lock that said the write runs, end before this returns.
  void leaveClaims(const std::string& station, int second, const std::vector<RowUse>& rows) {
    Writer ended = newWriter(station);
    ended.started += 1;  // not this process: one that had its id before
    openRegister(location_)->claimWrite(rows, ended, at(second), std::nullopt);
    for (const RowUse& use : rows) ASSERT_TRUE(writersEnded(reg(), use.capcode)) << use.capcode;
  }

  std::vector<std::string> states(int capcode) { return holdsOf(reg(), capcode); }
};

}  // namespace ccp::test
