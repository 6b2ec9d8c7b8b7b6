// The system's port list read from a stand-in sysfs: which ttys count, in what order, and a
// port plugged in after start.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reader/discovery.h"
#include "tests/reader/fake_device.h"
#include "tests/reader/fake_port_tree.h"

namespace rivelo {
namespace {

#if defined(__linux__)

std::vector<std::string> Listed(const test::FakePortTree& tree) {
  return SerialPortsUnder(tree.SysTty(), tree.Dev()).value_or(std::vector<std::string>{"no list"});
}

TEST(PortList, DriverBackedTtysInNaturalOrder) {
  const test::FakePortTree tree("port_list_order");
  EXPECT_TRUE(Listed(tree).empty());  // an empty list is still a list
  for (const char* name : {"ttyUSB0", "ttyS10", "ttyS2", "ttyACM0"}) tree.Plug(name);
  tree.Plug("ttyS1", {}, 0);  // the 8250 driver's port without a UART
  tree.AddVirtual("tty0");
  EXPECT_EQ(Listed(tree), (std::vector<std::string>{tree.DevPath("ttyACM0"), tree.DevPath("ttyS2"),
                                                    tree.DevPath("ttyS10"), tree.DevPath("ttyUSB0")}));
  EXPECT_FALSE(SerialPortsUnder(tree.SysTty() + "/missing", tree.Dev()).has_value());
}

TEST(PortList, APortPluggedInBetweenTwoScansIsFoundByTheSecond) {
  const test::FakePortTree tree("port_list_plug");
  test::FakeDevice reader;
  reader.Script(test::WireReply(0x102, 0, test::Bytes(ReaderIdText, ReaderIdText + 23)));
  EXPECT_FALSE(ConnectDevice(Listed(tree)).found);
  tree.Plug("ttyUSB0", reader.Path());
  const ConnectResult second = ConnectDevice(Listed(tree));
  EXPECT_TRUE(second.found);
  EXPECT_EQ(second.port, tree.DevPath("ttyUSB0"));
  DisconnectDevice();
}

#endif

}  // namespace
}  // namespace rivelo
