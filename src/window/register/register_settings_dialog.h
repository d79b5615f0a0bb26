#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "commands/register_settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace ccp::qt {

// Register > Register settings...: where the register is, who this station is, and how a write
// guards its individual capcodes, as ccp reads them too. OK saves them; a save that fails, or a
// shared register named by no URL or with a password in it, keeps the dialog open and says why.
class RegisterSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit RegisterSettingsDialog(QWidget* parent);

  void accept() override;

 private:
  void showSettings(const RegisterSettings& settings);
  RegisterSettings chosen() const;
  // The guard box shows its default for the place chosen until the user sets it.
  void showGuardDefault();
  QString refusal(const RegisterSettings& settings) const;

  std::string path_;
  RegisterSettings loaded_;
  bool guardSet_ = false;
  QRadioButton* own_;
  QRadioButton* shared_;
  QLineEdit* url_;
  QLineEdit* station_;
  QCheckBox* guard_;
  std::array<QCheckBox*, 6> rows_{};
  QCheckBox* readFirst_;
  QComboBox* whenTaken_;
  QCheckBox* unguarded_;
  QLabel* problem_;
};

}  // namespace ccp::qt
