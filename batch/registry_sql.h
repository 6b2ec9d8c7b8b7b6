// What both registry engines share: the schema and every operation, written once in the SQL
// that SQLite and PostgreSQL both understand. An engine only runs statements.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "batch/registry.h"

namespace rivelo {

using SqlValue = std::variant<std::nullptr_t, std::string, std::int64_t>;
using SqlRows = std::vector<std::vector<std::optional<std::string>>>;

// The schema this program makes and knows; a registry with a higher version is refused.
inline constexpr int RegistrySchemaVersion = 1;

class SqlRegistry : public IdentityRegistry {
 public:
  RegistryAnswer Reserve(const std::string& format, const std::string& identity, const RegistryStation& station,
                         const std::string& run, std::chrono::milliseconds lease) override;
  RegistryAnswer Issue(const std::string& format, const std::string& identity, const RegistryStation& station,
                       const std::string& run, const std::string& chip, int fileLine,
                       const std::string& chipSerial) override;
  RegistryAnswer Release(const std::string& format, const std::string& identity, const RegistryStation& station,
                         const std::string& run) override;
  RegistryAnswer Check(const std::string& format, const std::string& identity) override;
  bool Stats(std::vector<RegistryCount>* counts, std::string* why) override;
  bool Export(const std::string& format, std::vector<RegistryRow>* rows, std::string* why) override;
  bool Import(const std::vector<RegistryRow>& rows, RegistryImportCounts* counts, std::string* why) override;

 protected:
  // Runs one statement: $1, $2... are params, and rows (may be null) gets what it returns.
  virtual bool Run(const std::string& sql, const std::vector<SqlValue>& params, SqlRows* rows,
                   std::string* why) = 0;
  // The SQL expression of the current time in milliseconds.
  virtual std::string NowSql() = 0;
  // Starts a transaction that writes (SQLite takes the write lock at once, so that a read in it
  // is never refused later for the sake of another writer).
  virtual const char* BeginSql() const = 0;
  // Run inside the schema transaction so that two programs starting at once do not both create
  // the tables; empty when the transaction itself excludes the other.
  virtual const char* SchemaLockSql() const = 0;

  // Whether the next commits must reach the disk before they return. An issued identity must
  // (the tag holds it); a reservation need not: lost in a power cut it is no worse off than one
  // whose lease ran out, and the next durable commit takes it to the disk anyway.
  virtual bool Durable(bool durable, std::string* why) = 0;

  // One row, one column: 1 when the registry's version table exists, else 0.
  virtual const char* HasVersionTableSql() const = 0;

  // Creates the tables in a new registry; false when it was made by a newer program.
  bool OpenSchema(std::string* why);

 private:
  bool Sql(const std::string& sql, const std::vector<SqlValue>& params, SqlRows* rows, std::string* why);
  bool InTransaction(const std::function<bool(std::string*)>& body, std::string* why);
  RegistryAnswer Holder(const std::string& format, const std::string& identity, RegistryStatus status);

  std::mutex mutex_;
};

std::unique_ptr<IdentityRegistry> OpenSqliteRegistry(const std::string& path, std::string* why,
                                                     RegistryClock clock);
std::unique_ptr<IdentityRegistry> OpenPostgresRegistry(const std::string& uri, std::string* why,
                                                       RegistryClock clock);

}  // namespace rivelo
