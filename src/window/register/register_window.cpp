#include "window/register/register_window.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "register/register_csv.h"
#include "window/input_block.h"

namespace ccp::qt {

namespace {

QString recordCount(std::size_t count) {
  return count == 1 ? QStringLiteral("1 record") : QStringLiteral("%L1 records").arg(count);
}

}  // namespace

RegisterWindow::RegisterWindow(QWidget* parent, std::size_t pageSize) : QDialog(parent) {
  query_.limit = pageSize;  // newest first
  setWindowTitle(QStringLiteral("Pager register"));
  setObjectName(QStringLiteral("PagerRegisterWindow"));
  setModal(false);
  // Like the main window, it takes no input while a pager command runs.
  InputBlock::alsoFor(this);

  location_ = new QLabel(this);
  location_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  show_ = new QComboBox(this);
  show_->setObjectName(QStringLiteral("RegisterShow"));
  show_->addItems(
      {QStringLiteral("Records"), QStringLiteral("Claims"), QStringLiteral("Conflicts")});
  auto* showLabel = new QLabel(QStringLiteral("S&how:"), this);
  showLabel->setBuddy(show_);
  filter_ = new QLineEdit(this);
  filter_->setObjectName(QStringLiteral("RegisterFilter"));
  filter_->setPlaceholderText(QStringLiteral("part of a capcode or serial number"));
  filter_->setClearButtonEnabled(true);
  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("RegisterCount"));
  auto* refresh = new QPushButton(QStringLiteral("&Refresh"), this);
  export_ = new QPushButton(QStringLiteral("&Export..."), this);
  export_->setObjectName(QStringLiteral("RegisterExport"));
  auto* findLabel = new QLabel(QStringLiteral("&Find:"), this);
  findLabel->setBuddy(filter_);
  auto* find = new QHBoxLayout;
  find->addWidget(showLabel);
  find->addWidget(show_);
  find->addWidget(findLabel);
  find->addWidget(filter_, 1);
  find->addWidget(count_);
  find->addWidget(refresh);
  find->addWidget(export_);

  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("RegisterTable"));
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->horizontalHeader()->setSortIndicator(0, Qt::DescendingOrder);  // newest first
  table_->setSortingEnabled(true);
  problem_ = new QLabel(this);
  problem_->setObjectName(QStringLiteral("RegisterProblem"));
  problem_->setWordWrap(true);
  problem_->setAlignment(Qt::AlignCenter);
  note_ = new QLabel(this);
  note_->setObjectName(QStringLiteral("RegisterNote"));
  note_->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(location_);
  layout->addLayout(find);
  layout->addWidget(table_, 1);
  layout->addWidget(problem_, 1);
  layout->addWidget(note_);
  layout->addWidget(buttons);
  resize(960, 520);

  connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (model_ != nullptr) model_->setFilterText(text);
  });
  connect(table_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
          [this](int column) { keepSortable(column); });
  connect(show_, &QComboBox::activated, this, &RegisterWindow::showChosen);
  connect(refresh, &QPushButton::clicked, this, &RegisterWindow::reload);
  connect(export_, &QPushButton::clicked, this, &RegisterWindow::exportShown);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  reload();
}

void RegisterWindow::reload() {
  if (model_ != nullptr) query_ = model_->query();  // the filter and the order shown stay
  table_->setModel(nullptr);
  delete model_;
  model_ = nullptr;
  delete list_;
  list_ = nullptr;
  reach_ = reachRegister();
  location_->setText(
      QStringLiteral("Register: %1 (this station: %2)")
          .arg(QDir::toNativeSeparators(shown(reach_.use.location)), shown(reach_.use.station)));
  const bool open = reach_.store != nullptr;
  table_->setVisible(open);
  problem_->setVisible(!open);
  problem_->setText(reach_.problem);
  if (open) {
    model_ = new RecordTableModel(*reach_.store, query_, this);
    connect(model_, &RecordTableModel::changed, this, &RegisterWindow::showState);
  }
  showChosen();
}

// The records, or the claims or conflicts, as "Show" says; only the records are found, sorted
// and exported.
void RegisterWindow::showChosen() {
  note_->clear();  // what was said of the kind shown before
  table_->setModel(nullptr);
  delete list_;
  list_ = nullptr;
  const bool records = show_->currentIndex() == 0;
  filter_->setEnabled(model_ != nullptr && records);
  export_->setEnabled(model_ != nullptr && records);
  if (model_ == nullptr) {
    count_->clear();
    return;
  }
  if (records) {
    table_->setModel(model_);
  } else {
    const auto kind =
        show_->currentIndex() == 1 ? HoldListModel::Kind::Claims : HoldListModel::Kind::Conflicts;
    list_ = new HoldListModel(*reach_.store, kind, this);
    table_->setModel(list_);
  }
  if (table_->isSortingEnabled() != records) {
    QHeaderView* header = table_->horizontalHeader();
    {
      const QSignalBlocker quiet(header);
      header->setSortIndicator(model_->sortColumn(), model_->query().descending
                                                         ? Qt::DescendingOrder
                                                         : Qt::AscendingOrder);
    }
    header->setSortIndicatorShown(records);
    table_->setSortingEnabled(records);  // the records read again in the order shown
  }
  table_->resizeColumnsToContents();
  showState();
}

void RegisterWindow::showNewRecords() {
  if (model_ == nullptr) return reload();
  model_->reload();
  if (list_ != nullptr) {
    list_->reload();
    showState();
  }
}

void RegisterWindow::showState() {
  if (list_ != nullptr) {
    count_->setText(list_->countText());
    note_->setText(list_->problem());
    return;
  }
  count_->setText(recordCount(static_cast<std::size_t>(model_->total())));
  if (!model_->problem().isEmpty()) note_->setText(model_->problem());
}

// The holder state is not kept in an order the register can sort by: the order stays.
void RegisterWindow::keepSortable(int column) {
  if (model_ == nullptr || model_->sortable(column)) return;
  const QSignalBlocker quiet(table_->horizontalHeader());
  table_->horizontalHeader()->setSortIndicator(
      model_->sortColumn(), model_->query().descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void RegisterWindow::exportShown() {
  const QString path =
      QFileDialog::getSaveFileName(this, QStringLiteral("Export register"),
                                   QDir::home().filePath(QStringLiteral("register.csv")),
                                   QStringLiteral("CSV files (*.csv);;All files (*)"));
  if (path.isEmpty() || model_ == nullptr) return;
  std::size_t written = 0;
  const QString problem = failureOf([&] {
    written = exportRecords(*reach_.store, path.toLocal8Bit().toStdString(), model_->query());
  });
  note_->setText(problem.isEmpty() ? QStringLiteral("%1 exported to %2")
                                         .arg(recordCount(written), QDir::toNativeSeparators(path))
                                   : problem);
}

}  // namespace ccp::qt
