// What the page tests share: the virtual reader on a pseudo-terminal, reached through the real
// serial path, a recorder of the statuses the page posts, and the test class that sets both up
// afresh around each test function.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtTest>

#include <memory>
#include <string>
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
  // The identities of the fed chips of a kind ("t5577"), in the order they were fed.
  QStringList FedIdentities(const std::string& kind) const {
    QStringList ids;
    for (const auto& t : reader->Tags())
      if (t.fed && t.kind == kind) ids << QString::fromStdString(t.identity);
    return ids;
  }

 private:
  std::unique_ptr<ScopedStatusSink> sink_;
};

// Every page test derives from it; its test functions are private slots of its own.
class PageTest : public QObject {
  Q_OBJECT

 protected:
  ReaderFixture f_;

 private slots:
  void init() { f_.SetUp(); }
  void cleanup() { f_.TearDown(); }
};

inline QString U(const char* text) { return QString::fromUtf8(text); }

}  // namespace rivelo

Q_DECLARE_METATYPE(rivelo::Language)
