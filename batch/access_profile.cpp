// The access-control formats through the reader's T5577 block commands, one table entry per
// format of model/access. A tag is written as its block image (data blocks first, block 0 last,
// each fetched back) and read as its blocks, decoded. A genuine card of these formats sends in a
// modulation the reader's own reads do not take and answers no block read, so only T5577s
// carrying such an image can be read.
#include "batch/chip_serial.h"
#include "batch/format_table.h"
#include "batch/t5577_image.h"
#include "batch/tag_protection.h"
#include "model/access/access_identity.h"
#include "model/access/access_bits.h"
#include "model/t5577_block0.h"

namespace rivelo {
namespace {

using access::AccessFormat;

// Found only for blocks that are the very image of the identity they decode to, block 0's
// password and answer-on-request bits aside: the runner's verifying read then counts a tag
// only when every block it holds is the one written.
ReadOutcome ReadAccessTag(const AccessFormat& format, const RunChoices& choices, Identity* id) {
  T5577ImageRead read = ReadT5577Image(format.dataBlocks, choices.password);
  // A tag the run has protected answers block reads only with the password it was given; it is
  // asked with that password only after the carried one failed, so no unprotected chip gets it.
  if (!read.image && choices.protect && read.result.outcome == TagOutcome::Refused)
    read = ReadT5577Image(format.dataBlocks, choices.protect);
  if (!read.image) {
    const TagOutcome o = read.result.outcome;
    return o == TagOutcome::NoReply || o == TagOutcome::PortGone ? ReadOutcome::NoReply : ReadOutcome::NoIdentity;
  }
  const access::BlockImage image{read.image->block0, read.image->data};
  const auto values = access::Decode(format, image);
  if (!values) return ReadOutcome::NoIdentity;
  auto expected = access::Encode(format, *values);
  if (!expected) return ReadOutcome::NoIdentity;
  expected->block0 |= image.block0 & access::Block0ProtectionBits;
  if (*expected != image) return ReadOutcome::NoIdentity;
  *id = access::ToIdentity(format, *values);
  return ReadOutcome::Found;
}

std::optional<access::BlockImage> ImageOf(const AccessFormat& format, const Identity& id) {
  const auto values = access::ValuesOf(format, id);
  return values ? access::Encode(format, *values) : std::nullopt;
}

void WriteAccessTag(const AccessFormat& format, const Identity& id, const RunChoices& choices) {
  if (const auto image = ImageOf(format, id)) WriteT5577Image({image->block0, image->data}, choices.password);
}

// Block 7 gets the password, then block 0 the password bit; the image must read back with it.
bool ProtectAccessTag(const AccessFormat& format, const Identity& id, const RunChoices& choices) {
  const auto image = ImageOf(format, id);
  return image && choices.protect &&
         ProtectT5577({image->block0 | T5577PasswordBit, image->data}, *choices.protect, choices.password).ok();
}

FormatEntry AccessEntry(const AccessFormat& format, const IdentityFormat& identity) {
  FormatEntry e;
  e.format = &identity;
  e.profile = [&format, &identity](std::function<RunChoices()> choices) {
    BatchProfile p;
    p.format = &identity;
    p.page = std::string(format.title) + "/T5577";
    p.periodMs = 500;
    p.ops.read = [&format, choices](Identity* id) { return ReadAccessTag(format, choices(), id); };
    ChipWrite t5577{"T5577", [&format](const Identity& id, const RunChoices& c) { WriteAccessTag(format, id, c); },
                    ReadT5577Serial};
    t5577.protect = [&format](const Identity& id, const RunChoices& c) { return ProtectAccessTag(format, id, c); };
    p.ops.writes = {t5577};
    p.choices = std::move(choices);
    p.texts = FormatBatchTexts(format.title);
    return p;
  };
  e.report = [&identity](const Identity& id) {
    Labelled lines = identity.fields(id);
    std::erase_if(lines, [&identity](const auto& line) { return line.first == identity.name; });
    return lines;
  };
  e.readNote =
      "reads the blocks of a T5577 that carries the format: a genuine card of the format (not a T5577) cannot be "
      "read by this reader";
  return e;
}

}  // namespace

std::vector<FormatEntry> AccessEntries() {
  std::vector<FormatEntry> entries;
  const auto& identities = access::AccessIdentityFormats();
  for (std::size_t i = 0; i < identities.size(); ++i) entries.push_back(AccessEntry(*access::AccessFormats()[i], identities[i]));
  return entries;
}

}  // namespace rivelo
