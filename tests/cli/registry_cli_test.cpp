// rivelo registry: run logs into the registry, and what check, stats and export then say, on a
// SQLite file and on the PostgreSQL server whose URI is in RIVELO_TEST_PG.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>

#include "batch/run_log.h"
#include "cli/json_lines.h"
#include "model/em4100.h"
#include "model/fdxb.h"
#include "tests/batch/test_postgres.h"
#include "tests/cli/cli_test_support.h"

namespace rivelo {
namespace {

enum class Engine { Sqlite, Postgres };

// One command against the registry, in the order of the table; @REG, @EM, @FDXB, @OLD, @BAD stand for
// the registry and the logs, @T1 and @T2 for the times of the first tags of the logs.
struct Step {
  std::vector<std::string> args;
  int code;
  std::vector<std::string> says;  // parts of standard output, or of standard error on failure
  int lines = -1;                 // standard output's lines; -1: any
};

const Step Steps[] = {
    // Lines of refused tags are skipped.
    {{"--json", "registry", "import", "--registry", "@REG", "@FDXB"}, 0,
     {"{\"imported\":2,\"known\":0,\"overReservation\":0,\"repeated\":0,\"refusedSkipped\":1}\n"}},
    // A line that is no whole record refuses every log of the import.
    {{"registry", "import", "--registry", "@REG", "@EM", "@BAD"}, 1,
     {"cannot import @BAD, line 3: its forms are no one em4100 identity; nothing was imported"}},
    {{"--json", "registry", "stats", "--registry", "@REG"}, 0, {"fdxb"}, 1},
    // An identity on two lines is one row.
    {{"registry", "import", "--registry", "@REG", "@EM", "@FDXB", "@OLD"}, 0,
     {"3 imported, 2 already there; 1 line repeated an identity; 2 refused tags skipped\n"}},
    {{"registry", "check", "--registry", "@REG", "--format", "em4100", "0000000009"}, 1, {"issued"}},
    {{"registry", "check", "--registry", "@REG", "--format", "em4100", "0000000002"}, 1,
     {"em4100 0000000002: issued\n", "em.csv run 1\n", "T5577\n", "file line:    7\n", "chip serial:  1A2B3C4D\n"}},
    {{"registry", "check", "--registry", "@REG", "--format", "em4100", "0000000003"}, 0, {"em4100 0000000003: free\n"}},
    {{"registry", "check", "--registry", "@REG", "--format", "fdxb", "000000000001099900000000"}, 1,
     {"fdxb 000000000001099900000000: issued\n", "@T2\n", "chip serial:  E0040000AA\n"}},
    {{"registry", "check", "--registry", "@REG", "000000000002099900000000"}, 0, {"free"}},
    {{"registry", "stats", "--registry", "@REG"}, 0, {"format  issued  reserved\nem4100  3       0\nfdxb    2       0\n"}},
    {{"--json", "registry", "stats", "--registry", "@REG"}, 0,
     {"{\"format\":\"em4100\",\"issued\":3,\"reserved\":0}\n{\"format\":\"fdxb\",\"issued\":2,\"reserved\":0}\n"}},
    {{"--json", "registry", "check", "--registry", "@REG", "--format", "em4100", "0000000001"}, 1,
     {"{\"format\":\"em4100\",\"identity\":\"0000000001\",\"state\":\"issued\",\"time\":\"@T1\",\"leaseUntil\":null,"
      "\"host\":null,\"port\":null,\"run\":\"log ",
      "\",\"chip\":\"EM4305\",\"fileLine\":null,\"chipSerial\":null}\n"}},
    {{"registry", "export", "--registry", "@REG", "--format", "fdxb", "--csv"}, 0,
     {"format,identity,state,time,lease_until,host,port,run,chip,file_line,chip_serial\n"
      "fdxb,000000000001099900000000,issued,"},
     3},
    {{"--json", "registry", "export", "--registry", "@REG"}, 0, {"{\"format\":\"em4100\",\"identity\":\"0000000001\""}, 5},
    // Runs skip what is issued or reserved elsewhere, and stop where they cannot skip.
    {{"--simulate", "run", "em4100", "--incremental", "0000000001", "--count", "2", "--registry", "@REG"}, 0,
     {"Identity registry: @REG\n", "Skipped 0000000001: issued on log @EM run ", "Skipped 0000000002: issued on",
      "1 0000000003\n2 0000000004\n"}, 2},
    {{"--simulate", "run", "em4100", "--file", "@IDS", "--registry", "@REG"}, 0,
     {"Line 1 skipped, 0000000003: issued on", "2 0000000005\n", "Line 4 skipped, 0000000009: issued on",
      "Run summary: 1 written"}, 1},
    {{"--simulate", "run", "em4100", "--file", "@IDS", "--registry", "@REG", "--strict-registry"}, 1,
     {"Taken in the identity registry, the run stopped: 0000000003: issued on"}, 0},
    {{"--simulate", "write", "em4100", "0000000009", "--registry", "@REG"}, 1,
     {"Not written, taken in the identity registry: 0000000009: issued on"}, 0},
    {{"--simulate", "run", "em4100", "--continuous", "0000000007", "--count", "2", "--registry", "@REG"}, 1,
     {"1 0000000007\n", "Taken in the identity registry, the run stopped: 0000000007: issued on"}, 1},
    // A refused tag's identity is kept for the next tag, and handed back when the run ends.
    {{"--simulate", "run", "em4100", "--incremental", "0000000020", "--count", "1", "--feed", "t5577:pwd=11223344",
      "--max-refused", "2", "--registry", "@REG"}, 1, {"refused 0000000020", "refused tags: 2"}, 0},
    {{"registry", "stats", "--registry", "@REG"}, 0, {"em4100  7       0\n"}},
    {{"run", "em4100", "--incremental", "0000000001", "--strict-registry"}, 2, {"--strict-registry requires --registry"}},
    {{"registry", "export", "--registry", "@REG", "--csv", "--json"}, 2, {"--csv and --json exclude each other"}},
    {{"registry", "check", "--registry", "@REG", "--format", "fdxb", "0000000001"}, 2, {"is no fdxb identity"}},
    // A mistyped file is not made into an empty registry in which everything is free.
    {{"registry", "check", "--registry", "@EM.sqlite", "--format", "em4100", "0000000001"}, 1, {"there is no registry @EM.sqlite"}},
    {{"registry", "check", "--registry", "postgresql://clerk:secret@db/ids", "--format", "em4100", "0000000001"}, 2,
     {"--registry: the connection URI holds a password", "PGPASSWORD"}},
};

std::string Replaced(std::string text, const std::vector<std::pair<std::string, std::string>>& names) {
  for (const auto& [name, value] : names)
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size()))
      text.replace(at, name.size(), value);
  return text;
}

