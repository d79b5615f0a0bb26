#pragma once

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "commands/pager_records.h"
#include "files/csv_reader.h"
#include "files/temp_folder.h"
#include "image/capcode.h"
#include "image/checksum.h"
#include "pager_fixture.h"
#include "register/register_csv.h"

namespace ccp::test {

using namespace std::chrono_literals;

// 2026-12-07 11:30:05, shown in UTC.
inline const WallTime kNow =
    std::chrono::sys_days{std::chrono::year{2026} / 12 / 7} + 11h + 30min + 5s;

// The register's records as the journal's lines, oldest first after the journal's header: its
// export without the holder's column.
inline std::vector<CsvRow> recordRows(PagerRegister& pagerRegister) {
  const TempFolder folder;
  const std::string path = folder.file("records.csv");
  exportRecords(pagerRegister, path);
  std::vector<CsvRow> rows = readCsv(path);
  for (CsvRow& row : rows) row.pop_back();
  return rows;
}

// A started window on the simulator with records kept in a temporary data folder.
struct RecordsFixture {
  explicit RecordsFixture(BuildConfig config = kE) : fx(config), records(dir.file("data")) {
    setenv("TZ", "UTC", 1);
    tzset();
    records.now = [] { return kNow; };
    records.onNotice = [this](const std::string& text) { notices.push_back(text); };
    bindPagerRecords(fx.f(), records);
  }
  TForm1& f() { return fx.f(); }
  // The records kept, as journal lines.
  std::vector<CsvRow> journal() { return recordRows(records.registerConnection().get()); }
  std::size_t backups() const {
    namespace fs = std::filesystem;
    std::error_code ec;
    auto it = fs::directory_iterator(records.backupFolder(), ec);
    return ec ? 0 : static_cast<std::size_t>(std::distance(it, fs::directory_iterator{}));
  }

  // The pager as the last write left it: serial 12345678, capcode 1 0123456, contrast 40.
  void preparePager() {
    EepBlock eep = fx.pagerEeprom();
    std::copy_n("12345678", 8, eep.begin() + 0x01);
    eep[0x21] = 40;
    storeChecksum(eep);
    fx.programmer.setEeprom(eep);
    DecoderBlock decoder = fx.pagerDecoder();
    writeAddress(decoder, 1, 123456, true);
    fx.programmer.setDecoder(decoder);
  }

  // The station's register goes away: every call to it fails as a server away does. Or it comes
  // back, and the journal the station kept meanwhile is taken into the register at `location`.
  void loseRegister() {
    records.registerConnection().close();
    records.registerConnection().opener =
        [](const RegisterLocation&) -> std::unique_ptr<PagerRegister> {
      throw RegisterError(RegisterFault::Unreachable, "the server is away");
    };
  }
  void regainRegister(const std::string& location, const std::string& station) {
    records.registerConnection().close();
    records.registerConnection().opener = [](const RegisterLocation& at) {
      return openRegister(at);
    };
    if (std::filesystem::exists(records.journalPath())) {
      importJournal(*openRegister(location), records.journalPath(), station);
      std::filesystem::remove(records.journalPath());
    }
  }

  TempFolder dir;
  PagerFixture fx;
  PagerRecords records;
  std::vector<std::string> notices;
};

}  // namespace ccp::test
