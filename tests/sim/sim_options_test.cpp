// The rivelo-sim command line.
#include <gtest/gtest.h>

#include <limits>

#include "sim/sim_options.h"
#include "test_frames.h"

namespace rivelo::simtest {
namespace {

using sim::ParseSimOptions;
using sim::SimOptions;

TEST(SimOptions, ParsesEveryOption) {
  SimOptions o;
  std::string error;
  ASSERT_TRUE(ParseSimOptions({"--tag", "t5577", "--tag", "em4100:0123456789", "--feed", "t5577:pwd=01020304:20", "--feed", "em4305:2",
                               "--feed-delay", "300", "--journal", "-", "--fault", "late:0.25", "--fault-cmd",
                               "10C:no-answer", "--late-ms", "900", "--seed", "42", "--no-pacing",
                               "--radio-timing", "--strict-mode"},
                              &o, &error))
      << error;
  EXPECT_EQ(o.tags, (std::vector<std::string>{"t5577", "em4100:0123456789"}));
  ASSERT_EQ(o.feeds.size(), 2u);  // repeatable, in order
  EXPECT_EQ(o.feeds[0].kind, "t5577:pwd=01020304");
  EXPECT_EQ(o.feeds[0].count, 20);
  EXPECT_EQ(o.feeds[1].kind, "em4305");
  EXPECT_EQ(o.feedDelayMs, 300);
  EXPECT_EQ(o.journal, "-");
  ASSERT_EQ(o.faults.size(), 1u);
  EXPECT_EQ(o.faults[0].fault, sim::Fault::Late);
  EXPECT_DOUBLE_EQ(o.faults[0].probability, 0.25);
  EXPECT_EQ(o.faults[0].lateMs, 900);
  ASSERT_EQ(o.commandFaults.size(), 1u);
  EXPECT_EQ(o.commandFaults[0].first, 0x10C);
  EXPECT_EQ(o.commandFaults[0].second.fault, sim::Fault::NoAnswer);
  EXPECT_EQ(o.seed, 42u);
  EXPECT_EQ(o.pacing, sim::Pacing::Off);
  EXPECT_TRUE(o.radioTiming && o.strictReadMode);
  // The same pacing option twice says the same thing twice; a fixed tag's values may repeat.
  EXPECT_TRUE(ParseSimOptions({"--line-pacing", "--line-pacing", "--tag", "fdxb:999:999"}, &o, &error)) << error;
}

TEST(SimOptions, RejectsBadArguments) {
  SimOptions o;
  std::string error;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--tag"}, {"--feed", "t5577"}, {"--feed", "t5577:x"}, {"--fault", "sometimes"},
        {"--fault", "late:1.5"}, {"--fault-cmd", "10C"}, {"--fault-cmd", "XYZ:late"}, {"--seed", "-1"},
        {"--late-ms", "soon"}, {"--bogus"},
        // contradictory pacing, and a tag setting given twice (which one would win?)
        {"--no-pacing", "--line-pacing"}, {"--tag", "t5577:pwd=11223344:pwd=55667788"},
        {"--tag", "t5577:aor:aor"}, {"--feed", "em4305:uid=01020304:uid=01020304:3"}}) {
    error.clear();
    EXPECT_FALSE(ParseSimOptions(args, &o, &error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

// Every number has a range: a value beyond it, however written, is refused with the range
// named, never wrapped or taken as another value.
TEST(SimOptions, NumbersOutOfRangeAreRefusedWithTheirRange) {
  SimOptions o;
  std::string error;
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"--late-ms", "2147483647"}, "0 to 60000"},
      {{"--late-ms", "60001"}, "0 to 60000"},
      {{"--late-ms", "99999999999999999999"}, "0 to 60000"},
      {{"--late-ms", "-5"}, "0 to 60000"},
      {{"--feed-delay", "600001"}, "0 to 600000"},
      {{"--dwell", "2147483648"}, "0 to 600000"},
      {{"--dwell", "1.5"}, "0 to 600000"},
      {{"--dwell-reads", "1001"}, "0 to 1000"},
      {{"--feed", "t5577:1000001"}, "0 to 1000000"},
      {{"--feed", "t5577:-1"}, "0 to 1000000"},
      {{"--feed", "t5577:1000000", "--feed", "em4305:1"}, "0 to 1000000"},
      {{"--fault", "late:nan"}, "from 0 to 1"},
      {{"--fault", "late:inf"}, "from 0 to 1"},
      {{"--fault", "late:-0.1"}, "from 0 to 1"},
      {{"--fault-cmd", "10C:late:2"}, "from 0 to 1"},
      {{"--fault", "no-answer:0.6", "--fault", "bad-checksum:0.5"}, "more than 1"},
      {{"--state", ""}, "file name"},
  };
  for (const auto& [args, range] : refused) {
    error.clear();
    EXPECT_FALSE(ParseSimOptions(args, &o, &error)) << args[0] << " " << args[1];
    EXPECT_NE(error.find(range), std::string::npos) << error;
  }
  // The limits themselves are fine, and a lift does not take a reply fault's share.
  ASSERT_TRUE(ParseSimOptions({"--late-ms", "60000", "--feed-delay", "600000", "--dwell", "600000", "--dwell-reads",
                               "1000", "--feed", "em4305:1000000", "--fault", "no-answer:0.6", "--fault",
                               "bad-checksum:0.4", "--fault", "lift-after-write:0.5", "--state", "-"},
                              &o, &error))
      << error;
  EXPECT_EQ(o.lateMs, 60000);
  EXPECT_EQ(o.dwellMs, 600000);
  EXPECT_EQ(o.dwellReads, 1000);
  ASSERT_EQ(o.faults.size(), 3u);
  EXPECT_EQ(o.faults[2].fault, sim::Fault::LiftAfterWrite);
  EXPECT_EQ(o.faults[0].lateMs, 60000);
  EXPECT_EQ(o.stateFile, "-");
}

// The longest late reply with the longest radio time still comes late, never at once.
TEST(SimOptions, LateRepliesNeverOverflowIntoEarlyOnes) {
  sim::VirtualReader r;
  r.AddTag("em4100:0123456789");
  r.SetRadioTiming(true);
  r.SetFault({sim::Fault::Late, 1.0, std::numeric_limits<int>::max()});
  EXPECT_EQ(r.Respond(RequestFrame(0x10C, {})).delayMs, sim::MaxLateMs + sim::RadioTimeMs(0x10C));
  r.SetFault({sim::Fault::Late, 1.0, std::numeric_limits<int>::min()});
  EXPECT_EQ(r.Respond(RequestFrame(0x10C, {})).delayMs, sim::RadioTimeMs(0x10C));
}

TEST(SimOptions, ApplyBuildsTheReaderOrSaysWhyNot) {
  SimOptions o;
  std::string error;
  ASSERT_TRUE(ParseSimOptions({"--tag", "hid:1:7", "--tag", "t5577", "--feed", "em4305:5", "--no-pacing"}, &o, &error));
  sim::VirtualReader r;
  ASSERT_TRUE(sim::ApplySimOptions(o, r, &error)) << error;
  // The feeder's first blank takes the place of the first tag.
  ASSERT_EQ(r.Tags().size(), 3u);
  EXPECT_FALSE(r.Tags()[0].onReader);
  EXPECT_TRUE(r.Tags()[2].onReader && r.Tags()[2].fed);
  EXPECT_EQ(r.Tags()[2].kind, "em4305");
  EXPECT_EQ(r.FeederRemaining(), 4);
  EXPECT_EQ(r.GetPacing(), sim::Pacing::Off);
  for (const char* bad : {"em4100:3", "t5577:pwd=zz:3"}) {
    ASSERT_TRUE(ParseSimOptions({"--feed", bad}, &o, &error));
    sim::VirtualReader other;
    EXPECT_FALSE(sim::ApplySimOptions(o, other, &error)) << bad;
  }
}

// N is every chip in the stack: a run that goes on after the last one rewrites it.
TEST(SimOptions, FeedCountIsTheNumberOfChipsWritten) {
  SimOptions o;
  std::string error;
  ASSERT_TRUE(ParseSimOptions({"--feed", "em4305:5"}, &o, &error)) << error;
  sim::VirtualReader r;
  ASSERT_TRUE(sim::ApplySimOptions(o, r, &error)) << error;
  ASSERT_TRUE(Send(r, 0x103, {10}).ok());  // the connect message's acknowledgement
  for (std::uint8_t i = 0; i < 10; ++i) {
    ASSERT_TRUE(Send(r, 0x30C, {0, 0x10, 0, 0, 0, i}).ok());
    ASSERT_TRUE(Send(r, 0x103, {10}).ok());
  }
  std::vector<std::string> identities;
  for (const auto& t : r.Tags()) identities.push_back(t.identity);
  EXPECT_EQ(identities, (std::vector<std::string>{"EM4100 1000000000", "EM4100 1000000001", "EM4100 1000000002",
                                                  "EM4100 1000000003", "EM4100 1000000009"}));
  EXPECT_TRUE(r.Tags().back().onReader);
  EXPECT_EQ(r.FeederRemaining(), 0);
}

}  // namespace
}  // namespace rivelo::simtest
