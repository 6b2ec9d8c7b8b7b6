// The T5577 commands, HID 26-bit and FDX-A through rivelo against the virtual reader: what the
// chip holds afterwards is taken from the reader's memory or the frame the tag sends, not from
// rivelo's output.
#include <fcntl.h>
#include <pty.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <iostream>

#include <cstdlib>

#include "sim/tag_formats.h"
#include "sim/virtual_reader.h"
#include "tests/cli/cli_test_support.h"

namespace rivelo {
namespace {

using test::Rivelo;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

// The tag on the reader, made from a --simulate text by the first run.
int TagOnReader(const sim::VirtualReader& reader) { return reader.TagOnReader().value_or(-1); }

// Standard input taken off the terminal for the test, as under a pipe or a cron job.
class NoTerminal {
 public:
  NoTerminal() : saved_(dup(STDIN_FILENO)) {
    const int null = open("/dev/null", O_RDONLY);
    dup2(null, STDIN_FILENO);
    close(null);
  }
  ~NoTerminal() {
    dup2(saved_, STDIN_FILENO);
    close(saved_);
  }

 private:
  int saved_;
};

TEST(AccessFormats, HidAndFdxaAreWrittenOntoABlankT5577AndReadBack) {
  sim::VirtualReader reader;
  test::Outcome o = Rivelo({"--simulate=t5577", "write", "hid", "118", "1603"}, {}, &reader);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(reader.Info(TagOnReader(reader))->identity, "HID 118:1603");

  o = Rivelo({"--simulate=t5577", "read", "hid"}, {}, &reader);
  EXPECT_EQ(o.code, 0) << o.errText;
  ASSERT_EQ(o.out.size(), 3u);
  EXPECT_EQ(o.out[1], "card      1603 (0643)");
  EXPECT_TRUE(Has(o.out[2], "parity computed")) << o.out[2];

  // The limits themselves, and the frame's parity computed for them.
  o = Rivelo({"--simulate=t5577", "--json", "write", "hid", "255", "65535"}, {}, &reader);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(reader.Info(TagOnReader(reader))->identity, "HID 255:65535");
  ASSERT_EQ(o.out.size(), 1u);
  EXPECT_TRUE(Has(o.out[0], "\"facility\":\"255\",\"card\":\"65535\"")) << o.out[0];

  o = Rivelo({"--simulate=t5577", "write", "fdxa", "7F0123457E"}, {}, &reader);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(reader.Info(TagOnReader(reader))->identity, "FDX-A 7F0123457E");
  o = Rivelo({"--simulate=t5577", "read", "fdxa"}, {}, &reader);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out, std::vector<std::string>{"7F0123457E"});
}

TEST(AccessFormats, ValuesTheTagCannotHoldAreRefusedBeforeAnythingIsSent) {
  sim::VirtualReader reader;
  // A code with bit 7 set would reach the tag as another code: refused, saying which.
  test::Outcome o = Rivelo({"--simulate=t5577", "write", "fdxa", "FFFFFFFFFF"}, {}, &reader);
  EXPECT_EQ(o.code, 2);
  EXPECT_TRUE(Has(o.errText, "7F7F7F7F7F")) << o.errText;
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"write", "fdxa", "123456789"},
                                             {"write", "fdxa", "01234567890"},
                                             {"write", "hid", "256", "1"},
                                             {"write", "hid", "1", "65536"},
                                             {"write", "hid", "-1", "1"},
                                             {"write", "hid", "0x10", "1"}}) {
    std::vector<std::string> full{"--simulate=t5577"};
    full.insert(full.end(), args.begin(), args.end());
    SCOPED_TRACE(Joined(args));
    EXPECT_EQ(Rivelo(full, {}, &reader).code, 2);
  }
  EXPECT_EQ(reader.GetCounters().requests, 0);
}

TEST(AccessFormats, AWriteThatDoesNotReadBackFails) {
  // A read-only HID card stays what it is.
  sim::VirtualReader reader;
  const test::Outcome o = Rivelo({"--simulate=hid:1:2", "write", "hid", "3", "4"}, {}, &reader);
  EXPECT_EQ(o.code, 1);
  EXPECT_TRUE(Has(o.errText, "the tag did not take 3:4: the identity was not read back as written")) << o.errText;
}

