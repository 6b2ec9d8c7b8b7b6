// The one table of identity formats. An entry is the model's format (fields with their
// ranges, text forms, entry and batch-line parsing, increment and its end, the virtual tag
// kind) and what reads and writes it through the reader: its profile (the read, the chips'
// writes in order of trial, the tick period, the texts), the chips --chip may name, whether
// its writes can lock, and what a report adds to its forms. The window's pages, rivelo's read,
// write and run commands, export, the run log, --json, the manual pages and the tests all read
// it, so a new format is one entry here.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "batch/batch_profile.h"
#include "batch/tag_result.h"
#include "model/identity.h"

namespace rivelo {

// A chip that --chip may name; a run that writes only this chip ticks at its page's period.
struct FormatChip {
  const char* key;  // "t5577": the write of the profile whose chip is "T5577"
  int periodMs;
};

using Labelled = std::vector<std::pair<std::string, std::string>>;

struct FormatEntry {
  const IdentityFormat* format = nullptr;
  bool lockable = false;  // whether its writes can lock the tag
  // Every chip's write in the order of trial; choices is asked whenever the runner needs the
  // lock flag or the export form.
  std::function<BatchProfile(std::function<RunChoices()> choices)> profile{};
  std::vector<FormatChip> chips{};  // empty: one chip, nothing to choose
  // A single read without --form prints these lines (label and text); null: the identity
  // in its first form.
  std::function<Labelled(const Identity& id)> report{};
  // Members that a tag's JSON object holds beside its forms, such as the country's name.
  std::function<Labelled(const Identity& id)> jsonMembers{};
  // What a read cannot see, said in the read command's help; null: nothing.
  const char* readNote = nullptr;
};

const std::vector<FormatEntry>& FormatTable();
const FormatEntry* FindFormatEntry(std::string_view name);
// The model's side of the table's entries, in its order.
const std::vector<const IdentityFormat*>& IdentityFormats();
const IdentityFormat* FindFormat(std::string_view name);

// The format's profile, writing only the chip of that --chip key (empty: every chip).
BatchProfile ProfileFor(const FormatEntry& format, std::function<RunChoices()> choices, std::string_view chip = {});

// The chips a profile writes, in the order it tries them: "EM4305, then T5577".
std::string ChipOrder(const BatchProfile& profile);
// The virtual reader's blank kind of the profile's first chip: "em4305".
std::string FirstChipKind(const BatchProfile& profile);

// The texts of a format's runs where no page words them: the EM4100 page's list texts, and
// the status lines named with the format's title.
BatchTexts FormatBatchTexts(const char* title);

// One write of the profile's first chip, read back: it counts only when the tag then reads
// back the identity sent (a reader's refusal and its success answer alike).
TagResult WriteAndReadBack(const BatchProfile& profile, const Identity& id, const RunChoices& choices = {});

// The entries, one per format (each in its own file beside its chip operations).
FormatEntry Em4100Entry();
FormatEntry FdxbEntry();
FormatEntry Hid26Entry();
FormatEntry FdxaEntry();
// One entry per access-control format a T5577 carries as a block image (model/access).
std::vector<FormatEntry> AccessEntries();

}  // namespace rivelo
