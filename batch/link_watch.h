// Watches whether the reader still answers during a run. The runner feeds it the outcome of
// every read; a tick in which no read brought a valid reply counts as a silent tick. After
// a few silent ticks in a row the reader is taken as silent, and the first tick with a
// valid reply after that as its return: each change is reported once, so the operator hears
// of a reader that went quiet without a line every tick.
#pragma once

#include "batch/batch_profile.h"

namespace rivelo {

class LinkWatch {
 public:
  // What a tick changed.
  enum class Change { None, WentSilent, Answers };

  // The silent ticks in a row that make the reader silent.
  static constexpr int DefaultSilentTicks = 3;

  explicit LinkWatch(int silentTicks = DefaultSilentTicks);

  // A run starts: nothing is known yet.
  void Reset();
  // One read's outcome within the current tick.
  void Note(ReadOutcome outcome);
  // Ends the tick. A tick without reads changes nothing.
  Change EndTick();

  bool Silent() const { return silent_; }
  int SilentTicks() const { return silentTicks_; }
  // Every tick without a valid reply since Reset, in a row or not.
  int TotalSilentTicks() const { return totalSilent_; }
  int Threshold() const { return threshold_; }

 private:
  int threshold_;
  int silentTicks_ = 0;
  int totalSilent_ = 0;
  bool silent_ = false;
  bool readThisTick_ = false;
  bool answeredThisTick_ = false;
};

}  // namespace rivelo