TEST(T5577Blocks, WriteAndReadBackWithAndWithoutPassword) {
  sim::VirtualReader reader;
  test::Outcome o = Rivelo({"--simulate=t5577", "t5577", "write-block", "3", "DEADBEEF"}, {}, &reader);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(reader.Memory(TagOnReader(reader))->words[3], 0xDEADBEEFu);
  o = Rivelo({"--simulate=t5577", "t5577", "read-block", "3"}, {}, &reader);
  EXPECT_EQ(o.out, std::vector<std::string>{"DEADBEEF"});

  // A chip in password mode takes and gives blocks only with its password.
  sim::VirtualReader locked;
  o = Rivelo({"--simulate=t5577:pwd=12345678", "t5577", "write-block", "2", "0000CAFE"}, {}, &locked);
  EXPECT_EQ(o.code, 1);
  const int tag = TagOnReader(locked);
  EXPECT_NE(locked.Memory(tag)->words[2], 0xCAFEu);
  o = Rivelo({"--simulate=t5577:pwd=12345678", "t5577", "write-block", "2", "0000cafe", "--password", "12345678"},
             {}, &locked);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(locked.Memory(tag)->words[2], 0xCAFEu);
  o = Rivelo({"--simulate=t5577:pwd=12345678", "t5577", "read-block", "2", "--password", "12345678"}, {}, &locked);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out, std::vector<std::string>{"0000CAFE"});
  EXPECT_EQ(Rivelo({"--simulate=t5577:pwd=12345678", "t5577", "read-block", "2"}, {}, &locked).code, 1);
}

TEST(T5577Blocks, Block0AndLockAreRefusedWithoutATerminalUnlessConfirmed) {
  sim::VirtualReader reader;
  {
    const NoTerminal noTerminal;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"t5577", "write-block", "0", "00148040"},
             {"t5577", "write-block", "1", "00000001", "--lock"},
             {"t5577", "restore-config"}}) {
      std::vector<std::string> full{"--simulate=t5577"};
      full.insert(full.end(), args.begin(), args.end());
      SCOPED_TRACE(Joined(args));
      const test::Outcome o = Rivelo(full, {}, &reader);
      EXPECT_EQ(o.code, 2);
      EXPECT_TRUE(Has(o.errText, "--yes")) << o.errText;
    }
    EXPECT_EQ(reader.GetCounters().requests, 0);

    // --yes writes block 0; the plain write of the factory word restores it.
    test::Outcome o = Rivelo({"--simulate=t5577", "t5577", "write-block", "0", "00148040", "--yes"}, {}, &reader);
    EXPECT_EQ(o.code, 0) << o.errText;
    const int tag = TagOnReader(reader);
    EXPECT_EQ(reader.Memory(tag)->words[0], sim::T5577ConfigEm4100);
    o = Rivelo({"--simulate=t5577", "t5577", "restore-config", "--yes"}, {}, &reader);
    EXPECT_EQ(o.code, 0) << o.errText;
    EXPECT_EQ(reader.Memory(tag)->words[0], sim::T5577ConfigFactory);

    // A locked block keeps its value: the next write fails although the reader answered.
    o = Rivelo({"--simulate=t5577", "t5577", "write-block", "5", "11111111", "--lock", "--yes"}, {}, &reader);
    EXPECT_EQ(o.code, 0) << o.errText;
    EXPECT_TRUE(reader.Memory(tag)->locked[5]);
    o = Rivelo({"--simulate=t5577", "t5577", "write-block", "5", "22222222"}, {}, &reader);
    EXPECT_EQ(o.code, 1);
    EXPECT_TRUE(Has(o.errText, "block 5 of page 0")) << o.errText;
    EXPECT_EQ(reader.Memory(tag)->words[5], 0x11111111u);
  }
}

// Standard input on a terminal whose keyboard has already typed answer.
class Terminal {
 public:
  explicit Terminal(const std::string& answer) : saved_(dup(STDIN_FILENO)) {
    int replica = -1;
    if (openpty(&primary_, &replica, nullptr, nullptr, nullptr) != 0) return;
    dup2(replica, STDIN_FILENO);
    close(replica);
    if (write(primary_, answer.data(), answer.size()) < 0) return;
    std::cin.clear();
  }
  ~Terminal() {
    dup2(saved_, STDIN_FILENO);
    close(saved_);
    if (primary_ >= 0) close(primary_);
  }
  bool Open() const { return primary_ >= 0; }

