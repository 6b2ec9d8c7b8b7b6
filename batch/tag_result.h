// How a single operation on a tag ended, for every frontend to word in its own language. A
// write counts only when reading the tag back gives what was written; the other outcomes say
// why it does not count.
#pragma once

namespace rivelo {

enum class TagOutcome {
  Done,         // written and read back (or read), as asked
  Refused,      // the reader answered that the chip refused the command
  NotReadBack,  // the write was answered, but the tag does not read back what was written
  NoReply,      // the reader gave no valid reply (silence, damaged frame)
  PortGone,     // the reader's port went away
  NotSent,      // refused before anything was sent (a word or block that may not be written)
};

// What an outcome may mean for the chip, for a hint after the reason.
enum class TagHint {
  None,
  PasswordProtected,  // a plain command refused: the chip may be in password mode
  Locked,             // the block or word may be locked
  LoginToRead,        // the chip now asks for a login before it answers a read
};

struct TagResult {
  TagOutcome outcome = TagOutcome::Done;
  TagHint hint = TagHint::None;
  bool ok() const { return outcome == TagOutcome::Done; }
};

}  // namespace rivelo
