// Typing text into whatever window has the keyboard focus, through the OS's own injection.
#pragma once

#include <memory>
#include <string_view>

namespace rivelo {

// Whether this session can take injected keys, and if not, why. The pages turn the reasons
// into their own texts; this layer has none.
enum class KeyInjectionStatus {
  Available,
  NoDisplay,          // no X display is set
  WaylandOnly,        // a Wayland session without X11
  CannotOpenDisplay,  // the X display is set but cannot be opened
  NoXTest,            // the X server lacks the XTEST extension
  NotInThisBuild,     // the program was built without any key injection
};

class KeyInjector {
 public:
  virtual ~KeyInjector() = default;
  virtual KeyInjectionStatus Available() = 0;
  // One key down and up per character; the texts typed are ASCII digits and A-F.
  virtual bool TypeText(std::string_view text) = 0;
  virtual bool PressEnter() = 0;
};

// The injector of this OS and session: XTest on X11, SendInput on Windows.
std::unique_ptr<KeyInjector> CreateSystemKeyInjector();

}  // namespace rivelo
