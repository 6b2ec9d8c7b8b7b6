#include "shell/status.h"

#include <utility>

namespace rivelo {
namespace {
StatusSink& Sink() {
  static StatusSink sink;
  return sink;
}
}  // namespace

void PostStatus(int kind, const QString& text) {
  // A copy, so that a receiver that replaces the sink while handling is safe.
  StatusSink sink = Sink();
  if (sink) sink(kind, text);
}

StatusSink SetStatusSink(StatusSink sink) { return std::exchange(Sink(), std::move(sink)); }

}  // namespace rivelo
