#include "window/guard.h"

#include <QMessageBox>
#include <exception>

namespace ccp::qt {

void guarded(QWidget* parent, const std::function<void()>& work) noexcept {
  QString message;
  try {
    work();
    return;
  } catch (const std::exception& error) {
    message = QString::fromLocal8Bit(error.what());
  } catch (...) {
    message = QStringLiteral("Unexpected error");
  }
  try {
    QMessageBox::critical(parent, QStringLiteral("Error"), message);
  } catch (...) {
    // Nothing more can be done without crossing the event loop.
  }
}

}  // namespace ccp::qt
