// What the single-tag pages without runs (HID 26-bit, FDX-A) share: the write that counts only
// once the tag reads back what was sent, and Enter as the Read button.
#pragma once

#include <functional>

#include "model/identity.h"

class QKeyEvent;

namespace rivelo {

// Writes the identity with the format's write and reads it back; posts okText, or failText
// with the reason the write did not count.
void WriteSingleTag(const char* format, const Identity& id, const char* okText, const char* failText);

// Enter reads, as the page's default button; Escape does nothing. False for any other key,
// which the page then handles as usual.
bool ReadOnEnter(QKeyEvent& event, const std::function<void()>& read);

}  // namespace rivelo
