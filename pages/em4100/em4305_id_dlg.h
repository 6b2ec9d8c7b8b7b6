// The EM4100 page for the EM4305 (it serves T5577 tags as well): the identity in four forms,
// single and batch writes, single and continuous reads with export, and keyboard output.
// The page shown when the program starts.
//
// The page holds its number fields, the form buttons and keyboard output; the runs are the
// shared run panel's.
#pragma once

#include <QWidget>

#include <memory>

#include "model/em4305_fields.h"
#include "pages/common/run_panel.h"
#include "platform/key_injection.h"

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace rivelo {

class CDecEdit;
class CHexEdit;

class EM4305IdDlg : public QWidget, private IdentityPage {
  Q_OBJECT

 public:
  explicit EM4305IdDlg(QWidget* parent = nullptr);
  ~EM4305IdDlg() override;

  // Keyboard output types through this injector instead of the system's (tests).
  void SetKeyInjector(std::unique_ptr<KeyInjector> keys);

  RunPanel& Panel() const { return *panel_; }
  Em4100Form OutputForm() const;
  // The lock flag and export form as they stand now: the runner asks at the moment of use.
  RunChoices Choices() const;

  CHexEdit* hex10 = nullptr;
  CDecEdit *dec08 = nullptr, *dec06 = nullptr, *box02 = nullptr, *box04 = nullptr;
  QRadioButton* forms[4] = {};
  QCheckBox* enterBox = nullptr;
  QPushButton* keyboardOut = nullptr;
  QCheckBox* lockCard = nullptr;  // the page's own option box in the run panel's group

 private:
  void BuildControls();
  void Connect();
  void FieldEdited(Em4305Field field);
  void SetFields(const Em4305Fields& f);
  Em4305Fields Fields() const;
  void LockClicked(bool checked);
  void KeyboardClicked(bool checked);
  void KeyboardTick();

  // IdentityPage
  void ShowReadIdentity(const Identity& id) override;
  void ShowNextTarget(const Identity& id) override;
  void ClearIdentity() override;
  Identity EnteredIdentity() override;
  std::string IncrementalListText() override;

  RunPanel* panel_ = nullptr;
  std::unique_ptr<KeyInjector> keys_;
};

}  // namespace rivelo
