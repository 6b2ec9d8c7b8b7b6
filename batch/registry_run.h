// The registry of issued identities as the gate of write runs: each run is a run of its own in
// the registry (host, process, start time, a counter), on its reader's port as its station.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "batch/identity_gate.h"
#include "batch/registry.h"

namespace rivelo {

class RegistryGate : public IdentityGate {
 public:
  // registry: shared by every runner that takes identities from it (its operations are safe
  // from several threads). lease: how long a reservation holds without being renewed.
  explicit RegistryGate(std::shared_ptr<IdentityRegistry> registry,
                        std::chrono::milliseconds lease = DefaultRegistryLease);

  std::string Where() const override { return registry_->Where(); }
  void StartRun(const IdentityFormat& format, const std::string& port) override;
  GateAnswer Reserve(const Identity& id) override;
  GateAnswer Issue(const ListedTag& tag) override;
  void Release(const Identity& id) override;

  const std::string& Run() const { return run_; }

 private:
  std::shared_ptr<IdentityRegistry> registry_;
  std::chrono::milliseconds lease_;
  const IdentityFormat* format_ = nullptr;
  RegistryStation station_;
  std::string run_;
};

// "HOST PORT" of a row, and its time as local "2026-12-07 18:30:05", for the list lines.
std::string StationText(const RegistryStation& station);
std::string RegistryTimeText(std::int64_t ms);

}  // namespace rivelo
