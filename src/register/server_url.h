#pragma once

// A shared register's URL: what its connection is opened with (what may be shown of it is
// withoutPassword(), in pager_register.h).

#include <string>

namespace ccp {

// The text libpq opens the register's connection with: the URL's options as libpq itself reads
// them, with the connect timeout, keepalives and TCP user timeout that bound its waits unless the
// URL sets them, each as a parameter of a URL (the key=value shape that SOCI passes on whole).
// RegisterError (Invalid) when libpq cannot read the URL.
std::string serverConnectionText(const std::string& url);

}  // namespace ccp
