// The runner's side of the identity gate (the registry of issued identities): an identity is
// reserved right before each write of it (which also renews the run's hold), issued before its
// tag is listed, and handed back when the run ends without a tag taking it.
#include "batch/batch_runner.h"

#include "resources/texts_batch.h"
#include "resources/texts_registry.h"

namespace rivelo {
namespace {

std::shared_ptr<IdentityGate>& WindowGateSlot() {
  static std::shared_ptr<IdentityGate> gate;
  return gate;
}

// Skipping stops for the tick after this many identities in a row, so that a range taken
// whole never holds up the window; the next tick goes on from there.
constexpr int SkipsPerTick = 1000;

}  // namespace

void SetWindowIdentityGate(std::shared_ptr<IdentityGate> gate) { WindowGateSlot() = std::move(gate); }
std::shared_ptr<IdentityGate> WindowIdentityGate() { return WindowGateSlot(); }

void BatchRunner::GateStart() {
  gate_ = ownGate_ ? ownGate_ : WindowIdentityGate();
  holding_ = false;
  gateError_.clear();
  linesSkipped_ = 0;
  if (gate_) gate_->StartRun(*profile_.format, signals_.PortName());
}

// Reserves the identity about to be written. One taken elsewhere is skipped (incremental: the
// next identity; a file: the next line), each with a list line, or stops the run where it
// cannot be skipped. False: no write this tick.
bool BatchRunner::GateAllowsWrite(WriteMode mode) {
  if (!gate_) return true;
  for (int skips = 0; skips < SkipsPerTick; ++skips) {
    if (holding_ && heldId_ != targetId_) GateRelease();
    const GateAnswer answer = gate_->Reserve(targetId_);
    if (answer.status == GateStatus::Ok) {
      holding_ = true;
      heldId_ = targetId_;
      return true;
    }
    if (answer.status == GateStatus::Failed) {
      // A run tries again next tick; a single write fails.
      const std::string text = texts::registry::Unreachable() + answer.why;
      if (mode == WriteMode::None) gateError_ = text;
      view_.PostStatus(0, text);
      return false;
    }
    if (!GateSkip(mode, answer.why)) return false;
  }
  return false;
}

// Skips the target taken elsewhere; false when nothing is left to try in this tick.
bool BatchRunner::GateSkip(WriteMode mode, const std::string& why) {
  const std::string id = profile_.format->text(targetId_, 0);
  if (mode == WriteMode::None) {
    gateError_ = Filled(texts::registry::TakenSingle(), {id, why});
    view_.PostStatus(0, gateError_);
    return false;
  }
  // A continuous run has no other identity to go on with.
  if (strictGate_ || mode == WriteMode::Continuous) {
    GateStop(Filled(texts::registry::TakenStop(), {id, why}));
    return false;
  }
  if (mode == WriteMode::Incremental) {
    view_.AppendLine(Filled(texts::registry::Skipped(), {id, why}));
    const Identity skipped = targetId_;
    if (!profile_.format->increment(targetId_)) {
      // Nothing follows in the range: the run ends as it would after writing the last one.
      rangeEnded_ = true;
      EndWriteRun();
      view_.ReleaseWrite();
      view_.AppendLine(texts::batch::RangeEnded() + profile_.format->text(skipped, 0));
      AppendStop();
      return false;
    }
    page_.ShowNextTarget(targetId_);
    return true;
  }
  const auto at = static_cast<std::size_t>(runCounter_);
  view_.AppendLine(Filled(texts::registry::LineSkipped(), {std::to_string(fileLineNumbers_[at]), id, why}));
  ++runCounter_;
  ++linesSkipped_;
  view_.SetProgress(runCounter_);
  if (static_cast<std::size_t>(runCounter_) >= fileIds_.size()) return false;  // the next tick ends the run
  targetId_ = fileIds_[static_cast<std::size_t>(runCounter_)];
  return true;
}

// Before a written tag is listed: a tag whose identity the registry does not hold as issued
// would look issued to nobody, so the run stops and names it rather than list it.
bool BatchRunner::GateIssued(const ListedTag& tag) {
  if (!gate_ || tag.chip == nullptr) return true;
  const GateAnswer answer = gate_->Issue(tag);
  if (answer.status == GateStatus::Ok) {
    if (holding_ && heldId_ == tag.id) holding_ = false;
    return true;
  }
  holding_ = false;  // another run holds it, or the gate could not be asked: not ours to hand back
  const std::string text = Filled(texts::registry::NotRecorded(), {profile_.format->text(tag.id, 0), answer.why});
  if (state_ == RunState::Writing) GateStop(text);
  else gateError_ = text;
  return false;
}

void BatchRunner::GateRelease() {
  if (gate_ && holding_) gate_->Release(heldId_);
  holding_ = false;
}

void BatchRunner::GateStop(const std::string& text) {
  gateError_ = text;
  view_.AppendLine(text);
  view_.PostStatus(0, text);
  if (state_ != RunState::Writing) return;
  EndWriteRun();
  view_.ReleaseWrite();
  AppendStop();
}

}  // namespace rivelo
