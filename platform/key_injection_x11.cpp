// Key injection on X11 through the XTEST extension.
//
// A faked key stroke is a keycode; what it types is decided by the keyboard's state at that
// moment: the same key gives "c" under Caps Lock, ")" under a locked Shift, and "с" while a
// Russian group is active. So each character is typed on a key that carries its keysym in
// some group, with that group locked and the locked modifiers set to exactly those that
// select the keysym's level (no Caps, Shift or Num Lock, Shift where the level needs it).
// The user's locked and latched modifiers and group are put back after each text.
//
// Changing the state rather than the keymap: a state change reaches every client inside the
// event stream, in order with the key strokes, while a changed keymap has to be fetched by
// each client when it gets round to it, which races with the strokes (and costs every client
// a keymap reload). Only a keysym that no group carries (Latin letters on a Cyrillic-only
// layout) goes on a spare keycode; that key is kept until the injector goes, so each client
// fetches the new keymap once and sees it before any stroke on it.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/key_injection.h"

namespace rivelo {
namespace {

bool Set(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0';
}

KeySym KeysymOf(char c) {
  const char name[2] = {c, '\0'};
  return XStringToKeysym(name);
}

constexpr unsigned AllRealMods = 0xff;

// The shift level that the modifiers mods select on a key of this type.
int LevelOf(const XkbKeyTypeRec& type, unsigned mods) {
  const unsigned relevant = mods & type.mods.mask;
  for (int i = 0; i < type.map_count; ++i) {
    const XkbKTMapEntryRec& entry = type.map[i];
    if (entry.active && entry.mods.mask == relevant) return entry.level;
  }
  return 0;
}

// The fewest modifiers that select level on a key of this type, if any do.
std::optional<unsigned> ModsForLevel(const XkbKeyTypeRec& type, int level) {
  std::optional<unsigned> best;
  if (LevelOf(type, 0) == level) best = 0;
  for (int i = 0; i < type.map_count; ++i) {
    const XkbKTMapEntryRec& entry = type.map[i];
    const unsigned mods = entry.mods.mask;
    if (!entry.active || LevelOf(type, mods) != level) continue;
    if (!best || std::popcount(mods) < std::popcount(*best)) best = mods;
  }
  return best;
}

// One key stroke that types a keysym: the key, the group to lock and the modifiers to lock.
struct Stroke {
  KeyCode code = 0;
  unsigned group = 0;
  unsigned mods = 0;
};

// A key that types sym, preferring the active group and then the fewest modifiers.
std::optional<Stroke> FindStroke(XkbDescPtr xkb, KeySym sym, unsigned activeGroup) {
  const int kbdGroups = xkb->ctrls ? xkb->ctrls->num_groups : XkbNumKbdGroups;
  std::optional<Stroke> best;
  int bestCost = 0;
  for (int code = xkb->min_key_code; code <= xkb->max_key_code; ++code) {
    const int groups = std::min<int>(XkbKeyNumGroups(xkb, code), kbdGroups);
    for (int group = 0; group < groups; ++group) {
      const XkbKeyTypeRec& type = *XkbKeyKeyType(xkb, code, group);
      for (int level = 0; level < type.num_levels; ++level) {
        if (XkbKeySymEntry(xkb, code, level, group) != sym) continue;
        const std::optional<unsigned> mods = ModsForLevel(type, level);
        if (!mods) continue;
        const int cost = (static_cast<unsigned>(group) == activeGroup ? 0 : 8) + std::popcount(*mods);
        if (!best || cost < bestCost) {
          best = Stroke{static_cast<KeyCode>(code), static_cast<unsigned>(group), *mods};
          bestCost = cost;
        }
      }
    }
  }
  return best;
}

class X11KeyInjector : public KeyInjector {
 public:
  ~X11KeyInjector() override {
    if (!display_) return;
    GiveBackSpareKeys();
    XCloseDisplay(display_);
  }

  KeyInjectionStatus Available() override { return Open() ? KeyInjectionStatus::Available : status_; }

  bool TypeText(std::string_view text) override {
    if (!Open()) return false;
    std::vector<KeySym> syms;
    for (char c : text) syms.push_back(KeysymOf(c));
    return TypeKeysyms(syms);
  }

  bool PressEnter() override { return Open() && TypeKeysyms({XK_Return}); }

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
    int opcode = 0;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    hasXkb_ = XkbQueryExtension(display_, &opcode, &event, &error, &major, &minor);
    return true;
  }

  // Types syms in order; false when one of them could not be typed (the others still are).
  bool TypeKeysyms(const std::vector<KeySym>& syms) {
    bool ok = true;
    if (!hasXkb_) {
      // Without XKB the lock state cannot be set aside; a spare key that carries the keysym
      // on every level types it whatever the modifiers.
      for (KeySym sym : syms) ok = TapSpareKey(sym) && ok;
      XSync(display_, False);
      return ok;
    }
    XkbDescPtr xkb = KeymapWithAll(syms);
    XkbStateRec user{};
    if (!xkb || XkbGetState(display_, XkbUseCoreKbd, &user) != Success) {
      if (xkb) XkbFreeKeyboard(xkb, 0, True);
      return false;
    }
    const int groups = xkb->ctrls && xkb->ctrls->num_groups > 0 ? xkb->ctrls->num_groups : 1;
    // A latched modifier or group would apply to the first stroke: set it aside too.
    if (user.latched_mods != 0) XkbLatchModifiers(display_, XkbUseCoreKbd, AllRealMods, 0);
    if (user.latched_group != 0) XkbLatchGroup(display_, XkbUseCoreKbd, 0);
    unsigned lockedMods = user.locked_mods;
    int lockedGroup = user.locked_group;
    for (KeySym sym : syms) {
      const std::optional<Stroke> stroke =
          sym == NoSymbol ? std::nullopt : FindStroke(xkb, sym, static_cast<unsigned>(user.group));
      if (!stroke) {
        ok = false;
        continue;
      }
      // The active group is base + latched + locked; a held group key stays in the base.
      const int lockGroup = (static_cast<int>(stroke->group) - user.base_group % groups + groups) % groups;
      if (lockGroup != lockedGroup) {
        XkbLockGroup(display_, XkbUseCoreKbd, static_cast<unsigned>(lockGroup));
        lockedGroup = lockGroup;
      }
      if (stroke->mods != lockedMods) {
        XkbLockModifiers(display_, XkbUseCoreKbd, AllRealMods, stroke->mods);
        lockedMods = stroke->mods;
      }
      Tap(stroke->code);
    }
    PutBack(user, lockedGroup, lockedMods);
    XSync(display_, False);
    XkbFreeKeyboard(xkb, 0, True);
    return ok;
  }

