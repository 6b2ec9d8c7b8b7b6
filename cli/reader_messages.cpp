#include "cli/reader_messages.h"

namespace rivelo::cli {

std::string DescribeReplyFailure(ReplyFailure failure) {
  switch (failure) {
    case ReplyFailure::None: return "a valid reply";
    case ReplyFailure::Silent: return "silent";
    case ReplyFailure::Truncated: return "truncated";
    case ReplyFailure::BadChecksum: return "bad checksum";
    case ReplyFailure::Malformed: return "malformed";
    case ReplyFailure::PortFailed: return "the port failed";
  }
  return "unknown";
}

std::string DescribeAttempt(const PortAttempt& attempt) {
  const std::string system = attempt.systemError != 0 ? " (" + SystemErrorText(attempt.systemError) + ")" : "";
  switch (attempt.open) {
    case OpenFailure::None: break;
    case OpenFailure::NoSuchPort: return "no such port";
    case OpenFailure::Busy: return "in use by another program";
    case OpenFailure::PermissionDenied:
#ifdef _WIN32
      return "permission denied";
#else
      // Membership only takes effect in a new login session, hence the last step.
      if (!attempt.accessGroup.empty()) {
        return "permission denied; add yourself to the group " + attempt.accessGroup + " (sudo usermod -aG " +
               attempt.accessGroup + " $USER) and log in again";
      }
      return "permission denied; the user needs read and write access to it (on most Linux systems: "
             "membership of the dialout group)";
#endif
    case OpenFailure::NotAPort: return "not a serial port" + system;
    case OpenFailure::Other: return "cannot be opened" + system;
  }
  if (attempt.otherDevice) return "another device answered, not the reader";
  if (attempt.reply == ReplyFailure::Silent) return "no reply (silent)";
  return "no valid reply (" + DescribeReplyFailure(attempt.reply) + ")";
}

bool PortRefused(const PortAttempt& attempt) {
  return attempt.open == OpenFailure::Busy || attempt.open == OpenFailure::PermissionDenied;
}

}  // namespace rivelo::cli
