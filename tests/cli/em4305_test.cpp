// The em4305 commands through rivelo against the virtual reader: what the chip holds afterwards
// is taken from the reader's memory, not from rivelo's output.
#include <fcntl.h>
#include <pty.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <iostream>

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

int TagOnReader(const sim::VirtualReader& reader) { return reader.TagOnReader().value_or(-1); }

std::uint32_t Word(const sim::VirtualReader& reader, int word) {
  return reader.Memory(TagOnReader(reader))->words[static_cast<std::size_t>(word)];
}

// rivelo on the virtual reader with an EM4305 (options after "em4305" in the tag text).
test::Outcome Em(sim::VirtualReader& reader, std::vector<std::string> args, const std::string& tag = "em4305") {
  args.insert(args.begin(), {"--simulate=" + tag, "em4305"});
  return Rivelo(args, {}, &reader);
}

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

TEST(Em4305Words, WriteAndReadBackAndTheConfigurationInWords) {
  sim::VirtualReader reader;
  test::Outcome o = Em(reader, {"write-word", "5", "DEADBEEF"});
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(Word(reader, 5), 0xDEADBEEFu);
  o = Em(reader, {"read-word", "5"});
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out, std::vector<std::string>{"DEADBEEF"});

  // The delivered configuration 0002008F: RF/32, bi-phase, words 5-8 sent.
  o = Em(reader, {"read-word", "4"});
  EXPECT_EQ(o.code, 0) << o.errText;
  ASSERT_FALSE(o.out.empty());
  EXPECT_EQ(o.out[0], "0002008F");
  EXPECT_TRUE(Has(Joined(o.out), "RF/32")) << Joined(o.out);
  EXPECT_TRUE(Has(Joined(o.out), "encoder             bi-phase")) << Joined(o.out);

  o = Em(reader, {"dump"});
  EXPECT_EQ(o.code, 0) << o.errText;
  const std::string text = Joined(o.out);
  EXPECT_TRUE(Has(text, "word 4   0002008F  configuration")) << text;
  EXPECT_TRUE(Has(text, "word 5   DEADBEEF  user")) << text;
  EXPECT_TRUE(Has(text, "  UID")) << text;
  EXPECT_TRUE(Has(text, "word 15")) << text;
  EXPECT_FALSE(Has(text, "word 2 ")) << text;
  EXPECT_TRUE(Has(text, "last read word      8")) << text;
}

TEST(Em4305Words, RefusedWordsAndValuesSendNothing) {
  sim::VirtualReader reader;
  const test::Outcome uid = Em(reader, {"write-word", "1", "00000000"});
  EXPECT_EQ(uid.code, 2);
  EXPECT_TRUE(Has(uid.errText, "UID")) << uid.errText;
  const test::Outcome prot = Em(reader, {"write-word", "14", "00000000"});
  EXPECT_EQ(prot.code, 2);
  EXPECT_TRUE(Has(prot.errText, "protection word")) << prot.errText;
  const test::Outcome pwd = Em(reader, {"read-word", "2"});
  EXPECT_EQ(pwd.code, 2);
  EXPECT_TRUE(Has(pwd.errText, "password")) << pwd.errText;
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"write-word", "15", "00000000"},
           {"write-word", "2", "00000000"},
           {"write-word", "16", "00000000"},
           {"write-word", "5", "1234567"},
           {"write-word", "5", "123456789"},
           {"write-word", "5", "1234567G"},
           {"read-word", "-1"},
           {"read-word", "0x5"},
           {"login", "1234"},
           {"set-password", "12345678", "--password", "1"},
           {"protect", "15", "--yes"},
           {"read-word", "5", "--password", "XYZ"}}) {
    SCOPED_TRACE(Joined(args));
    const test::Outcome o = Em(reader, args);
    EXPECT_EQ(o.code, 2);
    EXPECT_EQ(o.err.size(), 3u) << o.errText;  // the reason, the usage line, the pointer to --help
  }
  EXPECT_EQ(reader.GetCounters().requests, 0);
}

