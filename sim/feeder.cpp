// The operator's hand at the reader: the stack of blanks, how long a written tag stays on
// the reader after its beep, and the tag taken away before its write is read back.
#include <algorithm>

#include "sim/reader_state.h"

namespace rivelo::sim {

bool VirtualReader::Impl::FeedBlank() {
  const int id = CreateTag(feederKind, nullptr);
  if (id < 0) return false;
  fedIds.push_back(id);
  Place(id);
  return true;
}

void VirtualReader::Impl::ApplyFeeder(SimClock::time_point now) {
  // A tag lifted while no one asked is lifted at its time, so its successor comes on time.
  if (leaving && leaveAt && now >= *leaveAt) LiftTag(*leaveAt);
  if (!feedAt || now < *feedAt) return;
  feedAt.reset();
  FeedBlank();
}

void VirtualReader::Impl::OnAcknowledge(SimClock::time_point now) {
  // The operator lifts a tag at the beep for a written tag only, not at the one for a
  // connect; while the next blank is still in the operator's hand, or the tag is already
  // on its way off, there is nothing to lift.
  if (feederRemaining <= 0 || feedAt || leaving || !onReaderWritten) return;
  if (dwellMs == 0 && dwellReads == 0) {
    LiftTag(now);
    ApplyFeeder(now);
    return;
  }
  leaving = true;
  if (dwellMs > 0) leaveAt = now + std::chrono::milliseconds(dwellMs);
  leaveAfterReads = dwellReads;
}

void VirtualReader::Impl::LiftTag(SimClock::time_point now) {
  Place(std::nullopt);
  // The next blank is in the operator's hand from now on.
  if (feederRemaining <= 0 || feedAt) return;
  --feederRemaining;
  feedAt = now + std::chrono::milliseconds(feederDelayMs);
}

void VirtualReader::Impl::CountDwellRead(SimClock::time_point now) {
  if (!leaving || leaveAfterReads <= 0) return;
  if (--leaveAfterReads > 0) return;
  LiftTag(now);
  ApplyFeeder(now);
}

void VirtualReader::SetFeeder(std::string_view kind, int count, int delayMs) {
  std::lock_guard lock(impl_->mu);
  Impl& s = *impl_;
  // Only blank chips can be fed; anything else turns the feeder off.
  const auto probe = MakeTag(kind, 0, nullptr);
  if (!probe || (!probe->t5577 && !probe->em4305)) count = 0;
  s.feederKind = std::string(kind);
  s.feederDelayMs = std::clamp(delayMs, 0, MaxDelayMs);
  s.feedAt.reset();
  s.leaving = false;
  s.leaveAt.reset();
  s.feederRemaining = 0;
  // The operator starts by putting the first blank of the stack on the reader.
  count = std::clamp(count, 0, MaxFeedCount);
  if (count > 0 && s.FeedBlank()) s.feederRemaining = count - 1;
}

int VirtualReader::FeederRemaining() const {
  std::lock_guard lock(impl_->mu);
  impl_->ApplyFeeder(SimClock::now());
  return impl_->feederRemaining;
}

void VirtualReader::SetDwell(int ms, int reads) {
  std::lock_guard lock(impl_->mu);
  impl_->dwellMs = std::clamp(ms, 0, MaxDelayMs);
  impl_->dwellReads = std::clamp(reads, 0, MaxDwellReads);
}

}  // namespace rivelo::sim
