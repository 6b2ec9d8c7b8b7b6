#include "batch/chip_serial.h"

#include <cstdio>

#include "batch/batch_runner.h"
#include "reader/commands.h"

namespace rivelo {
namespace {

std::string Hex(std::span<const std::uint8_t> bytes) {
  std::string s;
  char buf[4];
  for (const auto b : bytes) {
    std::snprintf(buf, sizeof buf, "%02X", b);
    s += buf;
  }
  return s;
}

// A damaged reply comes back fast; asked again at once, up to twice, it usually arrives whole.
// A silent one has already cost its full wait, so it is left for the next tick.
template <typename Read>
ReadOutcome AskAgainIfDamaged(Read read) {
  ReadOutcome outcome = read();
  for (int again = 0; again < 2 && outcome == ReadOutcome::NoReply && LastReplyDamaged(); ++again) outcome = read();
  return outcome;
}

}  // namespace

bool LastReplyDamaged() {
  switch (LastReplyFailure()) {
    case ReplyFailure::Truncated:
    case ReplyFailure::BadChecksum:
    case ReplyFailure::Malformed: return true;
    default: return false;
  }
}

ReadOutcome ReadEm4305Serial(std::string* serial) {
  return AskAgainIfDamaged([serial] {
    std::uint8_t word[4] = {};
    if (CmdEm4305ReadWord(1, word) == EOk) {
      // The word arrives least significant byte first; it is shown most significant first.
      const std::uint8_t shown[4] = {word[3], word[2], word[1], word[0]};
      *serial = Hex(shown);
      return ReadOutcome::Found;
    }
    return LastReplyFailure() == ReplyFailure::None ? ReadOutcome::NoIdentity : ReadOutcome::NoReply;
  });
}

ReadOutcome ReadT5577Serial(std::string* serial) {
  // The page read's own reply says only that the reader answered; the fetch says what it read.
  return AskAgainIfDamaged([serial] {
    if (CmdT5577ReadPage(1) != ROk) return ReadOutcome::NoReply;
    std::uint8_t data[T5577FetchMax] = {};
    int length = 0;
    switch (CmdT5577FetchData(data, &length)) {
      case SResult::Ok:
        if (length < 8) return ReadOutcome::NoIdentity;
        *serial = Hex(std::span<const std::uint8_t>(data, 8));
        return ReadOutcome::Found;
      case SResult::FailStatus: return ReadOutcome::NoIdentity;
      case SResult::NoReply: break;
    }
    return ReadOutcome::NoReply;
  });
}

void ChipSerialGuard::Clear() {
  written_.clear();
  ForgetChecked();
}

void ChipSerialGuard::ForgetChecked() {
  pendingChip_.clear();
  pendingSerial_.clear();
}

ChipSerialGuard::Verdict ChipSerialGuard::BeforeWrite(const std::vector<ChipWrite>& writes) {
  ForgetChecked();
  for (const ChipWrite& chip : writes) {
    if (!chip.serial) continue;
    std::string serial;
    switch (chip.serial(&serial)) {
      case ReadOutcome::NoIdentity: continue;  // not this kind: the next one may be
      case ReadOutcome::NoReply: return Verdict::Wait;
      case ReadOutcome::Found: break;
    }
    const auto it = written_.find(std::string(chip.chip) + ":" + serial);
    if (it != written_.end()) {
      earlier_ = it->second;
      return Verdict::WrittenEarlier;
    }
    pendingChip_ = chip.chip;
    pendingSerial_ = std::move(serial);
    return Verdict::Write;
  }
  return Verdict::Write;
}

std::string ChipSerialGuard::Verified(const char* chip, int number, const Identity& id) {
  if (chip == nullptr || pendingSerial_.empty() || pendingChip_ != chip) return {};
  std::string serial = std::move(pendingSerial_);
  written_[pendingChip_ + ":" + serial] = Written{number, id};
  ForgetChecked();
  return serial;
}

// Before a write of a run onto a chip that read as blank. A tag of this run whose identity
// misread is left alone; the last one written, still lying on the reader after its beep, is
// left alone without a word, as when its identity reads.
bool BatchRunner::ChipSerialAllowsWrite() {
  if (!guardSerials_ || state_ != RunState::Writing) {
    serials_.ForgetChecked();
    return true;
  }
  switch (serials_.BeforeWrite(profile_.ops.writes)) {
    case ChipSerialGuard::Verdict::Write: return true;
    case ChipSerialGuard::Verdict::Wait: return false;
    case ChipSerialGuard::Verdict::WrittenEarlier: break;
  }
  const ChipSerialGuard::Written& earlier = serials_.Earlier();
  if (earlier.id != lastWrittenId_) LeftAloneAsWritten(earlier.id);
  return false;
}

}  // namespace rivelo
