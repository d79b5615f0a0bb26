#include "window/list/list_problems_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ccp::qt {

namespace {

enum Column { Line, Kind, Heading, Value, Why };

QTableWidgetItem* cell(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  return item;
}

}  // namespace

ListProblemsDialog::ListProblemsDialog(QWidget* parent, const QString& listName,
                                       const std::vector<ListProblem>& problems,
                                       const QString& summary)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("List %1").arg(listName));
  setObjectName(QStringLiteral("ListProblems"));
  auto* said = new QLabel(summary, this);
  said->setObjectName(QStringLiteral("ListProblemSummary"));
  said->setWordWrap(true);
  said->setVisible(!summary.isEmpty());
  table_ = new QTableWidget(static_cast<int>(problems.size()), 5, this);
  table_->setObjectName(QStringLiteral("ListProblemTable"));
  table_->setHorizontalHeaderLabels({QStringLiteral("Line"), QString(), QStringLiteral("Column"),
                                     QStringLiteral("Value"), QStringLiteral("Why")});
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setWordWrap(false);
  table_->horizontalHeader()->setStretchLastSection(true);
  for (int i = 0; i < table_->rowCount(); ++i) {
    const ListProblem& p = problems[static_cast<std::size_t>(i)];
    auto* line = cell(p.line == 0 ? QString() : QString::number(p.line));
    line->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table_->setItem(i, Line, line);
    auto* kind = cell(p.warning ? QStringLiteral("warning") : QStringLiteral("error"));
    // Written all the same: not in the error's red.
    kind->setForeground(p.warning ? palette().text() : QBrush(Qt::red));
    table_->setItem(i, Kind, kind);
    table_->setItem(i, Heading, cell(QString::fromStdString(p.column)));
    table_->setItem(i, Value, cell(QString::fromStdString(p.value)));
    table_->setItem(i, Why, cell(QString::fromStdString(p.why)));
  }
  table_->resizeColumnsToContents();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(said);
  layout->addWidget(table_, 1);
  layout->addWidget(buttons);
  resize(860, 360);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

}  // namespace ccp::qt
