// Texts of the HID 26-bit page. The page speaks Chinese in both builds; only the line that
// explains the computed 26-bit frame follows the build.
#pragma once

#include "resources/text_pair.h"

namespace rivelo::texts::hid {

extern const char* const Group;
extern const char* const HexRow;
extern const char* const DecRow;
extern const char* const Read;
extern const char* const Write;
extern const char* const MessageCaption;
extern const char* const FacilityRange;
extern const char* const CardRange;
extern const char* const ReadOk;
extern const char* const ReadError;
extern const char* const WriteOk;
extern const char* const WriteError;

// The caption of the 26-bit frame of the identity in the fields, whose parity bits the page
// computes: the reader hands over the 24 data bits only.
extern const TextPair Frame;

}  // namespace rivelo::texts::hid
