// The registry in PostgreSQL, for stations on several machines. The connection URI never holds
// the password: libpq finds it in PGPASSWORD or ~/.pgpass.
#include <libpq-fe.h>

#include <optional>
#include <string_view>

#include "batch/registry_sql.h"

namespace rivelo {
namespace {

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

bool HoldsPassword(const std::string& uri, std::string* why) {
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(uri.c_str(), &error);
  if (!options) {
    *why = error ? Trimmed(error) : "cannot read the connection URI";
    PQfreemem(error);
    return true;
  }
  bool password = false;
  for (PQconninfoOption* o = options; o->keyword; ++o)
    if (std::string_view(o->keyword) == "password" && o->val && *o->val) password = true;
  PQconninfoFree(options);
  if (password)
    *why = "the connection URI holds a password: give it in PGPASSWORD or ~/.pgpass instead, where the "
           "process list and the shell's history do not show it";
  return password;
}

void IgnoreNotice(void*, const char*) {}

class PostgresRegistry final : public SqlRegistry {
 public:
  PostgresRegistry(std::string uri, RegistryClock clock) : uri_(std::move(uri)), clock_(std::move(clock)) {}
  ~PostgresRegistry() override { PQfinish(conn_); }

  bool Open(std::string* why) {
    if (HoldsPassword(uri_, why)) return false;
    // Defaults that the URI's own settings override: a server that does not answer is reported
    // rather than waited for without end, and the server's session list names the program.
    const char* const keywords[] = {"connect_timeout", "application_name", "dbname", nullptr};
    const char* const values[] = {"10", "rivelo", uri_.c_str(), nullptr};
    conn_ = PQconnectdbParams(keywords, values, 1);
    if (PQstatus(conn_) != CONNECTION_OK) {
      *why = Trimmed(PQerrorMessage(conn_));
      return false;
    }
    // "relation already exists, skipping" and the like are no business of the operator's.
    PQsetNoticeProcessor(conn_, IgnoreNotice, nullptr);
    return OpenSchema(why);
  }

  std::string Where() const override { return uri_; }

 protected:
  bool Run(const std::string& sql, const std::vector<SqlValue>& params, SqlRows* rows, std::string* why) override {
    std::vector<std::string> texts(params.size());
    std::vector<const char*> values(params.size(), nullptr);
    for (std::size_t i = 0; i < params.size(); ++i) {
      if (const auto* s = std::get_if<std::string>(&params[i])) texts[i] = *s;
      else if (const auto* n = std::get_if<std::int64_t>(&params[i])) texts[i] = std::to_string(*n);
      else continue;
      values[i] = texts[i].c_str();
    }
    const bool begins = sql.rfind("BEGIN", 0) == 0;
    PGresult* result = Execute(sql, values);
    // A connection that broke between two transactions is made again once: every operation is
    // a transaction of its own and may be repeated. Inside a transaction the work is lost, so
    // the transaction fails.
    if (!ResultOk(result) && !inTransaction_ && PQstatus(conn_) == CONNECTION_BAD) {
      PQclear(result);
      PQreset(conn_);
      durable_.reset();  // a new session, with the server's settings
      result = Execute(sql, values);
    }
    const bool ok = ResultOk(result);
    if (!ok) {
      *why = Trimmed(PQerrorMessage(conn_));
    } else if (rows) {
      for (int r = 0; r < PQntuples(result); ++r) {
        auto& row = rows->emplace_back();
        for (int c = 0; c < PQnfields(result); ++c) {
          if (PQgetisnull(result, r, c))
            row.emplace_back(std::nullopt);
          else
            row.emplace_back(std::string(PQgetvalue(result, r, c)));
        }
      }
    }
    PQclear(result);
    if (begins) inTransaction_ = ok;
    if (sql == "COMMIT" || sql == "ROLLBACK") inTransaction_ = false;
    return ok;
  }

  std::string NowSql() override {
    if (clock_) return "CAST(" + std::to_string(clock_()) + " AS BIGINT)";
    return "CAST(EXTRACT(EPOCH FROM clock_timestamp()) * 1000 AS BIGINT)";
  }
  bool Durable(bool durable, std::string* why) override {
    if (durable_ == durable) return true;
    if (!Run(durable ? "SET synchronous_commit = on" : "SET synchronous_commit = off", {}, nullptr, why))
      return false;
    durable_ = durable;
    return true;
  }
  const char* BeginSql() const override { return "BEGIN"; }
  // Any fixed number: the programs that open the registry at once create its tables in turn.
  const char* SchemaLockSql() const override { return "SELECT pg_advisory_xact_lock(7261)"; }
  // The table that the schema search path finds, as every statement of ours does.
  const char* HasVersionTableSql() const override {
    return "SELECT CASE WHEN to_regclass('rivelo_schema_version') IS NULL THEN 0 ELSE 1 END";
  }

 private:
  PGresult* Execute(const std::string& sql, const std::vector<const char*>& values) {
    return PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(), nullptr,
                        nullptr, 0);
  }
  static bool ResultOk(const PGresult* result) {
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
  }

  std::string uri_;
  RegistryClock clock_;
  PGconn* conn_ = nullptr;
  bool inTransaction_ = false;
  std::optional<bool> durable_;
};

}  // namespace

std::unique_ptr<IdentityRegistry> OpenPostgresRegistry(const std::string& uri, std::string* why,
                                                       RegistryClock clock) {
  auto registry = std::make_unique<PostgresRegistry>(uri, std::move(clock));
  if (!registry->Open(why)) return nullptr;
  return registry;
}

}  // namespace rivelo
