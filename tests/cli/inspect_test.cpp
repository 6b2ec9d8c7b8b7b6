// inspect, the tag backups (dump, wipe, restore, compare) and the automatic backup, through
// rivelo against the virtual reader; what a tag holds afterwards is taken from the reader.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "sim/tag_kinds.h"
#include "sim/virtual_reader.h"
#include "tests/cli/cli_test_support.h"

namespace rivelo {
namespace {

using test::Rivelo;
using Args = std::vector<std::string>;

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct InspectCase {
  std::string tag;                  // --simulate
  std::vector<Args> setup;          // commands run first, on the same reader
  std::string password;             // given to inspect
  std::vector<std::string> words;   // in the text
  std::vector<std::string> json;    // in the JSON object
};

std::vector<InspectCase> Cases() {
  std::vector<InspectCase> cases = {
      {"t5577", {}, "", {"chip                T5577", "factory configuration", "identity            none (blank)"},
       {"\"chip\":\"T5577\"", "\"blank\":true", "\"passwordProtected\":false", "\"locked\":null"}},
      {"t5577", {{"write", "em4100", "0123456789", "--chip", "t5577"}}, "",
       {"EM4100 0123456789 (read by the reader)", "identity layout     EM4100", "EM4100 (RF/64) 0123456789 (from the blocks)"},
       {"\"format\":\"em4100\",\"title\":\"EM4100\",\"id\":\"0123456789\",\"source\":\"reader\"", "\"blank\":false"}},
      {"t5577", {{"write", "fdxb", "999", "112233", "--chip", "t5577"}}, "",
       {"FDX-B 000000112233099900000000 (read by the reader)", "identity layout     FDX-B"},
       {"\"format\":\"fdxb\""}},
      {"t5577", {{"write", "hid", "118", "1603"}}, "",
       {"HID 26-bit 118:1603 (read by the reader)", "HID Prox 26-bit (H10301) 118:1603 (from the blocks)"},
       {"\"format\":\"hid\"", "\"format\":\"hid-h10301\",", "\"source\":\"blocks\""}},
      {"t5577", {{"write", "fdxa", "1A2B3C4D5E"}}, "", {"FDX-A 1A2B3C4D5E (read by the reader)"}, {"\"format\":\"fdxa\""}},
      // Protected: without the password only what the chip sends, never block 7 (the password).
      {"t5577:pwd=11223344", {}, "", {"password mode; its memory reads only with the password", "sends block 6"},
       {"\"passwordProtected\":true", "\"readNeedsPassword\":true", "\"configuration\":null"}},
      {"t5577:pwd=11223344", {}, "11223344", {"configuration       000880F8", "(the password, not shown)"},
       {"\"password\":true", "\"readNeedsPassword\":false"}},
      {"t5577:pwd=11223344", {}, "99999999", {"the password given was refused"}, {"\"passwordRefused\":true"}},
      {"t5577:pwd=11223344:aor", {}, "11223344", {"answer on request   on"}, {"\"answerOnRequest\":true"}},
      {"em4305:uid=00C0FFEE", {}, "", {"chip                EM4305", "UID                 00C0FFEE", "locked              words 0 1"},
       {"\"chip\":\"EM4305\"", "\"uid\":\"00C0FFEE\"", "\"locked\":[0,1]", "\"writeLogin\":false"}},
      {"em4305:pwd=11223344", {{"em4305", "write-word", "4", "0012008F", "--password", "11223344", "--yes", "--no-backup"}},
       "", {"login to write      yes", "password            login needed"},
       {"\"writeLogin\":true", "\"passwordProtected\":true"}},
      {"em4305", {{"write", "em4100", "0123456789", "--chip", "em4305"}}, "", {"EM4100 0123456789 (read by the reader)"},
       {"\"configuration\":\"0001805F\""}},
  };
  // Read login: the configuration itself reads only after a login, which only a password opens.
  const Args readLogin = {"em4305", "write-word", "4", "0006008F", "--password", "11223344", "--yes", "--no-backup"};
  cases.push_back({"em4305:pwd=11223344", {readLogin}, "", {"its memory reads only with the password"},
                   {"\"readNeedsPassword\":true", "\"configuration\":null"}});
  cases.push_back({"em4305:pwd=11223344", {readLogin}, "11223344", {"login to read       yes"}, {"\"readLogin\":true"}});
  // Every tag the reader only reads, as the virtual reader offers them.
  for (const sim::TagKindRow& kind : sim::TagKinds()) {
    if (kind.blankChip) continue;
    cases.push_back({std::string(kind.name) + ":" + kind.example, {}, "", {"chip                read-only"},
                     {"\"chip\":\"read-only\"", "\"source\":\"reader\""}});
  }
  return cases;
}

TEST(Inspect, TellsEachKindOfTagApartInWordsAndJson) {
  for (const InspectCase& c : Cases()) {
    SCOPED_TRACE(c.tag + " password " + c.password + (c.setup.empty() ? "" : " after " + c.setup[0][0] + " " + c.setup[0][1]));
    sim::VirtualReader reader;
    for (Args setup : c.setup) {
      setup.insert(setup.begin(), "--simulate=" + c.tag);
      const test::Outcome s = Rivelo(setup, {}, &reader);
      ASSERT_TRUE(s.code == 0 || Has(s.errText, "asks for a login to read")) << s.errText;
    }
    // Lifted and put back: a login of the setup ends with the field.
    if (const auto id = reader.TagOnReader(); id && !c.setup.empty()) {
      reader.TakeOffReader();
      reader.PlaceOnReader(*id);
    }
    Args args = {"--simulate=" + c.tag, "inspect"};
    if (!c.password.empty()) args.insert(args.end(), {"--password", c.password});
    const test::Outcome text = Rivelo(args, {}, &reader);
    args.insert(args.begin() + 1, "--json");
    const test::Outcome json = Rivelo(args, {}, &reader);
    EXPECT_EQ(text.code, 0) << text.errText;
    ASSERT_EQ(json.out.size(), 1u) << json.errText;
    for (const std::string& w : c.words) EXPECT_TRUE(Has(Joined(text.out), w)) << w << "\n" << Joined(text.out);
    for (const std::string& j : c.json) EXPECT_TRUE(Has(json.out[0], j)) << j << "\n" << json.out[0];
    // The password never leaves the program.
    EXPECT_FALSE(Has(Joined(text.out) + text.errText + json.out[0], "11223344"));
    if (c.tag.starts_with("em4100")) {
      EXPECT_TRUE(Has(json.out[0], "0123456789")) << json.out[0];
    }
  }
}

TEST(Inspect, AnEmptyReaderIsNoTag) {
  sim::VirtualReader reader;
  const test::Outcome o = Rivelo({"--simulate=t5577:pwd=11223344:aor", "--json", "inspect"}, {}, &reader);
  EXPECT_EQ(o.code, 1);
  ASSERT_EQ(o.out.size(), 1u);
  EXPECT_TRUE(Has(o.out[0], "\"chip\":\"none\"")) << o.out[0];
  EXPECT_TRUE(Has(o.errText, "give its --password")) << o.errText;
}

// dump -> wipe -> restore -> compare gives back the same tag, on both chips; a file already
// there, or a link planted in its place, is never written through.
TEST(TagBackups, DumpWipeRestoreCompareGivesBackTheSameTag) {
  const test::TempDir dir("backups");
  struct Chip {
    std::string tag, family, chip;
    Args password;
  };
  for (const Chip& c : {Chip{"t5577", "t5577", "t5577", {}}, Chip{"em4305", "em4305", "em4305", {}},
                        Chip{"t5577:pwd=11223344", "t5577", "", {"--password", "11223344"}}}) {
    SCOPED_TRACE(c.tag);
    sim::VirtualReader reader;
    const std::string sim = "--simulate=" + c.tag;
    const auto with = [&c](Args args) {
      args.insert(args.end(), c.password.begin(), c.password.end());
      return args;
    };
    // The first run makes the tag; a chip with a password keeps the data it has.
    const Args first = c.chip.empty() ? with({sim, "inspect"}) : Args{sim, "write", "em4100", "0123456789", "--chip", c.chip};
    ASSERT_EQ(Rivelo(first, {}, &reader).code, 0);
    const int id = *reader.TagOnReader();
    const sim::TagMemory before = *reader.Memory(id);
    const std::string file = (dir.Path() / (c.tag + ".json")).string();
    test::Outcome o = Rivelo(with({sim, c.family, "dump", "--out", file}), {}, &reader);
    ASSERT_EQ(o.code, 0) << o.errText;
    std::ifstream in(file);
    const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(Has(saved, "\"version\": 1") && !Has(saved, "11223344")) << saved;
    EXPECT_EQ(Has(saved, "\"id\": \"0123456789\""), !c.chip.empty()) << saved;

    o = Rivelo(with({sim, c.family, "dump", "--out", file}), {}, &reader);
    EXPECT_EQ(o.code, 1);
    EXPECT_TRUE(Has(o.errText, "never replaces")) << o.errText;

    o = Rivelo(with({sim, c.family, "wipe", "--yes", "--no-backup"}), {}, &reader);
    ASSERT_EQ(o.code, 0) << o.errText;
    EXPECT_NE(reader.Memory(id)->words, before.words);
    o = Rivelo({sim, "compare", file}, {}, &reader);
    EXPECT_EQ(o.code, 1);
    EXPECT_FALSE(o.out.empty());

    o = Rivelo(with({sim, c.family, "restore", file, "--yes", "--no-backup"}), {}, &reader);
    ASSERT_EQ(o.code, 0) << o.errText;
    o = Rivelo(with({sim, "compare", file}), {}, &reader);
    EXPECT_EQ(o.code, 0) << Joined(o.out) << o.errText;
    EXPECT_EQ(reader.Memory(id)->words, before.words);
    if (!c.chip.empty()) {
      EXPECT_EQ(reader.Info(id)->identity, "EM4100 0123456789");
    }
  }
  const std::string target = dir.File("target", "keep");
  std::filesystem::create_symlink(target, dir.Path() / "planted.json");
  sim::VirtualReader reader;
  const test::Outcome o =
      Rivelo({"--simulate=t5577", "t5577", "dump", "--out", (dir.Path() / "planted.json").string()}, {}, &reader);
  EXPECT_EQ(o.code, 1);
  std::ifstream kept(target);
  std::string content;
  std::getline(kept, content);
  EXPECT_EQ(content, "keep");
}

// Steps that cannot be undone save a backup first, into the data folder; --no-backup leaves it
// out, and a tag that cannot be backed up is not written.
TEST(TagBackups, IrreversibleStepsSaveABackupFirst) {
  const test::TempDir dir("auto_backups");
  const char* saved = getenv("XDG_DATA_HOME");
  const std::string old = saved ? saved : "";
  setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
  const auto folder = dir.Path() / "rivelo" / "backups";
  const auto count = [&folder] {
    return std::filesystem::exists(folder)
               ? std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator())
               : 0;
  };
  struct Step {
    std::string tag;
    Args args;
    int exit;
    long backups;  // in the folder afterwards
  };
  const std::vector<Step> steps = {
      {"t5577", {"t5577", "write-block", "0", "00148040", "--yes"}, 0, 1},
      {"t5577", {"t5577", "write-block", "3", "00000001", "--lock", "--yes"}, 0, 2},
      {"t5577", {"t5577", "write-block", "3", "00000001", "--yes"}, 0, 2},  // reversible: no backup
      {"t5577:pwd=11223344", {"t5577", "restore-config", "--password", "11223344", "--yes"}, 0, 3},
      {"t5577:pwd=11223344", {"t5577", "restore-config", "--yes"}, 1, 3},  // unreadable: nothing written
      {"t5577:pwd=11223344", {"t5577", "wipe", "--yes", "--no-backup"}, 1, 3},
      {"em4305", {"em4305", "protect", "5", "--yes"}, 0, 4},
      {"em4305", {"em4305", "write-word", "4", "0002008F", "--yes", "--no-backup"}, 0, 4},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.tag + " " + s.args[1]);
    sim::VirtualReader reader;
    Args args = s.args;
    args.insert(args.begin(), "--simulate=" + s.tag);
    const test::Outcome o = Rivelo(args, {}, &reader);
    EXPECT_EQ(o.code, s.exit) << o.errText;
    EXPECT_EQ(count(), s.backups) << o.errText;
  }
  // A protected chip's backup never holds its password.
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::ifstream in(entry.path());
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(Has(text, "11223344")) << entry.path();
  }
  if (saved) {
    setenv("XDG_DATA_HOME", old.c_str(), 1);
  } else {
    unsetenv("XDG_DATA_HOME");
  }
}

}  // namespace
}  // namespace rivelo
