#include "window/register/register_settings_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cerrno>
#include <cstring>

#include "app/data_folder.h"
#include "app/register_place.h"
#include "register/location_reading.h"
#include "register/pager_register.h"
#include "window/register/register_access.h"

namespace ccp::qt {

namespace {

QLabel* hint(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  label->setEnabled(false);  // greyed: it explains, it is not a setting
  return label;
}

template <typename W>
W* named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace

RegisterSettingsDialog::RegisterSettingsDialog(QWidget* parent)
    : QDialog(parent), path_(registerSettingsPath()) {
  setWindowTitle(QStringLiteral("Register settings"));
  setObjectName(QStringLiteral("RegisterSettingsDialog"));
  const ParsedRegisterSettings parsed = loadRegisterSettings(path_);
  loaded_ = parsed.settings;
  guardSet_ = loaded_.guard.has_value();

  auto* place = new QGroupBox(QStringLiteral("Where the register is"), this);
  const std::string ownFile = loaded_.location.empty() || isSharedRegister(loaded_.location)
                                  ? defaultRegisterLocation(userDataFolder())
                                  : loaded_.location;
  own_ = named(new QRadioButton(QStringLiteral("This station's own register: %1")
                                    .arg(QDir::toNativeSeparators(shown(ownFile))),
                                place),
               "RegisterOwn");
  shared_ = named(new QRadioButton(QStringLiteral("Shared register:"), place), "RegisterShared");
  url_ = named(new QLineEdit(place), "RegisterUrl");
  url_->setPlaceholderText(QStringLiteral("postgresql://station@server/pagers"));
  auto* group = new QButtonGroup(this);
  group->addButton(own_);
  group->addButton(shared_);
  auto* sharedRow = new QHBoxLayout;
  sharedRow->addWidget(shared_);
  sharedRow->addWidget(url_, 1);
  auto* placeLayout = new QVBoxLayout(place);
  placeLayout->addWidget(own_);
  placeLayout->addLayout(sharedRow);
  placeLayout->addWidget(
      hint(QStringLiteral("No password is kept here: the PostgreSQL client library takes it from "
                          "~/.pgpass, PGPASSWORD or a service file."),
           place));
  if (const std::string forced = environmentRegister(); !forced.empty()) {
    placeLayout->addWidget(hint(
        QStringLiteral("While CCP_REGISTER is set, it names the register: %1").arg(shown(forced)),
        place));
  }

  station_ = named(new QLineEdit(this), "RegisterStation");
  station_->setPlaceholderText(QStringLiteral("%1 (this computer's name)").arg(shown(hostName())));
  guard_ = named(new QCheckBox(QStringLiteral("Guard individual capcodes"), this), "RegisterGuard");
  auto* rows = new QHBoxLayout;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    rows_[i] = new QCheckBox(QString::number(i + 1), this);
    rows_[i]->setObjectName(QStringLiteral("RegisterRow%1").arg(i + 1));
    rows->addWidget(rows_[i]);
  }
  rows->addStretch();
  readFirst_ =
      named(new QCheckBox(QStringLiteral("Read pagers before writing"), this), "RegisterReadFirst");
  whenTaken_ = named(new QComboBox(this), "RegisterWhenTaken");
  whenTaken_->addItems({QStringLiteral("Stop"), QStringLiteral("Take the next free")});
  unguarded_ = named(
      new QCheckBox(QStringLiteral("Allow writing unguarded when the register cannot be reached"),
                    this),
      "RegisterUnguarded");

  auto* guarding = new QGroupBox(QStringLiteral("Writing pagers"), this);
  auto* form = new QFormLayout(guarding);
  form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  form->addRow(guard_);
  form->addRow(hint(QStringLiteral("Default: off for this station's own register, on for a shared "
                                   "one."),
                    guarding));
  form->addRow(QStringLiteral("Individual rows:"), rows);
  form->addRow(hint(QStringLiteral("None checked: row 1, and the rows 1-4 whose auto-increment "
                                   "step is not 0."),
                    guarding));
  form->addRow(readFirst_);
  form->addRow(QStringLiteral("When a capcode is taken:"), whenTaken_);
  form->addRow(unguarded_);

