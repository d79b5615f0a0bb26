#include "window/release_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "commands/capcode_guard.h"

namespace ccp::qt {

namespace {

constexpr int kCapcodeDigits = 7;

QString recordText(const Record& r) {
  return QStringLiteral("Record: %1 at %2 on %3, serial %4: %5")
      .arg(shown(r.command), shown(r.station), shownTime(r.at), shown(r.serial), shown(r.outcome));
}

QString holderText(const Holder& h) {
  const QString since = shownTime(h.at), station = shown(h.station);
  QString text;
  switch (h.state) {
    case HolderState::Held:
      text = QStringLiteral("Held since %1, given by %2.").arg(since, station);
      break;
    case HolderState::Claimed:
      text = QStringLiteral("Claimed since %1 by a write at %2: it may still be under way there.")
                 .arg(since, station);
      break;
    case HolderState::Failed:
      text = QStringLiteral(
                 "Failed since %1: a write at %2 failed after sending bytes, and the "
                 "pager may hold it.")
                 .arg(since, station);
      break;
  }
  if (h.record) text += QLatin1Char('\n') + recordText(*h.record);
  return text;
}

}  // namespace

ReleaseDialog::ReleaseDialog(QWidget* parent) : QDialog(parent), reach_(reachRegister()) {
  setWindowTitle(QStringLiteral("Release capcode"));
  setObjectName(QStringLiteral("ReleaseCapcodeDialog"));
  capcodeField_ = new QLineEdit(this);
  capcodeField_->setObjectName(QStringLiteral("CapcodeToRelease"));
  capcodeField_->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("\\d{0,%1}").arg(kCapcodeDigits)), capcodeField_));
  capcodeField_->setPlaceholderText(QStringLiteral("7 digits"));
  note_ = new QLineEdit(this);
  note_->setObjectName(QStringLiteral("ReleaseNote"));
  note_->setPlaceholderText(QStringLiteral("why, for the capcode's history (optional)"));
  holder_ = new QLabel(this);
  holder_->setObjectName(QStringLiteral("CapcodeHolder"));
  holder_->setWordWrap(true);
  holder_->setMinimumSize(480, holder_->fontMetrics().lineSpacing() * 4);
  holder_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  release_ = buttons->addButton(QStringLiteral("&Release"), QDialogButtonBox::ActionRole);
  release_->setObjectName(QStringLiteral("ReleaseButton"));
  release_->setEnabled(false);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Capcode:"), capcodeField_);
  form->addRow(QStringLiteral("&Note:"), note_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(holder_, 1);
  layout->addWidget(buttons);

  if (!reach_.store) {
    holder_->setText(reach_.problem);
    capcodeField_->setEnabled(false);
    note_->setEnabled(false);
  }
  connect(capcodeField_, &QLineEdit::textChanged, this, &ReleaseDialog::lookUp);
  connect(release_, &QPushButton::clicked, this, &ReleaseDialog::release);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void ReleaseDialog::lookUp() {
  capcode_.reset();
  release_->setEnabled(false);
  const QString typed = capcodeField_->text();
  if (typed.size() != kCapcodeDigits) {
    holder_->clear();
    return;
  }
  const int capcode = typed.toInt();
  std::optional<Holder> holder;
  const QString problem = failureOf([&] { holder = reach_.store->holder(capcode); });
  if (!problem.isEmpty()) return holder_->setText(problem);
  if (!holder) return holder_->setText(QStringLiteral("Capcode %1 is free.").arg(typed));
  holder_->setText(holderText(*holder));
  capcode_ = capcode;
  release_->setEnabled(true);
}

void ReleaseDialog::release() {
  if (!capcode_) return;
  const int capcode = *capcode_;
  const Stamp stamp{reach_.use.station, std::chrono::system_clock::now(),
                    note_->text().trimmed().toLocal8Bit().toStdString()};
  std::optional<Holder> had;
  const QString problem = failureOf([&] { had = releaseCapcode(*reach_.store, capcode, stamp); });
  release_->setEnabled(false);
  capcode_.reset();
  const QString digits = capcodeField_->text();
  if (!problem.isEmpty()) return holder_->setText(problem);
  holder_->setText(had ? QStringLiteral("Capcode %1 released by %2 at %3.")
                             .arg(digits, shown(stamp.station), shownTime(stamp.at))
                       : QStringLiteral("Capcode %1 was free already.").arg(digits));
}

}  // namespace ccp::qt
