// Typing text into whatever window has the keyboard focus, through the OS's own injection.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace rivelo {

class KeyInjector {
 public:
  virtual ~KeyInjector() = default;
  // False, with a reason for the operator, where this session offers no key injection
  // (for instance a Wayland session without X11).
  virtual bool Available(std::string* why) = 0;
  // One key down and up per character; the texts typed are ASCII digits and A-F.
  virtual bool TypeText(std::string_view text) = 0;
  virtual bool PressEnter() = 0;
};

// The injector of this OS and session: XTest on X11, SendInput on Windows.
std::unique_ptr<KeyInjector> CreateSystemKeyInjector();

}  // namespace rivelo
