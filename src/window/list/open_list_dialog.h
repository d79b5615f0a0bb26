#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace ccp::qt {

// File > Open list...: a customer's list (.csv) and the template its pagers are written from
// (.eep). It starts in the folder of the last list and offers the last template again.
class OpenListDialog : public QDialog {
  Q_OBJECT

 public:
  explicit OpenListDialog(QWidget* parent);

  QString listPath() const;
  QString templatePath() const;

  // Both files chosen: the list's folder and the template are remembered.
  void accept() override;

 private:
  void browseList();
  void browseTemplate();

  QLineEdit* list_;
  QLineEdit* template_;
  QPushButton* open_;
};

}  // namespace ccp::qt
