#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

#include "register/pager_register.h"

namespace ccp::qt {

// The register's claims (of writes under way or ended, and of writes that failed) or its open
// conflicts (the closed ones too, when asked) as a table: read whole, as they are few.
class HoldListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum class Kind { Claims, Conflicts };

  HoldListModel(PagerRegister& store, Kind kind, QObject* parent, bool closedShown = false);

  // Read again.
  void reload();
  // The closed conflicts too, with when, by whom and why; read again.
  void setClosedShown(bool shown);
  bool closedShown() const { return closedShown_; }
  // "3 claims", "1 open conflict", "5 conflicts, 1 open".
  QString countText() const;
  // The conflicts of `rows`, when they are all open and of one capcode: what one note may close
  // together. Empty otherwise.
  std::vector<Conflict> resolvable(const QModelIndexList& rows) const;
  // Why the register could not be read at the last reload; empty when it could.
  const QString& problem() const { return problem_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  PagerRegister& store_;
  Kind kind_;
  bool closedShown_ = false;
  QStringList headers_;
  std::vector<QStringList> rows_;
  std::vector<Conflict> conflicts_;  // of the rows, when the conflicts are shown
  QString problem_;
};

}  // namespace ccp::qt
