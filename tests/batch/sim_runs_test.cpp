// Whole runs against the virtual reader through the real serial path, ticks called directly.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "batch/batch_runner.h"
#include "batch/em4100_profile.h"
#include "batch/fdxb_profile.h"
#include "batch/format_table.h"
#include "batch/headless_view.h"
#include "reader/discovery.h"
#include "reader/my_comm.h"
#include "sim/pty_server.h"
#include "sim/virtual_reader.h"

namespace rivelo {
namespace {

namespace fs = std::filesystem;

class SimRuns : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start());
    ASSERT_TRUE(ConnectDevice({server_.Path()}).found);
    dir_ = fs::temp_directory_path() / ("rivelo_sim_runs_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    DisconnectDevice();
    fs::remove_all(dir_);
  }
  // Ticks until the run has counted n or stopped; a bound keeps a broken run from hanging.
  void TickUntil(int timer, int n, int bound = 400) {
    for (int i = 0; i < bound && runner_.RunCounter() < n && runner_.State() != RunState::Idle; ++i)
      runner_.Tick(timer);
  }
  // The EM4100 identities that the tags of the virtual reader carry.
  std::multiset<std::string> Identities() {
    std::multiset<std::string> ids;
    for (const auto& t : reader_.Tags()) {
      const auto at = t.description.find("EM4100 ");
      if (at != std::string::npos) ids.insert(t.description.substr(at + 7, 10));
    }
    return ids;
  }
  static std::string Nth(int k) {
    Em4100Id id{0x01, 0x23, 0x45, 0x67, 0x89};
    for (int i = 0; i < k; ++i) IncrementId(id);
    return FormatHex(id);
  }

  sim::VirtualReader reader_;
  sim::PtyServer server_{reader_};
  RunChoices choices_;
  HeadlessView view_{Em4100Format()};
  BatchRunner runner_{MakeEm4305IdProfile([this] { return choices_; }), view_};
  fs::path dir_;
};

