#include "cli/em4100_jobs.h"

#include <chrono>
#include <csignal>
#include <ostream>
#include <thread>

#include "batch/batch_runner.h"
#include "batch/em4100_profile.h"
#include "batch/headless_view.h"
#include "model/em4100.h"
#include "reader/commands.h"
#if RIVELO_HAS_SIM
#include "sim/virtual_reader.h"
#endif

namespace rivelo::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;
extern "C" void OnInterrupt(int) { interrupted = 1; }

// The page as the command line has it: lines go to standard output as they come, status texts
// to standard error; the one timer is the loop in RunTimer.
struct CliView : HeadlessView {
  explicit CliView(CliContext& ctx) : HeadlessView(Em4100Format()) {
    keepLines = false;
    onLine = [&ctx](const std::string& line) { *ctx.out << line << std::endl; };
    onMessage = [&ctx](const std::string& text) { *ctx.err << "rivelo: " << text << "\n"; };
    onStatus = [this, &ctx](int kind, const std::string& text) {
      lastKind = kind;
      // As the main window does: a success is signalled on the reader.
      if (kind == 1) CmdAcknowledge(AcknowledgeNormal);
      *ctx.err << text << "\n";
    };
  }
  int lastKind = -1;
};

struct Options {
  std::string continuous, incremental, file, exportDir, feed = "em4305";
  Em4100Form form = Em4100Form::Hex10;
  bool continuousRead = false, lock = false, formGiven = false;
  long count = -1;
  std::vector<std::string> free;
};

bool ParseForm(const std::string& s, Em4100Form* form) {
  if (s == "10H") *form = Em4100Form::Hex10;
  else if (s == "08H") *form = Em4100Form::Dec08H;
  else if (s == "06H") *form = Em4100Form::Dec06H;
  else if (s == "02H04H") *form = Em4100Form::Split02And04;
  else if (s == "13D") *form = Em4100Form::Dec13;
  else return false;
  return true;
}

bool ParseOptions(const Args& args, Options* o) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= args.size()) return false;
      *out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--lock") o->lock = true;
    else if (a == "--continuous") { if (o->continuousRead) return false; o->continuousRead = true; }
    else if (a == "--incremental") { if (!value(&o->incremental)) return false; }
    else if (a == "--file") { if (!value(&o->file)) return false; }
    else if (a == "--export") { if (!value(&o->exportDir)) return false; }
    else if (a == "--feed") { if (!value(&o->feed)) return false; }
    else if (a == "--form") {
      if (!value(&v) || !ParseForm(v, &o->form)) return false;
      o->formGiven = true;
    } else if (a == "--count") {
      if (!value(&v) || v.empty() || v.find_first_not_of("0123456789") != std::string::npos || v.size() > 9)
        return false;
      o->count = std::stol(v);
    } else if (a.rfind("--", 0) == 0) return false;
    else o->free.push_back(a);
  }
  return true;
}

bool ValidHex10(const std::string& s) { return HexBytesExact(s, 5).has_value(); }

// Ticks the runner at its period until done() or an interrupt; the operator's release then
// ends the run as on the page.
void RunTimer(BatchRunner& runner, CliView& view, const std::function<bool()>& done) {
  interrupted = 0;
  auto previous = std::signal(SIGINT, OnInterrupt);
  auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(view.PeriodMs());
  while (view.RunningTimer() != 0 && !done() && !interrupted) {
    std::this_thread::sleep_until(next);
    runner.Tick(view.RunningTimer());
    // A tick that outlasts the period only delays the next one.
    next = std::max(next, std::chrono::steady_clock::now()) + std::chrono::milliseconds(view.PeriodMs());
  }
  std::signal(SIGINT, previous);
  if (runner.State() == RunState::Writing) runner.WriteReleased();
  if (runner.State() == RunState::Reading) runner.ReadReleased();
}

void FeedBlankChips(CliContext& ctx, const std::string& kind, long count) {
#if RIVELO_HAS_SIM
  // A virtual reader gets a stack of blank chips, so that a write run has tags to work on.
  if (ctx.reader) ctx.reader->SetFeeder(kind, count > 0 ? static_cast<int>(count) : 1000000, 0);
#else
  (void)ctx, (void)kind, (void)count;
#endif
}

}  // namespace

int RunWriteEm4100(CliContext& ctx, const Args& args) {
  Options o;
  if (!ParseOptions(args, &o) || o.free.size() != 1 || !ValidHex10(o.free[0])) return ExitUsage;
  if (!Connect(ctx)) return ExitNoReader;
  const RunChoices choices{o.lock ? 1 : 0, 0};
  CliView view(ctx);
  BatchRunner runner(MakeEm4305IdProfile([choices] { return choices; }), view);
  view.entered = o.free[0];
  runner.WritePressed();
  return view.lastKind == 1 ? ExitOk : ExitFailed;
}

int RunRunEm4100(CliContext& ctx, const Args& args) {
  Options o;
  if (!ParseOptions(args, &o) || o.formGiven || !o.exportDir.empty()) return ExitUsage;
  const bool continuous = o.continuousRead;
  const int modes = (continuous ? 1 : 0) + (o.incremental.empty() ? 0 : 1) + (o.file.empty() ? 0 : 1);
  if (modes != 1) return ExitUsage;
  std::string hex = o.incremental;
  if (continuous) {
    if (o.free.size() != 1) return ExitUsage;
    hex = o.free[0];
  } else if (!o.free.empty()) {
    return ExitUsage;
  }
  if (o.file.empty() && !ValidHex10(hex)) return ExitUsage;
  if (!Connect(ctx)) return ExitNoReader;
  FeedBlankChips(ctx, o.feed, o.count);

  const RunChoices choices{o.lock ? 1 : 0, 0};
  CliView view(ctx);
  BatchRunner runner(MakeEm4305IdProfile([choices] { return choices; }), view);
  if (!o.file.empty()) {
    view.files = {o.file};
    if (!runner.FromFileClicked(true)) return ExitFailed;
  } else {
    view.entered = hex;
    runner.ContinuousClicked(true);
    if (!o.incremental.empty()) runner.IncrementalClicked(true);
  }
  runner.WritePressed();
  if (runner.State() != RunState::Writing) return ExitFailed;
  RunTimer(runner, view, [&] { return o.count >= 0 && runner.RunCounter() >= o.count; });
  return ExitOk;
}

int RunReadEm4100Continuous(CliContext& ctx, const Args& args) {
  Options o;
  if (!ParseOptions(args, &o) || !o.continuousRead || !o.free.empty() || o.lock || !o.file.empty() ||
      !o.incremental.empty())
    return ExitUsage;
  if (!Connect(ctx)) return ExitNoReader;
  const RunChoices choices{0, static_cast<std::size_t>(o.form)};
  CliView view(ctx);
  BatchRunner runner(MakeEm4305IdProfile([choices] { return choices; }), view);
  runner.ContinuousClicked(true);
  if (!o.exportDir.empty()) {
    runner.IncrementalClicked(true);  // on the Read side the second box means export
    view.folders = {o.exportDir};
  }
  runner.ReadPressed();
  if (runner.State() != RunState::Reading) return ExitFailed;
  RunTimer(runner, view, [&] { return o.count >= 0 && runner.RunCounter() >= o.count; });
  return ExitOk;
}

}  // namespace rivelo::cli
