// A reader that stops answering is said once and its return once; a port that goes away ends
// the run, with its name, and lets go of the dead handle.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "batch/batch_runner.h"
#include "batch/em4100_profile.h"
#include "batch/headless_view.h"
#include "batch/link_watch.h"

namespace rivelo {
namespace {

namespace fs = std::filesystem;
using Change = LinkWatch::Change;

TEST(LinkWatch, CountsTicksWithoutAnyValidReply) {
  LinkWatch watch(3);
  // "No tag" is the reader answering; one valid reply in a tick makes it an answered tick.
  watch.Note(ReadOutcome::NoIdentity);
  EXPECT_EQ(watch.EndTick(), Change::None);
  for (int i = 0; i < 2; ++i) {
    watch.Note(ReadOutcome::NoReply);
    watch.Note(ReadOutcome::NoReply);
    EXPECT_EQ(watch.EndTick(), Change::None);
  }
  watch.Note(ReadOutcome::NoReply);
  watch.Note(ReadOutcome::Found);
  EXPECT_EQ(watch.EndTick(), Change::None) << "the count starts again";
  EXPECT_EQ(watch.SilentTicks(), 0);

  for (int i = 0; i < 2; ++i) {
    watch.Note(ReadOutcome::NoReply);
    EXPECT_EQ(watch.EndTick(), Change::None);
  }
  EXPECT_EQ(watch.EndTick(), Change::None) << "a tick without reads says nothing";
  watch.Note(ReadOutcome::NoReply);
  EXPECT_EQ(watch.EndTick(), Change::WentSilent);
  EXPECT_TRUE(watch.Silent());
  for (int i = 0; i < 10; ++i) {
    watch.Note(ReadOutcome::NoReply);
    EXPECT_EQ(watch.EndTick(), Change::None) << "said once, not every tick";
  }
  EXPECT_EQ(watch.SilentTicks(), 3);
  watch.Note(ReadOutcome::NoIdentity);
  EXPECT_EQ(watch.EndTick(), Change::Answers);
  watch.Note(ReadOutcome::Found);
  EXPECT_EQ(watch.EndTick(), Change::None);

  watch.Note(ReadOutcome::NoReply);
  watch.Reset();
  EXPECT_EQ(watch.EndTick(), Change::None) << "a reset forgets the tick under way";
}

// A reader whose reads follow a script, and whose port can go away.
struct FakeReader : ReaderSignals {
  std::deque<ReadOutcome> script;  // then: Found 0123456789
  bool gone = false;
  int drops = 0;
  void Acknowledge(int) override {}
  void ReportResult(int) override {}
  bool Connected() override { return drops == 0; }
  bool PortGone() override { return gone; }
  std::string PortName() override { return "/dev/ttyUSB0"; }
  void DropPort() override { ++drops; }
};

class LinkRunner : public ::testing::Test {
 protected:
  LinkRunner() : runner_(Profile(), view_, &reader_) {}

  BatchProfile Profile() {
    BatchProfile p = MakeEm4305IdProfile([] { return RunChoices{}; });
    p.ops.read = [this](Identity* id) {
      if (reader_.gone) return ReadOutcome::NoReply;
      if (!reader_.script.empty()) {
        const ReadOutcome next = reader_.script.front();
        reader_.script.pop_front();
        if (next != ReadOutcome::Found) return next;
      }
      *id = Identity{0x01, 0x23, 0x45, 0x67, 0x89};
      return ReadOutcome::Found;
    };
    p.ops.writes = {{"EM4305", [](const Identity&, const RunChoices&) {}}};
    return p;
  }
  void Ticks(int n) {
    for (int i = 0; i < n && view_.RunningTimer() != 0; ++i) runner_.Tick(view_.RunningTimer());
  }
  std::vector<std::pair<int, std::string>> StatusesAfterStart() {
    return {view_.statuses.begin() + 1, view_.statuses.end()};
  }

