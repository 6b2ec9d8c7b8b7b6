// A run never writes over a tag it wrote earlier, and a stopped file run goes on where it
// stopped: with several tags beside a fake reader that the test puts on it one at a time.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "batch/batch_runner.h"
#include "batch/em4100_profile.h"
#include "batch/headless_view.h"

namespace rivelo {
namespace {

namespace fs = std::filesystem;

// Tags beside the reader (nullopt: a blank chip) and the one on it.
struct Bench {
  std::vector<std::optional<Identity>> tags;
  int on = -1;
  int writes = 0;
  explicit Bench(int blanks) : tags(static_cast<std::size_t>(blanks)) {}
  std::optional<Identity>& Tag(int i) { return tags[static_cast<std::size_t>(i)]; }
};

BatchProfile BenchProfile(Bench& b) {
  BatchProfile p = MakeEm4305IdProfile([] { return RunChoices{}; });
  p.ops.read = [&b](Identity* id) {
    if (b.on < 0 || !b.Tag(b.on)) return ReadOutcome::NoIdentity;
    *id = *b.Tag(b.on);
    return ReadOutcome::Found;
  };
  p.ops.writes = {{"EM4305", [&b](const Identity& id, const RunChoices&) {
                     ++b.writes;
                     if (b.on >= 0) b.Tag(b.on) = id;
                   }}};
  return p;
}

struct AlwaysConnected : ReaderSignals {
  void Acknowledge(int) override {}
  void ReportResult(int) override {}
  bool Connected() override { return true; }
};

// Answers the question of a stopped file run from a queue (empty: go on), and keeps it.
struct AskingView : HeadlessView {
  AskingView() : HeadlessView(Em4100Format()) {}
  std::vector<ResumeChoice> answers;
  std::vector<std::string> questions;
  ResumeChoice AskResumeFile(const std::string& question) override {
    questions.push_back(question);
    if (answers.empty()) return ResumeChoice::GoOn;
    const ResumeChoice a = answers.front();
    answers.erase(answers.begin());
    return a;
  }
};

Identity Em(std::uint8_t last) { return Identity{0, 0, 0, 0, last}; }

class RunnerMends : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("rivelo_mends_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string File(const std::string& name, const std::string& content) {
    std::ofstream(dir_ / name, std::ios::binary) << content;
    return (dir_ / name).string();
  }
  // Puts tag i on the reader and ticks n times.
  void Place(int i, int timer, int n = 1) {
    bench_.on = i;
    for (int k = 0; k < n; ++k) runner_.Tick(timer);
  }
  std::vector<std::string> LeftAloneLines() const {
    std::vector<std::string> found;
    for (const auto& l : view_.lines)
      if (l.find("left alone") != std::string::npos) found.push_back(l);
    return found;
  }
  void LoadAndPress(const std::string& path) {
    view_.files = {path};
    ASSERT_TRUE(runner_.FromFileClicked(true));
    runner_.WritePressed();
  }

  Bench bench_{6};
  AskingView view_;
  AlwaysConnected signals_;
  BatchRunner runner_{BenchProfile(bench_), view_, &signals_};
  fs::path dir_;
};

TEST_F(RunnerMends, IncrementalRunLeavesAPutBackTagAloneAndSaysSoOncePerVisit) {
  runner_.IncrementalClicked(true);
  view_.entered = "0000000010";
  runner_.WritePressed();
  Place(0, IncrementalWriteTimer);
  Place(1, IncrementalWriteTimer);
  Place(0, IncrementalWriteTimer, 3);  // the first tag again, for three ticks
  EXPECT_EQ(bench_.Tag(0), Em(0x10));
  EXPECT_EQ(LeftAloneLines(), std::vector<std::string>{"Written earlier in this run (number 1), left alone: 0000000010"});
  EXPECT_EQ(view_.listed.size(), 2u);
  EXPECT_EQ(runner_.TargetId(), Em(0x12));

  Place(2, IncrementalWriteTimer);  // a blank takes the next identity
  Place(0, IncrementalWriteTimer);  // after another tag, the same one is said again
  Place(1, IncrementalWriteTimer, 2);
  EXPECT_EQ(LeftAloneLines().size(), 3u);
  EXPECT_EQ(LeftAloneLines().back(), "Written earlier in this run (number 2), left alone: 0000000011");
  EXPECT_EQ(bench_.Tag(0), Em(0x10));
  EXPECT_EQ(bench_.Tag(1), Em(0x11));
  EXPECT_EQ(bench_.Tag(2), Em(0x12));
  EXPECT_EQ(bench_.writes, 3);
  ASSERT_EQ(view_.listed.size(), 3u);
  EXPECT_EQ(view_.listed[2].fileLine, 0);
}

TEST_F(RunnerMends, FileRunLeavesAnEarlierTagAloneAndListsEachTagsFileLine) {
  LoadAndPress(File("ids.txt", "\n16\n\n17\n18\n"));
  Place(0, FileWriteTimer);
  Place(1, FileWriteTimer);
  Place(0, FileWriteTimer, 3);
  EXPECT_EQ(bench_.Tag(0), Em(0x10));
  EXPECT_EQ(view_.progress, 2);
  EXPECT_EQ(LeftAloneLines(), std::vector<std::string>{"Written earlier in this run (number 1), left alone: 0000000010"});
  Place(2, FileWriteTimer, 2);
  EXPECT_EQ(runner_.State(), RunState::Idle);
  ASSERT_EQ(view_.listed.size(), 3u);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(view_.listed[static_cast<std::size_t>(k)].number, k + 1);
    EXPECT_EQ(bench_.Tag(k), Em(static_cast<std::uint8_t>(0x10 + k)));
  }
  EXPECT_EQ(view_.listed[0].fileLine, 2);
  EXPECT_EQ(view_.listed[1].fileLine, 4);
  EXPECT_EQ(view_.listed[2].fileLine, 5);
}

