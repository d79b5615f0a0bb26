#pragma once

#include <QDialog>

#include "window/register/hold_list_model.h"
#include "window/register/record_table_model.h"
#include "window/register/register_access.h"

class QAbstractItemModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace ccp::qt {

// Register > Pager register...: the records of the register, newest first, found by part of a
// capcode or serial number as one types, sorted by the column clicked, exported as shown; or,
// as "Show" chooses, the claims of writes and the conflicts, open ones resolved here with a
// note. A window beside the main one; a register that cannot be opened is said in place of the
// table.
class RegisterWindow : public QDialog {
  Q_OBJECT

 public:
  explicit RegisterWindow(QWidget* parent, std::size_t pageSize = RecordTableModel::kPageSize);

  // Opens the register the settings name again and reads it from the top.
  void reload();
  // Reads it from the top again, on the same connection, the filter and the order kept: what a
  // pager command added shows. A register not open yet is opened.
  void showNewRecords();
  RecordTableModel* model() const { return model_; }
  // The claims or the conflicts, when "Show" chose them.
  HoldListModel* list() const { return list_; }

 private:
  void showChosen();
  void setTableModel(QAbstractItemModel* model);
  void showState();
  // Resolve... is for open conflicts of one capcode.
  void showResolvable();
  void resolveChosen();
  void resolve(const std::vector<Conflict>& chosen, const QString& note);
  void keepSortable(int column);
  void exportShown();

  RecordQuery query_;  // what the table showed last
  RegisterReach reach_;
  RecordTableModel* model_ = nullptr;
  HoldListModel* list_ = nullptr;
  QLabel* location_;
  QComboBox* show_;
  QLineEdit* filter_;
  QLabel* count_;
  QPushButton* export_;
  QCheckBox* closed_;     // the closed conflicts too
  QPushButton* resolve_;  // the conflicts chosen
  QTableView* table_;
  QLabel* problem_;  // in place of the table
  QLabel* note_;     // what the last action did, or why it could not
};

}  // namespace ccp::qt
