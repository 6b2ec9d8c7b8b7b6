// Every run mode of every identity profile against the virtual reader, through the real
// serial path, with seeded faults on the line and at the reader: lost, corrupt, cut-off,
// padded and late replies, tags taken away between write and read-back, tags left lying on
// the reader after their beep. What is checked is what the operator is promised: the list
// against the tags the virtual reader holds at the end.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <utility>
#include <unistd.h>

#include "batch/batch_runner.h"
#include "batch/format_table.h"
#include "batch/headless_view.h"
#include "fault_run_checks.h"
#include "model/access/access_format.h"
#include "model/em4100.h"
#include "model/fdxb.h"
#include "reader/discovery.h"
#include "sim/pty_server.h"

namespace rivelo {
namespace {

namespace fs = std::filesystem;
using faulttest::FaultSummary;

constexpr int Tags = 8;  // listed per write run

// One case per chip of each format of the table: a format added there runs here unedited.
struct ProfileCase {
  std::string name;  // "Em4100OnT5577"
  const FormatEntry* entry;
  std::string chipKind;  // the blanks fed
  std::string first;     // the entry text of continuous and incremental runs
  const IdentityFormat& format() const { return *entry->format; }
  BatchProfile make() const { return ProfileFor(*entry, [] { return RunChoices{}; }, chipKind); }
};

// Starts that carry across bytes and fields within a few tags; other formats start at zero.
std::string FirstEntry(const IdentityFormat& format, const std::string& chip) {
  const std::string name = format.name;
  if (name == "em4100") return chip == "t5577" ? "00FFFFFFFC" : "0123456789";
  if (name == "fdxb") return chip == "t5577" ? "274877906940099900000000" : "000000112233052800012345";
  if (name == "hid") return "7:65440";
  if (name == "fdxa") return "0000007F70";
  return format.text(Identity(format.length, 0), 0);
}

// The access-control formats share one profile (their block images differ, not how they are
// written and read), so the first of them stands for all under faults.
std::vector<ProfileCase> MakeCases() {
  std::vector<ProfileCase> cases;
  bool accessFormat = false;
  for (const FormatEntry& entry : FormatTable()) {
    if (access::FindAccessFormat(entry.format->name) != nullptr && std::exchange(accessFormat, true)) continue;
    for (const ChipWrite& write : entry.profile([] { return RunChoices{}; }).ops.writes) {
      std::string kind = write.chip;
      for (char& c : kind) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      std::string name = entry.format->title;
      std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
      cases.push_back({name + "On" + write.chip, &entry, kind, FirstEntry(*entry.format, kind)});
    }
  }
  return cases;
}

const std::vector<ProfileCase>& Profiles() {
  static const std::vector<ProfileCase> cases = MakeCases();
  return cases;
}

enum class Mode { Continuous, Incremental, FromFile, ExportRead };
const char* ModeName(Mode m) {
  switch (m) {
    case Mode::Continuous: return "Continuous";
    case Mode::Incremental: return "Incremental";
    case Mode::FromFile: return "FromFile";
    case Mode::ExportRead: return "ExportRead";
  }
  return "";
}

void PrintTo(Mode m, std::ostream* out) { *out << ModeName(m); }

class FaultRuns : public ::testing::TestWithParam<std::tuple<int, Mode>> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start());
    ASSERT_TRUE(ConnectDevice({server_.Path()}).found);
    dir_ = fs::temp_directory_path() / ("rivelo_fault_runs_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    // The requests and replies of a run, to see why a check failed.
    if (const char* journal = std::getenv("RIVELO_FAULT_JOURNAL")) reader_.SetJournal(journal);
  }
  void TearDown() override {
    DisconnectDevice();
    fs::remove_all(dir_);
  }

  const ProfileCase& Case() const { return Profiles()[std::get<0>(GetParam())]; }
  const IdentityFormat& Format() const { return Case().format(); }
  Mode RunMode() const { return std::get<1>(GetParam()); }

