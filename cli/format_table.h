// The tag formats rivelo reads, writes and runs, and what the command line needs of each
// beyond the model's descriptor: how an identity is typed, the batch profile (chip operations
// and texts) that reads and writes it, and what a report adds to its forms. The read, write
// and run commands are made from this table, so a new format is one entry here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "batch/batch_profile.h"
#include "model/identity.h"

namespace rivelo::cli {

// One value of an identity as it is typed: a word of the command line, or an option's value.
struct IdentityValue {
  const char* name;  // "HEX10", "COUNTRY"; an option's own name: "--trailer"
  const char* help;  // "10 hex digits, e.g. 0123456789"
  // Why the text is refused, one line naming the value; empty when it is good.
  std::string (*check)(std::string_view text);
  const char* valueName = nullptr;  // an option's value in usage lines: "N"
  const char* fallback = nullptr;   // an option's value when it is not given
};

// A chip that --chip may name; a run that writes only this chip ticks at its page's period.
struct CliChip {
  const char* key;  // "t5577": the write of the profile whose chip is "T5577"
  int periodMs;
};

using Labelled = std::vector<std::pair<std::string, std::string>>;

struct CliFormat {
  const IdentityFormat* format;
  const char* title;  // the format's name in texts: "EM4100"
  // The identity as typed: the words (HEX10; COUNTRY NATIONAL), then the options that
  // complete it (--trailer N). identity() takes their checked texts in that order.
  std::vector<IdentityValue> words;
  std::vector<IdentityValue> options;
  Identity (*identity)(const std::vector<std::string>& values);
  // What one line of a batch file holds, and what --incremental does.
  const char* fileLineHelp;
  const char* incrementalHelp;
  // Said after the forms in the help of --form; may be null.
  const char* formNote = nullptr;
  bool lockable;  // whether its writes can lock the tag
  // The profile of its runs, with every chip's write in the order of trial; choices is asked
  // whenever the runner needs the lock flag or the export form.
  BatchProfile (*profile)(std::function<RunChoices()> choices);
  std::vector<CliChip> chips;
  // A single read without --form prints these lines (label and text); null: the identity
  // in its first form.
  Labelled (*report)(const Identity& id) = nullptr;
  // Members that a tag's JSON object holds beside its forms, such as the country's name.
  Labelled (*jsonMembers)(const Identity& id) = nullptr;
};

const std::vector<CliFormat>& CliFormats();

// The format's profile, writing only the chip of that --chip key (empty: every chip).
BatchProfile ProfileFor(const CliFormat& format, std::function<RunChoices()> choices, std::string_view chip = {});

// The chips a profile writes, in the order it tries them: "EM4305, then T5577".
std::string ChipOrder(const BatchProfile& profile);

// Why text is no whole decimal number from 0 to maximum ("country code 1024 is out of range
// (0 to 1023)"), or empty. what names the value.
std::string DecimalValueError(std::string_view what, std::string_view text, std::uint64_t maximum);

// The FDX-B entry of the table.
CliFormat FdxbCliFormat();

}  // namespace rivelo::cli
