// Texts of the FDX-A page, the same in both builds.
#pragma once

namespace rivelo::texts::fdxa {

extern const char* const Group;
extern const char* const Label;
extern const char* const Read;
extern const char* const Write;
extern const char* const MessageCaption;
extern const char* const TenDigits;
extern const char* const ReadOk;
extern const char* const ReadError;
extern const char* const WriteOk;
extern const char* const WriteError;

}  // namespace rivelo::texts::fdxa
