// SIGINT, SIGTERM and SIGHUP during a run: instead of ending the program at once, they ask the
// run to stop, so that it writes its stop line, closes its export file and exits with 130.
#pragma once

namespace rivelo::cli {

// While one lives, the stop signals only raise the flag that Requested reads; the handlers
// that were there before come back when it goes.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  bool Requested() const;
  // The number of the signal that asked (SIGINT, SIGTERM, SIGHUP), 0 when none did.
  int Signal() const;
};

}  // namespace rivelo::cli
