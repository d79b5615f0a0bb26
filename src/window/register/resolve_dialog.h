#pragma once

#include <QDialog>
#include <vector>

#include "register/pager_register.h"

class QLineEdit;
class QPushButton;

namespace ccp::qt {

// Asks why the open conflicts chosen, all of one capcode, are closed: the note goes into the
// capcode's history, so OK waits until there is one.
class ResolveDialog : public QDialog {
  Q_OBJECT

 public:
  ResolveDialog(QWidget* parent, const std::vector<Conflict>& chosen);

  // As typed, without the spaces around it.
  QString note() const;
  // Only with a note.
  void accept() override;

 private:
  QLineEdit* note_;
  QPushButton* ok_;
};

// "Conflict 3", "Conflicts 3, 5": of one capcode, as the window names them.
QString conflictNames(const std::vector<Conflict>& conflicts);

}  // namespace ccp::qt
