#include "commands/register_connection.h"

#include <filesystem>

#include "register/register_csv.h"

namespace ccp {

RegisterConnection::RegisterConnection(std::string location, std::string station,
                                       std::string journalPath)
    : location_(std::move(location)),
      station_(std::move(station)),
      journalPath_(std::move(journalPath)) {}

void RegisterConnection::moveTo(std::string location, std::string station) {
  if (location != location_) close();
  location_ = std::move(location);
  station_ = std::move(station);
}

PagerRegister& RegisterConnection::get() {
  if (register_) return *register_;
  if (location_.empty()) {
    throw RegisterError(RegisterFault::Invalid,
                        "No register: no data folder to keep one in, and none was named");
  }
  std::unique_ptr<PagerRegister> opened = opener(location_);
  if (opened->status().versionFound == 0) importJournal(*opened);
  register_ = std::move(opened);
  return *register_;
}

void RegisterConnection::importJournal(PagerRegister& opened) {
  std::error_code ec;
  if (journalPath_.empty() || !std::filesystem::is_regular_file(journalPath_, ec)) return;
  const std::string name = std::filesystem::path(journalPath_).filename().string();
  try {
    const ImportResult imported = ccp::importJournal(opened, journalPath_, station_);
    if (imported.lines == 0) return;  // a journal begun for a record that never came
    notice_ = name + " taken into the new register: " + std::to_string(imported.added) +
              (imported.added == 1 ? " record" : " records");
  } catch (const RegisterError& error) {
    notice_ = name + " was not taken into the new register (import it by hand): " + error.what();
  }
}

}  // namespace ccp
