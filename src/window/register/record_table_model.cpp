#include "window/register/record_table_model.h"

#include "window/register/register_access.h"

namespace ccp::qt {

namespace {

using Column = RecordTableModel::Column;

Column textColumn(const char* header, RecordColumn sortBy, std::string Record::*field) {
  return {QString::fromLatin1(header), sortBy,
          [field](const Record& r) { return shown(r.*field); }};
}

}  // namespace

// The columns a technician looks at first come first.
std::vector<Column> RecordTableModel::columns() {
  std::vector<Column> c = {
      {QStringLiteral("Time"), RecordColumn::Time, [](const Record& r) { return shownTime(r.at); }},
      textColumn("Station", RecordColumn::Station, &Record::station),
      textColumn("Command", RecordColumn::Command, &Record::command),
      textColumn("Serial No.", RecordColumn::Serial, &Record::serial),
      // Whether a capcode of the record is held (or failed) through it.
      {QStringLiteral("Holder state"), std::nullopt,
       [](const Record& r) {
         return r.holds ? QString::fromLatin1(holderStateName(*r.holds)) : QString();
       }},
  };
  for (int row = 0; row < kAddressCount; ++row) {
    const auto sortBy = static_cast<RecordColumn>(static_cast<int>(RecordColumn::Capcode1) + row);
    c.push_back({QStringLiteral("Capcode %1").arg(row + 1), sortBy,
                 [row](const Record& r) { return shown(r.capcodes[row]); }});
  }
  for (Column column : {textColumn("Outcome", RecordColumn::Outcome, &Record::outcome),
                        textColumn("Frequency", RecordColumn::Frequency, &Record::frequency),
                        textColumn("Model", RecordColumn::Model, &Record::model),
                        textColumn("Edition", RecordColumn::Edition, &Record::edition),
                        textColumn("Port", RecordColumn::Port, &Record::port),
                        textColumn("Backup file", RecordColumn::BackupFile, &Record::backupFile)}) {
    c.push_back(std::move(column));
  }
  return c;
}

RecordTableModel::RecordTableModel(PagerRegister& store, const RecordQuery& query, QObject* parent)
    : QAbstractTableModel(parent), store_(store), columns_(columns()), query_(query) {
  reload();
}

void RecordTableModel::setFilterText(const QString& text) {
  query_.text = text.trimmed().toLocal8Bit().toStdString();
  reload();
}

void RecordTableModel::reload() {
  beginResetModel();
  rows_.clear();
  total_ = 0;
  problem_ = failureOf([this] { total_ = store_.countRecords(query_); });
  stuck_ = !problem_.isEmpty();
  endResetModel();
  // The first page at once, whether a view asks for it or not.
  fetchMore({});
  emit changed();
}

bool RecordTableModel::sortable(int column) const {
  return column >= 0 && column < columnCount() && columns_[column].sortBy.has_value();
}

int RecordTableModel::sortColumn() const {
  for (int i = 0; i < columnCount(); ++i) {
    if (columns_[i].sortBy == query_.sortBy) return i;
  }
  return 0;
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  return columns_[index.column()].text(rows_[index.row()]);
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section >= columnCount()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return columns_[section].header;
}

bool RecordTableModel::canFetchMore(const QModelIndex& parent) const {
  return !parent.isValid() && !stuck_ && static_cast<long long>(rows_.size()) < total_;
}

void RecordTableModel::fetchMore(const QModelIndex& parent) {
  if (!canFetchMore(parent)) return;
  RecordQuery page = query_;
  page.offset = rows_.size();
  std::vector<Record> more;
  problem_ = failureOf([&] { more = store_.records(page); });
  // Records removed meanwhile, or a failure: what there is is all there is until a reload.
  if (!problem_.isEmpty() || more.empty()) {
    stuck_ = true;
    emit changed();
    return;
  }
  const int first = rowCount();
  beginInsertRows({}, first, first + static_cast<int>(more.size()) - 1);
  rows_.insert(rows_.end(), std::make_move_iterator(more.begin()),
               std::make_move_iterator(more.end()));
  endInsertRows();
}

void RecordTableModel::sort(int column, Qt::SortOrder order) {
  if (!sortable(column)) return;
  query_.sortBy = *columns_[column].sortBy;
  query_.descending = order == Qt::DescendingOrder;
  reload();
}

}  // namespace ccp::qt
