#include "cli/cmd_station.h"

#include <mutex>
#include <ostream>
#include <streambuf>
#include <thread>

#include "batch/registry_run.h"
#include "cli/identity_jobs.h"
#include "cli/registry_option.h"
#include "cli/run_view.h"
#include "cli/stop_signals.h"
#include "reader/my_comm.h"

namespace rivelo::cli {
namespace {

// One reader's lines, each passed whole to the shared stream behind its reader's name, so that
// the lines of several readers neither mix nor lose whose they are. A JSON object gets the
// reader as its first member instead.
class ReaderLines : public std::streambuf {
 public:
  ReaderLines(std::ostream& target, std::mutex& lock, std::string reader)
      : target_(target), lock_(lock), reader_(std::move(reader)) {}
  ~ReaderLines() override { sync(); }

 protected:
  int overflow(int c) override {
    if (c == traits_type::eof()) return 0;
    if (c == '\n') Emit();
    else line_.push_back(static_cast<char>(c));
    return c;
  }
  int sync() override {
    if (!line_.empty()) Emit();
    return 0;
  }

 private:
  void Emit() {
    const std::lock_guard<std::mutex> hold(lock_);
    if (!line_.empty() && line_.front() == '{')
      target_ << "{\"reader\":\"" << reader_ << "\"," << line_.substr(1) << std::endl;
    else
      target_ << reader_ << ": " << line_ << std::endl;
    line_.clear();
  }

  std::ostream& target_;
  std::mutex& lock_;
  std::string reader_;
  std::string line_;
};

void Add(RunSummary& total, const RunSummary& run) {
  total.tags += run.tags;
  total.refused += run.refused;
  total.leftAlone += run.leftAlone;
  total.silentTicks += run.silentTicks;
  total.seconds = std::max(total.seconds, run.seconds);
}

// Each reader on a thread of its own, on a port slot of its own, with the run of the command
// line; the registry, the log and the stop signals are shared.
int RunStation(Session& session, const IdentityJob& job) {
  const std::vector<std::string>& ports = session.connection.ports;
  if (session.connection.simulate) throw UsageError("station takes its readers from --port, not --simulate");
  if (ports.empty()) throw UsageError("station needs a --port for each reader");
  if (ports.size() > static_cast<std::size_t>(PortTableSize))
    throw UsageError("station runs at most " + std::to_string(PortTableSize) + " readers");
  if (job.registry.empty()) throw UsageError("station needs --registry: its readers take their identities from it");
  if (job.kind == IdentityJob::Kind::FileRun)
    throw UsageError("station runs --continuous or --incremental; a batch file is one reader's");
  std::string error;
  std::shared_ptr<IdentityRegistry> registry = OpenRegistryOption(job.registry, true, &error);
  if (!registry) {
    session.Error(error + "; nothing was written");
    return ExitFailed;
  }
  const auto lease = job.leaseSeconds > 0 ? std::chrono::milliseconds(job.leaseSeconds * 1000LL) : DefaultRegistryLease;
  const StopSignals stop;  // one Ctrl+C stops every reader
  std::mutex outLock, errLock, summaryLock;
  RunSummary total;
  std::vector<int> codes(ports.size(), ExitFailed);
  std::vector<std::thread> readers;
  for (std::size_t i = 0; i < ports.size(); ++i) {
    readers.emplace_back([&, i] {
      SetThreadReaderSlot(static_cast<int>(i));
      ReaderLines outLines(session.Out(), outLock, ports[i]), errLines(session.Err(), errLock, ports[i]);
      std::ostream out(&outLines), err(&errLines);
      {
        Session reader(out, err);
        reader.connection.ports = {ports[i]};
        reader.json = session.json;
        reader.takeSummary = [&](const RunSummary& run) {
          const std::lock_guard<std::mutex> hold(summaryLock);
          Add(total, run);
        };
        IdentityJob own = job;
        own.gate = std::make_shared<RegistryGate>(registry, lease);
        codes[i] = RunIdentityJob(reader, own);
      }
      out.flush();
      err.flush();
    });
  }
  for (std::thread& reader : readers) reader.join();
  session.Err() << SummaryText(total) << std::endl;
  if (session.json) session.Out() << SummaryJson(total) << std::endl;
  if (stop.Requested()) return ExitInterrupted;
  for (const int code : codes)
    if (code != ExitOk) return code;
  return ExitOk;
}

}  // namespace

void AddStationCommand(CommandSet& commands, CLI::App& root) {
  CLI::App* station = commands.Add(
      root, "station",
      "run one write run per reader at once (each --port a reader), all taking identities from one registry; "
      "each line names its reader, Ctrl+C stops them all",
      "--port PATH [--port PATH]... run FORMAT (--continuous ID | --incremental ID) --registry WHERE [OPTIONS]", {});
  station->require_subcommand(1);
  CLI::App* run = commands.Add(*station, "run", "the run each reader makes, as rivelo run has it (--count: each reader's)",
                               "FORMAT (--continuous ID | --incremental ID) --registry WHERE [OPTIONS]", {});
  run->require_subcommand(1);
  AddRunCommands(commands, *run, RunStation);
}

}  // namespace rivelo::cli
