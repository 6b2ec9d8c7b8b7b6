// Texts of batch files and runs that every identity page shares, in both builds.
#pragma once

#include "resources/text_pair.h"

namespace rivelo::texts::batch {
// Why a batch file was refused; the first two are followed by the system's reason.
extern const TextPair CannotOpen, ReadError, NotAFile, TooLarge, Utf16, Binary;
// Followed by the file's path.
extern const TextPair NoIdentities;
// "%d" stands for the line number; followed by the line's text, a quote and the reason.
extern const TextPair BadLine;
extern const TextPair NotANumber, Negative, TrailingText, ValueTooLarge, PartLine;
// The runner refuses an identity of the wrong byte count.
extern const TextPair WrongLength;
// A tag put back during a run that carries an identity the run wrote earlier: %d is the number
// it was listed under; followed by the identity.
extern const TextPair LeftAlone;
// Write pressed again on a stopped file run; both %d stand for the file line it would go on from.
extern const TextPair ResumeQuestion;
// The list line of a file run that goes on: %d is the file line.
extern const TextPair GoingOn;
}  // namespace rivelo::texts::batch
