// The tag passwords of this session, set under Card -> Tag passwords...: the password the tags
// on the reader carry and the one each written tag is given. They live in memory only: never in
// settings, lists, logs or exports. Identity pages hand them to their runs through their choices;
// the block editors show the carried one in their password fields.
#pragma once

#include <QDialog>
#include <QObject>

#include <optional>

#include "batch/batch_profile.h"

class QPushButton;

namespace rivelo {

class CHexEdit;

class TagPasswords : public QObject {
  Q_OBJECT

 public:
  static TagPasswords& Session();

  const std::optional<TagPassword>& Carried() const { return carried_; }
  const std::optional<TagPassword>& Given() const { return given_; }
  void Set(std::optional<TagPassword> carried, std::optional<TagPassword> given);

 signals:
  void Changed();

 private:
  std::optional<TagPassword> carried_;
  std::optional<TagPassword> given_;
};

// The operator's other choices with the session's passwords.
RunChoices WithTagPasswords(RunChoices choices = {});

// How a field shows a password: as its value (most significant byte first), or as the EM4305's
// words are shown, in the order its bytes travel (least significant first).
enum class PasswordBytes { ValueOrder, WireOrder };

// Keeps a password field showing the carried password: filled now and whenever it is set,
// emptied when it is taken away.
void FollowCarriedPassword(CHexEdit& field, PasswordBytes order = PasswordBytes::ValueOrder);

// The dialog: two fields of 8 hex digits, empty for none.
class TagPasswordsDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TagPasswordsDlg(QWidget* parent = nullptr);

  CHexEdit* carried = nullptr;
  CHexEdit* given = nullptr;
  QPushButton* okButton = nullptr;
  QPushButton* cancelButton = nullptr;
};

// Card -> Tag passwords...: asks through the Dialogs seam until the fields hold passwords or the
// dialog is cancelled, then puts them in force.
void OpenTagPasswords(QWidget* parent);

}  // namespace rivelo
