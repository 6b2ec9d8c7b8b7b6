// What the virtual reader's tags hold: each tag as every identity format reads it, its
// memory and the identities its writes gave it. rivelo-sim prints it when it ends; tests
// compare it with what a run listed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/tag_formats.h"
#include "sim/virtual_reader.h"

namespace rivelo::sim {

struct TagState {
  int id = 0;
  std::string kind;  // "t5577", "em4305", "em4100", "fdxb", "fdxa", "hid"
  bool fed = false;
  bool onReader = false;
  bool lifted = false;  // taken away between a write and its verifying read
  bool silent = false;  // sends nothing now (answer on request, disabled, reader talks first)
  // Each format's reading of what the tag sends; at most one of them is set.
  std::optional<Em4100Id> em4100;
  std::optional<FdxbIdentity> fdxb;
  std::optional<HidCard> hid;
  std::optional<FdxaId> fdxa;
  // What a reader decodes, as in TagInfo::identity ("" none).
  std::string identity;
  // The access-control format and identity a T5577's blocks hold, as the virtual reader's own
  // decoder reads them ("" none).
  std::string blockFormat;
  // The identities the tag carried after each successful write that changed what it sends,
  // in order ("" for none). Two different ones mean a tag was written over.
  std::vector<std::string> carried;
  int writes = 0;  // successful write commands
  std::optional<TagMemory> memory;  // writable chips only
};

struct ReaderState {
  std::vector<TagState> tags;
  Counters counters;
  int feederRemaining = 0;
};

// The state as text, one tag a paragraph: its kind and flags, each format's reading, its
// history and memory (T5577 "block P:B", EM4305 "word N", each with "locked"), then the
// faults injected by kind.
std::string StateText(const ReaderState& state);

// Writes text to path: "" standard error, "-" standard output, else the file, replaced
// whole (written into a new temporary beside it, then renamed, so a reader never sees half of
// it). A link or anything but a regular file at path is refused, never followed or replaced.
// false with *error set when it could not be written.
bool WriteStateText(const std::string& text, const std::string& path, std::string* error);
// Checks at start what WriteStateText needs at the end: path is a regular file or missing, and
// its folder takes a new file. false with *error set otherwise.
bool CheckStatePath(const std::string& path, std::string* error);

}  // namespace rivelo::sim
