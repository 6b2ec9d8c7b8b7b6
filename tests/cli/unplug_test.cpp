// rivelo's continuous runs when the reader is unplugged (its pseudo-terminal closed) and when
// it goes silent for a while: the run ends with exit 1 naming the port, or says so and goes on.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "sim/pty_server.h"
#include "sim/virtual_reader.h"
#include "tests/cli/cli_test_support.h"

namespace rivelo {
namespace {

using Clock = std::chrono::steady_clock;
using test::Rivelo;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class Unplug : public ::testing::Test {
 protected:
  void SetUp() override {
    reader_.AddTag("em4100:0123456789");
    ASSERT_TRUE(server_.Start());
  }

  sim::VirtualReader reader_;
  sim::PtyServer server_{reader_};
};

TEST_F(Unplug, AnExportingReadRunEndsWhenThePortGoesAndANewRunWorksOnceItIsBack) {
  const test::TempDir dir("cli_unplug");
  const std::string port = server_.Path();
  const auto start = Clock::now();
  const test::Outcome o = Rivelo({"--port", port, "read", "em4100", "--continuous", "--export", dir.Path().string()},
                                 [this](const std::string&) { server_.Stop(); });
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(5)) << "it must not wait for a reader that cannot come back";
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(o.out, std::vector<std::string>{"1 0123456789"});
  EXPECT_TRUE(Has(o.errText, "The reader's port " + port + " is gone; the run stopped. Connect again.\nstop\n"))
      << o.errText;
  EXPECT_TRUE(Has(o.errText, "rivelo: the reader's port " + port + " is gone; the run stopped after 1 tags\n"))
      << o.errText;
  // The export was closed with the tag it listed.
  std::vector<std::string> exported;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    exported.push_back(text.str());
  }
  EXPECT_EQ(exported, std::vector<std::string>{"0123456789\r\n"});

  // Plugged in again (a new terminal): the next run finds it.
  ASSERT_TRUE(server_.Start());
  const test::Outcome again = Rivelo({"--port", server_.Path(), "read", "em4100", "--continuous", "--count", "2"});
  EXPECT_EQ(again.code, 0) << again.errText;
  EXPECT_EQ(again.out, (std::vector<std::string>{"1 0123456789", "2 0123456789"}));
}

TEST_F(Unplug, ASilentReaderIsSaidOnceAndSoIsItsReturn) {
  std::thread heal;
  const test::Outcome o = Rivelo({"--port", server_.Path(), "read", "em4100", "--continuous", "--count", "2"},
                                 [this, &heal](const std::string&) {
                                   if (heal.joinable()) return;
                                   reader_.SetFault(sim::FaultRule{sim::Fault::NoAnswer, 1.0});
                                   heal = std::thread([this] {
                                     std::this_thread::sleep_for(std::chrono::milliseconds(3000));
                                     reader_.ClearFaults();
                                   });
                                 });
  heal.join();
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out.size(), 2u);
  const std::string silent = "No reply from the reader for 3 ticks; still trying.\n";
  const std::string back = "The reader answers again.\n";
  const auto at = o.errText.find(silent);
  ASSERT_NE(at, std::string::npos) << o.errText;
  EXPECT_EQ(o.errText.find(silent, at + 1), std::string::npos) << "said once: " << o.errText;
  EXPECT_NE(o.errText.find(back, at), std::string::npos) << o.errText;
}

}  // namespace
}  // namespace rivelo
