// Command lines rivelo must refuse (exit 2, one line saying why, then the command's usage),
// and its help texts.
#include <gtest/gtest.h>

#include "cli/format_table.h"
#include "tests/cli/cli_test_support.h"

namespace rivelo {
namespace {

using test::Rivelo;

// A refusal: exit 2, nothing on standard output, the reason first, then the usage line of
// the command at hand.
void ExpectUsageError(const std::vector<std::string>& args, const std::string& reason, const std::string& usage) {
  SCOPED_TRACE(::testing::PrintToString(args));
  const test::Outcome o = Rivelo(args);
  EXPECT_EQ(o.code, 2);
  EXPECT_TRUE(o.out.empty());
  ASSERT_GE(o.err.size(), 2u) << o.errText;
  EXPECT_EQ(o.err[0].rfind("rivelo: ", 0), 0u) << o.err[0];
  EXPECT_NE(o.err[0].find(reason), std::string::npos) << o.err[0];
  EXPECT_EQ(o.err[1].rfind("usage: " + usage, 0), 0u) << o.err[1];
}

TEST(Usage, CommandsAndFormats) {
  ExpectUsageError({}, "a command is required", "rivelo [--port");
  ExpectUsageError({"bogus"}, "unknown command 'bogus'", "rivelo [--port");
  ExpectUsageError({"read"}, "needs a format", "rivelo read FORMAT");
  ExpectUsageError({"run", "fdxz"}, "unknown command 'fdxz' for 'rivelo run'", "rivelo run FORMAT");
  ExpectUsageError({"write", "em4100"}, "HEX10 is required", "rivelo write em4100 HEX10");
  ExpectUsageError({"write", "em4100", "0123456789", "extra"}, "unexpected argument 'extra'", "rivelo write em4100");
  ExpectUsageError({"send"}, "CODE is required", "rivelo send CODE");
}

TEST(Usage, OptionsBelongToTheirCommand) {
  // Options that were silently ignored before.
  ExpectUsageError({"--simulate", "write", "em4100", "0123456789", "--count", "5"},
                   "--count is an option of 'rivelo read em4100', not of 'rivelo write em4100'", "rivelo write em4100");
  ExpectUsageError({"write", "em4100", "0123456789", "--file", "x"}, "--file is an option of 'rivelo run em4100'",
                   "rivelo write em4100");
  ExpectUsageError({"identify", "--lock"}, "--lock is an option of", "rivelo identify");
  ExpectUsageError({"--count", "3", "run", "em4100", "--continuous", "0123456789"},
                   "--count goes after 'rivelo run em4100'", "rivelo run em4100");
  ExpectUsageError({"read", "em4100", "--verbose"}, "unknown option --verbose", "rivelo read em4100");
  ExpectUsageError({"read", "em4100", "--export", "out"}, "--export needs --continuous", "rivelo read em4100");
  ExpectUsageError({"read", "em4100", "--count", "2"}, "--count needs --continuous", "rivelo read em4100");
  ExpectUsageError({"run", "em4100", "--count", "2"}, "give one of --continuous, --incremental and --file",
                   "rivelo run em4100");
  ExpectUsageError({"run", "em4100", "--continuous", "0123456789", "--file", "x"}, "give one of", "rivelo run em4100");
  ExpectUsageError({"run", "em4100", "--incremental", "0123456789", "--feed", "t5577"}, "--feed needs --simulate",
                   "rivelo run em4100");
  ExpectUsageError({"--json=yes", "identify"}, "--json takes no value", "rivelo");
  ExpectUsageError({"read", "em4100", "--form", "10H", "--form", "13D"}, "--form is given more than once",
                   "rivelo read em4100");
}

TEST(Usage, MissingEmptyAndBadValues) {
  ExpectUsageError({"write", "em4100", "0123456789", "--protect", "11223344", "--lock", "--yes"},
                   "--protect and --lock", "rivelo write em4100");
  ExpectUsageError({"run", "hid", "--incremental", "1", "2", "--protect", "env"}, "RIVELO_NEW_PASSWORD is not set",
                   "rivelo run hid");
  ExpectUsageError({"run", "fdxa", "--incremental", "0000000001", "--password", "0x112233"},
                   "--password: not 8 hex digits", "rivelo run fdxa");
  ExpectUsageError({"run", "em4100", "--incremental"}, "--incremental needs a value", "rivelo run em4100");
  ExpectUsageError({"run", "em4100", "--incremental="}, "--incremental: the value is empty", "rivelo run em4100");
  ExpectUsageError({"--simulate", "read", "em4100", "--continuous", "--export", ""}, "--export: the value is empty",
                   "rivelo read em4100");
  ExpectUsageError({"--port=", "identify"}, "--port: the value is empty", "rivelo identify");
  ExpectUsageError({"--port", "", "identify"}, "--port: the path is empty", "rivelo identify");
  ExpectUsageError({"write", "em4100", "01234567"}, "'01234567' is not an identity", "rivelo write em4100");
  ExpectUsageError({"write", "em4100", "012345678G"}, "is not an identity", "rivelo write em4100");
  ExpectUsageError({"run", "em4100", "--continuous", "0x12345678"}, "is not an identity", "rivelo run em4100");
  ExpectUsageError({"read", "em4100", "--form", "10D"}, "'10D' is not a form of em4100 (10H, 08H, 06H, 02H04H, 13D)",
                   "rivelo read em4100");
  for (const std::string count : {"0", "-1", "x", "1000001", "99999999999", "1.5"})
    ExpectUsageError({"run", "em4100", "--incremental", "0123456789", "--count", count},
                     "'" + count + "' is not a count from 1 to 1000000", "rivelo run em4100");
  ExpectUsageError({"send", "10000"}, "'10000' is not a command code", "rivelo send");
  ExpectUsageError({"send", "10C", "1FF"}, "'1FF' is not a byte", "rivelo send");
  std::vector<std::string> tooMany{"send", "301"};
  tooMany.resize(tooMany.size() + 65, "00");
  ExpectUsageError(tooMany, "at most 64 data bytes", "rivelo send");
}

// Each FDX-B value out of its range or no number, named; options that would be ignored.
TEST(Usage, FdxbValuesAndOptions) {
  const std::string write = "rivelo write fdxb", run = "rivelo run fdxb";
  ExpectUsageError({"write", "fdxb", "1024", "5"}, "country code 1024 is out of range (0 to 1023)", write);
  ExpectUsageError({"write", "fdxb", "999", "274877906944"},
                   "national code 274877906944 is out of range (0 to 274877906943)", write);
  ExpectUsageError({"write", "fdxb", "999", "99999999999999999999999"}, "national code 99999999999999999999999 is out",
                   write);
  ExpectUsageError({"write", "fdxb", "999", "5", "--trailer", "16777216"},
                   "trailer 16777216 is out of range (0 to 16777215)", write);
  ExpectUsageError({"write", "fdxb", "x", "5"}, "country code 'x' is not a decimal number from 0 to 1023", write);
  ExpectUsageError({"write", "fdxb", "999", "-5"}, "national code '-5' is not a decimal number", write);
  ExpectUsageError({"write", "fdxb", "999", "0x10"}, "national code '0x10' is not a decimal number", write);
  ExpectUsageError({"write", "fdxb", "999"}, "NATIONAL is required", write);
  ExpectUsageError({"write", "fdxb", "999", "5", "--lock"}, "--lock is an option of 'rivelo write em4100'", write);
  ExpectUsageError({"write", "fdxb", "999", "5", "--chip", "em4100"}, "'em4100' is no chip of fdxb: em4305 or t5577",
                   write);
  ExpectUsageError({"run", "fdxb", "--incremental", "999", "274877906944"}, "--incremental: national code", run);
  ExpectUsageError({"run", "fdxb", "--continuous", "1024", "5"}, "--continuous: country code 1024 is out", run);
  ExpectUsageError({"run", "fdxb", "--continuous", "999", "--count", "2"}, "--continuous needs COUNTRY NATIONAL", run);
  ExpectUsageError({"run", "fdxb", "--continuous", "999", "5", "6"}, "unexpected argument '6'", run);
  ExpectUsageError({"run", "fdxb", "--continuous", "999", "5", "--continuous", "999", "6"},
                   "--continuous is given more than once", run);
  ExpectUsageError({"run", "fdxb", "--file", "ids.txt", "--trailer", "5"}, "--trailer needs --continuous or", run);
  ExpectUsageError({"read", "fdxb", "--trailer", "5"}, "--trailer is an option of", "rivelo read fdxb");
  ExpectUsageError({"read", "fdxb", "--form", "10H"}, "'10H' is not a form of fdxb (24D, 15D)", "rivelo read fdxb");
}

TEST(Usage, VirtualReaderTagsAndFeederKinds) {
  ExpectUsageError({"--simulate=bogus:tag", "identify"}, "--simulate: bad tag 'bogus:tag'", "rivelo identify");
  ExpectUsageError({"--simulate=em4100:0123456789,em4100:12", "identify"}, "bad tag 'em4100:12'", "rivelo identify");
  ExpectUsageError({"--simulate=", "identify"}, "--simulate: the value is empty", "rivelo identify");
  ExpectUsageError({"--simulate=,", "identify"}, "no tag in the list", "rivelo identify");
  ExpectUsageError({"--simulate", "--simulate", "identify"}, "--simulate is given more than once", "rivelo identify");
  for (const std::string kind : {"bogus", "em4100:0123456789", "t5577:pwd=XYZ", "em4305:nonsense"})
    ExpectUsageError({"--simulate", "run", "em4100", "--incremental", "0123456789", "--feed", kind},
                     "--feed:", "rivelo run em4100");
}

// Every help text: exit 0, on standard output, and no line wider than 80 columns.
TEST(Help, EveryCommandHasOneThatFitsATerminal) {
  std::vector<std::vector<std::string>> commands{{}, {"identify"}, {"send"}, {"read"}, {"write"}, {"run"}};
  for (const FormatEntry& format : FormatTable())
    for (const std::string family : {"read", "write", "run"}) commands.push_back({family, format.format->name});
  commands.push_back({"t5577"});
  for (const std::string sub : {"read-block", "write-block", "read-page", "wake", "reset", "restore-config", "info",
                                "set-password", "clear-password"})
    commands.push_back({"t5577", sub});
  commands.push_back({"em4305"});
  for (const std::string sub :
       {"read-word", "write-word", "login", "set-password", "protect", "disable", "dump"})
    commands.push_back({"em4305", sub});
  for (auto args : commands) {
    const std::string path = "rivelo" + [&] {
      std::string p;
      for (const auto& a : args) p += " " + a;
      return p;
    }();
    args.push_back("--help");
    const test::Outcome o = Rivelo(args);
    SCOPED_TRACE(path);
    EXPECT_EQ(o.code, 0);
    EXPECT_TRUE(o.err.empty());
    ASSERT_FALSE(o.out.empty());
    EXPECT_EQ(o.out[0].rfind("usage: " + path, 0), 0u) << o.out[0];
    for (const std::string& line : o.out) EXPECT_LE(line.size(), 80u) << line;
  }
  const test::Outcome top = Rivelo({"-h"});
  EXPECT_NE(top.out.size(), 0u);
  std::string text;
  for (const std::string& line : top.out) text += line + " ";
  EXPECT_NE(text.find("4 no reader found, and a port was in use"), std::string::npos)
      << "the exit codes belong in the help";
}

}  // namespace
}  // namespace rivelo
