// The throwaway PostgreSQL that scripts/with-test-postgres starts: each test works in a schema
// of its own, made and dropped as the server's administrator.
#pragma once

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <string>

namespace rivelo::test {

// Runs sql on the server at base: true when it succeeded, else a test failure with the reason.
inline bool PostgresAdmin(const std::string& base, const std::string& sql) {
  PGconn* conn = PQconnectdb(base.c_str());
  PGresult* result = PQexec(conn, ("SET client_min_messages = warning; " + sql).c_str());
  const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
  if (!ok) ADD_FAILURE() << PQerrorMessage(conn);
  PQclear(result);
  PQfinish(conn);
  return ok;
}

// The connection URI base with schema as its search path.
inline std::string InSchema(const std::string& base, const std::string& schema) {
  return base + (base.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" + schema;
}

}  // namespace rivelo::test
