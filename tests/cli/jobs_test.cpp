// read, write and run against the virtual reader of --simulate: what goes to standard output,
// what to standard error, and the exit codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "model/access/access_format.h"
#include "sim/final_state.h"
#include "sim/virtual_reader.h"
#include "tests/cli/cli_test_support.h"

namespace rivelo {
namespace {

using test::Rivelo;
namespace fs = std::filesystem;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Raises signal once standard output has n lines.
std::function<void(const std::string&)> RaiseAfter(int n, int signal) {
  auto seen = std::make_shared<int>(0);
  return [seen, n, signal](const std::string&) {
    if (++*seen == n) std::raise(signal);
  };
}

TEST(Read, PrintsTheIdentityInTheFormAsked) {
  test::Outcome o = Rivelo({"--simulate", "read", "em4100"});
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out, std::vector<std::string>{"0123456789"});
  o = Rivelo({"--simulate", "read", "em4100", "--form", "13D"});
  EXPECT_EQ(o.out, std::vector<std::string>{"0004886718345"});
  o = Rivelo({"--simulate", "--json", "read", "em4100"});
  ASSERT_EQ(o.out.size(), 1u);
  EXPECT_EQ(o.out[0].rfind("{\"number\":1,\"format\":\"em4100\",\"id\":{\"10H\":\"0123456789\",", 0), 0u) << o.out[0];
  EXPECT_TRUE(Has(o.out[0], "\"chip\":null"));

  // A blank chip on the reader carries no identity: the read failed, and says so.
  o = Rivelo({"--simulate=t5577", "read", "em4100"});
  EXPECT_EQ(o.code, 1);
  EXPECT_TRUE(o.out.empty());
  EXPECT_TRUE(Has(o.errText, "rivelo: no EM4100 tag was read")) << o.errText;
}

TEST(Read, ContinuousRunListsNumberedIdentitiesAndExports) {
  test::Outcome o = Rivelo({"--simulate", "read", "em4100", "--continuous", "--count", "3", "--form", "08H"});
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out, (std::vector<std::string>{"1 0591751049", "2 0591751049", "3 0591751049"}));
  EXPECT_TRUE(Has(o.errText, "stop\n")) << o.errText;
  EXPECT_FALSE(Has(o.errText, "Number")) << "a listed tag's line goes to standard output only";

  // With export each identity is listed once; the file gets it in the form asked.
  const test::TempDir dir("cli_export");
  o = Rivelo({"--simulate", "--json", "read", "em4100", "--continuous", "--export", dir.Path().string(), "--form",
              "13D", "--count", "1"});
  EXPECT_EQ(o.code, 0) << o.errText;
  ASSERT_EQ(o.out.size(), 2u);  // the tag, then the run's summary
  EXPECT_TRUE(Has(o.out[0], "\"13D\":\"0004886718345\""));
  EXPECT_EQ(o.out[1].rfind("{\"summary\":{\"read\":1,\"silentTicks\":0,\"seconds\":", 0), 0u) << o.out[1];
  EXPECT_TRUE(Has(o.errText, dir.Path().string())) << "where the export goes is said";
  ASSERT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
  EXPECT_EQ(Contents(fs::directory_iterator(dir.Path())->path()), "0004886718345\r\n");

  // A run that cannot export does not start.
  o = Rivelo({"--simulate", "read", "em4100", "--continuous", "--export", (dir.Path() / "none" / "deeper").string()});
  EXPECT_EQ(o.code, 1);
  EXPECT_TRUE(o.out.empty());
  EXPECT_TRUE(Has(o.errText, "Can not create the export file")) << o.errText;
}

TEST(Write, OneTagAndWhichChipTookIt) {
  test::Outcome o = Rivelo({"--simulate=em4305", "--json", "write", "em4100", "0123456789", "--lock", "--yes"});
  EXPECT_EQ(o.code, 0) << o.errText;
  ASSERT_EQ(o.out.size(), 1u);
  EXPECT_TRUE(Has(o.out[0], "\"10H\":\"0123456789\"")) << o.out[0];
  EXPECT_TRUE(Has(o.out[0], "\"chip\":\"EM4305\"")) << o.out[0];
  o = Rivelo({"--simulate=t5577", "write", "em4100", "0123456789"});
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_TRUE(o.out.empty());

  // A read-only tag holding another identity never takes it.
  o = Rivelo({"--simulate=em4100:1111111111", "write", "em4100", "0123456789"});
  EXPECT_EQ(o.code, 1);
  EXPECT_TRUE(
      Has(o.errText, "rivelo: the tag did not take 0123456789: no chip read it back (tried EM4305, then T5577)"))
      << o.errText;
}

