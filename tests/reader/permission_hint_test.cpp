// Which group a refused port names, and which refused port a hint is about.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reader/discovery.h"
#include "tests/reader/fake_device.h"

namespace rivelo {
namespace {

TEST(PermissionHint, NoGroupWhenJoiningOneWouldNotHelp) {
  EXPECT_EQ(PortAccessGroup("/dev/null"), "");  // root's group
  EXPECT_EQ(PortAccessGroup("/etc/passwd"), "");  // no device
  test::FakeDevice device;
  EXPECT_EQ(PortAccessGroup(device.Path()), "");  // a new pty (0620): its group may not read
}

TEST(PermissionHint, TheRefusedPortOfAUsbAdapterComesFirst) {
  auto attempts = [](std::vector<std::pair<std::string, OpenFailure>> list) {
    std::vector<PortAttempt> all(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) all[i].port = list[i].first, all[i].open = list[i].second;
    return all;
  };
  constexpr auto Denied = OpenFailure::PermissionDenied;
  const auto builtIn = attempts({{"/dev/ttyS0", OpenFailure::Busy}, {"/dev/ttyS1", Denied}, {"/dev/ttyS2", Denied}});
  EXPECT_EQ(PermissionRefusal(builtIn), &builtIn[1]);
  const auto usb = attempts({{"/dev/ttyS0", Denied}, {"/dev/ttyUSB0", OpenFailure::Busy}, {"/dev/ttyUSB1", Denied}});
  EXPECT_EQ(PermissionRefusal(usb), &usb[2]);
  const auto mac = attempts({{"/dev/cu.Bluetooth", Denied}, {"/dev/cu.usbmodem1410", Denied}});
  EXPECT_EQ(PermissionRefusal(mac), &mac[1]);
  EXPECT_EQ(PermissionRefusal(attempts({{"/dev/ttyUSB0", OpenFailure::NoSuchPort}})), nullptr);
}

}  // namespace
}  // namespace rivelo
