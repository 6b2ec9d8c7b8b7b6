// What the word editor's tests share: the page on the virtual reader's EM4305, the chip's
// words as the reader holds them, the requests that reached the reader and the ones logged.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "pages/em4305/em4305_dlg.h"
#include "pages/em4305/em_protect_dlg.h"
#include "reader/commands.h"
#include "reader_fixture.h"
#include "shell/hex_edit.h"
#include "shell/scripted_dialogs.h"

namespace rivelo {

struct Em4305Bench {
  ReaderFixture& f;
  int tag = -1;

  explicit Em4305Bench(ReaderFixture& fixture) : f(fixture) {}
  ~Em4305Bench() { f.reader->SetJournalSink({}); }
  Em4305Bench(const Em4305Bench&) = delete;
  Em4305Bench& operator=(const Em4305Bench&) = delete;

  bool Start(const char* tagText = "em4305") {
    tag = f.reader->AddTag(tagText);
    // The sink runs on the reader's serving thread.
    f.reader->SetJournalSink([this](const std::string& line) {
      std::lock_guard lock(journalMutex_);
      journal_.push_back(line);
    });
    return tag >= 0 && f.Connect();
  }
  std::uint32_t Word(int word) const { return f.reader->Memory(tag)->words[static_cast<std::size_t>(word)]; }
  int Requests() const { return f.reader->GetCounters().requests; }
  std::pair<int, QString> LastStatus() const {
    return f.statuses.empty() ? std::pair<int, QString>{-1, {}} : f.statuses.back();
  }
  // The last request frame of the given command, as the journal wrote its bytes.
  std::string LastRequest(const char* codeBytes) const {
    std::lock_guard lock(journalMutex_);
    for (auto it = journal_.rbegin(); it != journal_.rend(); ++it)
      if (it->find(" > ") != std::string::npos && it->find(codeBytes) != std::string::npos) return *it;
    return {};
  }

 private:
  mutable std::mutex journalMutex_;
  std::vector<std::string> journal_;
};

// The operator's typing: the field's text replaced and the edit signalled as a key press does.
inline void Type(EM4305Dlg& page, int word, const QString& text) {
  CHexEdit& field = *page.wordEdit[static_cast<std::size_t>(word)];
  field.clear();
  QTest::keyClicks(&field, text);
}
inline QString Field(const EM4305Dlg& page, int word) { return page.wordEdit[static_cast<std::size_t>(word)]->text(); }
inline void ReadWord(EM4305Dlg& page, int word) {
  page.readCombo->setCurrentIndex(word + 1);
  page.OnReadWordSelect(word + 1);
}

// The message boxes shown, by text.
inline QStringList Boxes(const ScriptedDialogs& dialogs) {
  QStringList texts;
  for (const auto& r : dialogs.requests)
    if (r.kind == ScriptedDialogs::Request::Kind::Message) texts << r.text;
  return texts;
}

}  // namespace rivelo