// What cannot be undone is asked about once per command, before anything is sent; without a
// terminal nothing is sent unless --yes was given (exit 2).
TEST(Write, LockingAndIrreversibleRawCommandsNeedConsent) {
  sim::VirtualReader reader;
  const test::NoTerminal noTerminal;
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"write", "em4100", "0123456789", "--lock"},
           {"run", "em4100", "--incremental", "0000000001", "--count", "1", "--lock"},
           {"send", "304", "01"},                                     // protect
           {"send", "305"},                                           // disable
           {"send", "201", "02", "00", "00", "14", "80", "40", "00"},  // block 0
           {"send", "202", "02", "00", "00", "00", "00", "01", "00", "00", "00", "01", "03"},  // lock bit
           {"send", "30C", "01", "01", "02", "03", "04", "05"},       // an identity with its lock
           {"send", "301", "04", "00", "02", "00", "8F"}}) {          // configuration word
    std::vector<std::string> full{"--simulate=t5577"};
    full.insert(full.end(), args.begin(), args.end());
    const test::Outcome o = Rivelo(full, {}, &reader);
    EXPECT_EQ(o.code, 2) << args[0] << " " << args[1];
    EXPECT_TRUE(Has(o.errText, "--yes")) << o.errText;
    if (args[0] != "send") {
      EXPECT_TRUE(Has(o.errText, "locks every tag of this run for good")) << o.errText;
    }
  }
  EXPECT_EQ(reader.GetCounters().requests, 0);
  // An ordinary write of a block goes out without a question.
  EXPECT_EQ(Rivelo({"--simulate=t5577", "send", "201", "02", "00", "11", "22", "33", "44", "05"}, {}, &reader).code, 0);
}

TEST(Run, IncrementalAndContinuousRunsListEachTag) {
  test::Outcome o = Rivelo({"--simulate", "run", "em4100", "--incremental", "0123456789", "--count", "3"});
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out, (std::vector<std::string>{"1 0123456789", "2 012345678A", "3 012345678B"}));
  EXPECT_TRUE(Has(o.errText, "stop\n"));

  o = Rivelo(
      {"--simulate", "--json", "run", "em4100", "--continuous", "0123456789", "--count", "2", "--feed", "t5577"});
  EXPECT_EQ(o.code, 0) << o.errText;
  ASSERT_EQ(o.out.size(), 3u);  // and the summary
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(o.out[i].rfind("{\"number\":" + std::to_string(i + 1) + ",", 0), 0u) << o.out[i];
    EXPECT_TRUE(Has(o.out[i], "\"chip\":\"T5577\"")) << o.out[i];
  }
}

// Past the last identity of its range an incremental run ends, naming what it wrote last: it
// never steps into another facility code or wraps onto a code already issued. Every listed
// identity is on a tag of its own.
TEST(Run, AnIncrementalRunEndsAfterTheLastIdentityOfItsRange) {
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> listed;
  } cases[] = {
      {{"hid", "--incremental", "1", "65534"}, {"1 1:65534", "2 1:65535"}},
      {{"fdxa", "--incremental", "7F7F7F7F7E"}, {"1 7F7F7F7F7E", "2 7F7F7F7F7F"}},
  };
  for (const auto& c : cases) {
    sim::VirtualReader reader;
    std::vector<std::string> args{"--simulate", "run"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), {"--count", "3"});
    const test::Outcome o = Rivelo(args, {}, &reader);
    EXPECT_EQ(o.code, 1) << o.errText;
    EXPECT_EQ(o.out, c.listed);
    const std::string last = c.listed.back().substr(2);
    EXPECT_TRUE(Has(o.errText, "nothing follows the last identity written, " + last)) << o.errText;
    std::vector<std::string> held;
    for (const sim::TagState& tag : reader.State().tags)
      if (tag.fed && !tag.identity.empty()) held.push_back(tag.identity.substr(tag.identity.find(' ') + 1));
    EXPECT_EQ(held, (std::vector<std::string>{c.listed[0].substr(2), last}));
  }
}

