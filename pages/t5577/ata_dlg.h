// The T5577 block editor: raw reads and writes of single blocks of page 0 or 1, with or without
// the chip password and the lock bit; a whole-page read; wake-up, reset and restoring block 0;
// and the reader's decoding mode. Whenever block 0 is read, its fields are shown beside it.
//
// Every operation is one reader command and, where the tag answers with data, a fetch of it;
// each ends with one status, or a message box for an input error; a failed block read, write or
// restore says why after its failure text. Block reads, writes and the restore are the tag
// operations rivelo's t5577 commands use too (batch/tag_operations.h). Confirmations answered
// with Cancel send nothing.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>
#include <span>

class QComboBox;
class QLabel;
class QPushButton;

namespace rivelo {

class CHexEdit;
struct TagData;

class CAtaDlg : public QWidget {
  Q_OBJECT

 public:
  explicit CAtaDlg(QWidget* parent = nullptr);

  // Index = block number; the field of block 0 stands last in the column.
  std::array<CHexEdit*, 8> blockEdit{};
  CHexEdit* passwordEdit = nullptr;
  QComboBox* pageCombo = nullptr;   // "0", "1"
  QComboBox* blockCombo = nullptr;  // "1" to "7", then "0"
  QComboBox* lockCombo = nullptr;   // "不锁", "上锁"
  QComboBox* modulationCombo = nullptr;
  QLabel* block0Meaning = nullptr;  // the fields of the block 0 last read
  QPushButton *readButton = nullptr, *writeButton = nullptr, *readPwdButton = nullptr, *writePwdButton = nullptr,
              *readPageButton = nullptr, *wakeButton = nullptr, *resetButton = nullptr, *initButton = nullptr;

  void OnReadBlock();
  void OnWriteBlock();
  void OnReadBlockPwd();
  void OnWriteBlockPwd();
  void OnReadPage();
  void OnWake();
  void OnReset();
  void OnInitConfig();
  void OnModulationChange(int selection);

 private:
  void BuildControls();
  void Connect();
  int Page() const;
  int BlockNumber() const;
  int LockFlag() const;
  // The confirmations a block write asks for; false when the operator cancelled one. A block 0
  // that leaves the tag hard to reach is described in the question, with the consequence.
  bool ConfirmWrite(int block, int lock, bool withPassword);
  // Saves a backup of the tag before an irreversible step; when none can be made, the operator
  // decides whether to go on.
  bool BackUpFirst(const std::optional<std::array<std::uint8_t, 4>>& password);
  // The password field's 4 bytes, or false after telling the operator.
  bool TakePassword(std::span<std::uint8_t, 4> password);
  bool TakeBlock(int block, std::span<std::uint8_t, 4> bytes);
  void ReadBlockInto(int block, const TagData& got, const char* okText);
  void ShowBlock(int block, std::span<const std::uint8_t, 4> bytes);
  void ShowReturnedBlocks(std::span<const std::uint8_t> bytes);
};

}  // namespace rivelo
