#pragma once

#include <QDialog>
#include <optional>

#include "window/register_access.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace ccp::qt {

// Register > Release capcode...: who holds a capcode now and through which record, and its
// release by hand, kept in its history with this station, the time and the note given.
class ReleaseDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ReleaseDialog(QWidget* parent);

 private:
  // Seven digits typed: who holds it.
  void lookUp();
  void release();

  RegisterReach reach_;
  std::optional<int> capcode_;  // the one shown, held by a pager or a write
  QLineEdit* capcodeField_;
  QLineEdit* note_;
  QLabel* holder_;
  QPushButton* release_;
};

}  // namespace ccp::qt
