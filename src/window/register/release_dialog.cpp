#include "window/register/release_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>

#include "commands/holder_lines.h"
#include "commands/register_chores.h"
#include "image/capcode.h"

namespace ccp::qt {

namespace {

QString recordText(const Record& r) {
  return QStringLiteral("Record: %1 at %2 on %3, serial %4: %5")
      .arg(shown(r.command), shown(r.station), shownTime(r.at), shown(r.serial), shown(r.outcome));
}

QString holderText(int capcode, const std::vector<Holder>& holders) {
  QStringList lines;
  for (const std::string& line : holderLines(capcode, holders, std::chrono::system_clock::now())) {
    lines << shown(line) + QLatin1Char('.');
  }
  const auto individual = std::find_if(holders.begin(), holders.end(),
                                       [](const Holder& h) { return h.individual && h.record; });
  if (individual != holders.end()) lines << recordText(*individual->record);
  return lines.join(QLatin1Char('\n'));
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
  force_ = buttons->addButton(QStringLiteral("Release &anyway"), QDialogButtonBox::ActionRole);
  force_->setObjectName(QStringLiteral("ForceReleaseButton"));
  force_->hide();

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
  connect(release_, &QPushButton::clicked, this, [this] { release(false); });
  connect(force_, &QPushButton::clicked, this, [this] { release(true); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void ReleaseDialog::lookUp() {
  capcode_.reset();
  release_->setEnabled(false);
  force_->hide();
  const QString typed = capcodeField_->text();
  if (typed.size() != kCapcodeDigits) {
    holder_->clear();
    return;
  }
  const int capcode = typed.toInt();
  if (capcode > kHighestCapcode) {
    return holder_->setText(
        QStringLiteral("%1 is not a capcode: the highest is %2.").arg(typed).arg(kHighestCapcode));
  }
  std::vector<Holder> holders;
  const QString problem = failureOf([&] { holders = reach_.store->holders(capcode); });
  if (!problem.isEmpty()) return holder_->setText(problem);
  holder_->setText(holderText(capcode, holders));
  if (holders.empty()) return;
  capcode_ = capcode;
  release_->setEnabled(true);
}

void ReleaseDialog::release(bool force) {
  if (!capcode_) return;
  const int capcode = *capcode_;
  const Stamp stamp{reach_.use.station, std::chrono::system_clock::now(),
                    note_->text().trimmed().toLocal8Bit().toStdString()};
  ReleaseReport report;
  const QString problem =
      failureOf([&] { report = releaseByHand(*reach_.store, capcode, stamp, force); });
  force_->hide();
  if (!problem.isEmpty()) {
    release_->setEnabled(false);
    capcode_.reset();
    return holder_->setText(problem);
  }
  if (report.refused) {
    // Said first, then offered: the pager being written gets the capcode all the same.
    holder_->setText(shown(*report.refused) +
                     QStringLiteral(".\nRelease it anyway only if that write has stopped: the "
                                    "pager being written may have it too."));
    force_->show();
    return;
  }
  release_->setEnabled(false);
  capcode_.reset();
  const QString digits = capcodeField_->text();
  holder_->setText(!report.released.empty()
                       ? QStringLiteral("Capcode %1 released by %2 at %3.")
                             .arg(digits, shown(stamp.station), shownTime(stamp.at))
                       : QStringLiteral("Capcode %1 was free already.").arg(digits));
}

}  // namespace ccp::qt