// The last n runs of letters and digits in text, and the text before them.
std::pair<std::string, std::vector<std::string>> LastTokens(const std::string& text, std::size_t n) {
  std::vector<std::pair<std::size_t, std::string>> tokens;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    while (i < text.size() && std::isalnum(static_cast<unsigned char>(text[i]))) ++i;
    if (i > start) tokens.emplace_back(start, text.substr(start, i - start));
    else ++i;
  }
  if (tokens.size() < n) return {text, {}};
  std::vector<std::string> last;
  for (std::size_t k = tokens.size() - n; k < tokens.size(); ++k) last.push_back(tokens[k].second);
  return {text.substr(0, tokens[tokens.size() - n].first), last};
}

// Every access-control format: five blank T5577s get five identities in a row (a protected one
// between them refuses and is left out), and the virtual reader's own decoder finds each listed
// identity in the blocks of its tag, with one format name per format. The decoder prints some decimal fields in hex, so a field's digits are
// taken either way unless the field is typed in hex.
TEST(Run, EveryAccessFormatWritesFiveTagsThatTheReadersOwnDecoderReadsBack) {
  std::map<std::string, std::string> formatOfName;
  for (const access::AccessFormat* format : access::AccessFormats()) {
    SCOPED_TRACE(format->name);
    std::vector<std::string> args{"--simulate", "run", format->name, "--incremental"};
    access::AccessValues first;
    for (const access::AccessField& f : format->fields) first.push_back(f.min + (f.max - f.min) / 3);
    std::istringstream words(access::Text(*format, first));
    for (std::string word; std::getline(words, word, ':');) args.push_back(word);
    // The third tag is password-protected: its refusal is said, and the next blank gets the identity.
    args.insert(args.end(), {"--count", "5", "--feed", "t5577:2", "--feed", "t5577:pwd=11223344:1", "--feed", "t5577"});
    sim::VirtualReader reader;
    const test::Outcome o = Rivelo(args, {}, &reader);
    EXPECT_EQ(o.code, 0) << o.errText;
    std::vector<std::string> listed, held;
    access::AccessValues values = first;
    for (int k = 1; k <= 5; ++k, ++values.back()) listed.push_back(std::to_string(k) + " " + access::Text(*format, values));
    EXPECT_EQ(o.out, listed);
    EXPECT_TRUE(Has(o.errText, "Run summary: 5 written, 1 refused,")) << o.errText;
    values = first;
    for (const sim::TagState& tag : reader.State().tags) {
      if (!tag.fed || tag.blockFormat.empty()) continue;
      const auto [name, digits] = LastTokens(tag.blockFormat, format->fields.size());
      ASSERT_EQ(digits.size(), format->fields.size()) << tag.blockFormat;
      for (std::size_t i = 0; i < digits.size(); ++i) {
        const bool hex = format->fields[i].hexDigits > 0;
        const bool asHex = std::strtoull(digits[i].c_str(), nullptr, 16) == values[i];
        const bool asDecimal = digits[i].find_first_not_of("0123456789") == std::string::npos &&
                               std::strtoull(digits[i].c_str(), nullptr, 10) == values[i];
        EXPECT_TRUE(asHex || (!hex && asDecimal)) << tag.blockFormat << ": field " << i << " is not " << values[i];
      }
      const auto [known, inserted] = formatOfName.emplace(name, format->name);
      EXPECT_EQ(known->second, format->name) << "the reader names two formats " << name;
      held.push_back(tag.blockFormat);
      ++values.back();
    }
    EXPECT_EQ(held.size(), 5u);
  }
}