// No line that loads can stall a run: every identity a format's line parser takes (the line
// fuzzer's seeds and each range's edges) is written onto each chip of the format and read back.
TEST_F(SimRuns, EveryLineThatLoadsIsWrittenAndReadBack) {
  std::vector<std::string> lines = {"274877906943102316777215", "0", "1099511627775", "0000000000010999"};
  for (const auto& seed : fs::directory_iterator(RIVELO_LINE_SEEDS)) {
    std::ifstream in(seed.path(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.find_first_of(std::string("\n\0", 2)) == std::string::npos) lines.push_back(text);
  }
  ChipWrite onlyT5577 = T5577Em4100Write();
  BatchProfile em4100OnT5577 = MakeEm4305IdProfile([] { return RunChoices{}; });
  em4100OnT5577.ops.writes = {onlyT5577};
  const struct {
    BatchProfile profile;
    const char* blank;
  } cases[] = {
      {MakeEm4305IdProfile([] { return RunChoices{}; }), "em4305"},
      {em4100OnT5577, "t5577"},
      {MakeFdxbProfile(T5577FdxbWrite(), Em4100BatchTexts(), [] { return RunChoices{}; }), "t5577"},
      {MakeFdxbProfile(Em4305FdxbWrite(), Em4100BatchTexts(), [] { return RunChoices{}; }), "em4305"},
  };
  for (const auto& c : cases) {
    const IdentityFormat& format = *c.profile.format;
    std::string file;
    int count = 0;
    for (const std::string& line : lines)
      if (format.parseLine(line).id) file += line + "\n", ++count;
    ASSERT_GT(count, 3) << format.name;
    const fs::path path = dir_ / (std::string(format.name) + c.blank + ".txt");
    std::ofstream(path, std::ios::binary) << file;
    HeadlessView view(format);
    BatchRunner runner(c.profile, view);
    view.files = {path.string()};
    ASSERT_TRUE(runner.FromFileClicked(true)) << format.name;
    reader_.SetFeeder(c.blank, count, 0);
    runner.WritePressed();
    for (int i = 0; i < count * 4 && runner.State() == RunState::Writing; ++i) runner.Tick(FileWriteTimer);
    EXPECT_EQ(runner.RunCounter(), count) << format.name << " on " << c.blank << "\n" << file;
    EXPECT_EQ(runner.RefusedCount(), 0) << format.name << " on " << c.blank;
  }
}

TEST_F(SimRuns, IncrementalRunThenExportThenFromFileReproducesTheTags) {
  reader_.SetFeeder("em4305", 20, 0);
  runner_.IncrementalClicked(true);
  view_.entered = "0123456789";
  runner_.WritePressed();
  TickUntil(IncrementalWriteTimer, 20);
  runner_.WriteReleased();
  std::vector<std::string> expected;
  std::multiset<std::string> written;
  for (int k = 0; k < 20; ++k) {
    expected.push_back("Number " + std::to_string(k + 1) + "：" + Nth(k));
    written.insert(Nth(k));
  }
  expected.push_back("stop");
  EXPECT_EQ(view_.lines, expected);
  EXPECT_EQ(Identities(), written);
  EXPECT_EQ(Nth(19), "012345679C");

  // Read them back one after another, exporting the whole 40-bit value.
  view_.lines.clear();
  choices_.form = static_cast<std::size_t>(Em4100Form::Dec13);
  runner_.ContinuousClicked(true);
  runner_.IncrementalClicked(true);
  view_.folders = {dir_.string()};
  runner_.ReadPressed();
  for (const auto& t : reader_.Tags()) {
    reader_.PlaceOnReader(t.id);
    runner_.Tick(ReadTimer);
    runner_.Tick(ReadTimer);  // the same tag again is not exported twice
  }
  runner_.ReadReleased();
  EXPECT_EQ(runner_.RunCounter(), 20);
  const std::string exported = runner_.ExportPath();

  // Write the file onto 20 blank T5577 chips.
  reader_.SetFeeder("t5577", 20, 0);
  runner_.ContinuousClicked(false);
  view_.files = {exported};
  ASSERT_TRUE(runner_.FromFileClicked(true));
  EXPECT_EQ(runner_.FileLines().size(), 20u);
  runner_.WritePressed();
  TickUntil(FileWriteTimer, 1000);
  EXPECT_EQ(runner_.State(), RunState::Idle);
  EXPECT_EQ(runner_.RunCounter(), 20);
  std::multiset<std::string> twice;
  for (const auto& id : written) twice.insert({id, id});
  EXPECT_EQ(Identities(), twice);
}

TEST_F(SimRuns, ContinuousRunWritesEachFedTagOnce) {
  reader_.SetFeeder("t5577", 3, 0);
  runner_.ContinuousClicked(true);
  view_.entered = "AABBCCDDEE";
  runner_.WritePressed();
  TickUntil(ContinuousWriteTimer, 3);
  runner_.Tick(ContinuousWriteTimer);  // the feeder is empty: the last tag stays, not rewritten
  runner_.WriteReleased();
  EXPECT_EQ(view_.lines, (std::vector<std::string>{"Number 1;", "Number 2;", "Number 3;", "stop"}));
  EXPECT_EQ(Identities(), (std::multiset<std::string>{"AABBCCDDEE", "AABBCCDDEE", "AABBCCDDEE"}));
}

// Five blank chips and a line that spoils three replies in ten: the fifth tag stays on the
// reader, and no tick may take it for a new one because a read got no valid reply.
TEST_F(SimRuns, CorruptRepliesNeverWriteAnIdentityOntoTheTagLeftOnTheReader) {
  reader_.SetFeeder("em4305", 5, 0);
  reader_.SetSeed(11);
  reader_.SetFault({sim::Fault::BadChecksum, 0.3});
  runner_.IncrementalClicked(true);
  view_.entered = "0000000001";
  runner_.WritePressed();
  for (int i = 0; i < 300; ++i) runner_.Tick(IncrementalWriteTimer);
  runner_.WriteReleased();
  reader_.ClearFaults();
  EXPECT_EQ(runner_.RunCounter(), 5);
  EXPECT_EQ(Identities(), (std::multiset<std::string>{"0000000001", "0000000002", "0000000003", "0000000004",
                                                      "0000000005"}));
  ASSERT_EQ(view_.listed.size(), 5u);
  for (std::size_t k = 0; k < 5; ++k)
    EXPECT_EQ(view_.listed[k].id, (Identity{0, 0, 0, 0, static_cast<std::uint8_t>(k + 1)}));
  EXPECT_EQ(view_.lines.back(), "stop");
}

// The national code counts up through its 38-bit maximum back to 0; country and trailer stay.
TEST_F(SimRuns, FdxbIncrementalRunWrapsTheNationalCodeOnly) {
  reader_.SetFeeder("t5577", 10, 0);
  HeadlessView view(FdxbFormat());
  BatchRunner runner(MakeFdxbProfile(T5577FdxbWrite(), Em4100BatchTexts(), [] { return RunChoices{}; }), view);
  runner.IncrementalClicked(true);
  view.entered = "274877906940099900000000";
  runner.WritePressed();
  for (int i = 0; i < 100 && runner.RunCounter() < 10; ++i) runner.Tick(IncrementalWriteTimer);
  runner.WriteReleased();
  std::multiset<std::string> want, got;
  for (std::uint64_t n : {274877906940ull, 274877906941ull, 274877906942ull, 274877906943ull, 0ull, 1ull, 2ull, 3ull,
                          4ull, 5ull}) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "FDX-B 999-%012llu", static_cast<unsigned long long>(n));
    want.insert(buf);
  }
  for (const auto& t : reader_.Tags()) got.insert(t.identity);
  EXPECT_EQ(got, want);
  ASSERT_EQ(view.listed.size(), 10u);
  EXPECT_EQ(FdxbLine(ToFdxbId(view.listed[4].id)), "000000000000099900000000");
}

