// Texts of the EM4305 word editor and its word-lock dialog. Captions, boxes and statuses read
// the same in both builds; the meaning of the configuration word is spoken in the build's
// language.
#pragma once

#include "resources/text_pair.h"

namespace rivelo::texts::em4305 {

// The sixteen word fields' captions, index = word number.
extern const char* const WordCaptions[16];
extern const char *const Eeprom, *const ConfigureDevice, *const OperateCard;
extern const char *const ModeEm4100, *const ModeFdxb, *const ReadItem, *const ReadWordItem;  // ReadWordItem: %d
extern const char *const WriteButton, *const DisableButton, *const ProtectButton, *const LoginButton;

// Message boxes of the word editor.
extern const char *const Tip, *const CannotWrite, *const FormatError, *const PasswordChanged, *const LoginFirst,
    *const ConfigQuestion;
extern const TextPair DisableQuestion;

// Status texts; ModifiedWord, ReadOk and ReadFailed carry %d.
extern const char *const Modified, *const ModifiedWord, *const NothingChanged, *const ReadOk, *const ReadFailed,
    *const PasswordUnreadable, *const LoginOk, *const LoginFailed, *const DisableOk, *const DisableFailed,
    *const IdMode, *const FdxbMode, *const ModeFailed;

// The word-lock dialog.
extern const char* const LockCaptions[15];
extern const char *const LockTitle, *const LockedNow, *const LockButton, *const LockTip, *const LockQuestion,
    *const LockedNowStatus, *const LockStatus;

// The meaning of the configuration word; lines carry %1 for their value.
extern const TextPair ConfigHeading, DataRateLine, EncoderLine, Manchester, Biphase, OtherEncoder, DefaultReadLine,
    DefaultReadNone, ReadLoginLine, WriteLoginLine, DisableLine, ReaderFirstLine, Yes, No;

}  // namespace rivelo::texts::em4305