// Two blanks, a password-protected T5577 and two blanks: the protected one is named once, put
// aside and left as it was, the next blank gets its identity, and the summary counts both.
TEST(Run, ARefusedTagIsNamedOnceCountedAndTheNextTagGetsItsIdentity) {
  const test::TempDir dir("cli_refused");
  const std::string log = (dir.Path() / "log.csv").string();
  sim::VirtualReader reader;
  test::Outcome o = Rivelo({"--simulate", "run", "em4100", "--incremental", "0000000001", "--count", "4", "--chip",
                            "t5577", "--feed", "t5577:2", "--feed", "t5577:pwd=11223344:1", "--feed", "t5577:2",
                            "--log", log},
                           {}, &reader);
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out, (std::vector<std::string>{"1 0000000001", "2 0000000002", "3 0000000003", "4 0000000004"}));
  const std::string refused = "This tag refused 0000000003 (it reads as blank: it may be password-protected";
  const auto first = o.errText.find(refused);
  EXPECT_NE(first, std::string::npos) << o.errText;
  EXPECT_EQ(o.errText.find(refused, first + 1), std::string::npos) << o.errText;
  EXPECT_TRUE(Has(o.errText, "stop\nRun summary: 4 written, 1 refused, 0 left alone as written earlier, ")) << o.errText;
  std::multiset<std::string> identities;
  sim::VirtualReader fresh;
  const auto untouched = fresh.Memory(fresh.AddTag("t5577:pwd=11223344"));
  int protectedTags = 0;
  for (const auto& t : reader.Tags()) {
    if (!t.fed) continue;
    identities.insert(t.identity);
    if (!t.identity.empty()) continue;
    ++protectedTags;  // page 0 as it came (page 1 holds each chip's own serial)
    const auto words = reader.Memory(t.id)->words;
    EXPECT_TRUE(std::equal(words.begin(), words.begin() + 8, untouched->words.begin()));
  }
  EXPECT_EQ(protectedTags, 1);
  EXPECT_EQ(identities, (std::multiset<std::string>{"", "EM4100 0000000001", "EM4100 0000000002", "EM4100 0000000003",
                                                   "EM4100 0000000004"}));
  const std::string logged = Contents(log);
  EXPECT_TRUE(Has(logged, ",0000000000003,refused,password-protected or not writable,")) << logged;
  EXPECT_TRUE(Has(logged, ",0000000000003,written,")) << logged;  // the next tag got the same identity

  // With a limit of refused tags, the run ends there (exit 1); its summary is JSON with --json.
  o = Rivelo({"--simulate", "--json", "run", "em4100", "--continuous", "0000000001", "--count", "3", "--chip", "t5577",
              "--feed", "t5577:pwd=11223344:1", "--feed", "t5577:3", "--max-refused", "1"});
  EXPECT_EQ(o.code, 1) << o.errText;
  ASSERT_EQ(o.out.size(), 1u);
  EXPECT_EQ(o.out[0].rfind("{\"summary\":{\"written\":0,\"refused\":1,\"leftAlone\":0,\"silentTicks\":0,", 0), 0u)
      << o.out[0];
  EXPECT_TRUE(Has(o.errText, "rivelo: refused tags: 1 (--max-refused 1); the run stopped after 0 tags")) << o.errText;
}

