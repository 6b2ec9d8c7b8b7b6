// The runner's decisions with an in-memory tag in place of the reader.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "batch/em4100_profile.h"
#include "reader/discovery.h"
#include "tests/batch/recording_view.h"

namespace rivelo {
namespace {

namespace fs = std::filesystem;
using test::RecordingView;

// One tag in reach of the fake reader; it accepts the write of its own chip kind only.
struct FakeTag {
  std::optional<Identity> id;
  int chipAccepts = 0;   // which write operation changes it
  int missReads = 0;     // reads that fail before one succeeds
  int rejectWrites = 0;  // writes that do nothing
  std::vector<int> writes;
};

BatchProfile FakeProfile(FakeTag& tag, Em4100Choices* choices) {
  BatchProfile p = MakeEm4305IdProfile(choices);
  p.read = [&tag](Identity* id) {
    if (tag.missReads > 0) {
      --tag.missReads;
      return false;
    }
    if (!tag.id) return false;
    *id = *tag.id;
    return true;
  };
  p.writes.clear();
  for (int op = 0; op < 2; ++op) {
    p.writes.push_back([&tag, op](const Identity& id) {
      tag.writes.push_back(op);
      if (tag.rejectWrites > 0) {
        --tag.rejectWrites;
        return;
      }
      if (op == tag.chipAccepts) tag.id = id;
    });
  }
  return p;
}

class RunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeviceConnected = 1;
    dir_ = fs::temp_directory_path() / ("rivelo_runner_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    DeviceConnected = 0;
    fs::remove_all(dir_);
  }
  std::string WriteFile(const std::string& name, const std::string& content) {
    const auto path = dir_ / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }
  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  FakeTag tag_;
  Em4100Choices choices_;
  RecordingView view_;
  BatchRunner runner_{FakeProfile(tag_, &choices_), view_};
  fs::path dir_;
};

TEST_F(RunnerTest, OptionInterlocksAndCancelledFileChoice) {
  runner_.IncrementalClicked(true);
  EXPECT_TRUE(view_.continuous && view_.incremental);
  EXPECT_EQ(runner_.Mode(), WriteMode::Incremental);
  runner_.ContinuousClicked(false);
  EXPECT_FALSE(view_.incremental);
  runner_.ContinuousClicked(true);
  EXPECT_FALSE(runner_.FromFileClicked(true));  // chooser cancelled
  EXPECT_FALSE(view_.fromFile);
  EXPECT_EQ(runner_.Mode(), WriteMode::Continuous);
  view_.files = {(dir_ / "missing.txt").string()};
  EXPECT_FALSE(runner_.FromFileClicked(true));
  EXPECT_EQ(view_.messages, std::vector<std::string>{"can not open file!"});
  EXPECT_EQ(runner_.Mode(), WriteMode::Continuous);
  view_.files = {WriteFile("b.txt", "1\r\n2\n\n3")};
  EXPECT_TRUE(runner_.FromFileClicked(true));
  EXPECT_EQ(runner_.FileLines(), (std::vector<std::string>{"1", "2", "", "3"}));
  EXPECT_EQ(view_.lines.back(), "Tag count 4");
  EXPECT_TRUE(view_.fromFile && !view_.continuous && !view_.incremental);
}

TEST_F(RunnerTest, NotConnectedStartsNothing) {
  DeviceConnected = 0;
  runner_.ContinuousClicked(true);
  view_.writePressed = true;
  runner_.WritePressed();
  runner_.ReadPressed();
  EXPECT_FALSE(view_.writePressed);
  EXPECT_TRUE(view_.timers.empty());
  ASSERT_EQ(view_.statuses.size(), 2u);
  EXPECT_EQ(view_.statuses[0], (std::pair<int, std::string>{0, "No device connect"}));
  EXPECT_TRUE(view_.cleared);  // a refused read empties the fields
}

TEST_F(RunnerTest, SingleWriteTriesTheSecondChipOnlyWhenTheFirstFails) {
  tag_.id = Identity(5, 0x33);
  tag_.chipAccepts = 0;
  view_.entered = "";  // empty field writes all zero
  runner_.WritePressed();
  EXPECT_EQ(tag_.writes, std::vector<int>{0});
  EXPECT_EQ(*tag_.id, Identity(5, 0));
  EXPECT_EQ(view_.statuses.back(), (std::pair<int, std::string>{1, "Write ID（EM4100）OK"}));

  tag_.writes.clear();
  tag_.chipAccepts = 1;
  view_.entered = "1A";
  runner_.WritePressed();
  EXPECT_EQ(tag_.writes, (std::vector<int>{0, 1}));
  EXPECT_EQ(*tag_.id, (Identity{0, 0, 0, 0, 0x1A}));
  EXPECT_EQ(view_.state, RunState::Idle);
}

TEST_F(RunnerTest, ContinuousRunLeavesAWrittenTagAlone) {
  tag_.id = Identity(5, 0x77);
  runner_.ContinuousClicked(true);
  view_.entered = "0102030405";
  runner_.WritePressed();
  ASSERT_EQ(view_.timers.count(ContinuousWriteTimer), 1u);
  EXPECT_EQ(view_.timers[ContinuousWriteTimer], 300);
  EXPECT_EQ(view_.state, RunState::Writing);
  runner_.Tick(ContinuousWriteTimer);
  runner_.Tick(ContinuousWriteTimer);
  runner_.Tick(ReadTimer);  // not this run's timer
  EXPECT_EQ(tag_.writes.size(), 1u);
  EXPECT_EQ(view_.lines, std::vector<std::string>{"Number 1;"});
  runner_.WriteReleased();
  EXPECT_TRUE(view_.timers.empty());
  EXPECT_EQ(view_.lines.back(), "stop");
  EXPECT_EQ(view_.state, RunState::Idle);
}

TEST_F(RunnerTest, IncrementalRunNumbersLinesAndRetriesFailures) {
  tag_.id = Identity(5, 0);  // all zero counts as written until the first write of the run
  runner_.IncrementalClicked(true);
  view_.entered = "FFFFFFFFFE";
  runner_.WritePressed();
  runner_.Tick(IncrementalWriteTimer);
  EXPECT_TRUE(tag_.writes.empty());

  tag_.id = Identity(5, 0x11);
  tag_.rejectWrites = 2;  // both chips fail: nothing listed, the same identity next tick
  runner_.Tick(IncrementalWriteTimer);
  EXPECT_TRUE(view_.lines.empty());
  runner_.Tick(IncrementalWriteTimer);
  EXPECT_EQ(*tag_.id, (Identity{0xFF, 0xFF, 0xFF, 0xFF, 0xFE}));
  EXPECT_EQ(view_.lines, std::vector<std::string>{"Number 1：FFFFFFFFFE"});
  runner_.Tick(IncrementalWriteTimer);  // the same tag stays: nothing more
  EXPECT_EQ(view_.lines.size(), 1u);

  tag_.id = Identity(5, 0x22);  // next tag; the identity then wraps to zero
  runner_.Tick(IncrementalWriteTimer);
  tag_.id = Identity(5, 0x22);
  runner_.Tick(IncrementalWriteTimer);
  EXPECT_EQ(view_.lines.back(), "Number 3：0000000000");
  EXPECT_EQ(runner_.TargetId(), (Identity{0, 0, 0, 0, 1}));
  EXPECT_EQ(view_.entered, "0000000001");
}

TEST_F(RunnerTest, FromFileRunsThroughTheLinesAndEnds) {
  view_.files = {WriteFile("ids.txt", "  42\r\n4886718345\r\n")};
  runner_.FromFileClicked(true);
  tag_.id = Identity(5, 0x55);
  tag_.chipAccepts = 1;
  view_.writePressed = true;
  runner_.WritePressed();
  EXPECT_EQ(view_.progressMax, 3);
  runner_.Tick(FileWriteTimer);
  EXPECT_EQ(*tag_.id, (Identity{0, 0, 0, 0, 42}));
  EXPECT_EQ(view_.lines.back(), "Number 1：  42");
  tag_.id = Identity(5, 0x66);
  tag_.missReads = 4;  // every read of the tick misses: retried, nothing moves
  runner_.Tick(FileWriteTimer);
  EXPECT_EQ(runner_.RunCounter(), 1);
  EXPECT_EQ(view_.progress, 1);
  runner_.Tick(FileWriteTimer);
  EXPECT_EQ(*tag_.id, (Identity{0x01, 0x23, 0x45, 0x67, 0x89}));
  EXPECT_EQ(view_.lines.back(), "Number 2：4886718345");
  runner_.Tick(FileWriteTimer);
  EXPECT_EQ(view_.lines.back(), "stop");
  EXPECT_EQ(view_.progress, 3);
  EXPECT_FALSE(view_.writePressed);
  EXPECT_FALSE(view_.fromFile);
  EXPECT_TRUE(view_.timers.empty());
  EXPECT_EQ(runner_.Mode(), WriteMode::None);
}

TEST_F(RunnerTest, EmptyBatchFileEndsAtTheFirstTick) {
  view_.files = {WriteFile("empty.txt", "")};
  runner_.FromFileClicked(true);
  runner_.WritePressed();
  runner_.Tick(FileWriteTimer);
  EXPECT_TRUE(tag_.writes.empty());
  EXPECT_EQ(view_.lines.back(), "stop");
  EXPECT_EQ(view_.progress, 1);
  EXPECT_EQ(runner_.State(), RunState::Idle);
}

TEST_F(RunnerTest, ReadRunWithoutExportListsEveryTick) {
  tag_.id = Identity{1, 2, 3, 4, 5};
  runner_.ContinuousClicked(true);
  runner_.ReadPressed();
  runner_.Tick(ReadTimer);
  runner_.Tick(ReadTimer);
  EXPECT_EQ(view_.lines, (std::vector<std::string>{"Number 1;", "Number 2;"}));
  EXPECT_EQ(view_.shown, (Identity{1, 2, 3, 4, 5}));
  runner_.ReadReleased();
  EXPECT_EQ(view_.lines.back(), "stop");
}

TEST_F(RunnerTest, ExportWritesEachNewIdentityOnceAndAppendsWithinTheSameSecond) {
  runner_.SetClock([] { return std::time_t{1700000000}; });
  runner_.ContinuousClicked(true);
  runner_.IncrementalClicked(true);
  view_.folders = {dir_.string(), dir_.string() + "/"};
  tag_.id = Identity(5, 0);  // skipped until something else was exported
  runner_.ReadPressed();
  const std::string path = runner_.ExportPath();
  EXPECT_EQ(path, (dir_ / ExportFileName(1700000000)).string());
  EXPECT_EQ(view_.lines.back(), "ID has exported to " + path);
  runner_.Tick(ReadTimer);
  tag_.id = Identity{0x01, 0x23, 0x45, 0x67, 0x89};
  runner_.Tick(ReadTimer);
  runner_.Tick(ReadTimer);
  // Each line is on the disk before the next tick.
  EXPECT_EQ(ReadAll(path), "0123456789\r\n");
  tag_.id = Identity(5, 0);
  runner_.Tick(ReadTimer);
  tag_.id = Identity{0x01, 0x23, 0x45, 0x67, 0x89};
  runner_.Tick(ReadTimer);
  EXPECT_EQ(view_.lines.back(), "Number 3;");
  runner_.ReadReleased();

  // A second run in the same second continues the file instead of emptying it.
  runner_.ReadPressed();
  EXPECT_EQ(runner_.ExportPath(), path);  // the folder's own separator is not doubled
  runner_.Tick(ReadTimer);
  runner_.ReadReleased();
  EXPECT_EQ(ReadAll(path), "0123456789\r\n0000000000\r\n0123456789\r\n0123456789\r\n");
}

TEST_F(RunnerTest, ExportFolderThatCannotBeWrittenStartsNoRun) {
  runner_.ContinuousClicked(true);
  runner_.IncrementalClicked(true);
  view_.folders = {(dir_ / "no" / "such" / "folder").string()};
  view_.readPressed = true;
  runner_.ReadPressed();
  EXPECT_EQ(runner_.State(), RunState::Idle);
  EXPECT_EQ(view_.state, RunState::Idle);
  EXPECT_TRUE(view_.timers.empty());
  EXPECT_FALSE(view_.readPressed);
  ASSERT_FALSE(view_.statuses.empty());
  EXPECT_EQ(view_.statuses.back().first, 0);
  EXPECT_EQ(view_.statuses.back().second.rfind("Can not create the export file ", 0), 0u);

  view_.readPressed = true;
  runner_.ReadPressed();  // cancelled chooser
  EXPECT_EQ(view_.statuses.back(), (std::pair<int, std::string>{0, "Please select a folder to save ID"}));
  EXPECT_FALSE(view_.readPressed);
}

}  // namespace
}  // namespace rivelo
