#pragma once

// Windows whose writes are guarded, on registers the tests of both engines make.

#include <map>
#include <string>
#include <vector>

#include "records_fixture.h"

namespace ccp::test {

using Lines = std::vector<std::string>;
// Capcodes by row, 1-6.
using Rows = std::map<int, int>;

// The window's writes guarded (or not), on its own register or the one at `location`, as
// `station`.
inline void guard(RecordsFixture& rx, const std::string& station, const std::string& location = "",
                  RegisterSettings settings = {}, bool guarded = true) {
  const std::string where = location.empty() ? rx.records.registerUse().location : location;
  rx.records.setRegister(settings, {where, station, false, guarded});
}

// Each hold of the capcode: "station-2 held individual", "station-1 held group".
inline Lines holdersOf(RecordsFixture& rx, int capcode) {
  Lines holds;
  for (const Holder& h : rx.records.registerConnection().get().holders(capcode)) {
    holds.push_back(h.station + " " + holderStateName(h.state) +
                    (h.individual ? " individual" : " group"));
  }
  return holds;
}

// The capcodes the window will write, by row.
inline void setRows(RecordsFixture& rx, const Rows& rows) {
  for (const auto& [row, capcode] : rows) {
    rx.f().textField("address" + std::to_string(row)).setText(std::to_string(capcode));
  }
}

// A fresh pager plugged in, with these capcodes in its rows.
inline void plugIn(RecordsFixture& rx, const Rows& rows = {}) {
  PagerContents pager = defaultPagerContents(rx.fx.config);
  for (const auto& [row, capcode] : rows) writeAddress(pager.decoder, row, capcode, true);
  rx.fx.programmer.setEeprom(pager.eeprom);
  rx.fx.programmer.setDecoder(pager.decoder);
}

// A fresh pager plugged in, then Write to pager: its last log line.
inline std::string writeNewPager(RecordsFixture& rx) {
  plugIn(rx);
  rx.f().menuItem("WriteToPager").trigger();
  return rx.fx.lines().back();
}

// Another station's verified write gave `capcode` to a pager as its individual capcode, in the
// register at `location`.
inline std::string heldAtStation2(const std::string& location, int capcode) {
  RecordsFixture station2;
  guard(station2, "station-2", location);
  station2.f().textField("address1").setText(std::to_string(capcode));
  EXPECT_EQ(writeNewPager(station2), "Verify OK !");
  return location;
}

}  // namespace ccp::test
