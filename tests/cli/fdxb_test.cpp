// FDX-B through rivelo against the virtual reader: what the chips hold afterwards (decoded
// from their memory, not taken from rivelo's output), the chip choice, incremental runs, the
// report of a read and the round trip of an export through a file run.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "sim/tag_formats.h"
#include "sim/virtual_reader.h"
#include "tests/cli/cli_test_support.h"

namespace rivelo {
namespace {

using test::Rivelo;
namespace fs = std::filesystem;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct Fdxb {
  std::uint16_t country;
  std::uint64_t national;
  std::uint32_t trailer;
  bool operator==(const Fdxb&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Fdxb& f) {
  return out << f.country << "-" << f.national << "+" << f.trailer;
}

// The FDX-B frame a writable chip holds: T5577 blocks 1-4 after its FDX-B block 0; EM4305
// words 5-8 after its FDX-B word 4, each sent least significant bit first.
std::optional<Fdxb> FdxbOn(const sim::VirtualReader& reader, int tag) {
  const auto info = reader.Info(tag);
  const auto memory = reader.Memory(tag);
  if (!info || !memory) return std::nullopt;
  std::vector<std::uint32_t> frame;
  const auto& w = memory->words;
  if (info->kind == "t5577" && w[0] == sim::T5577ConfigFdxb) frame.assign(w.begin() + 1, w.begin() + 5);
  if (info->kind == "em4305" && w[4] == sim::Em4305ConfigFdxb)
    for (int i = 5; i <= 8; ++i) frame.push_back(sim::Reverse32(w[static_cast<std::size_t>(i)]));
  const auto id = sim::DecodeFdxb(frame);
  if (!id) return std::nullopt;
  return Fdxb{id->country, id->national, id->trailer};
}

// The tags of one kind, in the order they were made.
std::vector<int> TagsOf(const sim::VirtualReader& reader, const std::string& kind, bool fed) {
  std::vector<int> ids;
  for (const sim::TagInfo& t : reader.Tags())
    if (t.kind == kind && t.fed == fed) ids.push_back(t.id);
  return ids;
}

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(FdxbWrite, EachChipTakesTheWholeIdentityAndReadsItBack) {
  for (const std::string chip : {"em4305", "t5577"}) {
    SCOPED_TRACE(chip);
    sim::VirtualReader reader;
    test::Outcome o = Rivelo({"--simulate=" + chip, "--json", "write", "fdxb", "999", "274877906943", "--trailer",
                              "16777215"},
                             {}, &reader);
    EXPECT_EQ(o.code, 0) << o.errText;
    ASSERT_EQ(o.out.size(), 1u);
    EXPECT_TRUE(Has(o.out[0], "\"24D\":\"274877906943099916777215\"")) << o.out[0];
    EXPECT_TRUE(Has(o.out[0], "\"chip\":\"" + std::string(chip == "t5577" ? "T5577" : "EM4305") + "\""));
    const std::vector<int> tags = TagsOf(reader, chip, false);
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(FdxbOn(reader, tags[0]), (Fdxb{999, 274877906943, 16777215}));

    // Read back by a second run on the same reader: the report, then the same as JSON.
    o = Rivelo({"--simulate=" + chip, "read", "fdxb"}, {}, &reader);
    EXPECT_EQ(o.code, 0) << o.errText;
    EXPECT_EQ(o.out, (std::vector<std::string>{"national  274877906943", "country   999 (test code 999)",
                                               "trailer   16777215", "24D       274877906943099916777215",
                                               "15D       999 274877906943"}));
  }
}

TEST(FdxbWrite, ChipChoiceWritesOnlyThatChip) {
  // A blank EM4305 refuses a T5577 write: the write fails and the chip stays blank.
  sim::VirtualReader reader;
  test::Outcome o = Rivelo({"--simulate=em4305", "write", "fdxb", "999", "5", "--chip", "t5577"}, {}, &reader);
  EXPECT_EQ(o.code, 1);
  EXPECT_TRUE(Has(o.errText, "no chip read it back (tried T5577)")) << o.errText;
  const std::vector<int> blank = TagsOf(reader, "em4305", false);
  ASSERT_EQ(blank.size(), 1u);
  EXPECT_EQ(reader.Info(blank[0])->identity, "");
  EXPECT_FALSE(FdxbOn(reader, blank[0]));
  // The EM4305 write goes first by default, and a T5577 takes the next one.
  o = Rivelo({"--simulate=t5577", "--json", "write", "fdxb", "999", "5"});
  EXPECT_EQ(o.code, 0) << o.errText;
  ASSERT_EQ(o.out.size(), 1u);
  EXPECT_TRUE(Has(o.out[0], "\"chip\":\"T5577\"")) << o.out[0];

  // EM4100 alike, written as the T5577 tab's page writes it.
  o = Rivelo({"--simulate=em4305", "write", "em4100", "0123456789", "--chip", "t5577"});
  EXPECT_EQ(o.code, 1);
  o = Rivelo({"--simulate=t5577", "--json", "write", "em4100", "0123456789", "--chip", "t5577"});
  EXPECT_EQ(o.code, 0) << o.errText;
  ASSERT_EQ(o.out.size(), 1u);
  EXPECT_TRUE(Has(o.out[0], "\"chip\":\"T5577\"")) << o.out[0];

  // A run with --chip is fed that chip, and writes every tag with it.
  sim::VirtualReader fed;
  o = Rivelo({"--simulate=em4305", "run", "em4100", "--continuous", "0123456789", "--count", "2", "--chip", "t5577"},
             {}, &fed);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out, (std::vector<std::string>{"1 0123456789", "2 0123456789"}));
  const std::vector<int> written = TagsOf(fed, "t5577", true);
  ASSERT_EQ(written.size(), 2u);
  for (const int tag : written) EXPECT_EQ(fed.Info(tag)->identity, "EM4100 0123456789");
  EXPECT_EQ(fed.Info(TagsOf(fed, "em4305", false).at(0))->identity, "");
}

TEST(FdxbRun, IncrementalStepsOnlyTheNationalCodeAndWrapsAtItsMaximum) {
  sim::VirtualReader reader;
  const test::Outcome o = Rivelo(
      {"--simulate=em4305", "run", "fdxb", "--incremental", "250", "274877906941", "--trailer", "4660", "--count", "6"},
      {}, &reader);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out, (std::vector<std::string>{"1 274877906941025000004660", "2 274877906942025000004660",
                                             "3 274877906943025000004660", "4 000000000000025000004660",
                                             "5 000000000001025000004660", "6 000000000002025000004660"}));
  const std::vector<int> tags = TagsOf(reader, "em4305", true);
  ASSERT_EQ(tags.size(), 6u);
  const std::uint64_t nationals[] = {274877906941, 274877906942, 274877906943, 0, 1, 2};
  for (std::size_t i = 0; i < tags.size(); ++i) EXPECT_EQ(FdxbOn(reader, tags[i]), (Fdxb{250, nationals[i], 4660}));
}

TEST(FdxbRead, JsonHoldsEveryFormAndTheCountry) {
  const struct {
    std::string tag, id, country;
  } cases[] = {
      {"fdxb:250:123456789",
       R"("id":{"national":"000123456789","country":"0250","trailer":"00000000","24D":"000123456789025000000000",)"
       R"("15D":"250000123456789"})",
       R"("countryName":"France")"},
      {"fdxb:999:274877906943",
       R"("id":{"national":"274877906943","country":"0999","trailer":"00000000","24D":"274877906943099900000000",)"
       R"("15D":"999274877906943"})",
       R"("countryName":"test code 999")"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    test::Outcome o = Rivelo({"--simulate=" + c.tag, "--json", "read", "fdxb"});
    EXPECT_EQ(o.code, 0) << o.errText;
    ASSERT_EQ(o.out.size(), 1u);
    EXPECT_TRUE(Has(o.out[0], c.id + "," + c.country + ",\"chip\":null,")) << o.out[0];
    // A read run's lines carry the same.
    o = Rivelo({"--simulate=" + c.tag, "--json", "read", "fdxb", "--continuous", "--count", "1"});
    ASSERT_EQ(o.out.size(), 2u) << o.errText;  // and the summary
    EXPECT_TRUE(Has(o.out[0], c.id + "," + c.country)) << o.out[0];
  }
  const test::Outcome o = Rivelo({"--simulate=fdxb:250:123456789", "read", "fdxb", "--form", "15D"});
  EXPECT_EQ(o.out, std::vector<std::string>{"250000123456789"});
}

TEST(FdxbRun, AnExportLoadsBackAsABatchFileOntoABlank) {
  const test::TempDir dir("cli_fdxb_export");
  sim::VirtualReader source;
  test::Outcome o =
      Rivelo({"--simulate=t5577", "write", "fdxb", "250", "123456789012", "--trailer", "77"}, {}, &source);
  ASSERT_EQ(o.code, 0) << o.errText;
  o = Rivelo({"--simulate=t5577", "read", "fdxb", "--continuous", "--export", dir.Path().string(), "--count", "1"}, {},
             &source);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out, std::vector<std::string>{"1 123456789012025000000077"});
  ASSERT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
  const fs::path exported = fs::directory_iterator(dir.Path())->path();
  EXPECT_EQ(Contents(exported), "123456789012025000000077\r\n");

  sim::VirtualReader target;
  o = Rivelo({"--simulate=em4305", "run", "fdxb", "--file", exported.string()}, {}, &target);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out, std::vector<std::string>{"1 123456789012025000000077"});
  const std::vector<int> tags = TagsOf(target, "em4305", true);
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(FdxbOn(target, tags[0]), (Fdxb{250, 123456789012, 77}));
}

}  // namespace
}  // namespace rivelo
