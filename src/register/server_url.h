#pragma once

// A shared register's URL: what its connection is opened with (what may be shown of it is
// withoutPassword(), in pager_register.h). Defined with readLocation(), whose reading of a
// server's text gives the URL: location_reading.cpp.

#include <string>

namespace ccp {

// The text libpq opens the register's connection with: the URL's options as libpq itself reads
// them, with the connect timeout, keepalives and TCP user timeout that bound its waits unless the
// URL sets them, each as a parameter of a URL (the key=value shape that SOCI passes on whole).
// The URL is a LocationReading's serverUrl; RegisterError (Invalid) when libpq cannot read it.
std::string serverConnectionText(const std::string& url);

}  // namespace ccp
