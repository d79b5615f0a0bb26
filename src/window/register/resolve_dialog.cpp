#include "window/register/resolve_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "image/capcode.h"
#include "window/register/register_access.h"

namespace ccp::qt {

ResolveDialog::ResolveDialog(QWidget* parent, const std::vector<Conflict>& chosen)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Resolve conflict"));
  setObjectName(QStringLiteral("ResolveConflictDialog"));
  QStringList lines;
  if (!chosen.empty()) {
    lines << QStringLiteral("%1 of capcode %2:")
                 .arg(conflictNames(chosen), shown(capcodeText(chosen.front().capcode)));
  }
  for (const Conflict& c : chosen) lines << QStringLiteral("%1: %2").arg(c.id).arg(shown(c.what));
  auto* what = new QLabel(lines.join(QLatin1Char('\n')), this);
  what->setObjectName(QStringLiteral("ResolveWhat"));
  what->setWordWrap(true);
  what->setTextInteractionFlags(Qt::TextSelectableByMouse);
  note_ = new QLineEdit(this);
  note_->setObjectName(QStringLiteral("ResolveNote"));
  note_->setPlaceholderText(QStringLiteral("why, for the capcode's history"));
  note_->setMinimumWidth(note_->fontMetrics().averageCharWidth() * 48);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  ok_->setText(QStringLiteral("&Resolve"));
  ok_->setEnabled(false);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Note:"), note_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(what);
  layout->addLayout(form);
  layout->addWidget(buttons);

  note_->setFocus();  // what is typed first is the note
  connect(note_, &QLineEdit::textChanged, this, [this] { ok_->setEnabled(!note().isEmpty()); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString ResolveDialog::note() const {
  return note_->text().trimmed();
}

void ResolveDialog::accept() {
  if (!note().isEmpty()) QDialog::accept();
}

QString conflictNames(const std::vector<Conflict>& conflicts) {
  std::vector<long long> numbers;
  for (const Conflict& c : conflicts) numbers.push_back(c.id);
  std::sort(numbers.begin(), numbers.end());
  QStringList ids;
  for (long long id : numbers) ids << QString::number(id);
  return (ids.size() == 1 ? QStringLiteral("Conflict ") : QStringLiteral("Conflicts ")) +
         ids.join(QStringLiteral(", "));
}

}  // namespace ccp::qt
