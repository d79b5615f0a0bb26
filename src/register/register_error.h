#pragma once

// Everything that goes wrong in the register reaches a caller as one exception, with what kind
// of fault it is and a message for the user, so that the caller can fall back to the journal
// file and say why.

#include <stdexcept>
#include <string>

namespace ccp {

enum class RegisterFault {
  Busy,         // another program held it locked for longer than the busy timeout
  ReadOnly,     // the file, its folder or the database may not be written
  DiskFull,     // no room left for what was to be written
  Corrupt,      // not a register, or a damaged one
  Unreachable,  // the database server cannot be reached, went away, or did not answer in time
  // the server refused the login: its user, its password, or this machine is not let in
  LoginRefused,
  // the server has no database of that name
  NoDatabase,
  // libpq did not take an option of the server's location: a port, sslmode or service it does
  // not know
  OptionRefused,
  // the process was asked to stop while a call waited for the server
  Stopped,
  NewerSchema,  // made by a newer program: refused and left as it is
  Invalid,      // a location, file or value the register cannot take
  Failed,       // any other error of the database
};

class RegisterError : public std::runtime_error {
 public:
  RegisterError(RegisterFault fault, const std::string& message)
      : std::runtime_error(message), fault_(fault) {}
  RegisterFault fault() const { return fault_; }

 private:
  RegisterFault fault_;
};

}  // namespace ccp
