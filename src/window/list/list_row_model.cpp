#include "window/list/list_row_model.h"

#include "image/capcode.h"
#include "window/register/register_access.h"

namespace ccp::qt {

namespace {

QString utf8(const std::string& text) {
  return QString::fromStdString(text);
}

// "2004017, 0100000 (group)": the row's capcodes in their rows.
QString capcodesOf(const ListRowEntry& entry) {
  QStringList capcodes;
  for (const RowUse& use : entry.uses) {
    const QString capcode = utf8(capcodeText(use.capcode));
    capcodes << (use.individual ? capcode : capcode + QStringLiteral(" (group)"));
  }
  return capcodes.join(QStringLiteral(", "));
}

QString stateOf(const ListRowStatus& row) {
  const QString name = QString::fromLatin1(listRowStateName(row.state));
  if (row.state == ListRowState::Writing && row.writer == Liveness::Ended) {
    return name + QStringLiteral(" (its write ended)");
  }
  return name;
}

QStringList textsOf(const ListRowStatus& row) {
  const bool taken = row.state != ListRowState::Open;
  // The serial number the list gives, else the one a done row's pager had.
  const std::string& serial = row.entry.serial.empty() ? row.serialRead : row.entry.serial;
  QString reason = utf8(row.reason);
  if (row.state == ListRowState::Failed && row.attempts > 1) {
    reason += QStringLiteral(" (%1 attempts)").arg(row.attempts);
  }
  return {QString::number(row.entry.row),
          QString::number(row.entry.line),
          utf8(row.entry.label),
          capcodesOf(row.entry),
          utf8(serial),
          stateOf(row),
          taken ? shown(row.station) : QString(),
          taken ? shownTime(row.at) : QString(),
          reason};
}

}  // namespace

bool mayBeTaken(const ListRowStatus& row) {
  return row.state == ListRowState::Open || row.state == ListRowState::Failed ||
         (row.state == ListRowState::Writing && row.writer == Liveness::Ended);
}

ListRowModel::ListRowModel(QObject* parent) : QAbstractTableModel(parent) {}

void ListRowModel::setRows(std::vector<ListRowStatus> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  shown_.clear();
  shown_.reserve(rows_.size());
  for (const ListRowStatus& row : rows_) shown_.push_back(textsOf(row));
  endResetModel();
}

std::optional<ListRowStatus> ListRowModel::rowAt(const QModelIndex& index) const {
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return std::nullopt;
  return rows_[static_cast<std::size_t>(index.row())];
}

int ListRowModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ListRowModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Columns;
}

QVariant ListRowModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  if (role == Qt::DisplayRole) return shown_[row][index.column()];
  if (role == Qt::ToolTipRole && index.column() == Reason) return shown_[row][Reason];
  // The numbers sort as numbers.
  if (role == Qt::UserRole) {
    if (index.column() == Row) return rows_[row].entry.row;
    if (index.column() == Line) return static_cast<qulonglong>(rows_[row].entry.line);
    return shown_[row][index.column()];
  }
  if (role == Qt::TextAlignmentRole && (index.column() == Row || index.column() == Line)) {
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  }
  return {};
}

QVariant ListRowModel::headerData(int section, Qt::Orientation orientation, int role) const {
  static const QStringList headers = {
      QStringLiteral("Row"),     QStringLiteral("Line"),   QStringLiteral("Label"),
      QStringLiteral("Capcode"), QStringLiteral("Serial"), QStringLiteral("State"),
      QStringLiteral("Station"), QStringLiteral("Time"),   QStringLiteral("Reason")};
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return section >= 0 && section < headers.size() ? headers[section] : QVariant();
}

void ListRowFilter::setText(const QString& text) {
  text_ = text.trimmed();
  invalidateRowsFilter();
}

void ListRowFilter::setState(std::optional<ListRowState> state) {
  state_ = state;
  invalidateRowsFilter();
}

bool ListRowFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
  const auto* model = static_cast<const ListRowModel*>(sourceModel());
  const ListRowStatus& row = model->rows()[static_cast<std::size_t>(sourceRow)];
  if (state_ && row.state != *state_) return false;
  if (text_.isEmpty()) return true;
  for (int column = 0; column < ListRowModel::Columns; ++column) {
    const QString shown = model->index(sourceRow, column, sourceParent).data().toString();
    if (shown.contains(text_, Qt::CaseInsensitive)) return true;
  }
  return false;
}

}  // namespace ccp::qt
