#include "cli/bash_completion.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>

#include "cli/help_format.h"

namespace rivelo::cli {
namespace {

CompletedOption FromParser(const CLI::Option* opt) {
  CompletedOption option;
  for (const std::string& s : opt->get_snames()) option.names.push_back("-" + s);
  for (const std::string& l : opt->get_lnames()) option.names.push_back("--" + l);
  option.values = opt->get_items_expected_max() == 0 ? 0 : std::max(1, opt->get_items_expected_min());
  option.kind = KindOfValue(opt->get_type_name());
  return option;
}

void AddCommand(const CLI::App* app, const std::vector<CompletedOption>& global, CompletionTree& tree) {
  CompletedCommand command{CommandPath(app), {}, {}};
  for (const CLI::Option* opt : app->get_options()) {
    if (!opt->get_positional() && !opt->get_group().empty()) command.options.push_back(FromParser(opt));
  }
  if (app->get_parent() != nullptr) command.options.insert(command.options.end(), global.begin(), global.end());
  const auto subs = app->get_subcommands({});
  for (const CLI::App* sub : subs) command.subcommands.push_back(sub->get_name());
  tree.commands.push_back(command);
  for (const CLI::App* sub : subs) AddCommand(sub, global, tree);
}

// A bash word in single quotes: nothing in it is expanded.
std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string Joined(const std::vector<std::string>& words) {
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
  return out;
}

// The script's own names: "rivelo-sim" -> "_rivelo_sim".
std::string FunctionName(const std::string& program) {
  std::string out = "_";
  for (char c : program) out += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return out;
}

const char* KindWord(ValueKind kind) {
  switch (kind) {
    case ValueKind::File: return "file";
    case ValueKind::Directory: return "dir";
    case ValueKind::Other: break;
  }
  return "other";
}

}  // namespace

ValueKind KindOfValue(const std::string& valueName) {
  const std::string first = valueName.substr(0, valueName.find_first_of(" |"));
  if (first == "PATH" || first == "FILE") return ValueKind::File;
  if (first == "DIR") return ValueKind::Directory;
  return ValueKind::Other;
}

CompletionTree RiveloCompletionTree(const CLI::App& app) {
  CompletionTree tree{app.get_name(), {}};
  std::vector<CompletedOption> global;
  for (const CLI::Option* opt : app.get_options()) {
    if (!opt->get_positional() && !opt->get_group().empty() && opt != app.get_help_ptr())
      global.push_back(FromParser(opt));
  }
  AddCommand(&app, global, tree);
  return tree;
}

CompletionTree UsageCompletionTree(const UsageText& usage) {
  CompletedCommand command{usage.program, {}, {}};
  for (const UsageOption& u : usage.options) {
    const auto space = u.term.find(' ');
    const std::string value = space == std::string::npos ? std::string() : u.term.substr(space + 1);
    command.options.push_back({u.names, u.takesValue ? 1 : 0, KindOfValue(value)});
  }
  return {usage.program, {command}};
}

std::string BashCompletion(const CompletionTree& tree) {
  const std::string f = FunctionName(tree.program);
  std::string commands;
  std::string options;
  std::string values;
  for (const CompletedCommand& c : tree.commands) {
    std::vector<std::string> names;
    for (const CompletedOption& o : c.options) {
      names.insert(names.end(), o.names.begin(), o.names.end());
      for (const std::string& n : o.names) {
        if (o.values > 0)
          values += "    " + Quoted(c.path + " " + n) + ") REPLY='" + std::to_string(o.values) + " " + KindWord(o.kind) +
                    "' ;;\n";
      }
    }
    if (!c.subcommands.empty()) commands += "    " + Quoted(c.path) + ") REPLY=" + Quoted(Joined(c.subcommands)) + " ;;\n";
    options += "    " + Quoted(c.path) + ") REPLY=" + Quoted(Joined(names)) + " ;;\n";
  }
  return "# bash completion for " + tree.program +
         ", made from its command definitions.\n\n"
         "# The commands and the options at a command path.\n" +
         f + "_commands() {\n  case $1 in\n" + commands + "    *) REPLY='' ;;\n  esac\n}\n" + f +
         "_options() {\n  case $1 in\n" + options + "    *) REPLY='' ;;\n  esac\n}\n"
         "# How many words follow an option at a command path, and what they are.\n" +
         f + "_values() {\n  case \"$1 $2\" in\n" + values + "    *) REPLY='' ;;\n  esac\n}\n\n" + f +
         "() {\n"
         "  local cur=${COMP_WORDS[COMP_CWORD]} path=" + Quoted(tree.program) +
         " word pending='' n=0 i REPLY\n"
         "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
         "    word=${COMP_WORDS[i]}\n"
         "    # bash splits --option=value at '='.\n"
         "    [[ $word == = ]] && continue\n"
         "    if ((n > 0)); then\n"
         "      ((n--))\n"
         "      continue\n"
         "    fi\n"
         "    " + f + "_values \"$path\" \"$word\"\n"
         "    if [[ -n $REPLY ]]; then\n"
         "      n=${REPLY%% *}\n"
         "      pending=${REPLY#* }\n"
         "      continue\n"
         "    fi\n"
         "    " + f + "_commands \"$path\"\n"
         "    [[ \" $REPLY \" == *\" $word \"* ]] && path+=\" $word\"\n"
         "  done\n"
         "  [[ $cur == = ]] && cur=''\n"
         "  COMPREPLY=()\n"
         "  if ((n > 0)); then\n"
         "    case $pending in\n"
         "      file) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- \"$cur\")) ;;\n"
         "      dir) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -d -- \"$cur\")) ;;\n"
         "    esac\n"
         "    return 0\n"
         "  fi\n"
         "  if [[ $cur == -* ]]; then\n"
         "    " + f + "_options \"$path\"\n"
         "  else\n"
         "    " + f + "_commands \"$path\"\n"
         "  fi\n"
         "  COMPREPLY=($(compgen -W \"$REPLY\" -- \"$cur\"))\n"
         "}\n"
         "complete -F " + f + " " + tree.program + "\n";
}

}  // namespace rivelo::cli
