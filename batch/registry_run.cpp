#include "batch/registry_run.h"

#include <unistd.h>

#include <atomic>
#include <ctime>

#include "batch/batch_runner.h"
#include "resources/texts_registry.h"

namespace rivelo {
namespace {

std::string WhyTaken(const RegistryAnswer& answer) {
  if (!answer.row) return answer.why;
  const RegistryRow& row = *answer.row;
  // Rows of run logs name no station, only the log and its run.
  const std::string where = row.station.host.empty() && row.station.port.empty() ? row.run : StationText(row.station);
  if (row.state == RegistryState::Issued) return Filled(texts::registry::TakenIssued(), {where, RegistryTimeText(row.time)});
  return Filled(texts::registry::TakenReserved(), {where, RegistryTimeText(row.leaseUntil)});
}

GateAnswer Answered(const RegistryAnswer& answer) {
  switch (answer.status) {
    case RegistryStatus::Ok: return {GateStatus::Ok, {}};
    case RegistryStatus::Taken: return {GateStatus::Taken, WhyTaken(answer)};
    case RegistryStatus::Lost: return {GateStatus::Failed, texts::registry::LostToAnother()};
    case RegistryStatus::Failed: break;
  }
  return {GateStatus::Failed, answer.why};
}

}  // namespace

std::string StationText(const RegistryStation& station) {
  if (station.host.empty()) return station.port;
  return station.port.empty() ? station.host : station.host + " " + station.port;
}

std::string RegistryTimeText(std::int64_t ms) {
  const std::time_t when = static_cast<std::time_t>(ms / 1000);
  std::tm local{};
  localtime_r(&when, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

RegistryGate::RegistryGate(std::shared_ptr<IdentityRegistry> registry, std::chrono::milliseconds lease)
    : registry_(std::move(registry)), lease_(lease) {}

// A run's name is unique across stations: its host, process, start and a counter for the
// runs of one process (the window's, a station's readers).
void RegistryGate::StartRun(const IdentityFormat& format, const std::string& port) {
  static std::atomic<int> counter{0};
  format_ = &format;
  station_ = StationOf(port);
  run_ = station_.host + " pid " + std::to_string(getpid()) + " at " + RegistryTimeText(std::time(nullptr) * 1000LL) +
         " #" + std::to_string(++counter);
}

GateAnswer RegistryGate::Reserve(const Identity& id) {
  return Answered(registry_->Reserve(format_->name, format_->text(id, 0), station_, run_, lease_));
}

GateAnswer RegistryGate::Issue(const ListedTag& tag) {
  return Answered(registry_->Issue(format_->name, format_->text(tag.id, 0), station_, run_,
                                   tag.chip ? tag.chip : "", tag.fileLine, tag.chipSerial));
}

void RegistryGate::Release(const Identity& id) { registry_->Release(format_->name, format_->text(id, 0), station_, run_); }

}  // namespace rivelo
