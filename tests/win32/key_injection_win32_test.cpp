// Key strokes from the injector arrive as text in a focused edit control of our own.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>

#include "platform/key_injection.h"

namespace rivelo {
namespace {

class FocusedEdit {
 public:
  FocusedEdit() {
    top_ = CreateWindowExA(0, "STATIC", "rivelo key injection test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           0, 0, 400, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!top_) return;
    edit_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN, 0,
                            0, 380, 150, top_, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(top_);
    SetFocus(edit_);
    Pump(std::chrono::milliseconds(200));
  }
  ~FocusedEdit() {
    if (top_) DestroyWindow(top_);
  }
  bool Ready() const { return edit_ != nullptr && GetFocus() == edit_; }

  // Pumps messages until the edit holds want, or the time is up; returns what it holds.
  std::string WaitFor(const std::string& want) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::string text;
    do {
      Pump(std::chrono::milliseconds(20));
      text = Text();
    } while (text != want && std::chrono::steady_clock::now() < end);
    return text;
  }

 private:
  static void Pump(std::chrono::milliseconds span) {
    const auto end = std::chrono::steady_clock::now() + span;
    do {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      Sleep(5);
    } while (std::chrono::steady_clock::now() < end);
  }
  std::string Text() const {
    char buf[256] = {};
    GetWindowTextA(edit_, buf, sizeof(buf));
    return buf;
  }
  HWND top_ = nullptr;
  HWND edit_ = nullptr;
};

TEST(Win32KeyInjection, TypesTheTextThenEnter) {
  auto injector = CreateSystemKeyInjector();
  ASSERT_EQ(injector->Available(), KeyInjectionStatus::Available);
  FocusedEdit edit;
  if (!edit.Ready()) GTEST_SKIP() << "no desktop to type into";
  ASSERT_TRUE(injector->TypeText("0123456789ABCDEF"));
  EXPECT_EQ(edit.WaitFor("0123456789ABCDEF"), "0123456789ABCDEF");
  ASSERT_TRUE(injector->PressEnter());
  ASSERT_TRUE(injector->TypeText("06926505"));
  EXPECT_EQ(edit.WaitFor("0123456789ABCDEF\r\n06926505"), "0123456789ABCDEF\r\n06926505");
}

}  // namespace
}  // namespace rivelo
