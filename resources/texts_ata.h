// Texts of the T5577 block editor. The page's captions, boxes and statuses read the same in
// both builds; the meaning of block 0 is spoken in the build's language.
#pragma once

#include "resources/text_pair.h"

namespace rivelo::texts::ata {

// Captions and the combos' items.
extern const char *const Parameters, *const Memory, *const Operate, *const PageLabel, *const BlockLabel,
    *const LockLabel, *const PasswordLabel, *const NoLock, *const Lock, *const ManRf32, *const ManRf64;
// "块 %d", the caption of each block field.
extern const char* const BlockCaption;
// Buttons, top to bottom.
extern const char *const ReadButton, *const WriteButton, *const ReadPwdButton, *const WritePwdButton,
    *const ReadPageButton, *const WakeButton, *const ResetButton, *const InitButton;

// Message boxes; EnterBlock holds %d for the block number.
extern const char *const Tip, *const Warning, *const EnterPassword, *const EnterBlock, *const LockQuestion,
    *const Block0Warning, *const FactoryWarning;

// Said after Block0Warning when the block 0 written makes the tag hard to reach, each with its
// consequence.
extern const TextPair Block0Unreadable, Block0PasswordUnknown, Block0AnswerOnRequest;

// Status texts.
extern const char *const ReadOk, *const ReadFailed, *const ReadPwdOk, *const WriteOk, *const WriteFailed,
    *const WritePwdOk, *const PageOk, *const PageFailed, *const WakeOk, *const WakeFailed, *const ResetOk,
    *const ResetFailed, *const InitOk, *const InitFailed, *const Rf32Mode, *const Rf64Mode, *const ModeFailed;

// The meaning of block 0. Lines carry %1 for their value.
extern const TextPair Block0Heading, ModulationLine, DataRateLine, ExtendedRate, MaxBlockLine, PasswordLine,
    AnswerOnRequestLine, TerminatorLine, LayoutLine, On, Off, Reserved, LayoutNone, LayoutEm4100, LayoutFdxb,
    LayoutHidFdxa, LayoutFactory;
// Modulation names in the order of T5577Modulation (the same in both builds).
extern const char* const ModulationNames[12];

}  // namespace rivelo::texts::ata
