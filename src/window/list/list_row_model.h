#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QStringList>
#include <optional>
#include <vector>

#include "register/list_types.h"

namespace ccp::qt {

// The rows of a customer's list as the register has them, one a line: row, line, label,
// capcodes, serial number, state, station, time and reason.
class ListRowModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { Row, Line, Label, Capcodes, Serial, State, Station, Time, Reason, Columns };

  explicit ListRowModel(QObject* parent);

  void setRows(std::vector<ListRowStatus> rows);
  const std::vector<ListRowStatus>& rows() const { return rows_; }
  // The row shown at `index`, by the list's row number.
  std::optional<ListRowStatus> rowAt(const QModelIndex& index) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<ListRowStatus> rows_;
  std::vector<QStringList> shown_;  // each row's texts, made once per read
};

// A row that a write may take now: open, failed, or left by a write that ended.
bool mayBeTaken(const ListRowStatus& row);

// The rows that hold a text in any column (any case) and are in the state chosen.
class ListRowFilter : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  explicit ListRowFilter(QObject* parent) : QSortFilterProxyModel(parent) {}

  void setText(const QString& text);
  void setState(std::optional<ListRowState> state);

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  QString text_;
  std::optional<ListRowState> state_;
};

}  // namespace ccp::qt
