// Builds without any key injection of their own: keyboard output says so instead of typing.
#include "platform/key_injection.h"

namespace rivelo {
namespace {

class NoKeyInjector : public KeyInjector {
 public:
  KeyInjectionStatus Available() override { return KeyInjectionStatus::NotInThisBuild; }
  bool TypeText(std::string_view) override { return false; }
  bool PressEnter() override { return false; }
};

}  // namespace

std::unique_ptr<KeyInjector> CreateSystemKeyInjector() { return std::make_unique<NoKeyInjector>(); }

}  // namespace rivelo
