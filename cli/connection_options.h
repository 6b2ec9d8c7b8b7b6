// The options that say where the reader is, shared by rivelo and the window programs so that
// they read them alike: --port PATH (repeatable) and --simulate[=TAG[,TAG]...].
#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace rivelo {

struct ConnectionOptions {
  std::vector<std::string> ports;          // in the order given
  bool simulate = false;                   // serve a virtual reader and scan it first
  std::vector<std::string> simulatedTags;  // its tags; the first lies on the reader
};

// The tags of a bare --simulate: an EM4100 tag on the reader, with a blank T5577 and a blank
// EM4305 beside it to write on.
std::vector<std::string> DefaultSimulatedTags();

// The tags of a --simulate list; empty items are skipped.
std::vector<std::string> SplitTagList(const std::string& list);

// Why the virtual reader would refuse a tag, or empty. A build without the virtual reader
// refuses every tag.
std::string SimulatedTagError(const std::string& tag);

// The virtual reader's tag kinds as a tag is written ("t5577[:pwd=HEX8][:aor], ..."), from its
// kind table; wrapped as sim::TagKindSyntax does when width is given. Empty in a build without
// the virtual reader.
std::string SimulatedTagKinds(std::size_t indent = 0, std::size_t width = std::string::npos);

// Adds both options to app; parsing fills *options, which must outlive the parse. portHelp
// says what a port given here does in the program at hand. A bad tag, an empty path or a
// second --simulate is a parse error.
void AddConnectionOptions(CLI::App& app, ConnectionOptions& options, const std::string& portHelp);

// "--name=" with nothing after the sign, which CLI11 would take as "no value" and fill from
// the next argument: the error for the first such argument, or empty.
std::string EmptyValueError(const std::vector<std::string>& arguments);

// The whole parse of a command line that holds these options and nothing else (the
// window's). error is one line, empty when the command line is good.
struct ConnectionParse {
  ConnectionOptions options;
  std::string error;
};
ConnectionParse ParseConnectionArguments(const std::vector<std::string>& arguments, const std::string& portHelp);

}  // namespace rivelo
