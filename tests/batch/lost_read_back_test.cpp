// A write whose two verifying reads both got no valid reply, made to happen on purpose: the
// reads before the write go through, the two after it come back corrupt. The tag then
// carries the identity without having been listed.
#include <gtest/gtest.h>

#include <set>

#include "batch/batch_runner.h"
#include "batch/em4100_profile.h"
#include "batch/fdxb_profile.h"
#include "batch/headless_view.h"
#include "fault_run_checks.h"
#include "model/em4100.h"
#include "reader/discovery.h"
#include "sim/pty_server.h"

namespace rivelo {
namespace {

class LostReadBack : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start());
    ASSERT_TRUE(ConnectDevice({server_.Path()}).found);
  }
  void TearDown() override { DisconnectDevice(); }

  // The first tick's two reads go through; its two verifying reads come back corrupt.
  void SpoilTheFirstReadBack(std::uint16_t readCode) {
    sim::FaultRule rule{sim::Fault::BadChecksum};
    rule.after = 2;
    rule.times = 2;
    reader_.SetCommandFault(readCode, rule);
  }

  // Runs until n tags are listed or 30 ticks have passed.
  void Run(BatchRunner& runner, HeadlessView& view, std::size_t n) {
    runner.WritePressed();
    for (int i = 0; i < 30 && view.listed.size() < n && view.RunningTimer() != 0; ++i) runner.Tick(view.RunningTimer());
    runner.WriteReleased();
  }

  sim::VirtualReader reader_;
  sim::PtyServer server_{reader_};
};

// The tag found carrying the run's identity after the lost read-back is the tag just written:
// that read is its verification. Taking it for a tag already done would stall the run for
// good, since no beep comes to lift it.
TEST_F(LostReadBack, ContinuousRunListsTheTagAndGoesOn) {
  struct Case {
    const IdentityFormat& format;
    BatchProfile profile;
    std::uint16_t readCode;
    const char* entry;
  };
  BatchProfile em4100 = MakeEm4305IdProfile([] { return RunChoices{}; });
  em4100.ops.writes = {T5577Em4100Write()};
  Case cases[] = {
      {Em4100Format(), em4100, 0x10C, "AABBCCDDEE"},
      {FdxbFormat(), MakeFdxbProfile(T5577FdxbWrite(), Em4100BatchTexts(), [] { return RunChoices{}; }), 0x10B,
       "000000112233099900000000"},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.format.name);
    reader_.ClearFaults();
    reader_.SetFeeder("t5577", 3, 0);
    SpoilTheFirstReadBack(c.readCode);
    HeadlessView view(c.format);
    BatchRunner runner(c.profile, view);
    runner.ContinuousClicked(true);
    view.entered = c.entry;
    Run(runner, view, 3);
    const Identity id = c.format.fromEntry(c.entry);
    std::vector<Identity> want(3, id);
    // The tags of the other format's run are no tags of this one.
    faulttest::ExpectWriteRunKeptItsPromises(reader_.State(), view.listed, {&c.format, "t5577", want});
  }
}

// When the first chip's write was lost from sight and the second chip's write is then
// refused by the chip, the read-back shows the first chip's work: the list must name the chip
// the tag is, not the last one tried.
TEST_F(LostReadBack, ListedTagNamesTheChipThatCarriesTheIdentity) {
  reader_.SetFeeder("em4305", 2, 0);
  SpoilTheFirstReadBack(0x10C);
  HeadlessView view(Em4100Format());
  BatchRunner runner(MakeEm4305IdProfile([] { return RunChoices{}; }), view);
  runner.IncrementalClicked(true);
  view.entered = "0123456789";
  Run(runner, view, 2);
  ASSERT_EQ(view.listed.size(), 2u);
  faulttest::ExpectListedChipsAreTheTags(view.listed, "em4305");
}

// A written tag that rests on the reader for 3 reads after its beep while the reader answers
// "no identity" to 40 % of the reads of it: two such answers in a row look like a blank. The
// chip's serial tells it apart, so no tag is written over, every listed identity is on exactly
// one tag and names the chip it is (the T5577s are tried after the EM4305 read), and each
// listed tag carries its own serial.
TEST_F(LostReadBack, MisreadWrittenTagIsNotWrittenAgain) {
  constexpr std::size_t Tags = 20;
  for (const char* kind : {"em4305", "t5577"}) {
    SCOPED_TRACE(kind);
    for (const sim::TagInfo& t : reader_.Tags()) reader_.RemoveTag(t.id);
    reader_.ClearFaults();
    reader_.SetSeed(5);
    reader_.SetFeeder(kind, static_cast<int>(Tags) + 1, 0);
    reader_.SetDwell(0, 3);
    reader_.SetCommandFault(0x10C, {sim::Fault::Misread, 0.4});
    HeadlessView view(Em4100Format());
    BatchRunner runner(MakeEm4305IdProfile([] { return RunChoices{}; }), view);
    runner.IncrementalClicked(true);
    view.entered = "00000000F0";
    std::vector<Identity> want;
    for (Identity id = Em4100Format().fromEntry(view.entered); want.size() < Tags; Em4100Format().increment(id))
      want.push_back(id);
    runner.WritePressed();
    for (int i = 0; i < 400 && view.listed.size() < Tags; ++i) runner.Tick(IncrementalWriteTimer);
    runner.WriteReleased();
    const sim::ReaderState state = reader_.State();
    faulttest::ExpectWriteRunKeptItsPromises(state, view.listed, {&Em4100Format(), kind, want});
    faulttest::ExpectListedChipsAreTheTags(view.listed, kind);
    EXPECT_GT(state.counters.faultsByKind[static_cast<std::size_t>(sim::Fault::Misread)], int{Tags}) << "misreads";
    std::set<std::string> serials;
    for (const ListedTag& l : view.listed) serials.insert(l.chipSerial);
    EXPECT_EQ(serials.size(), Tags);
    EXPECT_FALSE(serials.count(""));
  }
}

}  // namespace
}  // namespace rivelo