TEST(Em4305Words, ALoginOpensAChipThatNeedsOne) {
  sim::VirtualReader reader;
  const std::string tag = "em4305:pwd=12345678";
  // Configuration 0012008F: as delivered, and writing needs a login.
  test::Outcome o = Em(reader, {"write-word", "4", "0012008F", "--yes"}, tag);
  ASSERT_EQ(o.code, 0) << o.errText;
  o = Em(reader, {"write-word", "5", "CAFEF00D"}, tag);
  EXPECT_EQ(o.code, 1);
  EXPECT_NE(Word(reader, 5), 0xCAFEF00Du);
  o = Em(reader, {"write-word", "5", "cafef00d", "--password", "12345678"}, tag);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(Word(reader, 5), 0xCAFEF00Du);
  o = Em(reader, {"write-word", "5", "00000000", "--password", "87654321"}, tag);
  EXPECT_EQ(o.code, 1);
  EXPECT_TRUE(Has(o.errText, "refused the password")) << o.errText;
  EXPECT_EQ(Em(reader, {"login", "12345678"}, tag).code, 0);
  EXPECT_EQ(Em(reader, {"login", "00000000"}, tag).code, 1);

  // A new password counts once a login with it works; the old one no longer opens the chip.
  o = Em(reader, {"set-password", "A1B2C3D4", "--password", "12345678", "--yes"}, tag);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(Word(reader, 2), 0xA1B2C3D4u);
  EXPECT_EQ(Em(reader, {"write-word", "6", "00000001", "--password", "12345678"}, tag).code, 1);
  EXPECT_EQ(Em(reader, {"write-word", "6", "00000001", "--password", "A1B2C3D4"}, tag).code, 0);
}

TEST(Em4305Irreversible, ProtectAndDisableAskFirstAndThenHold) {
  sim::VirtualReader reader;
  {
    // Nobody to ask: nothing is sent.
    const NoTerminal noTerminal;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"protect", "5"}, {"disable"}, {"set-password", "11111111"}, {"write-word", "4", "0002008F"}}) {
      SCOPED_TRACE(Joined(args));
      const test::Outcome o = Em(reader, args);
      EXPECT_EQ(o.code, 2);
      EXPECT_TRUE(Has(o.errText, "--yes")) << o.errText;
    }
    EXPECT_EQ(reader.GetCounters().requests, 0);
  }

  test::Outcome o = Em(reader, {"protect", "5", "7", "--yes"});
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_TRUE(Has(o.errText, "mask 000000A0")) << o.errText;
  EXPECT_TRUE(reader.Memory(TagOnReader(reader))->locked[5]);
  EXPECT_TRUE(reader.Memory(TagOnReader(reader))->locked[7]);
  EXPECT_FALSE(reader.Memory(TagOnReader(reader))->locked[6]);
  o = Em(reader, {"write-word", "5", "DEADBEEF"});
  EXPECT_EQ(o.code, 1);
  EXPECT_NE(Word(reader, 5), 0xDEADBEEFu);

  // The delivered configuration forbids disabling: refused, the chip still answers.
  EXPECT_EQ(Em(reader, {"disable", "--yes"}).code, 1);
  EXPECT_EQ(Em(reader, {"read-word", "0"}).code, 0);
  ASSERT_EQ(Em(reader, {"write-word", "4", "0082008F", "--yes"}).code, 0);
  o = Em(reader, {"disable", "--yes"});
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(Em(reader, {"read-word", "0"}).code, 1);
  o = Em(reader, {"dump"});
  EXPECT_EQ(o.code, 1);
  EXPECT_TRUE(Has(Joined(o.out), "word 0   not read  user")) << Joined(o.out);
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

TEST(Em4305Irreversible, OnATerminalOnlyYesProtects) {
  sim::VirtualReader reader;
  {
    const Terminal no("n\n");
    ASSERT_TRUE(no.Open());
    const test::Outcome o = Em(reader, {"protect", "6"});
    EXPECT_EQ(o.code, 1);
    EXPECT_TRUE(Has(o.errText, "[y/N]")) << o.errText;
    EXPECT_EQ(reader.GetCounters().requests, 0);
  }
  const Terminal yes("y\n");
  const test::Outcome o = Em(reader, {"protect", "6"});
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_TRUE(reader.Memory(TagOnReader(reader))->locked[6]);
}

}  // namespace
}  // namespace rivelo
