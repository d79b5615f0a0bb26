#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

#include "register/pager_register.h"

namespace ccp::qt {

// The register's claims (of writes under way or ended, and of writes that failed) or its open
// conflicts as a table: read whole, as they are few.
class HoldListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum class Kind { Claims, Conflicts };

  HoldListModel(PagerRegister& store, Kind kind, QObject* parent);

  // Read again.
  void reload();
  // "3 claims", "1 open conflict".
  QString countText() const;
  // Why the register could not be read at the last reload; empty when it could.
  const QString& problem() const { return problem_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  PagerRegister& store_;
  Kind kind_;
  QStringList headers_;
  std::vector<QStringList> rows_;
  QString problem_;
};

}  // namespace ccp::qt
