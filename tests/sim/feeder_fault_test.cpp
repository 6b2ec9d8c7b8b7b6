// The operator's side (tags, feeder), the fault knobs and the journal.
#include <gtest/gtest.h>

#include <set>

#include "test_frames.h"

namespace rivelo::simtest {
namespace {

using sim::Fault;
using sim::FaultRule;

TEST(Tags, TextsAndTheField) {
  sim::VirtualReader r;
  std::string error;
  EXPECT_EQ(r.AddTag("t5577:pwd=1234", &error), -1);
  EXPECT_FALSE(error.empty());
  for (const char* bad : {"fdxb:1024:1", "fdxa:8000000000", "hid:256:1", "em4100:01234567", "mifare"})
    EXPECT_EQ(r.AddTag(bad), -1) << bad;
  EXPECT_TRUE(r.Tags().empty());

  const int em = r.AddTag("em4100:0123456789");
  const int fdxb = r.AddTag("fdxb:999:112233");
  EXPECT_EQ(r.TagOnReader(), em);  // the first one goes on the reader
  EXPECT_EQ(r.Tags()[1].identity, "FDX-B 999-000000112233");
  ASSERT_TRUE(r.PlaceOnReader(fdxb));
  EXPECT_EQ(Send(r, 0x10B).reply.payload, Hex("00 00 01 B6 69 03 E7 00 01 00 00 00"));
  EXPECT_FALSE(r.PlaceOnReader(99));
  EXPECT_EQ(r.TagOnReader(), fdxb);
  ASSERT_TRUE(r.RemoveTag(fdxb));
  EXPECT_FALSE(r.TagOnReader());
  EXPECT_FALSE(r.RemoveTag(fdxb));
}

// The operator lifts the tag on the reader at an acknowledgement: true if it was swapped.
bool AcknowledgeSwaps(sim::VirtualReader& r) {
  const auto before = r.TagOnReader();
  EXPECT_TRUE(Send(r, 0x103, {10}).ok());
  return r.TagOnReader() != before;
}

TEST(Feeder, FirstBlankIsOnTheReaderAtOnce) {
  sim::VirtualReader r;
  const int own = r.AddTag("em4100:0123456789");
  r.SetFeeder("em4305", 3, 60'000);  // the delay is for the next ones only
  const auto blank = r.TagOnReader();
  ASSERT_TRUE(blank);
  EXPECT_NE(*blank, own);
  EXPECT_TRUE(r.Info(*blank)->fed);
  EXPECT_EQ(r.Info(*blank)->kind, "em4305");
  EXPECT_FALSE(r.Info(own)->onReader);  // back beside the reader
  EXPECT_EQ(r.FeederRemaining(), 2);
  EXPECT_EQ(r.Tags().size(), 2u);

  // A new stack starts with its own first blank; one chip in all leaves none to come.
  r.SetFeeder("t5577", 1, 0);
  ASSERT_TRUE(r.TagOnReader());
  const int only = *r.TagOnReader();
  EXPECT_EQ(r.Info(only)->kind, "t5577");
  EXPECT_EQ(r.FeederRemaining(), 0);
  ASSERT_TRUE(Send(r, 0x20C, Hex("00 01 23 45 67 89")).ok());
  EXPECT_FALSE(AcknowledgeSwaps(r));

  // Read-only tags cannot be fed, and turning the feeder off leaves the reader as it is.
  r.SetFeeder("em4100:0123456789", 5, 0);
  EXPECT_EQ(r.FeederRemaining(), 0);
  r.SetFeeder("t5577", 0, 0);
  EXPECT_EQ(r.TagOnReader(), only);
  EXPECT_EQ(r.Tags().size(), 3u);
}

TEST(Feeder, TwentyBlanksHoldTwentyIdentities) {
  sim::VirtualReader r;
  r.SetFeeder("em4305", 20, 0);
  EXPECT_EQ(r.FeederRemaining(), 19);
  ASSERT_TRUE(Send(r, 0x103, {10}).ok());  // the connect message's acknowledgement
  for (std::uint8_t i = 0; i < 20; ++i) {
    ASSERT_TRUE(r.TagOnReader());
    ASSERT_TRUE(Send(r, 0x30C, {0, 0x10, 0, 0, 0, i}).ok());
    ASSERT_EQ(Send(r, 0x10C).reply.payload, (Bytes{0x10, 0, 0, 0, i}));
    ASSERT_TRUE(Send(r, 0x103, {10}).ok());
  }
  EXPECT_EQ(r.FeederRemaining(), 0);
  std::set<std::string> identities;
  for (const auto& t : r.Tags()) {
    EXPECT_TRUE(t.fed);
    EXPECT_EQ(t.kind, "em4305");
    identities.insert(t.identity);
  }
  EXPECT_EQ(r.Tags().size(), 20u);
  EXPECT_EQ(identities.size(), 20u);
  EXPECT_EQ(identities.count(""), 0u);
  // The stack is empty: the last tag stays where it is.
  EXPECT_TRUE(r.TagOnReader());
  EXPECT_EQ(r.GetCounters().acknowledgements, 21);
}

// Stacks follow each other. The error indication after a write puts the fed tag in the reject
// tray and brings the next blank (the last one leaves the reader empty); one without a write
// to the tag, as after a read that found nothing, leaves the reader as it is.
TEST(Feeder, StacksInOrderAndTheRejectTray) {
  sim::VirtualReader r;
  r.SetFeeder({{"t5577:pwd=11223344", 1}, {"em4305", 1}}, 0);
  const auto locked = r.TagOnReader();
  ASSERT_TRUE(locked);
  EXPECT_EQ(r.FeederRemaining(), 1);
  ASSERT_TRUE(Send(r, 0x104, {1}).ok());
  EXPECT_EQ(r.TagOnReader(), locked);
  Send(r, 0x20C, Hex("00 01 23 45 67 89"));
  ASSERT_TRUE(Send(r, 0x104, {1}).ok());
  const auto next = r.TagOnReader();
  ASSERT_TRUE(next && next != locked);
  EXPECT_EQ(r.Info(*next)->kind, "em4305");
  EXPECT_EQ(r.FeederRemaining(), 0);
  Send(r, 0x20C, Hex("00 01 23 45 67 89"));  // no T5577: refused
  ASSERT_TRUE(Send(r, 0x104, {1}).ok());
  EXPECT_FALSE(r.TagOnReader());
  EXPECT_EQ(r.Tags().size(), 2u);
}

struct HostCommand {
  const char* chip;
  std::uint16_t code;
  Bytes data;
};

TEST(Feeder, EveryKindOfWriteLetsTheTagBeLifted) {
  const Bytes fdxb = Hex("00 00 01 B6 69 03 E7 00 01 00 00 00");
  const std::vector<HostCommand> writes = {
      {"t5577", 0x201, Hex("02 00 00 00 00 2A 01")},
      {"t5577", 0x202, Hex("02 00 00 00 00 00 00 00 00 2A 01")},
      {"t5577", 0x20A, Hex("1A 2B 3C 4D 5E")},
      {"t5577", 0x20B, fdxb},
      {"t5577", 0x20C, Hex("00 01 23 45 67 89")},
      {"t5577", 0x20D, Hex("76 06 43")},
      {"em4305", 0x301, Hex("05 2A 00 00 00")},
      {"em4305", 0x304, Hex("20 00 00 00")},
      {"em4305", 0x30B, fdxb},
      {"em4305", 0x30C, Hex("00 01 23 45 67 89")},
  };
  for (const auto& w : writes) {
    SCOPED_TRACE(testing::Message() << w.chip << " " << std::hex << w.code);
    sim::VirtualReader r;
    r.SetFeeder(w.chip, 3, 0);
    EXPECT_FALSE(AcknowledgeSwaps(r));  // as after a connect
    ASSERT_TRUE(Send(r, w.code, w.data).ok());
    EXPECT_TRUE(AcknowledgeSwaps(r));
    EXPECT_EQ(r.FeederRemaining(), 1);
    // The next blank is not written yet, whatever its predecessor was.
    EXPECT_FALSE(AcknowledgeSwaps(r));
    EXPECT_EQ(r.FeederRemaining(), 1);
  }
}

TEST(Feeder, ReadsAndReaderCommandsDoNotCountAsWrites) {
  const std::vector<HostCommand> others = {
      {"t5577", 0x102, {}},          {"t5577", 0x104, {1}},
      {"t5577", 0x107, {0x25}},      {"t5577", 0x10C, {}},
      {"t5577", 0x10B, {}},          {"t5577", 0x204, {2, 0}},
      {"t5577", 0x205, Hex("02 00 00 00 00 01")},
      {"t5577", 0x206, {2}},         {"t5577", 0x203, Hex("00 00 00 00")},
      {"t5577", 0x207, {}},          {"t5577", 0x208, {}},
      {"em4305", 0x302, {5}},        {"em4305", 0x303, Hex("00 00 00 00")},
      {"em4305", 0x10C, {}},
  };
  for (const char* chip : {"t5577", "em4305"}) {
    SCOPED_TRACE(chip);
    sim::VirtualReader r;
    r.SetFeeder(chip, 3, 0);
    for (const auto& c : others)
      if (std::string(c.chip) == chip) Send(r, c.code, c.data);
    EXPECT_FALSE(AcknowledgeSwaps(r));
    EXPECT_EQ(r.FeederRemaining(), 2);
  }
}

TEST(Feeder, RefusedWritesDoNotCount) {
  sim::VirtualReader r;
  r.SetFeeder("em4305", 3, 0);
  ASSERT_TRUE(Send(r, 0x301, Hex("01 00 00 00 00")).failed());  // the UID word
  ASSERT_TRUE(Send(r, 0x20C, Hex("00 01 23 45 67 89")).failed());  // a T5577 write
  ASSERT_TRUE(Send(r, 0x30C, Hex("00 01 23")).failed());  // short data
  EXPECT_FALSE(AcknowledgeSwaps(r));

  r.SetFeeder("t5577:pwd=11223344", 3, 0);
  ASSERT_TRUE(Send(r, 0x202, Hex("02 11 22 33 45 00 00 00 00 2A 01")).failed());  // wrong password
  ASSERT_TRUE(Send(r, 0x201, Hex("02 00 00 00 00 2A 09")).failed());  // no such block
  EXPECT_FALSE(AcknowledgeSwaps(r));
  ASSERT_TRUE(Send(r, 0x202, Hex("02 11 22 33 44 00 00 00 00 2A 01")).ok());
  EXPECT_TRUE(AcknowledgeSwaps(r));
}

TEST(Feeder, WrittenCountsOnlySinceTheTagWasPutOn) {
  sim::VirtualReader r;
  r.SetFeeder("t5577", 3, 0);
  const int blank = *r.TagOnReader();
  ASSERT_TRUE(Send(r, 0x20C, Hex("00 01 23 45 67 89")).ok());
  r.TakeOffReader();
  ASSERT_TRUE(r.PlaceOnReader(blank));
  EXPECT_FALSE(AcknowledgeSwaps(r));
  EXPECT_EQ(r.FeederRemaining(), 2);
}

TEST(Feeder, FieldIsEmptyWhileTheNextBlankIsOnItsWay) {
  sim::VirtualReader r;
  const int first = r.AddTag("t5577");
  r.SetFeeder("t5577", 3, 60'000);
  ASSERT_TRUE(Send(r, 0x20C, Hex("00 01 23 45 67 89")).ok());
  ASSERT_TRUE(Send(r, 0x103, {10}).ok());
  EXPECT_FALSE(r.TagOnReader());
  EXPECT_EQ(r.FeederRemaining(), 1);
  // Acknowledgements meanwhile do not take another blank.
  ASSERT_TRUE(Send(r, 0x103, {10}).ok());
  EXPECT_EQ(r.FeederRemaining(), 1);
  EXPECT_TRUE(Send(r, 0x10C).failed());
  // Turning the feeder off cancels the one on its way.
  r.SetFeeder("t5577", 0, 0);
  ASSERT_TRUE(Send(r, 0x103, {10}).ok());
  EXPECT_FALSE(r.TagOnReader());
  EXPECT_EQ(r.Tags().size(), 2u);
  EXPECT_TRUE(r.PlaceOnReader(first));
}

TEST(Faults, EachKindShapesTheReply) {
  sim::VirtualReader r;
  r.AddTag("t5577");
  const Bytes good = r.Respond(RequestFrame(0x102, {})).bytes;

  r.SetFault({Fault::BadChecksum});
  auto reply = r.Respond(RequestFrame(0x102, {}));
  EXPECT_EQ(reply.bytes.size(), good.size());
  EXPECT_FALSE(ParseReply(reply.bytes).valid);

  r.SetFault({Fault::Truncated});
  reply = r.Respond(RequestFrame(0x102, {}));
  EXPECT_LT(reply.bytes.size(), good.size());
  EXPECT_FALSE(ParseReply(reply.bytes).valid);

  r.SetFault({Fault::TrailingBytes});
  reply = r.Respond(RequestFrame(0x102, {}));
  EXPECT_GT(reply.bytes.size(), good.size());
  EXPECT_EQ(Bytes(reply.bytes.begin(), reply.bytes.begin() + static_cast<long>(good.size())), good);

  r.SetFault({Fault::Late, 1.0, 1500});
  reply = r.Respond(RequestFrame(0x102, {}));
  EXPECT_EQ(reply.bytes, good);
  EXPECT_EQ(reply.delayMs, 1500);

  // A lost answer still leaves the work done on the tag.
  r.SetFault({Fault::NoAnswer});
  EXPECT_TRUE(r.Respond(RequestFrame(0x20C, Hex("00 01 23 45 67 89"))).bytes.empty());
  r.ClearFaults();
  EXPECT_EQ(Send(r, 0x10C).reply.payload, Hex("01 23 45 67 89"));

  // A misread is a valid "no identity" to an identity read of a tag that sends one; no other
  // reply, and no tag without an identity, is touched, and only misreads that hid one count.
  r.SetFault({Fault::Misread});
  EXPECT_TRUE(Send(r, 0x10C).failed());
  EXPECT_EQ(r.Respond(RequestFrame(0x102, {})).bytes, good);
  EXPECT_EQ(r.GetCounters().faultsByKind[static_cast<std::size_t>(Fault::Misread)], 1);
  EXPECT_TRUE(Send(r, 0x10B).failed());  // no FDX-B identity to hide
  EXPECT_EQ(r.GetCounters().faultsByKind[static_cast<std::size_t>(Fault::Misread)], 1);
}

TEST(Faults, PerCommandRuleWinsAndCountsDown) {
  sim::VirtualReader r;
  r.AddTag("em4100:0123456789");
  r.SetFault({Fault::BadChecksum});
  FaultRule once{Fault::NoAnswer};
  once.times = 2;
  r.SetCommandFault(0x10C, once);
  EXPECT_TRUE(Send(r, 0x10C).silent);
  EXPECT_TRUE(Send(r, 0x10C).silent);
  EXPECT_FALSE(Send(r, 0x10C).reply.valid);  // used up: the global rule applies again
  EXPECT_FALSE(Send(r, 0x102).reply.valid);
  r.SetFault({});
  EXPECT_TRUE(Send(r, 0x10C).ok());
}

TEST(Faults, ProbabilityRepeatsWithTheSeed) {
  const auto pattern = [](std::uint64_t seed) {
    sim::VirtualReader r;
    r.SetSeed(seed);
    r.SetFault({Fault::NoAnswer, 0.3});
    std::string p;
    for (int i = 0; i < 200; ++i) p += Send(r, 0x102).silent ? 'x' : '.';
    return p;
  };
  const std::string a = pattern(7);
  EXPECT_EQ(a, pattern(7));
  EXPECT_NE(a, pattern(8));
  const auto lost = std::count(a.begin(), a.end(), 'x');
  EXPECT_GT(lost, 30);
  EXPECT_LT(lost, 90);
}

TEST(Knobs, RadioTimeIsAddedToTheDelay) {
  sim::VirtualReader r;
  r.AddTag("em4100:0123456789");
  EXPECT_EQ(r.Respond(RequestFrame(0x10C, {})).delayMs, 0);
  r.SetRadioTiming(true);
  EXPECT_EQ(r.Respond(RequestFrame(0x10C, {})).delayMs, sim::RadioTimeMs(0x10C));
  EXPECT_EQ(r.Respond(RequestFrame(0x102, {})).delayMs, 0);
  EXPECT_GT(sim::RadioTimeMs(0x20C), sim::RadioTimeMs(0x10C));
}

TEST(Journal, RecordsRequestReplyAndTheTag) {
  sim::VirtualReader r;
  r.AddTag("em4100:0123456789");
  std::vector<std::string> lines;
  r.SetJournalSink([&](const std::string& line) { lines.push_back(line); });
  Send(r, 0x10C);
  r.SetFault({Fault::NoAnswer});
  Send(r, 0x102);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_NE(lines[0].find("> AA DD 00 03 01 0C 0D [tag 1 em4100]"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("< AA DD 00 09 01 0C 00 01 23 45 67 89"), std::string::npos) << lines[1];
  EXPECT_NE(lines[3].find("(silent) [fault: no answer]"), std::string::npos) << lines[3];
  EXPECT_FALSE(r.SetJournal("/nonexistent-dir/journal.txt"));
}

}  // namespace
}  // namespace rivelo::simtest
