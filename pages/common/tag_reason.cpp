#include "pages/common/tag_reason.h"

#include "resources/texts_tag_result.h"

namespace rivelo {
namespace {

namespace t = texts::tag_result;

QString Q(const TextPair& text) { return QString::fromUtf8(text()); }

const TextPair* OutcomeText(TagOutcome outcome) {
  switch (outcome) {
    case TagOutcome::Done: return nullptr;
    case TagOutcome::Refused: return &t::Refused;
    case TagOutcome::NotReadBack: return &t::NotReadBack;
    case TagOutcome::NoReply: return &t::NoReply;
    case TagOutcome::PortGone: return &t::PortGone;
    case TagOutcome::NotSent: return &t::NotSent;
  }
  return nullptr;
}

const TextPair* HintText(TagHint hint, TagChip chip) {
  const bool t5577 = chip == TagChip::T5577;
  switch (hint) {
    case TagHint::None: return nullptr;
    case TagHint::PasswordProtected: return t5577 ? &t::T5577PasswordProtected : &t::Em4305PasswordProtected;
    case TagHint::Locked: return t5577 ? &t::T5577Locked : &t::Em4305Locked;
    case TagHint::LoginToRead: return &t::LoginToRead;
  }
  return nullptr;
}

}  // namespace

QString TagReason(const TagResult& result, TagChip chip) {
  if (result.outcome == TagOutcome::NotReadBack && result.hint == TagHint::LoginToRead)
    return Q(t::WrittenLoginToRead);
  const TextPair* reason = OutcomeText(result.outcome);
  if (reason == nullptr) return {};
  const TextPair* hint = HintText(result.hint, chip);
  return hint == nullptr ? Q(*reason) : Q(*reason) + Q(t::HintSeparator) + Q(*hint);
}

QString WithTagReason(const QString& failText, const TagResult& result, TagChip chip) {
  const QString reason = TagReason(result, chip);
  return reason.isEmpty() ? failText : failText + Q(t::ReasonSeparator) + reason;
}

}  // namespace rivelo