  // The faults of a run, seeded by the run. Lost replies cost the host its whole wait (up to
  // a second), so there are few of them; the rest come often.
  void InjectFaults(bool writes) {
    const int index = std::get<0>(GetParam()) * 4 + static_cast<int>(RunMode());
    reader_.SetSeed(1000 + static_cast<std::uint64_t>(index));
    sim::FaultRule lost{sim::Fault::NoAnswer, 0.05};
    lost.times = 2;
    reader_.SetFault(lost);
    reader_.AddFault({sim::Fault::BadChecksum, 0.08});
    reader_.AddFault({sim::Fault::Truncated, 0.08});
    reader_.AddFault({sim::Fault::TrailingBytes, 0.04});
    reader_.AddFault({sim::Fault::Late, 0.05, 15});  // slow, but within the host's wait
    // The first two beeps answer after the host stopped waiting for them.
    sim::FaultRule tooLate{sim::Fault::Late, 1.0, 120};
    tooLate.times = 2;
    reader_.SetCommandFault(0x103, tooLate);
    if (!writes) return;
    reader_.AddFault({sim::Fault::LiftAfterWrite, 0.15});
    // Half the profiles see the written tag lie there for a few requests, half for a while,
    // with the next blank a moment behind.
    if (index % 2 == 0) reader_.SetDwell(0, 3);
    else reader_.SetDwell(25, 0);
  }

  // Ticks the running timer until done() or the bound; the ticks it took.
  template <typename Done>
  int TickUntil(Done done, int bound) {
    int ticks = 0;
    for (; ticks < bound && !done() && view_.RunningTimer() != 0; ++ticks) runner_.Tick(view_.RunningTimer());
    return ticks;
  }

  void Report(int ticks) {
    const sim::Counters c = reader_.GetCounters();
    std::printf("[faults] %s %s: %zu tags listed in %d ticks, %d faults injected (%s)\n", Case().name.c_str(),
                ModeName(RunMode()), view_.listed.size(), ticks, c.faults, FaultSummary(c).c_str());
  }

  std::vector<Identity> Sequence(Identity first, int n, bool step) const {
    std::vector<Identity> out;
    for (int k = 0; k < n; ++k) {
      out.push_back(first);
      if (step) Format().increment(first);
    }
    return out;
  }

  void WriteRun();
  void ExportRun();

  sim::VirtualReader reader_;
  sim::PtyServer server_{reader_};
  HeadlessView view_{Case().format()};
  BatchRunner runner_{Case().make(), view_};
  fs::path dir_;
};

void FaultRuns::WriteRun() {
  const Mode mode = RunMode();
  const Identity first = Format().fromEntry(Case().first);
  ASSERT_EQ(first.size(), Format().length);
  std::vector<Identity> wanted = Sequence(first, Tags, mode == Mode::Incremental);
  if (mode == Mode::FromFile) {
    // Identities far apart, so that none is the one before plus one.
    wanted.clear();
    Identity id = first;
    for (int k = 0; k < Tags; ++k) {
      wanted.push_back(id);
      for (int s = 0; s < 7; ++s) Format().increment(id);
    }
    const fs::path file = dir_ / "batch.txt";
    std::ofstream out(file);
    for (const Identity& w : wanted) out << Format().text(w, Format().lineForm) << "\r\n";
    out.close();
    view_.files = {file.string()};
    ASSERT_TRUE(runner_.FromFileClicked(true));
  } else {
    runner_.ContinuousClicked(true);
    if (mode == Mode::Incremental) runner_.IncrementalClicked(true);
    view_.entered = Case().first;
  }
  // Spare blanks for the ones taken away before their read-back: a tag may be taken away
  // after any write command, and a block image takes several.
  reader_.SetFeeder(Case().chipKind, Tags * 4, 3);
  InjectFaults(true);
  runner_.WritePressed();
  ASSERT_NE(view_.RunningTimer(), 0) << "the run did not start";
  const int ticks = TickUntil([&] { return view_.listed.size() >= static_cast<std::size_t>(Tags); }, Tags * 40);
  EXPECT_EQ(view_.listed.size(), static_cast<std::size_t>(Tags))
      << "the run stalled after " << ticks << " ticks; the reader then held:\n"
      << sim::StateText(reader_.State());
  if (mode == Mode::FromFile) {
    TickUntil([] { return false; }, 5);  // the file's end stops the run
    EXPECT_EQ(view_.RunningTimer(), 0) << "a file run ends at the file's end";
    EXPECT_EQ(view_.progress, Tags + 1);
  } else {
    runner_.WriteReleased();
  }
  reader_.ClearFaults();
  Report(ticks);
  const sim::ReaderState state = reader_.State();
  EXPECT_GT(state.counters.faults, 0);
  faulttest::ExpectWriteRunKeptItsPromises(state, view_.listed, {&Format(), Case().chipKind, wanted});
  faulttest::ExpectListedChipsAreTheTags(view_.listed, Case().chipKind);
  if (mode == Mode::FromFile) {
    for (std::size_t k = 0; k < view_.listed.size(); ++k) EXPECT_EQ(view_.listed[k].fileLine, static_cast<int>(k) + 1);
  }
}

