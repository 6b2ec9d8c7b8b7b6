#include "batch/headless_view.h"

namespace rivelo {

int HeadlessView::RunningTimer() const { return timers.empty() ? 0 : timers.begin()->first; }
int HeadlessView::PeriodMs() const { return timers.empty() ? 0 : timers.begin()->second; }

void HeadlessView::AppendLine(const std::string& line) {
  if (keepLines) lines.push_back(line);
  if (onLine) onLine(line);
}

void HeadlessView::Listed(const ListedTag& tag) {
  if (keepLines) listed.push_back(tag);
  if (onListed) onListed(tag);
}

void HeadlessView::ShowSummary(const std::string& line) {
  summaries.push_back(line);
  if (onSummary) onSummary(line);
}

void HeadlessView::ClearIdentity() {
  cleared = true;
  entered.clear();
}

void HeadlessView::SetOptionBoxes(bool c, bool i, bool f) {
  continuous = c;
  incremental = i;
  fromFile = f;
}

void HeadlessView::ShowMessage(const std::string& text) {
  messages.push_back(text);
  if (onMessage) onMessage(text);
}

void HeadlessView::PostStatus(int kind, const std::string& text) {
  statuses.emplace_back(kind, text);
  if (onStatus) onStatus(kind, text);
}

void HeadlessView::Show(const Identity& id) {
  shown = id;
  entered = format_.text(id, 0);
}

std::string HeadlessView::Take(std::vector<std::string>& answers) {
  if (answers.empty()) return {};
  std::string a = answers.front();
  answers.erase(answers.begin());
  return a;
}

}  // namespace rivelo