// Tags that carry a password are written with it (block by block on a T5577, after a login on
// an EM4305), and --protect gives each written tag one, counted only once it reads back with
// it. The passwords come from the environment or a file, never the command line, and show
// nowhere: not in the list, the JSON lines, standard error or the run log.
TEST(Run, PasswordsFromTheEnvironmentOrAFileWriteAndProtectTags) {
  const test::TempDir dir("cli_passwords");
  const std::string log = (dir.Path() / "log.csv").string();
  const std::string protect = dir.File("protect", "51243648\n");
  ::setenv("RIVELO_PASSWORD", "11223344", 1);
  const struct {
    std::vector<std::string> args;
    const char* feed;
    int configWord;             // 0 on a T5577, 4 on an EM4305
    std::uint32_t config;       // what it must hold afterwards
    int passwordWord;           // where the chip keeps its password
    std::uint32_t password;
  } cases[] = {
      {{"em4100", "--incremental", "0123456789"}, "t5577:pwd=11223344:5", 0, 0x00148050, 7, 0x11223344},
      {{"em4100", "--incremental", "0123456789", "--protect-file", protect}, "t5577:5", 0, 0x00148050, 7, 0x51243648},
      {{"fdxb", "--incremental", "999", "1", "--protect", "env"}, "t5577:pwd=11223344:5", 0, 0x00098090, 7,
       0x51243648},
      {{"hid", "--incremental", "1", "100", "--protect-file", protect}, "t5577:pwd=11223344:5", 0, 0x00107070, 7,
       0x51243648},
      {{"hid-h10301", "--incremental", "1", "100", "--protect-file", protect}, "t5577:pwd=11223344:5", 0, 0x00107070,
       7, 0x51243648},
      {{"em4100", "--incremental", "0123456789", "--chip", "em4305", "--protect-file", protect}, "em4305:5", 4,
       0x0011805F, 2, 0x51243648},
      {{"fdxb", "--incremental", "999", "1", "--chip", "em4305"}, "em4305:pwd=11223344:5", 4, 0x0002008F, 2,
       0x11223344},
  };
  ::setenv("RIVELO_NEW_PASSWORD", "51243648", 1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front() + " " + c.feed);
    std::filesystem::remove(log);
    sim::VirtualReader reader;
    std::vector<std::string> args{"--simulate", "--json", "run"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), {"--count", "5", "--feed", c.feed, "--log", log});
    const test::Outcome o = Rivelo(args, {}, &reader);
    EXPECT_EQ(o.code, 0) << o.errText;
    ASSERT_EQ(o.out.size(), 6u) << o.errText;  // and the summary
    std::string everything = o.errText + Contents(log);
    for (const std::string& line : o.out) everything += line + "\n";
    EXPECT_FALSE(Has(everything, "11223344") || Has(everything, "51243648")) << everything;
    EXPECT_EQ(Has(Contents(log), ",protected,"), c.password == 0x51243648) << Contents(log);
    EXPECT_EQ(Has(o.out.front(), "\"protected\":true"), c.password == 0x51243648) << o.out.front();
    std::set<std::string> held;
    for (const sim::TagState& tag : reader.State().tags) {
      if (!tag.fed) continue;
      held.insert(tag.identity);
      EXPECT_EQ(tag.memory->words[static_cast<std::size_t>(c.configWord)], c.config) << tag.identity;
      EXPECT_EQ(tag.memory->words[static_cast<std::size_t>(c.passwordWord)], c.password) << tag.identity;
    }
    EXPECT_EQ(held.size(), 5u);
    EXPECT_FALSE(held.contains("")) << o.errText;
    // The last tag, still on the reader, refuses a write without its password and takes one
    // with it, staying protected.
    if (c.password != 0x51243648 || c.args.front() != "em4100") continue;
    const std::vector<std::string> write{"--simulate", "write", "em4100", "1111111111", "--chip",
                                         c.configWord == 0 ? "t5577" : "em4305"};
    EXPECT_EQ(Rivelo(write, {}, &reader).code, 1);
    std::vector<std::string> withPassword = write;
    withPassword.insert(withPassword.end(), {"--password-file", protect});
    const test::Outcome o2 = Rivelo(withPassword, {}, &reader);
    EXPECT_EQ(o2.code, 0) << o2.errText;
    const sim::TagInfo onReader = *reader.Info(*reader.TagOnReader());
    EXPECT_EQ(onReader.identity, "EM4100 1111111111");
    EXPECT_EQ(reader.Memory(onReader.id)->words[static_cast<std::size_t>(c.configWord)], c.config);
  }
  ::unsetenv("RIVELO_PASSWORD");
  ::unsetenv("RIVELO_NEW_PASSWORD");
}

TEST(Run, FromFileToItsEnd) {
  const test::TempDir dir("cli_file");
  // 0123456789, 012345678A, 012345678B in decimal, with a blank line and CR LF ends.
  const std::string file = dir.File("ids.txt", "4886718345\r\n\r\n0004886718346\n4886718347\n");
  test::Outcome o = Rivelo({"--simulate", "run", "em4100", "--file", file});
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out, (std::vector<std::string>{"1 0123456789", "2 012345678A", "3 012345678B"}));
  EXPECT_TRUE(Has(o.errText, "Tag count 3")) << o.errText;

  o = Rivelo({"--simulate", "run", "em4100", "--file", file, "--count", "2"});
  EXPECT_EQ(o.code, 0) << o.errText;
  EXPECT_EQ(o.out.size(), 2u);

  // Asked for more tags than the file holds: the file's end comes first, and the run says
  // it did not do all it was asked.
  o = Rivelo({"--simulate", "run", "em4100", "--file", file, "--count", "5"});
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(o.out.size(), 3u);
  EXPECT_TRUE(Has(o.errText, "rivelo: the file ended after 3 of the 5 tags asked for")) << o.errText;
}