// Tags of the profile's chip, written before the faults start, then read one after another
// under faults: each is exported once, in order, and nothing else.
void FaultRuns::ExportRun() {
  const Identity first = Format().fromEntry(Case().first);
  std::vector<Identity> wanted;
  std::vector<int> tagIds;
  Identity id = first;
  const ChipWrite write = Case().make().ops.writes.front();
  for (int k = 0; k < Tags; ++k) {
    const int tag = reader_.AddTag(Case().chipKind);
    ASSERT_TRUE(reader_.PlaceOnReader(tag));
    write.write(id, RunChoices{});
    ASSERT_EQ(faulttest::HeldIdentity(reader_.State().tags.back(), Format()), id);
    wanted.push_back(id);
    tagIds.push_back(tag);
    for (int s = 0; s < 3; ++s) Format().increment(id);
  }
  runner_.ContinuousClicked(true);
  runner_.IncrementalClicked(true);
  view_.folders = {dir_.string()};
  InjectFaults(false);
  runner_.ReadPressed();
  ASSERT_NE(view_.RunningTimer(), 0) << "the run did not start";
  int ticks = 0;
  for (const int tag : tagIds) {
    reader_.PlaceOnReader(tag);
    const std::size_t before = view_.listed.size();
    ticks += TickUntil([&] { return view_.listed.size() > before; }, 40);
    ticks += TickUntil([] { return false; }, 2);  // the same tag again is not exported again
    reader_.TakeOffReader();
    ticks += TickUntil([] { return false; }, 1);
  }
  runner_.ReadReleased();
  reader_.ClearFaults();
  Report(ticks);
  EXPECT_GT(reader_.GetCounters().faults, 0);
  ASSERT_EQ(view_.listed.size(), wanted.size());
  std::vector<std::string> lines;
  for (std::size_t k = 0; k < wanted.size(); ++k) {
    EXPECT_EQ(view_.listed[k].id, wanted[k]) << "listed tag " << k + 1;
    lines.push_back(Format().text(wanted[k], 0));
  }
  std::ifstream in(runner_.ExportPath());
  std::vector<std::string> exported;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    exported.push_back(line);
  }
  EXPECT_EQ(exported, lines);
}

// Single writes onto fresh blanks, some taken away before their read-back: "written" is said
// only of a tag that is still there and carries the identity.
class SingleWrites : public FaultRuns {};

TEST_P(SingleWrites, ReportSuccessOnlyForTagsThatCarryTheIdentity) {
  InjectFaults(true);
  reader_.AddFault({sim::Fault::LiftAfterWrite, 0.3});
  Identity id = Format().fromEntry(Case().first);
  int ok = 0, failed = 0;
  for (int k = 0; k < 16; ++k) {
    const int tag = reader_.AddTag(Case().chipKind);
    ASSERT_TRUE(reader_.PlaceOnReader(tag));
    view_.entered = Format().text(id, 0);
    view_.statuses.clear();
    runner_.WritePressed();
    ASSERT_FALSE(view_.statuses.empty());
    const sim::TagState held = reader_.State().tags.back();
    if (view_.statuses.back().first == 1) {
      ++ok;
      EXPECT_EQ(faulttest::HeldIdentity(held, Format()), id) << "write " << k << " said written";
      EXPECT_FALSE(held.lifted) << "write " << k << " said written of a tag taken away";
    } else {
      ++failed;
    }
    Format().increment(id);
  }
  std::printf("[faults] %s single writes: %d written, %d failed, faults %s\n", Case().name.c_str(), ok, failed,
              FaultSummary(reader_.GetCounters()).c_str());
  EXPECT_GT(ok, 0);
  EXPECT_GT(failed, 0);
}

TEST_P(FaultRuns, ListedTagsAreOnTheTagsOnceAndInOrder) {
  if (RunMode() == Mode::ExportRead) ExportRun();
  else WriteRun();
}

INSTANTIATE_TEST_SUITE_P(
    EveryModeAndProfile, FaultRuns,
    ::testing::Combine(::testing::Range(0, static_cast<int>(Profiles().size())),
                       ::testing::Values(Mode::Continuous, Mode::Incremental, Mode::FromFile, Mode::ExportRead)),
    [](const auto& param) {
      return Profiles()[std::get<0>(param.param)].name + "_" + ModeName(std::get<1>(param.param));
    });

INSTANTIATE_TEST_SUITE_P(EveryProfile, SingleWrites,
                         ::testing::Combine(::testing::Range(0, static_cast<int>(Profiles().size())),
                                            ::testing::Values(Mode::Continuous)),
                         [](const auto& param) { return Profiles()[std::get<0>(param.param)].name; });

}  // namespace
}  // namespace rivelo
