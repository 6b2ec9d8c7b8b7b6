// The one channel from the pages (and the connect buttons) to the main window's status field.
#pragma once

#include <QString>

#include <functional>

namespace rivelo {

constexpr int StatusKindFailure = 0;  // red; "No device connect" while no reader is connected
constexpr int StatusKindSuccess = 1;  // green, after an acknowledgement signal to the reader
constexpr int StatusKindInfo = 2;     // green

// Delivers the status synchronously: when PostStatus returns, the text is on screen and a
// success has been acknowledged to the reader. Without a receiver the status is dropped.
void PostStatus(int kind, const QString& text);

// The receiver of PostStatus. The main window installs itself; tests install a recorder.
using StatusSink = std::function<void(int kind, const QString& text)>;

// Installs sink (an empty one removes the receiver) and returns the one it replaces.
StatusSink SetStatusSink(StatusSink sink);

// Installs a sink for the lifetime of the object and puts the previous one back afterwards.
class ScopedStatusSink {
 public:
  explicit ScopedStatusSink(StatusSink sink) : previous_(SetStatusSink(std::move(sink))) {}
  ~ScopedStatusSink() { SetStatusSink(std::move(previous_)); }
  ScopedStatusSink(const ScopedStatusSink&) = delete;
  ScopedStatusSink& operator=(const ScopedStatusSink&) = delete;

 private:
  StatusSink previous_;
};

}  // namespace rivelo
