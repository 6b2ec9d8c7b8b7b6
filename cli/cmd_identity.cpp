// read, write and run: the identity commands, made for every format of the table. ID stands
// for the format's words (HEX10; COUNTRY NATIONAL), OPTS for the options that complete it
// (--trailer N) and --chip.
//   read FORMAT [--form KEY] | --continuous [--export DIR] [--form KEY] [--count N]
//   write FORMAT ID [OPTS] [--lock [--yes]]
//   run FORMAT (--continuous ID | --incremental ID | --file PATH) [OPTS] [--count N] [--lock [--yes]] [--feed KIND]
#include "cli/command_set.h"
#include "cli/identity_jobs.h"
#include "cli/option_checks.h"
#include "cli/password_option.h"
#ifdef RIVELO_HAS_REGISTRY
#include "cli/registry_option.h"
#endif

namespace rivelo::cli {
namespace {

// The options of one identity command as parsed.
struct IdentityOptions {
  bool continuous = false;
  // The identity's words, and the values of the options that complete it (empty: not
  // given); sized before the parser is bound to their elements.
  std::vector<std::string> words, completions;
  std::vector<std::string> continuousId, incrementalId;
  std::string file, exportDir, form, chip;
  std::vector<std::string> feeds;
  int maxRefused = 0, periodMs = 0;
  bool unique = false;
  std::string log;  // the run log's file
  int count = 0;
  int fromLine = 0;
  bool lock = false, yes = false;
  PasswordSource password, protect;
  std::string registry;
  bool strictRegistry = false;
  int leaseSeconds = 0;
};

std::string FormKeys(const IdentityFormat& format) {
  std::string keys;
  for (const IdentityForm& f : format.forms) keys += (keys.empty() ? "" : ", ") + std::string(f.key);
  return keys;
}

std::string ChipKeys(const FormatEntry& format) {
  std::string keys;
  for (const FormatChip& c : format.chips) keys += (keys.empty() ? "" : " or ") + std::string(c.key);
  return keys;
}

// The format's words as a usage line shows them: "COUNTRY NATIONAL".
std::string WordNames(const FormatEntry& format) {
  std::string names;
  for (const IdentityField& w : format.format->words) names += (names.empty() ? "" : " ") + std::string(w.name);
  return names;
}

// The usage of the options that complete an identity, and of --chip: "[--trailer N] [--chip KIND]".
std::string CompletionUsage(const FormatEntry& format) {
  std::string usage;
  for (const IdentityField& o : format.format->options) usage += " [" + std::string(o.name) + " " + o.valueName + "]";
  if (!format.chips.empty()) usage += " [--chip KIND]";
  return usage;
}

CLI::Validator ValueCheck(const IdentityField& value) {
  return CLI::Validator([&value](std::string& text) { return value.check(text); }, "");
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

CLI::Validator ChipCheck(const FormatEntry& format) {
  return CLI::Validator(
      [&format](std::string& value) {
        for (const FormatChip& c : format.chips)
          if (value == c.key) return std::string();
        return "'" + value + "' is no chip of " + format.format->name + ": " + ChipKeys(format);
      },
      "");
}

// --log FILE of the commands that write.
void AddRunLog(CLI::App* app, IdentityOptions& o) {
  app->add_option("--log", o.log,
                  "append one CSV line for each tag written and verified to FILE (time, page, chip, run, "
                  "file line, the identity in each form); created with a header when new")
      ->type_name("FILE")
      ->check(NonEmpty());
}

// A line number of a file: 1 or more.
CLI::Validator LineCheck() {
  return CLI::Validator(
      [](std::string& value) -> std::string {
        const bool digits = !value.empty() && value.size() <= 9 && value.find_first_not_of("0123456789") == std::string::npos;
        return digits && std::stol(value) >= 1 ? std::string() : "'" + value + "' is not a line number (1 or more)";
      },
      "");
}

CLI::Validator FeedCheck() {
  return CLI::Validator([](std::string& value) { return FeedValueError(value); }, "");
}

// A whole number from low to high.
CLI::Validator RangeCheck(int low, int high, const std::string& what) {
  return CLI::Validator(
      [=](std::string& value) -> std::string {
        const bool digits = !value.empty() && value.size() <= 7 && value.find_first_not_of("0123456789") == std::string::npos;
        const long n = digits ? std::stol(value) : -1;
        return n >= low && n <= high ? std::string()
                                     : "'" + value + "' is not " + what + " from " + std::to_string(low) + " to " +
                                           std::to_string(high);
      },
      "");
}

std::string RegistryUsage(bool run) {
#ifdef RIVELO_HAS_REGISTRY
  return run ? " [--registry WHERE] [--strict-registry] [--registry-lease SECONDS]" : " [--registry WHERE]";
#else
  (void)run;
  return {};
#endif
}

// --registry of the commands that write, and for runs --strict-registry and --registry-lease.
void AddRegistry(CLI::App* app, IdentityOptions& o, bool run) {
#ifdef RIVELO_HAS_REGISTRY
  CLI::Option* where = AddRegistryOption(*app, o.registry, false);
  where->description(where->get_description() +
                     "; each identity is reserved there before it is written and issued once read back, and one "
                     "issued or reserved elsewhere is not written");
  if (!run) return;
  app->add_flag("--strict-registry", o.strictRegistry,
                "stop (exit 1) at an identity taken in the registry instead of skipping it")
      ->needs(where)
      ->disable_flag_override();
  o.leaseSeconds = 0;
  app->add_option("--registry-lease", o.leaseSeconds,
                  "how long a reservation of this run holds unless renewed, 2-3600 s (default 120): after a crash "
                  "its identity comes free again this long after its last write")
      ->type_name("SECONDS")
      ->needs(where)
      ->check(RangeCheck(2, 3600, "a lease in seconds"));
#else
  (void)app, (void)o, (void)run;
#endif
}

void AddCount(CLI::App* app, IdentityOptions& o, const std::string& what) {
  o.count = 0;
  app->add_option("--count", o.count, what)->type_name("N")->check(CountCheck());
}

// The words of an identity as one option's values: --continuous COUNTRY NATIONAL.
void AddIdentityOption(CLI::App* app, const FormatEntry& format, const std::string& name,
                       std::vector<std::string>& values, const std::string& help) {
  CLI::Option* option = app->add_option(name, values, help)
                            ->type_name(WordNames(format))
                            ->expected(static_cast<int>(format.format->words.size()))
                            ->allow_extra_args(false)
                            ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
  for (std::size_t i = 0; i < format.format->words.size(); ++i)
    option->check(ValueCheck(format.format->words[i]).application_index(static_cast<int>(i)));
}

// The options that complete an identity, --chip, and --lock where the format's writes lock.
void AddCompletions(CLI::App* app, const FormatEntry& format, IdentityOptions& o, const std::string& lockHelp) {
  o.completions.assign(format.format->options.size(), {});
  for (std::size_t i = 0; i < format.format->options.size(); ++i) {
    const IdentityField& v = format.format->options[i];
    app->add_option(v.name, o.completions[i], v.help)->type_name(v.valueName)->check(ValueCheck(v));
  }
  if (!format.chips.empty()) {
    const std::string order = ChipOrder(format.profile([] { return RunChoices{}; }));
    app->add_option("--chip", o.chip, "write only this chip: " + ChipKeys(format) + " (default: " + order + ")")
        ->type_name("KIND")
        ->check(ChipCheck(format));
  }
  if (!format.lockable) return;
  app->add_flag("--lock", o.lock, lockHelp)->disable_flag_override();
  app->add_flag("--yes", o.yes, "lock without asking (needed for --lock without a terminal)")->disable_flag_override();
}

// The identity of the checked words and completions, each missing completion at its default.
Identity IdentityOf(const FormatEntry& format, std::vector<std::string> words, const IdentityOptions& o) {
  for (std::size_t i = 0; i < format.format->options.size(); ++i)
    words.push_back(o.completions[i].empty() ? format.format->options[i].fallback : o.completions[i]);
  return format.format->fromValues(words);
}

IdentityJob JobFor(const FormatEntry& format, IdentityJob::Kind kind, const IdentityOptions& o) {
  IdentityJob job;
  job.format = &format;
  job.kind = kind;
  job.count = o.count;
  job.lock = o.lock;
  job.yes = o.yes;
  job.file = o.file;
  job.exportDir = o.exportDir;
  job.chip = o.chip;
  // The virtual reader is fed the chip that is to be written.
  job.feeds = !o.feeds.empty() ? o.feeds
                               : std::vector<std::string>{!o.chip.empty() ? o.chip
                                                                          : FirstChipKind(format.profile([] { return RunChoices{}; }))};
  job.maxRefused = o.maxRefused;
  job.periodMs = o.periodMs;
  job.unique = o.unique;
  job.log = o.log;
  job.registry = o.registry;
  job.strictRegistry = o.strictRegistry;
  job.leaseSeconds = o.leaseSeconds;
  job.formAsked = !o.form.empty();
  if (!o.form.empty()) job.form = *FindForm(*format.format, o.form);
  return job;
}

// The passwords of a write or run, resolved before anything is sent.
void ResolvePasswords(Session& session, const IdentityOptions& o, IdentityJob& job) {
  job.password = ResolvePassword(session, o.password, ChipPasswordOption());
  job.protect = ResolvePassword(session, o.protect, ProtectOption());
  // A locked block 0 could never take the password bit, nor the password be changed again.
  if (job.protect && job.lock) throw UsageError("--protect and --lock: a locked tag cannot be given a password");
}

// --password and --protect of the commands that write, each with its file and other sources.
void AddPasswords(CLI::App* app, IdentityOptions& o) {
  AddPasswordOptions(app, o.password, ChipPasswordOption(),
                     "the password the tags on the reader carry (T5577 block 7, EM4305 word 2): their writes "
                     "use it");
  AddPasswordOptions(app, o.protect, ProtectOption(),
                     "give each tag this password once it took its identity (T5577: block 7 and password mode; "
                     "EM4305: word 2 and login to write); it counts only when it reads back with it");
}

void AddRead(CommandSet& commands, CLI::App& read, const FormatEntry& format) {
  auto o = std::make_shared<IdentityOptions>();
  Session& session = commands.session;
  const IdentityFormat& f = *format.format;
  const auto action = [&session, &format, o] {
    if (!o->continuous && !o->exportDir.empty()) throw UsageError("--export needs --continuous");
    if (!o->continuous && o->count > 0) throw UsageError("--count needs --continuous");
    if (!o->continuous && o->unique) throw UsageError("--unique needs --continuous");
    return RunIdentityJob(session,
                          JobFor(format, o->continuous ? IdentityJob::Kind::ReadRun : IdentityJob::Kind::Read, *o));
  };
  const std::string what = format.report ? "print the fields and forms of the " : "print the identity of the ";
  CLI::App* app = commands.Add(read, f.name,
                               what + format.format->title +
                                   " tag on the reader; with --continuous, list every tag read until N are "
                                   "listed or Ctrl+C" +
                                   (format.readNote ? std::string("; ") + format.readNote : std::string()),
                               "[--form KEY] [--continuous [--export DIR] [--count N]]", action, "Formats");
  app->add_flag("--continuous", o->continuous, "read tag after tag, one line each")->disable_flag_override();
  app->add_option("--export", o->exportDir,
                  "append each new identity once to DIR/YYYY-MM-DD-hh-mm-ss.txt, in the form of --form")
      ->type_name("DIR")
      ->check(NonEmpty());
  app->add_option("--form", o->form,
                  "the form of the lines and the export: " + FormKeys(f) + " (default " + f.forms.front().key + ")" +
                      (format.format->formNote ? std::string("; ") + format.format->formNote : std::string()))
      ->type_name("KEY")
      ->check(FormCheck(f));
  AddCount(app, *o, "stop after N listed tags");
  app->add_flag("--unique", o->unique,
                "list and export each identity once in the run (without it, only a repeat of the last "
                "exported identity is left out)")
      ->disable_flag_override();
}

void AddWrite(CommandSet& commands, CLI::App& write, const FormatEntry& format) {
  auto o = std::make_shared<IdentityOptions>();
  Session& session = commands.session;
  const IdentityFormat& f = *format.format;
  const std::string chips = ChipOrder(format.profile([] { return RunChoices{}; }));
  CLI::App* app = commands.Add(
      write, f.name,
      "write an " + std::string(format.format->title) + " identity onto the tag on the reader (" + chips + ") and read it back",
      WordNames(format) + CompletionUsage(format) + (format.lockable ? " [--lock [--yes]]" : "") +
          " [--password HEX8] [--protect HEX8] [--log FILE]" + RegistryUsage(false),
      [&session, &format, o] {
        IdentityJob job = JobFor(format, IdentityJob::Kind::Write, *o);
        job.id = IdentityOf(format, o->words, *o);
        ResolvePasswords(session, *o, job);
        return RunIdentityJob(session, job);
      },
      "Formats");
  o->words.assign(format.format->words.size(), {});
  for (std::size_t i = 0; i < format.format->words.size(); ++i) {
    const IdentityField& w = format.format->words[i];
    app->add_option(w.name, o->words[i], w.help)->required()->check(ValueCheck(w));
  }
  AddCompletions(app, format, *o, "lock the tag after writing it: it can never be changed again");
  AddPasswords(app, *o);
  AddRunLog(app, *o);
  AddRegistry(app, *o, false);
}

void AddRun(CommandSet& commands, CLI::App& run, const FormatEntry& format, JobStart start) {
  auto o = std::make_shared<IdentityOptions>();
  Session& session = commands.session;
  const IdentityFormat& f = *format.format;
  const std::string id = WordNames(format);
  const auto action = [&session, &format, o, start] {
    const int modes =
        (o->continuousId.empty() ? 0 : 1) + (o->incrementalId.empty() ? 0 : 1) + (o->file.empty() ? 0 : 1);
    if (modes != 1) throw UsageError("give one of --continuous, --incremental and --file");
    if (!o->feeds.empty() && !session.connection.simulate) throw UsageError("--feed needs --simulate");
    for (std::size_t i = 0; i + 1 < o->feeds.size(); ++i)
      if (SplitFeed(o->feeds[i]).count < 0)
        throw UsageError("--feed " + o->feeds[i] + ": only the last --feed may leave out the number of chips");
    if (o->fromLine > 0 && o->file.empty()) throw UsageError("--from-line needs --file");
    IdentityJob::Kind kind = IdentityJob::Kind::FileRun;
    if (!o->continuousId.empty()) kind = IdentityJob::Kind::ContinuousRun;
    if (!o->incrementalId.empty()) kind = IdentityJob::Kind::IncrementalRun;
    // A file's lines are whole identities: nothing would take the value.
    for (std::size_t i = 0; i < format.format->options.size(); ++i)
      if (kind == IdentityJob::Kind::FileRun && !o->completions[i].empty())
        throw UsageError(std::string(format.format->options[i].name) + " needs --continuous or --incremental");
    IdentityJob job = JobFor(format, kind, *o);
    ResolvePasswords(session, *o, job);
    job.fromLine = o->fromLine;
    if (kind != IdentityJob::Kind::FileRun)
      job.id = IdentityOf(format, kind == IdentityJob::Kind::ContinuousRun ? o->continuousId : o->incrementalId, *o);
    return start(session, job);
  };
  const std::string usage = "(--continuous " + id + " | --incremental " + id + " | --file PATH [--from-line N])" +
                            CompletionUsage(format) + " [--count N]" + (format.lockable ? " [--lock [--yes]]" : "") +
                            " [--password HEX8] [--protect HEX8] [--feed KIND[:N]]... [--max-refused N] [--period MS]"
                            " [--log FILE]" + RegistryUsage(true);
  CLI::App* app = commands.Add(
      run, f.name,
      "write " + std::string(format.format->title) +
          " identities tag after tag until N tags are written, the file's end or Ctrl+C: each tag on the "
          "reader gets its identity and is read back, then the next one is awaited",
      usage, action, "Formats");
  AddIdentityOption(app, format, "--continuous", o->continuousId, "the same identity onto every tag");
  AddIdentityOption(app, format, "--incremental", o->incrementalId, format.format->incrementalHelp);
  app->add_option("--file", o->file, std::string("the identities of a batch file, in order: ") + format.format->fileLineHelp)
      ->type_name("PATH")
      ->check(NonEmpty());
  AddCompletions(app, format, *o, "lock each tag after writing it");
  AddPasswords(app, *o);
  AddCount(app, *o, "stop after N written tags");
  o->fromLine = 0;
  app->add_option("--from-line", o->fromLine,
                  "with --file: start at line N of the file (its own line numbers, as an interrupted run "
                  "names them); the identities before it count as written by this run")
      ->type_name("N")
      ->check(LineCheck());
  AddRunLog(app, *o);
  AddRegistry(app, *o, true);
  app->add_option("--feed", o->feeds,
                  "with --simulate: the blank chips the virtual reader is fed, t5577 or em4305 with options "
                  "as in --simulate, then :N chips (the last may leave N out: as many as the run asks); "
                  "repeatable, the stacks follow each other (default: those of --chip, else the first chip written). A tag "
                  "the run signals as refused goes to the reject tray")
      ->type_name("KIND[:N]")
      ->allow_extra_args(false)
      ->check(FeedCheck());
  o->maxRefused = 0;
  app->add_option("--max-refused", o->maxRefused, "end the run (exit 1) after N tags refused their identity")
      ->type_name("N")
      ->check(CountCheck());
  o->periodMs = 0;
  app->add_option("--period", o->periodMs,
                  "the time from tick to tick, 50-10000 ms (default that of the page: 300, on T5577 for "
                  "EM4100 and FDX-B 500), for stations that place tags faster than a hand does")
      ->type_name("MS")
      ->check(RangeCheck(50, 10000, "a period in ms"));
}

}  // namespace

void AddRunCommands(CommandSet& commands, CLI::App& run, JobStart start) {
  for (const FormatEntry& format : FormatTable()) AddRun(commands, run, format, start);
}

void AddIdentityCommands(CommandSet& commands, CLI::App& root) {
  CLI::App* read = commands.Add(root, "read", "read tags: once, or continuously with export", "FORMAT [OPTIONS]", {});
  CLI::App* write = commands.Add(root, "write", "write one tag and verify it", "FORMAT ID [OPTIONS]", {});
  CLI::App* run = commands.Add(root, "run", "write a stream of tags: the same identity, a growing one, or a file's",
                               "FORMAT (--continuous ID | --incremental ID | --file PATH) [OPTIONS]", {});
  for (CLI::App* family : {read, write, run}) family->require_subcommand(1);
  for (const FormatEntry& format : FormatTable()) {
    AddRead(commands, *read, format);
    AddWrite(commands, *write, format);
    AddRun(commands, *run, format, RunIdentityJob);
  }
}

}  // namespace rivelo::cli
