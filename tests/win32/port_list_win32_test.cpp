// The SERIALCOMM port list as the registry holds it.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "reader/discovery.h"
#include "tests/win32/com_pair.h"

namespace rivelo {
namespace {

constexpr const char* kKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

std::vector<std::string> Ports() {
  auto ports = SystemSerialPorts();
  EXPECT_TRUE(ports.has_value());
  return ports.value_or(std::vector<std::string>{});
}

TEST(SerialCommList, ListsTheLinkedPairAmongTheSystemsPorts) {
  const auto pair = test::ComPair();
  if (!pair) GTEST_SKIP() << "RIVELO_TEST_COM_PAIR names no linked COM ports";
  const auto ports = Ports();
  EXPECT_NE(std::find(ports.begin(), ports.end(), pair->first), ports.end());
  EXPECT_NE(std::find(ports.begin(), ports.end(), pair->second), ports.end());
  for (const auto& p : ports) EXPECT_FALSE(p.empty());
}

// Some drivers register device names longer than the 25-byte enumeration buffer; their
// ports must still be listed, with the right name and only once.
TEST(SerialCommList, LongDeviceNameStillYieldsItsPort) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    GTEST_SKIP() << "the machine's serial port list cannot be changed here";
  const char name[] = "\\Device\\AVirtualSerialPortWithALongName0";
  const char data[] = "COM42";
  ASSERT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof(data)),
            ERROR_SUCCESS);
  const auto ports = Ports();
  RegDeleteValueA(key, name);
  RegCloseKey(key);
  EXPECT_EQ(std::count(ports.begin(), ports.end(), "COM42"), 1);
  for (const auto& p : ports) EXPECT_FALSE(p.empty());
}

}  // namespace
}  // namespace rivelo
