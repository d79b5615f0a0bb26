#include "window/list/list_window.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <cerrno>
#include <cstring>
#include <span>

#include "commands/list_export.h"
#include "files/file_io.h"
#include "shell/form.h"
#include "window/input_block.h"
#include "window/list/list_problems_dialog.h"
#include "window/register/register_access.h"

namespace ccp::qt {

namespace {

// The state filter's items after "All states", in the register's order.
constexpr ListRowState kStates[] = {ListRowState::Open, ListRowState::Writing, ListRowState::Done,
                                    ListRowState::Failed};

QString headline(const ListInfo& list, const QString& templatePath) {
  // One arg() for all: a "%2" in a file's name stays as it is.
  return QStringLiteral("%1, version %2, %3 rows, taken in %4 at %5; template %6")
      .arg(QString::fromStdString(list.name), QString::number(list.version),
           QString::number(list.rows), shownTime(list.takenAt), shown(list.station),
           QDir::toNativeSeparators(templatePath));
}

}  // namespace

ListWindow::ListWindow(QWidget* parent, TForm1& form, PagerRecords& records, ListInfo list,
                       ListTemplate loaded, const QString& listPath,
                       std::vector<ListProblem> warnings, QAction* writeToPager)
    : QDialog(parent),
      writer_(form, records, std::move(list), loaded, [writeToPager] { writeToPager->trigger(); }),
      pagerModel_(form.config().model),
      listPath_(listPath),
      warnings_(std::move(warnings)) {
  setWindowTitle(QStringLiteral("List %1").arg(QString::fromStdString(this->list().name)));
  setObjectName(QStringLiteral("ListWindow"));
  setModal(false);
  // Like the main window, it takes no input while a pager command runs.
  InputBlock::alsoFor(this);

  auto* about = new QLabel(headline(this->list(), QString::fromStdString(loaded.path)), this);
  about->setTextInteractionFlags(Qt::TextSelectableByMouse);
  find_ = new QLineEdit(this);
  find_->setObjectName(QStringLiteral("ListFind"));
  find_->setPlaceholderText(QStringLiteral("a text in any column"));
  find_->setClearButtonEnabled(true);
  auto* findLabel = new QLabel(QStringLiteral("&Find:"), this);
  findLabel->setBuddy(find_);
  state_ = new QComboBox(this);
  state_->setObjectName(QStringLiteral("ListState"));
  state_->addItem(QStringLiteral("All states"));
  for (ListRowState s : kStates) state_->addItem(QString::fromLatin1(listRowStateName(s)));
  auto* readAgain = new QPushButton(QStringLiteral("&Refresh"), this);
  readAgain->setObjectName(QStringLiteral("ListRefresh"));
  auto* findRow = new QHBoxLayout;
  findRow->addWidget(findLabel);
  findRow->addWidget(find_, 1);
  findRow->addWidget(state_);
  findRow->addWidget(readAgain);

  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("ListProgress"));
  progress_->setTextVisible(true);
  standing_ = new QLabel(this);
  standing_->setObjectName(QStringLiteral("ListStanding"));
  auto* progressRow = new QHBoxLayout;
  progressRow->addWidget(progress_, 1);
  progressRow->addWidget(standing_);

  model_ = new ListRowModel(this);
  filter_ = new ListRowFilter(this);
  filter_->setSourceModel(model_);
  filter_->setSortRole(Qt::UserRole);
  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("ListTable"));
  table_->setModel(filter_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->setSortingEnabled(true);
  table_->sortByColumn(ListRowModel::Row, Qt::AscendingOrder);
  outcome_ = new QLabel(this);
  outcome_->setObjectName(QStringLiteral("ListOutcome"));
  outcome_->setWordWrap(true);
  outcome_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  writeNext_ = buttons->addButton(QStringLiteral("&Write next row"), QDialogButtonBox::ActionRole);
  writeNext_->setObjectName(QStringLiteral("ListWriteNext"));
  swap_ = buttons->addButton(QStringLiteral("S&wap pager..."), QDialogButtonBox::ActionRole);
  swap_->setObjectName(QStringLiteral("ListSwap"));
  auto* exported = buttons->addButton(QStringLiteral("&Export..."), QDialogButtonBox::ActionRole);
  exported->setObjectName(QStringLiteral("ListExport"));
  if (!warnings_.empty()) {
    auto* shownWarnings = buttons->addButton(
        QStringLiteral("W&arnings (%1)...").arg(warnings_.size()), QDialogButtonBox::ActionRole);
    shownWarnings->setObjectName(QStringLiteral("ListWarnings"));
    connect(shownWarnings, &QPushButton::clicked, this, &ListWindow::showWarnings);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(about);
  layout->addLayout(findRow);
  layout->addLayout(progressRow);
  layout->addWidget(table_, 1);
  layout->addWidget(outcome_);
  layout->addWidget(buttons);
  resize(900, 520);

  connect(find_, &QLineEdit::textChanged, filter_, &ListRowFilter::setText);
  connect(state_, &QComboBox::currentIndexChanged, this, [this](int index) {
    filter_->setState(index > 0 ? std::optional(kStates[index - 1]) : std::nullopt);
  });
  connect(readAgain, &QPushButton::clicked, this, &ListWindow::refresh);
  // Shown as disabled while a command runs, as the main window's Write to pager is.
  writeNext_->setEnabled(writeToPager->isEnabled());
  connect(writeToPager, &QAction::enabledChanged, writeNext_, &QPushButton::setEnabled);
  connect(writeNext_, &QPushButton::clicked, this, &ListWindow::writeNextRow);
  connect(swap_, &QPushButton::clicked, this, &ListWindow::askSwap);
  connect(exported, &QPushButton::clicked, this, &ListWindow::askExport);
  connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &ListWindow::showChoice);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // Return in the find box writes no pager: no button is the default.
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
  refresh();
}

