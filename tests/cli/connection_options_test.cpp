// --port and --simulate as the window programs read them, through the parser they share with
// rivelo.
#include <gtest/gtest.h>

#include "cli/connection_options.h"
#if RIVELO_HAS_SIM
#include "sim/sim_options.h"
#include "sim/tag_kinds.h"
#endif

namespace rivelo {
namespace {

const std::string PortHelp = "a port";

TEST(ConnectionOptions, PortsAndTags) {
  ConnectionParse p = ParseConnectionArguments({"--port", "/dev/ttyUSB3", "--port=/dev/ttyS1"}, PortHelp);
  EXPECT_EQ(p.error, "");
  EXPECT_EQ(p.options.ports, (std::vector<std::string>{"/dev/ttyUSB3", "/dev/ttyS1"}));
  EXPECT_FALSE(p.options.simulate);

  // A bare --simulate means the same everywhere: the EM4100 tag with two blanks beside it.
  p = ParseConnectionArguments({"--simulate"}, PortHelp);
  EXPECT_TRUE(p.options.simulate);
  EXPECT_EQ(p.options.simulatedTags, (std::vector<std::string>{"em4100:0123456789", "t5577", "em4305"}));
  EXPECT_EQ(p.options.simulatedTags, DefaultSimulatedTags());

  p = ParseConnectionArguments({"--simulate=fdxb:999:112233,,hid:118:1603", "--port", "p"}, PortHelp);
  EXPECT_EQ(p.error, "");
  EXPECT_EQ(p.options.simulatedTags, (std::vector<std::string>{"fdxb:999:112233", "hid:118:1603"}));
  EXPECT_EQ(p.options.ports, std::vector<std::string>{"p"});
  // --simulate takes its list only after '=': the next word is not a tag list.
  p = ParseConnectionArguments({"--simulate", "--port", "p"}, PortHelp);
  EXPECT_EQ(p.options.simulatedTags, DefaultSimulatedTags());
  EXPECT_EQ(p.options.ports, std::vector<std::string>{"p"});
}

#if RIVELO_HAS_SIM
// Every kind of the virtual reader's table is offered in rivelo-sim's usage, and its example
// (what the virtual reader's window suggests) is a tag that --simulate takes.
TEST(ConnectionOptions, EveryTagKindIsOfferedAndItsExampleTaken) {
  for (const sim::TagKindRow& row : sim::TagKinds()) {
    const std::string syntax = std::string(row.name) + row.parameters;
    SCOPED_TRACE(syntax);
    EXPECT_NE(sim::SimUsage.find(syntax), std::string::npos);
    EXPECT_NE(SimulatedTagKinds().find(syntax), std::string::npos);
    const std::string tag = std::string(row.name) + ":" + row.example;
    EXPECT_EQ(ParseConnectionArguments({"--simulate=" + tag}, PortHelp).error, "");
  }
  EXPECT_NE(SimulatedTagError("rfid:1").find(sim::TagKindNames()), std::string::npos);
}
#endif

TEST(ConnectionOptions, RefusalsLeaveNothingHalfRead) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{{"--port"},
                                                                                    {"--port="},
                                                                                    {"--port", ""},
                                                                                    {"--verbose"},
                                                                                    {"--simulate=bogus:1"},
                                                                                    {"--simulate="},
                                                                                    {"--simulate=,"},
                                                                                    {"--simulate", "--simulate"},
                                                                                    {"--port", "a", "stray"}}) {
    const ConnectionParse p = ParseConnectionArguments(args, PortHelp);
    EXPECT_NE(p.error, "") << ::testing::PrintToString(args);
    EXPECT_EQ(p.error.find('\n'), std::string::npos) << p.error;
    EXPECT_FALSE(p.options.simulate);
    EXPECT_TRUE(p.options.ports.empty());
  }
  EXPECT_NE(
      ParseConnectionArguments({"--simulate=em4100:0123456789,t5577:pwd=12"}, PortHelp).error.find("t5577:pwd=12"),
      std::string::npos);
}

TEST(ConnectionOptions, TagListsSkipEmptyItems) {
  EXPECT_EQ(SplitTagList(",em4305,,t5577,"), (std::vector<std::string>{"em4305", "t5577"}));
  EXPECT_TRUE(SplitTagList("").empty());
  EXPECT_EQ(SimulatedTagError("em4305:uid=11223344"), "");
  EXPECT_NE(SimulatedTagError("em4100"), "");
}

}  // namespace
}  // namespace rivelo
