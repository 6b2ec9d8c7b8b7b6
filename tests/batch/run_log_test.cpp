// The run log: the lasting record of every tag a write run wrote and verified.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "batch/batch_runner.h"
#include "batch/em4100_profile.h"
#include "batch/headless_view.h"
#include "batch/run_log.h"
#include "model/em4100.h"

namespace rivelo {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The fields of a line that holds no quotes.
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
  if (!line.empty() && line.back() == ',') fields.emplace_back();
  return fields;
}

// A reader with one tag that takes every write; the operator swaps in a blank after each beep.
struct BlankFeeder : ReaderSignals {
  std::optional<Identity> tag;
  void Acknowledge(int) override { tag.reset(); }
  void ReportResult(int) override {}
  bool Connected() override { return true; }
};

BatchProfile FeederProfile(BlankFeeder& reader) {
  BatchProfile p = MakeEm4305IdProfile([] { return RunChoices{}; });
  p.ops.read = [&reader](Identity* id) {
    if (!reader.tag) return ReadOutcome::NoIdentity;
    *id = *reader.tag;
    return ReadOutcome::Found;
  };
  p.ops.writes = {{"EM4305", [&reader](const Identity& id, const RunChoices&) { reader.tag = id; }}};
  return p;
}

class RunLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("rivelo_run_log_" + std::to_string(getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    SetRunLogFolder("");
    fs::remove_all(dir_);
  }
  // An incremental run of n tags from 0000000010.
  void IncrementalRun(BatchRunner& runner, HeadlessView& view, int n) {
    view.entered = "0000000010";
    runner.ContinuousClicked(true);
    runner.IncrementalClicked(true);
    runner.WritePressed();
    for (int tick = 0; tick < 4 * n && runner.RunCounter() < n; ++tick) runner.Tick(IncrementalWriteTimer);
    runner.WriteReleased();
  }
  fs::path dir_;
};

TEST_F(RunLogTest, EveryVerifiedTagOfEveryRunIsOneLineWithItsRunNumber) {
  const fs::path path = dir_ / "log.csv";
  for (int run = 0; run < 2; ++run) {
    BlankFeeder reader;
    HeadlessView view(Em4100Format());
    BatchRunner runner(FeederProfile(reader), view, &reader);
    runner.SetRunLogFile(path.string());
    runner.SetClock([] { return std::time_t{1'800'000'000}; });
    IncrementalRun(runner, view, 3);
    ASSERT_EQ(runner.RunCounter(), 3);
    EXPECT_EQ(view.lines.front(), "Run log: " + path.string()) << "the list says where the record goes";
  }
  const auto lines = Lines(path);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], RunLog::Header(Em4100Format()));
  EXPECT_EQ(lines[0].rfind("time,page,chip,run,file_line,10H,", 0), 0u);
  const auto first = Fields(lines[1]);
  ASSERT_GE(first.size(), 6u);
  EXPECT_EQ(first[0], RunLogTime(1'800'000'000));
  EXPECT_EQ(first[1], "EM4100/EM4305");
  EXPECT_EQ(first[2], "EM4305");
  EXPECT_EQ(first[3], "1");
  EXPECT_EQ(first[4], "") << "no file line outside file runs";
  EXPECT_EQ(first[5], "0000000010");
  EXPECT_EQ(Fields(lines[3])[5], "0000000012");
  EXPECT_EQ(Fields(lines[4])[3], "2") << "the second run numbers on from the file";
}

TEST_F(RunLogTest, TheWindowsFolderHoldsOneFilePerFormat) {
  SetRunLogFolder(dir_.string());
  BlankFeeder reader;
  HeadlessView view(Em4100Format());
  BatchRunner runner(FeederProfile(reader), view, &reader);
  IncrementalRun(runner, view, 2);
  const auto lines = Lines(dir_ / "rivelo-em4100-run-log.csv");
  EXPECT_EQ(lines.size(), 3u);
  SetRunLogFolder("");
  IncrementalRun(runner, view, 1);
  EXPECT_EQ(Lines(dir_ / "rivelo-em4100-run-log.csv").size(), 3u) << "off again: nothing more is logged";
}

TEST_F(RunLogTest, ARunWhoseLogCannotBeKeptDoesNotStart) {
  BlankFeeder reader;
  HeadlessView view(Em4100Format());
  BatchRunner runner(FeederProfile(reader), view, &reader);
  // Another format's log: its lines would not fit the columns.
  std::ofstream(dir_ / "other.csv") << "time,page,chip,run,file_line,24D\r\n";
  for (const fs::path& path : {dir_ / "missing" / "log.csv", dir_ / "other.csv"}) {
    runner.SetRunLogFile(path.string());
    view.statuses.clear();
    IncrementalRun(runner, view, 1);
    EXPECT_EQ(runner.RunCounter(), 0) << path;
    EXPECT_FALSE(reader.tag) << "nothing was written";
    ASSERT_FALSE(view.statuses.empty());
    EXPECT_EQ(view.statuses.back().first, 0);
    EXPECT_NE(view.statuses.back().second.find(path.string()), std::string::npos);
  }
}

TEST(RunLogFile, ContinuesAfterACutOffLineAndQuotesWhatNeedsIt) {
  const fs::path path = fs::temp_directory_path() / ("rivelo_cut_" + std::to_string(getpid()) + ".csv");
  std::ofstream(path, std::ios::binary) << RunLog::Header(Em4100Format()) << "\r\nx,p,EM4305,7,,00000000";
  RunLog log(Em4100Format());
  std::string why;
  ASSERT_TRUE(log.Open(path.string(), &why)) << why;
  EXPECT_EQ(log.StartRun(), 8);
  ASSERT_TRUE(log.Append(0, "a \"b\", c", ListedTag{1, {0, 0, 0, 0, 1}, "T5577", 4}));
  const auto lines = Lines(path);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "x,p,EM4305,7,,00000000") << "the cut-off line is ended, not continued";
  EXPECT_NE(lines[2].find(",\"a \"\"b\"\", c\",T5577,8,4,0000000001,"), std::string::npos) << lines[2];
  fs::remove(path);
}

// A disk that fills up during the run: the tag was written, but its record was not, so the run
// stops instead of listing tags that the log will never hold.
TEST_F(RunLogTest, ALogThatCannotBeWrittenStopsTheRun) {
  const fs::path path = dir_ / "log.csv";
  {
    RunLog log(Em4100Format());
    std::string why;
    ASSERT_TRUE(log.Open(path.string(), &why));
    log.StartRun();
    ASSERT_TRUE(log.Append(0, "EM4100/EM4305", ListedTag{1, {0, 0, 0, 0, 0x10}, "EM4305"}));
  }
  // Room for the header and one line, not two.
  const auto room = static_cast<rlim_t>(fs::file_size(path));
  fs::remove(path);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{room, room};
    setrlimit(RLIMIT_FSIZE, &limit);
    BlankFeeder reader;
    HeadlessView view(Em4100Format());
    BatchRunner runner(FeederProfile(reader), view, &reader);
    runner.SetRunLogFile(path.string());
    IncrementalRun(runner, view, 5);
    const bool stopped = runner.RunLogFailed() && runner.State() == RunState::Idle && view.writeReleased &&
                         runner.RunCounter() == 2 && !view.statuses.empty() && view.statuses.back().first == 0;
    _exit(stopped ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Lines(path).size(), 2u);
}

}  // namespace
}  // namespace rivelo
