#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <optional>
#include <vector>

#include "register/pager_register.h"

namespace ccp::qt {

// The register's records as a table, newest first, read a page at a time as the view scrolls
// to them: a register of any size opens at once.
class RecordTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr std::size_t kPageSize = 200;
  struct Column {
    QString header;
    std::optional<RecordColumn> sortBy;  // none: the register keeps it in no order
    std::function<QString(const Record&)> text;
  };

  // Shows the records `query` finds, a page of its limit at a time.
  RecordTableModel(PagerRegister& store, const RecordQuery& query, QObject* parent);

  // Only the records whose capcodes or serial number hold `text`.
  void setFilterText(const QString& text);
  // Again from the first page: records added since come in.
  void reload();
  // Which records the table shows, in its order.
  const RecordQuery& query() const { return query_; }
  // How many records the filter lets through, loaded or not.
  long long total() const { return total_; }
  // Why the register could not be read since the last reload; empty when it could.
  const QString& problem() const { return problem_; }
  // The register sorts by every column but the holder state.
  bool sortable(int column) const;
  int sortColumn() const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;
  void sort(int column, Qt::SortOrder order) override;

 signals:
  // Read again from the top, or a page could not be read.
  void changed();

 private:
  static std::vector<Column> columns();

  PagerRegister& store_;
  std::vector<Column> columns_;
  RecordQuery query_;
  std::vector<Record> rows_;
  long long total_ = 0;
  QString problem_;
  bool stuck_ = false;  // no more pages until the next reload
};

}  // namespace ccp::qt
