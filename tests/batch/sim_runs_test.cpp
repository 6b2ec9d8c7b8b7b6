// Whole runs against the virtual reader through the real serial path, ticks called directly.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "batch/em4100_profile.h"
#include "reader/discovery.h"
#include "reader/my_comm.h"
#include "sim/pty_server.h"
#include "sim/virtual_reader.h"
#include "tests/batch/recording_view.h"

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
  Em4100Choices choices_;
  test::RecordingView view_;
  BatchRunner runner_{MakeEm4305IdProfile(&choices_), view_};
  fs::path dir_;
};

TEST_F(SimRuns, IncrementalRunThenExportThenFromFileReproducesTheTags) {
  reader_.AddTag("em4305");
  reader_.SetFeeder("em4305", 19, 0);
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
  choices_.outputForm = Em4100Form::Dec13;
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
  const int firstBlank = reader_.AddTag("t5577");
  reader_.PlaceOnReader(firstBlank);
  reader_.SetFeeder("t5577", 19, 0);
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
  reader_.AddTag("t5577");
  reader_.SetFeeder("t5577", 2, 0);
  runner_.ContinuousClicked(true);
  view_.entered = "AABBCCDDEE";
  runner_.WritePressed();
  TickUntil(ContinuousWriteTimer, 3);
  runner_.Tick(ContinuousWriteTimer);  // the feeder is empty: the last tag stays, not rewritten
  runner_.WriteReleased();
  EXPECT_EQ(view_.lines, (std::vector<std::string>{"Number 1;", "Number 2;", "Number 3;", "stop"}));
  EXPECT_EQ(Identities(), (std::multiset<std::string>{"AABBCCDDEE", "AABBCCDDEE", "AABBCCDDEE"}));
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

}  // namespace
}  // namespace rivelo
