// The batch runner's view on the command line: each listed tag becomes one line on standard
// output (number and identity, or a JSON object), everything else the runner shows goes to
// standard error.
#pragma once

#include <cstddef>
#include <string>

#include "batch/batch_runner.h"
#include "batch/headless_view.h"
#include "cli/format_table.h"
#include "cli/session.h"

namespace rivelo::cli {

// The tag's JSON object, stamped now, with the members the format adds to its forms.
std::string TagJsonNow(const FormatEntry& format, const ListedTag& tag);
// A run's summary as one JSON object: {"summary":{"written":4,"refused":1,...}}.
std::string SummaryJson(const RunSummary& summary);

class RunView : public HeadlessView {
 public:
  // form: the form of the identity in text lines.
  RunView(Session& session, const FormatEntry& format, std::size_t form);

  // The tag as rivelo prints it: "3 012345678B", or its JSON object.
  void PrintTag(const ListedTag& tag);
  // Sends a runner line that turned out not to stand for a tag to standard error.
  void Flush();

  // The identity of the main entry field, as it is: no round trip through its text.
  void Enter(const Identity& id);
  Identity EnteredIdentity() override { return entered_; }

  // The summary of the run that ended, printed last by PrintSummary.
  std::string summary;
  void PrintSummary(const RunSummary& summary);

  int lastStatusKind = -1;  // of the runner's last status: 1 success, 0 failure

 private:
  Session& session_;
  const FormatEntry& format_;
  std::size_t form_;
  Identity entered_;
  std::string pending_;  // the runner's last line, until we know whether a tag follows it
  bool hasPending_ = false;
};

}  // namespace rivelo::cli
