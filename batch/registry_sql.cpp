#include "batch/registry_sql.h"

#include <unistd.h>

#include <cstdlib>

namespace rivelo {
namespace {

// One row per format and identity: the primary key is what makes an identity unique.
constexpr const char* CreateIdentityTable =
    "CREATE TABLE rivelo_identity ("
    " format TEXT NOT NULL,"
    " identity TEXT NOT NULL,"
    " state TEXT NOT NULL CHECK (state IN ('reserved', 'issued')),"
    " time_ms BIGINT NOT NULL,"
    " lease_until_ms BIGINT,"
    " host TEXT NOT NULL,"
    " port TEXT NOT NULL,"
    " run TEXT NOT NULL,"
    " chip TEXT NOT NULL DEFAULT '',"
    " file_line INTEGER,"
    " chip_serial TEXT,"
    " PRIMARY KEY (format, identity))";

constexpr const char* Columns =
    " format, identity, state, time_ms, lease_until_ms, host, port, run, chip, file_line, chip_serial ";

// Free, ran out, or this run's own: the reservation (again) goes to this run.
const std::string ReserveSql =
    "INSERT INTO rivelo_identity (format, identity, state, time_ms, lease_until_ms, host, port, run)"
    " VALUES ($1, $2, 'reserved', NOW_MS, NOW_MS + CAST($6 AS BIGINT), $3, $4, $5)"
    " ON CONFLICT (format, identity) DO UPDATE SET time_ms = excluded.time_ms,"
    " lease_until_ms = excluded.lease_until_ms, host = excluded.host, port = excluded.port, run = excluded.run"
    " WHERE rivelo_identity.state = 'reserved' AND (rivelo_identity.lease_until_ms < excluded.time_ms"
    " OR (rivelo_identity.host = excluded.host AND rivelo_identity.port = excluded.port"
    " AND rivelo_identity.run = excluded.run))"
    " RETURNING" + std::string(Columns);

const std::string HolderMatch = " format = $1 AND identity = $2 AND host = $3 AND port = $4 AND run = $5"
                                " AND state = 'reserved' ";

const std::string IssueSql =
    "UPDATE rivelo_identity SET state = 'issued', time_ms = NOW_MS, lease_until_ms = NULL, chip = $6,"
    " file_line = CAST($7 AS INTEGER), chip_serial = $8 WHERE" + HolderMatch + "RETURNING" + Columns;

const std::string ReleaseSql = "DELETE FROM rivelo_identity WHERE" + HolderMatch + "RETURNING" + Columns;

const std::string SelectSql = std::string("SELECT") + Columns + "FROM rivelo_identity";

const std::string ImportNewSql =
    "INSERT INTO rivelo_identity (" + std::string(Columns) +
    ") VALUES ($1, $2, 'issued', COALESCE(CAST($3 AS BIGINT), NOW_MS), NULL, $4, $5, $6, $7,"
    " CAST($8 AS INTEGER), $9) ON CONFLICT (format, identity) DO NOTHING RETURNING format";

const std::string ImportOverSql =
    "UPDATE rivelo_identity SET state = 'issued', time_ms = COALESCE(CAST($3 AS BIGINT), NOW_MS),"
    " lease_until_ms = NULL, host = $4, port = $5, run = $6, chip = $7, file_line = CAST($8 AS INTEGER),"
    " chip_serial = $9 WHERE format = $1 AND identity = $2 AND state = 'reserved' RETURNING format";

std::string Text(const std::optional<std::string>& field) { return field ? *field : std::string(); }

std::int64_t Number(const std::optional<std::string>& field) {
  return field ? std::strtoll(field->c_str(), nullptr, 10) : 0;
}

RegistryRow ParseRow(const std::vector<std::optional<std::string>>& f) {
  RegistryRow row;
  row.format = Text(f.at(0));
  row.identity = Text(f.at(1));
  row.state = Text(f.at(2)) == "reserved" ? RegistryState::Reserved : RegistryState::Issued;
  row.time = Number(f.at(3));
  row.leaseUntil = Number(f.at(4));
  row.station = {Text(f.at(5)), Text(f.at(6))};
  row.run = Text(f.at(7));
  row.chip = Text(f.at(8));
  row.fileLine = static_cast<int>(Number(f.at(9)));
  row.chipSerial = Text(f.at(10));
  return row;
}

SqlValue OrNull(const std::string& text) { return text.empty() ? SqlValue(nullptr) : SqlValue(text); }
SqlValue OrNull(std::int64_t number) { return number == 0 ? SqlValue(nullptr) : SqlValue(number); }

RegistryAnswer Failed(std::string why) { return {RegistryStatus::Failed, std::nullopt, std::move(why)}; }

bool Named(const std::string& format, const std::string& identity, std::string* why) {
  if (!format.empty() && !identity.empty()) return true;
  *why = "no format or no identity given";
  return false;
}

}  // namespace

RegistryStation StationOf(const std::string& port) {
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
  return {host, port};
}

const char* RegistryStateName(RegistryState state) {
  return state == RegistryState::Reserved ? "reserved" : "issued";
}

bool SqlRegistry::Sql(const std::string& sql, const std::vector<SqlValue>& params, SqlRows* rows,
                      std::string* why) {
  std::string text = sql;
  const std::string now = NowSql();
  for (std::size_t at = text.find("NOW_MS"); at != std::string::npos; at = text.find("NOW_MS", at + now.size()))
    text.replace(at, 6, now);
  if (rows) rows->clear();
  return Run(text, params, rows, why);
}

bool SqlRegistry::InTransaction(const std::function<bool(std::string*)>& body, std::string* why) {
  if (!Sql(BeginSql(), {}, nullptr, why)) return false;
  if (body(why) && Sql("COMMIT", {}, nullptr, why)) return true;
  std::string ignored;
  Sql("ROLLBACK", {}, nullptr, &ignored);
  return false;
}

bool SqlRegistry::OpenSchema(std::string* why) {
  std::lock_guard lock(mutex_);
  return Durable(true, why) && InTransaction(
      [&](std::string* reason) {
        SqlRows rows;
        if (*SchemaLockSql() && !Sql(SchemaLockSql(), {}, nullptr, reason)) return false;
        // Only a new registry is made here: stations may have no right to create tables, only to
        // use those that exist.
        if (!Sql(HasVersionTableSql(), {}, &rows, reason)) return false;
        if (!rows.empty() && Number(rows[0][0]) == 0) {
          rows.clear();
          if (!Sql("CREATE TABLE rivelo_schema_version (version INTEGER NOT NULL)", {}, nullptr, reason))
            return false;
        } else if (!Sql("SELECT MAX(version) FROM rivelo_schema_version", {}, &rows, reason)) {
          return false;
        }
        const std::int64_t version = rows.empty() ? 0 : Number(rows[0][0]);
        if (version > RegistrySchemaVersion) {
          *reason = "the registry was made by a newer version of this program (schema version " +
                    std::to_string(version) + "; this one knows up to " + std::to_string(RegistrySchemaVersion) +
                    ")";
          return false;
        }
        if (version == RegistrySchemaVersion) return true;
        // A new registry (an upgrade from an older version would go here).
        return Sql(CreateIdentityTable, {}, nullptr, reason) &&
               Sql("INSERT INTO rivelo_schema_version (version) VALUES ($1)",
                   {std::int64_t{RegistrySchemaVersion}}, nullptr, reason);
      },
      why);
}

RegistryAnswer SqlRegistry::Holder(const std::string& format, const std::string& identity, RegistryStatus status) {
  SqlRows rows;
  std::string why;
  if (!Sql(SelectSql + " WHERE format = $1 AND identity = $2", {format, identity}, &rows, &why))
    return Failed(why);
  if (rows.empty()) return {status, std::nullopt, {}};
  return {status, ParseRow(rows[0]), {}};
}

RegistryAnswer SqlRegistry::Reserve(const std::string& format, const std::string& identity,
                                    const RegistryStation& station, const std::string& run,
                                    std::chrono::milliseconds lease) {
  std::string why;
  if (!Named(format, identity, &why)) return Failed(why);
  if (lease.count() <= 0) return Failed("a reservation needs a lease longer than zero");
  std::lock_guard lock(mutex_);
  if (!Durable(false, &why)) return Failed(why);
  // Between a refused reservation and the look at its holder, the holder may release it.
  for (int attempt = 0; attempt < 3; ++attempt) {
    SqlRows rows;
    if (!Sql(ReserveSql, {format, identity, station.host, station.port, run, std::int64_t{lease.count()}},
             &rows, &why))
      return Failed(why);
    if (!rows.empty()) return {RegistryStatus::Ok, ParseRow(rows[0]), {}};
    RegistryAnswer holder = Holder(format, identity, RegistryStatus::Taken);
    if (holder.row || holder.status == RegistryStatus::Failed) return holder;
  }
  return Failed("the identity changed hands too often to reserve it");
}

RegistryAnswer SqlRegistry::Issue(const std::string& format, const std::string& identity,
                                  const RegistryStation& station, const std::string& run, const std::string& chip,
                                  int fileLine, const std::string& chipSerial) {
  std::string why;
  if (!Named(format, identity, &why)) return Failed(why);
  std::lock_guard lock(mutex_);
  if (!Durable(true, &why)) return Failed(why);
  SqlRows rows;
  if (!Sql(IssueSql,
           {format, identity, station.host, station.port, run, chip, OrNull(std::int64_t{fileLine}),
            OrNull(chipSerial)},
           &rows, &why))
    return Failed(why);
  if (!rows.empty()) return {RegistryStatus::Ok, ParseRow(rows[0]), {}};
  RegistryAnswer holder = Holder(format, identity, RegistryStatus::Lost);
  const RegistryRow* row = holder.row ? &*holder.row : nullptr;
  if (row && row->state == RegistryState::Issued && row->station.host == station.host &&
      row->station.port == station.port && row->run == run)
    holder.status = RegistryStatus::Ok;
  return holder;
}

RegistryAnswer SqlRegistry::Release(const std::string& format, const std::string& identity,
                                    const RegistryStation& station, const std::string& run) {
  std::string why;
  if (!Named(format, identity, &why)) return Failed(why);
  std::lock_guard lock(mutex_);
  if (!Durable(false, &why)) return Failed(why);
  SqlRows rows;
  if (!Sql(ReleaseSql, {format, identity, station.host, station.port, run}, &rows, &why)) return Failed(why);
  if (!rows.empty()) return {RegistryStatus::Ok, ParseRow(rows[0]), {}};
  return Holder(format, identity, RegistryStatus::Lost);
}

RegistryAnswer SqlRegistry::Check(const std::string& format, const std::string& identity) {
  std::string why;
  if (!Named(format, identity, &why)) return Failed(why);
  std::lock_guard lock(mutex_);
  return Holder(format, identity, RegistryStatus::Ok);
}

bool SqlRegistry::Stats(std::vector<RegistryCount>* counts, std::string* why) {
  std::lock_guard lock(mutex_);
  SqlRows rows;
  if (!Sql("SELECT format, state, COUNT(*) FROM rivelo_identity GROUP BY format, state ORDER BY format, state", {},
           &rows, why))
    return false;
  counts->clear();
  for (const auto& r : rows)
    counts->push_back(
        {Text(r[0]), Text(r[1]) == "reserved" ? RegistryState::Reserved : RegistryState::Issued, Number(r[2])});
  return true;
}

bool SqlRegistry::Export(const std::string& format, std::vector<RegistryRow>* rows, std::string* why) {
  std::lock_guard lock(mutex_);
  SqlRows found;
  const bool ok = format.empty() ? Sql(SelectSql + " ORDER BY format, identity", {}, &found, why)
                                 : Sql(SelectSql + " WHERE format = $1 ORDER BY identity", {format}, &found, why);
  if (!ok) return false;
  rows->clear();
  for (const auto& r : found) rows->push_back(ParseRow(r));
  return true;
}

bool SqlRegistry::Import(const std::vector<RegistryRow>& rows, RegistryImportCounts* counts, std::string* why) {
  for (const RegistryRow& row : rows)
    if (!Named(row.format, row.identity, why)) return false;
  std::lock_guard lock(mutex_);
  if (!Durable(true, why)) return false;
  RegistryImportCounts tally;
  const bool ok = InTransaction(
      [&](std::string* reason) {
        for (const RegistryRow& row : rows) {
          const std::vector<SqlValue> params{row.format,
                                             row.identity,
                                             OrNull(row.time),
                                             row.station.host,
                                             row.station.port,
                                             row.run,
                                             row.chip,
                                             OrNull(std::int64_t{row.fileLine}),
                                             OrNull(row.chipSerial)};
          SqlRows done;
          if (!Sql(ImportNewSql, params, &done, reason)) return false;
          if (!done.empty()) {
            ++tally.added;
            continue;
          }
          if (!Sql(ImportOverSql, params, &done, reason)) return false;
          ++(done.empty() ? tally.known : tally.overReservation);
        }
        return true;
      },
      why);
  if (ok && counts) *counts = tally;
  return ok;
}

std::unique_ptr<IdentityRegistry> OpenRegistry(const std::string& where, std::string* why, RegistryClock clock) {
  for (const char* scheme : {"postgresql://", "postgres://"})
    if (where.rfind(scheme, 0) == 0) return OpenPostgresRegistry(where, why, std::move(clock));
  if (where.empty() || where.find("://") != std::string::npos) {
    *why = "a registry is a SQLite file (NAME.sqlite) or a PostgreSQL URI (postgresql://...)";
    return nullptr;
  }
  return OpenSqliteRegistry(where, why, std::move(clock));
}

}  // namespace rivelo
