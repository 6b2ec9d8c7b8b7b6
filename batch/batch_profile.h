// What an identity page tells the batch runner about itself: its identity format, the chip
// operations that read and write a tag, its timer period and texts, and a callback for the
// operator's choices (lock, export form) that the runner calls at the moment it needs them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/identity.h"
#include "resources/texts_link.h"

namespace rivelo {

// Timer identifiers of a page; the page's timer event hands them to BatchRunner::Tick.
enum BatchTimer : int {
  ReadTimer = 1,
  ContinuousWriteTimer = 2,
  IncrementalWriteTimer = 3,
  FileWriteTimer = 4,
  KeyboardTimer = 5,
};

enum class WriteMode { None, Continuous, Incremental, FromFile };

// What one read of the tag found. Only the reader's own answer says anything about the tag:
// NoReply (silence, a bad checksum, a truncated frame) says nothing and never lets a write go
// ahead.
enum class ReadOutcome {
  Found,       // the reader read an identity
  NoIdentity,  // the reader answered that it read none (no tag, or a blank chip)
  NoReply,     // no valid reply
};

// A tag password as the reader carries it, most significant byte first.
using TagPassword = std::array<std::uint8_t, 4>;

// The operator's choices as they stand when the runner asks.
struct RunChoices {
  RunChoices() = default;
  RunChoices(int lockTag, std::size_t exportForm) : lock(lockTag), form(exportForm) {}
  int lock = 0;             // 0 or 1: lock the tag after writing it
  std::size_t form = 0;     // the export line's form (an index into the format's forms)
  // The password the tags on the reader carry (their writes and reads use it), and the one a
  // written tag is given. Held in memory only: never listed, logged or exported.
  std::optional<TagPassword> password;
  std::optional<TagPassword> protect;
};

// One way of writing an identity onto a chip. Its own result is not used: a verifying read
// decides.
struct ChipWrite {
  const char* chip;  // "EM4305", "T5577"
  std::function<void(const Identity& id, const RunChoices& choices)> write;
  // Reads the serial of this kind of chip on the reader (chip_serial.h); empty for a kind
  // without a readable one.
  std::function<ReadOutcome(std::string* serial)> serial = {};
  // Gives the tag that has just taken id the password RunChoices::protect: true only when reads
  // made with that password give back the identity. Empty for a kind that cannot be given one.
  std::function<bool(const Identity& id, const RunChoices& choices)> protect = {};
};

// The chip operations of a page.
struct ChipOps {
  // *id receives format.length bytes when the outcome is Found.
  std::function<ReadOutcome(Identity* id)> read;
  std::vector<ChipWrite> writes;  // tried in order
};

// The page's texts. The count texts hold one %d.
struct BatchTexts {
  std::string fileOpened;    // followed by the path
  std::string fileLoaded;    // %d: lines
  std::string counted;       // %d: RunCounter
  std::string numbered;      // %d: RunCounter, followed by a text
  std::string numberedIncremental;  // the same for incremental runs where a page words it apart
  std::string stop;
  std::string exportStarted; // followed by the path
  std::string exportStartedEnd;     // after the path
  bool exportStartedScrolls = true;  // false: the list stays where it is for that line
  std::string notConnected;
  std::string writing;
  std::string reading;
  std::string folderPrompt;
  std::string folderCancelled;
  std::string cannotOpen;
  std::string exportCannotCreate;  // followed by the path and the reason
  std::string exportCannotWrite;   // followed by the path
  std::string writeOk, writeError, readOk, readError;  // single operations
  std::string wrongLength;   // an identity of the wrong byte count; nothing is written
  // The reader stopped answering (%d: ticks), answers again, or its port went away (%s: the
  // port). The same on every page, so in the language in force when the texts are made.
  std::string linkSilent = texts::link::Silent();
  std::string linkAnswers = texts::link::Answers();
  std::string portGone = texts::link::PortGone();
};

struct BatchProfile {
  const IdentityFormat* format = nullptr;
  std::string page;  // who wrote, in the run log: "EM4100 on EM4305", "rivelo run em4100"
  int periodMs = 300;
  ChipOps ops;
  // Called whenever a write or an export line needs the operator's choices.
  std::function<RunChoices()> choices = [] { return RunChoices{}; };
  BatchTexts texts;
};

// Replaces the first %d of format with n.
std::string WithCount(const std::string& format, int n);

}  // namespace rivelo
