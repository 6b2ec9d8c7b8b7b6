// A stand-in for /sys/class/tty and /dev in a temporary folder, into which a test plugs serial
// ports: each one a sysfs entry with a driver and a /dev name linked to a real device (a pty).
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace rivelo::test {

class FakePortTree {
 public:
  explicit FakePortTree(const std::string& name)
      : root_(std::filesystem::temp_directory_path() / ("rivelo_" + name + "_" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(SysTty());
    std::filesystem::create_directories(Dev());
  }
  ~FakePortTree() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  FakePortTree(const FakePortTree&) = delete;
  FakePortTree& operator=(const FakePortTree&) = delete;

  std::string SysTty() const { return (root_ / "sys").string(); }
  std::string Dev() const { return (root_ / "dev").string(); }
  std::string DevPath(const std::string& name) const { return (root_ / "dev" / name).string(); }

  // A port as a driver registers it; device is what its /dev name leads to (none: no node).
  // uartType: sysfs's type of an 8250 port (0 is a phantom without a UART), -1 for none.
  void Plug(const std::string& name, const std::string& device = {}, int uartType = -1) const {
    const auto entry = root_ / "sys" / name;
    std::filesystem::create_directories(entry / "device" / "driver");
    if (uartType >= 0) std::ofstream(entry / "type") << uartType << '\n';
    if (!device.empty()) std::filesystem::create_symlink(device, root_ / "dev" / name);
  }
  // A tty without a device behind it (virtual consoles, ptys): sysfs lists those too.
  void AddVirtual(const std::string& name) const { std::filesystem::create_directories(root_ / "sys" / name); }

 private:
  std::filesystem::path root_;
};

}  // namespace rivelo::test
