// The operator's hand at the reader: the stack of blanks, how long a written tag stays on
// the reader after its beep, and the tag taken away before its write is read back.
#include <algorithm>

#include "sim/reader_state.h"

namespace rivelo::sim {

bool VirtualReader::Impl::FeedBlank() {
  while (!feederStacks.empty() && feederStacks.front().count <= 0) feederStacks.erase(feederStacks.begin());
  if (feederStacks.empty()) return false;
  const int id = CreateTag(feederStacks.front().kind, nullptr);
  --feederStacks.front().count;
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

void VirtualReader::Impl::OnFailureSignal(SimClock::time_point now) {
  // The operator answers the error indication after a write to a fed tag by putting that tag
  // in the reject tray; any other failure signal (a read that found nothing) leaves the reader
  // as it is.
  if (!onReader || !onReaderWriteTried || std::find(fedIds.begin(), fedIds.end(), *onReader) == fedIds.end()) return;
  if (leaving || feedAt) return;  // already on its way off
  LiftTag(now);
  ApplyFeeder(now);
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
  SetFeeder({FeedStack{std::string(kind), count}}, delayMs);
}

void VirtualReader::SetFeeder(const std::vector<FeedStack>& stacks, int delayMs) {
  std::lock_guard lock(impl_->mu);
  Impl& s = *impl_;
  // Only blank chips can be fed; anything else turns the feeder off.
  s.feederStacks.clear();
  long long total = 0;
  for (const FeedStack& stack : stacks) {
    const auto probe = MakeTag(stack.kind, 0, nullptr);
    if (!probe || (!probe->t5577 && !probe->em4305)) {
      s.feederStacks.clear();
      total = 0;
      break;
    }
    const int n = std::clamp(stack.count, 0, static_cast<int>(std::min<long long>(MaxFeedCount - total, MaxFeedCount)));
    if (n > 0) s.feederStacks.push_back({stack.kind, n});
    total += n;
  }
  const int count = static_cast<int>(total);
  s.feederDelayMs = std::clamp(delayMs, 0, MaxDelayMs);
  s.feedAt.reset();
  s.leaving = false;
  s.leaveAt.reset();
  s.feederRemaining = 0;
  // The operator starts by putting the first blank of the stack on the reader.
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