  problem_ = named(new QLabel(this), "RegisterSettingsProblem");
  problem_->setWordWrap(true);
  problem_->setStyleSheet(QStringLiteral("color: red"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

  auto* stationRow = new QFormLayout;
  stationRow->addRow(QStringLiteral("Station name:"), station_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(place);
  layout->addLayout(stationRow);
  layout->addWidget(guarding);
  layout->addWidget(problem_);
  layout->addWidget(buttons);

  showSettings(loaded_);
  QStringList problems;
  for (const auto* said : {&parsed.stops, &parsed.problems})
    for (const std::string& problem : *said) problems << shown(problem);
  if (!problems.isEmpty()) {
    problem_->setText(QStringLiteral("Not taken (OK replaces them): %1")
                          .arg(problems.join(QStringLiteral("; "))));
  }

  connect(shared_, &QRadioButton::toggled, this, [this](bool shared) {
    url_->setEnabled(shared);
    showGuardDefault();
  });
  connect(guard_, &QCheckBox::clicked, this, [this] { guardSet_ = true; });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void RegisterSettingsDialog::showSettings(const RegisterSettings& s) {
  const bool shared = isSharedRegister(s.location);
  (shared ? shared_ : own_)->setChecked(true);
  url_->setText(shared ? shown(s.location) : QString());
  url_->setEnabled(shared);
  station_->setText(shown(s.station));
  guard_->setChecked(s.guard.value_or(shared));
  for (int row : s.uniqueRows) rows_[static_cast<std::size_t>(row - 1)]->setChecked(true);
  readFirst_->setChecked(s.readBeforeWrite);
  whenTaken_->setCurrentIndex(s.whenTaken == WhenTaken::Stop ? 0 : 1);
  unguarded_->setChecked(s.allowUnguarded);
}

void RegisterSettingsDialog::showGuardDefault() {
  if (!guardSet_) guard_->setChecked(shared_->isChecked());
}

RegisterSettings RegisterSettingsDialog::chosen() const {
  RegisterSettings s;
  if (shared_->isChecked()) {
    s.location = url_->text().trimmed().toLocal8Bit().toStdString();
  } else if (!isSharedRegister(loaded_.location)) {
    s.location = loaded_.location;  // a file named by hand in register.conf stays
  }
  s.station = station_->text().trimmed().toLocal8Bit().toStdString();
  if (guardSet_) s.guard = guard_->isChecked();
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i]->isChecked()) s.uniqueRows.push_back(static_cast<int>(i + 1));
  }
  s.readBeforeWrite = readFirst_->isChecked();
  s.whenTaken = whenTaken_->currentIndex() == 0 ? WhenTaken::Stop : WhenTaken::TakeNextFree;
  s.allowUnguarded = unguarded_->isChecked();
  return s;
}

QString RegisterSettingsDialog::refusal(const RegisterSettings& s) const {
  if (!shared_->isChecked()) return {};
  const LocationReading reading = readLocation(s.location);
  if (reading.engine != Engine::PostgreSQL) {
    return QStringLiteral(
        "A shared register is named by its URL, such as "
        "postgresql://station@server/pagers, or as host=server dbname=pagers");
  }
  // A password written into the URL would be kept in register.conf: libpq has its own places.
  if (reading.password) {
    return QStringLiteral(
        "The URL holds a password: leave it to ~/.pgpass, PGPASSWORD or a "
        "service file, so that it is never kept in the settings");
  }
  return {};
}

void RegisterSettingsDialog::accept() {
  const RegisterSettings settings = chosen();
  if (const QString refused = refusal(settings); !refused.isEmpty()) {
    problem_->setText(refused);
    return;
  }
  if (!saveRegisterSettings(path_, settings)) {
    const int error = errno;
    problem_->setText(QStringLiteral("Register settings could not be saved: %1: %2")
                          .arg(shown(path_), shown(std::strerror(error))));
    return;
  }
  QDialog::accept();
}

}  // namespace ccp::qt
