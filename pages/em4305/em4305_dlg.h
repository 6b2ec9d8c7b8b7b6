// The EM4305 word editor: reads one word at a time, writes every word the operator edited,
// logs in with the password of word 2, disables the chip, opens the word-lock dialog and sets
// the reader's decoding mode. Whenever the configuration word is read, its fields are shown.
//
// Every operation is one reader command (the write, one per edited word, read back as rivelo's
// em4305 write-word does: batch/tag_operations.h) and ends with one status, or a message box for
// an input error; a word that did not count is named there with the reason. Confirmations
// answered with Cancel send nothing.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <span>

class QComboBox;
class QLabel;
class QPushButton;

namespace rivelo {

class CHexEdit;

class EM4305Dlg : public QWidget {
  Q_OBJECT

 public:
  explicit EM4305Dlg(QWidget* parent = nullptr);

  static constexpr int WordCount = 16;

  std::array<CHexEdit*, WordCount> wordEdit{};  // index = word number
  QComboBox* modeCombo = nullptr;               // "ID(EM4100)", "FDX-B(ISO11784/85)"
  QComboBox* readCombo = nullptr;               // "Read", then "Read Word 0" to "Read Word 15"
  QLabel* configMeaning = nullptr;              // the fields of the word 4 last read
  QPushButton *writeButton = nullptr, *disableButton = nullptr, *protectButton = nullptr, *loginButton = nullptr;

  void OnWordChange(int word);
  void OnWriteWords();
  void OnDisable();
  void OnLogin();
  void OnProtect();
  void OnModeChange(int selection);
  void OnReadWordSelect(int selection);

 private:
  void BuildControls();
  void Connect();
  // The field's 4 bytes; false (after telling the operator) for any other count or a
  // character that is no hex digit.
  bool TakeWord(int word, std::span<std::uint8_t, 4> bytes);
  bool WriteWord(int word, QString& reasons);
  void ClearFlags() { m_wordChanged.fill(0); }

  std::array<int, WordCount> m_wordChanged{};
  // The last login was taken: a refusal then points at a protected word, not a missing login.
  bool m_loggedIn = false;
};

}  // namespace rivelo
