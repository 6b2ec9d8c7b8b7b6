// A written tag's dwell on the reader, the tag taken away before its read-back, the fault
// mix and its counters, and the final state that tests and rivelo-sim report.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "sim/final_state.h"
#include "test_frames.h"

namespace rivelo::simtest {
namespace {

using sim::Fault;
using sim::FaultRule;

const Bytes WriteEm4100 = Hex("00 01 23 45 67 89");

TEST(Dwell, WrittenTagStaysForItsReadsThenTheNextBlankComes) {
  sim::VirtualReader r;
  r.SetFeeder("em4305", 3, 0);
  r.SetDwell(0, 3);
  const int first = *r.TagOnReader();
  ASSERT_TRUE(Send(r, 0x30C, WriteEm4100).ok());
  ASSERT_TRUE(Send(r, 0x103, {10}).ok());
  // The reader's own commands do not reach the tag; reads do, and after the third it goes.
  ASSERT_TRUE(Send(r, 0x104, {1}).ok());
  EXPECT_EQ(Send(r, 0x10C).reply.payload, Hex("01 23 45 67 89"));
  ASSERT_TRUE(Send(r, 0x103, {10}).ok());  // a second beep does not lift it sooner
  EXPECT_EQ(Send(r, 0x10C).reply.payload, Hex("01 23 45 67 89"));
  EXPECT_EQ(r.TagOnReader(), first);
  EXPECT_EQ(Send(r, 0x10C).reply.payload, Hex("01 23 45 67 89"));
  ASSERT_TRUE(r.TagOnReader());
  EXPECT_NE(*r.TagOnReader(), first);
  EXPECT_TRUE(Send(r, 0x10C).failed());  // a blank
  EXPECT_EQ(r.FeederRemaining(), 1);
}

TEST(Dwell, WrittenTagStaysForItsTimeAndTheDelayFollows) {
  sim::VirtualReader r;
  r.SetFeeder("t5577", 2, 40);
  r.SetDwell(40, 0);
  const int first = *r.TagOnReader();
  ASSERT_TRUE(Send(r, 0x20C, WriteEm4100).ok());
  ASSERT_TRUE(Send(r, 0x103, {10}).ok());
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(Send(r, 0x10C).ok());
  EXPECT_EQ(r.TagOnReader(), first);
  // Left alone, the tag goes at its time and the next one comes the delay after that.
  std::this_thread::sleep_for(std::chrono::milliseconds(90));
  ASSERT_TRUE(r.TagOnReader());
  EXPECT_NE(*r.TagOnReader(), first);
  EXPECT_EQ(r.FeederRemaining(), 0);
}

TEST(LiftAfterWrite, TheVerifyFindsNoTagAndTheNextBlankFollows) {
  sim::VirtualReader r;
  r.SetFeeder("em4305", 3, 0);
  r.SetFault({Fault::LiftAfterWrite});
  const int first = *r.TagOnReader();
  // A refused write leaves the tag where it is.
  ASSERT_TRUE(Send(r, 0x20C, WriteEm4100).failed());
  EXPECT_EQ(r.TagOnReader(), first);
  // The write's reply still comes: the tag went between it and the read-back.
  ASSERT_TRUE(Send(r, 0x30C, WriteEm4100).ok());
  ASSERT_TRUE(r.TagOnReader());
  EXPECT_NE(*r.TagOnReader(), first);
  EXPECT_TRUE(Send(r, 0x10C).failed());
  EXPECT_EQ(r.FeederRemaining(), 1);
  EXPECT_TRUE(r.Info(first)->lifted);
  EXPECT_EQ(r.Info(first)->identity, "EM4100 0123456789");
  const auto c = r.GetCounters();
  EXPECT_EQ(c.faults, 1);
  EXPECT_EQ(c.faultsByKind[static_cast<std::size_t>(Fault::LiftAfterWrite)], 1);

  // With the stack empty the reader stays empty; a rule for one code lifts after it alone.
  r.SetFeeder("t5577", 1, 0);
  r.SetFault({});
  r.SetCommandFault(0x20B, {Fault::LiftAfterWrite});
  ASSERT_TRUE(Send(r, 0x20C, WriteEm4100).ok());
  EXPECT_TRUE(r.TagOnReader());
  ASSERT_TRUE(Send(r, 0x20B, Hex("00 00 01 B6 69 03 E7 00 01 00 00 00")).ok());
  EXPECT_FALSE(r.TagOnReader());
}

// Reply faults drawn together take their own share each; lifts are drawn apart, and every
// fault injected is counted by kind.
TEST(FaultMix, SharesAddUpAndEveryFaultIsCounted) {
  sim::VirtualReader r;
  r.AddTag("t5577");
  r.SetSeed(3);
  r.SetFault({Fault::NoAnswer, 0.2});
  r.AddFault({Fault::BadChecksum, 0.3});
  r.AddFault({Fault::LiftAfterWrite, 0.5});
  int silent = 0, corrupt = 0;
  for (int i = 0; i < 1000; ++i) {
    const auto x = Send(r, 0x102);
    silent += x.silent;
    corrupt += !x.silent && !x.reply.valid;
  }
  EXPECT_NEAR(silent, 200, 45);
  EXPECT_NEAR(corrupt, 300, 50);
  auto c = r.GetCounters();
  EXPECT_EQ(c.faultsByKind[static_cast<std::size_t>(Fault::NoAnswer)], silent);
  EXPECT_EQ(c.faultsByKind[static_cast<std::size_t>(Fault::BadChecksum)], corrupt);
  EXPECT_EQ(c.faultsByKind[static_cast<std::size_t>(Fault::LiftAfterWrite)], 0);  // nothing written
  EXPECT_EQ(c.faults, silent + corrupt);
  // SetFault replaces the whole mix.
  r.SetFault({Fault::Truncated, 0.0});
  for (int i = 0; i < 50; ++i) EXPECT_TRUE(Send(r, 0x102).ok());
}

// A rule can spare the first replies: the third and fourth reads of a tick, say.
TEST(FaultMix, RulesStartAfterTheRepliesTheyLetThrough) {
  sim::VirtualReader r;
  r.AddTag("em4100:0123456789");
  FaultRule thirdAndFourth{Fault::BadChecksum};
  thirdAndFourth.after = 2;
  thirdAndFourth.times = 2;
  r.SetCommandFault(0x10C, thirdAndFourth);
  r.SetFault({Fault::NoAnswer});  // never reaches 0x10C while its own rule stands
  std::string pattern;
  for (int i = 0; i < 6; ++i) {
    const auto x = Send(r, 0x10C);
    pattern += x.silent ? 's' : x.reply.valid ? '.' : 'x';
  }
  EXPECT_EQ(pattern, "..xxss");
  FaultRule later{Fault::Truncated};
  later.after = 1;
  r.ClearFaults();
  r.AddFault(later);
  EXPECT_TRUE(Send(r, 0x102).ok());
  EXPECT_FALSE(Send(r, 0x102).reply.valid);
}

TEST(FinalState, EachFormatsReadingMemoryAndHistory) {
  sim::VirtualReader r;
  r.AddTag("hid:118:1603");
  r.AddTag("fdxa:1A2B3C4D5E");
  const int t5577 = r.AddTag("t5577");
  const int em4305 = r.AddTag("em4305:uid=0A0B0C0D");
  ASSERT_TRUE(r.PlaceOnReader(t5577));
  ASSERT_TRUE(Send(r, 0x20C, WriteEm4100).ok());
  ASSERT_TRUE(Send(r, 0x20C, Hex("00 01 23 45 67 8A")).ok());  // written over
  ASSERT_TRUE(r.PlaceOnReader(em4305));
  ASSERT_TRUE(Send(r, 0x30B, Hex("00 00 01 B6 69 03 E7 01 01 00 30 39")).ok());
  ASSERT_TRUE(Send(r, 0x30B, Hex("00 00 01 B6 69 03 E7 01 01 00 30 39")).ok());  // the same again

  const sim::ReaderState s = r.State();
  ASSERT_EQ(s.tags.size(), 4u);
  ASSERT_TRUE(s.tags[0].hid);
  EXPECT_EQ(s.tags[0].hid->card, 1603);
  EXPECT_FALSE(s.tags[0].em4100 || s.tags[0].fdxb || s.tags[0].fdxa || s.tags[0].memory);
  ASSERT_TRUE(s.tags[1].fdxa);
  const sim::TagState& t = s.tags[2];
  ASSERT_TRUE(t.em4100);
  EXPECT_EQ(*t.em4100, (sim::Em4100Id{0x01, 0x23, 0x45, 0x67, 0x8A}));
  EXPECT_EQ(t.carried, (std::vector<std::string>{"EM4100 0123456789", "EM4100 012345678A"}));
  EXPECT_EQ(t.writes, 2);
  ASSERT_TRUE(t.memory);
  EXPECT_EQ(t.memory->words[0], sim::T5577ConfigEm4100);
  const sim::TagState& e = s.tags[3];
  ASSERT_TRUE(e.fdxb);
  EXPECT_EQ(e.fdxb->country, 999);
  EXPECT_EQ(e.fdxb->national, 112233u);
  EXPECT_EQ(e.fdxb->trailer, 12345u);
  EXPECT_EQ(e.carried.size(), 1u);
  EXPECT_TRUE(e.onReader);
  EXPECT_EQ(e.memory->words[4], sim::Em4305ConfigFdxb);
  EXPECT_TRUE(e.memory->locked[1]);

  const std::string text = sim::StateText(s);
  for (const char* line : {"tag 1 hid\n  hid facility 118 card 1603\n", "  fdxa 1A2B3C4D5E\n",
                           "  em4100 012345678A\n", "  written 2 times, carried: [EM4100 0123456789] [EM4100 012345678A]\n",
                           "  block 0:0 00148040\n", "  block 1:1 ", "tag 4 em4305 on-reader\n",
                           "  fdxb country 999 national 000000112233 trailer 12345 data-block animal\n",
                           "  word 1 0A0B0C0D locked\n", "  word 4 0002008F\n", "faults injected: 0\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
}

TEST(FinalState, SilentTagsAndInjectedFaultsAreNamed) {
  sim::VirtualReader r;
  r.AddTag("t5577:pwd=11223344:aor");
  r.SetFault({Fault::Truncated});
  Send(r, 0x102);
  const std::string text = sim::StateText(r.State());
  EXPECT_NE(text.find("reads as: nothing (the tag is silent)"), std::string::npos) << text;
  EXPECT_NE(text.find("faults injected: 1 (truncated 1)"), std::string::npos) << text;
}

}  // namespace
}  // namespace rivelo::simtest
