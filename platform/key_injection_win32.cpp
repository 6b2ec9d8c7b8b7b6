// Key injection on Windows: Unicode key strokes through SendInput, Enter as a virtual key.
#include <windows.h>

#include <string>

#include "platform/key_injection.h"

namespace rivelo {
namespace {

// One Unicode key stroke: down and up in one SendInput call, so no other input can land
// between them.
bool SendUnicodeKey(wchar_t unit) {
  INPUT in[2]{};
  in[0].type = INPUT_KEYBOARD;
  in[0].ki.wVk = 0;
  in[0].ki.wScan = static_cast<WORD>(unit);
  in[0].ki.dwFlags = KEYEVENTF_UNICODE;
  in[0].ki.time = 0;
  in[0].ki.dwExtraInfo = 0;
  in[1] = in[0];
  in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
  return SendInput(2, in, sizeof(INPUT)) == 2;
}

// The text arrives in the program's ANSI code page; key strokes carry UTF-16 code units.
std::wstring ToUtf16(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), n);
  return wide;
}

class Win32KeyInjector final : public KeyInjector {
 public:
  KeyInjectionStatus Available() override { return KeyInjectionStatus::Available; }

  bool TypeText(std::string_view text) override {
    const std::wstring wide = ToUtf16(text);
    if (!text.empty() && wide.empty()) return false;
    // Stop at the first refused stroke: half an identity is worse than none.
    for (wchar_t unit : wide)
      if (!SendUnicodeKey(unit)) return false;
    return true;
  }

  bool PressEnter() override {
    keybd_event(VK_RETURN, 0, 0, 0);
    keybd_event(VK_RETURN, 0, KEYEVENTF_KEYUP, 0);
    return true;
  }
};

}  // namespace

std::unique_ptr<KeyInjector> CreateSystemKeyInjector() { return std::make_unique<Win32KeyInjector>(); }

}  // namespace rivelo
