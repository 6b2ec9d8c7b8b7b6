#include "cli/tag_result_text.h"

namespace rivelo::cli {
namespace {

std::string HintText(TagHint hint, TagChip chip) {
  const bool t5577 = chip == TagChip::T5577;
  switch (hint) {
    case TagHint::None: return {};
    case TagHint::PasswordProtected:
      return t5577 ? "the chip may be password-protected (give its --password)"
                   : "the word may be protected, or the chip asks for a login (give --password)";
    case TagHint::Locked: return t5577 ? "the block may be locked" : "the word may be protected";
    case TagHint::LoginToRead: return "the chip may ask for a login to read (give --password)";
  }
  return {};
}

}  // namespace

std::string TagFailureText(const TagResult& result, const std::string& action, const std::string& where,
                           TagChip chip) {
  const std::string what = "the " + action + " of " + where;
  std::string reason;
  switch (result.outcome) {
    case TagOutcome::Done: return {};
    case TagOutcome::Refused: reason = "the chip refused " + what + ", or no chip answered"; break;
    case TagOutcome::NotReadBack:
      // A write the chip took, whose read-back it now refuses: not a failed write.
      if (result.hint == TagHint::LoginToRead)
        return where + " was written, but the chip now asks for a login to read (give --password to read it)";
      reason = where + " was not read back as written";
      break;
    case TagOutcome::NoReply: reason = "no valid reply from the reader to " + what; break;
    case TagOutcome::PortGone: reason = "the reader's port is gone"; break;
    case TagOutcome::NotSent: reason = what + " was not sent"; break;
  }
  const std::string hint = HintText(result.hint, chip);
  return hint.empty() ? reason : reason + "; " + hint;
}

}  // namespace rivelo::cli
