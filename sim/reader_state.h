// The virtual reader's state, shared by its public face (virtual_reader.cpp) and its
// command handlers (reader_commands.cpp). Every member is guarded by mu.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "sim/device_frame.h"
#include "sim/tag.h"
#include "sim/virtual_reader.h"

namespace rivelo::sim {

using SimClock = std::chrono::steady_clock;

constexpr std::uint8_t StatusOk = 0x00;
// The one failure status: no tag, wrong chip, refused by the chip, bad request data.
constexpr std::uint8_t StatusFail = 0x01;
constexpr char IdentificationText[] = "ID card reader & writer";

// Whether a successful reply to code means the tag on the reader was written.
bool WritesTag(std::uint16_t code);
// A writable tag's memory; nullopt for read-only tags.
std::optional<TagMemory> MemoryOf(const Tag& t);

struct Outcome {
  std::uint8_t status = StatusFail;
  std::vector<std::uint8_t> payload;
};

struct VirtualReader::Impl {
  mutable std::mutex mu;
  std::vector<Tag> tags;
  std::vector<int> fedIds;
  std::optional<int> onReader;
  int nextId = 1;
  Counters counters;
  // What 0x208 hands out: the blocks of the last T5577 command.
  std::vector<std::uint32_t> fetch;

  // A write command succeeded on the tag on the reader since it was put there. Only then does
  // an acknowledgement mean the operator lifts it: the host also acknowledges a connect.
  bool onReaderWritten = false;
  // A write command reached the tag on the reader since it was put there, taken or not.
  bool onReaderWriteTried = false;

  // The blanks not yet put on the reader (the one on its way among them), in order, by kind.
  std::vector<FeedStack> feederStacks;
  int feederRemaining = 0;  // blanks still in the stack (not the one on its way)
  int feederDelayMs = 0;
  std::optional<SimClock::time_point> feedAt;
  // A written tag's dwell after its acknowledgement: it leaves at leaveAt or after
  // leaveAfterReads more requests reach it, whichever comes first.
  int dwellMs = 0;
  int dwellReads = 0;
  bool leaving = false;
  std::optional<SimClock::time_point> leaveAt;
  int leaveAfterReads = 0;

  Pacing pacing = Pacing::Off;
  bool radioTiming = false;
  bool strictReadMode = false;
  std::vector<FaultRule> replyFaults;  // for all commands, drawn together
  FaultRule liftFault;                 // for all writes
  std::map<std::uint16_t, FaultRule> commandFaults;
  std::mt19937_64 rng{1};

  std::FILE* journal = nullptr;
  bool journalOwned = false;
  std::function<void(const std::string&)> journalSink;

  ~Impl();
  Tag* FindTag(int id);
  const Tag* FindTag(int id) const;
  Tag* OnReader();
  int CreateTag(std::string_view text, std::string* error);
  void Place(std::optional<int> id);
  // Takes a blank from the feeder and puts it on the reader; false if it cannot be made.
  bool FeedBlank();
  // Lifts a dwelling tag and puts the next fed blank on the reader once their time has come.
  void ApplyFeeder(SimClock::time_point now);
  void OnAcknowledge(SimClock::time_point now);
  // The error indication (0x104 with 1).
  void OnFailureSignal(SimClock::time_point now);
  // The operator takes the tag on the reader away; the next blank follows after the delay.
  void LiftTag(SimClock::time_point now);
  // After a request that reached the tag on the reader: counts down its dwell.
  void CountDwellRead(SimClock::time_point now);
  // A successful write changed the tag on the reader: its history.
  void RecordWrite();
  TagInfo MakeInfo(const Tag& t) const;

  // Carries out a request, through the handler of its command family (reader_commands.cpp).
  Outcome Execute(const Request& r, SimClock::time_point now);
  Outcome ExecuteReaderCommand(const Request& r, SimClock::time_point now);  // 0x102-0x107
  Outcome ExecuteT5577(const Request& r);                                    // 0x201-0x20D
  // The reply fault to apply to this reply (draws from rng), or None. canMisread: the reply
  // carries an identity that a misread could hide.
  FaultRule PickFault(std::uint16_t code, bool canMisread);
  // Whether the tag just written leaves the reader now (draws from rng).
  bool PickLift(std::uint16_t code);
  void CountFault(Fault fault);
  void Journal(const std::string& line);
};

}  // namespace rivelo::sim
