#include "batch/inspect.h"

#include <algorithm>
#include <array>

#include "batch/format_table.h"
#include "batch/t5577_image.h"
#include "model/access/access_format.h"
#include "model/em4305_config.h"
#include "model/t5577_block0.h"
#include "reader/commands.h"

namespace rivelo {
namespace {

constexpr int PasswordWord = 2;
constexpr int ConfigWord = 4;
constexpr int LastBlock = 7;
constexpr int LastWord = 15;

bool LineFault(const TagResult& r) { return r.outcome == TagOutcome::NoReply || r.outcome == TagOutcome::PortGone; }

std::uint32_t LittleEndianWord(const TagBytes4& b) { return Em4305Word(b); }

// What the T5577 command before it left with the reader: the blocks it sent, or nothing.
std::vector<std::uint32_t> FetchedBlocks() {
  std::array<std::uint8_t, T5577FetchMax> buffer{};
  int n = 0;
  std::vector<std::uint32_t> blocks;
  if (CmdT5577FetchData(buffer, &n) != SOk) return blocks;
  for (int i = 0; i + 4 <= n; i += 4) {
    const auto at = static_cast<std::size_t>(i);
    blocks.push_back(BlockWord({buffer[at], buffer[at + 1], buffer[at + 2], buffer[at + 3]}));
  }
  return blocks;
}

// The identities the reader's own read commands find in what the tag sends.
void ReadWithReader(InspectReport& report) {
  for (const char* name : {"em4100", "fdxb", "hid", "fdxa"}) {
    const FormatEntry* entry = FindFormatEntry(name);
    if (entry == nullptr) continue;
    const BatchProfile profile = ProfileFor(*entry, [] { return RunChoices{}; });
    Identity id;
    if (profile.ops.read(&id) != ReadOutcome::Found) continue;
    report.identities.push_back({entry->format->name, entry->format->title, entry->format->text(id, 0),
                                 IdentitySource::Reader});
  }
}

// Blocks 0-7 read one by one, plain or with the password: false on a line fault.
bool ReadBlocks(InspectReport& report, const std::optional<TagBytes4>& password) {
  report.blocks.assign(LastBlock + 1, std::nullopt);
  for (int block = 0; block <= LastBlock; ++block) {
    const TagData got = ReadT5577Block(0, block, password);
    if (LineFault(got.result)) {
      report.failure = got.result;
      return false;
    }
    if (got.value) report.blocks[static_cast<std::size_t>(block)] = BlockWord(*got.value);
    if (block == 0 && !got.value) return true;
  }
  return true;
}

void FinishT5577(InspectReport& report) {
  const auto block0 = report.Config();
  if (!block0) return;
  const T5577Block0 b = DecodeT5577Block0(*block0);
  report.passwordProtected = b.passwordMode;
  report.answerOnRequest = b.answerOnRequest;
  // In password mode block 7 is the password: it is not the tag's data, and never shown.
  if (b.passwordMode) report.blocks[T5577PasswordBlock].reset();
  std::vector<std::uint32_t> data;
  for (int block = 1; block <= LastBlock; ++block) {
    const auto& v = report.blocks[static_cast<std::size_t>(block)];
    if (!v) break;
    data.push_back(*v);
  }
  const auto found = DecodeAccessImage(*block0, data);
  report.identities.insert(report.identities.end(), found.begin(), found.end());
  report.blank = *block0 == T5577FactoryConfig &&
                 std::all_of(report.blocks.begin() + 1, report.blocks.end(),
                             [](const auto& v) { return v && *v == 0; });
}

// A T5577 that refused the plain read of block 0: protected, silent until woken, or absent.
bool ProbeRefusingT5577(InspectReport& report, const std::optional<TagBytes4>& password) {
  if (CmdT5577Reset() != ROk) return false;
  report.sent = FetchedBlocks();
  if (report.sent.empty()) {
    // Silent after a reset: an answer-on-request chip, which only its password wakes.
    if (!password || CmdT5577Wake(*password) != ROk) return false;
    report.sent = FetchedBlocks();
    if (report.sent.empty()) return false;
    report.chip = InspectChip::T5577;
    report.answerOnRequest = true;
    if (!ReadBlocks(report, std::nullopt)) return true;
    if (report.Config()) return true;
  }
  report.chip = InspectChip::T5577;
  report.passwordProtected = true;
  // A chip that sends all 7 blocks sends its password too: never kept.
  if (report.sent.size() > T5577PasswordBlock - 1) report.sent.resize(T5577PasswordBlock - 1);
  if (!password) {
    report.loginNeededToRead = true;
    // Without block 0 the format is known only from what the chip sends: a format whose data
    // blocks decode from exactly these blocks.
    for (const access::AccessFormat* f : access::AccessFormats()) {
      if (f->dataBlocks != report.sent.size()) continue;
      if (const auto values = f->decode(report.sent))
        report.identities.push_back({f->name, f->title, access::Text(*f, *values), IdentitySource::Blocks});
    }
    return true;
  }
  if (!ReadBlocks(report, password)) return true;
  if (!report.Config()) report.passwordRefused = true;
  return true;
}

bool ProbeEm4305(InspectReport& report, const std::optional<TagBytes4>& password) {
  const TagData uid = ReadEm4305Word(1, false);
  if (LineFault(uid.result)) report.failure = uid.result;
  if (!uid.value) return false;
  report.chip = InspectChip::Em4305;
  report.uid = LittleEndianWord(*uid.value);
  TagData config = ReadEm4305Word(ConfigWord, false);
  bool loggedIn = false;
  if (!config.value && config.result.outcome == TagOutcome::Refused) {
    report.passwordProtected = true;  // it asks for a login to read
    if (!password) {
      report.loginNeededToRead = true;
    } else if (const TagBytes4& p = *password; CmdEm4305Login(TagBytes4{p[3], p[2], p[1], p[0]}) == EOk) {
      loggedIn = true;
      config = ReadEm4305Word(ConfigWord, true);
    } else {
      report.passwordRefused = true;
    }
  }
  report.words.assign(LastWord + 1, std::nullopt);
  for (int word = 0; word <= LastWord; ++word) {
    if (word == PasswordWord) continue;
    const TagData got = word == ConfigWord ? config : word == 1 ? uid : ReadEm4305Word(word, loggedIn);
    if (LineFault(got.result)) {
      report.failure = got.result;
      return true;
    }
    if (got.value) report.words[static_cast<std::size_t>(word)] = LittleEndianWord(*got.value);
  }
  if (const auto c = report.Config()) {
    const Em4305Config cfg = DecodeEm4305Config(*c);
    report.passwordProtected = cfg.readLogin || cfg.writeLogin;
  }
  // Bit 15 marks the protection word in force; the other one is erased.
  const auto& w14 = report.words[14];
  const auto& w15 = report.words[15];
  if (w14 && w15) report.lockedWords = Em4305LockedWords((*w14 & 0x8000) ? *w14 : *w15);
  const auto isZero = [&](int w) { return report.words[static_cast<std::size_t>(w)] == 0u; };
  report.blank = report.Config() == Em4305DeliveredConfig && isZero(3) &&
                 std::all_of(report.words.begin() + 5, report.words.begin() + 14, [](const auto& v) { return v == 0u; });
  return true;
}

}  // namespace

std::optional<std::uint32_t> InspectReport::Config() const {
  const auto& memory = chip == InspectChip::Em4305 ? words : blocks;
  const std::size_t at = chip == InspectChip::Em4305 ? ConfigWord : 0;
  if (memory.size() <= at) return std::nullopt;
  return memory[at];
}

std::vector<int> Em4305LockedWords(std::uint32_t protection) {
  std::vector<int> locked;
  for (int w = 0; w <= 13; ++w)
    if (protection >> w & 1) locked.push_back(w);
  if (protection >> 14 & 1) locked.insert(locked.end(), {14, 15});
  return locked;
}

std::vector<FoundIdentity> DecodeAccessImage(std::uint32_t block0, const std::vector<std::uint32_t>& data) {
  std::vector<FoundIdentity> found;
  for (const access::AccessFormat* f : access::AccessFormats()) {
    if (data.size() < f->dataBlocks) continue;
    const access::BlockImage image{block0, {data.begin(), data.begin() + static_cast<std::ptrdiff_t>(f->dataBlocks)}};
    if (const auto values = access::Decode(*f, image))
      found.push_back({f->name, f->title, access::Text(*f, *values), IdentitySource::Blocks});
  }
  return found;
}

InspectReport InspectTag(const std::optional<TagBytes4>& password) {
  InspectReport report;
  report.passwordGiven = password.has_value();
  if (ProbeEm4305(report, password) || report.failure) {
    if (!report.failure) ReadWithReader(report);
    return report;
  }
  if (!ReadBlocks(report, std::nullopt)) return report;
  if (report.Config()) {
    report.chip = InspectChip::T5577;
  } else {
    report.blocks.clear();
    if (!ProbeRefusingT5577(report, password)) report.chip = InspectChip::None;
  }
  if (report.failure) return report;
  if (report.chip == InspectChip::T5577) FinishT5577(report);
  ReadWithReader(report);
  if (report.chip == InspectChip::None && !report.identities.empty()) report.chip = InspectChip::ReadOnly;
  return report;
}

}  // namespace rivelo
