#include "testkit/server_schema.h"

#include <libpq-fe.h>

namespace ccp::testkit {

std::string serverStatement(const std::string& url, const std::string& statement) {
  PGconn* server = PQconnectdb(url.c_str());
  PGresult* result = PQexec(server, ("SET client_min_messages = warning; " + statement).c_str());
  const std::string problem =
      PQresultStatus(result) == PGRES_COMMAND_OK ? "" : statement + ": " + PQerrorMessage(server);
  PQclear(result);
  PQfinish(server);
  return problem;
}

std::string urlInSchema(const std::string& url, const std::string& schema) {
  return url + (url.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" +
         schema;
}

}  // namespace ccp::testkit
