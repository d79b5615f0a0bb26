#include "window/list/list_view.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include "shell/form.h"
#include "window/list/list_opening.h"
#include "window/list/list_problems_dialog.h"
#include "window/list/list_window.h"
#include "window/list/open_list_dialog.h"
#include "window/register/register_access.h"

namespace ccp::qt {

namespace {

QString rowNumbers(const std::vector<int>& rows) {
  QStringList numbers;
  for (int row : rows) numbers << QString::number(row);
  return numbers.join(QStringLiteral(", "));
}

std::vector<ListProblem> warningsOf(const ListCheckResult& result) {
  std::vector<ListProblem> warnings;
  for (const ListProblem& p : result.problems) {
    if (p.warning) warnings.push_back(p);
  }
  return warnings;
}

}  // namespace

ListView::ListView(TForm1& form, QMainWindow& window, PagerRecords& records)
    : QObject(&window),
      form_(form),
      window_(window),
      records_(records),
      writeToPager_(window.findChild<QAction*>(QStringLiteral("WriteToPager"))) {
  auto* file = window.findChild<QAction*>(QStringLiteral("File1"));
  auto* journal = window.findChild<QAction*>(QStringLiteral("OpenJournal1"));
  auto* open = window.findChild<QAction*>(QStringLiteral("Open1"));
  QMenu* menu = file != nullptr ? file->menu<QMenu*>() : nullptr;
  if (menu == nullptr || journal == nullptr || open == nullptr || writeToPager_ == nullptr) return;
  // After the records' items, in a group of its own: the items before keep their places.
  const QList<QAction*> actions = menu->actions();
  const qsizetype next = actions.indexOf(journal) + 1;
  QAction* before = next < actions.size() ? actions[next] : nullptr;
  menu->insertSeparator(before);
  auto* openList = new QAction(QStringLiteral("Open &list..."), menu);
  openList->setObjectName(QStringLiteral("OpenList"));
  menu->insertAction(before, openList);
  // A command holds the window's file items: this one too.
  openList->setEnabled(open->isEnabled());
  connect(open, &QAction::enabledChanged, openList, &QAction::setEnabled);
  connect(openList, &QAction::triggered, this, &ListView::askForList);
}

ListWindow* ListView::listWindow() const {
  return shown_;
}

void ListView::askForList() {
  auto* dialog = new OpenListDialog(&window_);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::accepted, this,
          [this, dialog] { openList(dialog->listPath(), dialog->templatePath()); });
  dialog->open();
}

void ListView::tell(const QString& text) {
  auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Open list"), text,
                              QMessageBox::Close, &window_);
  box->setObjectName(QStringLiteral("ListMessage"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

ListWindow* ListView::openList(const QString& listPath, const QString& templatePath) {
  CheckedListFiles checked;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const QString failure = failureOf([&] {
    checked = checkListFiles(listPath.toLocal8Bit().toStdString(),
                             templatePath.toLocal8Bit().toStdString(), form_.config(), records_);
  });
  QApplication::restoreOverrideCursor();
  if (!failure.isEmpty() || !checked.problem.empty()) {
    tell(failure.isEmpty() ? shown(checked.problem) : failure);
    return nullptr;
  }
  const std::string name = listFileName(listPath.toLocal8Bit().toStdString());
  if (!checked.accepted()) {
    auto* refusals =
        new ListProblemsDialog(&window_, shown(name), checked.result.problems,
                               QString::fromStdString(checkSummary(name, checked.result)));
    refusals->setAttribute(Qt::WA_DeleteOnClose);
    refusals->open();
    return nullptr;
  }
  ListTaking taking;
  if (const QString problem =
          failureOf([&] { taking = takeListIn(records_, checked.entry, false); });
      !problem.isEmpty()) {
    tell(QStringLiteral("The list could not be taken into the register: ") + problem);
    return nullptr;
  }
  if (!taking.list) {
    offerNewVersion(checked, taking.changedRows, listPath);
    return nullptr;
  }
  return showList(*taking.list, checked, listPath);
}

void ListView::offerNewVersion(const CheckedListFiles& checked, const std::vector<int>& changedRows,
                               const QString& listPath) {
  auto* box = new QMessageBox(
      QMessageBox::Question, QStringLiteral("Open list"),
      QStringLiteral("%1 was taken into the register before with other content (rows %2).\n"
                     "Taken in as a new version, its rows done stay done.")
          .arg(QString::fromStdString(checked.entry.name), rowNumbers(changedRows)),
      QMessageBox::Cancel, &window_);
  box->setObjectName(QStringLiteral("ListNewVersion"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  QPushButton* again =
      box->addButton(QStringLiteral("Take in as a &new version"), QMessageBox::AcceptRole);
  connect(box, &QMessageBox::finished, this, [this, box, again, checked, listPath] {
    if (box->clickedButton() != again) return;
    ListTaking taking;
    if (const QString problem =
            failureOf([&] { taking = takeListIn(records_, checked.entry, true); });
        !problem.isEmpty() || !taking.list) {
      tell(QStringLiteral("The list could not be taken into the register: ") + problem);
      return;
    }
    showList(*taking.list, checked, listPath);
  });
  box->open();
}

ListWindow* ListView::showList(const ListInfo& list, const CheckedListFiles& checked,
                               const QString& listPath) {
  delete shown_;  // one list at a time
  shown_ = new ListWindow(&window_, form_, records_, list, checked.loaded, listPath,
                          warningsOf(checked.result), writeToPager_);
  shown_->setAttribute(Qt::WA_DeleteOnClose);
  shown_->show();
  shown_->raise();
  shown_->activateWindow();
  return shown_;
}

}  // namespace ccp::qt
