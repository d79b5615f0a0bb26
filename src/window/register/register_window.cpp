#include "window/register/register_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "image/capcode.h"
#include "register/register_csv.h"
#include "window/input_block.h"
#include "window/register/resolve_dialog.h"

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
  // What the conflicts shown offer, below them.
  closed_ = new QCheckBox(QStringLiteral("Show c&losed conflicts"), this);
  closed_->setObjectName(QStringLiteral("RegisterShowClosed"));
  resolve_ = buttons->addButton(QStringLiteral("Re&solve..."), QDialogButtonBox::ActionRole);
  resolve_->setObjectName(QStringLiteral("RegisterResolve"));
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(closed_);
  bottom->addWidget(buttons, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(location_);
  layout->addLayout(find);
  layout->addWidget(table_, 1);
  layout->addWidget(problem_, 1);
  layout->addWidget(note_);
  layout->addLayout(bottom);
  resize(960, 520);

  connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (model_ != nullptr) model_->setFilterText(text);
  });
  connect(table_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
          [this](int column) { keepSortable(column); });
  connect(show_, &QComboBox::activated, this, &RegisterWindow::showChosen);
  connect(refresh, &QPushButton::clicked, this, &RegisterWindow::reload);
  connect(export_, &QPushButton::clicked, this, &RegisterWindow::exportShown);
  connect(closed_, &QCheckBox::toggled, this, [this](bool on) {
    if (list_ == nullptr) return;
    list_->setClosedShown(on);
    table_->resizeColumnsToContents();
    showState();
  });
  connect(resolve_, &QPushButton::clicked, this, &RegisterWindow::resolveChosen);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  reload();
}

void RegisterWindow::reload() {
  if (model_ != nullptr) query_ = model_->query();  // the filter and the order shown stay
  setTableModel(nullptr);
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
  setTableModel(nullptr);
  delete list_;
  list_ = nullptr;
  const bool records = show_->currentIndex() == 0;
  const bool conflicts = show_->currentIndex() == 2;
  filter_->setEnabled(model_ != nullptr && records);
  export_->setEnabled(model_ != nullptr && records);
  closed_->setVisible(conflicts);
  closed_->setEnabled(model_ != nullptr);
  resolve_->setVisible(conflicts);
  resolve_->setEnabled(false);
  if (model_ == nullptr) {
    count_->clear();
    return;
  }
  if (records) {
    setTableModel(model_);
  } else {
    const auto kind = conflicts ? HoldListModel::Kind::Conflicts : HoldListModel::Kind::Claims;
    list_ = new HoldListModel(*reach_.store, kind, this, conflicts && closed_->isChecked());
    setTableModel(list_);
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

void RegisterWindow::setTableModel(QAbstractItemModel* model) {
  QItemSelectionModel* old = table_->selectionModel();
  table_->setModel(model);
  if (table_->selectionModel() == old) return;  // the same model
  delete old;  // the view makes one for each model and leaves the old one to its owner
  connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &RegisterWindow::showResolvable);
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
    showResolvable();  // read again: nothing is chosen
    return;
  }
  count_->setText(recordCount(static_cast<std::size_t>(model_->total())));
  if (!model_->problem().isEmpty()) note_->setText(model_->problem());
}

void RegisterWindow::showResolvable() {
  resolve_->setEnabled(list_ != nullptr &&
                       !list_->resolvable(table_->selectionModel()->selectedRows()).empty());
}

void RegisterWindow::resolveChosen() {
  if (list_ == nullptr) return;
  const std::vector<Conflict> chosen = list_->resolvable(table_->selectionModel()->selectedRows());
  if (chosen.empty()) return;
  auto* dialog = new ResolveDialog(this, chosen);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  // The conflicts of this list, on this register: none other once it is read anew elsewhere.
  const QPointer<HoldListModel> shownList = list_;
  connect(dialog, &QDialog::accepted, this, [this, dialog, chosen, shownList] {
    if (shownList != nullptr) resolve(chosen, dialog->note());
  });
  dialog->open();
}

// Each conflict is closed on its own, as the command line closes one by its number.
void RegisterWindow::resolve(const std::vector<Conflict>& chosen, const QString& note) {
  const Stamp by{reach_.use.station, std::chrono::system_clock::now(),
                 note.toLocal8Bit().toStdString()};
  std::vector<Conflict> closed;
  std::vector<Conflict> closedBefore;  // by another station meanwhile
  const QString problem = failureOf([&] {
    for (const Conflict& c : chosen) {
      (reach_.store->resolve(c.id, std::nullopt, by).empty() ? closedBefore : closed).push_back(c);
    }
  });
  list_->reload();
  showState();
  QStringList said;
  if (!closed.empty()) {
    said << QStringLiteral("%1 of capcode %2 closed by %3.")
                .arg(conflictNames(closed), shown(capcodeText(closed.front().capcode)),
                     shown(by.station));
  }
  if (!closedBefore.empty()) {
    said << QStringLiteral("%1: closed already.").arg(conflictNames(closedBefore));
  }
  said << problem << list_->problem();
  said.removeAll(QString());
  note_->setText(said.join(QLatin1Char(' ')));
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
