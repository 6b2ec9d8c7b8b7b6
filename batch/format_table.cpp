#include "batch/format_table.h"

#include <algorithm>
#include <cctype>

#include "batch/em4100_profile.h"
#include "reader/commands.h"
#include "resources/texts_batch.h"

namespace rivelo {
namespace {

bool SameChip(std::string_view key, std::string_view chip) {
  return std::equal(key.begin(), key.end(), chip.begin(), chip.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  });
}

}  // namespace

const std::vector<FormatEntry>& FormatTable() {
  static const std::vector<FormatEntry> table = [] {
    std::vector<FormatEntry> t{Em4100Entry(), FdxbEntry(), Hid26Entry(), FdxaEntry()};
    for (FormatEntry& e : AccessEntries()) t.push_back(std::move(e));
    return t;
  }();
  return table;
}

const FormatEntry* FindFormatEntry(std::string_view name) {
  for (const FormatEntry& e : FormatTable())
    if (name == e.format->name) return &e;
  return nullptr;
}

const std::vector<const IdentityFormat*>& IdentityFormats() {
  static const std::vector<const IdentityFormat*> formats = [] {
    std::vector<const IdentityFormat*> f;
    for (const FormatEntry& e : FormatTable()) f.push_back(e.format);
    return f;
  }();
  return formats;
}

const IdentityFormat* FindFormat(std::string_view name) {
  const FormatEntry* entry = FindFormatEntry(name);
  return entry ? entry->format : nullptr;
}

BatchProfile ProfileFor(const FormatEntry& format, std::function<RunChoices()> choices, std::string_view chip) {
  BatchProfile profile = format.profile(std::move(choices));
  profile.page = std::string("rivelo ") + profile.format->name;
  if (chip.empty()) return profile;
  std::erase_if(profile.ops.writes, [chip](const ChipWrite& w) { return !SameChip(chip, w.chip); });
  for (const FormatChip& c : format.chips)
    if (c.key == chip) profile.periodMs = c.periodMs;
  return profile;
}

std::string ChipOrder(const BatchProfile& profile) {
  std::string order;
  for (const ChipWrite& write : profile.ops.writes) order += (order.empty() ? "" : ", then ") + std::string(write.chip);
  return order;
}

std::string FirstChipKind(const BatchProfile& profile) {
  std::string kind = profile.ops.writes.empty() ? "" : profile.ops.writes.front().chip;
  for (char& c : kind) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return kind;
}

BatchTexts FormatBatchTexts(const char* title) {
  namespace t = texts::batch;
  BatchTexts x = Em4100BatchTexts();
  x.writing = t::WritingFormat() + std::string(title) + "......";
  x.reading = t::ReadingFormat() + std::string(title) + "......";
  x.writeOk = t::WritingFormat() + std::string(title) + " OK";
  x.writeError = t::WritingFormat() + std::string(title) + " error";
  x.readOk = t::ReadingFormat() + std::string(title) + " OK";
  x.readError = t::ReadingFormat() + std::string(title) + " error";
  return x;
}

TagResult WriteAndReadBack(const BatchProfile& profile, const Identity& id, const RunChoices& choices) {
  if (profile.ops.writes.empty() || id.size() != profile.format->length) return {TagOutcome::NotSent};
  profile.ops.writes.front().write(id, choices);
  Identity back(profile.format->length, 0);
  switch (profile.ops.read(&back)) {
    case ReadOutcome::Found: return {back == id ? TagOutcome::Done : TagOutcome::NotReadBack};
    case ReadOutcome::NoIdentity: return {TagOutcome::NotReadBack};
    case ReadOutcome::NoReply: break;
  }
  const CMyComm* port = PortAt(ReaderPortIndex);
  return {port != nullptr && port->PortGone() ? TagOutcome::PortGone : TagOutcome::NoReply};
}

}  // namespace rivelo