 private:
  int saved_;
  int primary_ = -1;
};

TEST(T5577Blocks, Block0IsWrittenOnlyWhenTheTerminalSaysYes) {
  sim::VirtualReader reader;
  {
    const Terminal no("n\n");
    ASSERT_TRUE(no.Open());
    const test::Outcome o = Rivelo({"--simulate=t5577", "t5577", "write-block", "0", "00148040"}, {}, &reader);
    EXPECT_EQ(o.code, 1);
    EXPECT_TRUE(Has(o.errText, "identity layout     EM4100")) << o.errText;
    EXPECT_EQ(reader.GetCounters().requests, 0);
  }
  const Terminal yes("y\n");
  const test::Outcome o = Rivelo({"--simulate=t5577", "t5577", "write-block", "0", "00148040"}, {}, &reader);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(reader.Memory(TagOnReader(reader))->words[0], sim::T5577ConfigEm4100);
}

TEST(T5577Blocks, RestoreConfigFallsBackToThePassword) {
  sim::VirtualReader reader;
  test::Outcome o = Rivelo({"--simulate=t5577:pwd=12345678", "t5577", "restore-config", "--yes"}, {}, &reader);
  EXPECT_EQ(o.code, 1);
  EXPECT_TRUE(Has(o.errText, "--password")) << o.errText;
  o = Rivelo({"--simulate=t5577:pwd=12345678", "t5577", "restore-config", "--yes", "--password", "12345678"}, {},
             &reader);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(reader.Memory(TagOnReader(reader))->words[0], sim::T5577ConfigFactory);
}

TEST(T5577Blocks, PageReadAndInfo) {
  sim::VirtualReader reader;
  ASSERT_EQ(Rivelo({"--simulate=t5577", "t5577", "write-block", "1", "A1A1A1A1"}, {}, &reader).code, 0);
  ASSERT_EQ(Rivelo({"--simulate=t5577", "t5577", "write-block", "7", "B7B7B7B7"}, {}, &reader).code, 0);
  test::Outcome o = Rivelo({"--simulate=t5577", "t5577", "read-page"}, {}, &reader);
  EXPECT_EQ(o.code, 0) << o.errText;
  ASSERT_FALSE(o.out.empty());
  EXPECT_EQ(o.out.front(), "block 1  A1A1A1A1");
  EXPECT_EQ(o.out.back(), "block 7  B7B7B7B7");

  o = Rivelo({"--simulate=t5577", "t5577", "info"}, {}, &reader);
  EXPECT_EQ(o.code, 0) << o.errText;
  const std::string text = Joined(o.out);
  EXPECT_TRUE(Has(text, "block 0  000880E8\n")) << text;
  EXPECT_TRUE(Has(text, "block 7  B7B7B7B7\n")) << text;
  EXPECT_TRUE(Has(text, "modulation          Manchester\n")) << text;
  EXPECT_TRUE(Has(text, "data rate           RF/32\n")) << text;
  EXPECT_TRUE(Has(text, "max block           7\n")) << text;
  EXPECT_TRUE(Has(text, "password            off\n")) << text;
}

