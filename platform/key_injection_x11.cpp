// Key injection on X11 through the XTEST extension: each character becomes the key that
// produces its keysym (with Shift where the keysym sits on the shifted level); a character
// without a key in the current layout is put on a spare keycode for the moment of typing.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdlib>

#include "platform/key_injection.h"

namespace rivelo {
namespace {

bool Set(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0';
}

class X11KeyInjector : public KeyInjector {
 public:
  ~X11KeyInjector() override {
    if (display_) XCloseDisplay(display_);
  }

  KeyInjectionStatus Available() override { return Open() ? KeyInjectionStatus::Available : status_; }

  bool TypeText(std::string_view text) override {
    if (!Open()) return false;
    bool ok = true;
    for (char c : text) ok = TypeKeysym(KeysymOf(c)) && ok;
    XSync(display_, False);
    return ok;
  }

  bool PressEnter() override {
    if (!Open()) return false;
    const bool ok = TypeKeysym(XK_Return);
    XSync(display_, False);
    return ok;
  }

 private:
  bool Open() {
    if (display_) return true;
    if (!Set("DISPLAY")) {
      status_ = Set("WAYLAND_DISPLAY") ? KeyInjectionStatus::WaylandOnly : KeyInjectionStatus::NoDisplay;
      return false;
    }
    display_ = XOpenDisplay(nullptr);
    if (!display_) {
      status_ = KeyInjectionStatus::CannotOpenDisplay;
      return false;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) {
      status_ = KeyInjectionStatus::NoXTest;
      XCloseDisplay(display_);
      display_ = nullptr;
      return false;
    }
    return true;
  }

  static KeySym KeysymOf(char c) {
    const char name[2] = {c, '\0'};
    return XStringToKeysym(name);
  }

  void Tap(KeyCode code) {
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
  }

  bool TypeKeysym(KeySym sym) {
    if (sym == NoSymbol) return false;
    const KeyCode code = XKeysymToKeycode(display_, sym);
    if (code == 0) return TypeOnSpareKey(sym);
    if (XkbKeycodeToKeysym(display_, code, 0, 0) == sym) {
      Tap(code);
    } else {
      const KeyCode shift = XKeysymToKeycode(display_, XK_Shift_L);
      XTestFakeKeyEvent(display_, shift, True, CurrentTime);
      Tap(code);
      XTestFakeKeyEvent(display_, shift, False, CurrentTime);
    }
    XFlush(display_);
    return true;
  }

  // The layout has no key for sym: borrow a keycode that carries no symbol.
  bool TypeOnSpareKey(KeySym sym) {
    int low = 0, high = 0, perCode = 0;
    XDisplayKeycodes(display_, &low, &high);
    KeySym* map = XGetKeyboardMapping(display_, static_cast<KeyCode>(low), high - low + 1, &perCode);
    if (!map) return false;
    int spare = 0;
    for (int code = high; code >= low && spare == 0; --code) {
      bool empty = true;
      for (int i = 0; i < perCode; ++i) empty = empty && map[(code - low) * perCode + i] == NoSymbol;
      if (empty) spare = code;
    }
    XFree(map);
    if (spare == 0) return false;
    KeySym syms[2] = {sym, sym};
    XChangeKeyboardMapping(display_, spare, 2, syms, 1);
    XSync(display_, False);
    Tap(static_cast<KeyCode>(spare));
    XSync(display_, False);
    KeySym none[2] = {NoSymbol, NoSymbol};
    XChangeKeyboardMapping(display_, spare, 2, none, 1);
    XSync(display_, False);
    return true;
  }

  Display* display_ = nullptr;
  KeyInjectionStatus status_ = KeyInjectionStatus::Available;  // why the last Open failed
};

}  // namespace

std::unique_ptr<KeyInjector> CreateSystemKeyInjector() { return std::make_unique<X11KeyInjector>(); }

}  // namespace rivelo