TEST(Run, RefusedBatchFilesSayWhyAndWriteNothing) {
  const test::TempDir dir("cli_bad_files");
  const struct {
    std::string path, reason;
  } cases[] = {
      {(dir.Path() / "missing.txt").string(), "The batch file cannot be opened: No such file or directory"},
      {dir.Path().string(), "not a batch file but a folder"},
      {dir.File("bad.txt", "4886718345\n12ab\n"), "Line 2 of the batch file is not an identity: \"12ab\""},
      {dir.File("large.txt", "1099511627776\n"), "too large"},
  };
  for (const auto& c : cases) {
    const test::Outcome o = Rivelo({"--simulate", "run", "em4100", "--file", c.path});
    EXPECT_EQ(o.code, 1) << c.path;
    EXPECT_TRUE(o.out.empty());
    ASSERT_FALSE(o.err.empty());
    EXPECT_EQ(o.err.front().rfind("rivelo: " + c.path + ": ", 0), 0u) << o.err.front();
    EXPECT_TRUE(Has(o.err.front(), c.reason)) << o.err.front();
  }
  const std::string blank = dir.File("blank.txt", "\n  \r\n");
  const test::Outcome o = Rivelo({"--simulate", "run", "em4100", "--file", blank});
  EXPECT_EQ(o.code, 1);
  EXPECT_TRUE(o.out.empty());
  EXPECT_EQ(o.errText, "rivelo: no identities in " + blank + "\n");
}

TEST(Interrupt, SigintEndsAWriteRunWithItsStopLine) {
  const test::Outcome o =
      Rivelo({"--simulate", "run", "em4100", "--incremental", "0123456789", "--count", "50"}, RaiseAfter(2, SIGINT));
  EXPECT_EQ(o.code, 130) << o.errText;
  EXPECT_EQ(o.out, (std::vector<std::string>{"1 0123456789", "2 012345678A"}));
  EXPECT_TRUE(Has(o.errText, "stop\nrivelo: interrupted after 2 tags\n")) << o.errText;
}

// SIGHUP too: the terminal of a station's run was closed.
TEST(Interrupt, SigtermAndSighupEndAFileRunAndSayWhereToResume) {
  const test::TempDir dir("cli_resume");
  const std::string file = dir.File("ids.txt", "\n4886718345\n4886718346\n\n4886718347\n4886718348\n");
  for (const int signal : {SIGTERM, SIGHUP}) {
    const test::Outcome o = Rivelo({"--simulate", "run", "em4100", "--file", file}, RaiseAfter(2, signal));
    EXPECT_EQ(o.code, 130) << o.errText;
    EXPECT_EQ(o.out.size(), 2u);
    EXPECT_TRUE(Has(o.errText, "stop\n"));
    // The file's own line number: blank lines count as the operator's editor counts them.
    EXPECT_TRUE(Has(o.errText, "rivelo: interrupted after 2 of 4 tags; resume with line 5 of " + file))
        << o.errText;
  }
}

TEST(Interrupt, AReadRunKeepsItsExport) {
  const test::TempDir dir("cli_read_stop");
  const test::Outcome o =
      Rivelo({"--simulate", "read", "em4100", "--continuous", "--export", dir.Path().string()}, RaiseAfter(1, SIGINT));
  EXPECT_EQ(o.code, 130) << o.errText;
  EXPECT_EQ(o.out, std::vector<std::string>{"1 0123456789"});
  ASSERT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
  EXPECT_EQ(Contents(fs::directory_iterator(dir.Path())->path()), "0123456789\r\n");
  // The stop signals are the program's own again once the run is over.
  EXPECT_EQ(std::signal(SIGINT, SIG_DFL), SIG_DFL);
}

}  // namespace
}  // namespace rivelo
