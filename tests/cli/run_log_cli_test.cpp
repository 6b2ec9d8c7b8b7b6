// rivelo's --log: one CSV line for every tag a write or run wrote and verified.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/cli/cli_test_support.h"

namespace rivelo {
namespace {

using test::Rivelo;

std::vector<std::string> CsvLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(RunLog, WriteAndFileRunsAppendTheirTagsWithRunAndLineNumbers) {
  const test::TempDir dir("cli_run_log");
  const std::string log = (dir.Path() / "log.csv").string();
  test::Outcome o = Rivelo({"--simulate", "write", "em4100", "0123456789", "--log", log});
  ASSERT_EQ(o.code, 0) << o.errText;
  // 0123456789 and 012345678A in decimal, after a blank line.
  const std::string file = dir.File("ids.txt", "\n4886718345\n4886718346\n");
  o = Rivelo({"--simulate", "run", "em4100", "--file", file, "--log", log});
  ASSERT_EQ(o.code, 0) << o.errText;
  EXPECT_TRUE(Has(o.errText, "Run log: " + log)) << o.errText;

  const auto lines = CsvLines(log);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].rfind("time,page,chip,run,file_line,10H", 0), 0u) << lines[0];
  EXPECT_TRUE(Has(lines[1], ",rivelo em4100,EM4305,1,,0123456789,")) << lines[1];
  EXPECT_TRUE(Has(lines[2], ",rivelo em4100,EM4305,2,2,0123456789,")) << lines[2];
  EXPECT_TRUE(Has(lines[3], ",rivelo em4100,EM4305,2,3,012345678A,")) << lines[3];

  // A log the operator names may be a link of the operator's own.
  const std::string link = (dir.Path() / "link.csv").string();
  std::filesystem::create_symlink(log, link);
  o = Rivelo({"--simulate", "write", "em4100", "0123456789", "--log", link});
  ASSERT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(CsvLines(log).size(), 5u);
}

TEST(RunLog, AnUnusableLogStopsTheRunBeforeAnythingIsWritten) {
  const test::TempDir dir("cli_run_log_bad");
  const std::string fdxbLog = dir.File("fdxb.csv", "time,page,chip,run,file_line,24D\n");
  for (const std::string& log : {(dir.Path() / "no" / "such" / "log.csv").string(), fdxbLog}) {
    test::Outcome o =
        Rivelo({"--simulate", "run", "em4100", "--incremental", "0000000001", "--count", "2", "--log", log});
    EXPECT_EQ(o.code, 1) << log;
    EXPECT_TRUE(o.out.empty()) << log;
    EXPECT_TRUE(Has(o.errText, "rivelo: cannot use the run log " + log)) << o.errText;
  }
}

}  // namespace
}  // namespace rivelo
