// The EM4100 page for the T5577: the identity in "10H" and in 13 decimal digits (the whole
// 40-bit value), two display-only forms of a read identity, single and batch writes onto T5577
// chips, and single and continuous reads exporting 13-digit lines.
//
// The page holds its number fields; the runs are the shared run panel's.
#pragma once

#include <QWidget>

#include "batch/batch_profile.h"
#include "model/t5577_em4100_fields.h"
#include "pages/common/run_panel.h"

class QLabel;

namespace rivelo {

class CDecEdit;
class CHexEdit;

// The page's runs: T5577 writes only, every 500 ms, export lines of 13 digits.
BatchProfile MakeAtaEm4100Profile();

class CAtaEM4100Dlg : public QWidget, private IdentityPage {
  Q_OBJECT

 public:
  explicit CAtaEM4100Dlg(QWidget* parent = nullptr);
  ~CAtaEM4100Dlg() override;

  RunPanel& Panel() const { return *panel_; }

  CHexEdit* hex10 = nullptr;
  CDecEdit* dec13 = nullptr;  // "08H---10D"
  CDecEdit* dec06 = nullptr;  // display only
  CDecEdit* split = nullptr;  // "02H + 04H", display only
  QLabel* captions[4] = {};

 private:
  void BuildControls();
  void Connect();
  void FieldEdited(T5577Em4100Field field);
  T5577Em4100Fields Fields() const;
  void SetFields(const T5577Em4100Fields& f);

  // IdentityPage
  void ShowReadIdentity(const Identity& id) override;
  void ShowNextTarget(const Identity& id) override;
  void ClearIdentity() override;
  Identity EnteredIdentity() override;
  std::string IncrementalListText() override;

  RunPanel* panel_ = nullptr;
};

}  // namespace rivelo
