#pragma once

#include <QDialog>
#include <vector>

#include "commands/list_check.h"

class QTableWidget;

namespace ccp::qt {

// What the check of a customer's list found, a problem a line: the line of the file (none for
// the file as a whole), the column, the value and why; a warning is marked as one.
class ListProblemsDialog : public QDialog {
  Q_OBJECT

 public:
  // `summary`: the check's last word, shown above the table; empty for none.
  ListProblemsDialog(QWidget* parent, const QString& listName,
                     const std::vector<ListProblem>& problems, const QString& summary);

  QTableWidget* table() const { return table_; }

 private:
  QTableWidget* table_;
};

}  // namespace ccp::qt
