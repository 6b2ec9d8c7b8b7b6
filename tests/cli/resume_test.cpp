// rivelo run against the virtual reader: a tag of the run put back on the reader keeps its
// identity, and a file run starts at --from-line and names that line when interrupted. The
// tags the virtual reader holds afterwards are checked, not only the output.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <map>
#include <thread>

#include "sim/virtual_reader.h"
#include "tests/cli/cli_test_support.h"

namespace rivelo {
namespace {

using test::Rivelo;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// How many tags of the reader carry each EM4100 identity.
std::map<std::string, int> Carried(const sim::VirtualReader& reader) {
  std::map<std::string, int> ids;
  for (const sim::TagInfo& t : reader.Tags())
    if (t.identity.rfind("EM4100 ", 0) == 0) ++ids[t.identity.substr(7)];
  return ids;
}

std::optional<int> TagCarrying(const sim::VirtualReader& reader, const std::string& identity) {
  for (const sim::TagInfo& t : reader.Tags())
    if (t.identity == "EM4100 " + identity) return t.id;
  return std::nullopt;
}

TEST(PutBack, AnEarlierTagIsLeftAloneAndSaidOnceOnStandardError) {
  sim::VirtualReader reader;
  test::LineStream out, err;
  std::thread later;
  // After the second tag, the first comes back; a blank follows only after a few ticks.
  out.onLine = [&](const std::string& line) {
    if (line.rfind("2 ", 0) == 0) reader.PlaceOnReader(*TagCarrying(reader, "0000000010"));
  };
  err.onLine = [&](const std::string& line) {
    if (!Has(line, "left alone") || later.joinable()) return;
    later = std::thread([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(1000));
      for (const sim::TagInfo& t : reader.Tags())
        if (t.fed && t.identity.empty() && !t.onReader) {
          reader.PlaceOnReader(t.id);
          break;
        }
    });
  };
  const int code =
      cli::RunRivelo({"--simulate", "run", "em4100", "--incremental", "0000000010", "--count", "3"}, out, err, &reader);
  if (later.joinable()) later.join();
  EXPECT_EQ(code, 0) << err.Text();
  EXPECT_EQ(out.Lines(), (std::vector<std::string>{"1 0000000010", "2 0000000011", "3 0000000012"}));
  EXPECT_EQ(Count(err.Text(), "left alone:"), 1) << err.Text();
  EXPECT_TRUE(Has(err.Text(), "Written earlier in this run (number 1), left alone: 0000000010\n")) << err.Text();
  const auto carried = Carried(reader);
  for (const char* id : {"0000000010", "0000000011", "0000000012"}) EXPECT_EQ(carried.count(id) ? carried.at(id) : 0, 1) << id;
}

// Lines 2, 3, 5 and 6 hold identities 1 to 4.
const char* const Ids = "\n1\n2\n\n3\n4\n";

TEST(FromLine, StartsThereNumbersFromThereAndRefusesLinesBeyondTheFile) {
  const test::TempDir dir("cli_from_line");
  const std::string file = dir.File("ids.txt", Ids);
  sim::VirtualReader reader;
  test::Outcome o = Rivelo({"--simulate", "run", "em4100", "--file", file, "--from-line", "4"}, {}, &reader);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out, (std::vector<std::string>{"3 0000000003", "4 0000000004"}));
  EXPECT_TRUE(Has(o.errText, "Going on from line 5 of the file\n")) << o.errText;
  EXPECT_EQ(Carried(reader), (std::map<std::string, int>{{"0000000003", 1}, {"0000000004", 1}, {"0123456789", 1}}));

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--simulate", "run", "em4100", "--file", file, "--from-line", "7"},
        std::vector<std::string>{"--simulate", "run", "em4100", "--file", file, "--from-line", "0"},
        std::vector<std::string>{"--simulate", "run", "em4100", "--incremental", "0000000001", "--from-line", "2"}}) {
    o = Rivelo(args);
    EXPECT_EQ(o.code, 2) << args.back();
    EXPECT_TRUE(o.out.empty());
  }
  o = Rivelo({"--simulate", "run", "em4100", "--file", file, "--from-line", "7"});
  EXPECT_TRUE(Has(o.errText, "--from-line 7: " + file + " has no identity there (its last is on line 6)")) << o.errText;
}

TEST(FromLine, AnInterruptedRunGoneOnWithTheLineItNamesWritesEachIdentityOnce) {
  const test::TempDir dir("cli_resume_run");
  const std::string file = dir.File("ids.txt", Ids);
  sim::VirtualReader reader;
  auto seen = std::make_shared<int>(0);
  test::Outcome o = Rivelo({"--simulate", "run", "em4100", "--file", file},
                           [seen](const std::string&) {
                             if (++*seen == 2) std::raise(SIGTERM);
                           },
                           &reader);
  EXPECT_EQ(o.code, 130) << o.errText;
  const std::string hint = "rivelo: interrupted after 2 of 4 tags; resume with line 5 of " + file + ": --from-line 5\n";
  ASSERT_TRUE(Has(o.errText, hint)) << o.errText;

  o = Rivelo({"--simulate", "run", "em4100", "--file", file, "--from-line", "5", "--count", "1"}, {}, &reader);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out, std::vector<std::string>{"3 0000000003"});
  o = Rivelo({"--simulate", "run", "em4100", "--file", file, "--from-line", "6"}, {}, &reader);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out, std::vector<std::string>{"4 0000000004"});
  const auto carried = Carried(reader);
  for (const char* id : {"0000000001", "0000000002", "0000000003", "0000000004"})
    EXPECT_EQ(carried.count(id) ? carried.at(id) : 0, 1) << id;
}

}  // namespace
}  // namespace rivelo
