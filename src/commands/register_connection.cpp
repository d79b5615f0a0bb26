#include "commands/register_connection.h"

#include <filesystem>

#include "commands/pager_journal.h"
#include "register/register_csv.h"

namespace ccp {

RegisterConnection::RegisterConnection(std::string location, std::string station,
                                       std::string journalPath, RegisterCreation creation)
    : location_(std::move(location)),
      station_(std::move(station)),
      journalPath_(std::move(journalPath)),
      creation_(creation) {
  read();
}

void RegisterConnection::moveTo(std::string location, std::string station) {
  station_ = std::move(station);
  if (location == location_) return;
  close();
  location_ = std::move(location);
  read();
}

void RegisterConnection::read() {
  place_.reset();
  unreadable_.reset();
  if (location_.empty()) return;
  try {
    place_ = registerLocation(location_);
  } catch (const RegisterError& error) {
    unreadable_ = error;
  }
}

RegisterConnection::Command::Command(RegisterConnection& connection) : connection_(connection) {
  ++connection_.commands_;
}

RegisterConnection::Command::~Command() {
  if (--connection_.commands_ == 0) connection_.givenUp_.reset();
}

PagerRegister& RegisterConnection::get() {
  if (givenUp_) throw *givenUp_;
  if (register_) return *register_;
  if (location_.empty()) {
    throw RegisterError(RegisterFault::Invalid,
                        "No register: no data folder to keep one in, and none was named");
  }
  if (unreadable_) throw *unreadable_;
  std::error_code ec;  // a file that cannot be looked at is opened, and says why it cannot be
  if (creation_ == RegisterCreation::DoNotMake && place_->engine == Engine::SQLite &&
      !std::filesystem::exists(location_, ec) && !ec) {
    throw RegisterError(
        RegisterFault::Invalid,
        "No pager command has kept a record yet: there is no register at " + location_);
  }
  std::unique_ptr<PagerRegister> opened = opener(*place_);
  if (opened->status().versionFound == 0) importJournal(*opened);
  register_ = std::move(opened);
  return *register_;
}

RegisterConnection connectRegister(const RegisterUse& use, const std::string& dataFolder,
                                   RegisterCreation creation) {
  const bool takesJournal = creation == RegisterCreation::Make && !dataFolder.empty();
  return RegisterConnection(use.location, use.station,
                            takesJournal ? journalPathIn(dataFolder) : std::string(), creation);
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
    for (const std::string& line : holdOutcomeLines(imported.holds, words)) notice_ += "; " + line;
  } catch (const RegisterError& error) {
    notice_ = name + " was not taken into the new register (import it by hand): " + error.what();
  }
}

}  // namespace ccp
