#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>
#include <optional>
#include <vector>

#include "commands/list_check.h"
#include "window/list/list_row_model.h"
#include "window/list/list_row_writer.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;

namespace ccp::qt {

// A customer's list taken into the register, beside the main window: its rows and their states
// as the register has them (read again by Refresh and after each write), found by a text in any
// column and by state, and how far the list is done. "Write next row" writes the next open row,
// or the row chosen, in the main window; "Swap pager..." gives a done row to a replacement
// pager; "Export..." gives the customer's list back with what became of each row.
class ListWindow : public QDialog {
  Q_OBJECT

 public:
  // `listPath`: where the list came from, where its export is offered; `warnings`: what its
  // check said of it; `writeToPager`: the main window's Write to pager.
  ListWindow(QWidget* parent, TForm1& form, PagerRecords& records, ListInfo list,
             ListTemplate loaded, const QString& listPath, std::vector<ListProblem> warnings,
             QAction* writeToPager);
  ~ListWindow() override;

  const ListInfo& list() const { return writer_.list(); }
  ListRowModel* rows() const { return model_; }
  // What the last action came to, as the window says it.
  QString outcome() const;

  // The rows read again from the register.
  void refresh();
  // The row chosen when it may be taken, else the next open one, written.
  void writeNextRow();
  // The done row given to a replacement pager, the note kept in its capcodes' history.
  void swapRow(int row, const QString& note);
  // The customer's list, with what became of each row, written to `path`.
  void exportTo(const QString& path);

 private:
  std::optional<ListRowStatus> chosenRow() const;
  void showChoice();
  void askSwap();
  void askExport();
  void showWarnings();
  void say(const QString& text);

  ListRowWriter writer_;
  Model pagerModel_;  // whose single-byte set a list may be in
  QString listPath_;
  std::vector<ListProblem> warnings_;
  ListRowModel* model_;
  ListRowFilter* filter_;
  QLineEdit* find_;
  QComboBox* state_;
  QProgressBar* progress_;
  QLabel* standing_;
  QTableView* table_;
  QLabel* outcome_;
  QPushButton* writeNext_;
  QPushButton* swap_;
};

}  // namespace ccp::qt
