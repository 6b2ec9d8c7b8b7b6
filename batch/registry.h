// The registry of issued identities: one place, shared by every run and station, that decides
// which identity goes onto which tag, so that no identity is written twice. Two engines: a
// SQLite file for the runs of one machine, PostgreSQL for several machines.
//
// A run reserves an identity before it writes it, turns the reservation into "issued" once the
// tag reads it back, and releases it when the tag refused. A reservation carries a lease: when
// its run dies, the identity comes free again once the lease has run out, so a crash neither
// loses an identity for good nor lets two tags get it. The lease must be well above the longest
// time between a Reserve and its Issue; a run that holds a reservation across ticks renews it by
// calling Reserve again (the holder's own Reserve succeeds and starts the lease afresh), best
// right before each write, so a write never starts on a reservation about to run out.
//
// Identities are compared as the caller's canonical text (one form per format, e.g. EM4100's ten
// upper-case hex digits), so equal identities must be given in the same form.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rivelo {

// Time in the registry: milliseconds since 1970-01-01 UTC.
using RegistryClock = std::function<std::int64_t()>;

// Twenty times the longest tick a run takes (a tick's reads, writes and read-backs, each
// re-asked once, stay within a few seconds even on a failing line), and short enough that the
// identity of a station that crashed comes free again within two minutes.
inline constexpr std::chrono::milliseconds DefaultRegistryLease{std::chrono::minutes(2)};

enum class RegistryState { Reserved, Issued };

// The reader that takes identities: the machine's host name and the reader's port.
struct RegistryStation {
  std::string host;
  std::string port;
};

struct RegistryRow {
  std::string format;    // the format's key, e.g. "em4100"
  std::string identity;  // its canonical text
  RegistryState state = RegistryState::Issued;
  std::int64_t time = 0;        // when reserved (or last renewed), or when issued
  std::int64_t leaseUntil = 0;  // reserved rows: when the reservation runs out
  RegistryStation station;
  std::string run;         // the run, unique across the registry (e.g. host, process, start)
  std::string chip;        // issued rows: the chip written
  int fileLine = 0;        // issued rows of file runs: the batch file's line; 0: none
  std::string chipSerial;  // issued rows: the tag's UID where the reader gave one
};

enum class RegistryStatus {
  Ok,
  Taken,   // Reserve: issued, or reserved by another run whose lease still runs; row says whose
  Lost,    // Issue, Release: this run holds no reservation of it (any more); row: who does
  Failed,  // the database refused or could not be reached; why says so
};

struct RegistryAnswer {
  RegistryStatus status = RegistryStatus::Failed;
  std::optional<RegistryRow> row;
  std::string why;
  bool ok() const { return status == RegistryStatus::Ok; }
};

struct RegistryCount {
  std::string format;
  RegistryState state = RegistryState::Issued;
  std::int64_t count = 0;
};

struct RegistryImportCounts {
  std::int64_t added = 0;           // were free: now issued
  std::int64_t overReservation = 0;  // were only reserved: now issued (that run's Issue fails)
  std::int64_t known = 0;           // were issued already: kept as they were
};

// One connection to a registry. Its operations may be called from several threads; each is
// one transaction of its own.
class IdentityRegistry {
 public:
  virtual ~IdentityRegistry() = default;

  // Where the registry is, for messages: the file, or the URI.
  virtual std::string Where() const = 0;

  // Reserves the identity for this run when it is free or its reservation ran out, and renews
  // the lease when this run holds it already. Otherwise Taken, with the row that holds it.
  virtual RegistryAnswer Reserve(const std::string& format, const std::string& identity,
                                 const RegistryStation& station, const std::string& run,
                                 std::chrono::milliseconds lease) = 0;
  // Turns this run's reservation into "issued" (Ok too when this run issued it already, so a
  // repeated Issue after a lost answer does no harm). Lost when another run took it after the
  // lease ran out, or nothing was reserved: then the tag holds an identity that is not its own.
  virtual RegistryAnswer Issue(const std::string& format, const std::string& identity,
                               const RegistryStation& station, const std::string& run,
                               const std::string& chip, int fileLine, const std::string& chipSerial) = 0;
  // Drops this run's reservation (the tag refused the write). Lost when it holds none.
  virtual RegistryAnswer Release(const std::string& format, const std::string& identity,
                                 const RegistryStation& station, const std::string& run) = 0;
  // Ok with the row that holds the identity, or Ok without a row when it is free.
  virtual RegistryAnswer Check(const std::string& format, const std::string& identity) = 0;

  // The number of identities per format and state.
  virtual bool Stats(std::vector<RegistryCount>* counts, std::string* why) = 0;
  // Every row of a format (empty: of every format), ordered by format and identity.
  virtual bool Export(const std::string& format, std::vector<RegistryRow>* rows, std::string* why) = 0;
  // Records identities issued elsewhere (run logs): all rows or none.
  virtual bool Import(const std::vector<RegistryRow>& rows, RegistryImportCounts* counts, std::string* why) = 0;
};

// Opens the registry at where: a "postgresql://" (or "postgres://") connection URI, or else a
// SQLite file, created with its schema when missing. The URI may not hold a password (it would
// show in the process list and the shell's history): libpq takes it from PGPASSWORD or
// ~/.pgpass. A null result with *why set when it cannot be opened, e.g. a registry made by a
// newer version of the program. clock: the registry's time; empty: the system's clock, and for
// PostgreSQL the server's, so that stations whose clocks differ agree on when a lease ends.
std::unique_ptr<IdentityRegistry> OpenRegistry(const std::string& where, std::string* why,
                                               RegistryClock clock = {});

// This machine's station for the reader on port.
RegistryStation StationOf(const std::string& port);

// "reserved", "issued".
const char* RegistryStateName(RegistryState state);

}  // namespace rivelo