  FakeReader reader_;
  HeadlessView view_{Em4100Format()};
  BatchRunner runner_;
};

TEST_F(LinkRunner, ASilentReaderIsSaidOnceAndItsReturnOnceWhileTheRunGoesOn) {
  runner_.ContinuousClicked(true);
  runner_.ReadPressed();
  ASSERT_EQ(runner_.State(), RunState::Reading);
  reader_.script.assign(8, ReadOutcome::NoReply);
  Ticks(8);
  ASSERT_EQ(StatusesAfterStart().size(), 1u);
  EXPECT_EQ(StatusesAfterStart()[0], std::make_pair(0, std::string("No reply from the reader for 3 ticks; still trying.")));
  EXPECT_EQ(runner_.State(), RunState::Reading) << "it keeps trying";
  Ticks(2);
  ASSERT_EQ(StatusesAfterStart().size(), 2u);
  EXPECT_EQ(StatusesAfterStart()[1], std::make_pair(2, std::string("The reader answers again.")));
  EXPECT_EQ(runner_.RunCounter(), 2);
  EXPECT_EQ(reader_.drops, 0);
}

TEST_F(LinkRunner, AWriteRunCountsTheReadsOfItsTicks) {
  view_.entered = "0123456788";
  runner_.ContinuousClicked(true);
  runner_.WritePressed();
  ASSERT_EQ(runner_.State(), RunState::Writing);
  // A tick gives up at its first read without a reply; one answer in a tick is enough.
  reader_.script = {ReadOutcome::NoIdentity, ReadOutcome::NoReply, ReadOutcome::NoReply, ReadOutcome::NoReply,
                    ReadOutcome::NoReply, ReadOutcome::NoReply, ReadOutcome::NoReply, ReadOutcome::NoReply};
  Ticks(3);
  EXPECT_EQ(StatusesAfterStart().size(), 0u);
  Ticks(1);
  ASSERT_EQ(StatusesAfterStart().size(), 1u);
  EXPECT_EQ(StatusesAfterStart()[0].first, 0);
}

TEST_F(LinkRunner, APortThatGoesAwayEndsAReadRunAndClosesItsExport) {
  const fs::path dir = fs::temp_directory_path() / "rivelo_link_export";
  fs::remove_all(dir);
  fs::create_directories(dir);
  view_.folders = {dir.string()};
  runner_.ContinuousClicked(true);
  runner_.IncrementalClicked(true);
  runner_.ReadPressed();
  ASSERT_TRUE(runner_.Exporting());
  Ticks(1);
  EXPECT_EQ(runner_.RunCounter(), 1);
  reader_.gone = true;
  Ticks(1);
  EXPECT_EQ(runner_.State(), RunState::Idle);
  EXPECT_EQ(view_.RunningTimer(), 0);
  EXPECT_TRUE(view_.readReleased);
  EXPECT_FALSE(runner_.Exporting());
  EXPECT_EQ(reader_.drops, 1);
  EXPECT_EQ(runner_.LostPort(), "/dev/ttyUSB0");
  EXPECT_EQ(view_.statuses.back(),
            std::make_pair(0, std::string("The reader's port /dev/ttyUSB0 is gone; the run stopped. Connect again.")));
  EXPECT_EQ(view_.lines.back(), "stop");
  fs::remove_all(dir);
}

TEST_F(LinkRunner, APortThatGoesAwayEndsAWriteRunAndANewRunForgetsIt) {
  view_.entered = "0123456788";
  runner_.ContinuousClicked(true);
  runner_.WritePressed();
  reader_.gone = true;
  Ticks(1);
  EXPECT_EQ(runner_.State(), RunState::Idle);
  EXPECT_TRUE(view_.writeReleased);
  EXPECT_EQ(runner_.LostPort(), "/dev/ttyUSB0");

  // Reconnected: a new run starts clean and lists again.
  reader_.gone = false;
  reader_.drops = 0;
  runner_.WritePressed();
  ASSERT_EQ(runner_.State(), RunState::Writing);
  EXPECT_TRUE(runner_.LostPort().empty());
  Ticks(1);
  EXPECT_EQ(runner_.State(), RunState::Writing);
}

}  // namespace
}  // namespace rivelo
