// The virtual reader: the device's side of the reader protocol, with real tag memories.
// Thread-safe: the serving thread and the window or a test may call it at the same time.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rivelo::sim {

struct TagInfo {
  int id = 0;               // stable handle for PlaceOnReader
  std::string kind;         // "t5577", "em4305", "em4100", "fdxb", "fdxa", "hid"
  std::string description;  // one line for lists, e.g. "EM4100 0123456789"
  bool onReader = false;
};

struct Counters {
  int acknowledgements = 0;  // 0x103 received
  int lastAcknowledge = -1;  // its value byte
  int resultSignals = 0;     // 0x104 received
  int lastResult = -1;
  int readMode = -1;         // last 0x107 mode byte
  int requests = 0;          // frames answered or not
};

class VirtualReader {
 public:
  VirtualReader();
  ~VirtualReader();
  VirtualReader(const VirtualReader&) = delete;
  VirtualReader& operator=(const VirtualReader&) = delete;

  // Creates a tag from a spec such as "em4100:0123456789", "t5577", "t5577:pwd=11223344",
  // "em4305", "fdxb:999:112233", "hid:118:1603", "fdxa:1A2B3C4D5E". Returns its id, or -1
  // with *error set. The first tag created is placed on the reader.
  int AddTag(std::string_view spec, std::string* error = nullptr);
  bool PlaceOnReader(int id);  // the tag that was on the reader goes back beside it
  void TakeOffReader();
  std::optional<int> TagOnReader() const;
  std::vector<TagInfo> Tags() const;

  // A stack of blank chips ("t5577" or "em4305") that replaces the tag on the reader after
  // each acknowledgement (0x103), after delayMs. count 0 turns the feeder off.
  void SetFeeder(std::string_view kind, int count, int delayMs);
  int FeederRemaining() const;

  Counters GetCounters() const;

  // The device's side of one exchange: the raw bytes that arrived on the line; returns the
  // raw bytes to send back (empty: stay silent). The serving thread calls it.
  std::vector<std::uint8_t> HandleRequest(const std::vector<std::uint8_t>& raw);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace rivelo::sim