  // Puts the user's locked and latched modifiers and group back as they were before a text.
  void PutBack(const XkbStateRec& user, int lockedGroup, unsigned lockedMods) {
    if (lockedGroup != user.locked_group) {
      XkbLockGroup(display_, XkbUseCoreKbd, static_cast<unsigned>(user.locked_group));
    }
    if (lockedMods != user.locked_mods) XkbLockModifiers(display_, XkbUseCoreKbd, AllRealMods, user.locked_mods);
    if (user.latched_mods != 0) XkbLatchModifiers(display_, XkbUseCoreKbd, AllRealMods, user.latched_mods);
    if (user.latched_group != 0) {
      XkbLatchGroup(display_, XkbUseCoreKbd, static_cast<unsigned>(user.latched_group));
    }
  }

  XkbDescPtr FetchKeymap() {
    XkbDescPtr xkb = XkbGetMap(display_, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (xkb && XkbGetControls(display_, XkbAllControlsMask, xkb) != Success) {
      XkbFreeKeyboard(xkb, 0, True);
      return nullptr;
    }
    return xkb;
  }

  // The keymap, after putting each keysym that no key carries on a spare key.
  XkbDescPtr KeymapWithAll(const std::vector<KeySym>& syms) {
    XkbDescPtr xkb = FetchKeymap();
    if (!xkb) return nullptr;
    std::vector<KeySym> missing;
    for (KeySym sym : syms) {
      if (sym == NoSymbol || FindStroke(xkb, sym, 0)) continue;
      if (std::find(missing.begin(), missing.end(), sym) == missing.end()) missing.push_back(sym);
    }
    bool borrowed = false;
    for (KeySym sym : missing) borrowed = BorrowSpareKey(sym) || borrowed;
    if (!borrowed) return xkb;
    XkbFreeKeyboard(xkb, 0, True);
    return FetchKeymap();
  }

  void Tap(KeyCode code) {
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
  }

  // A keycode that carries no symbol at all, from the top, other than those borrowed already.
  KeyCode FindSpareKey() {
    int low = 0, high = 0, perCode = 0;
    XDisplayKeycodes(display_, &low, &high);
    KeySym* map = XGetKeyboardMapping(display_, static_cast<KeyCode>(low), high - low + 1, &perCode);
    if (!map) return 0;
    KeyCode spare = 0;
    for (int code = high; code >= low && spare == 0; --code) {
      bool empty = true;
      for (int i = 0; i < perCode; ++i) empty = empty && map[(code - low) * perCode + i] == NoSymbol;
      if (empty) spare = static_cast<KeyCode>(code);
    }
    XFree(map);
    return spare;
  }

  // Puts sym on every level of a spare key, so no modifier or group changes what it types.
  bool BorrowSpareKey(KeySym sym) {
    const KeyCode spare = FindSpareKey();
    if (spare == 0) return false;
    KeySym syms[2] = {sym, sym};
    XChangeKeyboardMapping(display_, spare, 2, syms, 1);
    XSync(display_, False);
    borrowedCodes_.push_back(spare);
    borrowedSyms_.push_back(sym);
    return true;
  }

  bool TapSpareKey(KeySym sym) {
    if (sym == NoSymbol) return false;
    KeyCode code = 0;
    for (size_t i = 0; i < borrowedSyms_.size(); ++i) {
      if (borrowedSyms_[i] == sym) code = borrowedCodes_[i];
    }
    if (code == 0) {
      if (!BorrowSpareKey(sym)) return false;
      code = borrowedCodes_.back();
    }
    Tap(code);
    return true;
  }

  // Empties the borrowed keys again, unless a new keymap has since put something else there.
  void GiveBackSpareKeys() {
    for (size_t i = 0; i < borrowedCodes_.size(); ++i) {
      int perCode = 0;
      KeySym* now = XGetKeyboardMapping(display_, borrowedCodes_[i], 1, &perCode);
      const bool ours = now && perCode > 0 && now[0] == borrowedSyms_[i];
      if (now) XFree(now);
      if (!ours) continue;
      KeySym none[2] = {NoSymbol, NoSymbol};
      XChangeKeyboardMapping(display_, borrowedCodes_[i], 2, none, 1);
    }
    XSync(display_, False);
  }

  Display* display_ = nullptr;
  bool hasXkb_ = false;
  KeyInjectionStatus status_ = KeyInjectionStatus::Available;  // why the last Open failed
  std::vector<KeyCode> borrowedCodes_;                          // spare keys given a keysym
  std::vector<KeySym> borrowedSyms_;                            // and the keysym of each
};

}  // namespace

std::unique_ptr<KeyInjector> CreateSystemKeyInjector() { return std::make_unique<X11KeyInjector>(); }

}  // namespace rivelo