// set-password gives the chip a password and turns on password mode, counted once both read
// back with it; clear-password turns it off. Both ask first, take the passwords from files or
// the environment, and never show them.
TEST(T5577Blocks, SetAndClearPasswordHoldOnlyWithTheRightPassword) {
  sim::VirtualReader reader;
  const test::TempDir dir("t5577_passwords");
  const std::string file = dir.File("new", "51243648\n");
  const auto words = [&reader] { return reader.Memory(TagOnReader(reader))->words; };
  ASSERT_EQ(Rivelo({"--simulate=t5577", "write", "em4100", "0123456789"}, {}, &reader).code, 0);
  {
    const NoTerminal noTerminal;
    EXPECT_EQ(Rivelo({"--simulate=t5577", "t5577", "set-password", "--new-password-file", file}, {}, &reader).code, 2);
  }
  const struct {
    std::vector<std::string> args;
    const char* password;     // RIVELO_PASSWORD
    const char* newPassword;  // RIVELO_NEW_PASSWORD
    int code;
    std::uint32_t block0, block7;
  } steps[] = {
      {{"set-password", "--new-password-file", file}, nullptr, nullptr, 0, 0x00148050, 0x51243648},
      {{"clear-password", "--password", "11111111"}, nullptr, nullptr, 1, 0x00148050, 0x51243648},
      {{"set-password", "--password-file", file}, nullptr, "11223344", 0, 0x00148050, 0x11223344},
      {{"clear-password"}, "11223344", nullptr, 0, 0x00148040, 0x11223344},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(Joined(step.args));
    if (step.password) ::setenv("RIVELO_PASSWORD", step.password, 1);
    if (step.newPassword) ::setenv("RIVELO_NEW_PASSWORD", step.newPassword, 1);
    std::vector<std::string> args{"--simulate=t5577", "t5577"};
    args.insert(args.end(), step.args.begin(), step.args.end());
    args.insert(args.end(), {"--yes", "--no-backup"});
    const test::Outcome o = Rivelo(args, {}, &reader);
    ::unsetenv("RIVELO_PASSWORD");
    ::unsetenv("RIVELO_NEW_PASSWORD");
    EXPECT_EQ(o.code, step.code) << o.errText;
    const std::string said = Joined(o.out) + o.errText;
    EXPECT_FALSE(Has(said, "51243648") || Has(said, "11223344") || Has(said, "11111111")) << said;
    EXPECT_EQ(words()[0], step.block0);
    EXPECT_EQ(words()[7], step.block7);
    EXPECT_EQ(Rivelo({"--simulate=t5577", "read", "em4100"}, {}, &reader).out, std::vector<std::string>{"0123456789"});
  }
  // A chip that sends blocks 1-7 would send its password to every reader: refused.
  sim::VirtualReader blank;
  const test::Outcome o =
      Rivelo({"--simulate=t5577", "t5577", "set-password", "--new-password-file", file, "--yes", "--no-backup"}, {},
             &blank);
  EXPECT_EQ(o.code, 1);
  EXPECT_TRUE(Has(o.errText, "block 7 among them")) << o.errText;
  EXPECT_EQ(blank.Memory(TagOnReader(blank))->words[7], 0u);
}

TEST(T5577Blocks, StrictHexAndBlockRangesAreUsageErrors) {
  sim::VirtualReader reader;
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"write-block", "1", "1234567"},
           {"write-block", "1", "123456789"},
           {"write-block", "1", "0x123456"},
           {"write-block", "1", "1234567G"},
           {"write-block", "1", "12345678", "--password", "1234"},
           {"write-block", "8", "12345678"},
           {"write-block", "4", "12345678", "--page", "1"},
           {"write-block", "1", "12345678", "--page", "2"},
           {"read-block", "-1"},
           {"read-block", "x"},
           {"wake", "ZZZZZZZZ"},
           {"wake"},
           {"info", "--json"},
           // A refused password is named, never shown: it may be the right one mistyped.
           {"read-block", "1", "--password", "1122334"},
           {"read-block", "1", "--password", "11223344", "--password-file", "pwd"},
           {"read-block", "1", "--password-file", "/nonexistent/1122334"},
           {"read-block", "1", "--password", "-"},
           {"set-password", "1122334", "--yes"},
           {"set-password", "--yes"},
           {"clear-password", "--yes"},
           {"t5577"}}) {
    std::vector<std::string> full{"--simulate=t5577", "t5577"};
    full.insert(full.end(), args.begin(), args.end());
    if (args.front() == "t5577") full.pop_back();
    SCOPED_TRACE(Joined(args));
    const NoTerminal noTerminal;
    const test::Outcome o = Rivelo(full, {}, &reader);
    EXPECT_EQ(o.code, 2);
    EXPECT_FALSE(Has(o.errText, "1122334'") || Has(o.errText, "1122334\n")) << o.errText;
  }
  EXPECT_EQ(reader.GetCounters().requests, 0);
}

}  // namespace
}  // namespace rivelo
