// read, write and run: the identity commands, made for every format of the table.
//   read FORMAT [--form KEY] | --continuous [--export DIR] [--form KEY] [--count N]
//   write FORMAT ID [--lock]
//   run FORMAT (--continuous ID | --incremental ID | --file PATH) [--count N] [--lock] [--feed KIND]
#include "cli/command_set.h"
#include "cli/identity_jobs.h"
#include "cli/option_checks.h"

namespace rivelo::cli {
namespace {

// The options of one identity command as parsed.
struct IdentityOptions {
  bool continuous = false;
  std::string id, continuousId, incrementalId, file, exportDir, form, feed;
  int count = 0;
  bool lock = false;
};

std::string FormKeys(const IdentityFormat& format) {
  std::string keys;
  for (const IdentityForm& f : format.forms) keys += (keys.empty() ? "" : ", ") + std::string(f.key);
  return keys;
}

CLI::Validator IdentityCheck(const CliFormat& format) {
  return CLI::Validator(
      [&format](std::string& value) {
        return format.parseArgument(value) ? std::string()
                                           : "'" + value + "' is not an identity: " + format.argumentHelp;
      },
      "");
}

CLI::Validator FormCheck(const IdentityFormat& format) {
  return CLI::Validator(
      [&format](std::string& value) {
        return FindForm(format, value)
                   ? std::string()
                   : "'" + value + "' is not a form of " + format.name + " (" + FormKeys(format) + ")";
      },
      "");
}

CLI::Validator FeedCheck() {
  return CLI::Validator([](std::string& value) { return FeedKindError(value); }, "");
}

void AddCount(CLI::App* app, IdentityOptions& o, const std::string& what) {
  o.count = 0;
  app->add_option("--count", o.count, what)->type_name("N")->check(CountCheck());
}

IdentityJob JobFor(const CliFormat& format, IdentityJob::Kind kind, const IdentityOptions& o) {
  IdentityJob job;
  job.format = &format;
  job.kind = kind;
  job.count = o.count;
  job.lock = o.lock;
  job.file = o.file;
  job.exportDir = o.exportDir;
  job.feed = o.feed.empty() ? "em4305" : o.feed;
  if (!o.form.empty()) job.form = *FindForm(*format.format, o.form);
  return job;
}

void AddRead(CommandSet& commands, CLI::App& read, const CliFormat& format) {
  auto o = std::make_shared<IdentityOptions>();
  Session& session = commands.session;
  const IdentityFormat& f = *format.format;
  const auto action = [&session, &format, o] {
    if (!o->continuous && !o->exportDir.empty()) throw UsageError("--export needs --continuous");
    if (!o->continuous && o->count > 0) throw UsageError("--count needs --continuous");
    return RunIdentityJob(session,
                          JobFor(format, o->continuous ? IdentityJob::Kind::ReadRun : IdentityJob::Kind::Read, *o));
  };
  CLI::App* app = commands.Add(read, f.name,
                               "print the identity of the " + std::string(format.title) +
                                   " tag on the reader; with --continuous, list every tag read until N are "
                                   "listed or Ctrl+C",
                               "[--form KEY] [--continuous [--export DIR] [--count N]]", action, "Formats");
  app->add_flag("--continuous", o->continuous, "read tag after tag, one line each")->disable_flag_override();
  app->add_option("--export", o->exportDir,
                  "append each new identity once to DIR/YYYY-MM-DD-hh-mm-ss.txt, in the form of --form")
      ->type_name("DIR")
      ->check(NonEmpty());
  app->add_option("--form", o->form,
                  "the form of the lines and the export: " + FormKeys(f) + " (default " + f.forms.front().key + ")")
      ->type_name("KEY")
      ->check(FormCheck(f));
  AddCount(app, *o, "stop after N listed tags");
}

void AddWrite(CommandSet& commands, CLI::App& write, const CliFormat& format) {
  auto o = std::make_shared<IdentityOptions>();
  Session& session = commands.session;
  const IdentityFormat& f = *format.format;
  const std::string chips = ChipOrder(format.profile([] { return RunChoices{}; }));
  CLI::App* app = commands.Add(
      write, f.name,
      "write an " + std::string(format.title) + " identity onto the tag on the reader (" + chips + ") and read it back",
      std::string(format.argumentName) + " [--lock]",
      [&session, &format, o] {
        IdentityJob job = JobFor(format, IdentityJob::Kind::Write, *o);
        job.id = *format.parseArgument(o->id);
        return RunIdentityJob(session, job);
      },
      "Formats");
  app->add_option(format.argumentName, o->id, "the identity: " + std::string(format.argumentHelp))
      ->required()
      ->check(IdentityCheck(format));
  app->add_flag("--lock", o->lock, "lock the tag after writing it: it can never be changed again")
      ->disable_flag_override();
}

void AddRun(CommandSet& commands, CLI::App& run, const CliFormat& format) {
  auto o = std::make_shared<IdentityOptions>();
  Session& session = commands.session;
  const IdentityFormat& f = *format.format;
  const std::string id = format.argumentName;
  const auto action = [&session, &format, o] {
    const int modes =
        (o->continuousId.empty() ? 0 : 1) + (o->incrementalId.empty() ? 0 : 1) + (o->file.empty() ? 0 : 1);
    if (modes != 1) throw UsageError("give one of --continuous, --incremental and --file");
    if (!o->feed.empty() && !session.connection.simulate) throw UsageError("--feed needs --simulate");
    IdentityJob::Kind kind = IdentityJob::Kind::FileRun;
    if (!o->continuousId.empty()) kind = IdentityJob::Kind::ContinuousRun;
    if (!o->incrementalId.empty()) kind = IdentityJob::Kind::IncrementalRun;
    IdentityJob job = JobFor(format, kind, *o);
    if (kind != IdentityJob::Kind::FileRun)
      job.id = *format.parseArgument(kind == IdentityJob::Kind::ContinuousRun ? o->continuousId : o->incrementalId);
    return RunIdentityJob(session, job);
  };
  CLI::App* app = commands.Add(
      run, f.name,
      "write " + std::string(format.title) +
          " identities tag after tag until N tags are written, the file's end or Ctrl+C: each tag on the "
          "reader gets its identity and is read back, then the next one is awaited",
      "(--continuous " + id + " | --incremental " + id + " | --file PATH) [--count N] [--lock] [--feed KIND]", action,
      "Formats");
  app->add_option("--continuous", o->continuousId, "the same identity onto every tag")
      ->type_name(id)
      ->check(IdentityCheck(format));
  app->add_option("--incremental", o->incrementalId, "this identity onto the first tag, one more onto each next")
      ->type_name(id)
      ->check(IdentityCheck(format));
  app->add_option("--file", o->file, std::string("the identities of a batch file, in order: ") + format.fileLineHelp)
      ->type_name("PATH")
      ->check(NonEmpty());
  AddCount(app, *o, "stop after N written tags");
  app->add_flag("--lock", o->lock, "lock each tag after writing it")->disable_flag_override();
  app->add_option("--feed", o->feed,
                  "with --simulate: the kind of blank chips the virtual reader is fed, t5577 or em4305 "
                  "(default), with options as in --simulate")
      ->type_name("KIND")
      ->check(FeedCheck());
}

}  // namespace

void AddIdentityCommands(CommandSet& commands, CLI::App& root) {
  CLI::App* read = commands.Add(root, "read", "read tags: once, or continuously with export", "FORMAT [OPTIONS]", {});
  CLI::App* write = commands.Add(root, "write", "write one tag and verify it", "FORMAT ID [--lock]", {});
  CLI::App* run = commands.Add(root, "run", "write a stream of tags: the same identity, a growing one, or a file's",
                               "FORMAT (--continuous ID | --incremental ID | --file PATH) [OPTIONS]", {});
  for (CLI::App* family : {read, write, run}) family->require_subcommand(1);
  for (const CliFormat& format : CliFormats()) {
    AddRead(commands, *read, format);
    AddWrite(commands, *write, format);
    AddRun(commands, *run, format);
  }
}

}  // namespace rivelo::cli
