#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "commands/holder_lines.h"
#include "commands/register_settings.h"
#include "register/pager_register.h"

namespace ccp {

// Whether a connection may make the register it names.
enum class RegisterCreation {
  Make,      // the pager commands and the register commands of ccp: a first record makes it
  DoNotMake  // views of the register: a station's own register that is not there is not made
};

// The pager register of a face, opened when first needed and again after any fault, so that a
// register that was away (a server, a full disk) is used again as soon as it is back. The open
// that makes the register imports this station's journal into it, once: its lines become the
// station's first records, and the file is left in place.
class RegisterConnection {
 public:
  using Opener = std::function<std::unique_ptr<PagerRegister>(const RegisterLocation& location)>;

  // An empty location: no register (no data folder and none named). No journal path: none is
  // taken in.
  RegisterConnection(std::string location, std::string station, std::string journalPath,
                     RegisterCreation creation = RegisterCreation::Make);

  const std::string& location() const { return location_; }
  const std::string& station() const { return station_; }
  bool named() const { return !location_.empty(); }
  // Another register or station; the open one is closed when the location changes.
  void moveTo(std::string location, std::string station);

  // One pager command, while it lasts: a server that could not be reached, did not answer, or
  // whose wait was stopped, is not asked again within it. Its later calls fail at once with the
  // same reason, so a command waits for a silent server once, not at each of its calls; the
  // next command asks again.
  class Command {
   public:
    explicit Command(RegisterConnection& connection);
    ~Command();
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

   private:
    RegisterConnection& connection_;
  };

  // The register, opened if it is not: RegisterError when it cannot be.
  PagerRegister& get();
  // Runs `body` on the register. A RegisterError closes it, then goes on to the caller.
  template <class Body>
  auto use(Body&& body) -> std::invoke_result_t<Body, PagerRegister&>;
  void close() { register_.reset(); }

  // What opening had to say once (the journal imported, and what its records found), then empty.
  std::string takeNotice() { return std::exchange(notice_, {}); }
  // How the notice names the ways on: the face's own words.
  FaceWords words = windowWords();

  // Opens a register; tests put a failing one here.
  Opener opener = [](const RegisterLocation& location) { return openRegister(location); };

 private:
  void importJournal(PagerRegister& opened);
  // The location read once, as the register is opened with it, or why it cannot be.
  void read();

  std::string location_;
  std::optional<RegisterLocation> place_;
  std::optional<RegisterError> unreadable_;
  std::string station_;
  std::string journalPath_;
  RegisterCreation creation_;
  std::unique_ptr<PagerRegister> register_;
  std::string notice_;
  int commands_ = 0;
  std::optional<RegisterError> givenUp_;  // within a command: why the server is not asked
};

// The connection to the register that `use` names, as the station whose data folder is
// `dataFolder`: the journal there is taken into a register that the connection makes. One that
// does not make its register takes nothing in: only the pager commands keep records.
RegisterConnection connectRegister(const RegisterUse& use, const std::string& dataFolder,
                                   RegisterCreation creation = RegisterCreation::Make);

template <class Body>
auto RegisterConnection::use(Body&& body) -> std::invoke_result_t<Body, PagerRegister&> {
  try {
    return body(get());
  } catch (const RegisterError& error) {
    close();
    const RegisterFault fault = error.fault();
    if (commands_ > 0 && (fault == RegisterFault::Unreachable || fault == RegisterFault::Stopped)) {
      givenUp_ = error;
    }
    throw;
  }
}

}  // namespace ccp
