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

TEST(Feeder, TwentyBlanksHoldTwentyIdentities) {
  sim::VirtualReader r;
  r.SetFeeder("em4305", 20, 0);
  EXPECT_FALSE(r.TagOnReader());
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

TEST(Feeder, FieldIsEmptyWhileTheNextBlankIsOnItsWay) {
  sim::VirtualReader r;
  const int first = r.AddTag("t5577");
  r.SetFeeder("t5577", 3, 60'000);
  ASSERT_TRUE(Send(r, 0x103, {10}).ok());
  EXPECT_FALSE(r.TagOnReader());
  EXPECT_EQ(r.FeederRemaining(), 2);
  // Acknowledgements meanwhile do not take another blank.
  ASSERT_TRUE(Send(r, 0x103, {10}).ok());
  EXPECT_EQ(r.FeederRemaining(), 2);
  EXPECT_TRUE(Send(r, 0x10C).failed());
  // Turning the feeder off cancels the one on its way.
  r.SetFeeder("t5577", 0, 0);
  ASSERT_TRUE(Send(r, 0x103, {10}).ok());
  EXPECT_EQ(r.Tags().size(), 1u);
  EXPECT_TRUE(r.PlaceOnReader(first));
  // Read-only tags cannot be fed.
  r.SetFeeder("em4100:0123456789", 5, 0);
  EXPECT_EQ(r.FeederRemaining(), 0);
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