ListWindow::~ListWindow() = default;

QString ListWindow::outcome() const {
  return outcome_->text();
}

void ListWindow::say(const QString& text) {
  outcome_->setText(text);
}

void ListWindow::refresh() {
  std::vector<ListRowStatus> rows;
  const QString problem = failureOf([&] {
    rows = writer_.records().registerConnection().use(
        [this](PagerRegister& reg) { return reg.listRows(list().id); });
  });
  if (!problem.isEmpty()) {
    say(QStringLiteral("The list could not be read again: ") + problem);
    return;
  }
  model_->setRows(std::move(rows));
  const ListStanding s = standingOf(model_->rows());
  progress_->setRange(0, std::max(list().rows, 1));
  progress_->setValue(s.done);
  progress_->setFormat(QStringLiteral("%1 of %2 done").arg(s.done).arg(list().rows));
  standing_->setText(QStringLiteral("%1 failed, %2 being written, %3 open")
                         .arg(s.failed)
                         .arg(s.writing)
                         .arg(s.open));
  table_->resizeColumnsToContents();
  // The reason takes the room left; a long one is shown whole as its tip.
  table_->horizontalHeader()->setSectionResizeMode(ListRowModel::Reason, QHeaderView::Stretch);
  showChoice();
}

std::optional<ListRowStatus> ListWindow::chosenRow() const {
  const QModelIndexList chosen = table_->selectionModel()->selectedRows();
  if (chosen.size() != 1) return std::nullopt;
  return model_->rowAt(filter_->mapToSource(chosen.front()));
}

void ListWindow::showChoice() {
  const auto row = chosenRow();
  swap_->setEnabled(row && row->state == ListRowState::Done);
}

void ListWindow::writeNextRow() {
  std::optional<int> preferred;
  if (const auto row = chosenRow(); row && mayBeTaken(*row)) preferred = row->entry.row;
  say(writer_.writeNext(preferred));
  // The next click takes the next row, not the one just written.
  table_->clearSelection();
  refresh();
}

void ListWindow::askSwap() {
  const auto row = chosenRow();
  if (!row || row->state != ListRowState::Done) return;
  auto* ask = new QInputDialog(this);
  ask->setObjectName(QStringLiteral("ListSwapNote"));
  ask->setAttribute(Qt::WA_DeleteOnClose);
  ask->setWindowTitle(QStringLiteral("Swap pager"));
  ask->setLabelText(
      QStringLiteral("%1 goes to a replacement pager: the old pager's capcodes are released and\n"
                     "the row is open again. Why (kept in the capcodes' history)?")
          .arg(QString::fromStdString(rowText(*row, list().rows))));
  ask->setOkButtonText(QStringLiteral("S&wap"));
  const int number = row->entry.row;
  connect(ask, &QInputDialog::textValueSelected, this,
          [this, number](const QString& note) { swapRow(number, note.trimmed()); });
  ask->open();
}

void ListWindow::swapRow(int row, const QString& note) {
  const Stamp by{writer_.records().registerUse().station, std::chrono::system_clock::now(),
                 note.toStdString()};
  const QString problem = failureOf([&] {
    writer_.records().registerConnection().use(
        [&](PagerRegister& reg) { return reg.swapRow(list().id, row, by); });
  });
  say(problem.isEmpty() ? QStringLiteral("Row %1 is open again for its replacement pager").arg(row)
                        : QStringLiteral("Row %1 was not swapped: %2").arg(row).arg(problem));
  refresh();
}

void ListWindow::askExport() {
  const QFileInfo source(listPath_);
  const QString suggested =
      source.dir().filePath(source.completeBaseName() + QStringLiteral("-status.csv"));
  const QString path =
      QFileDialog::getSaveFileName(this, QStringLiteral("Export list"), suggested,
                                   QStringLiteral("CSV files (*.csv);;All files (*)"));
  if (!path.isEmpty()) exportTo(path);
}

void ListWindow::exportTo(const QString& path) {
  std::vector<ListRowStatus> rows;
  const QString problem = failureOf([&] {
    rows = writer_.records().registerConnection().use(
        [this](PagerRegister& reg) { return reg.listRows(list().id); });
  });
  if (!problem.isEmpty()) return say(QStringLiteral("The list could not be read: ") + problem);
  std::string why;
  const auto text = listExportText(list(), rows, pagerModel_, why);
  if (!text) return say(QStringLiteral("The list cannot be written back: ") + shown(why));
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text->data());
  if (!replaceFile(path.toLocal8Bit().toStdString(), std::span(bytes, text->size()))) {
    return say(QStringLiteral("Could not write %1: %2")
                   .arg(QDir::toNativeSeparators(path), shown(std::strerror(errno))));
  }
  say(QStringLiteral("%1 rows written to %2").arg(rows.size()).arg(QDir::toNativeSeparators(path)));
}

void ListWindow::showWarnings() {
  auto* dialog =
      new ListProblemsDialog(this, QString::fromStdString(list().name), warnings_, QString());
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->open();
}

}  // namespace ccp::qt
