#pragma once

// What the text that names a register is: a SQLite file's path, a PostgreSQL server (a URL or a
// libpq keyword string, each as libpq itself reads it), or no register at all. Text that is
// neither is refused rather than taken as a file's name: a mistyped server would otherwise
// become a file in the working folder, unguarded. withoutPassword() (pager_register.h) is
// defined with it.

#include <optional>
#include <string>
#include <string_view>

#include "register/pager_register.h"

namespace ccp {

struct LocationReading {
  std::optional<Engine> engine;  // none: no register's location, and `why` says why
  // Why it is none, never quoting the text (it may hold a password).
  std::string why;
  // What the register's connection is opened with: a file's path, or a server's options as libpq
  // reads them in the text, with the connect timeout, keepalives and TCP user timeout that bound
  // its waits unless the text sets them, as the parameters of a URL (the key=value shape that
  // SOCI passes on whole).
  std::string connection;
  // What messages show of it: a file's path, a server's location with "***" for its password.
  std::string shown;
  bool password = false;  // a server's text holds a password
};

// A path is absolute or begins with ./ or ../, or is relative without a ':', '=' or '@' and
// does not begin with '~' (which only a shell makes the home folder). A server is a
// "postgresql://" or "postgres://" URL, its scheme in any case, or text with '=' that libpq
// reads as a keyword string ("host=server dbname=pagers"). Blanks at either end, only blanks,
// or quotes around the text are refused, whatever it names.
LocationReading readLocation(std::string_view text);

}  // namespace ccp
