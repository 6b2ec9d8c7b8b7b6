// The virtual reader: the device's side of the reader protocol, with real tag memories.
// Thread-safe: the serving thread and the window or a test may call it at the same time.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rivelo::sim {

struct ReaderState;

struct TagInfo {
  int id = 0;               // stable handle for PlaceOnReader
  std::string kind;         // "t5577", "em4305", "em4100", "fdxb", "fdxa", "hid"
  std::string description;  // one line for lists, e.g. "EM4100 0123456789"
  bool onReader = false;
  std::string identity;     // what a reader decodes from it now, e.g. "EM4100 0123456789"; "" none
  bool fed = false;         // came from the feeder
  bool lifted = false;      // taken away between a write and its verifying read (a fault)
};

// What can go wrong on purpose.
enum class Fault {
  None,
  NoAnswer,        // the command is carried out, the reply is lost
  BadChecksum,     // the reply's checksum is wrong
  Truncated,       // only the first half of the reply's bytes
  TrailingBytes,   // stray bytes after the reply
  Late,            // the reply comes lateMs after the request
  LiftAfterWrite,  // after a write the tag leaves the reader before the host can read it back
  // An identity read answers, validly, that it found none, although the tag on the reader
  // holds one: a tag at the edge of the field. Only identity reads of a tag that sends one.
  Misread,
};
constexpr int FaultKinds = 8;
const char* FaultName(Fault fault);  // "no answer", ...; "" for None

// The knobs' bounds; values beyond them are clamped, and rivelo-sim refuses them.
constexpr int MaxLateMs = 60'000;
constexpr int MaxDelayMs = 600'000;  // feeder delay and dwell time
constexpr int MaxDwellReads = 1'000;
constexpr int MaxFeedCount = 1'000'000;

struct Counters {
  int acknowledgements = 0;  // 0x103 received
  int lastAcknowledge = -1;  // its value byte
  int resultSignals = 0;     // 0x104 received
  int lastResult = -1;
  int readMode = -1;         // last 0x107 mode byte
  int requests = 0;          // frames answered or not
  int faults = 0;            // faults injected, every kind
  std::array<int, FaultKinds> faultsByKind{};  // indexed by Fault
};

struct FaultRule {
  Fault fault = Fault::None;
  double probability = 1.0;  // chance per reply (per write for LiftAfterWrite), seeded
  int lateMs = 1500;         // for Late, 0 to MaxLateMs
  int times = -1;            // how many more replies it may hit; -1 without end
  int after = 0;             // replies it lets through untouched before it starts
};

// One reply as the line carries it.
struct Reply {
  std::vector<std::uint8_t> bytes;  // empty: stay silent
  int delayMs = 0;                  // radio time and lateness before the first byte
};

// A writable tag's memory. T5577: page 0 blocks 0-7, then page 1 blocks 0-3 (block 0 of
// page 1 is block 0), with their lock bits. EM4305: words 0-15, locked = write-protected.
struct TagMemory {
  std::vector<std::uint32_t> words;
  std::vector<bool> locked;
};

// How reply bytes leave on the line. Line: each byte at its time at 38400 baud (0.26 ms a
// byte), as a real line delivers them; on a heavily loaded machine the serving thread can be
// held up for more than the host's 5 ms inter-byte gap, which the host takes for the end of
// the reply. Burst: the reply waits its whole transmission time and then leaves at once, so
// it ends when a real one would and can never be split.
enum class Pacing { Off, Line, Burst };

// Typical radio time of a command, in ms (0 for the reader's own commands).
int RadioTimeMs(std::uint16_t code);

// Blanks of one kind for the feeder's stack.
struct FeedStack {
  std::string kind;  // "t5577", "em4305", options as in AddTag
  int count = 0;
};

class VirtualReader {
 public:
  VirtualReader();
  ~VirtualReader();
  VirtualReader(const VirtualReader&) = delete;
  VirtualReader& operator=(const VirtualReader&) = delete;