TEST_F(SimRuns, ReadRunWithoutExportCountsTheSameTagEveryTick) {
  reader_.AddTag("em4100:0123456789");
  runner_.ContinuousClicked(true);
  runner_.ReadPressed();
  runner_.Tick(ReadTimer);
  runner_.Tick(ReadTimer);
  runner_.ReadReleased();
  EXPECT_EQ(view_.lines, (std::vector<std::string>{"Number 1;", "Number 2;", "stop"}));
  EXPECT_EQ(view_.shown, (Identity{0x01, 0x23, 0x45, 0x67, 0x89}));
  EXPECT_EQ(reader_.GetCounters().lastResult, 1);  // back to normal when the run stops
}

// A write with a password goes block by block and must leave the tag as the reader's own write
// would: each format's image is what the virtual reader holds after that command (and, where
// published, the blocks of the chips' references).
TEST_F(SimRuns, ChipImagesAreWhatTheReadersOwnWritesLeave) {
  const struct {
    const char* format;
    const char* chip;
    std::vector<std::string> values;
    std::vector<std::uint32_t> published;  // data blocks; empty: none published
  } cases[] = {
      {"em4100", "t5577", {"1122334455"}, {0xFF8C6529, 0x8C94A940}},
      {"em4100", "t5577", {"0000000000"}, {}},
      {"em4100", "em4305", {"1122334455"}, {}},
      {"em4100", "em4305", {"FFFFFFFFFF"}, {}},
      {"fdxb", "t5577", {"999", "112233", "0"}, {}},
      {"fdxb", "t5577", {"1023", "274877906943", "16777215"}, {}},
      {"fdxb", "em4305", {"999", "1337", "5"}, {}},
      {"hid", "", {"118", "1603"}, {0x1D555955, 0x5569A9A5, 0x55A59569}},
      {"hid", "", {"1", "7"}, {0x1D555955, 0x55695559, 0x555555A9}},
      {"hid", "", {"255", "65535"}, {}},
      {"fdxa", "", {"1A2B3C4D5E"}, {0x551D5699, 0x999A9AA5, 0xA5A666A9}},
      {"fdxa", "", {"007F00017F"}, {}},
  };
  for (const auto& c : cases) {
    const FormatEntry& entry = *FindFormatEntry(c.format);
    const Identity id = entry.format->fromValues(c.values);
    SCOPED_TRACE(std::string(c.format) + " on " + c.chip + " " + entry.format->text(id, 0));
    const BatchProfile profile = ProfileFor(entry, [] { return RunChoices{}; }, c.chip);
    const bool em4305 = std::string(c.chip) == "em4305";
    const int tag = reader_.AddTag(em4305 ? "em4305" : "t5577");
    ASSERT_TRUE(reader_.PlaceOnReader(tag));
    profile.ops.writes.front().write(id, RunChoices{});
    const std::vector<std::uint32_t> held = reader_.Memory(tag)->words;
    const ChipImage image = entry.format->chipImage(id);
    if (!c.published.empty()) {
      EXPECT_EQ(image.data, c.published);
    }
    EXPECT_EQ(held[em4305 ? 4 : 0], em4305 ? image.em4305Config : image.t5577Block0);
    for (std::size_t i = 0; i < image.data.size(); ++i)
      EXPECT_EQ(held[(em4305 ? 5 : 1) + i], em4305 ? Em4305DataWord(image.data[i]) : image.data[i]) << i;
  }
}

}  // namespace
}  // namespace rivelo
