// The run log: the lasting record of every tag a write run wrote and verified.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <tuple>

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
  EXPECT_EQ(lines[0].substr(lines[0].size() - 26), ",status,reason,chip_serial");
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
  EXPECT_EQ(Fields(lines[4]).size(), Fields(lines[0]).size());
  EXPECT_EQ(Fields(lines[4])[Fields(lines[0]).size() - 3], "written");
}

// Two runs (two programs, or two pages) that share one log: the one whose first line comes
// second takes the next number, the header is written once, and a refused tag is a row of
// its own with the reason.
TEST_F(RunLogTest, RunsSharingALogGetTheirOwnNumbersAndOneHeader) {
  const fs::path path = dir_ / "shared.csv";
  RunLog first(Em4100Format()), second(Em4100Format());
  std::string why;
  ASSERT_TRUE(first.Open(path.string(), &why)) << why;
  ASSERT_TRUE(second.Open(path.string(), &why)) << why;
  EXPECT_EQ(first.StartRun(), 1);
  EXPECT_EQ(second.StartRun(), 1);
  ASSERT_TRUE(second.Append(0, "p", ListedTag{1, {0, 0, 0, 0, 1}, "EM4305", 0, "5A0B1C2D"}));
  ASSERT_TRUE(first.AppendRefused(0, "p", RefusedTag{{0, 0, 0, 0, 2}, "T5577", "password-protected", 7, "E0150A"}));
  ASSERT_TRUE(second.Append(0, "p", ListedTag{2, {0, 0, 0, 0, 3}, "EM4305"}));
  EXPECT_EQ(first.Run(), 2);
  auto lines = Lines(path);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], RunLog::Header(Em4100Format()));
  const std::size_t columns = Fields(lines[0]).size();
  for (const auto& [line, run, status] : {std::tuple{1, "1", "written"}, {2, "2", "refused"}, {3, "1", "written"}}) {
    const auto fields = Fields(lines[static_cast<std::size_t>(line)]);
    ASSERT_EQ(fields.size(), columns) << lines[static_cast<std::size_t>(line)];
    EXPECT_EQ(fields[3], run);
    EXPECT_EQ(fields[columns - 3], status);
  }
  EXPECT_NE(lines[1].find(",written,,5A0B1C2D"), std::string::npos) << lines[1];
  EXPECT_NE(lines[2].find(",T5577,2,7,0000000002,"), std::string::npos) << lines[2];
  EXPECT_NE(lines[2].find(",refused,password-protected,E0150A"), std::string::npos) << lines[2];

  // A log begun by the earlier version keeps its columns: written tags go on, refused ones
  // have no place in it.
  const fs::path earlier = dir_ / "earlier.csv";
  std::ofstream(earlier, std::ios::binary) << RunLog::EarlierHeader(Em4100Format()) << "\r\nx,p,EM4305,3,,0000000001,"
                                           << "00000001,000001,0000001,0000000000001\r\n";
  RunLog log(Em4100Format());
  ASSERT_TRUE(log.Open(earlier.string(), &why)) << why;
  EXPECT_TRUE(log.Earlier());
  EXPECT_EQ(log.StartRun(), 4);
  ASSERT_TRUE(log.AppendRefused(0, "p", RefusedTag{{0, 0, 0, 0, 2}, "T5577", "locked"}));
  ASSERT_TRUE(log.Append(0, "p", ListedTag{1, {0, 0, 0, 0, 3}, "EM4305", 0, "5A0B1C2D"}));
  lines = Lines(earlier);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(Fields(lines[2]).size(), Fields(lines[0]).size()) << lines[2];
  EXPECT_EQ(Fields(lines[2])[3], "4");
}

// The window's log is a name made up in a folder others may write into: a link planted under
// it is refused and its target left alone. A log named on the command line may be a link, and
// a pipe or a device is written as a stream, without syncing.
TEST_F(RunLogTest, LinksAreFollowedOnlyWhenTheUserNamedThemAndStreamsWork) {
  const fs::path target = dir_ / "target.txt";
  std::ofstream(target) << "keep\n";
  const fs::path windowLog = dir_ / "rivelo-em4100-run-log.csv";
  SetRunLogFolder(dir_.string());
  // Planted under the window's name: a link, a pipe (it would take the lines), a second name.
  const std::pair<std::function<void()>, std::string> plants[] = {
      {[&] { fs::create_symlink(target, windowLog); }, "symbolic link"},
      {[&] { mkfifo(windowLog.c_str(), 0600); }, "pipe"},
      {[&] { fs::create_hard_link(target, windowLog); }, "hard link"},
  };
  for (const auto& [plant, why] : plants) {
    plant();
    BlankFeeder reader;
    HeadlessView view(Em4100Format());
    BatchRunner runner(FeederProfile(reader), view, &reader);
    IncrementalRun(runner, view, 1);
    EXPECT_EQ(runner.RunCounter(), 0) << why;
    ASSERT_FALSE(view.statuses.empty());
    EXPECT_NE(view.statuses.back().second.find(why), std::string::npos) << view.statuses.back().second;
    fs::remove(windowLog);
  }
  EXPECT_EQ(Lines(target), std::vector<std::string>{"keep"});
  SetRunLogFolder("");

  RunLog named(Em4100Format());
  std::string why;
  const fs::path link = dir_ / "named.csv";
  fs::create_symlink(dir_ / "real.csv", link);
  const mode_t saved = umask(0);
  ASSERT_TRUE(named.Open(link.string(), &why, true)) << why;
  umask(saved);
  named.StartRun();
  ASSERT_TRUE(named.Append(0, "p", ListedTag{1, {0, 0, 0, 0, 1}, "EM4305"}));
  EXPECT_EQ(Lines(dir_ / "real.csv").size(), 2u);
  EXPECT_EQ(fs::status(dir_ / "real.csv").permissions(), fs::perms(0644)) << "no write for group and others";

  const fs::path fifo = dir_ / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int end = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(end, 0);
  for (const std::string& stream : {fifo.string(), std::string("/dev/null")}) {
    RunLog log(Em4100Format());
    ASSERT_TRUE(log.Open(stream, &why, true)) << stream << ": " << why;
    log.StartRun();
    EXPECT_TRUE(log.Append(0, "p", ListedTag{1, {0, 0, 0, 0, 1}, "EM4305"})) << stream << ": " << log.Error();
  }
  char buf[4096];
  const ssize_t got = read(end, buf, sizeof buf);
  close(end);
  ASSERT_GT(got, 0);
  const std::string text(buf, static_cast<std::size_t>(got));
  EXPECT_EQ(text.rfind(RunLog::Header(Em4100Format()) + "\r\n", 0), 0u) << text;
  EXPECT_NE(text.find(",EM4305,1,,0000000001,"), std::string::npos) << text;
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
                         runner.RunCounter() == 2 && !view.statuses.empty() && view.statuses.back().first == 0 &&
                         // the system's reason, and which listed tag the log misses
                         view.statuses.back().second.find("File too large); 2 0000000011 is not in the run log") !=
                             std::string::npos;
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
