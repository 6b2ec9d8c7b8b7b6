#include "batch/link_watch.h"

#include <algorithm>

namespace rivelo {

LinkWatch::LinkWatch(int silentTicks) : threshold_(std::max(silentTicks, 1)) {}

void LinkWatch::Reset() {
  silentTicks_ = 0;
  totalSilent_ = 0;
  silent_ = false;
  readThisTick_ = false;
  answeredThisTick_ = false;
}

void LinkWatch::Note(ReadOutcome outcome) {
  readThisTick_ = true;
  // "No tag" is an answer too: only a read without a valid reply is silence.
  if (outcome != ReadOutcome::NoReply) answeredThisTick_ = true;
}

LinkWatch::Change LinkWatch::EndTick() {
  const bool read = readThisTick_;
  const bool answered = answeredThisTick_;
  readThisTick_ = false;
  answeredThisTick_ = false;
  if (!read) return Change::None;
  if (answered) {
    silentTicks_ = 0;
    if (!silent_) return Change::None;
    silent_ = false;
    return Change::Answers;
  }
  ++totalSilent_;
  if (silent_) return Change::None;  // already said; the count stays where it was said
  if (++silentTicks_ < threshold_) return Change::None;
  silent_ = true;
  return Change::WentSilent;
}

}  // namespace rivelo
