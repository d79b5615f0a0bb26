#include "window/register/hold_list_model.h"

#include <algorithm>

#include "image/capcode.h"
#include "window/register/register_access.h"

namespace ccp::qt {

namespace {

QString idText(const std::optional<long long>& id) {
  return id ? QString::number(*id) : QString();
}

QStringList claimRow(const Holder& h) {
  const bool claim = h.state == HolderState::Claimed;
  return {shown(capcodeText(h.capcode)),
          h.row > 0 ? QString::number(h.row) : QString(),
          QString::fromLatin1(holderStateName(h.state)),
          shown(h.station),
          shown(h.writerHost),
          h.writerPid > 0 ? QString::number(h.writerPid) : QString(),
          shownTime(h.at),
          !claim                        ? QString()
          : h.writer == Liveness::Alive ? QStringLiteral("alive")
                                        : QStringLiteral("ended"),
          h.record ? QString::number(h.record->id) : QString()};
}

QStringList conflictRow(const Conflict& c, bool closedShown) {
  QStringList row = {
      QString::number(c.id), shown(capcodeText(c.capcode)), shownTime(c.at), shown(c.station),
      idText(c.recordId),    idText(c.otherRecordId),       shown(c.what)};
  if (!closedShown) return row;
  if (!c.closedAt) return row << QStringLiteral("open");
  QString closed = QStringLiteral("%1 by %2").arg(shownTime(*c.closedAt), shown(c.closedBy));
  return row << (c.note.empty() ? closed : closed + QStringLiteral(": ") + shown(c.note));
}

}  // namespace

HoldListModel::HoldListModel(PagerRegister& store, Kind kind, QObject* parent, bool closedShown)
    : QAbstractTableModel(parent), store_(store), kind_(kind), closedShown_(closedShown) {
  if (kind_ == Kind::Claims) {
    headers_ = {QStringLiteral("Capcode"), QStringLiteral("Row"),    QStringLiteral("State"),
                QStringLiteral("Station"), QStringLiteral("Host"),   QStringLiteral("PID"),
                QStringLiteral("Since"),   QStringLiteral("Writer"), QStringLiteral("Record")};
  }
  reload();
}

void HoldListModel::setClosedShown(bool shown) {
  closedShown_ = shown;
  reload();
}

void HoldListModel::reload() {
  beginResetModel();
  rows_.clear();
  conflicts_.clear();
  if (kind_ == Kind::Conflicts) {
    headers_ = {QStringLiteral("No."),    QStringLiteral("Capcode"),
                QStringLiteral("Time"),   QStringLiteral("Station"),
                QStringLiteral("Record"), QStringLiteral("Other record"),
                QStringLiteral("What")};
    if (closedShown_) headers_ << QStringLiteral("Closed");
  }
  problem_ = failureOf([this] {
    if (kind_ == Kind::Claims) {
      for (const Holder& h : store_.claims()) rows_.push_back(claimRow(h));
    } else {
      conflicts_ = store_.conflicts(closedShown_);
      for (const Conflict& c : conflicts_) rows_.push_back(conflictRow(c, closedShown_));
    }
  });
  if (!problem_.isEmpty()) conflicts_.clear();  // the rows read before the failure are shown
  endResetModel();
}

QString HoldListModel::countText() const {
  const auto n = static_cast<qsizetype>(rows_.size());
  if (kind_ == Kind::Claims)
    return n == 1 ? QStringLiteral("1 claim") : QStringLiteral("%L1 claims").arg(n);
  if (!closedShown_) {
    return n == 1 ? QStringLiteral("1 open conflict") : QStringLiteral("%L1 open conflicts").arg(n);
  }
  const auto open = std::count_if(conflicts_.begin(), conflicts_.end(),
                                  [](const Conflict& c) { return !c.closedAt; });
  return (n == 1 ? QStringLiteral("1 conflict") : QStringLiteral("%L1 conflicts").arg(n)) +
         QStringLiteral(", %L1 open").arg(open);
}

std::vector<Conflict> HoldListModel::resolvable(const QModelIndexList& rows) const {
  std::vector<Conflict> chosen;
  for (const QModelIndex& index : rows) {
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row >= conflicts_.size()) return {};
    const Conflict& c = conflicts_[row];
    if (c.closedAt || (!chosen.empty() && c.capcode != chosen.front().capcode)) return {};
    chosen.push_back(c);
  }
  return chosen;
}

int HoldListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int HoldListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant HoldListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  return rows_[static_cast<std::size_t>(index.row())].value(index.column());
}

QVariant HoldListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section >= columnCount()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return headers_.value(section);
}

}  // namespace ccp::qt
