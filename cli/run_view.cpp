#include "cli/run_view.h"

#include <chrono>
#include <cstdio>
#include <ostream>

#include "cli/json_lines.h"
#include "reader/commands.h"

namespace rivelo::cli {

std::string TagJsonNow(const FormatEntry& format, const ListedTag& tag) {
  return TagJson(*format.format, tag, std::chrono::system_clock::now(),
                 format.jsonMembers ? format.jsonMembers(tag.id) : Labelled{});
}

std::string SummaryJson(const RunSummary& r) {
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "\"seconds\":%.3f,\"tagsPerMinute\":%.1f", r.seconds, r.TagsPerMinute());
  std::string json = "{\"summary\":{";
  if (r.write) {
    json += "\"written\":" + std::to_string(r.tags) + ",\"refused\":" + std::to_string(r.refused) +
            ",\"leftAlone\":" + std::to_string(r.leftAlone);
  } else {
    json += "\"read\":" + std::to_string(r.tags);
  }
  return json + ",\"silentTicks\":" + std::to_string(r.silentTicks) + "," + numbers + "}}";
}

RunView::RunView(Session& session, const FormatEntry& format, std::size_t form)
    : HeadlessView(*format.format), session_(session), format_(format), form_(form) {
  keepLines = false;
  // The runner appends a tag's own line and then says which tag it was: that line is
  // replaced by ours; any other line is a status line.
  onLine = [this](const std::string& line) {
    Flush();
    pending_ = line;
    hasPending_ = true;
  };
  onListed = [this](const ListedTag& tag) {
    hasPending_ = false;
    PrintTag(tag);
  };
  onStatus = [this](int kind, const std::string& text) {
    // A list line that the status line repeats (a refused tag) is said once.
    if (hasPending_ && pending_ == text) hasPending_ = false;
    Flush();
    lastStatusKind = kind;
    // As in the window: the reader signals every success.
    if (kind == 1) CmdAcknowledge(AcknowledgeNormal);
    session_.Err() << text << std::endl;
  };
  onSummary = [this](const std::string& text) { summary = text; };
  onMessage = [this](const std::string& text) {
    Flush();
    std::string::size_type start = 0;
    while (start <= text.size()) {
      const auto end = text.find('\n', start);
      session_.Error(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
      if (end == std::string::npos) break;
      start = end + 1;
    }
  };
}

void RunView::PrintTag(const ListedTag& tag) {
  if (session_.json) session_.Out() << TagJsonNow(format_, tag) << std::endl;
  else session_.Out() << tag.number << ' ' << format_.format->text(tag.id, form_) << std::endl;
}

// After whatever ended the run, so that the summary closes its output.
void RunView::PrintSummary(const RunSummary& r) {
  Flush();
  if (summary.empty()) return;
  if (session_.takeSummary) {
    session_.takeSummary(r);
    summary.clear();
    return;
  }
  session_.Err() << summary << std::endl;
  if (session_.json) session_.Out() << SummaryJson(r) << std::endl;
  summary.clear();
}

void RunView::Enter(const Identity& id) {
  entered_ = id;
  entered = format_.format->text(id, 0);
}

void RunView::Flush() {
  if (!hasPending_) return;
  hasPending_ = false;
  session_.Err() << pending_ << std::endl;
}

}  // namespace rivelo::cli
