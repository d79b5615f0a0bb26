#pragma once

// Registers of their own on a PostgreSQL server, for tests and benchmarks that must leave the
// server's database as they found it: a schema each, dropped at the end.

#include <string>

namespace ccp::testkit {

// Runs one statement on the server at `url`, its notices kept quiet; what the server said when
// it failed, else empty.
std::string serverStatement(const std::string& url, const std::string& statement);

// `url` with its search path set to `schema`: a register opened there keeps its tables in it.
std::string urlInSchema(const std::string& url, const std::string& schema);

}  // namespace ccp::testkit
