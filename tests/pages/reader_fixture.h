// What the page tests share: the virtual reader on a pseudo-terminal, reached through the real
// serial path, and a recorder of the statuses the page posts.
#pragma once

#include <QString>
#include <QtTest>

#include <memory>
#include <utility>
#include <vector>

#include "reader/discovery.h"
#include "resources/language.h"
#include "shell/status.h"
#include "sim/pty_server.h"
#include "sim/virtual_reader.h"

namespace rivelo {

class ReaderFixture {
 public:
  std::vector<std::pair<int, QString>> statuses;
  std::unique_ptr<sim::VirtualReader> reader;
  std::unique_ptr<sim::PtyServer> server;

  // Called from each test's init and cleanup.
  void SetUp() {
    statuses.clear();
    sink_ = std::make_unique<ScopedStatusSink>([this](int kind, const QString& text) {
      statuses.emplace_back(kind, text);
    });
    reader = std::make_unique<sim::VirtualReader>();
    server = std::make_unique<sim::PtyServer>(*reader);
  }
  void TearDown() {
    DisconnectDevice();
    server.reset();
    reader.reset();
    sink_.reset();
    SetLanguage(Language::English);
  }

  // Starts serving and connects slot 0 to the virtual reader; false when either fails.
  bool Connect() { return server->Start() && ConnectDevice({server->Path()}).found; }

 private:
  std::unique_ptr<ScopedStatusSink> sink_;
};

}  // namespace rivelo
