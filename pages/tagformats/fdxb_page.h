// What the two FDX-B (ISO 11784/85) pages share: the national code, country code and trailer,
// each as a hex and a decimal field that follow one another; single and batch writes, single
// and continuous reads with export on the shared run panel; and, after a read, the identity
// as certificates write it with the country it names. The pages differ only in the chip they
// write and their texts.
#pragma once

#include <QWidget>

#include <optional>

#include "model/fdxb.h"
#include "pages/common/run_panel.h"
#include "resources/texts_fdxb.h"

class QLabel;

namespace rivelo {

class CDecEdit;
class CHexEdit;

class FdxbPage : public QWidget, private IdentityPage {
  Q_OBJECT

 public:
  RunPanel& Panel() const { return *panel_; }

  // The rows in the order National, Country, Trailer (FdxbNumber).
  CHexEdit* hex[3] = {};
  CDecEdit* dec[3] = {};
  QLabel* rowCaptions[3] = {};
  QLabel* hexHead = nullptr;
  QLabel* decHead = nullptr;
  // The last identity read, as "999 274877906943" and its country; empty otherwise.
  QLabel* animalIdCaption = nullptr;
  QLabel* animalId = nullptr;

 protected:
  FdxbPage(const texts::fdxb::PageTexts& texts, ChipWrite write, QWidget* parent);

 private:
  void BuildControls(ChipWrite write);
  void HexEdited(int row);
  void DecEdited(int row);
  void ShowAnimalId(const std::optional<FdxbId>& id);

  // IdentityPage
  void ShowReadIdentity(const Identity& id) override;
  void ShowNextTarget(const Identity& id) override;
  void ClearIdentity() override;
  Identity EnteredIdentity() override;
  std::string IncrementalListText() override;

  const texts::fdxb::PageTexts& texts_;
  RunPanel* panel_ = nullptr;
};

}  // namespace rivelo
