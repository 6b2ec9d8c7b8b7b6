// The seam between a write run and whatever decides which identities it may write (the registry
// of issued identities, batch/registry_run.h). The runner asks before each write, reports each
// tag it verified before listing it, and hands back what it reserved and did not write; without
// a gate a run writes what it is given, as it always has.
#pragma once

#include <memory>
#include <string>

#include "batch/batch_view.h"
#include "model/identity.h"

namespace rivelo {

enum class GateStatus {
  Ok,
  Taken,   // issued, or reserved by another run: skip it
  Failed,  // the gate could not be asked, or it did not record the tag: write nothing more
};

struct GateAnswer {
  GateStatus status = GateStatus::Failed;
  std::string why;  // Taken: by whom ("issued 2026-12-07 18:30 on bench-2 /dev/ttyUSB0"); Failed: the reason
};

class IdentityGate {
 public:
  virtual ~IdentityGate() = default;
  // Where the identities are kept, for the run's first list line.
  virtual std::string Where() const = 0;
  // A run of format starts on the reader at port: a run of its own in the gate's records.
  virtual void StartRun(const IdentityFormat& format, const std::string& port) = 0;
  // Before each write of id: reserves it for this run, or renews the run's reservation.
  virtual GateAnswer Reserve(const Identity& id) = 0;
  // The tag was written and read back: id is issued to it.
  virtual GateAnswer Issue(const ListedTag& tag) = 0;
  // This run will not write id (the run ended before a tag took it).
  virtual void Release(const Identity& id) = 0;
};

// The gate that the window's runs and single writes use (File -> Identity registry...); null:
// none. Each runner takes the one in force when its write starts.
void SetWindowIdentityGate(std::shared_ptr<IdentityGate> gate);
std::shared_ptr<IdentityGate> WindowIdentityGate();

}  // namespace rivelo