  // Creates a tag from a text such as "em4100:0123456789", "t5577", "t5577:pwd=11223344",
  // "t5577:pwd=11223344:aor", "em4305", "em4305:pwd=HEX8:uid=HEX8", "fdxb:999:112233",
  // "hid:118:1603", "fdxa:1A2B3C4D5E". Returns its id, or -1 with *error set. The first
  // tag created is placed on the reader.
  int AddTag(std::string_view text, std::string* error = nullptr);
  bool RemoveTag(int id);      // false if there is no such tag
  bool PlaceOnReader(int id);  // the tag that was on the reader goes back beside it
  void TakeOffReader();
  std::optional<int> TagOnReader() const;
  std::vector<TagInfo> Tags() const;
  std::optional<TagInfo> Info(int id) const;
  std::optional<TagMemory> Memory(int id) const;  // nullopt for read-only tags

  // A stack of count blank chips ("t5577" or "em4305", options as in AddTag). The first is
  // put on the reader at once, in place of the tag there (which goes back beside it). An
  // acknowledgement (0x103) after a successful write to the tag on the reader lets the
  // operator lift that tag once its dwell is over (at once without one) and put the next
  // blank on delayMs later; an acknowledgement of anything else, such as a connect, leaves
  // the tag where it is. count 0, or a kind that is no writable chip, turns the feeder off
  // and leaves the reader as it is. When the stack is empty, the last tag stays on the
  // reader. count is clamped to MaxFeedCount, delayMs to 0-MaxDelayMs.
  // The error indication (0x104 with 1) after a write reached the fed tag on the reader puts that
  // tag in the reject tray, as the operator would, and the next blank follows as after a lift.
  void SetFeeder(std::string_view kind, int count, int delayMs);
  // Several stacks, one after the other: the whole stack is clamped to MaxFeedCount, and a kind
  // that is no writable chip turns the feeder off.
  void SetFeeder(const std::vector<FeedStack>& stacks, int delayMs);
  // The blanks still in the stack; one on its way to the reader is no longer in it.
  int FeederRemaining() const;
  // How long a written tag stays on the reader after its acknowledgement: ms, or reads
  // (requests that reach the tag), whichever ends first; 0 and 0 lifts it at once. Clamped
  // to MaxDelayMs and MaxDwellReads.
  void SetDwell(int ms, int reads);

  Counters GetCounters() const;
  // Every tag as each format reads it, with its memory and history (sim/final_state.h).
  ReaderState State() const;

  // Knobs. Pacing: how the serving thread sends replies (Off by default; rivelo-sim uses
  // Line). Radio timing: each reply waits the command's radio time (off by default).
  // Strict read mode: T5577 reads succeed only when the last 0x107 mode matches the tag's
  // modulation and data rate (off by default).
  void SetPacing(Pacing pacing);
  void SetPacing(bool on) { SetPacing(on ? Pacing::Line : Pacing::Off); }
  Pacing GetPacing() const;
  void SetRadioTiming(bool on);
  void SetStrictReadMode(bool on);
  // Faults. The reply faults of all commands are drawn together, one draw a reply, so their
  // probabilities add up (to at most 1); LiftAfterWrite is drawn on its own after each
  // successful write. SetFault makes rule the only one for all commands (None: no faults),
  // AddFault adds it. A rule for one command code wins over the rules for all commands of
  // its family (reply faults, or LiftAfterWrite) while it lasts.
  void SetFault(const FaultRule& rule);
  void AddFault(const FaultRule& rule);
  void SetCommandFault(std::uint16_t code, const FaultRule& rule);
  void ClearFaults();
  void SetSeed(std::uint64_t seed);  // the fault probabilities' generator

  // The journal of requests and replies: "-" for stderr, a file name (appended), "" off.
  bool SetJournal(const std::string& path, std::string* error = nullptr);
  // Also hands each journal line to sink (empty function: none). The sink runs while the
  // reader is locked: it must not call back into the reader.
  void SetJournalSink(std::function<void(const std::string&)> sink);

  // The device's side of one exchange: the raw bytes of one request frame; returns the
  // reply and how long to wait before sending it.
  Reply Respond(const std::vector<std::uint8_t>& raw);
  // The same, waiting the reply's delay before returning its bytes (empty: stay silent).
  std::vector<std::uint8_t> HandleRequest(const std::vector<std::uint8_t>& raw);

  struct Impl;  // the state shared by the command handlers (reader_state.h)

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace rivelo::sim
