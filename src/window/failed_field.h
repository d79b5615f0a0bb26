#pragma once

#include <QWidget>

namespace ccp::qt {

// A red frame drawn over a field whose text could not be read as a number. It lies on top of
// the field and takes no clicks and no focus.
class FailedFieldFrame : public QWidget {
  Q_OBJECT

 public:
  explicit FailedFieldFrame(QWidget* field);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace ccp::qt