class RegistryCli : public ::testing::TestWithParam<Engine> {
 protected:
  void SetUp() override {
    if (GetParam() == Engine::Sqlite) {
      where_ = (dir_.Path() / "ids.sqlite").string();
    } else {
      const char* base = std::getenv("RIVELO_TEST_PG");
      if (!base || !*base) GTEST_SKIP() << "no test PostgreSQL: run the tests through scripts/with-test-postgres";
      base_ = base;
      schema_ = "cli" + std::to_string(getpid());
      ASSERT_TRUE(Admin("DROP SCHEMA IF EXISTS " + schema_ + " CASCADE; CREATE SCHEMA " + schema_));
      where_ = test::InSchema(base_, schema_);
    }
  }
  void TearDown() override {
    if (!schema_.empty()) Admin("DROP SCHEMA IF EXISTS " + schema_ + " CASCADE");
  }

  bool Admin(const std::string& sql) const { return test::PostgresAdmin(base_, sql); }

  test::TempDir dir_{"registry_cli"};
  std::string base_, schema_, where_;
};

TEST_P(RegistryCli, RunLogsFillTheRegistryThatCheckStatsAndExportShow) {
  // The program's own log: two runs, a refused tag, and one identity written twice.
  const std::time_t t1 = 1'796'000'000;
  const std::string em = (dir_.Path() / "em.csv").string();
  RunLog log(Em4100Format());
  std::string why;
  ASSERT_TRUE(log.Open(em, &why)) << why;
  const auto tag = [](std::uint64_t n, const char* chip, int line, std::string serial = {}) {
    Em4100Id id{};
    for (std::size_t b = id.size(); b-- > 0; n >>= 8) id[b] = static_cast<std::uint8_t>(n & 0xFF);
    return ListedTag{0, FromEm4100Id(id), chip, line, serial};
  };
  log.StartRun();
  ASSERT_TRUE(log.Append(t1, "rivelo em4100", tag(1, "EM4305", 0)));
  ASSERT_TRUE(log.Append(t1 + 1, "rivelo em4100", tag(2, "T5577", 7, "1A2B3C4D")));
  ASSERT_TRUE(log.AppendRefused(t1 + 2, "rivelo em4100", RefusedTag{tag(3, "T5577", 0).id, "T5577", "locked"}));
  log.StartRun();
  ASSERT_TRUE(log.Append(t1 + 3, "rivelo em4100", tag(1, "EM4305", 0)));
  const std::string fdxb = dir_.File("fdxb.csv",
                                     "time,page,chip,run,file_line,24D,15D,status,reason,chip_serial\n"
                                     "2026-12-07T18:30:05+0100,FDX-B,EM4305,1,,000000000001099900000000,"
                                     "999000000000001,written,,E0040000AA\n"
                                     "2026-12-07T18:30:06+0100,FDX-B,T5577,1,,000000000002099900000000,"
                                     "999000000000002,refused,locked,\n"
                                     "2026-12-07T18:30:07+0100,FDX-B,EM4305,1,,000000000003099900000000,"
                                     "999000000000003,written,,\n");
  // Logs of an earlier version have no status column: their every line is a written tag. A log
  // saved from a stream repeats its header.
  const std::string old = dir_.File("old.csv", RunLog::EarlierHeader(Em4100Format()) +
                                                   "\n2026-12-07T18:30:05+0100,x,EM4305,1,,0000000009,0000000009,"
                                                   "0000000009,00000009,0000000000009\n" + RunLog::EarlierHeader(Em4100Format()) + "\n");
  const std::string bad = dir_.File("bad.csv", RunLog::EarlierHeader(Em4100Format()) +
                                                   "\n2026-12-07T18:30:05+0100,x,EM4305,1,,0000000005,0000000005,"
                                                   "0000000005,00000005,0000000000005\n"
                                                   "2026-12-07T18:30:05+0100,x,EM4305,1,,0000000006,0000000006,"
                                                   "0000000006,00000006,0000000000007\n");
  const std::vector<std::pair<std::string, std::string>> names{
      {"@REG", where_},
      {"@EM", em},
      {"@FDXB", fdxb},
      {"@BAD", bad},
      {"@IDS", dir_.File("ids.txt", "0000000000003\n0000000000005\n\n0000000000009\n")},
      {"@OLD", old},
      {"@T1", cli::IsoLocalTime(std::chrono::system_clock::from_time_t(t1))},
      {"@T2", cli::IsoLocalTime(std::chrono::sys_days(std::chrono::year(2026) / 12 / 7) + std::chrono::hours(17) +
                                std::chrono::minutes(30) + std::chrono::seconds(5))}};

  for (const Step& step : Steps) {
    std::vector<std::string> args;
    for (const std::string& a : step.args) args.push_back(Replaced(a, names));
    const test::Outcome o = test::Rivelo(args);
    std::string out;
    for (const std::string& line : o.out) out += line + "\n";
    const std::string said = o.code == 0 || o.code == 1 ? out + o.errText : o.errText;
    SCOPED_TRACE(step.args[1] + " " + step.args[2] + "...: " + said);
    EXPECT_EQ(o.code, step.code);
    for (const std::string& part : step.says) EXPECT_NE(said.find(Replaced(part, names)), std::string::npos) << part;
    if (step.lines >= 0) {
      EXPECT_EQ(static_cast<int>(o.out.size()), step.lines);
    }
    EXPECT_EQ(said.find("secret"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, RegistryCli, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& engine) { return engine.param == Engine::Sqlite ? "Sqlite" : "Postgres"; });

}  // namespace
}  // namespace rivelo
