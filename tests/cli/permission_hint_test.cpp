// rivelo on a port the user may not open: every command that scans says which port and which
// group to join.
#include <gtest/gtest.h>

#include "sim/pty_server.h"
#include "sim/virtual_reader.h"
#include "tests/cli/cli_test_support.h"
#include "tests/reader/refused_port.h"

namespace rivelo {
namespace {

TEST(PermissionHint, CommandsThatScanNameThePortAndTheGroupToJoin) {
  sim::VirtualReader reader;
  sim::PtyServer server(reader);
  ASSERT_TRUE(server.Start());
  const std::string pty = server.Path();
  test::Outcome identify, read;
  std::string group;
  {
    test::RefusedPort refused(pty);
    if (!refused.Ok()) GTEST_SKIP() << refused.Why();
    group = refused.Group();
    identify = test::Rivelo({"--port", pty, "identify"});
    read = test::Rivelo({"--port", "/dev/rivelo-no-such-port", "--port", pty, "read", "em4100"});
  }
  const std::string hint = "permission denied; add yourself to the group " + group + " (sudo usermod -aG " + group +
                           " $USER) and log in again";
  EXPECT_EQ(identify.code, 4);
  EXPECT_TRUE(identify.out.empty());
  EXPECT_EQ(identify.errText, "rivelo: no reader on " + pty + ": " + hint + "\n");
  EXPECT_EQ(read.code, 4);
  EXPECT_EQ(read.errText, "rivelo: no reader found on 2 ports:\n"
                          "rivelo:   /dev/rivelo-no-such-port: no such port\n"
                          "rivelo:   " + pty + ": " + hint + "\n");
}

}  // namespace
}  // namespace rivelo