TEST_F(RunnerMends, AStoppedFileRunGoesOnFromTheNextLineAndKnowsItsEarlierTags) {
  const std::string path = File("ids.txt", "16\n17\n\n18\n19\n");
  LoadAndPress(path);
  Place(0, FileWriteTimer);
  Place(1, FileWriteTimer);
  runner_.WriteReleased();
  EXPECT_EQ(runner_.FileResumeIndex(), 2u);

  runner_.WritePressed();
  ASSERT_EQ(view_.questions.size(), 1u);
  EXPECT_EQ(view_.questions[0].find("The last run of this file stopped before line 4."), 0u) << view_.questions[0];
  EXPECT_NE(view_.questions[0].find("Yes: go on from line 4."), std::string::npos);
  EXPECT_EQ(runner_.State(), RunState::Writing);
  EXPECT_EQ(runner_.RunCounter(), 2);
  EXPECT_EQ(view_.progressMax, 5);
  EXPECT_EQ(view_.progress, 2);
  EXPECT_EQ(view_.lines.back(), "Going on from line 4 of the file");
  Place(1, FileWriteTimer);  // the last tag of the stopped run, still there: nothing
  Place(0, FileWriteTimer);  // an earlier one of the stopped run: left alone
  EXPECT_EQ(LeftAloneLines().size(), 1u);
  Place(2, FileWriteTimer);
  Place(3, FileWriteTimer, 2);
  EXPECT_EQ(runner_.State(), RunState::Idle);
  EXPECT_EQ(view_.progress, 5);
  ASSERT_EQ(view_.listed.size(), 4u);
  EXPECT_EQ(view_.listed[2].number, 3);
  EXPECT_EQ(view_.listed[2].fileLine, 4);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(bench_.Tag(k), Em(static_cast<std::uint8_t>(0x10 + k)));
  EXPECT_EQ(bench_.writes, 4);

  // A run that reached the file's end starts over without asking.
  LoadAndPress(path);
  EXPECT_EQ(view_.questions.size(), 1u);
  EXPECT_EQ(runner_.RunCounter(), 0);
}

TEST_F(RunnerMends, CancelStartsNothingAndStartOverBeginsAtTheFirstLine) {
  const std::string path = File("ids.txt", "16\n17\n18\n");
  LoadAndPress(path);
  Place(0, FileWriteTimer);
  runner_.WriteReleased();

  view_.answers = {ResumeChoice::Cancel};
  view_.writeReleased = false;
  runner_.WritePressed();
  EXPECT_EQ(runner_.State(), RunState::Idle);
  EXPECT_TRUE(view_.writeReleased);
  EXPECT_TRUE(view_.timers.empty());
  EXPECT_EQ(runner_.FileResumeIndex(), 1u);  // still offered next time

  // The same file loaded again, unchanged, is still the stopped run's.
  view_.answers = {ResumeChoice::StartOver};
  LoadAndPress(path);
  EXPECT_EQ(view_.questions.size(), 2u);
  EXPECT_EQ(runner_.RunCounter(), 0);
  EXPECT_EQ(view_.progress, 0);
  Place(1, FileWriteTimer);
  EXPECT_EQ(bench_.Tag(1), Em(0x10));
  runner_.WriteReleased();

  // Another file: nothing to go on with.
  LoadAndPress(File("other.txt", "32\n"));
  EXPECT_EQ(view_.questions.size(), 2u);
  EXPECT_EQ(runner_.RunCounter(), 0);
}


// Ten thousand tags, each put back once after the next was written: every one left alone.
TEST(RunnerMendsLong, TenThousandTagsKeepTheirIdentities) {
  constexpr int N = 10000;
  Bench bench(N);
  HeadlessView view(Em4100Format());
  view.keepLines = false;
  int leftAlone = 0;
  view.onLine = [&](const std::string& l) { leftAlone += l.find("left alone") != std::string::npos; };
  AlwaysConnected signals;
  BatchRunner runner(BenchProfile(bench), view, &signals);
  runner.IncrementalClicked(true);
  view.entered = "0000000000";
  runner.WritePressed();
  for (int i = 0; i < N; ++i) {
    bench.on = i;
    runner.Tick(IncrementalWriteTimer);
    if (i == 0) continue;
    bench.on = i - 1;
    runner.Tick(IncrementalWriteTimer);
  }
  EXPECT_EQ(runner.RunCounter(), N);
  EXPECT_EQ(bench.writes, N);
  EXPECT_EQ(leftAlone, N - 1);
  for (int i = 0; i < N; ++i) {
    Identity expected(5, 0);
    expected[3] = static_cast<std::uint8_t>(i >> 8);
    expected[4] = static_cast<std::uint8_t>(i);
    ASSERT_EQ(bench.Tag(i), expected) << i;
  }
}

}  // namespace
}  // namespace rivelo
