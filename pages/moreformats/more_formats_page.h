// The "More formats" page for the T5577: a chooser of the access-control formats the format
// table writes, the chosen format's identity fields made from its descriptor (each with its
// caption, its range and the hex or decimal key filter), and the shared run panel: single and
// batch writes, single and continuous reads with export. A format's fields and panel are made
// when it is chosen; the chooser rests while a job runs.
#pragma once

#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

#include "model/access/access_format.h"
#include "pages/common/run_panel.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace rivelo {

struct FormatEntry;

class MoreFormatsPage : public QWidget, private IdentityPage {
  Q_OBJECT

 public:
  explicit MoreFormatsPage(QWidget* parent = nullptr);

  // One row per identity field of the chosen format.
  struct FieldRow {
    QLabel* caption = nullptr;
    QLineEdit* edit = nullptr;  // a CDecEdit, or a CHexEdit for a field of hex digits
    QLabel* range = nullptr;
  };

  QLabel* formatCaption = nullptr;
  QComboBox* chooser = nullptr;
  std::vector<FieldRow> rows;

  // The formats offered, in the chooser's order.
  const std::vector<const access::AccessFormat*>& Formats() const { return formats_; }
  // Makes the fields and the run panel of the format at this index of Formats().
  void Choose(int index);
  // Null before a format is chosen (none has a table entry).
  RunPanel* Panel() const { return panel_; }

 private:
  void BuildControls();
  void BuildFields();
  void BuildPanel();
  void FieldEdited(std::size_t row);
  // The field's value, when it holds one within its range.
  std::optional<std::uint64_t> FieldValue(std::size_t row) const;
  std::optional<access::AccessValues> Values(bool tell);
  void ShowValues(const access::AccessValues& values);

  // IdentityPage
  void ShowReadIdentity(const Identity& id) override;
  void ShowNextTarget(const Identity& id) override { ShowReadIdentity(id); }
  void ClearIdentity() override;
  Identity EnteredIdentity() override;
  std::string IncrementalListText() override;

  std::vector<const access::AccessFormat*> formats_;
  const access::AccessFormat* format_ = nullptr;
  const FormatEntry* entry_ = nullptr;
  // What belongs to the chosen format (its fields and panel), made anew at each choice.
  QWidget* content_ = nullptr;
  RunPanel* panel_ = nullptr;
};

}  // namespace rivelo
