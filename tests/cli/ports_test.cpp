// rivelo against a virtual reader served on its own pseudo-terminal: ports that give no
// reader and why, replies that are no replies, a reader that goes away, and a feeder run.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "reader/my_comm.h"
#include "sim/pty_server.h"
#include "sim/virtual_reader.h"
#include "tests/cli/cli_test_support.h"

namespace rivelo {
namespace {

using test::Rivelo;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class Ports : public ::testing::Test {
 protected:
  void SetUp() override {
    reader_.AddTag("em4100:0123456789");
    ASSERT_TRUE(server_.Start());
  }
  std::string Pty() const { return server_.Path(); }

  sim::VirtualReader reader_;
  sim::PtyServer server_{reader_};
};

TEST_F(Ports, EachPortSaysWhyItGaveNoReader) {
  test::Outcome o = Rivelo({"--port", "/dev/rivelo-no-such-port", "identify"});
  EXPECT_EQ(o.code, 3);
  EXPECT_EQ(o.errText, "rivelo: no reader on /dev/rivelo-no-such-port: no such port\n");

  const test::TempDir dir("cli_ports");
  o = Rivelo({"--port", dir.Path().string(), "read", "em4100"});
  EXPECT_EQ(o.code, 3);
  EXPECT_TRUE(Has(o.errText, dir.Path().string() + ": not a serial port")) << o.errText;

  // Held by another program: that is worth its own exit code.
  CMyComm holder;
  ASSERT_EQ(holder.Open(Pty(), ReaderBaudRate), 1);
  o = Rivelo({"--port", "/dev/rivelo-no-such-port", "--port", Pty(), "run", "em4100", "--incremental", "0123456789"});
  EXPECT_EQ(o.code, 4);
  EXPECT_TRUE(o.out.empty());
  EXPECT_TRUE(Has(o.errText, "rivelo: no reader found on 2 ports:\n")) << o.errText;
  EXPECT_TRUE(Has(o.errText, "rivelo:   /dev/rivelo-no-such-port: no such port\n")) << o.errText;
  EXPECT_TRUE(Has(o.errText, "rivelo:   " + Pty() + ": in use by another program\n")) << o.errText;
  holder.Close();

  o = Rivelo({"--port", "/dev/rivelo-no-such-port", "--port", Pty(), "identify"});
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out, std::vector<std::string>{Pty()});
}

TEST_F(Ports, PermissionRefused) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may open any file";
  const test::TempDir dir("cli_perm");
  const std::string locked = dir.File("ttyLOCKED", "");
  ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
  const test::Outcome o = Rivelo({"--port", locked, "identify"});
  EXPECT_EQ(o.code, 4);
  EXPECT_TRUE(Has(o.errText, locked + ": permission denied; ")) << o.errText;
}

TEST_F(Ports, RepliesThatAreNoRepliesSayWhatWasWrong) {
  const struct {
    sim::Fault fault;
    std::string said;
  } cases[] = {
      {sim::Fault::BadChecksum, "no valid reply from the reader (bad checksum)"},
      {sim::Fault::Truncated, "no valid reply from the reader (truncated)"},
      {sim::Fault::NoAnswer, "no reply from the reader (silent)"},
  };
  for (const auto& c : cases) {
    reader_.SetCommandFault(0x10C, sim::FaultRule{c.fault, 1.0});
    const test::Outcome o = Rivelo({"--port", Pty(), "read", "em4100"});
    EXPECT_EQ(o.code, 1);
    EXPECT_TRUE(o.out.empty());
    EXPECT_EQ(o.errText, "rivelo: " + c.said + "\n");
  }
  // The connect scan says it too.
  reader_.ClearFaults();
  reader_.SetCommandFault(0x102, sim::FaultRule{sim::Fault::BadChecksum, 1.0});
  const test::Outcome o = Rivelo({"--port", Pty(), "identify"});
  EXPECT_EQ(o.code, 3);
  EXPECT_EQ(o.errText, "rivelo: no reader on " + Pty() + ": no valid reply (bad checksum)\n");
}

TEST_F(Ports, ARunWhoseReaderGoesAwayEndsAndFails) {
  reader_.SetFeeder("em4305", 100, 0);
  const test::Outcome o = Rivelo({"--port", Pty(), "run", "em4100", "--incremental", "0123456789", "--count", "10"},
                                 [this](const std::string&) { server_.Stop(); });
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(o.out, std::vector<std::string>{"1 0123456789"});
  EXPECT_TRUE(Has(o.errText, "stop\nrivelo: the reader's port " + Pty() + " is gone; the run stopped after 1 tags\n"))
      << o.errText;
}

// The blank-chip feeder of rivelo-sim --feed em4305:20: each written tag is lifted and the
// next blank put on, and the run ends after exactly 20.
TEST_F(Ports, FeederRunWritesTwentyTags) {
  reader_.SetFeeder("em4305", 20, 0);
  const test::Outcome o = Rivelo({"--port", Pty(), "run", "em4100", "--incremental", "0123456789", "--count", "20"});
  EXPECT_EQ(o.code, 0) << o.errText;
  ASSERT_EQ(o.out.size(), 20u);
  EXPECT_EQ(o.out.front(), "1 0123456789");
  EXPECT_EQ(o.out.back(), "20 012345679C");
}

}  // namespace
}  // namespace rivelo
