// The registry in a SQLite file, for the runs of one machine. WAL mode lets readers go on while
// one run writes; a run that finds the file locked waits for it rather than failing.
#include <sqlite3.h>
#include <sys/stat.h>

#include <chrono>
#include <optional>
#include <thread>

#include "batch/registry_sql.h"

namespace rivelo {
namespace {

// Far above any transaction of ours (a few milliseconds), so only a stuck writer runs it out.
constexpr int BusyTimeoutMs = 10000;

class SqliteRegistry final : public SqlRegistry {
 public:
  SqliteRegistry(std::string path, RegistryClock clock) : path_(std::move(path)), clock_(std::move(clock)) {}
  ~SqliteRegistry() override { sqlite3_close(db_); }

  bool Open(std::string* why) {
    struct stat st{};
    if (lstat(path_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
      *why = path_ + ": not a regular file";
      return false;
    }
    // No link may redirect the registry to another file.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
      *why = path_ + ": " + (db_ ? sqlite3_errmsg(db_) : "out of memory");
      return false;
    }
    sqlite3_busy_timeout(db_, BusyTimeoutMs);
    // Stations that open one registry at the same moment can meet a lock while it is switched
    // to WAL or its shared memory is set up, which SQLite reports at once instead of waiting in
    // the busy handler: the setup is tried again until the busy timeout has passed.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(BusyTimeoutMs);
    for (;;) {
      why->clear();
      if (Setup(why)) return true;
      const int code = sqlite3_errcode(db_) & 0xFF;
      if ((code != SQLITE_BUSY && code != SQLITE_LOCKED) || std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  bool Setup(std::string* why) {
    SqlRows rows;
    if (!Run("PRAGMA journal_mode = WAL", {}, nullptr, why) ||
        !Run("SELECT COUNT(*) FROM sqlite_master WHERE name NOT LIKE 'rivelo_%' AND name NOT LIKE 'sqlite_%'", {},
             &rows, why))
      return false;
    if (!rows.empty() && rows[0][0] && *rows[0][0] != "0") {
      *why = path_ + ": a database of something else, not an identity registry";
      return false;
    }
    return OpenSchema(why);
  }

  std::string Where() const override { return path_; }

 protected:
  bool Run(const std::string& sql, const std::vector<SqlValue>& params, SqlRows* rows, std::string* why) override {
    std::string text = sql;  // SQLite numbers its parameters ?1, ?2...
    for (std::size_t at = text.find('$'); at != std::string::npos; at = text.find('$', at)) text[at] = '?';
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, text.c_str(), -1, &statement, nullptr) != SQLITE_OK) return Fail(why);
    for (std::size_t i = 0; i < params.size(); ++i) {
      const int at = static_cast<int>(i + 1);
      if (const auto* s = std::get_if<std::string>(&params[i]))
        sqlite3_bind_text(statement, at, s->c_str(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
      else if (const auto* n = std::get_if<std::int64_t>(&params[i]))
        sqlite3_bind_int64(statement, at, *n);
      else
        sqlite3_bind_null(statement, at);
    }
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
      if (!rows) continue;
      auto& row = rows->emplace_back();
      for (int c = 0; c < sqlite3_column_count(statement); ++c) {
        const auto* value = sqlite3_column_text(statement, c);
        if (value)
          row.emplace_back(std::string(reinterpret_cast<const char*>(value)));
        else
          row.emplace_back(std::nullopt);
      }
    }
    const bool done = step == SQLITE_DONE || Fail(why);
    sqlite3_finalize(statement);
    return done;
  }

  std::string NowSql() override {
    if (clock_) return std::to_string(clock_());
    using namespace std::chrono;
    return std::to_string(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
  }
  bool Durable(bool durable, std::string* why) override {
    if (durable_ == durable) return true;
    // In WAL mode NORMAL skips the sync at commit, FULL does it.
    if (!Run(durable ? "PRAGMA synchronous = FULL" : "PRAGMA synchronous = NORMAL", {}, nullptr, why)) return false;
    durable_ = durable;
    return true;
  }
  const char* BeginSql() const override { return "BEGIN IMMEDIATE"; }
  const char* SchemaLockSql() const override { return ""; }
  const char* HasVersionTableSql() const override {
    return "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = 'rivelo_schema_version'";
  }

 private:
  bool Fail(std::string* why) const {
    *why = path_ + ": " + sqlite3_errmsg(db_);
    return false;
  }

  std::string path_;
  RegistryClock clock_;
  sqlite3* db_ = nullptr;
  std::optional<bool> durable_;
};

}  // namespace

std::unique_ptr<IdentityRegistry> OpenSqliteRegistry(const std::string& path, std::string* why,
                                                     RegistryClock clock) {
  auto registry = std::make_unique<SqliteRegistry>(path, std::move(clock));
  if (!registry->Open(why)) return nullptr;
  return registry;
}

}  // namespace rivelo
