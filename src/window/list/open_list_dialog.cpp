#include "window/list/open_list_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace ccp::qt {

namespace {

const QString kFolderKey = QStringLiteral("lists/lastFolder");
const QString kTemplateKey = QStringLiteral("lists/lastTemplate");

}  // namespace

OpenListDialog::OpenListDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Open list"));
  setObjectName(QStringLiteral("OpenListDialog"));
  list_ = new QLineEdit(this);
  list_->setObjectName(QStringLiteral("OpenListFile"));
  list_->setPlaceholderText(QStringLiteral("the customer's list, saved as CSV"));
  list_->setMinimumWidth(list_->fontMetrics().averageCharWidth() * 60);
  template_ = new QLineEdit(QSettings().value(kTemplateKey).toString(), this);
  template_->setObjectName(QStringLiteral("OpenListTemplate"));
  template_->setPlaceholderText(QStringLiteral("the configuration file all its pagers share"));
  auto* browseList = new QPushButton(QStringLiteral("&Browse..."), this);
  auto* browseTemplate = new QPushButton(QStringLiteral("B&rowse..."), this);
  auto* listLabel = new QLabel(QStringLiteral("&List:"), this);
  listLabel->setBuddy(list_);
  auto* templateLabel = new QLabel(QStringLiteral("&Template:"), this);
  templateLabel->setBuddy(template_);
  auto* grid = new QGridLayout;
  grid->addWidget(listLabel, 0, 0);
  grid->addWidget(list_, 0, 1);
  grid->addWidget(browseList, 0, 2);
  grid->addWidget(templateLabel, 1, 0);
  grid->addWidget(template_, 1, 1);
  grid->addWidget(browseTemplate, 1, 2);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
  open_ = buttons->button(QDialogButtonBox::Open);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);

  const auto showOpenable = [this] {
    open_->setEnabled(!listPath().isEmpty() && !templatePath().isEmpty());
  };
  showOpenable();
  list_->setFocus();  // what is typed first is the list
  connect(list_, &QLineEdit::textChanged, this, showOpenable);
  connect(template_, &QLineEdit::textChanged, this, showOpenable);
  connect(browseList, &QPushButton::clicked, this, &OpenListDialog::browseList);
  connect(browseTemplate, &QPushButton::clicked, this, &OpenListDialog::browseTemplate);
  connect(buttons, &QDialogButtonBox::accepted, this, &OpenListDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString OpenListDialog::listPath() const {
  return list_->text().trimmed();
}

QString OpenListDialog::templatePath() const {
  return template_->text().trimmed();
}

void OpenListDialog::accept() {
  if (listPath().isEmpty() || templatePath().isEmpty()) return;
  QSettings settings;
  settings.setValue(kFolderKey, QFileInfo(listPath()).absolutePath());
  settings.setValue(kTemplateKey, QFileInfo(templatePath()).absoluteFilePath());
  QDialog::accept();
}

void OpenListDialog::browseList() {
  const QString start =
      listPath().isEmpty() ? QSettings().value(kFolderKey).toString() : listPath();
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open list"), start,
                                                    QStringLiteral("Lists (*.csv);;All files (*)"));
  if (!path.isEmpty()) list_->setText(QDir::toNativeSeparators(path));
}

void OpenListDialog::browseTemplate() {
  const QString start =
      templatePath().isEmpty() ? QSettings().value(kFolderKey).toString() : templatePath();
  const QString path =
      QFileDialog::getOpenFileName(this, QStringLiteral("Template"), start,
                                   QStringLiteral("Configuration files (*.eep);;All files (*)"));
  if (!path.isEmpty()) template_->setText(QDir::toNativeSeparators(path));
}

}  // namespace ccp::qt
