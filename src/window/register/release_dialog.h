#pragma once

#include <QDialog>
#include <optional>

#include "window/register/register_access.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace ccp::qt {

// Register > Release capcode...: every pager and write that has a capcode now, and through
// which record, and its release by hand, kept in its history with this station, the time and
// the note given. A write still under way keeps it: only once the dialog has said so does it
// offer to release it anyway.
class ReleaseDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ReleaseDialog(QWidget* parent);

 private:
  // Seven digits typed: who has it.
  void lookUp();
  void release(bool force);

  RegisterReach reach_;
  std::optional<int> capcode_;  // the one shown, held by a pager or a write
  QLineEdit* capcodeField_;
  QLineEdit* note_;
  QLabel* holder_;
  QPushButton* release_;
  QPushButton* force_;  // shown once a release was refused for a write under way
};

}  // namespace ccp::qt
