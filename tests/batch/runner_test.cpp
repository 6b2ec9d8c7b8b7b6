// The runner's decisions with an in-memory tag in place of the reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <deque>
#include <optional>
#include <sstream>

#include <csignal>
#include <sys/resource.h>

#include "batch/em4100_profile.h"
#include "batch/batch_runner.h"
#include "batch/headless_view.h"
#include "resources/texts_batch.h"

namespace rivelo {
namespace {

namespace fs = std::filesystem;

// One tag in reach of the fake reader; it accepts the write of its own chip kind only.
struct FakeTag {
  std::optional<Identity> id;
  int chipAccepts = 0;   // which write operation changes it
  int rejectWrites = 0;  // writes that do nothing
  std::deque<ReadOutcome> script;  // outcomes forced on the next reads, before the tag answers
  std::optional<std::string> serial;      // the EM4305's UID; none: no readable serial
  std::deque<ReadOutcome> serialScript;   // outcomes forced on the next serial reads
  std::vector<int> writes;
  std::vector<int> locks;  // the lock flag of each write
};

BatchProfile FakeProfile(FakeTag& tag, RunChoices& choices) {
  BatchProfile p = MakeEm4305IdProfile([&choices] { return choices; });
  p.ops.read = [&tag](Identity* id) {
    if (!tag.script.empty()) {
      const ReadOutcome forced = tag.script.front();
      tag.script.pop_front();
      if (forced != ReadOutcome::Found) return forced;
    }
    if (!tag.id) return ReadOutcome::NoIdentity;
    *id = *tag.id;
    return ReadOutcome::Found;
  };
  p.ops.writes.clear();
  for (int op = 0; op < 2; ++op) {
    p.ops.writes.push_back({op == 0 ? "EM4305" : "T5577", [&tag, op](const Identity& id, const RunChoices& c) {
                              tag.writes.push_back(op);
                              tag.locks.push_back(c.lock);
                              if (tag.rejectWrites > 0) {
                                --tag.rejectWrites;
                                return;
                              }
                              if (op == tag.chipAccepts) tag.id = id;
                            }});
  }
  p.ops.writes[0].serial = [&tag](std::string* serial) {
    if (!tag.serialScript.empty()) {
      const ReadOutcome forced = tag.serialScript.front();
      tag.serialScript.pop_front();
      return forced;
    }
    if (!tag.serial) return ReadOutcome::NoIdentity;
    *serial = *tag.serial;
    return ReadOutcome::Found;
  };
  return p;
}

// The beeps and lights the runner gives, and the connection it sees.
struct FakeSignals : ReaderSignals {
  bool connected = true;
  std::vector<std::string> sent;  // "ack 10", "result 2"
  void Acknowledge(int value) override { sent.push_back("ack " + std::to_string(value)); }
  void ReportResult(int value) override { sent.push_back("result " + std::to_string(value)); }
  bool Connected() override { return connected; }
};

class RunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("rivelo_runner_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
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
  RunChoices choices_;
  HeadlessView view_{Em4100Format()};
  FakeSignals signals_;
  BatchRunner runner_{FakeProfile(tag_, choices_), view_, &signals_};
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
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(view_.messages[0].rfind("can not open file!\nThe batch file cannot be opened: ", 0), 0u);
  EXPECT_EQ(runner_.Mode(), WriteMode::Continuous);
  view_.files = {WriteFile("b.txt", "1\r\n2\n\n3")};
  EXPECT_TRUE(runner_.FromFileClicked(true));
  EXPECT_EQ(runner_.FileLines(), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(view_.lines.back(), "Tag count 3");
  EXPECT_TRUE(view_.fromFile && !view_.continuous && !view_.incremental);

  // A file with a bad line is refused whole; the box goes off and nothing can be written.
  view_.files = {WriteFile("bad.txt", "5\n6\n-1\n")};
  EXPECT_FALSE(runner_.FromFileClicked(true));
  EXPECT_EQ(view_.messages.back(), "Line 3 of the batch file is not an identity: \"-1\" (a negative number)");
  EXPECT_FALSE(view_.fromFile);
  EXPECT_EQ(runner_.Mode(), WriteMode::None);
  runner_.WritePressed();  // a single write of the field, not of the refused file
  EXPECT_EQ(tag_.writes.size(), 1u);
}

TEST_F(RunnerTest, NotConnectedStartsNothing) {
  signals_.connected = false;
  runner_.ContinuousClicked(true);
  runner_.WritePressed();
  runner_.ReadPressed();
  EXPECT_TRUE(view_.writeReleased && view_.readReleased);
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
  runner_.WritePressed();
  EXPECT_EQ(view_.progressMax, 3);
  runner_.Tick(FileWriteTimer);
  EXPECT_EQ(*tag_.id, (Identity{0, 0, 0, 0, 42}));
  EXPECT_EQ(view_.lines.back(), "Number 1：  42");
  tag_.id = Identity(5, 0x66);
  tag_.script = {ReadOutcome::NoReply};  // nothing known: nothing moves
  runner_.Tick(FileWriteTimer);
  EXPECT_EQ(runner_.RunCounter(), 1);
  EXPECT_EQ(view_.progress, 1);
  runner_.Tick(FileWriteTimer);
  EXPECT_EQ(*tag_.id, (Identity{0x01, 0x23, 0x45, 0x67, 0x89}));
  EXPECT_EQ(view_.lines.back(), "Number 2：4886718345");
  runner_.Tick(FileWriteTimer);
  EXPECT_EQ(view_.lines.back(), "stop");
  EXPECT_EQ(view_.progress, 3);
  EXPECT_TRUE(view_.writeReleased);
  EXPECT_FALSE(view_.fromFile);
  EXPECT_TRUE(view_.timers.empty());
  EXPECT_EQ(runner_.Mode(), WriteMode::None);
}

// A run of it would end at once, as if it had written everything.
TEST_F(RunnerTest, AnEmptyBatchFileIsRefused) {
  const std::string path = WriteFile("empty.txt", "\n  \r\n");
  view_.files = {path};
  EXPECT_FALSE(runner_.FromFileClicked(true));
  ASSERT_FALSE(view_.messages.empty());
  EXPECT_EQ(view_.messages.back(), texts::batch::NoIdentities() + path);
}

TEST_F(RunnerTest, ReadRunWithoutExportListsEveryTick) {
  tag_.id = Identity{1, 2, 3, 4, 5};
  runner_.ContinuousClicked(true);
  runner_.ReadPressed();
  runner_.Tick(ReadTimer);
  runner_.Tick(ReadTimer);
  tag_.script = {ReadOutcome::NoReply};
  runner_.Tick(ReadTimer);
  EXPECT_EQ(view_.lines, (std::vector<std::string>{"Number 1;", "Number 2;"}));
  EXPECT_EQ(view_.shown, (Identity{1, 2, 3, 4, 5}));
  EXPECT_EQ(signals_.sent, (std::vector<std::string>{"result 2", "ack 10", "result 2", "ack 10", "result 1"}));
  runner_.ReadReleased();
  EXPECT_EQ(view_.lines.back(), "stop");
  EXPECT_EQ(signals_.sent.back(), "result 1");
}

TEST_F(RunnerTest, ExportWritesEachNewIdentityOnceIntoAFileOfItsOwn) {
  runner_.SetClock([] { return std::time_t{1700000000}; });
  runner_.ContinuousClicked(true);
  runner_.IncrementalClicked(true);
  view_.folders = {dir_.string(), dir_.string() + "/"};
  tag_.id = Identity(5, 0);  // a tag of all zeros is exported like any other
  runner_.ReadPressed();
  const std::string path = runner_.ExportPath();
  EXPECT_EQ(path, (dir_ / ExportFileName(1700000000)).string());
  EXPECT_EQ(view_.lines.back(), "ID has exported to " + path);
  runner_.Tick(ReadTimer);
  tag_.id = Identity{0x01, 0x23, 0x45, 0x67, 0x89};
  runner_.Tick(ReadTimer);
  runner_.Tick(ReadTimer);
  // Each line is on the disk before the next tick.
  EXPECT_EQ(ReadAll(path), "0000000000\r\n0123456789\r\n");
  tag_.id = Identity(5, 0);
  runner_.Tick(ReadTimer);
  tag_.id = Identity{0x01, 0x23, 0x45, 0x67, 0x89};
  runner_.Tick(ReadTimer);
  EXPECT_EQ(view_.lines.back(), "Number 4;");
  runner_.ReadReleased();

  // A second run in the same second gets a file of its own, never the first one's, and a link
  // planted under the next name is passed over with its target left alone.
  const fs::path target = dir_ / "elsewhere.txt";
  std::ofstream(target) << "keep";
  fs::create_symlink(target, NumberedPath(path, 1));
  runner_.ReadPressed();
  EXPECT_EQ(runner_.ExportPath(), NumberedPath(path, 2));  // the folder's own separator is not doubled
  runner_.Tick(ReadTimer);
  runner_.ReadReleased();
  EXPECT_EQ(ReadAll(path), "0000000000\r\n0123456789\r\n0000000000\r\n0123456789\r\n");
  EXPECT_EQ(ReadAll(NumberedPath(path, 2)), "0123456789\r\n");
  EXPECT_EQ(ReadAll(target.string()), "keep");
  EXPECT_EQ(fs::status(NumberedPath(path, 2)).permissions() & (fs::perms::group_write | fs::perms::others_write),
            fs::perms::none);
}

// A tag that keeps another identity is named once however long it stays; blanks that refuse
// read like the next blank, so each second refusal in a row is one more tag. The failure goes to
// the reader, the next tag gets the same identity, and the summary counts it all.
TEST_F(RunnerTest, RefusedTagsAreNamedSignalledAndCountedAndTheSummaryAddsUp) {
  auto now = std::chrono::steady_clock::time_point{};
  runner_.SetRunClock([&now] { return now; });
  tag_.id = Identity(5, 0x11);
  tag_.rejectWrites = 1000;
  runner_.ContinuousClicked(true);
  view_.entered = "0102030405";
  runner_.WritePressed();
  for (int i = 0; i < 5; ++i) runner_.Tick(ContinuousWriteTimer);
  const std::string locked = "This tag refused 0102030405 (it keeps its identity: it may be locked); put it aside. "
                             "Refused tags: 1";
  EXPECT_EQ(view_.lines, std::vector<std::string>{locked});
  EXPECT_EQ(view_.statuses.back(), std::make_pair(0, locked));
  EXPECT_EQ(signals_.sent, std::vector<std::string>{"result 1"});
  tag_.id.reset();
  for (int i = 0; i < 4; ++i) runner_.Tick(ContinuousWriteTimer);
  EXPECT_EQ(runner_.RefusedCount(), 3);
  EXPECT_NE(view_.lines.back().find("(it reads as blank: it may be password-protected or not a writable chip)"), std::string::npos);
  tag_.rejectWrites = 0;
  runner_.Tick(ContinuousWriteTimer);
  EXPECT_EQ(*tag_.id, (Identity{1, 2, 3, 4, 5}));
  tag_.script = {ReadOutcome::NoReply, ReadOutcome::NoReply};
  runner_.Tick(ContinuousWriteTimer);
  now += std::chrono::seconds(60);
  runner_.WriteReleased();
  EXPECT_EQ(view_.lines.back(), "stop");
  EXPECT_EQ(view_.summaries, std::vector<std::string>{"Run summary: 1 written, 3 refused, 0 left alone as written "
                                                      "earlier, 1 ticks without a valid reply, 60.0 s, 1.0 tags per minute"});
}

// A chip known by its serial: a serial read without a reply holds the write back and counts no
// refusal; blank read-backs may be misreads of a tag that took the write, so only the fourth in
// a row names the chip refused, once; it is not written again while it lies there.
TEST_F(RunnerTest, AChipKnownByItsSerialIsNamedRefusedOnceAndLeftAlone) {
  tag_.serial = "AABBCCDD";
  tag_.rejectWrites = 1000;
  runner_.ContinuousClicked(true);
  view_.entered = "0102030405";
  runner_.WritePressed();
  tag_.serialScript = {ReadOutcome::NoReply, ReadOutcome::NoReply};
  for (int i = 0; i < 2; ++i) runner_.Tick(ContinuousWriteTimer);
  EXPECT_TRUE(tag_.writes.empty());
  for (int i = 0; i < 3; ++i) runner_.Tick(ContinuousWriteTimer);
  EXPECT_EQ(tag_.writes.size(), 3u);
  EXPECT_EQ(runner_.RefusedCount(), 0);
  for (int i = 0; i < 5; ++i) runner_.Tick(ContinuousWriteTimer);
  EXPECT_EQ(tag_.writes.size(), 4u);
  EXPECT_EQ(runner_.RefusedCount(), 1);
  EXPECT_EQ(std::count(signals_.sent.begin(), signals_.sent.end(), "result 1"), 1);
  tag_.serial = "11223344";  // the next chip gets the same identity
  tag_.rejectWrites = 0;
  runner_.Tick(ContinuousWriteTimer);
  EXPECT_EQ(*tag_.id, (Identity{1, 2, 3, 4, 5}));
  EXPECT_EQ(runner_.RunCounter(), 1);
}

// With unique reads each identity is listed once a run; an export that cannot be written says
// the system's reason, lists nothing, and stops the run after three failures in a row.
TEST_F(RunnerTest, UniqueReadsAndAnExportThatCannotBeWritten) {
  runner_.SetUniqueReads(true);
  runner_.ContinuousClicked(true);
  runner_.ReadPressed();
  for (int k : {1, 1, 2, 1, 2}) {
    tag_.id = Identity(5, static_cast<std::uint8_t>(k));
    runner_.Tick(ReadTimer);
  }
  runner_.ReadReleased();
  EXPECT_EQ(view_.lines, (std::vector<std::string>{"Number 1;", "Number 2;", "stop"}));
  EXPECT_EQ(runner_.LastSummary().tags, 2);

  runner_.IncrementalClicked(true);
  view_.folders = {dir_.string()};
  runner_.ReadPressed();
  ASSERT_TRUE(runner_.Exporting());
  // No file may grow: each write fails with EFBIG, as a full disk fails with ENOSPC.
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit none = old;
  none.rlim_cur = 0;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
  for (int i = 0; i < 3; ++i) runner_.Tick(ReadTimer);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(view_.statuses[view_.statuses.size() - 2].second,
            "Can not write the export file " + runner_.ExportPath() + " (File too large)");
  EXPECT_EQ(view_.statuses.back().second, "The export file could not be written 3 times in a row; the run stopped.");
  EXPECT_TRUE(runner_.ExportFailed());
  EXPECT_EQ(runner_.State(), RunState::Idle);
  EXPECT_EQ(view_.lines.back(), "stop");
  EXPECT_EQ(runner_.LastSummary().tags, 0);
}

TEST_F(RunnerTest, ExportTakesTheFormChosenAtEachLine) {
  runner_.ContinuousClicked(true);
  runner_.IncrementalClicked(true);
  view_.folders = {dir_.string()};
  runner_.ReadPressed();
  const Identity a{0x01, 0x23, 0x45, 0x67, 0x89}, b{0x01, 0x23, 0x45, 0x67, 0x8A};
  std::vector<Identity> ids{a, b, a, b, a};
  for (std::size_t form = 0; form < ids.size(); ++form) {
    choices_.form = form;  // the operator picks another radio button during the run
    tag_.id = ids[form];
    runner_.Tick(ReadTimer);
  }
  runner_.ReadReleased();
  EXPECT_EQ(ReadAll(runner_.ExportPath()),
            "0123456789\r\n0591751050\r\n0004548489\r\n06926506\r\n0004886718345\r\n");
}

TEST_F(RunnerTest, ExportFolderThatCannotBeWrittenStartsNoRun) {
  runner_.ContinuousClicked(true);
  runner_.IncrementalClicked(true);
  view_.folders = {(dir_ / "no" / "such" / "folder").string()};
  runner_.ReadPressed();
  EXPECT_EQ(runner_.State(), RunState::Idle);
  EXPECT_EQ(view_.state, RunState::Idle);
  EXPECT_TRUE(view_.timers.empty());
  EXPECT_TRUE(view_.readReleased);
  ASSERT_FALSE(view_.statuses.empty());
  EXPECT_EQ(view_.statuses.back().first, 0);
  EXPECT_EQ(view_.statuses.back().second.rfind("Can not create the export file ", 0), 0u);

  view_.readReleased = false;
  runner_.ReadPressed();  // cancelled chooser
  EXPECT_EQ(view_.statuses.back(), (std::pair<int, std::string>{0, "Please select a folder to save ID"}));
  EXPECT_TRUE(view_.readReleased);
}

// A read without a valid reply says nothing about the tag: only the reader's own "no
// identity" lets a write go ahead. A tag left on the reader must never be overwritten.
TEST_F(RunnerTest, ALineFaultNeverRewritesTheTagOnTheReader) {
  tag_.id = Identity{0, 0, 0, 0, 0x10};
  runner_.IncrementalClicked(true);
  view_.entered = "0000000010";
  runner_.WritePressed();
  runner_.Tick(IncrementalWriteTimer);
  ASSERT_EQ(view_.lines, std::vector<std::string>{"Number 1：0000000010"});
  EXPECT_EQ(signals_.sent, std::vector<std::string>{"ack 10"});
  tag_.writes.clear();

  // The written tag stays on the reader; both reads of a tick get no valid reply, or one
  // of them does.
  for (auto script : {std::deque{ReadOutcome::NoReply, ReadOutcome::NoReply},
                      std::deque{ReadOutcome::NoIdentity, ReadOutcome::NoReply},
                      std::deque{ReadOutcome::NoReply, ReadOutcome::NoIdentity}}) {
    tag_.script = script;
    runner_.Tick(IncrementalWriteTimer);
  }
  EXPECT_TRUE(tag_.writes.empty());
  EXPECT_EQ(*tag_.id, (Identity{0, 0, 0, 0, 0x10}));
  EXPECT_EQ(view_.lines.size(), 1u);

  // The reader itself says twice that it reads nothing (a blank): that is written.
  tag_.script = {ReadOutcome::NoIdentity, ReadOutcome::NoIdentity};
  runner_.Tick(IncrementalWriteTimer);
  EXPECT_EQ(tag_.writes, std::vector<int>{0});
  EXPECT_EQ(view_.lines.back(), "Number 2：0000000011");
}

TEST_F(RunnerTest, AVerifyingReadWithoutReplyIsAskedAgainBeforeTheNextChip) {
  tag_.id = Identity(5, 0x44);
  choices_.lock = 1;
  view_.entered = "0102030405";
  // First read of the verify lost: asked once more, verified, the T5577 write is not sent.
  tag_.script = {ReadOutcome::NoReply};
  runner_.WritePressed();
  EXPECT_EQ(tag_.writes, std::vector<int>{0});
  EXPECT_EQ(tag_.locks, std::vector<int>{1});
  EXPECT_EQ(runner_.LastChip(), std::string("EM4305"));
  EXPECT_EQ(view_.statuses.back().first, 1);

  // Both verifying reads lost: nothing is known of the write, so no other chip's write is laid
  // over it (its read-back would credit the wrong chip), and the write is not reported done.
  tag_.writes.clear();
  tag_.chipAccepts = 1;
  tag_.id = Identity(5, 0x44);
  tag_.script = {ReadOutcome::NoReply, ReadOutcome::NoReply};
  runner_.WritePressed();
  EXPECT_EQ(tag_.writes, std::vector<int>{0});
  EXPECT_EQ(view_.statuses.back().first, 0);
}

// A page whose fields give an identity of the wrong size.
struct ShortEntryView : HeadlessView {
  ShortEntryView() : HeadlessView(Em4100Format()) {}
  Identity EnteredIdentity() override { return {1, 2, 3}; }
};

TEST(RunnerIdentityLength, AWrongLengthIsRefusedAndNeverWritten) {
  FakeTag tag;
  RunChoices choices;
  ShortEntryView view;
  FakeSignals signals;
  BatchRunner runner(FakeProfile(tag, choices), view, &signals);
  runner.WritePressed();
  runner.ContinuousClicked(true);
  runner.WritePressed();
  EXPECT_TRUE(tag.writes.empty());
  EXPECT_EQ(runner.State(), RunState::Idle);
  EXPECT_TRUE(view.timers.empty());
  ASSERT_EQ(view.statuses.size(), 2u);
  for (const auto& [kind, text] : view.statuses) {
    EXPECT_EQ(kind, 0);
    EXPECT_EQ(text, "The identity has the wrong length; nothing was written.");
  }
}

}  // namespace
}  // namespace rivelo
