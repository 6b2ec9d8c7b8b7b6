#include "cli/rivelo.h"

#include <ostream>
#include <sstream>

#include "cli/command_set.h"
#if RIVELO_HAS_REGISTRY
#include "cli/cmd_registry.h"
#include "cli/cmd_station.h"
#endif
#include "cli/connection_options.h"
#include "cli/help_format.h"

namespace rivelo::cli {
namespace {

const char* const Footer =
    "Exit codes: 0 the command did all it was asked; 1 the tag or the command failed, or a run "
    "ended short of it; 2 usage error; 3 no reader found; 4 no reader found, and a port was in use "
    "by another program or not permitted; 130 interrupted (SIGINT, SIGTERM) before the run "
    "finished.\n"
    "Listed tags go to standard output, one line each (number and identity, or with --json one "
    "JSON object); status texts and errors go to standard error.";

// The subcommand whose usage a usage error shows: the deepest one the parser entered.
const CLI::App* ParsedLeaf(const CLI::App& app) {
  const CLI::App* leaf = &app;
  for (auto subs = leaf->get_subcommands(); !subs.empty(); subs = leaf->get_subcommands()) leaf = subs.front();
  return leaf;
}

// The same, from the words alone, for errors found before parsing.
const CLI::App* LeafOfWords(const CLI::App& app, const std::vector<std::string>& words) {
  const CLI::App* leaf = &app;
  for (const std::string& w : words) {
    if (w.empty() || w.front() == '-') continue;
    for (const CLI::App* sub : leaf->get_subcommands({})) {
      if (sub->get_name() == w) {
        leaf = sub;
        break;
      }
    }
  }
  return leaf;
}

// The option named name ("--count") anywhere below app, or null.
const CLI::App* OwnerOf(const CLI::App& app, const std::string& name) {
  if (app.get_option_no_throw(name) != nullptr) return &app;
  for (const CLI::App* sub : app.get_subcommands({})) {
    if (const CLI::App* owner = OwnerOf(*sub, name)) return owner;
  }
  return nullptr;
}

// What the first argument nobody took is doing there.
std::string ExtraArgumentError(const CLI::App& root, const CLI::App* leaf, const std::string& extra) {
  if (extra.empty() || extra.front() != '-') {
    if (!leaf->get_subcommands({}).empty()) return "unknown command '" + extra + "' for '" + CommandPath(leaf) + "'";
    return "unexpected argument '" + extra + "'";
  }
  const std::string name = extra.substr(0, extra.find('='));
  // Given before the command it belongs to.
  if (leaf->get_option_no_throw(name) != nullptr) return name + " goes after '" + CommandPath(leaf) + "'";
  if (const CLI::App* owner = OwnerOf(root, name)) {
    return name + " is an option of '" + CommandPath(owner) + "', not of '" + CommandPath(leaf) + "'";
  }
  return "unknown option " + name;
}

// What a command that only holds others lacks: "'rivelo read' needs a format".
std::string MissingSubcommand(const CLI::App* leaf) {
  const auto subs = leaf->get_subcommands({});
  const bool formats = !subs.empty() && subs.front()->get_group() == "Formats";
  return "'" + CommandPath(leaf) + "' needs " + (formats ? "a format" : "a command");
}

// CLI11's reason, in rivelo's words where CLI11's own are unclear.
std::string ParseErrorText(const CLI::ParseError& e, const CLI::App& root, const CLI::App* leaf) {
  std::string what = e.what();
  const std::string name = what.substr(0, what.find(':'));
  if (what.find("subcommand is required") != std::string::npos) {
    const auto extras = root.remaining(true);
    if (!extras.empty()) return ExtraArgumentError(root, leaf, extras.front());
    if (leaf == &root) return "a command is required";
    return MissingSubcommand(leaf);
  }
  if (what.find(" required") != std::string::npos && what.find(" missing") != std::string::npos)
    return name + " needs a value";
  // An option of several values given short of them, or given twice.
  if (what.find(": At least ") != std::string::npos) {
    const CLI::Option* option = leaf->get_option_no_throw(name);
    return name + " needs " + (option ? option->get_type_name() : "more values");
  }
  if (what.find(": At Most ") != std::string::npos) return name + " is given more than once";
  if (what.find("disallowed flag override") != std::string::npos)
    return "--" + what.substr(0, what.find(' ')) + " takes no value";
  return what;
}

}  // namespace

CLI::App* CommandSet::Add(CLI::App& parent, const std::string& name, const std::string& description,
                          const std::string& synopsis, std::function<int()> action, const std::string& group) {
  CLI::App* app = parent.add_subcommand(name, description);
  app->group(group);
  help.SetSynopsis(app, synopsis);
  if (action) actions[app] = std::move(action);
  return app;
}

namespace {

// The whole program; with inspect, the parser is handed to it once built and nothing is run.
int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
        sim::VirtualReader* simulation, const ParserInspector& inspect) {
  Session session(out, err, simulation);
  auto formatter = std::make_shared<HelpFormatter>();
  CLI::App app("rivelo: programs and reads 125 kHz RFID tags through the reader on a serial port.", "rivelo");
  app.formatter(formatter);
  app.set_help_flag("-h,--help", "print this help and exit");  // the subcommands take it over
  app.require_subcommand(1);
  // Options may follow the command they belong to; an option nobody knows is collected, so
  // that the error can say where it belongs.
  app.fallthrough();
  app.allow_extras();
  formatter->SetSynopsis(&app, "[--port PATH]... [--simulate[=TAG,...]] [--json] COMMAND ...");
  AddConnectionOptions(app, session.connection, "scan this serial port (repeatable); default: the system's ports");
  app.add_flag("--json", session.json, "print each listed tag as one JSON object a line")->disable_flag_override();

  CommandSet commands{session, *formatter, {}};
  AddIdentifyCommand(commands, app);
  AddSendCommand(commands, app);
  AddIdentityCommands(commands, app);
  AddFormatsCommand(commands, app);
  AddT5577Commands(commands, app);
  AddEm4305Commands(commands, app);
  AddInspectCommands(commands, app);
#if RIVELO_HAS_REGISTRY
  AddRegistryCommands(commands, app);
  AddStationCommand(commands, app);
#endif
  app.footer(Footer);  // after the subcommands, which would take it over
  if (inspect) {
    inspect(app, *formatter);
    return ExitOk;
  }

  const auto usageError = [&](const std::string& text, const CLI::App* leaf) {
    err << "rivelo: " << text << "\n"
        << formatter->Usage(leaf) << "Try '" << CommandPath(leaf) << " --help' for more.\n";
    return static_cast<int>(ExitUsage);
  };

  if (const std::string empty = EmptyValueError(arguments); !empty.empty())
    return usageError(empty, LeafOfWords(app, arguments));
  const CLI::App* leaf = &app;
  try {
    app.parse(std::vector<std::string>(arguments.rbegin(), arguments.rend()));
    leaf = ParsedLeaf(app);
    const auto extras = app.remaining(true);
    if (!extras.empty()) return usageError(ExtraArgumentError(app, leaf, extras.front()), leaf);
    const auto action = commands.actions.find(leaf);
    if (action == commands.actions.end()) return usageError(MissingSubcommand(leaf), leaf);
    return action->second();
  } catch (const CLI::CallForHelp&) {
    out << ParsedLeaf(app)->help();
    return ExitOk;
  } catch (const CLI::ParseError& e) {
    leaf = ParsedLeaf(app);
    return usageError(ParseErrorText(e, app, leaf), leaf);
  } catch (const UsageError& e) {
    return usageError(e.what(), leaf);
  }
}

}  // namespace

int RunRivelo(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
              sim::VirtualReader* simulation) {
  return Run(arguments, out, err, simulation, {});
}

void InspectRiveloParser(const ParserInspector& inspect) {
  std::ostringstream unused;
  Run({}, unused, unused, nullptr, inspect);
}

}  // namespace rivelo::cli
