#include "cli/identity_jobs.h"

#include <algorithm>
#include <chrono>
#include <ostream>
#include <thread>

#include "batch/batch_runner.h"
#include "cli/command_set.h"
#include "cli/consent.h"
#include "cli/option_checks.h"
#include "cli/reader_messages.h"
#include "cli/run_view.h"
#include "cli/stop_signals.h"
#include "cli/tag_result_text.h"
#include "reader/commands.h"
#ifdef RIVELO_HAS_REGISTRY
#include "batch/registry_run.h"
#include "cli/registry_option.h"
#endif

namespace rivelo::cli {
namespace {

using Kind = IdentityJob::Kind;

// Consecutive ticks whose exchanges all failed on the port itself before a run gives up: the
// reader was unplugged or its port went away, and no tick can succeed again.
constexpr int PortFailureTicks = 7;
// The longest a stop signal waits for the timer loop to notice it.
constexpr auto SignalPoll = std::chrono::milliseconds(20);

// The reason of a failed exchange, or empty when the reader answered.
std::string LastReplyProblem() {
  const ReplyFailure failure = LastReplyFailure();
  if (failure == ReplyFailure::None) return {};
  if (failure == ReplyFailure::Silent) return "no reply from the reader (silent)";
  return "no valid reply from the reader (" + DescribeReplyFailure(failure) + ")";
}

// Without --form, a format with a report prints it: one "label  text" line each.
void PrintRead(Session& session, const IdentityJob& job, const Identity& id) {
  const FormatEntry& format = *job.format;
  if (session.json) {
    session.Out() << TagJsonNow(format, ListedTag{1, id, nullptr}) << std::endl;
  } else if (format.report && !job.formAsked) {
    const Labelled lines = format.report(id);
    std::size_t width = 0;
    for (const auto& line : lines) width = std::max(width, line.first.size());
    for (const auto& [label, text] : lines)
      session.Out() << label << std::string(width + 2 - label.size(), ' ') << text << '\n';
    session.Out().flush();
  } else {
    session.Out() << format.format->text(id, job.form) << std::endl;
  }
}

// The registry the job takes its identities from, as the runner's gate; false when it was asked
// for and cannot be opened (said on standard error). A run may make a new SQLite file.
bool UseRegistry(Session& session, const IdentityJob& job, BatchRunner& runner) {
  if (job.gate) {
    runner.SetIdentityGate(job.gate, job.strictRegistry);
    return true;
  }
  if (job.registry.empty()) return true;
#ifdef RIVELO_HAS_REGISTRY
  std::string error;
  std::shared_ptr<IdentityRegistry> registry = OpenRegistryOption(job.registry, true, &error);
  if (!registry) {
    session.Error(error + "; nothing was written");
    return false;
  }
  const auto lease = job.leaseSeconds > 0 ? std::chrono::milliseconds(job.leaseSeconds * 1000LL) : DefaultRegistryLease;
  runner.SetIdentityGate(std::make_shared<RegistryGate>(std::move(registry), lease), job.strictRegistry);
  return true;
#else
  (void)runner;
  session.Error("this build has no registry");
  return false;
#endif
}

int SingleRead(Session& session, const IdentityJob& job) {
  const IdentityFormat& format = *job.format->format;
  if (const int code = session.Connect(); code != ExitOk) return code;
  const BatchProfile profile = job.format->profile([] { return RunChoices{}; });
  Identity id(format.length, 0);
  const ReadOutcome outcome = profile.ops.read(&id);
  if (outcome == ReadOutcome::Found && id.size() == format.length) {
    CmdAcknowledge(AcknowledgeNormal);
    PrintRead(session, job, id);
    return ExitOk;
  }
  if (outcome == ReadOutcome::NoIdentity)
    session.Error("no " + std::string(job.format->format->title) + " tag was read" +
                  (job.format->readNote ? std::string(" (this command ") + job.format->readNote + ")" : std::string()));
  else session.Error(LastReplyProblem().empty() ? "no valid reply from the reader" : LastReplyProblem());
  return ExitFailed;
}

int SingleWrite(Session& session, const IdentityJob& job) {
  const IdentityFormat& format = *job.format->format;
  if (const int code = session.Connect(); code != ExitOk) return code;
  RunChoices choices{job.lock ? 1 : 0, 0};
  choices.password = job.password;
  choices.protect = job.protect;
  const BatchProfile profile = ProfileFor(*job.format, [choices] { return choices; }, job.chip);
  const std::string chips = ChipOrder(profile);
  RunView view(session, *job.format, 0);
  BatchRunner runner(profile, view);
  runner.SetRunLogFile(job.log);
  if (!UseRegistry(session, job, runner)) return ExitFailed;
  view.Enter(job.id);
  runner.WritePressed();
  view.Flush();
  if (runner.GateStopped()) return ExitFailed;  // the runner said why
  if (runner.RunLogFailed()) {  // written, but its record was not
    session.Error(runner.RunLogError());
    return ExitFailed;
  }
  if (view.lastStatusKind == 1) {
    if (session.json) {
      ListedTag tag{1, job.id, runner.LastChip()};
      tag.protectedTag = runner.LastProtected();
      session.Out() << TagJsonNow(*job.format, tag) << std::endl;
    }
    return ExitOk;
  }
  const std::string problem = LastReplyProblem();
  std::string why = problem.empty() ? "no chip read it back (tried " + chips + ")" : problem;
  // A format of one chip says why that chip's write did not count, as the window's page does.
  if (job.format->chips.empty())
    why = TagFailureText(runner.LastWriteResult(), "write", "the identity", TagChip::T5577);
  session.Error("the tag did not take " + format.text(job.id, 0) + ": " + why);
  return ExitFailed;
}

enum class RunEnd { Counted, Finished, Interrupted, PortFailed, TooManyRefused };

RunLoopClock& RunLoopClockSlot() {
  static RunLoopClock clock{[] { return Clock::now(); }, [](Clock::duration d) { std::this_thread::sleep_for(d); }};
  return clock;
}

const RunLoopClock& CurrentRunLoopClock() { return RunLoopClockSlot(); }

// The page's timer, as a loop: ticks the runner at its period until it has listed count tags,
// ends by itself, stop is requested, or its port has failed for good.
RunEnd Drive(BatchRunner& runner, RunView& view, int count, int maxRefused, const StopSignals& stop) {
  const RunLoopClock& clock = CurrentRunLoopClock();
  int portFailures = 0;
  const int first = runner.RunCounter();  // a file run may start part way
  auto next = clock.now() + std::chrono::milliseconds(view.PeriodMs());
  for (;;) {
    if (count > 0 && runner.RunCounter() - runner.LinesSkipped() - first >= count) return RunEnd::Counted;
    if (maxRefused > 0 && runner.RefusedCount() >= maxRefused) return RunEnd::TooManyRefused;
    // The runner stops a run by itself when the reader's port goes away.
    if (view.RunningTimer() == 0) return runner.LostPort().empty() ? RunEnd::Finished : RunEnd::PortFailed;
    if (portFailures >= PortFailureTicks) return RunEnd::PortFailed;
    while (!stop.Requested() && clock.now() < next) clock.sleep(std::min<Clock::duration>(SignalPoll, next - clock.now()));
    if (stop.Requested()) return RunEnd::Interrupted;
    runner.Tick(view.RunningTimer());
    view.Flush();  // a line that is no tag (a tag left alone) is said now, not with the next one
    portFailures = LastReplyFailure() == ReplyFailure::PortFailed ? portFailures + 1 : 0;
    // A tick that outlasts the period only delays the next one.
    next = std::max(next, clock.now()) + std::chrono::milliseconds(view.PeriodMs());
  }
}

// Puts the run in motion as the page's controls would; false when it did not start.
bool StartRun(BatchRunner& runner, RunView& view, const IdentityJob& job, std::size_t fileStart) {
  switch (job.kind) {
    case Kind::ReadRun:
      runner.ContinuousClicked(true);
      if (!job.exportDir.empty()) {
        runner.IncrementalClicked(true);  // on the Read side the second box means export
        view.folders = {job.exportDir};
      }
      runner.ReadPressed();
      return runner.State() == RunState::Reading;
    case Kind::ContinuousRun:
    case Kind::IncrementalRun:
      view.Enter(job.id);
      runner.ContinuousClicked(true);
      if (job.kind == Kind::IncrementalRun) runner.IncrementalClicked(true);
      break;
    case Kind::FileRun:  // the file is loaded already
      runner.ResumeFileAt(fileStart);
      break;
    case Kind::Read:
    case Kind::Write: return false;
  }
  runner.WritePressed();
  return runner.State() == RunState::Writing;
}

int RunEnded(Session& session, const IdentityJob& job, const BatchRunner& runner, RunEnd end, int fileTags,
             std::size_t fileStart);

int Run(Session& session, const IdentityJob& job) {
  RunChoices choices{job.lock ? 1 : 0, job.form};
  choices.password = job.password;
  choices.protect = job.protect;
  RunView view(session, *job.format, job.kind == Kind::ReadRun ? job.form : 0);
  BatchProfile profile = ProfileFor(*job.format, [choices] { return choices; }, job.chip);
  if (job.periodMs > 0) profile.periodMs = job.periodMs;
  BatchRunner runner(std::move(profile), view);
  runner.SetRunLogFile(job.log);
  runner.SetUniqueReads(job.unique);
  if (job.kind != Kind::ReadRun && !UseRegistry(session, job, runner)) return ExitFailed;
  // The runner loads the file, whole, before the reader is touched; its line numbers and tag
  // count are the runner's, so what --from-line is checked against is what is written.
  int fileTags = 0;
  std::size_t fileStart = 0;
  if (job.kind == Kind::FileRun) {
    std::string why;
    BatchFileError error = BatchFileError::None;
    const bool loaded = runner.LoadFile(job.file, &why, &error);
    view.Flush();
    if (!loaded) {
      // An empty file's description names it already.
      session.Error((error == BatchFileError::Empty ? std::string() : job.file + ": ") + why);
      return ExitFailed;
    }
    const std::vector<int>& lines = runner.FileLineNumbers();
    fileTags = static_cast<int>(lines.size());
    // --from-line: the first identity at or after that line; none is a usage error.
    if (job.fromLine > 1) {
      while (fileStart < lines.size() && lines[fileStart] < job.fromLine) ++fileStart;
      if (fileStart == lines.size())
        throw UsageError("--from-line " + std::to_string(job.fromLine) + ": " + job.file + " has no identity there" +
                         (lines.empty() ? std::string() : " (its last is on line " + std::to_string(lines.back()) + ")"));
    }
  }
  // From here on a stop signal ends the run the orderly way, also while the ports are scanned.
  const StopSignals stop;
  if (const int code = session.Connect(); code != ExitOk) return code;
  if (stop.Requested()) {
    session.Error("interrupted before the run started");
    return ExitInterrupted;
  }
  if (job.kind != Kind::ReadRun) {
    int blanks = job.count > 0 ? job.count : 1000000;
    if (job.kind == Kind::FileRun) blanks = std::min(blanks, fileTags - static_cast<int>(fileStart));
    // Stacks with their own count are fed as given; one without (only the last) as the run asks.
    std::vector<std::pair<std::string, int>> stacks;
    for (const std::string& text : job.feeds) {
      const FeedValue feed = SplitFeed(text);
      stacks.emplace_back(feed.kind, feed.count < 0 ? blanks : feed.count);
    }
    session.FeedBlankChips(stacks);
  }
  if (!StartRun(runner, view, job, fileStart)) {
    view.Flush();
    session.Error(job.kind == Kind::ReadRun ? "the read run did not start" : "the write run did not start");
    return ExitFailed;
  }
  const RunEnd end = Drive(runner, view, job.count, job.maxRefused, stop);
  // The operator's release: the stop line, the summary, and the export file closed.
  if (runner.State() == RunState::Writing) runner.WriteReleased();
  if (runner.State() == RunState::Reading) runner.ReadReleased();
  view.Flush();
  session.Out().flush();
  const int code = RunEnded(session, job, runner, end, fileTags, fileStart);
  view.PrintSummary(runner.LastSummary());
  return code;
}

// Says what ended the run when it did not end as asked; its exit code.
int RunEnded(Session& session, const IdentityJob& job, const BatchRunner& runner, RunEnd end, int fileTags,
             std::size_t fileStart) {

  const int listed = runner.RunCounter() - runner.LinesSkipped() - static_cast<int>(fileStart);
  // Where a file run that stopped short would go on: the file's own line number.
  const auto resumeHint = [&] {
    const std::string line = std::to_string(runner.FileLineNumbers()[static_cast<std::size_t>(runner.RunCounter())]);
    return "resume with line " + line + " of " + job.file + ": --from-line " + line;
  };
  if (runner.RunLogFailed()) {  // the list went on no further
    session.Error(runner.RunLogError());
    return ExitFailed;
  }
  if (runner.ExportFailed() || runner.GateStopped()) return ExitFailed;  // the runner said why
  switch (end) {
    case RunEnd::TooManyRefused:
      session.Error("refused tags: " + std::to_string(runner.RefusedCount()) + " (--max-refused " +
                    std::to_string(job.maxRefused) + "); the run stopped after " + std::to_string(listed) + " tags");
      if (job.kind == Kind::FileRun && runner.RunCounter() < fileTags) session.Error(resumeHint());
      return ExitFailed;
    case RunEnd::Counted: return ExitOk;
    case RunEnd::Finished:
      // The runner named the last identity of the range it wrote; the tags asked for are not all there.
      if (runner.RangeEnded()) return ExitFailed;
      if (job.count > 0 && listed < job.count) {
        session.Error("the file ended after " + std::to_string(listed) + " of the " + std::to_string(job.count) +
                      " tags asked for");
        return ExitFailed;
      }
      return ExitOk;
    case RunEnd::PortFailed:
      session.Error((runner.LostPort().empty() ? std::string("the reader's port failed")
                                               : "the reader's port " + runner.LostPort() + " is gone") +
                    "; the run stopped after " + std::to_string(listed) + " tags");
      if (job.kind == Kind::FileRun && runner.RunCounter() < fileTags) session.Error(resumeHint());
      return ExitFailed;
    case RunEnd::Interrupted: break;
  }
  // The last identity was written, only the run's closing tick had not come yet.
  if (job.kind == Kind::FileRun && runner.RunCounter() >= fileTags) return ExitOk;
  if (job.kind == Kind::FileRun) {
    session.Error("interrupted after " + std::to_string(listed) + " of " +
                  std::to_string(fileTags - static_cast<int>(fileStart)) + " tags; " + resumeHint());
  } else {
    session.Error("interrupted after " + std::to_string(listed) + " tags");
  }
  return ExitInterrupted;
}

}  // namespace

void SetRunLoopClock(RunLoopClock clock) { RunLoopClockSlot() = std::move(clock); }

int RunIdentityJob(Session& session, const IdentityJob& job) {
  // Once per command, before anything is sent: a locked tag can never be written again.
  if (job.lock && job.kind != Kind::Read && job.kind != Kind::ReadRun &&
      !Confirm(session, "--lock locks every tag of this run for good. Go on?", job.yes)) {
    session.Error("nothing was written");
    return ExitFailed;
  }
  // A run whose record cannot be kept does not start: checked before the reader is sought.
  if (!job.log.empty() && job.kind != Kind::Read && job.kind != Kind::ReadRun) {
    RunLog log(*job.format->format);
    std::string why;
    if (!log.Open(job.log, &why, true)) {  // named by the operator: a link there is the operator's
      session.Error("cannot use the run log " + job.log + ": " + why);
      return ExitFailed;
    }
  }
  switch (job.kind) {
    case Kind::Read: return SingleRead(session, job);
    case Kind::Write: return SingleWrite(session, job);
    default: return Run(session, job);
  }
}

}  // namespace rivelo::cli
